#include "viewer/PaneLayout.h"

#include <QtGlobal>
#include <QtMath>

#include <algorithm>

namespace {
// The panes share the 640 x 480 video area from (63, 23); neighbouring panes are 2 pixels apart.
constexpr QRect kPaneArea(63, 23, 640, 480);
constexpr int kPaneGap = 2;

int SideForPanes(int panes) {
  switch (panes) {
    case 1: return 1;
    case 4: return 2;
    case 9: return 3;
    case 16: return 4;
    default: return 0;
  }
}

std::uint32_t MaskFrom(int channel, int count) {
  std::uint32_t mask = 0;
  for (int k = 0; k < count; ++k) mask |= 1u << ((channel + k) % wire::kChannels);
  return mask;
}
}  // namespace

void PaneLayout::SetLayout(std::uint16_t layoutWord) {
  m_wPrevChannelLayout = m_wChannelLayout;
  m_wChannelLayout = layoutWord;
  const int sel = m_wChannelSelection & 0xFF;
  const bool single = layoutWord == kLayoutSingle;
  if (!single) m_wRotation = 0;

  const int side = SideForPanes(layoutWord >> 8);
  if (side <= 0) return;
  const int width = kPaneArea.width() / side;
  const int height = kPaneArea.height() / side;
  int c = static_cast<int>(m_nFirstChannel % wire::kChannels);
  for (int i = 0; i < side * side; ++i) {
    const int row = i / side;
    const int column = i % side;
    const QRect cell(kPaneArea.left() + width * column, kPaneArea.top() + height * row, width - kPaneGap,
                     height - kPaneGap);
    if (single) {
      m_rcPane[c] = QRect();
      m_rcPane[sel] = cell;
    } else {
      m_rcPane[c] = cell;
    }
    c = (c + 1) % wire::kChannels;
  }
  for (int i = side * side; i < wire::kChannels; ++i) {
    if (c != sel || !single) m_rcPane[c] = QRect();
    c = (c + 1) % wire::kChannels;
  }
}

PaneLayout::Outcome PaneLayout::PressLayoutButton(int index) {
  static constexpr std::array<std::uint16_t, 4> kWords = {kLayoutSingle, kLayoutQuad, 0, kLayoutNine};
  static constexpr std::array<int, 4> kPanes = {1, 4, 0, 9};
  // 7, 10, 13 and 16 panes are not offered.
  if (index < 0 || index >= static_cast<int>(kWords.size()) || kWords[index] == 0) return Outcome::Refused;
  m_nFirstChannel = 0;
  m_dwChannelMask = MaskFrom(0, kPanes[index]);
  m_wChannelSelection = index == 0 ? 0 : kSelectionMultiPane;
  SetLayout(kWords[index]);
  return Outcome::Changed;
}

PaneLayout::Outcome PaneLayout::PressChannelButton(int channel) {
  if (channel >= kLiveChannels || channel >= m_nChannelLimit) return Outcome::Refused;
  const int panes = m_wChannelLayout >> 8;
  if (m_wChannelLayout == kLayoutSingle) {
    if (channel == (m_wChannelSelection & 0xFF)) return Outcome::Unchanged;
    m_dwChannelMask = 1u << channel;
  } else if (panes == 4 || panes == 9) {
    m_dwChannelMask = MaskFrom(channel, panes);
  } else {
    return Outcome::Unchanged;
  }
  m_nFirstChannel = channel;
  m_wChannelSelection = static_cast<std::uint16_t>(channel);
  SetLayout(m_wChannelLayout == kLayoutSingle ? kLayoutSingle : (panes == 4 ? kLayoutQuad : kLayoutNine));
  return Outcome::Changed;
}

PaneLayout::Outcome PaneLayout::PressRotateButton(bool loggedIn, std::uint8_t rotateSeconds,
                                                  const ShownChannels& shown) {
  if (IsRotating()) {
    m_wRotation = 0;
    return PressLayoutButton(kLayoutIndexNine);
  }
  if (!loggedIn || m_wChannelLayout != kLayoutSingle) return Outcome::Refused;
  m_nRotationCounter = 0;
  m_wRotation = static_cast<std::uint16_t>(kRotationOn + std::max<std::uint8_t>(rotateSeconds, 1));
  return NextRotationChannel(shown);
}

PaneLayout::Outcome PaneLayout::NextRotationChannel(const ShownChannels& shown) {
  if (m_wChannelLayout != kLayoutSingle) return Outcome::Unchanged;
  const int sel = m_wChannelSelection & 0xFF;
  for (int k = 1; k <= wire::kChannels; ++k) {
    const int ch = (sel + k) % wire::kChannels;
    if (shown[ch]) {
      // As a channel button does: the live request then asks for this channel.
      m_dwChannelMask = 1u << ch;
      m_nFirstChannel = static_cast<std::uint32_t>(ch);
      m_wChannelSelection = static_cast<std::uint16_t>(ch);
      SetLayout(kLayoutSingle);
      return Outcome::Changed;
    }
  }
  return Outcome::Unchanged;
}

PaneLayout::Outcome PaneLayout::Tick(const ShownChannels& shown) {
  if (!IsRotating()) return Outcome::Unchanged;
  if (++m_nRotationCounter < (m_wRotation & 0xFF)) return Outcome::Unchanged;
  m_nRotationCounter = 0;
  return NextRotationChannel(shown);
}

PaneLayout::Outcome PaneLayout::PressPane(const QPoint& point, const QRect& videoArea) {
  if (m_wChannelLayout == kLayoutSingle)
    return videoArea.contains(point) ? PressLayoutButton(kLayoutIndexNine) : Outcome::Unchanged;
  for (int ch = 0; ch < wire::kChannels; ++ch) {
    if (!m_rcPane[ch].isEmpty() && m_rcPane[ch].contains(point)) {
      m_dwChannelMask = 1u << ch;
      m_nFirstChannel = static_cast<std::uint32_t>(ch);
      m_wChannelSelection = static_cast<std::uint16_t>(ch);
      SetLayout(kLayoutSingle);
      return Outcome::Changed;
    }
  }
  return Outcome::Unchanged;
}

void PaneLayout::SetChannelLimit(int channels) {
  m_nChannelLimit = static_cast<std::uint8_t>(qBound(0, channels, wire::kChannels));
}

QSize PaneLayout::LiveDecodeSize(int channel, qreal deviceScale) const {
  if (channel < 0 || channel >= wire::kChannels || IsSingle()) return {};
  // A recorder picture of one field is drawn stretched to about twice its
  // height anyway: at least one picture column per pane column and one row
  // per two pane rows keeps what the pane can show.
  const QRect& pane = m_rcPane[channel];
  if (pane.isEmpty()) return {};
  return QSize(qCeil(pane.width() * deviceScale), std::max(1, qCeil(pane.height() * deviceScale) / 2));
}

bool PaneLayout::IsChannelButtonLatched(int channel) const {
  // Beyond the recorder's channel count: never latched, never clickable.
  if (channel >= m_nChannelLimit) return false;
  return IsSingle() ? channel == (m_wChannelSelection & 0xFF) : ((m_dwChannelMask >> channel) & 1u) != 0;
}

bool PaneLayout::IsChannelButtonEnabled(int channel) const {
  return channel < m_nChannelLimit && !IsChannelButtonLatched(channel);
}
