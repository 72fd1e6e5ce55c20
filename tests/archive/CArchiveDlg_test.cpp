// The archive panel offscreen with a fake link and a fake main view: layout,
// time navigation, texts, play requests through the panel, event playback,
// POWER and the window rules.
#include <gtest/gtest.h>

#include <QCloseEvent>
#include <QFile>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QTest>

#include <vector>

#include "archive/ArchivePanelRules.h"
#include "archive/CArchiveDlg.h"
#include "archive/IArchiveHost.h"
#include "archive/IArchiveLink.h"
#include "archive/IArchiveMedia.h"
#include "archive/MonthCalendar.h"
#include "platform/Alerts.h"
#include "viewer/CEventDlg.h"
#include "viewer/EventRecord.h"
#include "viewer/SkinButton.h"
#include "viewer/SkinSlider.h"

namespace {

struct Sent {
  std::string what;
  std::uint32_t w[4];
  bool arm;
};

struct LinkLog {
  std::vector<Sent> sent;
  ILinkArchivePanel* panel = nullptr;
  int version = 2;
  std::uint32_t recordPosition = 0;
  QString eventPath;
  int Count(const std::string& what) const {
    return static_cast<int>(std::count_if(sent.begin(), sent.end(), [&](const Sent& s) { return s.what == what; }));
  }
  const Sent* LastPlay() const {
    for (auto it = sent.rbegin(); it != sent.rend(); ++it)
      if (it->what == "play") return &*it;
    return nullptr;
  }
};

class FakeLink : public IArchiveLink {
 public:
  explicit FakeLink(LinkLog& log) : m_log(log) {}
  int ProtocolVersion() const override { return m_log.version; }
  void SetPlayRequestWords(std::uint32_t c, std::uint32_t s, std::uint32_t t, std::uint32_t cmd) override {
    m_words[0] = c, m_words[1] = s, m_words[2] = t, m_words[3] = cmd;
  }
  void SendPlayRequest(bool arm) override { m_log.sent.push_back({"play", {m_words[0], m_words[1], m_words[2], m_words[3]}, arm}); }
  void SendRemoteKey(std::uint16_t code) override { m_log.sent.push_back({"key", {code, 0, 0, 0}, true}); }
  void SendDvrStatus2() override { m_log.sent.push_back({"status2", {}, false}); }
  void StopReconnectCycle() override {}
  void DisarmResponseTimer() override {}
  void SetArchivePanel(ILinkArchivePanel* panel) override { m_log.panel = panel; }
  void SendEventFileRequest() override { m_log.sent.push_back({"event", {}, false}); }
  void SendLiveStop() override { m_log.sent.push_back({"livestop", {}, false}); }
  std::uint32_t RecordingPosition() const override { return m_log.recordPosition; }
  std::uint32_t ChannelStatusWord() const override { return 0x01020304; }
  int MissCount() const override { return 2; }
  QString EventFilePath() const override { return m_log.eventPath; }

 private:
  LinkLog& m_log;
  std::uint32_t m_words[4] = {};
};

struct HostLog {
  int switchedToLive = 0;
  int speed = 4;
  bool fullScreen = false;
};

class FakeHost : public IArchiveHost {
 public:
  explicit FakeHost(HostLog& log) : m_log(log) {}
  int RequestSpeed() const override { return m_log.speed; }
  int RecordInterval() const override { return 1; }
  QString RecordFolder() const override { return QStringLiteral("Backup"); }
  int DateShow() const override { return 1; }
  bool UseFullScreen() const override { return m_log.fullScreen; }
  QFont StatusFont() const override { return QFont(); }
  void SwitchToLive() override { ++m_log.switchedToLive; }

 private:
  HostLog& m_log;
};

class FakeMedia : public IArchiveMedia {
 public:
  bool recording = false;
  bool saving = false;
  int pictures = 0;
  int saves = 0;
  void OnRecordButton(std::uint16_t, int) override { recording = !recording; }
  void OnSaveButton() override { ++saves; }
  void OnPrintButton() override {}
  bool IsRecording() const override { return recording; }
  void StopRecording() override {
    recording = false;
    saving = true;
  }
  bool IsSavingAvi() const override { return saving; }
  void NotifyNewPicture() override { ++pictures; }
};

constexpr std::uint32_t D(int y, int m, int d) { return MakeDvrDate(y, m, d); }
constexpr std::uint32_t T(int h, int m, int s) { return MakeDvrTime(h, m, s); }

class PanelTest : public ::testing::Test {
 protected:
  QTemporaryDir dir;
  LinkLog link;
  HostLog host;
  int beeps = 0;
  std::vector<QString> messages;
  std::unique_ptr<CArchiveDlg> panel;

  void SetUp() override {
    Alerts::SetBeepHook([this] { ++beeps; });
    Alerts::SetMessageHook([this](const Alerts::Message& m) {
      messages.push_back(m.text);
      return Alerts::kOk;
    });
    link.eventPath = dir.filePath("AlarmEvent.am");
    CArchiveDlg::Options options;
    options.playback.eventRestartMs = 1;
    options.powerReturnMs = 1;
    options.logoFile = dir.filePath("no-logo.bmp");
    panel = std::make_unique<CArchiveDlg>(std::make_unique<FakeHost>(host), std::make_unique<FakeLink>(link), options);
  }
  void TearDown() override {
    panel.reset();
    Alerts::SetBeepHook({});
    Alerts::SetMessageHook({});
  }
  void SetCalendarAndTime(const QDate& date, int h, int m, int s) {
    panel->Calendar()->SetDate(date);
    panel->OnSliderMoved(h * 3600 + m * 60 + s);
  }
};

TEST_F(PanelTest, CreationRegistersStopsLiveAndShowsTheUnknownRange) {
  EXPECT_EQ(link.panel, panel.get());
  EXPECT_EQ(link.Count("livestop"), 1);
  EXPECT_EQ(panel->windowTitle(), "Ardeviz");
  EXPECT_EQ(panel->size(), QSize(954, 687));
  EXPECT_EQ(panel->GridSize(), 3);
  EXPECT_EQ(panel->SelectedChannel(), 0);
  EXPECT_EQ(panel->StartText(), "----/--/--  --:--:--");
  EXPECT_EQ(panel->EndText(), "----/--/--  --:--:--");
  EXPECT_FALSE(panel->HasLogo());
  EXPECT_EQ(panel->Slider()->GetRangeMax(), 86399);
  // Nine panes of channels 1..9, their buttons lit.
  EXPECT_EQ(panel->ChannelRect(0), QRect(QPoint(63, 23), QPoint(273, 180)));
  EXPECT_TRUE(panel->Button(CArchiveDlg::kIdChannelFirst + 8)->GetCheck());
  EXPECT_FALSE(panel->Button(CArchiveDlg::kIdChannelFirst + 9)->GetCheck());
  EXPECT_TRUE(panel->ChannelRect(9).isEmpty());
}

TEST_F(PanelTest, HourBackFromMidnightOfFirstMarchUsesTheFixedTable) {
  SetCalendarAndTime(QDate(2004, 3, 1), 0, 30, 0);
  panel->OnCommand(CArchiveDlg::kIdHourBack);
  EXPECT_EQ(panel->Playback().RequestTime(), (ArchiveMoment{2004, 2, 28, 23, 0, 0}));
  EXPECT_EQ(panel->Calendar()->GetDate(), QDate(2004, 2, 28));
  EXPECT_EQ(panel->ClockText(), "23:00:00");
  EXPECT_EQ(panel->Slider()->GetPos(), 23 * 3600);
  EXPECT_EQ(panel->RequestText(), "2004/02/28  23:00:00");
  EXPECT_EQ(panel->CurrentImageTime(), (ArchiveMoment{2004, 2, 28, 23, 0, 0}));
}

TEST_F(PanelTest, HourForwardFromLateNewYearsEveGoesToNextYear) {
  SetCalendarAndTime(QDate(2004, 12, 31), 23, 10, 0);
  panel->OnCommand(CArchiveDlg::kIdHourForward);
  EXPECT_EQ(panel->Playback().RequestTime(), (ArchiveMoment{2005, 1, 1, 0, 0, 0}));
  EXPECT_EQ(panel->Calendar()->GetDate(), QDate(2005, 1, 1));
  EXPECT_EQ(panel->ClockText(), "00:00:00");
  // Within a day only the hour moves.
  panel->OnCommand(CArchiveDlg::kIdHourForward);
  EXPECT_EQ(panel->Playback().RequestTime(), (ArchiveMoment{2005, 1, 1, 1, 0, 0}));
}

TEST_F(PanelTest, NavigationToStartAndEnd) {
  panel->SetArchiveRange(D(2005, 1, 1), T(6, 0, 0), D(2005, 1, 31), T(12, 0, 0));
  panel->OnCommand(CArchiveDlg::kIdToEnd);
  EXPECT_EQ(panel->Calendar()->GetDate(), QDate(2005, 1, 31));
  EXPECT_EQ(panel->ClockText(), "12:00:00");
  panel->OnCommand(CArchiveDlg::kIdToStart);
  EXPECT_EQ(panel->RequestText(), "2005/01/01  06:00:00");
  EXPECT_EQ(panel->StartText(), "2005/01/01  06:00:00");
}

TEST_F(PanelTest, PlusAndMinusAtTheirLimits) {
  panel->OnCommand(CArchiveDlg::kIdPlus);
  panel->OnCommand(CArchiveDlg::kIdPlus);
  EXPECT_EQ(panel->GridSize(), 4);
  EXPECT_EQ(panel->ChannelLayout(), CArchiveDlg::kLayoutAll);
  EXPECT_EQ(panel->SelectedChannel(), 255);
  EXPECT_TRUE(panel->Button(CArchiveDlg::kIdChannelFirst + 15)->GetCheck());
  for (int i = 0; i < 5; ++i) panel->OnCommand(CArchiveDlg::kIdMinus);
  EXPECT_EQ(panel->GridSize(), 1);
  EXPECT_EQ(panel->ChannelLayout(), CArchiveDlg::kLayoutSingle);
  EXPECT_TRUE(panel->Button(CArchiveDlg::kIdSingle)->GetCheck());
  EXPECT_FALSE(panel->Button(CArchiveDlg::kIdAll)->GetCheck());
  EXPECT_EQ(panel->ChannelRect(0), QRect(QPoint(63, 23), QPoint(700, 500)));
}

TEST_F(PanelTest, ChannelThreeInAllChannelViewShowsThreeToSixAndStillRequestsAll) {
  panel->OnCommand(CArchiveDlg::kIdAll);
  ASSERT_EQ(panel->GridSize(), 2);
  panel->OnCommand(CArchiveDlg::kIdChannelFirst + 2);
  for (int ch = 0; ch < 16; ++ch) {
    const bool shown = ch >= 2 && ch <= 5;
    EXPECT_EQ(!panel->ChannelRect(ch).isEmpty(), shown) << ch;
    EXPECT_EQ(panel->Button(CArchiveDlg::kIdChannelFirst + ch)->GetCheck(), shown) << ch;
  }
  EXPECT_EQ(panel->ChannelRect(2).topLeft(), QPoint(63, 23));
  EXPECT_EQ(panel->ChannelRect(5).topLeft(), QPoint(383, 263));
  EXPECT_EQ(panel->SelectedChannel(), 255);
  panel->SetArchiveRange(D(2005, 1, 1), T(0, 0, 0), D(2005, 1, 31), T(0, 0, 0));
  SetCalendarAndTime(QDate(2005, 1, 5), 1, 0, 0);
  panel->OnCommand(CArchiveDlg::kIdPlayFirst + 3);
  ASSERT_NE(link.LastPlay(), nullptr);
  EXPECT_EQ(link.LastPlay()->w[0], 0u);
}

TEST_F(PanelTest, ChannelsNineToSixteenBeepAndStayDark) {
  panel->show();
  SkinButton* nine = panel->Button(CArchiveDlg::kIdChannelFirst + 8);
  panel->OnCommand(CArchiveDlg::kIdSingle);  // one pane: channel 9 is not shown
  QTest::mouseClick(nine, Qt::LeftButton);
  QCoreApplication::processEvents();
  EXPECT_EQ(beeps, 1);
  EXPECT_FALSE(nine->GetCheck());
  EXPECT_EQ(panel->SelectedChannel(), 0);
}

TEST_F(PanelTest, PositionTexts) {
  link.recordPosition = 1000000;
  panel->ShowPlayPosition(5);
  EXPECT_EQ(panel->RecordPositionText(), "100.0000%");
  EXPECT_EQ(panel->PlayPositionText(), "000.0005%");
  EXPECT_EQ(archive_rules::PositionText(123456), "012.3456%");
}

TEST_F(PanelTest, PlayThroughThePanelCarriesTheCalendarDateAndSliderTime) {
  panel->SetArchiveRange(D(2005, 1, 1), T(0, 0, 0), D(2005, 1, 31), T(12, 0, 0));
  SetCalendarAndTime(QDate(2005, 1, 31), 23, 0, 0);
  panel->OnCommand(CArchiveDlg::kIdPlayFirst + 3);
  const Sent* play = link.LastPlay();
  ASSERT_NE(play, nullptr);
  EXPECT_EQ(play->w[1], 0x07D5011Fu);
  EXPECT_EQ(play->w[2], 0x17000000u);
  EXPECT_EQ(panel->MessageText(), "SEARCHING");
  EXPECT_TRUE(panel->IsSearchingShown());
  EXPECT_FALSE(panel->Calendar()->isEnabled());
  EXPECT_FALSE(panel->Slider()->isEnabled());
  EXPECT_TRUE(panel->Button(CArchiveDlg::kIdPlayFirst + 3)->GetCheck());
  EXPECT_EQ(link.sent.back().what, "status2");

  panel->OnCommand(CArchiveDlg::kIdPlayFirst + 4);
  EXPECT_EQ(link.LastPlay()->w[3], 0x00040200u);

  panel->ShowPlayResult(3);
  EXPECT_EQ(panel->ResultText(), "End of Play");
  EXPECT_TRUE(panel->Button(CArchiveDlg::kIdPlayFirst + 2)->GetCheck());
  EXPECT_FALSE(panel->Button(CArchiveDlg::kIdPlayFirst + 4)->GetCheck());

  panel->OnCommand(CArchiveDlg::kIdPlayFirst + 2);
  EXPECT_EQ(link.LastPlay()->w[3], 0u);
  EXPECT_TRUE(panel->Calendar()->isEnabled());
}

TEST_F(PanelTest, StartYear1996LeavesTheRangeUnknown) {
  panel->SetArchiveRange(D(1996, 1, 1), T(0, 0, 0), D(2005, 1, 31), T(12, 0, 0));
  EXPECT_EQ(panel->StartText(), "----/--/--  --:--:--");
  EXPECT_EQ(panel->EndText(), "----/--/--  --:--:--");
  panel->OnCommand(CArchiveDlg::kIdPlayFirst + 3);
  EXPECT_EQ(link.Count("key"), 1);
  EXPECT_EQ(link.Count("play"), 0);
}

TEST_F(PanelTest, FollowsThePlayedImageTimeInBothEncodings) {
  // Version 2 stamp: channel 1, 2005-05-31 23:59:58.
  panel->ShowPlayImageTime(1u << 24 | 2005u << 8 | 5u, 31u << 24 | 23u << 16 | 59u << 8 | 58u, 2);
  EXPECT_EQ(panel->Calendar()->GetDate(), QDate(2005, 5, 31));
  EXPECT_EQ(panel->ClockText(), "23:59:58");
  EXPECT_EQ(panel->Slider()->GetPos(), 23 * 3600 + 59 * 60 + 58);
  EXPECT_EQ(panel->CurrentImageTime(), (ArchiveMoment{2005, 5, 31, 23, 59, 58}));
  // Out-of-range year: ignored.
  panel->ShowPlayImageTime(2200u << 8 | 5u, 1u << 24, 2);
  EXPECT_EQ(panel->CurrentImageTime().year, 2005);
  // Version 1: seconds.
  const ArchiveMoment m{2006, 7, 8, 9, 10, 11};
  panel->ShowPlayImageTime(m.ToSeconds(), 0, 1);
  EXPECT_EQ(panel->CurrentImageTime(), m);
  EXPECT_EQ(panel->ClockText(), "09:10:11");
}

TEST_F(PanelTest, LinkStatusTexts) {
  panel->ShowLinkStatus(4);
  EXPECT_EQ(panel->MessageText(), "TRY RECONNECTION");
  panel->ShowLinkStatus(6);
  EXPECT_EQ(panel->MessageText(), "TRY REQUEST IMAGE 2");
  panel->ShowLinkStatus(7);
  EXPECT_EQ(panel->MessageText(), "[CH4][Alarm:1 Loss:2 Motion:3]");
  panel->ShowLinkStatus(1);
  EXPECT_EQ(panel->MessageText(), "");
}

TEST_F(PanelTest, EventPlaybackFromSingleChannelTwoSwitchesToFive) {
  panel->OnCommand(CArchiveDlg::kIdSingle);
  panel->OnCommand(CArchiveDlg::kIdChannelFirst + 1);
  ASSERT_EQ(panel->SelectedChannel(), 1);
  panel->Playback().PlayFromEvent(MakeTimeCost(2005, 5, 31, 23, 59, 59), 4);
  EXPECT_EQ(panel->SelectedChannel(), 4);
  EXPECT_EQ(panel->GridSize(), 1);
  EXPECT_FALSE(panel->ChannelRect(4).isEmpty());
  EXPECT_EQ(link.LastPlay()->w[0], 5u);
  EXPECT_EQ(link.LastPlay()->w[1], 0x07D5051Fu);
  EXPECT_EQ(panel->RequestText(), "2005/05/31  23:59:59");
}

TEST_F(PanelTest, EventButtonOpensTheListWithoutBlockingAndPlaysOnDoubleClick) {
  QFile f(link.eventPath);
  ASSERT_TRUE(f.open(QIODevice::WriteOnly));
  const char rec[] = {16, 0x20, 9, 5, 31, 23, 59, 59, 0, 0, 0, 0, 9, 5, 31, 23, 59, 59, 0, 0};
  f.write(rec, sizeof rec);
  f.close();

  panel->show();
  panel->OnCommand(CArchiveDlg::kIdEvent);
  EXPECT_EQ(link.Count("event"), 1);
  CEventDlg* dlg = panel->EventDialog();
  ASSERT_NE(dlg, nullptr);
  ASSERT_EQ(dlg->List()->rowCount(), 2);

  emit dlg->List()->cellDoubleClicked(1, 0);  // CH0: nothing
  EXPECT_EQ(link.Count("play"), 0);
  emit dlg->List()->cellDoubleClicked(0, 0);  // CH16
  ASSERT_EQ(link.Count("play"), 1);
  EXPECT_EQ(panel->SelectedChannel(), 15);
  EXPECT_EQ(link.LastPlay()->w[0], 16u);

  // A new list written by the link reloads the open dialog.
  ASSERT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
  f.write(rec, 10);
  f.close();
  panel->EventFileArrived();
  EXPECT_EQ(dlg->List()->rowCount(), 1);
  dlg->accept();
  QCoreApplication::processEvents();
}

TEST_F(PanelTest, PowerStopsThenSwitchesBackAfterThePause) {
  panel->OnCommand(CArchiveDlg::kIdPower);
  EXPECT_EQ(link.LastPlay()->w[3], 0u);
  EXPECT_EQ(host.switchedToLive, 0);
  ASSERT_TRUE(QTest::qWaitFor([&] { return host.switchedToLive == 1; }, 1000));
}

TEST_F(PanelTest, PowerWhileAnAviFileIsWrittenStays) {
  auto media = std::make_unique<FakeMedia>();
  FakeMedia* m = media.get();
  panel->SetMedia(std::move(media));
  panel->OnCommand(CArchiveDlg::kIdRecord);
  EXPECT_TRUE(m->recording);
  EXPECT_TRUE(panel->Button(CArchiveDlg::kIdRecord)->GetCheck());
  panel->OnCommand(CArchiveDlg::kIdPower);
  ASSERT_EQ(messages.size(), 1u);
  EXPECT_EQ(messages[0], "Saving AVI File Now.So Can Not Close This Window!");
  EXPECT_FALSE(panel->Button(CArchiveDlg::kIdRecord)->GetCheck());
  QTest::qWait(20);
  EXPECT_EQ(host.switchedToLive, 0);
  panel->OnCommand(CArchiveDlg::kIdSave);
  EXPECT_EQ(m->saves, 1);
}

TEST_F(PanelTest, WithoutMediaRecordSaveAndPrintDoNothing) {
  panel->OnCommand(CArchiveDlg::kIdRecord);
  panel->OnCommand(CArchiveDlg::kIdSave);
  panel->OnCommand(CArchiveDlg::kIdPrint);
  EXPECT_FALSE(panel->Button(CArchiveDlg::kIdRecord)->GetCheck());
}

TEST_F(PanelTest, CloseRequestsFromTheWindowSystemAreSwallowed) {
  panel->show();
  QCloseEvent close;
  QCoreApplication::sendEvent(panel.get(), &close);
  EXPECT_FALSE(close.isAccepted());
  QTest::keyClick(panel.get(), Qt::Key_Escape);
  QTest::keyClick(panel.get(), Qt::Key_Return);
  EXPECT_TRUE(panel->isVisible());
  panel->RequestClose();
  QCoreApplication::processEvents();
  EXPECT_FALSE(panel->isVisible());
}

TEST_F(PanelTest, DrawsAPlaybackPictureIntoItsCell) {
  BitmapInfoHeader h;
  h.width = 64;
  h.height = 48;
  std::vector<std::uint8_t> pixels(h.ComputeImageSize(), 0);
  for (std::size_t i = 0; i + 2 < pixels.size(); i += 3) pixels[i + 2] = 255;  // BGR: red
  auto media = std::make_unique<FakeMedia>();
  FakeMedia* m = media.get();
  m->recording = true;
  panel->SetMedia(std::move(media));
  panel->SetPlayImage(0, pixels.data(), h, 1);
  panel->DrawPlayImage(0);
  EXPECT_EQ(m->pictures, 1);
  const QImage shot = panel->grab().toImage();
  EXPECT_EQ(QColor(shot.pixel(150, 100)), QColor(255, 0, 0));
  EXPECT_EQ(QColor(shot.pixel(380, 260)), QColor(Qt::black));  // channel 5 has no picture
  EXPECT_EQ(QColor(shot.pixel(63, 23)), QColor(Qt::white));  // the pane frame
  panel->StartArchive();
  EXPECT_FALSE(panel->HasPlayImage(0));
}

TEST_F(PanelTest, PlacePanelCentresOrGoesToTheOrigin) {
  panel->PlacePanel(true);
  EXPECT_EQ(panel->pos(), QPoint(0, 0));
  panel->PlacePanel(false);
  const QRect s = QGuiApplication::primaryScreen()->geometry();
  EXPECT_EQ(panel->pos(), QPoint((s.width() - 948) / 2, (s.height() - 681) / 2));
  EXPECT_EQ(panel->size(), QSize(954, 687));
}

TEST_F(PanelTest, StartArchiveRequestsStartAndEnablesTheSearch) {
  panel->SetArchiveRange(D(2005, 1, 3), T(4, 5, 6), D(2005, 1, 31), T(12, 0, 0));
  panel->Calendar()->setEnabled(false);
  panel->StartArchive();
  EXPECT_EQ(panel->Calendar()->GetDate(), QDate(2005, 1, 3));
  EXPECT_TRUE(panel->Calendar()->isEnabled());
  EXPECT_EQ(panel->Playback().TimeWord(), T(4, 5, 6));
  EXPECT_EQ(panel->Slider()->GetPos(), 4 * 3600 + 5 * 60 + 6);
  EXPECT_TRUE(panel->Button(CArchiveDlg::kIdPlayFirst + 2)->GetCheck());
}

TEST(PanelWithoutLink, WorksAlone) {
  CArchiveDlg alone(nullptr, nullptr);
  alone.OnCommand(CArchiveDlg::kIdPlayFirst + 3);
  alone.OnCommand(CArchiveDlg::kIdPlus);
  alone.OnCommand(CArchiveDlg::kIdHourForward);
  EXPECT_EQ(alone.RequestSpeed(), 3);
  EXPECT_EQ(alone.GridSize(), 4);
}

}  // namespace
