// Full screen on a display that keeps its resolution: the frame on a black
// stage over the whole screen, centred and enlarged by a whole factor and drawn
// from the dense art, clicks handed back to the skin, and the window given back as it was.
#include <gtest/gtest.h>

#include <QDir>
#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <QScreen>
#include <QTest>

#include "app/CArdevizApp.h"
#include "res/SkinImages.h"
#include "skin/SkinButton.h"
#include "skin/StatusPanel.h"
#include "tests/viewer/ShellTestSupport.h"
#include "viewer/CArdevizView.h"
#include "viewer/CMainFrame.h"
#include "viewer/FullScreenStage.h"

namespace {

TEST(FullScreenStage, TheFrameGoesOnTheStageTakesClicksThereAndComesBackAsItWas) {
  // The program started with its main window, on a 2560 x 1440 screen as CTest runs it.
  ASSERT_EQ(QGuiApplication::primaryScreen()->geometry().size(), QSize(2560, 1440));
  IsolatedSettings settings;
  TemporaryWorkingFolder folder;
  AlertRecorder alerts;
  QTemporaryDir lockDir;
  CArdevizView::Options options;
  options.createLink = false;
  options.hostOverride = QStringLiteral("127.0.0.1");
  options.screenModeSettleMs = 0;
  CArdevizApp app(QDir(lockDir.path()).filePath("Ardeviz.lock"), options);
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

  // A click on LAYOUT 1 on the stage reaches the button.
  SkinButton* layoutOne = frame->View()->Button(CArdevizView::kIdLayoutFirst);
  QTest::mouseClick(stage->viewport(), Qt::LeftButton, {}, stage->MapFromWindow(layoutOne->geometry().center()));
  QCoreApplication::processEvents();
  EXPECT_EQ(frame->View()->ChannelLayout(), CArdevizView::kLayoutSingle);
  EXPECT_TRUE(layoutOne->GetCheck());

  // The stage follows the frame: hidden for the archive panel, back with the frame.
  frame->hide();
  EXPECT_FALSE(stage->isVisible());
  frame->show();
  EXPECT_TRUE(stage->isVisible());
  // What partial repaints leave on the screen (the stage's backing store) equals a full repaint.
  ASSERT_TRUE(QTest::qWaitForWindowExposed(stage));
  for (int id : {CArdevizView::kIdLayoutFirst + 1, CArdevizView::kIdLayoutFirst + 0, CArdevizView::kIdConnect + 0}) {
    QTest::mouseClick(stage->viewport(), Qt::LeftButton, {},
                      stage->MapFromWindow(frame->View()->Button(id)->geometry().center()));
    QTest::qWait(50);
  }
  // The clock may tick between the two looks: its date and time are left out of both.
  const auto look = [&](QPixmap pixmap) {
    QImage image = pixmap.toImage().convertToFormat(QImage::Format_RGB32);
    QPainter painter(&image);
    for (const QRect& r : {StatusPanel::kDateRect, StatusPanel::kTimeRect})
      painter.fillRect(QRect(stage->MapFromWindow(r.topLeft()), r.size() * stage->Factor()), Qt::black);
    return image;
  };
  EXPECT_TRUE(look(stage->screen()->grabWindow(stage->winId())) == look(stage->grab()))
      << "partial repaints landed off the full repaint";

  frame->SetFullScreen(false);
  EXPECT_EQ(frame->Stage(), nullptr);
  EXPECT_FALSE(stage->isVisible());
  EXPECT_TRUE(frame->isVisible() && frame->isWindow());
  EXPECT_EQ(frame->geometry(), QRect(CMainFrame::CentredPosition(QSize(2560, 1440)), QSize(877, 685)));
  EXPECT_EQ(frame->mask(), mask);
  EXPECT_TRUE(frame->testAttribute(Qt::WA_QuitOnClose)) << "closing the window no longer ends the program";
}

}  // namespace
