// The Debian package: built with cpack from the build folder, unpacked into a
// temporary root, its files, control fields, desktop entry and metainfo
// checked, and the unpacked viewer started as an installed program would be.
#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QImage>
#include <QProcess>
#include <QSettings>
#include <QTemporaryDir>

namespace {

constexpr const char* kAppId = "org.ardeviz.Ardeviz";
constexpr int kToolTimeoutMs = 180000;
constexpr int kViewerTimeoutMs = 30000;
// The shipped data files, under share/ardeviz/ and in the per-user folder.
const char* const kDataFiles[] = {"PTZ/pelcoD.tl", "PTZ/pelcoP.tl", "PTZ/user_command.tl", "ini/opt.ini"};

struct ToolRun {
  int exitCode = -1;
  QString out;
};

ToolRun RunTool(const QString& program, const QStringList& args, const QString& folder = {},
                const QProcessEnvironment& env = QProcessEnvironment::systemEnvironment(),
                int timeoutMs = kToolTimeoutMs) {
  QProcess process;
  process.setProcessEnvironment(env);
  process.setProcessChannelMode(QProcess::MergedChannels);
  if (!folder.isEmpty()) process.setWorkingDirectory(folder);
  process.start(program, args);
  if (!process.waitForFinished(timeoutMs)) process.kill();
  process.waitForFinished();
  return {process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1,
          QString::fromLocal8Bit(process.readAll())};
}

QByteArray Read(const QString& path) {
  QFile file(path);
  return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

TEST(DebianPackage, BuildsUnpacksAndStartsAsAnInstalledProgram) {
  const QString build = qEnvironmentVariable("ARDEVIZ_BINARY_DIR");
  if (build.isEmpty()) GTEST_SKIP() << "ARDEVIZ_BINARY_DIR not set";
  QTemporaryDir work;
  const auto Work = [&work](const QString& relative) { return QDir(work.path()).filePath(relative); };
  // Build the package outside the build folder.
  const ToolRun cpack = RunTool("cpack", {"-G", "DEB", "-B", Work("pkg"), "--config", build + "/CPackConfig.cmake"});
  ASSERT_EQ(cpack.exitCode, 0) << cpack.out.toStdString();
  const QStringList debs = QDir(Work("pkg")).entryList({"ardeviz_*.deb"}, QDir::Files);
  ASSERT_EQ(debs.size(), 1) << cpack.out.toStdString();
  const QString deb = Work("pkg/" + debs.first());

  // Control fields: the runtime packages of Qt 6 and libjpeg-turbo, and the platform plugins.
  const ToolRun fields = RunTool("dpkg-deb", {"--field", deb, "Package", "Depends"});
  ASSERT_EQ(fields.exitCode, 0) << fields.out.toStdString();
  EXPECT_TRUE(fields.out.startsWith("Package: ardeviz\n")) << fields.out.toStdString();
  for (const char* dependency : {"libqt6core6", "libqt6gui6", "libqt6widgets6", "libqt6network6",
                                 "libqt6printsupport6", "qt6-qpa-plugins", "libturbojpeg0", "libc6"})
    EXPECT_TRUE(fields.out.contains(dependency)) << dependency << " missing from " << fields.out.toStdString();

  // The files, where the installed layout puts them.
  const ToolRun unpack = RunTool("dpkg-deb", {"-x", deb, Work("root")});
  ASSERT_EQ(unpack.exitCode, 0) << unpack.out.toStdString();
  const QDir usr(Work("root/usr"));
  for (const char* file : {"bin/ardeviz", "bin/dvr-sim"})
    EXPECT_TRUE(QFileInfo(usr.filePath(file)).isExecutable()) << file;
  for (const char* file : kDataFiles)
    EXPECT_EQ(Read(usr.filePath(QString("share/ardeviz/") + file)),
              Read(qEnvironmentVariable("ARDEVIZ_SOURCE_DIR") + "/res/" + file)) << file;
  for (int size : {16, 22, 24, 32, 48, 64, 128, 256})
    EXPECT_EQ(QImage(usr.filePath(QString("share/icons/hicolor/%1x%1/apps/%2.png").arg(size).arg(kAppId))).size(),
              QSize(size, size)) << size;
  EXPECT_TRUE(Read(usr.filePath(QString("share/icons/hicolor/scalable/apps/%1.svg").arg(kAppId))).contains("<svg"));

  // The desktop entry and the metainfo pass their validators and point at what is installed.
  const QString desktop = usr.filePath(QString("share/applications/%1.desktop").arg(kAppId));
  const QString metainfo = usr.filePath(QString("share/metainfo/%1.metainfo.xml").arg(kAppId));
  const ToolRun desktopCheck = RunTool("desktop-file-validate", {desktop});
  EXPECT_TRUE(desktopCheck.exitCode == 0 && desktopCheck.out.isEmpty()) << desktopCheck.out.toStdString();
  const ToolRun metainfoCheck = RunTool("appstreamcli", {"validate", "--no-net", metainfo});
  EXPECT_EQ(metainfoCheck.exitCode, 0) << metainfoCheck.out.toStdString();
  const QSettings entry(desktop, QSettings::IniFormat);
  EXPECT_EQ(entry.value("Desktop Entry/Exec").toString(), "ardeviz");
  EXPECT_EQ(entry.value("Desktop Entry/Icon").toString(), kAppId);
  EXPECT_TRUE(Read(metainfo).contains(QString("<launchable type=\"desktop-id\">%1.desktop<").arg(kAppId).toUtf8()));

  // An installed start from a shell in some folder: settings, data and runtime
  // folders of a user of its own; the stored recorder is loopback, and --demo
  // runs against the simulated recorder on 127.0.0.1 anyway.
  for (const char* folder : {"home/elsewhere", "home/data", "home/config/Ardeviz"})
    ASSERT_TRUE(QDir().mkpath(Work(folder)));
  QTemporaryDir runtime;  // 0700, as a runtime folder must be
  {
    QSettings stored(Work("home/config/Ardeviz/Ardeviz8.conf"), QSettings::IniFormat);
    stored.setValue("Setting/Host IPAddress", "127.0.0.1");
  }
  QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
  for (const auto& [name, value] : {std::pair{"HOME", Work("home")}, {"XDG_DATA_HOME", Work("home/data")},
                                    {"XDG_CONFIG_HOME", Work("home/config")}, {"XDG_RUNTIME_DIR", runtime.path()},
                                    {"QT_QPA_PLATFORM", QString("offscreen")}})
    env.insert(name, value);
  const QString elsewhere = Work("home/elsewhere");
  const ToolRun viewer = RunTool(usr.filePath("bin/ardeviz"), {"--demo", "--screenshot", "shot.png"}, elsewhere, env,
                                 kViewerTimeoutMs);
  ASSERT_EQ(viewer.exitCode, 0) << viewer.out.toStdString();
  EXPECT_EQ(QImage(elsewhere + "/shot.png").size(), QSize(877, 685));
  // The per-user working folder was filled from share/ardeviz/; the shell's folder was left alone.
  const QDir working(Work("home/data/Ardeviz/ardeviz"));
  for (const char* file : kDataFiles)
    EXPECT_EQ(Read(working.filePath(file)), Read(usr.filePath(QString("share/ardeviz/") + file))) << file;
  EXPECT_TRUE(QFileInfo(working.filePath("Backup")).isDir());
  EXPECT_EQ(QDir(elsewhere).entryList(QDir::AllEntries | QDir::NoDotAndDotDot), QStringList{"shot.png"});
}

}  // namespace
