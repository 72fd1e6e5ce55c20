// The stored settings: defaults on an empty store, out-of-range numbers and
// the record folder made beside the executable, never cut.
#include <gtest/gtest.h>

#include <QDir>
#include <QFileInfo>
#include <QSettings>
#include <QTemporaryDir>

#include "config/ViewerSettings.h"
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

// Stored numbers outside their range read as the default, never as some
// other value cut to fit (83536 is not port 18000); in-range values stay.
TEST_F(ViewerSettingsStoreTest, OutOfRangeNumbersReadAsTheDefault) {
  struct Case {
    const char* name;
    QVariant stored;
    std::uint32_t expected;
    std::uint32_t ViewerSettings::*wide = nullptr;
    std::uint8_t ViewerSettings::*narrow = nullptr;
  };
  using VS = ViewerSettings;
  const Case cases[] = {
      {"Host Port", 83536, 8000, &VS::hostPort},        {"Host Port", 65536, 8000, &VS::hostPort},
      {"Host Port", -1, 8000, &VS::hostPort},           {"Host Port", 0, 0, &VS::hostPort},
      {"Host Port", 65535, 65535, &VS::hostPort},       {"Host Port", "x", 8000, &VS::hostPort},
      {"Rotate Interval", 259, 3, nullptr, &VS::rotateInterval},
      {"Rotate Interval", 6, 3, nullptr, &VS::rotateInterval},
      {"Rotate Interval", 5, 5, nullptr, &VS::rotateInterval},
      {"Reconnect Count", 5, 3, nullptr, &VS::reconnectCount},
      {"Reconnect Count", 0, 0, nullptr, &VS::reconnectCount},
      {"Request Speed", 7, 4, nullptr, &VS::requestSpeed},
      {"Request Speed", 6, 6, nullptr, &VS::requestSpeed},
      {"Ptz Type", 256 + 5, 1, nullptr, &VS::ptzType},
      {"Ptz Type", 5, 5, nullptr, &VS::ptzType},
      {"Record Interval", 13, 1, nullptr, &VS::recordInterval},
      {"Record Interval", 12, 12, nullptr, &VS::recordInterval},
      {"Date Show", 2, 1, nullptr, &VS::dateShow},
      {"Date Show", 0, 0, nullptr, &VS::dateShow},
      {"Use FullScreen", 7, 0, &VS::useFullScreen},     {"Use FullScreen", 1, 1, &VS::useFullScreen},
      {"Use AlertMode", -1, 0, &VS::useAlertMode},      {"Use AlertMode", 1, 1, &VS::useAlertMode},
  };
  for (const Case& c : cases) {
    Put(c.name, c.stored);
    const ViewerSettings s = Load();
    EXPECT_EQ(c.wide ? s.*c.wide : s.*c.narrow, c.expected) << c.name << " " << c.stored.toString().toStdString();
  }
}

// A record folder longer than 259 characters is used and saved whole: no
// second folder with a cut name is made.
TEST_F(ViewerSettingsStoreTest, LongRecordFolderIsNeverCut) {
  const QString deep = QDir(m_programDir.path()).filePath(QString(200, QLatin1Char('a')) + "/" + QString(100, QLatin1Char('b')));
  ASSERT_TRUE(QDir().mkpath(deep));
  m_executable = QDir(deep).filePath(QStringLiteral("viewer"));
  const ViewerSettings s = Load();
  EXPECT_EQ(s.recordFolder, QDir(deep).filePath("Backup"));
  EXPECT_GT(s.recordFolder.size(), 259);
  EXPECT_TRUE(QFileInfo(s.recordFolder).isDir());
  EXPECT_EQ(QDir(deep).entryList(QDir::AllEntries | QDir::NoDotAndDotDot), QStringList{"Backup"});

  const QString longPtzPath = QString(300, QLatin1Char('p'));
  ViewerSettingsStore::Save(s, longPtzPath);
  QSettings store(QStringLiteral("Ardeviz"), QStringLiteral("Ardeviz8"));
  EXPECT_EQ(store.value("Setting/Record Path").toString(), s.recordFolder);
  EXPECT_EQ(store.value("Setting/Ptz File Path").toString(), longPtzPath);
}

}  // namespace
