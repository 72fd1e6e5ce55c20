// The stored settings: defaults on an empty store, the 8-bit rule and the
// record folder made beside the executable.
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
    QSettings store(QStringLiteral("Ardeviz"), QStringLiteral("Ardeviz8"));
    store.setValue(QStringLiteral("Setting/") + QLatin1String(name), value);
  }

  ViewerSettings Load() {
    ViewerSettings settings;
    ViewerSettingsStore::Load(settings, QStringLiteral("/ptz/user_command.tl"), m_executable);
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
  // The record folder is "Backup" beside the executable, made on loading.
  EXPECT_EQ(s.recordFolder, QDir(m_programDir.path()).filePath("Backup"));
  EXPECT_TRUE(QFileInfo(s.recordFolder).isDir());
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

}  // namespace
