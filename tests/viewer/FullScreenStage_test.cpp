// Full screen on a display that keeps its resolution: the frame on a black
// stage over the whole screen, centred and enlarged by a whole factor and drawn
// from the dense art, and the window given back as it was; the archive panel
// likewise. Clicks through the stage are seen in the full-screen acceptance scenario.
#include <gtest/gtest.h>

#include <QDir>
#include <QGuiApplication>
#include <QImage>
#include <QScreen>

#include "app/CArdevizApp.h"
#include "archive/CArchiveDlg.h"
#include "res/SkinImages.h"
#include "tests/viewer/ShellTestSupport.h"
#include "viewer/CArdevizView.h"
#include "viewer/CMainFrame.h"
#include "viewer/FullScreenStage.h"

namespace {

TEST(FullScreenStage, TheFrameAndTheArchivePanelGoOnStagesAndComeBackAsTheyWere) {
  // The program started with its main window, on a 2560 x 1440 screen as CTest runs it.
  ASSERT_EQ(QGuiApplication::primaryScreen()->geometry().size(), QSize(2560, 1440));
  IsolatedSettings settings;
  TemporaryWorkingFolder folder;
  AlertRecorder alerts;
  QTemporaryDir lockDir;
  CArdevizApp app(QDir(lockDir.path()).filePath("Ardeviz.lock"),
                  {.createLink = false, .executablePath = {}, .screenModeSettleMs = 0, .noticeClockMs = {},
                   .hostOverride = QStringLiteral("127.0.0.1"), .portOverride = {}});
  ASSERT_TRUE(app.InitInstance());
  CMainFrame* frame = app.MainFrame();

  const QRegion mask = frame->mask();

  frame->SetFullScreen(true);
  FullScreenStage* stage = frame->Stage();
  ASSERT_NE(stage, nullptr);
  EXPECT_TRUE(stage->isVisible() && stage->isFullScreen() && frame->isVisible());
  // Twice the size, centred on black.
  EXPECT_EQ(stage->Factor(), 2);
  const QPoint corner = stage->MapFromWindow(QPoint(2, 2));
  EXPECT_EQ(corner, QPoint((2560 - 873 * 2) / 2, (1440 - 681 * 2) / 2));
  const QImage shown = stage->grab().toImage().convertToFormat(QImage::Format_RGB32);
  EXPECT_EQ(shown.pixelColor(corner.x() / 2, 720), QColor(Qt::black));
  // The skin is drawn from the 2x art, not from the 1x art blown up, exactly where its clicks are
  // mapped: POWER at (735, 16).
  const QImage dense = SkinImage(244, 2).convertToFormat(QImage::Format_RGB32);
  EXPECT_TRUE(shown.copy(QRect(stage->MapFromWindow(QPoint(735, 16)), dense.size())) == dense);
  // Nine panes of 211 x 158 take pictures for their 422 x 316 pixels on the screen: full width, half height.
  EXPECT_EQ(frame->View()->LiveDecodeSize(1), QSize(422, 158));

  // The stage follows the frame: hidden for the archive panel, back with the frame.
  frame->hide();
  EXPECT_FALSE(stage->isVisible());
  frame->show();
  EXPECT_TRUE(stage->isVisible());

  frame->SetFullScreen(false);
  EXPECT_EQ(frame->Stage(), nullptr);
  EXPECT_FALSE(stage->isVisible());
  EXPECT_TRUE(frame->isVisible() && frame->isWindow());
  EXPECT_EQ(frame->geometry(), QRect(QPoint((2560 - 877) / 2, (1440 - 685) / 2), QSize(877, 685)));
  EXPECT_EQ(frame->mask(), mask);
  EXPECT_TRUE(frame->testAttribute(Qt::WA_QuitOnClose)) << "closing the window no longer ends the program";

  // The archive panel goes on a stage of its own, its background art centred and doubled, and comes back centred.
  auto* panel = dynamic_cast<CArchiveDlg*>(frame->View()->ArchivePanel());
  ASSERT_NE(panel, nullptr);
  panel->show();
  panel->PlacePanel(true);
  ASSERT_NE(panel->Stage(), nullptr);
  EXPECT_TRUE(panel->Stage()->isFullScreen() && panel->isVisible());
  EXPECT_EQ(panel->Stage()->MapFromWindow(QPoint(0, 0)), QPoint((2560 - 951 * 2) / 2, (1440 - 684 * 2) / 2));
  panel->PlacePanel(false);
  EXPECT_EQ(panel->Stage(), nullptr);
  EXPECT_EQ(panel->geometry(), QRect(QPoint((2560 - 948) / 2, (1440 - 681) / 2), QSize(954, 687)));
  EXPECT_TRUE(panel->isVisible() && panel->isWindow());
}

}  // namespace
