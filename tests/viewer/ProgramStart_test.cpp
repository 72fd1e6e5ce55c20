// What the program sets up as it starts: its command line (the parser, and the
// built programs answering --help and --version without any display), the
// stored settings (out-of-range numbers, the record folder made beside the
// executable, never cut) and the working folder of an installed program
// (found beside the executable, filled with the shipped files it lacks, never
// overwritten; one that cannot be made is told, never replaced by the
// executable's own folder).
#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QProcessEnvironment>
#include <QSettings>
#include <QTemporaryDir>

#include <vector>

#include "config/ViewerSettings.h"
#include "platform/ISecretStore.h"
#include "tests/viewer/ShellTestSupport.h"
#include "viewer/ViewerCommandLine.h"
#include "viewer/ViewerSettingsStore.h"
#include "viewer/WorkingFolder.h"

namespace {

// With no display at all, where the xcb platform would abort.
TEST(ViewerCommandLine, ProgramsAnswerHelpAndVersionWithoutADisplay) {
  const QString bin = qEnvironmentVariable("ARDEVIZ_BINARY_DIR");
  if (bin.isEmpty()) GTEST_SKIP() << "ARDEVIZ_BINARY_DIR not set";
  QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
  env.remove("DISPLAY");
  env.remove("WAYLAND_DISPLAY");
  env.insert("QT_QPA_PLATFORM", "xcb");
  // Exit code, standard output, standard error.
  const auto run = [&](const QString& program, const QString& option) {
    QProcess process;
    process.setProcessEnvironment(env);
    process.start(program, {option});
    if (!process.waitForFinished(10000)) process.kill();
    return QStringList{QString::number(process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1),
                       QString::fromLocal8Bit(process.readAllStandardOutput()),
                       QString::fromLocal8Bit(process.readAllStandardError())};
  };
  const QString viewer = bin + "/ardeviz";
  EXPECT_EQ(run(viewer, "--help").mid(0, 2), (QStringList{"0", ViewerCommandLine::HelpText()}));
  const QString version = run(viewer, "--version").join('|');
  EXPECT_TRUE(version.startsWith("0|ardeviz ")) << version.toStdString();
  EXPECT_EQ(run(bin + "/sim/dvr-sim", "--version").join('|'), "0|dvr-sim " + version.mid(10));
}

constexpr QFileDevice::Permissions kNotOwners = QFileDevice::ReadGroup | QFileDevice::WriteGroup | QFileDevice::ExeGroup |
                                               QFileDevice::ReadOther | QFileDevice::WriteOther | QFileDevice::ExeOther;

ViewerSettings Load(const QString& executable, ISecretStore* secrets = nullptr) {
  ViewerSettings settings;
  ViewerSettingsStore::Load(settings, QStringLiteral("/ptz/user_command.tl"), executable, secrets);
  return settings;
}

// Stored numbers outside their range (one past it, far past it, negative, not
// a number) read as the default, never as some other value cut to fit (83536
// is not port 18000); in-range values stay.
TEST(ViewerSettingsStore, OutOfRangeNumbersReadAsTheDefaultAndALongRecordFolderIsNeverCut) {
  IsolatedSettings isolated;
  QTemporaryDir program;
  const char* names[] = {"Host Port",       "Rotate Interval", "Reconnect Count", "Request Speed", "Ptz Type",
                         "Record Interval", "Date Show",       "Use FullScreen",  "Use AlertMode", "Record Format"};
  using N = std::vector<std::uint32_t>;
  const N defaults = {8000, 2, 2, 4, 1, 1, 1, 0, 0, 0};
  using Case = std::pair<QVariantList, N>;  // what is stored, what is read
  for (const auto& [stored, read] : {Case{{83536, 6, 5, 7, 256 + 5, 13, "x", 2, -1, 2}, defaults},
                                     Case{{65535, 5, 0, 6, 5, 12, 0, 1, 1, 1}, {65535, 5, 0, 6, 5, 12, 0, 1, 1, 1}}}) {
    QSettings store(QStringLiteral("Ardeviz"), QStringLiteral("Ardeviz8"));
    for (int i = 0; i < 10; ++i) store.setValue(QStringLiteral("Setting/") + names[i], stored[i]);
    store.sync();
    const ViewerSettings s = Load(QDir(program.path()).filePath("viewer"));
    EXPECT_EQ(N({s.hostPort, s.rotateInterval, s.reconnectCount, s.requestSpeed, s.ptzType, s.recordInterval,
                 s.dateShow, s.useFullScreen, s.useAlertMode, s.recordFormat}),
              read)
        << stored[0].toString().toStdString();
  }

  // A record folder longer than 259 characters is made beside the executable,
  // used and saved whole: no second folder with a cut name is made.
  const QString deep = QDir(program.path()).filePath(QString(200, 'a') + "/" + QString(100, 'b'));
  ASSERT_TRUE(QDir().mkpath(deep));
  const ViewerSettings s = Load(QDir(deep).filePath(QStringLiteral("viewer")));
  EXPECT_EQ(s.recordFolder, QDir(deep).filePath("Backup"));
  EXPECT_EQ(QDir(deep).entryList(QDir::AllEntries | QDir::NoDotAndDotDot), QStringList{"Backup"});

  const QString longPtzPath(300, 'p');
  ViewerSettings saved = s;
  saved.recordFormat = 0;  // over the stored 1
  ViewerSettingsStore::Save(saved, longPtzPath);
  QSettings store(QStringLiteral("Ardeviz"), QStringLiteral("Ardeviz8"));
  EXPECT_EQ(store.value("Setting/Record Path").toString(), s.recordFolder);
  EXPECT_EQ(store.value("Setting/Record Format").toInt(), 0);
  EXPECT_EQ(store.value("Setting/Ptz File Path").toString(), longPtzPath);
}

// A password kept in clear by an earlier version moves to a secret store that
// answers; without one it stays in a file, and a folder, only the owner reads.
TEST(ViewerSettingsStore, ThePasswordGoesToTheSecretStoreOrAFileOnlyItsOwnerReads) {
  IsolatedSettings isolated;
  QTemporaryDir program;
  struct FakeSecrets : ISecretStore {
    QMap<QString, QString> kept;
    bool answers = true;
    ReadResult Read(const QString& key, QString& secret) override {
      secret = kept.value(key);
      return !answers ? ReadResult::Unavailable : kept.contains(key) ? ReadResult::Found : ReadResult::Missing;
    }
    bool Write(const QString& key, const QString& secret) override { return answers && (kept[key] = secret, true); }
  } secrets;
  const auto inFile = [] { return QSettings("Ardeviz", "Ardeviz8").value("Setting/User PSeed").toString(); };
  QSettings("Ardeviz", "Ardeviz8").setValue("Setting/User PSeed", "earlier");
  const QString file = QSettings("Ardeviz", "Ardeviz8").fileName();
  for (const QString& path : {file, QFileInfo(file).path()})  // as an earlier version left them
    QFile::setPermissions(path, QFile::permissions(path) | QFileDevice::ReadOther);
  ViewerSettings s = Load(QDir(program.path()).filePath("viewer"), &secrets);
  EXPECT_EQ(std::tuple(s.password, secrets.kept.value("User PSeed"), inFile()), std::tuple("earlier", "earlier", ""));
  s.password = "later";
  ViewerSettingsStore::Save(s, {}, &secrets);
  EXPECT_EQ(std::tuple(secrets.kept.value("User PSeed"), inFile()), std::tuple("later", ""));
  EXPECT_EQ(Load(QDir(program.path()).filePath("viewer"), &secrets).password, "later");

  secrets.answers = false;
  ViewerSettingsStore::Save(s, {}, &secrets);
  const auto others = [](const QString& path) { return int(QFile::permissions(path) & kNotOwners); };
  EXPECT_EQ(std::tuple(inFile(), others(file), others(QFileInfo(file).path())), std::tuple("later", 0, 0));
}

void Write(const QString& path, const QByteArray& bytes) {
  ASSERT_TRUE(QDir().mkpath(QFileInfo(path).path()));
  QFile file(path);
  ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
  file.write(bytes);
}

QByteArray Read(const QString& path) {
  QFile file(path);
  return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<missing>");
}

TEST(WorkingFolder, FilledWithWhatIsMissingAndNeverOverwritten) {
  QTemporaryDir root;
  // Where an installed program finds its shipped files is seen in the package test.
  const QDir shipped(root.filePath("share")), user(root.filePath("user/ardeviz"));
  Write(shipped.filePath("PTZ/pelcoD.tl"), "D");
  Write(shipped.filePath("ini/opt.ini"), "[PTZ_CMD_INTERVAL]\n");
  // Installed files are read-only; the copies must still be the operator's to edit.
  QFile::setPermissions(shipped.filePath("ini/opt.ini"), QFileDevice::ReadOwner | QFileDevice::ReadOther);

  ASSERT_TRUE(QDir().mkpath(user.path()));  // a folder others may read becomes the owner's alone
  QFile::setPermissions(user.path(), QFile::permissions(user.path()) | QFileDevice::ReadOther);
  ASSERT_TRUE(WorkingFolder::Seed(shipped.path(), user.path()));
  EXPECT_EQ(Read(user.filePath("PTZ/pelcoD.tl")) + Read(user.filePath("ini/opt.ini")), "D[PTZ_CMD_INTERVAL]\n");
  EXPECT_TRUE(QFile::permissions(user.filePath("ini/opt.ini")) & QFileDevice::WriteOwner);
  EXPECT_FALSE(QFile::permissions(user.path()) & kNotOwners);

  // The operator edits; a later version ships one more file.
  Write(user.filePath("ini/opt.ini"), "mine");
  Write(shipped.filePath("PTZ/pelcoP.tl"), "P");
  ASSERT_TRUE(WorkingFolder::Seed(shipped.path(), user.path()));
  EXPECT_EQ(Read(user.filePath("ini/opt.ini")) + Read(user.filePath("PTZ/pelcoP.tl")), "mineP");
}

// An installed program whose per-user folder cannot be made says so and must
// end, never falling back to its own folder; a relative XDG_DATA_HOME is
// ignored, as the XDG rules say, and never taken from the current folder.
TEST(WorkingFolder, AFolderThatCannotBeMadeIsToldAndARelativeDataHomeIgnored) {
  TemporaryWorkingFolder current;
  AlertRecorder alerts;
  QTemporaryDir root;
  Write(root.filePath("share/ardeviz/ini/opt.ini"), "x");
  Write(root.filePath("plain"), "x");
  ASSERT_TRUE(QDir().mkpath(root.filePath("bin")));
  const QByteArray home = qgetenv("HOME"), savedDataHome = qgetenv("XDG_DATA_HOME");
  qputenv("HOME", QFile::encodeName(root.path()));
  const std::pair<QString, bool> cases[] = {{root.filePath("plain"), false}, {"/proc", false}, {"relative", true}};
  for (const auto& [dataHome, runs] : cases) {
    alerts.messages.clear();
    qputenv("XDG_DATA_HOME", QFile::encodeName(dataHome));
    const auto folder = WorkingFolder::EnterForThisProgram(root.filePath("bin"));
    EXPECT_EQ(folder.value_or("(ends)"), runs ? QDir::currentPath() : "(ends)") << dataHome.toStdString();
    EXPECT_EQ(alerts.messages.size(), runs ? 0u : 1u) << dataHome.toStdString();
    for (const auto& m : alerts.messages) EXPECT_TRUE(m.text.startsWith("Cannot make the working folder " + dataHome));
  }
  EXPECT_TRUE(QDir::currentPath().startsWith(root.filePath(".local/share/"))) << QDir::currentPath().toStdString();
  qputenv("HOME", home);
  savedDataHome.isNull() ? qunsetenv("XDG_DATA_HOME") : qputenv("XDG_DATA_HOME", savedDataHome);
}

}  // namespace
