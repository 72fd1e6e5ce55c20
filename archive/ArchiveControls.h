#pragma once
// The archive panel's skin controls at their skin positions: the push buttons
// (POWER, SAVE, PRINT, EVENT, split plus and minus, the time navigation), the
// latching RECORD, ONE, ALL, channel and play buttons, and the activity lamp.

#include <QWidget>

#include <array>
#include <cstddef>
#include <functional>

#include "archive/PlaybackControl.h"
#include "link/PacketFormat.h"

class SkinButton;
class SkinPushButton;

struct ArchiveControls {
  static constexpr std::size_t kPushButtonCount = 10;

  std::array<SkinPushButton*, kPushButtonCount> push{};
  std::array<SkinButton*, wire::kChannels> channel{};
  std::array<SkinButton*, playback::ButtonCount> play{};
  SkinButton* single = nullptr;
  SkinButton* all = nullptr;
  SkinButton* record = nullptr;
  SkinButton* activity = nullptr;

  // Creates the controls as children of panel; a click calls onCommand with the control's identifier.
  static ArchiveControls Create(QWidget* panel, const std::function<void(int)>& onCommand);
};
