// The stored settings: out-of-range numbers, and the record folder made beside
// the executable, never cut.
#include <gtest/gtest.h>

#include <QDir>
#include <QFileInfo>
#include <QSettings>
#include <QTemporaryDir>

#include <vector>

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
  const char* names[] = {"Host Port",       "Rotate Interval", "Reconnect Count", "Request Speed", "Ptz Type",
                         "Record Interval", "Date Show",       "Use FullScreen",  "Use AlertMode"};
  using N = std::vector<std::uint32_t>;
  const N defaults = {8000, 2, 2, 4, 1, 1, 1, 0, 0};
  const struct {
    QVariantList stored;
    N read;
  } cases[] = {
      {{83536, 259, 5, 7, 256 + 5, 13, 2, 7, -1}, defaults},
      {{65536, 6, 5, 7, 256 + 5, 13, 2, 7, 2}, defaults},
      {{-1, 6, 5, 7, 256 + 5, 13, 2, 7, 2}, defaults},
      {{"x", 6, 5, 7, 256 + 5, 13, 2, 7, 2}, defaults},
      {{65535, 5, 0, 6, 5, 12, 0, 1, 1}, {65535, 5, 0, 6, 5, 12, 0, 1, 1}},
      {{0, 5, 0, 6, 5, 12, 0, 1, 1}, {0, 5, 0, 6, 5, 12, 0, 1, 1}},
  };
  for (const auto& c : cases) {
    QSettings store(QStringLiteral("Ardeviz"), QStringLiteral("Ardeviz8"));
    for (int i = 0; i < 9; ++i) store.setValue(QStringLiteral("Setting/") + names[i], c.stored[i]);
    store.sync();
    const ViewerSettings s = Load(QDir(program.path()).filePath("viewer"));
    EXPECT_EQ(N({s.hostPort, s.rotateInterval, s.reconnectCount, s.requestSpeed, s.ptzType, s.recordInterval,
                 s.dateShow, s.useFullScreen, s.useAlertMode}),
              c.read)
        << c.stored[0].toString().toStdString();
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
