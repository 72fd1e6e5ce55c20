// Start-up and shut-down: the single-instance guard, the frame's size, mask and
// placement, and the power button's order (settings saved, window closed).
#include <gtest/gtest.h>

#include <QFile>

#include <QDir>
#include <QFileInfo>
#include <QSettings>
#include <QTemporaryDir>

#ifdef Q_OS_UNIX
#include <unistd.h>
#endif

#include "tests/viewer/ShellTestSupport.h"
#include "viewer/CArdevizApp.h"
#include "viewer/CArdevizView.h"
#include "viewer/CMainFrame.h"
#include "viewer/SkinPushButton.h"

namespace {

class CArdevizAppTest : public ::testing::Test {
 protected:
  CArdevizView::Options ViewOptions() const {
    CArdevizView::Options options;
    options.createLink = false;
    options.hostOverride = QStringLiteral("127.0.0.1");
    options.screenModeSettleMs = 0;
    return options;
  }
  QString LockPath() const { return QDir(m_lockDir.path()).filePath("Ardeviz.lock"); }

  IsolatedSettings m_settings;
  TemporaryWorkingFolder m_folder;
  AlertRecorder m_alerts;
  QTemporaryDir m_lockDir;
};

TEST_F(CArdevizAppTest, SecondInstanceShowsTheErrorAndLeavesTheFirstRunning) {
  CArdevizApp first(LockPath(), ViewOptions());
  ASSERT_TRUE(first.InitInstance());
  ASSERT_NE(first.MainFrame(), nullptr);
  EXPECT_TRUE(first.MainFrame()->isVisible());
  EXPECT_TRUE(m_alerts.messages.empty());

  CArdevizApp second(LockPath(), ViewOptions());
  EXPECT_FALSE(second.InitInstance());
  EXPECT_EQ(second.MainFrame(), nullptr);
  ASSERT_EQ(m_alerts.messages.size(), 1u);
  EXPECT_EQ(m_alerts.messages[0].text, "Another instance of this program exists");
  EXPECT_EQ(m_alerts.messages[0].caption, "ERROR");
  EXPECT_EQ(m_alerts.messages[0].icon, Alerts::Icon::Error);
  EXPECT_TRUE(first.MainFrame()->isVisible());

  // Once the first has ended, a new start succeeds.
  first.ExitInstance();
  CArdevizApp third(LockPath(), ViewOptions());
  EXPECT_TRUE(third.InitInstance());
}

TEST_F(CArdevizAppTest, TheLockLivesInTheUsersRuntimeFolderOrUnderTheUsersNumber) {
  const QByteArray saved = qgetenv("XDG_RUNTIME_DIR");
  qputenv("XDG_RUNTIME_DIR", QFile::encodeName(m_lockDir.path()));  // 0700 and ours, as a runtime folder must be
  EXPECT_EQ(CArdevizApp::DefaultLockFilePath(), LockPath());
  saved.isNull() ? qunsetenv("XDG_RUNTIME_DIR") : qputenv("XDG_RUNTIME_DIR", saved);

  EXPECT_EQ(CArdevizApp::LockFilePathIn("/run/user/1000"), "/run/user/1000/Ardeviz.lock");
  const QString fallback = CArdevizApp::LockFilePathIn(QString());
  EXPECT_EQ(QFileInfo(fallback).dir(), QDir(QDir::tempPath()));
#ifdef Q_OS_UNIX
  EXPECT_EQ(QFileInfo(fallback).fileName(), QStringLiteral("Ardeviz-%1.lock").arg(::getuid()));
#endif
}

TEST_F(CArdevizAppTest, FrameIsFixedSizeWithItsMarginCutOff) {
  CMainFrame frame(ViewOptions());
  EXPECT_EQ(frame.size(), QSize(877, 685));
  EXPECT_TRUE(frame.windowFlags() & Qt::FramelessWindowHint);
  EXPECT_EQ(frame.mask(), QRegion(2, 2, 873, 681));
  EXPECT_EQ(CMainFrame::CentredPosition(QSize(1280, 1024)), QPoint(201, 169));
  // Full screen: FullScreenStage_test.
}

TEST_F(CArdevizAppTest, StartUpLoadsTheSettingsAndTheSkin) {
  CArdevizApp app(LockPath(), ViewOptions());
  ASSERT_TRUE(app.InitInstance());
  CArdevizView* view = app.MainFrame()->View();
  EXPECT_EQ(view->Settings().userId, "admin");
  EXPECT_EQ(view->Settings().hostPort, 8000u);
  EXPECT_EQ(view->Settings().ipLabel, "INTRANET");
  EXPECT_TRUE(view->SecondTimer().isActive());
  EXPECT_EQ(view->ChannelLayout(), CArdevizView::kLayoutNine);
  EXPECT_NE(view->PushButton(CArdevizView::kIdPower), nullptr);
  EXPECT_EQ(view->HostText(), "127.0.0.1");  // the override is used, not stored
}

TEST_F(CArdevizAppTest, PowerSavesTheSettingsAndClosesTheWindow) {
  // The configured protocol's command file exists, so the pan/tilt fallback does not save either.
  ASSERT_TRUE(QDir().mkpath("PTZ"));
  QFile commandFile("PTZ/pelcoP.tl");
  ASSERT_TRUE(commandFile.open(QIODevice::WriteOnly));
  commandFile.close();
  CArdevizApp app(LockPath(), ViewOptions());
  ASSERT_TRUE(app.InitInstance());
  CArdevizView* view = app.MainFrame()->View();
  view->Settings().rotateInterval = 7;
  view->Settings().ipLabel = "LAB";
  // Nothing is written before the power button.
  EXPECT_FALSE(QSettings("Ardeviz", "Ardeviz8").contains("Setting/Rotate Interval"));

  ClickAndSettle(view->PushButton(CArdevizView::kIdPower));
  QCoreApplication::processEvents();
  EXPECT_FALSE(view->SecondTimer().isActive());
  EXPECT_FALSE(app.MainFrame()->isVisible());
  QSettings stored("Ardeviz", "Ardeviz8");
  EXPECT_EQ(stored.value("Setting/Rotate Interval").toInt(), 7);
  EXPECT_EQ(stored.value("Setting/Ip Label").toString(), "LAB");
  // The stored address is the configured one, never the run's override.
  EXPECT_EQ(stored.value("Setting/Host IPAddress").toString(), ViewerSettings::kDefaultHostAddress);
}

}  // namespace
