#pragma once
// The keys of the main view: each stands for one of the view's skin buttons.

#include <span>

#include "skin/SkinKeyMap.h"

std::span<const SkinKey> ViewKeys();
