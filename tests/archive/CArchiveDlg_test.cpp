// The archive panel offscreen with a fake link and a fake main view: hour
// steps, the played image's time, POWER during an AVI save and the window rules.
#include <gtest/gtest.h>

#include <QCloseEvent>
#include <QTemporaryDir>
#include <QTest>

#include <vector>

#include "archive/CArchiveDlg.h"
#include "archive/IArchiveHost.h"
#include "archive/IArchiveLink.h"
#include "archive/IArchiveMedia.h"
#include "archive/MonthCalendar.h"
#include "platform/Alerts.h"
#include "skin/SkinButton.h"
#include "skin/SkinSlider.h"

namespace {

// Owned by the panel; nothing it is sent is read here.
class FakeLink : public IArchiveLink {
 public:
  int ProtocolVersion() const override { return 2; }
  void SetPlayRequestWords(std::uint32_t, std::uint32_t, std::uint32_t, std::uint32_t) override {}
  void SendPlayRequest(bool) override {}
  void SendRemoteKey(std::uint16_t) override {}
  void SendDvrStatus2() override {}
  void StopReconnectCycle() override {}
  void DisarmResponseTimer() override {}
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

class PanelTest : public ::testing::Test {
 protected:
  QTemporaryDir dir;
  FakeHost* host = new FakeHost;  // owned by the panel
  std::vector<QString> messages;
  std::unique_ptr<CArchiveDlg> panel;

  void SetUp() override {
    Alerts::SetBeepHook([] {});
    Alerts::SetMessageHook([this](const Alerts::Message& m) { return messages.push_back(m.text), Alerts::kOk; });
    CArchiveDlg::Options options;
    options.playback.eventRestartMs = 1;
    options.powerReturnMs = 1;
    options.logoFile = dir.filePath("no-logo.bmp");
    panel = std::make_unique<CArchiveDlg>(std::unique_ptr<IArchiveHost>(host), std::make_unique<FakeLink>(),
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

TEST_F(PanelTest, PowerWhileAnAviFileIsWrittenStays) {
  auto media = std::make_unique<FakeMedia>();
  FakeMedia* m = media.get();
  panel->SetMedia(std::move(media));
  panel->OnCommand(CArchiveDlg::kIdRecord);
  EXPECT_TRUE(Lit(CArchiveDlg::kIdRecord));
  panel->OnCommand(CArchiveDlg::kIdPower);
  EXPECT_EQ(messages, std::vector<QString>{"Saving AVI File Now.So Can Not Close This Window!"});
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

// The pictures belong to the link's holders; once the panel is hidden, live
// viewing may free them, so a forced paint of the hidden panel must not read
// them (ASan catches a read).
TEST_F(PanelTest, HiddenPanelForgetsThePicturesItWasLent) {
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

}  // namespace
