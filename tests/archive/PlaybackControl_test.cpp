// Playback control against a fake panel and a fake link: the words of the
// play requests, the range check and event playback.
#include <gtest/gtest.h>

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
  int Count(const std::string& name) const { return static_cast<int>(std::count(calls.begin(), calls.end(), name)); }
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

TEST_F(PlaybackTest, PlayOnEndDateAfterEndTimeIsInRangeAndCarriesDateAndTimeWords) {
  January2005Range();
  ASSERT_TRUE(control.IsRangeKnown());
  control.SetTimeWord(T(23, 0, 0));
  EXPECT_EQ(control.PressButton(Play), 0);

  ASSERT_EQ(link.plays.size(), 1u);
  const PlayRequest& r = link.plays[0];
  EXPECT_EQ(r.start, 0x07D5011Fu);
  EXPECT_EQ(r.second, 0x17000000u);
  EXPECT_EQ(r.command, 0x00010100u);  // forward, normal speed, start
  EXPECT_EQ(r.channel, 1u);           // selected channel 0 travels as 1
  EXPECT_TRUE(r.armed);
  EXPECT_EQ(control.PlayState(), kStateForward);
  EXPECT_FALSE(panel.controlsEnabled);
  // The common end: reconnection stopped, then the status request last.
  EXPECT_EQ(link.calls, (std::vector<std::string>{"play", "stopReconnect", "status2"}));
  EXPECT_EQ(panel.informationRedraws, 1);
}

TEST_F(PlaybackTest, SecondPressWhilePlayingChangesWithActionTwoAndTheSpeedSetting) {
  January2005Range();
  control.SetTimeWord(T(8, 0, 0));
  control.PressButton(Play);
  control.PressButton(FastForward);
  ASSERT_EQ(link.plays.size(), 2u);
  EXPECT_EQ(link.plays[1].command, 0x00040200u);
  // Backward while playing: direction bit, always normal speed.
  control.PressButton(Backward);
  EXPECT_EQ(link.plays[2].command, 0x01010200u);
  EXPECT_EQ(control.PlayState(), kStateBackward);
  control.PressButton(FastBackward);
  EXPECT_EQ(link.plays[3].command, 0x01040200u);
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
  // The common end is skipped: no status request.
  EXPECT_EQ(link.Count("status2"), 0);

  // One second later it is playable backwards, and forward at the exact time is.
  control.SetTimeWord(T(8, 30, 1));
  control.PressButton(Backward);
  EXPECT_EQ(link.plays.size(), 1u);
  control.PressButton(Stop);
  control.SetTimeWord(T(8, 30, 0));
  control.PressButton(Play);
  EXPECT_EQ(link.plays.back().command, 0x00010100u);
}

TEST_F(PlaybackTest, StartYear1996MakesTheRangeUnknownAndKeepsTheOldValues) {
  January2005Range();
  const ArchiveMoment oldStart = control.Start();
  control.SetArchiveRange(D(1996, 5, 1), T(0, 0, 0), D(2005, 2, 1), T(0, 0, 0));
  EXPECT_FALSE(control.IsRangeKnown());
  EXPECT_EQ(control.Start(), oldStart);
  EXPECT_EQ(control.End().month, 1);
}

TEST_F(PlaybackTest, PlayFromEventSwitchesASingleChannelButKeepsAllChannels) {
  January2005Range();
  panel.selected = 1;  // channel 2
  const std::uint32_t packed = MakeTimeCost(2005, 5, 31, 23, 59, 59);
  control.PlayFromEvent(packed, 4);
  EXPECT_EQ(panel.selected, 4);
  ASSERT_EQ(link.plays.size(), 1u);
  EXPECT_EQ(link.plays[0].channel, 5u);
  EXPECT_EQ(link.plays[0].start, 0x07D5051Fu);
  EXPECT_EQ(link.plays[0].second, 0x173B3B00u);
  EXPECT_EQ(link.plays[0].command, 0x00010100u);
  EXPECT_TRUE(link.plays[0].armed);
  EXPECT_EQ(panel.lit, 1u << Play);
  // No range check: the calendar stays enabled.
  EXPECT_TRUE(panel.controlsEnabled);

  panel.selected = kAllChannels;
  control.Stop();
  control.PlayFromEvent(packed, 6);
  EXPECT_EQ(panel.selected, kAllChannels);
  EXPECT_EQ(link.plays.back().channel, 0u);
  EXPECT_EQ(panel.singleSelections, 1);
}

}  // namespace
