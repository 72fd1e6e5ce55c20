#pragma once
// The keys of the archive panel: each stands for one of the panel's skin buttons.

#include <span>

#include "skin/SkinKeyMap.h"

std::span<const SkinKey> PanelKeys();
