// The pane layout and rotation without a window: pages, pane rectangles,
// button states, refusals and the rotation's tick count.
#include <gtest/gtest.h>

#include <tuple>
#include <vector>

#include "skin/SpanRect.h"
#include "viewer/PaneLayout.h"

namespace {

using L = PaneLayout;
using O = PaneLayout::Outcome;

// The latched channel buttons; every other one is clickable.
std::vector<int> Latched(const L& layout) {
  std::vector<int> latched;
  for (int ch = 0; ch < wire::kChannels; ++ch) {
    if (layout.IsChannelButtonLatched(ch)) latched.push_back(ch);
    EXPECT_EQ(layout.IsChannelButtonEnabled(ch), !layout.IsChannelButtonLatched(ch)) << ch;
  }
  return latched;
}

TEST(PaneLayoutTest, RectanglesMasksAndSelectionsOfOneFourAndNinePanes) {
  // Multi-pane pictures are decoded at about their pane's size: full width, half height; one pane, in full.
  L layout;
  for (const auto& [button, channelLayout, mask, first, second, decode] :
       {std::tuple{0, L::kLayoutSingle, 0x1u, SpanRect(63, 23, 701, 501), QRect(), QSize()},
        {1, L::kLayoutQuad, 0xFu, QRect(63, 23, 318, 238), QRect(383, 23, 318, 238), QSize(318, 119)},
        {3, L::kLayoutNine, 0x1FFu, QRect(63, 23, 211, 158), QRect(276, 23, 211, 158), QSize(211, 79)}}) {
    EXPECT_EQ(layout.PressLayoutButton(button), O::Changed);
    EXPECT_EQ(std::tuple(layout.ChannelLayout(), layout.ChannelMask(), layout.PaneRect(0), layout.PaneRect(1)),
              std::tuple(channelLayout, mask, first, second)) << button;
    EXPECT_EQ(layout.LiveDecodeSize(1).isEmpty() ? QSize() : layout.LiveDecodeSize(1), decode) << button;
    EXPECT_TRUE(layout.IsLayoutButtonLatched(button));
  }
  EXPECT_EQ(layout.PaneRect(8), QRect(489, 343, 211, 158));
  EXPECT_EQ(Latched(layout), (std::vector<int>{0, 1, 2, 3, 4, 5, 6, 7, 8}));

  // A channel button pages from that channel, wrapping past 16.
  EXPECT_EQ(layout.PressChannelButton(7), O::Changed);
  EXPECT_EQ(Latched(layout), (std::vector<int>{7, 8, 9, 10, 11, 12, 13, 14, 15}));
  // A double-click on a pane shows that channel alone; on the single pane, nine again.
  const QRect video(62, 22, 640, 480);
  EXPECT_EQ(layout.PressPane(layout.PaneRect(9).center(), video), O::Changed);
  EXPECT_EQ(std::tuple(layout.ChannelLayout(), layout.ChannelSelection()), std::tuple(L::kLayoutSingle, 9));
  EXPECT_EQ(layout.PressPane({10, 10}, video), O::Unchanged);
  EXPECT_EQ(layout.PressPane({100, 100}, video), O::Changed);
  EXPECT_EQ(layout.ChannelLayout(), L::kLayoutNine);
}

TEST(PaneLayoutTest, RefusalsAndARotationThatVisitsOnlyShownChannelsEveryIntervalOfTicks) {
  L layout;
  L::ShownChannels shown{};
  for (int ch : {0, 2, 5}) shown[ch] = true;
  // Refusals; the unused layout buttons and the recorder's channel count are in the view's test.
  EXPECT_EQ(layout.PressChannelButton(L::kLiveChannels), O::Refused);
  layout.PressLayoutButton(1);
  EXPECT_EQ(layout.PressRotateButton(true, 2, shown), O::Refused);  // not one pane
  layout.PressLayoutButton(0);
  EXPECT_EQ(layout.PressChannelButton(0), O::Unchanged);  // already shown
  EXPECT_EQ(layout.PressRotateButton(false, 2, shown), O::Refused);  // not logged in
  EXPECT_EQ(layout.PressRotateButton(true, 2, shown), O::Changed);
  EXPECT_EQ(layout.RotationWord(), 0x102);
  EXPECT_EQ(layout.ChannelSelection() & 0xFF, 2);  // moved at once
  std::vector<int> perTick;
  for (int t = 0; t < 6; ++t) {
    layout.Tick(shown);
    perTick.push_back(layout.ChannelSelection() & 0xFF);
    EXPECT_EQ(layout.ChannelMask(), 1u << perTick.back()) << "live pictures of the rotated-to channel";
  }
  EXPECT_EQ(perTick, (std::vector<int>{2, 5, 5, 0, 0, 2}));

  EXPECT_EQ(layout.PressRotateButton(true, 1, shown), O::Changed);  // off again: back to nine panes
  EXPECT_EQ(layout.ChannelLayout(), L::kLayoutNine);
  EXPECT_EQ(layout.Tick(shown), O::Unchanged);  // no longer rotating
}

}  // namespace
