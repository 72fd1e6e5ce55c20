// Start-up and shut-down: the single-instance guard and its lock file (odd
// files at its name included), the
// power button's order (settings saved, window closed), and the archive
// panel's way back: POWER returns to the main window also when the link went
// offline while the panel was shown.
#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QGuiApplication>
#include <QMessageBox>
#include <QSettings>
#include <QTemporaryDir>

#include <filesystem>
#include <fstream>
#include <utility>

#include <sys/stat.h>

#include "app/CArdevizApp.h"
#include "archive/CArchiveDlg.h"
#include "skin/SkinPushButton.h"
#include "tests/viewer/ShellTestSupport.h"
#include "viewer/CArdevizView.h"
#include "viewer/CMainFrame.h"

namespace {

namespace fs = std::filesystem;

class CArdevizAppTest : public ::testing::Test {
 protected:
  CArdevizAppTest() {
    m_options.createLink = false;
    m_options.hostOverride = QStringLiteral("127.0.0.1");
    m_options.screenModeSettleMs = 0;
  }
  QString LockPath() const { return QDir(m_lockDir.path()).filePath("Ardeviz.lock"); }

  IsolatedSettings m_settings;
  TemporaryWorkingFolder m_folder;
  AlertRecorder m_alerts;
  QTemporaryDir m_lockDir;
  CArdevizView::Options m_options;
};

// A second instance is refused while the first runs; POWER saves the settings
// and closes the window; once the first has ended, a new start succeeds.
TEST_F(CArdevizAppTest, SecondInstanceIsRefusedAndPowerSavesTheSettingsAndClosesTheWindow) {
  // The configured protocol's command file exists, so the pan/tilt fallback does not save either.
  ASSERT_TRUE(QDir().mkpath("PTZ"));
  ASSERT_TRUE(QFile("PTZ/pelcoP.tl").open(QIODevice::WriteOnly));
  CArdevizApp app(LockPath(), m_options);
  ASSERT_TRUE(app.InitInstance());
  // Boxes and dialogs carry the program's name after their caption, and its icon.
  EXPECT_EQ(QGuiApplication::applicationDisplayName(), "Ardeviz");
  EXPECT_FALSE(QMessageBox(QMessageBox::Critical, "ERROR", "text").windowIcon().isNull());

  CArdevizApp second(LockPath(), m_options);
  EXPECT_FALSE(second.InitInstance());
  ASSERT_EQ(m_alerts.messages.size(), 1u);
  const Alerts::Message& box = m_alerts.messages[0];
  EXPECT_EQ(box.caption + ": " + box.text, "ERROR: Another instance of this program exists");
  EXPECT_EQ(box.icon, Alerts::Icon::Error);

  CArdevizView* view = app.MainFrame()->View();
  EXPECT_TRUE(app.MainFrame()->isVisible() && view->SecondTimer().isActive());
  view->Settings().rotateInterval = 7;
  view->Settings().ipLabel = "LAB";
  EXPECT_FALSE(QSettings("Ardeviz", "Ardeviz8").contains("Setting/Rotate Interval"));  // nothing before POWER

  ClickAndSettle(view->PushButton(CArdevizView::kIdPower));
  QCoreApplication::processEvents();
  EXPECT_FALSE(view->SecondTimer().isActive() || app.MainFrame()->isVisible());
  // The run's host override is never stored.
  QSettings stored("Ardeviz", "Ardeviz8");
  EXPECT_EQ(QStringList({stored.value("Setting/Rotate Interval").toString(), stored.value("Setting/Ip Label").toString(),
                         stored.value("Setting/Host IPAddress").toString()}),
            QStringList({"7", "LAB", ViewerSettings::kDefaultHostAddress}));

  app.ExitInstance();
  EXPECT_TRUE(CArdevizApp(LockPath(), m_options).InitInstance());
}

// Whatever stands at the lock's name is told at once, never waited on; a lock
// an ended instance left (naming another host) is taken over, and a missing
// folder is made private to the user.
TEST_F(CArdevizAppTest, OddLocksAreToldAtOnceAndAStaleOneIsTakenOver) {
  const auto in = [this](const char* name) { return QDir(m_lockDir.path()).filePath(name).toStdString(); };
  ASSERT_EQ(::mkfifo(in("fifo").c_str(), 0600), 0);
  fs::create_directories(in("folder"));
  fs::create_symlink(in("missing"), in("dangling"));
  std::ofstream(in("other-host")) << "4242\nardeviz\nsomewhere-else\n";
  fs::create_directory(in("shared"));
  fs::permissions(in("shared"), fs::perms::all);
  const std::pair<const char*, const char*> cases[] = {
      {"fifo", "it is a FIFO, not a plain file; remove it and start again."},
      {"folder", "it is a folder, not a plain file; remove it and start again."},
      {"dangling", "it is a link, not a plain file; remove it and start again."},
      {"shared/x.lock", "its folder is not a folder that only this user can write; remove it and start again."},
      {"other-host", nullptr}, {"own/x.lock", nullptr}};
  for (const auto& [name, told] : cases) {
    m_alerts.messages.clear();
    const QString path = QString::fromStdString(in(name));
    EXPECT_EQ(CArdevizApp(path, m_options).InitInstance(), told == nullptr) << name;
    EXPECT_EQ(m_alerts.messages.empty() ? QString() : m_alerts.messages[0].text,
              told ? "Cannot use the instance lock " + path + ": " + told : QString());
  }
  EXPECT_EQ(fs::status(in("own")).permissions(), fs::perms::owner_all);
}

TEST_F(CArdevizAppTest, ArchivePowerReturnsToTheMainWindowAlsoOffline) {
  m_options.createLink = true;
  m_options.portOverride = 1;
  CArdevizApp app(LockPath(), m_options);
  ASSERT_TRUE(app.InitInstance());
  CArdevizView* view = app.MainFrame()->View();
  auto* panel = dynamic_cast<CArchiveDlg*>(view->ArchivePanel());
  ASSERT_NE(panel, nullptr);
  for (bool offline : {false, true}) {
    view->SetConnectionState(1);  // as after a login; nothing is ever sent without a socket
    view->SwitchToArchive(true);
    ASSERT_TRUE(panel->isVisible() && !app.MainFrame()->isVisible());
    if (offline) view->GoOffline();
    panel->OnCommand(CArchiveDlg::kIdPower);
    QTRY_VERIFY_WITH_TIMEOUT(app.MainFrame()->isVisible(), 5000);
    EXPECT_FALSE(panel->isVisible() || panel->IsArchiveMode()) << offline;
    EXPECT_EQ(view->ConnectionState(), offline ? 0 : 1);
  }
}

}  // namespace
