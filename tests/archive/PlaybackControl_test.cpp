// Playback control against a fake panel and a fake link: the words of the
// play requests, the range check and event playback.
#include <gtest/gtest.h>

#include <QTest>

#include <string>
#include <vector>

#include "archive/IPlaybackLink.h"
#include "archive/IPlaybackPanel.h"
#include "archive/PlaybackControl.h"
#include "viewer/EventRecord.h"

using namespace playback;

namespace {

struct PlayRequest {
  std::uint32_t channel, start, second, command;
  bool armed;
  friend bool operator==(const PlayRequest&, const PlayRequest&) = default;
};

class FakeLink : public IPlaybackLink {
 public:
  std::vector<PlayRequest> plays;
  std::vector<std::string> calls;  // every call in order
  std::uint32_t words[4] = {};

  int ProtocolVersion() const override { return 2; }
  void SetPlayRequestWords(std::uint32_t c, std::uint32_t s, std::uint32_t t, std::uint32_t cmd) override {
    words[0] = c, words[1] = s, words[2] = t, words[3] = cmd;
  }
  void SendPlayRequest(bool arm) override {
    plays.push_back({words[0], words[1], words[2], words[3], arm}), calls.push_back("play");
  }
  void SendRemoteKey(std::uint16_t) override { calls.push_back("key"); }
  void SendDvrStatus2() override { calls.push_back("status2"); }
  void StopReconnectCycle() override { calls.push_back("stopReconnect"); }
  void DisarmResponseTimer() override { calls.push_back("disarm"); }
  std::vector<std::uint32_t> Commands() const {
    std::vector<std::uint32_t> out;
    for (const auto& p : plays) out.push_back(p.command);
    return out;
  }
};

class FakePanel : public IPlaybackPanel {
 public:
  std::optional<QDate> date = QDate(2005, 1, 31);
  bool controlsEnabled = true;
  QString result;
  std::uint8_t lit = 0;
  int informationRedraws = 0;
  std::uint8_t selected = 0;
  int singleSelections = 0;

  int RequestSpeed() const override { return 4; }
  std::optional<QDate> CalendarDate() const override { return date; }
  void SetSearchControlsEnabled(bool e) override { controlsEnabled = e; }
  void ShowLinkStatus(int) override {}
  void ShowSearching(bool) override {}
  void ShowResultText(const QString& text) override { result = text; }
  void LightPlayButtons(std::uint8_t mask) override { lit = mask; }
  void RedrawInformation() override { ++informationRedraws; }
  std::uint8_t SelectedChannel() const override { return selected; }
  void SelectSingleChannel(int channel) override { selected = static_cast<std::uint8_t>(channel), ++singleSelections; }
  void EndRecordingForStop() override {}
  bool IsSavingAvi() const override { return false; }
};

// DvrDate / DvrTime words of a version 2 range reply.
constexpr std::uint32_t D(int y, int m, int d) { return MakeDvrDate(y, m, d); }
constexpr std::uint32_t T(int h, int m, int s) { return MakeDvrTime(h, m, s); }

class PlaybackTest : public ::testing::Test {
 protected:
  FakePanel panel;
  FakeLink link;
  PlaybackControl control{&panel, &link, PlaybackTiming{5}};

  void SetUp() override {
    control.SetClock([] { return QDateTime(QDate(2010, 6, 15), QTime(10, 20, 30)); });
  }
  void January2005Range() { control.SetArchiveRange(D(2005, 1, 1), T(0, 0, 0), D(2005, 1, 31), T(12, 0, 0)); }
};

// Play on the end date after the end time is in range; a second press while
// playing changes with action 2 and the speed setting, backward always at
// normal speed.
TEST_F(PlaybackTest, PlayRequestsCarryDateTimeChannelAndCommandWords) {
  January2005Range();
  ASSERT_TRUE(control.IsRangeKnown());
  control.SetTimeWord(T(23, 0, 0));
  EXPECT_EQ(control.PressButton(Play), 0);
  // Selected channel 0 travels as 1; forward, normal speed, start.
  EXPECT_EQ(link.plays, (std::vector<PlayRequest>{{1, 0x07D5011F, 0x17000000, 0x00010100, true}}));
  EXPECT_EQ(control.PlayState(), kStateForward);
  EXPECT_FALSE(panel.controlsEnabled);
  // The common end: reconnection stopped, then the status request last.
  EXPECT_EQ(link.calls, (std::vector<std::string>{"play", "stopReconnect", "status2"}));
  EXPECT_EQ(panel.informationRedraws, 1);

  for (const Button b : {FastForward, Backward, FastBackward}) control.PressButton(b);
  EXPECT_EQ(link.Commands(), (std::vector<std::uint32_t>{0x00010100, 0x00040200, 0x01010200, 0x01040200}));
  EXPECT_EQ(control.PlayState(), kStateBackward);
}

TEST_F(PlaybackTest, BackwardAtStartsExactTimeIsInvalidDate) {
  control.SetArchiveRange(D(2005, 1, 10), T(8, 30, 0), D(2005, 1, 31), T(12, 0, 0));
  panel.date = QDate(2005, 1, 10);
  control.SetTimeWord(T(8, 30, 0));
  EXPECT_EQ(control.PressButton(Backward), 0);
  EXPECT_TRUE(link.plays.empty());
  EXPECT_EQ(panel.result, "Invalid Date");
  EXPECT_EQ(control.PlayState(), kStateStopped);
  EXPECT_EQ(panel.lit, 1u << Stop);
  EXPECT_EQ(link.calls, std::vector<std::string>{"disarm"});  // the common end is skipped: no status request

  // One second later it is playable backwards, and forward at the exact time is.
  control.SetTimeWord(T(8, 30, 1));
  control.PressButton(Backward);
  EXPECT_EQ(link.plays.size(), 1u);
  control.PressButton(Stop);
  control.SetTimeWord(T(8, 30, 0));
  control.PressButton(Play);
  EXPECT_EQ(link.plays.back().command, 0x00010100u);
}

// A start year before 1997, hour 24 or a day the month lacks: no usable range.
TEST_F(PlaybackTest, UnusableRangeIsUnknownAndKeepsTheOldValues) {
  const std::uint32_t unusable[][4] = {{D(1996, 5, 1), T(0, 0, 0), D(2005, 2, 1), T(0, 0, 0)},
                                       {D(2005, 1, 1), T(24, 0, 0), D(2005, 1, 31), T(12, 0, 0)},
                                       {D(2005, 1, 1), T(0, 0, 0), D(2005, 2, 31), T(12, 0, 0)}};
  for (const auto& w : unusable) {
    January2005Range();
    const ArchiveMoment start = control.Start(), end = control.End();
    control.SetArchiveRange(w[0], w[1], w[2], w[3]);
    EXPECT_FALSE(control.IsRangeKnown()) << w[0] << ' ' << w[1];
    EXPECT_EQ(control.Start(), start);
    EXPECT_EQ(control.End(), end);
  }
}

TEST_F(PlaybackTest, PlayFromEventSwitchesASingleChannelButKeepsAllChannels) {
  January2005Range();
  panel.selected = 1;  // channel 2
  const std::uint32_t packed = MakeTimeCost(2005, 5, 31, 23, 59, 59);
  control.PlayFromEvent(packed, 4);
  EXPECT_EQ(panel.selected, 4);
  EXPECT_EQ(link.plays, (std::vector<PlayRequest>{{5, 0x07D5051F, 0x173B3B00, 0x00010100, true}}));
  EXPECT_EQ(panel.lit, 1u << Play);
  EXPECT_TRUE(panel.controlsEnabled);  // no range check: the calendar stays enabled

  panel.selected = kAllChannels;
  control.Stop();
  control.PlayFromEvent(packed, 6);
  EXPECT_EQ(panel.selected, kAllChannels);
  EXPECT_EQ(link.plays.back().channel, 0u);
  EXPECT_EQ(panel.singleSelections, 1);
}

// While playing, an event first stops and requests after a pause; a button
// pressed during the pause cancels the event's request.
TEST_F(PlaybackTest, EventWhilePlayingWaitsForThePauseThatAButtonCancels) {
  January2005Range();
  control.PressButton(Play);
  control.PlayFromEvent(MakeTimeCost(2005, 1, 2, 3, 4, 5), 0);
  EXPECT_EQ(link.Commands(), (std::vector<std::uint32_t>{0x00010100, 0}));
  EXPECT_TRUE(control.IsEventRestartPending());
  ASSERT_TRUE(QTest::qWaitFor([&] { return link.plays.size() == 3; }, 2000));
  EXPECT_EQ(link.plays[2].start, 0x07D50102u);

  control.PlayFromEvent(MakeTimeCost(2005, 1, 2, 3, 4, 5), 0);
  control.Stop();
  const auto sent = link.plays.size();
  QTest::qWait(30);
  EXPECT_EQ(link.plays.size(), sent);
}

}  // namespace
