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

#include <memory>

#include "app/CArdevizApp.h"
#include "res/SkinImages.h"
#include "skin/SkinButton.h"
#include "tests/viewer/ShellTestSupport.h"
#include "viewer/CArdevizView.h"
#include "viewer/CMainFrame.h"
#include "viewer/FullScreenStage.h"

namespace {

// The program started with its main window, on a 2560 x 1440 screen as CTest runs it.
class FullScreenStageTest : public ::testing::Test {
 protected:
  void SetUp() override {
    CArdevizView::Options options;
    options.createLink = false;
    options.hostOverride = QStringLiteral("127.0.0.1");
    options.screenModeSettleMs = 0;
    m_app = std::make_unique<CArdevizApp>(QDir(m_lockDir.path()).filePath("Ardeviz.lock"), options);
    ASSERT_TRUE(m_app->InitInstance());
    frame = m_app->MainFrame();
    ASSERT_EQ(QGuiApplication::primaryScreen()->geometry().size(), QSize(2560, 1440));
  }

  IsolatedSettings m_settings;
  TemporaryWorkingFolder m_folder;
  AlertRecorder m_alerts;
  QTemporaryDir m_lockDir;
  std::unique_ptr<CArdevizApp> m_app;
  CMainFrame* frame = nullptr;
};

TEST_F(FullScreenStageTest, TheFrameGoesOnTheStageTakesClicksThereAndComesBackAsItWas) {
  // The largest whole factor by which the frame's visible 873 x 681 fits the screen.
  const QSize skin(873, 681);
  for (const auto& [screen, factor] : {std::pair{QSize(3840, 2160), 3}, {QSize(1746, 1362), 2}, {QSize(1745, 1362), 1},
                                       {QSize(1280, 1024), 1}, {QSize(800, 600), 1}})
    EXPECT_EQ(FullScreenStage::FactorFor(screen, skin), factor) << screen.width();

  const QRegion mask = frame->mask();

  frame->SetFullScreen(true);
  FullScreenStage* stage = frame->Stage();
  ASSERT_NE(stage, nullptr);
  EXPECT_TRUE(stage->isVisible() && stage->isFullScreen() && frame->isVisible());
  // Twice the size, centred on black.
  EXPECT_EQ(stage->Factor(), 2);
  const QPoint corner = stage->MapFromWindow(QPoint(2, 2));
  EXPECT_EQ(corner, QPoint((2560 - 873 * 2) / 2, (1440 - 681 * 2) / 2));
  EXPECT_EQ(stage->grab().toImage().pixelColor(corner.x() / 2, 720), QColor(Qt::black));

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

  frame->SetFullScreen(false);
  EXPECT_EQ(frame->Stage(), nullptr);
  EXPECT_FALSE(stage->isVisible());
  EXPECT_TRUE(frame->isVisible() && frame->isWindow());
  EXPECT_EQ(frame->geometry(), QRect(CMainFrame::CentredPosition(QSize(2560, 1440)), QSize(877, 685)));
  EXPECT_EQ(frame->mask(), mask);
  EXPECT_EQ(frame->grab().size(), QSize(877, 685));
}

// The stage draws the skin from the 2x art, exactly where its clicks are mapped to.
TEST_F(FullScreenStageTest, TheStageShowsTheDenseArt) {
  frame->SetFullScreen(true);
  FullScreenStage* stage = frame->Stage();
  ASSERT_NE(stage, nullptr);
  const QImage shown = stage->grab().toImage().convertToFormat(QImage::Format_RGB32);
  const QImage dense = SkinImage(244, 2).convertToFormat(QImage::Format_RGB32);  // POWER at (735, 16)
  const QImage drawn = shown.copy(QRect(stage->MapFromWindow(QPoint(735, 16)), dense.size()));
  int differing = 0;
  for (int y = 0; y < dense.height(); ++y)
    for (int x = 0; x < dense.width(); ++x) differing += drawn.pixel(x, y) != dense.pixel(x, y);
  EXPECT_LT(differing, dense.width() * dense.height() / 100);
}

// What partial repaints leave on the screen equals a full repaint of the same state.
TEST_F(FullScreenStageTest, RepaintsLandWhereTheFullRepaintDrawsThem) {
  frame->SetFullScreen(true);
  FullScreenStage* stage = frame->Stage();
  ASSERT_NE(stage, nullptr);
  ASSERT_TRUE(QTest::qWaitForWindowExposed(stage));
  frame->hide();  // as for the archive panel, and back
  frame->show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(stage));
  for (int id : {CArdevizView::kIdLayoutFirst + 1, CArdevizView::kIdLayoutFirst + 0, CArdevizView::kIdConnect + 0}) {
    const QPoint at = stage->MapFromWindow(frame->View()->Button(id)->geometry().center());
    QTest::mouseClick(stage->viewport(), Qt::LeftButton, {}, at);
    QTest::qWait(50);
  }
  // The screen's picture is what the window's partial repaints left in its backing store.
  const QImage screen = stage->screen()->grabWindow(stage->winId()).toImage().convertToFormat(QImage::Format_RGB32);
  const QImage full = stage->grab().toImage().convertToFormat(QImage::Format_RGB32);
  ASSERT_EQ(screen.size(), full.size());
  EXPECT_TRUE(screen == full) << "partial repaints landed off the full repaint";
}

TEST(FullScreenStage, AnEnlargedSkinIsDrawnFromTheDenseArt) {
  // What the stage does to the skin: a painter scaled by 3 draws the 2x art made 3x, not the 1x art blown up.
  const int powerKey = 244;
  QImage drawn(SkinImage(powerKey).size() * 3, QImage::Format_RGB32);
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
