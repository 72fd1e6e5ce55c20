// Full screen on a display that keeps its resolution: the frame on a black
// stage over the whole screen, centred and enlarged by a whole factor, clicks
// handed back to the skin, and the window given back as it was.
#include <gtest/gtest.h>

#include <QDir>
#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <QScreen>
#include <QTest>

#include "res/SkinImages.h"
#include "tests/viewer/ShellTestSupport.h"
#include "viewer/CArdevizApp.h"
#include "viewer/CArdevizView.h"
#include "viewer/CMainFrame.h"
#include "viewer/FullScreenStage.h"
#include "viewer/SkinButton.h"

namespace {

TEST(FullScreenStage, TheLargestWholeFactorThatFits) {
  const QSize skin(873, 681);  // the frame's visible part
  const struct {
    QSize screen;
    int factor;
  } cases[] = {{{3840, 2160}, 3}, {{2560, 1440}, 2}, {{1920, 1080}, 1}, {{1280, 1024}, 1},
               {{1024, 768}, 1},  {{800, 600}, 1},   {{1746, 1362}, 2}, {{1745, 1362}, 1}};
  for (const auto& c : cases) EXPECT_EQ(FullScreenStage::FactorFor(c.screen, skin), c.factor) << c.screen.width();
}

TEST(FullScreenStage, TheFrameGoesOnTheStageTakesClicksThereAndComesBackAsItWas) {
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
  CArdevizView* view = frame->View();
  const QRegion mask = frame->mask();

  frame->SetFullScreen(true);
  FullScreenStage* stage = frame->Stage();
  ASSERT_NE(stage, nullptr);
  EXPECT_TRUE(stage->isVisible());
  EXPECT_TRUE(stage->isFullScreen());
  EXPECT_TRUE(frame->isVisible());
  const QRect screen = QGuiApplication::primaryScreen()->geometry();
  EXPECT_EQ(stage->Factor(), FullScreenStage::FactorFor(screen.size(), QSize(873, 681)));
  if (screen.size() == QSize(2560, 1440)) {  // as CTest runs it
    EXPECT_EQ(stage->Factor(), 2);
  }
  // The visible part is centred; around it the stage is black.
  const QPoint corner = stage->MapFromWindow(QPoint(2, 2));
  EXPECT_EQ(corner,
            QPoint((screen.width() - 873 * stage->Factor()) / 2, (screen.height() - 681 * stage->Factor()) / 2));
  const QImage shown = stage->grab().toImage();
  if (corner.x() > 0) {  // a screen wider than the skin
    EXPECT_EQ(shown.pixelColor(corner.x() / 2, shown.height() / 2), QColor(Qt::black));
  }

  // A click on LAYOUT 1 on the stage reaches the button.
  SkinButton* layoutOne = view->Button(CArdevizView::kIdLayoutFirst);
  ASSERT_NE(layoutOne, nullptr);
  QTest::mouseClick(stage->viewport(), Qt::LeftButton, {}, stage->MapFromWindow(layoutOne->geometry().center()));
  QCoreApplication::processEvents();
  EXPECT_EQ(view->ChannelLayout(), 0x100);
  EXPECT_TRUE(layoutOne->GetCheck());

  // The stage follows the frame: hidden for the archive panel, back with the frame.
  frame->hide();
  EXPECT_FALSE(stage->isVisible());
  frame->show();
  EXPECT_TRUE(stage->isVisible());

  frame->SetFullScreen(false);
  EXPECT_EQ(frame->Stage(), nullptr);
  EXPECT_FALSE(stage->isVisible());
  EXPECT_TRUE(frame->isVisible());
  EXPECT_TRUE(frame->isWindow());
  EXPECT_EQ(frame->size(), QSize(877, 685));
  EXPECT_EQ(frame->pos(), CMainFrame::CentredPosition(screen.size()));
  EXPECT_EQ(frame->mask(), mask);
  EXPECT_EQ(frame->grab().size(), QSize(877, 685));
}

TEST(FullScreenStage, AnEnlargedSkinIsDrawnFromTheDenseArt) {
  // What the stage does to the skin: a painter scaled by 3 draws the 2x art made 3x, not the 1x art blown up.
  const int powerKey = 244;
  const QSize key = SkinImage(powerKey).size();
  QImage drawn(key * 3, QImage::Format_RGB32);
  QPainter painter(&drawn);
  painter.scale(3, 3);
  DrawSkinPicture(painter, QPoint(0, 0), powerKey);
  painter.end();
  const QImage dense = SkinPixmap(powerKey, 3.0).toImage().convertToFormat(QImage::Format_RGB32);
  ASSERT_EQ(dense.size(), drawn.size());
  int differing = 0;
  for (int y = 0; y < drawn.height(); ++y)
    for (int x = 0; x < drawn.width(); ++x) differing += drawn.pixel(x, y) != dense.pixel(x, y);
  EXPECT_LT(differing, drawn.width() * drawn.height() / 100);
}

}  // namespace
