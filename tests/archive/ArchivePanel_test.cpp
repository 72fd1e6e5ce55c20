// The archive panel offscreen with a fake main view and a fake link that
// records what it is sent: the words of the play requests, the range check
// and event playback; the played image's time, POWER during an AVI save,
// the window rules and the information block's lines; the month calendar's
// Sunday rule, grid and header.
#include <gtest/gtest.h>

#include <QCloseEvent>
#include <QTemporaryDir>
#include <QTest>

#include <map>
#include <string>
#include <vector>

#include "archive/CArchiveDlg.h"
#include "archive/IArchiveHost.h"
#include "archive/IArchiveLink.h"
#include "archive/IArchiveMedia.h"
#include "archive/MonthCalendar.h"
#include "platform/Alerts.h"
#include "res/SkinImages.h"
#include "skin/SkinButton.h"
#include "skin/SkinSlider.h"
#include "viewer/EventRecord.h"

using namespace playback;

namespace {

struct PlayRequest {
  std::uint32_t channel, start, second, command;
  bool armed;
  friend bool operator==(const PlayRequest&, const PlayRequest&) = default;
};

// Owned by the panel; keeps the play requests and the order of the calls.
class FakeLink : public IArchiveLink {
 public:
  std::vector<PlayRequest> plays;
  std::vector<std::string> calls;
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
  void SetArchivePanel(ILinkArchivePanel*) override {}
  void SendEventFileRequest() override {}
  void SendLiveStop() override {}
  std::uint32_t RecordingPosition() const override { return 0; }
  std::uint32_t ChannelStatusWord() const override { return 0x01020304; }
  int MissCount() const override { return 2; }
  QString EventFilePath() const override { return {}; }
};
class FakeHost : public IArchiveHost {
 public:
  int switchedToLive = 0;
  int RequestSpeed() const override { return 4; }
  int RecordInterval() const override { return 1; }
  QString RecordFolder() const override { return QStringLiteral("Backup"); }
  int DateShow() const override { return 1; }
  bool UseFullScreen() const override { return false; }
  void SwitchToLive() override { ++switchedToLive; }
};

class FakeMedia : public IArchiveMedia {
 public:
  bool recording = false, saving = false;
  int saves = 0;
  void OnRecordButton(std::uint16_t, int) override { recording = !recording; }
  void OnSaveButton() override { ++saves; }
  void OnPrintButton() override {}
  bool IsRecording() const override { return recording; }
  void StopRecording() override { recording = false, saving = true; }
  bool IsSavingAvi() const override { return saving; }
  void NotifyNewPicture() override {}
};

// DvrDate / DvrTime words of a version 2 range reply.
constexpr std::uint32_t D(int y, int m, int d) { return MakeDvrDate(y, m, d); }
constexpr std::uint32_t T(int h, int m, int s) { return MakeDvrTime(h, m, s); }

class ArchivePanelTest : public ::testing::Test {
 protected:
  QTemporaryDir dir;
  FakeHost* host = new FakeHost;  // owned by the panel
  FakeLink* link = new FakeLink;  // owned by the panel
  std::vector<PlayRequest>& plays = link->plays;
  std::vector<std::string>& calls = link->calls;  // every call to the link in order
  std::vector<QString> messages;
  std::unique_ptr<CArchiveDlg> panel;
  std::int64_t nowMs = 0;

  void SetUp() override {
    Alerts::SetBeepHook([] {});
    Alerts::SetMessageHook([this](const Alerts::Message& m) { return messages.push_back(m.text), Alerts::kOk; });
    CArchiveDlg::Options options;
    options.playback.eventRestartMs = 5;
    options.powerReturnMs = 1;
    options.logoFile = dir.filePath("no-logo.bmp");
    options.noticeClockMs = [this] { return nowMs; };
    panel = std::make_unique<CArchiveDlg>(std::unique_ptr<IArchiveHost>(host), std::unique_ptr<IArchiveLink>(link),
                                          options);
    panel->Calendar()->SetDate(QDate(2005, 1, 31));
    control().SetClock([] { return QDateTime(QDate(2010, 6, 15), QTime(10, 20, 30)); });
  }
  void TearDown() override {
    panel.reset();
    Alerts::SetBeepHook({});
    Alerts::SetMessageHook({});
  }
  PlaybackControl& control() { return panel->Playback(); }
  void January2005Range() { control().SetArchiveRange(D(2005, 1, 1), T(0, 0, 0), D(2005, 1, 31), T(12, 0, 0)); }
  std::vector<std::uint32_t> Commands() const {
    std::vector<std::uint32_t> out;
    for (const auto& p : plays) out.push_back(p.command);
    return out;
  }
  std::uint8_t LitPlayButtons() const {
    std::uint8_t lit = 0;
    for (int b = 0; b < ButtonCount; ++b) lit |= panel->Button(CArchiveDlg::kIdPlayFirst + b)->GetCheck() << b;
    return lit;
  }
  bool ControlsEnabled() const { return panel->Calendar()->isEnabled() && panel->Slider()->isEnabled(); }
  bool Lit(int id) { return panel->Button(id)->GetCheck(); }
};

// Play on the end date after the end time is in range; a second press while
// playing changes with action 2 and the speed setting, backward always at
// normal speed. Backward needs a second before the start.
TEST_F(ArchivePanelTest, PlayRequestsCarryDateTimeChannelAndCommandWordsOfAUsableRange) {
  January2005Range();
  ASSERT_TRUE(control().IsRangeKnown());
  control().SetTimeWord(T(23, 0, 0));
  EXPECT_EQ(control().PressButton(Play), 0);
  // Selected channel 0 travels as 1; forward, normal speed, start.
  EXPECT_EQ(plays, (std::vector<PlayRequest>{{1, 0x07D5011F, 0x17000000, 0x00010100, true}}));
  EXPECT_EQ(control().PlayState(), kStateForward);
  EXPECT_FALSE(ControlsEnabled());
  // The common end: reconnection stopped, then the status request last.
  EXPECT_EQ(calls, (std::vector<std::string>{"play", "stopReconnect", "status2"}));

  for (const Button b : {FastForward, Backward, FastBackward}) control().PressButton(b);
  EXPECT_EQ(Commands(), (std::vector<std::uint32_t>{0x00010100, 0x00040200, 0x01010200, 0x01040200}));
  EXPECT_EQ(control().PlayState(), kStateBackward);

  // Backward at the start's exact time is an invalid date.
  control().PressButton(Stop);
  plays.clear();
  calls.clear();
  control().SetArchiveRange(D(2005, 1, 10), T(8, 30, 0), D(2005, 1, 31), T(12, 0, 0));
  panel->Calendar()->SetDate(QDate(2005, 1, 10));
  control().SetTimeWord(T(8, 30, 0));
  EXPECT_EQ(control().PressButton(Backward), 0);
  EXPECT_EQ(std::tuple(panel->ResultText(), control().PlayState(), LitPlayButtons()),
            std::tuple("Invalid Date", kStateStopped, 1u << Stop));
  // Nothing is sent; the common end is skipped: no status request.
  EXPECT_EQ(calls, std::vector<std::string>{"disarm"});

  // One second later it is playable backwards, and forward at the exact time is.
  control().SetTimeWord(T(8, 30, 1));
  control().PressButton(Backward);
  EXPECT_EQ(plays.size(), 1u);
  control().PressButton(Stop);
  control().SetTimeWord(T(8, 30, 0));
  control().PressButton(Play);
  EXPECT_EQ(plays.back().command, 0x00010100u);

  // A start year before 1997, hour 24 or a day the month lacks: no usable range.
  const std::uint32_t unusable[][4] = {{D(1996, 5, 1), T(0, 0, 0), D(2005, 2, 1), T(0, 0, 0)},
                                       {D(2005, 1, 1), T(24, 0, 0), D(2005, 1, 31), T(12, 0, 0)},
                                       {D(2005, 1, 1), T(0, 0, 0), D(2005, 2, 31), T(12, 0, 0)}};
  for (const auto& w : unusable) {
    January2005Range();
    const ArchiveMoment start = control().Start(), end = control().End();
    control().SetArchiveRange(w[0], w[1], w[2], w[3]);
    EXPECT_FALSE(control().IsRangeKnown()) << w[0] << ' ' << w[1];
    EXPECT_EQ(std::pair(control().Start(), control().End()), std::pair(start, end));
  }
}

TEST_F(ArchivePanelTest, PlayFromEventSwitchesASingleChannelButKeepsAllChannels) {
  January2005Range();
  const std::uint32_t packed = MakeTimeCost(2005, 5, 31, 23, 59, 59);
  panel->OnCommand(CArchiveDlg::kIdPlus);  // all channels shown
  control().PlayFromEvent(packed, 6);
  EXPECT_EQ(std::tuple(panel->SelectedChannel(), panel->ChannelLayout(), plays.back().channel),
            std::tuple(kAllChannels, CArchiveDlg::kLayoutAll, 0u));

  control().Stop();
  plays.clear();
  panel->SelectSingleChannel(1);  // channel 2
  control().PlayFromEvent(packed, 4);
  EXPECT_EQ(panel->SelectedChannel(), 4);
  EXPECT_EQ(panel->GridSize(), 4) << "the grid keeps its size";
  EXPECT_EQ(plays, (std::vector<PlayRequest>{{5, 0x07D5051F, 0x173B3B00, 0x00010100, true}}));
  EXPECT_EQ(LitPlayButtons(), 1u << Play);
  EXPECT_TRUE(ControlsEnabled());  // no range check: the calendar stays enabled

  // A playing pane without a picture for 3 s says so; stopped, it says nothing.
  const BitmapInfoHeader header{.width = 352, .height = 240};
  const std::vector<std::uint8_t> pixels(header.ComputeImageSize());
  panel->SetPlayImage(4, pixels.data(), header, 0);
  panel->DrawPlayImage(4);
  nowMs = 3000;
  EXPECT_EQ(panel->NoticeText(4), "NO PICTURE 3 s");
  control().Stop();
  EXPECT_EQ(panel->NoticeText(4), "");
}

// While playing, an event first stops and requests after a pause; a button
// pressed during the pause cancels the event's request.
TEST_F(ArchivePanelTest, EventWhilePlayingWaitsForThePauseThatAButtonCancels) {
  January2005Range();
  control().PressButton(Play);
  control().PlayFromEvent(MakeTimeCost(2005, 1, 2, 3, 4, 5), 0);
  EXPECT_EQ(Commands(), (std::vector<std::uint32_t>{0x00010100, 0}));
  EXPECT_TRUE(control().IsEventRestartPending());
  ASSERT_TRUE(QTest::qWaitFor([&] { return plays.size() == 3; }, 2000));
  EXPECT_EQ(plays[2].start, 0x07D50102u);

  control().PlayFromEvent(MakeTimeCost(2005, 1, 2, 3, 4, 5), 0);
  control().Stop();
  const auto sent = plays.size();
  QTest::qWait(30);
  EXPECT_EQ(plays.size(), sent);
}

TEST_F(ArchivePanelTest, FollowsThePlayedImageTimeInBothEncodings) {
  // Version 2 stamp: channel 1, 2005-05-31 23:59:58.
  panel->ShowPlayImageTime(1u << 24 | 2005u << 8 | 5u, 31u << 24 | 23u << 16 | 59u << 8 | 58u, 2);
  EXPECT_EQ(panel->Calendar()->GetDate(), QDate(2005, 5, 31));
  EXPECT_EQ(panel->CurrentImageTime(), (ArchiveMoment{2005, 5, 31, 23, 59, 58}));
  panel->ShowPlayImageTime(2200u << 8 | 5u, 1u << 24, 2);  // out-of-range year: ignored
  EXPECT_EQ(panel->CurrentImageTime().year, 2005);
  const ArchiveMoment m{2006, 7, 8, 9, 10, 11};  // version 1: seconds
  panel->ShowPlayImageTime(m.ToSeconds(), 0, 1);
  EXPECT_EQ(panel->CurrentImageTime(), m);
  EXPECT_EQ(panel->ClockText(), "09:10:11");
}

// POWER while recording ends the recording, has its last segment saved and
// leaves; only a write already under way before it keeps the panel open.
TEST_F(ArchivePanelTest, PowerEndsARecordingButStaysWhileAnEarlierFileIsWritten) {
  auto media = std::make_unique<FakeMedia>();
  FakeMedia* m = media.get();
  panel->SetMedia(std::move(media));
  panel->OnCommand(CArchiveDlg::kIdRecord);
  EXPECT_TRUE(Lit(CArchiveDlg::kIdRecord));
  panel->OnCommand(CArchiveDlg::kIdPower);
  EXPECT_FALSE(Lit(CArchiveDlg::kIdRecord));
  EXPECT_TRUE(m->saving && messages.empty());
  EXPECT_EQ(calls.back(), "status2");
  QTRY_COMPARE(host->switchedToLive, 1);

  panel->OnCommand(CArchiveDlg::kIdPower);  // the segment is still being written
  EXPECT_EQ(messages, std::vector<QString>{"Saving AVI File Now.So Can Not Close This Window!"});
  QTest::qWait(20);
  EXPECT_EQ(host->switchedToLive, 1);
  panel->OnCommand(CArchiveDlg::kIdSave);
  EXPECT_EQ(m->saves, 1);
}

// Keys press the panel's buttons as clicks do: Space plays, or stops while
// playing; the arrows play backward and forward, fast with Shift; F1, F4 and F9
// lay out ONE, or ALL with 2 or 3 panes a side; Escape and Ctrl+Q are POWER.
// A moment outside the range is refused as for the click.
TEST_F(ArchivePanelTest, KeysPressTheButtonsAsClicksDo) {
  January2005Range();
  panel->StartArchive();
  panel->show();
  const auto key = [this](int k, Qt::KeyboardModifiers modifiers) {
    QTest::keyClick(panel.get(), Qt::Key(k), modifiers);
    for (int pass = 0; pass < 4; ++pass) QCoreApplication::processEvents();  // F9 clicks three buttons in turn
  };
  panel->Calendar()->SetDate(QDate(2005, 2, 1));
  key(Qt::Key_Space, {});
  EXPECT_EQ(std::tuple(plays.size(), panel->ResultText(), LitPlayButtons()), std::tuple(0u, "Invalid Date", 1 << Stop));
  panel->Calendar()->SetDate(QDate(2005, 1, 31));
  const struct { int key; Qt::KeyboardModifiers modifiers; std::uint32_t command; int grid, layout, channel; } rows[] = {
      {Qt::Key_Space, {}, 0x00010100, 3, 0, 0},        {Qt::Key_Space, {}, 0, 3, 0, 0},
      {Qt::Key_Right, {}, 0x00010100, 3, 0, 0},        {Qt::Key_Right, Qt::ShiftModifier, 0x00040200, 3, 0, 0},
      {Qt::Key_Left, Qt::ShiftModifier, 0x01040200, 3, 0, 0}, {Qt::Key_Left, {}, 0x01010200, 3, 0, 0},
      {Qt::Key_Space, {}, 0, 3, 0, 0},                 {Qt::Key_F9, {}, 0, 3, 0x401, 255},
      {Qt::Key_F4, {}, 0, 2, 0x401, 255},              {Qt::Key_F1, {}, 0, 1, 0x100, 0},
      {Qt::Key_3, {}, 0, 1, 0x100, 2},                 {Qt::Key_F1, Qt::ControlModifier, 0, 1, 0x100, 2},
  };
  for (const auto& row : rows) {
    key(row.key, row.modifiers);
    EXPECT_EQ(std::tuple(plays.back().command, panel->GridSize(), int(panel->ChannelLayout()), int(panel->SelectedChannel())),
              std::tuple(row.command, row.grid, row.layout, row.channel))
        << QKeySequence(row.key | row.modifiers).toString().toStdString();
  }
  EXPECT_EQ(plays.size(), 7u) << "only the play keys ask the recorder";
  EXPECT_EQ(panel->Button(CArchiveDlg::kIdPlayFirst + int(Play))->toolTip(), "PLAY (Space, Right)");
  key(Qt::Key_Escape, {});
  QTRY_COMPARE(host->switchedToLive, 1);
  key(Qt::Key_Q, Qt::ControlModifier);
  QTRY_COMPARE(host->switchedToLive, 2);
}

// Close requests from the window system are swallowed (a recording would end
// unsaved); a hidden panel forgets the pictures it was lent.
TEST_F(ArchivePanelTest, CloseRequestsAreSwallowedAndAHiddenPanelForgetsItsPictures) {
  panel->show();
  QCloseEvent close;
  QCoreApplication::sendEvent(panel.get(), &close);
  EXPECT_FALSE(close.isAccepted());
  QTest::keyClick(panel.get(), Qt::Key_Return);
  EXPECT_TRUE(panel->isVisible());
  panel->RequestClose();
  QCoreApplication::processEvents();
  EXPECT_FALSE(panel->isVisible());

  // The pictures belong to the link's holders; once the panel is hidden, live
  // viewing may free them, so a forced paint of the hidden panel must not read
  // them (ASan catches a read).
  panel->SetPanelVisible(true);
  BitmapInfoHeader header{.width = 352, .height = 240};
  auto holder = std::make_unique<std::vector<std::uint8_t>>(header.ComputeImageSize(), 0x80);
  for (int ch : {0, 1}) panel->SetPlayImage(ch, holder->data(), header, 0);
  ASSERT_TRUE(panel->HasPlayImage(0));
  panel->SetPanelVisible(false);
  holder.reset();  // live viewing replaced the holder's bitmap
  EXPECT_FALSE(panel->HasPlayImage(0) || panel->HasPlayImage(1));
  EXPECT_FALSE(panel->grab().isNull());
}

// Each label sits on its value's baseline with room before the value, and
// nothing is drawn over the information box's border.
TEST_F(ArchivePanelTest, InformationLinesShareABaselineInsideTheBox) {
  January2005Range();
  panel->ShowPlayPosition(371446);
  const QImage shot = panel->grab().toImage(), skin = SkinPixmap(CArchiveDlg::kBitmapBackground).toImage();
  for (const auto& line : CArchiveDlg::kInfoDesign) {  // the labels end before the design's value column
    std::map<int, int> bottoms[2];  // label, value: how many columns end their ink on each row
    int labelEnd = 0, valueStart = CArchiveDlg::kInfoBox.right();
    for (int x = CArchiveDlg::kInfoBox.left(); x < CArchiveDlg::kInfoBox.right(); ++x)
      for (int y = line.valueRect.bottom(); y >= line.valueRect.top(); --y)
        if (qGreen(shot.pixel(x, y)) > 128) {
          const bool value = x >= line.valueRect.left();
          ++bottoms[value][y], value ? valueStart = std::min(valueStart, x) : labelEnd = x;
          break;
        }
    const auto baseline = [](const auto& b) { return std::ranges::max_element(b, {}, &std::pair<const int, int>::second)->first; };
    EXPECT_EQ(baseline(bottoms[0]), baseline(bottoms[1])) << line.label;
    EXPECT_GE(valueStart - labelEnd, 6) << line.label;
  }
  for (int y = 50; y < 250; ++y)
    for (int x = 714; x < skin.width(); ++x)
      ASSERT_TRUE(CArchiveDlg::kInfoBox.contains(x, y) || shot.pixel(x, y) == skin.pixel(x, y)) << x << "," << y;
}

TEST(Calendar, FirstOfMonthOnSundayShowsThePreviousWeek) {
  QWidget parent;
  MonthCalendar cal{&parent, QRect(722, 376, 224, 180), 7};
  cal.SetTodayOverride(QDate(2001, 1, 1));
  ASSERT_TRUE(cal.SetDate(QDate(2005, 5, 1)));
  EXPECT_EQ(std::vector({cal.CellAt(0).date, cal.CellAt(6).date, cal.CellAt(7).date, cal.CellAt(41).date}),
            std::vector({QDate(2005, 4, 24), QDate(2005, 4, 30), QDate(2005, 5, 1), QDate(2005, 6, 4)}));
  EXPECT_EQ(cal.CellAt(0).kind, MonthCalendar::KindOtherMonth);
  EXPECT_EQ(cal.CellAt(7).kind, MonthCalendar::KindThisMonth);
  EXPECT_TRUE(cal.CellAt(7).selected);
  // The grid reaches the right and bottom edges; the header's controls are dark.
  EXPECT_EQ(cal.CellAt(MonthCalendar::kCells - 1).rect.bottomRight(), cal.rect().bottomRight());
  for (QWidget* header : cal.findChildren<QWidget*>(Qt::FindDirectChildrenOnly))
    EXPECT_LT(qGray(header->grab().toImage().scaled(1, 1, Qt::IgnoreAspectRatio, Qt::SmoothTransformation).pixel(0, 0)), 96);
}

}  // namespace
