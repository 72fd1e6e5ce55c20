// The built viewer on a 200 % screen: the window keeps its 877 x 685 size in
// window coordinates and its skin is drawn from the 2x art, pixel for pixel.
// This program runs at that scale itself: pane pictures are decoded for the
// panes' device pixels, and a window taller than the screen keeps its top on it.
#include <gtest/gtest.h>

#include <QDir>
#include <QImage>
#include <QProcess>
#include <QSettings>
#include <QTemporaryDir>

#include "res/SkinImages.h"
#include "tests/viewer/ShellTestSupport.h"
#include "viewer/CArdevizView.h"
#include "viewer/CMainFrame.h"

namespace {

TEST(HighDensity, TheViewerAtTwiceTheDensityDrawsTheTwiceAsDenseArt) {
  const QString bin = qEnvironmentVariable("ARDEVIZ_BINARY_DIR");
  if (bin.isEmpty()) GTEST_SKIP() << "ARDEVIZ_BINARY_DIR not set";
  QTemporaryDir home, runtime;
  const QDir h(home.path());
  QSettings(h.filePath("config/Ardeviz/Ardeviz8.conf"), QSettings::IniFormat)
      .setValue("Setting/Host IPAddress", "127.0.0.1");
  QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
  env.insert("XDG_CONFIG_HOME", h.filePath("config"));
  env.insert("XDG_RUNTIME_DIR", runtime.path());
  env.insert("QT_QPA_PLATFORM", "offscreen");
  env.insert("QT_SCALE_FACTOR", "2");
  QProcess viewer;
  viewer.setProcessEnvironment(env);
  viewer.setWorkingDirectory(home.path());
  viewer.setProcessChannelMode(QProcess::MergedChannels);
  viewer.start(bin + "/ardeviz", {"--demo", "--screenshot", "shot.png"});
  ASSERT_TRUE(viewer.waitForFinished(30000));
  ASSERT_EQ(viewer.exitCode(), 0) << viewer.readAll().toStdString();

  const QImage shot = QImage(h.filePath("shot.png")).convertToFormat(QImage::Format_RGB32);
  ASSERT_EQ(shot.size(), QSize(2 * 877, 2 * 685));
  // The power key at (735, 16).
  const QImage art = SkinImage(244, 2).convertToFormat(QImage::Format_RGB32);
  EXPECT_TRUE(shot.copy(QRect(QPoint(735, 16) * 2, art.size())) == art);
}

TEST(HighDensity, PanesAreDecodedForTheirDevicePixelsAndWindowsStayOnTheScreen) {
  ASSERT_EQ(qApp->devicePixelRatio(), 2) << "not run with QT_SCALE_FACTOR=2";
  IsolatedSettings settings;
  CArdevizView view(nullptr, {.createLink = false, .executablePath = {}, .noticeClockMs = {}, .hostOverride = {}, .portOverride = {}});
  view.OnInitialUpdate();
  // Nine panes of 211 x 158, 422 x 316 device pixels: full width, half height.
  EXPECT_EQ(view.LiveDecodeSize(1), QSize(422, 158));

  // At 2x a 1920 x 1080 screen has 960 x 540 to offer: centred, but never above or left of it.
  EXPECT_EQ(CMainFrame::PlacedOn(QRect(0, 0, 960, 540), QSize(877, 685)), QPoint(41, 0));
  EXPECT_EQ(CMainFrame::PlacedOn(QRect(64, 32, 800, 600), QSize(948, 681)), QPoint(64, 32));
  EXPECT_EQ(CMainFrame::PlacedOn(QRect(64, 32, 1000, 700), QSize(948, 681)), QPoint(90, 41));
}

}  // namespace
