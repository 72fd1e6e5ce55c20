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
};

// Owned by the panel; the test keeps a raw pointer to read what was sent.
class FakeLink : public IArchiveLink {
 public:
  std::vector<Sent> sent;
  ILinkArchivePanel* panel = nullptr;
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

  int ProtocolVersion() const override { return 2; }
  void SetPlayRequestWords(std::uint32_t c, std::uint32_t s, std::uint32_t t, std::uint32_t cmd) override {
    m_words[0] = c, m_words[1] = s, m_words[2] = t, m_words[3] = cmd;
  }
  void SendPlayRequest(bool) override { sent.push_back({"play", {m_words[0], m_words[1], m_words[2], m_words[3]}}); }
  void SendRemoteKey(std::uint16_t code) override { sent.push_back({"key", {code, 0, 0, 0}}); }
  void SendDvrStatus2() override { sent.push_back({"status2", {}}); }
  void StopReconnectCycle() override {}
  void DisarmResponseTimer() override {}
  void SetArchivePanel(ILinkArchivePanel* p) override { panel = p; }
  void SendEventFileRequest() override { sent.push_back({"event", {}}); }
  void SendLiveStop() override { sent.push_back({"livestop", {}}); }
  std::uint32_t RecordingPosition() const override { return recordPosition; }
  std::uint32_t ChannelStatusWord() const override { return 0x01020304; }
  int MissCount() const override { return 2; }
  QString EventFilePath() const override { return eventPath; }

 private:
  std::uint32_t m_words[4] = {};
};

class FakeHost : public IArchiveHost {
 public:
  int switchedToLive = 0;
  int RequestSpeed() const override { return 4; }
  int RecordInterval() const override { return 1; }
  QString RecordFolder() const override { return QStringLiteral("Backup"); }
  int DateShow() const override { return 1; }
  bool UseFullScreen() const override { return false; }
  QFont StatusFont() const override { return QFont(); }
  void SwitchToLive() override { ++switchedToLive; }
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
  void StopRecording() override { recording = false, saving = true; }
  bool IsSavingAvi() const override { return saving; }
  void NotifyNewPicture() override { ++pictures; }
};

constexpr std::uint32_t D(int y, int m, int d) { return MakeDvrDate(y, m, d); }
constexpr std::uint32_t T(int h, int m, int s) { return MakeDvrTime(h, m, s); }
constexpr const char* kUnknown = "----/--/--  --:--:--";
constexpr int kPlay = CArchiveDlg::kIdPlayFirst + 3, kFastForward = CArchiveDlg::kIdPlayFirst + 4;

class PanelTest : public ::testing::Test {
 protected:
  QTemporaryDir dir;
  FakeLink* link = new FakeLink;  // owned by the panel
  FakeHost* host = new FakeHost;
  std::vector<QString> messages;
  std::unique_ptr<CArchiveDlg> panel;

  void SetUp() override {
    Alerts::SetBeepHook([] {});
    Alerts::SetMessageHook([this](const Alerts::Message& m) {
      messages.push_back(m.text);
      return Alerts::kOk;
    });
    link->eventPath = dir.filePath("AlarmEvent.am");
    CArchiveDlg::Options options;
    options.playback.eventRestartMs = 1;
    options.powerReturnMs = 1;
    options.logoFile = dir.filePath("no-logo.bmp");
    panel = std::make_unique<CArchiveDlg>(std::unique_ptr<IArchiveHost>(host), std::unique_ptr<IArchiveLink>(link),
                                          options);
  }
  void TearDown() override {
    panel.reset();
    Alerts::SetBeepHook({});
    Alerts::SetMessageHook({});
  }
  void SetCalendarAndTime(const QDate& date, int h, int m) {
    panel->Calendar()->SetDate(date);
    panel->OnSliderMoved(h * 3600 + m * 60);
  }
  bool Lit(int id) { return panel->Button(id)->GetCheck(); }
  FakeMedia* AttachMedia() {
    auto media = std::make_unique<FakeMedia>();
    FakeMedia* m = media.get();
    panel->SetMedia(std::move(media));
    return m;
  }
};

// Hour steps across a month (fixed table: February has 28) and a year.
TEST_F(PanelTest, HourStepsCrossMonthsAndYears) {
  SetCalendarAndTime(QDate(2004, 3, 1), 0, 30);
  panel->OnCommand(CArchiveDlg::kIdHourBack);
  EXPECT_EQ(panel->Playback().RequestTime(), (ArchiveMoment{2004, 2, 28, 23, 0, 0}));
  EXPECT_EQ(panel->Calendar()->GetDate(), QDate(2004, 2, 28));
  EXPECT_EQ(panel->Slider()->GetPos(), 23 * 3600);
  EXPECT_EQ(panel->RequestText(), "2004/02/28  23:00:00");
  SetCalendarAndTime(QDate(2004, 12, 31), 23, 10);
  panel->OnCommand(CArchiveDlg::kIdHourForward);
  EXPECT_EQ(panel->Playback().RequestTime(), (ArchiveMoment{2005, 1, 1, 0, 0, 0}));
  EXPECT_EQ(panel->Calendar()->GetDate(), QDate(2005, 1, 1));
}

TEST_F(PanelTest, ChannelThreeInAllChannelViewShowsThreeToSixAndStillRequestsAll) {
  panel->OnCommand(CArchiveDlg::kIdAll);
  ASSERT_EQ(panel->GridSize(), 2);
  panel->OnCommand(CArchiveDlg::kIdChannelFirst + 2);
  for (int ch = 0; ch < 16; ++ch) {
    const bool shown = ch >= 2 && ch <= 5;
    EXPECT_EQ(!panel->ChannelRect(ch).isEmpty(), shown) << ch;
    EXPECT_EQ(Lit(CArchiveDlg::kIdChannelFirst + ch), shown) << ch;
  }
  EXPECT_EQ(panel->SelectedChannel(), 255);
  panel->SetArchiveRange(D(2005, 1, 1), T(0, 0, 0), D(2005, 1, 31), T(0, 0, 0));
  SetCalendarAndTime(QDate(2005, 1, 5), 1, 0);
  panel->OnCommand(kPlay);
  ASSERT_NE(link->LastPlay(), nullptr);
  EXPECT_EQ(link->LastPlay()->w[0], 0u);
}

TEST_F(PanelTest, PlayThroughThePanelCarriesTheCalendarDateAndSliderTime) {
  panel->SetArchiveRange(D(2005, 1, 1), T(0, 0, 0), D(2005, 1, 31), T(12, 0, 0));
  SetCalendarAndTime(QDate(2005, 1, 31), 23, 0);
  panel->OnCommand(kPlay);
  const Sent* play = link->LastPlay();
  ASSERT_NE(play, nullptr);
  EXPECT_EQ(play->w[1], 0x07D5011Fu);
  EXPECT_EQ(play->w[2], 0x17000000u);
  EXPECT_EQ(panel->MessageText(), "SEARCHING");
  EXPECT_FALSE(panel->Calendar()->isEnabled());
  EXPECT_EQ(link->sent.back().what, "status2");
  panel->OnCommand(kFastForward);
  EXPECT_EQ(link->LastPlay()->w[3], 0x00040200u);
  panel->ShowPlayResult(3);
  EXPECT_EQ(panel->ResultText(), "End of Play");
  EXPECT_TRUE(Lit(CArchiveDlg::kIdPlayFirst + 2));
  EXPECT_FALSE(Lit(kFastForward));
  panel->OnCommand(CArchiveDlg::kIdPlayFirst + 2);
  EXPECT_EQ(link->LastPlay()->w[3], 0u);
  EXPECT_TRUE(panel->Calendar()->isEnabled());
}

TEST_F(PanelTest, CreationRegistersStopsLiveAndStartYear1996LeavesTheRangeUnknown) {
  EXPECT_EQ(link->panel, panel.get());
  EXPECT_EQ(link->Count("livestop"), 1);
  EXPECT_EQ(panel->EndText(), kUnknown);
  panel->SetArchiveRange(D(1996, 1, 1), T(0, 0, 0), D(2005, 1, 31), T(12, 0, 0));
  EXPECT_EQ(panel->StartText(), kUnknown);
  panel->OnCommand(kPlay);
  EXPECT_EQ(link->Count("key"), 1);
  EXPECT_EQ(link->Count("play"), 0);
}

TEST_F(PanelTest, FollowsThePlayedImageTimeInBothEncodings) {
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

TEST_F(PanelTest, EventPlaybackFromSingleChannelTwoSwitchesToFive) {
  panel->OnCommand(CArchiveDlg::kIdSingle);
  panel->OnCommand(CArchiveDlg::kIdChannelFirst + 1);
  ASSERT_EQ(panel->SelectedChannel(), 1);
  panel->Playback().PlayFromEvent(MakeTimeCost(2005, 5, 31, 23, 59, 59), 4);
  EXPECT_EQ(panel->SelectedChannel(), 4);
  EXPECT_FALSE(panel->ChannelRect(4).isEmpty());
  EXPECT_EQ(link->LastPlay()->w[0], 5u);
  EXPECT_EQ(link->LastPlay()->w[1], 0x07D5051Fu);
  EXPECT_EQ(panel->RequestText(), "2005/05/31  23:59:59");
}

TEST_F(PanelTest, EventButtonOpensTheListWithoutBlockingAndPlaysOnDoubleClick) {
  const char rec[] = {16, 0x20, 9, 5, 31, 23, 59, 59, 0, 0, 0, 0, 9, 5, 31, 23, 59, 59, 0, 0};
  const auto writeList = [&](qsizetype bytes) {
    QFile f(link->eventPath);
    return f.open(QIODevice::WriteOnly | QIODevice::Truncate) && f.write(rec, bytes) == bytes;
  };
  ASSERT_TRUE(writeList(sizeof rec));
  panel->show();
  panel->OnCommand(CArchiveDlg::kIdEvent);
  EXPECT_EQ(link->Count("event"), 1);
  CEventDlg* dlg = panel->EventDialog();
  ASSERT_NE(dlg, nullptr);
  ASSERT_EQ(dlg->List()->rowCount(), 2);
  emit dlg->List()->cellDoubleClicked(1, 0);  // CH0: nothing
  EXPECT_EQ(link->Count("play"), 0);
  emit dlg->List()->cellDoubleClicked(0, 0);  // CH16
  ASSERT_EQ(link->Count("play"), 1);
  EXPECT_EQ(panel->SelectedChannel(), 15);
  ASSERT_TRUE(writeList(10));  // a new list reloads the open dialog
  panel->EventFileArrived();
  EXPECT_EQ(dlg->List()->rowCount(), 1);
  dlg->accept();
  QCoreApplication::processEvents();
}

TEST_F(PanelTest, PowerStopsThenSwitchesBackAfterThePause) {
  panel->OnCommand(CArchiveDlg::kIdPower);
  EXPECT_EQ(link->LastPlay()->w[3], 0u);
  EXPECT_EQ(host->switchedToLive, 0);
  ASSERT_TRUE(QTest::qWaitFor([&] { return host->switchedToLive == 1; }, 1000));
}

TEST_F(PanelTest, PowerWhileAnAviFileIsWrittenStays) {
  FakeMedia* m = AttachMedia();
  panel->OnCommand(CArchiveDlg::kIdRecord);
  EXPECT_TRUE(Lit(CArchiveDlg::kIdRecord));
  panel->OnCommand(CArchiveDlg::kIdPower);
  ASSERT_EQ(messages.size(), 1u);
  EXPECT_EQ(messages[0], "Saving AVI File Now.So Can Not Close This Window!");
  EXPECT_FALSE(Lit(CArchiveDlg::kIdRecord));
  QTest::qWait(20);
  EXPECT_EQ(host->switchedToLive, 0);
  panel->OnCommand(CArchiveDlg::kIdSave);
  EXPECT_EQ(m->saves, 1);
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
  h.width = 64, h.height = 48;
  std::vector<std::uint8_t> pixels(h.ComputeImageSize(), 0);
  for (std::size_t i = 2; i < pixels.size(); i += 3) pixels[i] = 255;  // BGR: red
  FakeMedia* m = AttachMedia();
  m->recording = true;
  panel->SetPlayImage(0, pixels.data(), h, 1);
  panel->DrawPlayImage(0);
  EXPECT_EQ(m->pictures, 1);
  const QImage shot = panel->grab().toImage();
  EXPECT_EQ(QColor(shot.pixel(150, 100)), QColor(255, 0, 0));
  EXPECT_EQ(QColor(shot.pixel(380, 260)), QColor(Qt::black));  // channel 5 has no picture
  panel->StartArchive();
  EXPECT_FALSE(panel->HasPlayImage(0));
}

TEST(PanelWithoutLink, WorksAloneAndWithoutMedia) {
  CArchiveDlg alone(nullptr, nullptr);
  for (int id : {kPlay, int(CArchiveDlg::kIdPlus), int(CArchiveDlg::kIdHourForward), int(CArchiveDlg::kIdRecord),
                 int(CArchiveDlg::kIdSave), int(CArchiveDlg::kIdPrint)})
    alone.OnCommand(id);
  EXPECT_FALSE(alone.Button(CArchiveDlg::kIdRecord)->GetCheck());
  EXPECT_EQ(alone.RequestSpeed(), 3);
  EXPECT_EQ(alone.GridSize(), 4);
}

}  // namespace
