// The stored settings: out-of-range numbers, and the record folder made beside
// the executable, never cut.
#include <gtest/gtest.h>

#include <QDir>
#include <QFileInfo>
#include <QSettings>
#include <QTemporaryDir>

#include "config/ViewerSettings.h"
#include "tests/viewer/ShellTestSupport.h"
#include "viewer/ViewerSettingsStore.h"

namespace {

ViewerSettings Load(const QString& executable) {
  ViewerSettings settings;
  ViewerSettingsStore::Load(settings, QStringLiteral("/ptz/user_command.tl"), executable);
  return settings;
}

// Stored numbers outside their range read as the default, never as some
// other value cut to fit (83536 is not port 18000); in-range values stay.
TEST(ViewerSettingsStore, OutOfRangeNumbersReadAsTheDefault) {
  IsolatedSettings isolated;
  QTemporaryDir program;
  using VS = ViewerSettings;
  const struct {
    const char* name;
    QVariant stored;
    std::uint32_t expected;
    std::uint32_t VS::*wide = nullptr;
    std::uint8_t VS::*narrow = nullptr;
  } cases[] = {
      {"Host Port", 83536, 8000, &VS::hostPort},  {"Host Port", 65536, 8000, &VS::hostPort},
      {"Host Port", -1, 8000, &VS::hostPort},     {"Host Port", 0, 0, &VS::hostPort},
      {"Host Port", 65535, 65535, &VS::hostPort}, {"Host Port", "x", 8000, &VS::hostPort},
      {"Rotate Interval", 259, 3, nullptr, &VS::rotateInterval}, {"Rotate Interval", 6, 3, nullptr, &VS::rotateInterval},
      {"Rotate Interval", 5, 5, nullptr, &VS::rotateInterval},   {"Reconnect Count", 5, 3, nullptr, &VS::reconnectCount},
      {"Reconnect Count", 0, 0, nullptr, &VS::reconnectCount},   {"Request Speed", 7, 4, nullptr, &VS::requestSpeed},
      {"Request Speed", 6, 6, nullptr, &VS::requestSpeed},       {"Ptz Type", 256 + 5, 1, nullptr, &VS::ptzType},
      {"Ptz Type", 5, 5, nullptr, &VS::ptzType},                 {"Record Interval", 13, 1, nullptr, &VS::recordInterval},
      {"Record Interval", 12, 12, nullptr, &VS::recordInterval}, {"Date Show", 2, 1, nullptr, &VS::dateShow},
      {"Date Show", 0, 0, nullptr, &VS::dateShow},               {"Use FullScreen", 7, 0, &VS::useFullScreen},
      {"Use FullScreen", 1, 1, &VS::useFullScreen},              {"Use AlertMode", -1, 0, &VS::useAlertMode},
      {"Use AlertMode", 1, 1, &VS::useAlertMode},
  };
  for (const auto& c : cases) {
    QSettings(QStringLiteral("Ardeviz"), QStringLiteral("Ardeviz8")).setValue(QStringLiteral("Setting/") + c.name, c.stored);
    const ViewerSettings s = Load(QDir(program.path()).filePath("viewer"));
    EXPECT_EQ(c.wide ? s.*c.wide : s.*c.narrow, c.expected) << c.name << " " << c.stored.toString().toStdString();
  }
}

// A record folder longer than 259 characters is made beside the executable,
// used and saved whole: no second folder with a cut name is made.
TEST(ViewerSettingsStore, LongRecordFolderIsNeverCut) {
  IsolatedSettings isolated;
  QTemporaryDir program;
  const QString deep = QDir(program.path()).filePath(QString(200, 'a') + "/" + QString(100, 'b'));
  ASSERT_TRUE(QDir().mkpath(deep));
  const ViewerSettings s = Load(QDir(deep).filePath(QStringLiteral("viewer")));
  EXPECT_EQ(s.recordFolder, QDir(deep).filePath("Backup"));
  EXPECT_GT(s.recordFolder.size(), 259);
  EXPECT_TRUE(QFileInfo(s.recordFolder).isDir());
  EXPECT_EQ(QDir(deep).entryList(QDir::AllEntries | QDir::NoDotAndDotDot), QStringList{"Backup"});

  const QString longPtzPath(300, 'p');
  ViewerSettingsStore::Save(s, longPtzPath);
  QSettings store(QStringLiteral("Ardeviz"), QStringLiteral("Ardeviz8"));
  EXPECT_EQ(store.value("Setting/Record Path").toString(), s.recordFolder);
  EXPECT_EQ(store.value("Setting/Ptz File Path").toString(), longPtzPath);
}

}  // namespace
