// The stored settings: defaults on an empty store, the 8-bit rule, text widths,
// and the two paths that are written but never read back.
#include <gtest/gtest.h>

#include <QDir>
#include <QFileInfo>
#include <QSettings>
#include <QTemporaryDir>

#include "viewer/ViewerSettings.h"
#include "viewer/ViewerSettingsStore.h"

namespace {

class ViewerSettingsStoreTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(m_configDir.isValid());
    // Never the user's real settings.
    QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, m_configDir.path());
    QSettings::setPath(QSettings::IniFormat, QSettings::UserScope, m_configDir.path());
    QSettings(QStringLiteral("Ardeviz"), QStringLiteral("Ardeviz8")).clear();
    m_executable = QDir(m_programDir.path()).filePath(QStringLiteral("viewer"));
  }

  void Put(const char* name, const QVariant& value) {
    QSettings s(QStringLiteral("Ardeviz"), QStringLiteral("Ardeviz8"));
    s.setValue(QStringLiteral("Setting/") + QLatin1String(name), value);
    s.sync();
  }

  QVariant Get(const char* name) {
    QSettings s(QStringLiteral("Ardeviz"), QStringLiteral("Ardeviz8"));
    return s.value(QStringLiteral("Setting/") + QLatin1String(name));
  }

  ViewerSettings Load(const QString& ptzPath = QStringLiteral("/ptz/user_command.tl")) {
    ViewerSettings settings;
    ViewerSettingsStore::Load(settings, ptzPath, m_executable);
    return settings;
  }

  QTemporaryDir m_configDir;
  QTemporaryDir m_programDir;
  QString m_executable;
};

TEST_F(ViewerSettingsStoreTest, EmptyStoreGivesTheDefaults) {
  const ViewerSettings s = Load();
  EXPECT_EQ(s.userId, "admin");
  EXPECT_EQ(s.password.size(), 1);
  EXPECT_TRUE(s.password.at(0).isDigit());
  EXPECT_EQ(s.hostAddress, ViewerSettings::kDefaultHostAddress);
  EXPECT_EQ(s.hostPort, 8000u);
  EXPECT_EQ(s.rotateInterval, 3);
  EXPECT_EQ(s.reconnectCount, 3);
  EXPECT_EQ(s.requestSpeed, 4);
  EXPECT_EQ(s.ptzType, 1);
  EXPECT_EQ(s.useFullScreen, 0u);
  EXPECT_EQ(s.useAlertMode, 0u);
  EXPECT_EQ(s.recordInterval, 1);
  EXPECT_EQ(s.dateShow, 1);
  EXPECT_EQ(s.ipLabel, "INTRANET");
  EXPECT_EQ(s.ptzFilePath, "/ptz/user_command.tl");
}

TEST_F(ViewerSettingsStoreTest, DefaultHostIsAPrivateLanAddress) {
  const QString host = QString::fromLatin1(ViewerSettings::kDefaultHostAddress);
  EXPECT_TRUE(host.startsWith("192.168.") || host.startsWith("10.") || host.startsWith("172."));
}

TEST_F(ViewerSettingsStoreTest, EightBitFieldsTakeTheLowByte) {
  Put("Rotate Interval", 259);
  Put("Reconnect Count", 0x1FF);
  Put("Ptz Type", 256 + 5);
  Put("Host Port", 0);
  Put("Use FullScreen", 7);
  const ViewerSettings s = Load();
  EXPECT_EQ(s.rotateInterval, 3);
  EXPECT_EQ(s.reconnectCount, 0xFF);
  EXPECT_EQ(s.ptzType, 5);
  EXPECT_EQ(s.hostPort, 0u);  // a stored 0 is used as 0
  EXPECT_EQ(s.useFullScreen, 7u);
}

TEST_F(ViewerSettingsStoreTest, TextsAreCutToTheirWidths) {
  Put("User ISeed", QString(100, QLatin1Char('u')));
  Put("User PSeed", QString(40, QLatin1Char('p')));
  Put("Host IPAddress", QString(40, QLatin1Char('1')));
  Put("Ip Label", QString(70, QLatin1Char('L')));
  const ViewerSettings s = Load(QString(300, QLatin1Char('f')));
  EXPECT_EQ(s.userId.size(), 63);
  EXPECT_EQ(s.password.size(), 31);
  EXPECT_EQ(s.hostAddress.size(), 31);
  EXPECT_EQ(s.ipLabel.size(), 63);
  EXPECT_EQ(s.ptzFilePath.size(), 259);
}

TEST_F(ViewerSettingsStoreTest, RecordFolderIsBackupBesideTheExecutableAndIsCreated) {
  EXPECT_EQ(ViewerSettingsStore::RecordFolderFor("/a.b/viewer"), "/a.b/Backup");
  const ViewerSettings s = Load();
  EXPECT_EQ(s.recordFolder, QDir(m_programDir.path()).filePath("Backup"));
  EXPECT_TRUE(QFileInfo(s.recordFolder).isDir());
}

TEST_F(ViewerSettingsStoreTest, RecordPathAndPtzFilePathAreWrittenButNeverRead) {
  ViewerSettings s = Load();
  s.userId = "operator";
  s.hostAddress = "127.0.0.1";
  s.hostPort = 9100;
  s.rotateInterval = 9;
  s.useAlertMode = 1;
  s.ipLabel = "LAB";
  ViewerSettingsStore::Save(s, "/somewhere/pelcoP.tl");
  EXPECT_EQ(Get("Record Path").toString(), s.recordFolder);
  EXPECT_EQ(Get("Ptz File Path").toString(), "/somewhere/pelcoP.tl");

  Put("Record Path", "/elsewhere/Backup");
  const ViewerSettings again = Load("/current/user_command.tl");
  EXPECT_EQ(again.recordFolder, s.recordFolder);
  EXPECT_EQ(again.ptzFilePath, "/current/user_command.tl");
  EXPECT_EQ(again.userId, "operator");
  EXPECT_EQ(again.hostAddress, "127.0.0.1");
  EXPECT_EQ(again.hostPort, 9100u);
  EXPECT_EQ(again.rotateInterval, 9);
  EXPECT_EQ(again.useAlertMode, 1u);
  EXPECT_EQ(again.ipLabel, "LAB");
}

}  // namespace
