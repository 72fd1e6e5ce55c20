#pragma once
// The main view's pane layout and channel rotation, without a window: which
// channels are on the page, the rectangle of each pane, which skin buttons are
// latched, and the channel rotation's 1-second count. The view forwards its
// button presses and ticks here and applies what comes back.

#include <QPoint>
#include <QRect>
#include <QSize>

#include <array>
#include <cstdint>

#include "link/PacketFormat.h"

class PaneLayout {
 public:
  static constexpr int kLiveChannels = 8;  // channels above 8 cannot be requested live
  static constexpr int kLayoutButtons = 7;
  static constexpr int kLayoutIndexNine = 3;

  // ChannelLayout words: panes in the high byte, layout button index in the low byte.
  static constexpr std::uint16_t kLayoutSingle = 0x100;
  static constexpr std::uint16_t kLayoutQuad = 0x401;
  static constexpr std::uint16_t kLayoutNine = 0x903;
  static constexpr std::uint16_t kSelectionMultiPane = 0x100;
  static constexpr std::uint32_t kAllChannelsMask = 0xFFFF;
  static constexpr std::uint16_t kRotationOn = 0x100;

  // What a press did: refused (the view beeps and releases the button), left
  // the page as it was, or set a layout the view now applies.
  enum class Outcome { Refused, Unchanged, Changed };

  using ShownChannels = std::array<bool, wire::kChannels>;

  // Sets the layout word and the pane rectangles; rotation ends outside one pane.
  void SetLayout(std::uint16_t layoutWord);
  Outcome PressLayoutButton(int index);
  Outcome PressChannelButton(int channel);
  // Starts rotation (logged in, one pane) on the next shown channel, or ends
  // it and returns to nine panes. Refused otherwise.
  Outcome PressRotateButton(bool loggedIn, std::uint8_t rotateSeconds, const ShownChannels& shown);
  // One pane: the next shown channel after the selected one.
  Outcome NextRotationChannel(const ShownChannels& shown);
  // The 1-second tick: every rotateSeconds ticks the rotation moves on.
  Outcome Tick(const ShownChannels& shown);
  // A double-click on a pane: that channel alone; on the single pane: nine panes.
  Outcome PressPane(const QPoint& point, const QRect& videoArea);
  void SetChannelLimit(int channels);

  // The skin's button states for the current page.
  bool IsChannelButtonLatched(int channel) const;
  bool IsChannelButtonEnabled(int channel) const;
  bool IsLayoutButtonLatched(int index) const { return index == (m_wChannelLayout & 0xFF); }

  std::uint16_t ChannelLayout() const { return m_wChannelLayout; }
  std::uint16_t ChannelSelection() const { return m_wChannelSelection; }
  std::uint32_t ChannelMask() const { return m_dwChannelMask; }
  std::uint16_t RotationWord() const { return m_wRotation; }
  bool IsRotating() const { return (m_wRotation & 0xFF00) != 0; }
  bool IsSingle() const { return m_wChannelLayout == kLayoutSingle; }
  const QRect& PaneRect(int channel) const { return m_rcPane.at(channel); }
  // The size a live picture is decoded at for its pane, in device pixels of deviceScale
  // per window pixel; empty: full size (one pane, or not shown).
  QSize LiveDecodeSize(int channel, qreal deviceScale = 1) const;

 private:
  std::uint16_t m_wChannelLayout = kLayoutNine;
  std::uint16_t m_wPrevChannelLayout = kLayoutNine;
  std::uint16_t m_wChannelSelection = kSelectionMultiPane;
  std::uint32_t m_nFirstChannel = 0;
  std::uint32_t m_dwChannelMask = kAllChannelsMask;
  std::array<QRect, wire::kChannels> m_rcPane{};
  std::uint16_t m_wRotation = 0;
  std::uint8_t m_nRotationCounter = 0;
  std::uint8_t m_nChannelLimit = wire::kChannels;
};
