// The viewer's command line: the parser, and the built programs answering
// --help and --version without any display.
#include <gtest/gtest.h>

#include <QProcess>
#include <QProcessEnvironment>

#include "viewer/ViewerCommandLine.h"

namespace {

ViewerCommandLine Parse(QStringList args) {
  args.prepend("ardeviz");
  return ViewerCommandLine::Parse(args);
}

TEST(ViewerCommandLine, ReadsItsOptionsPassesQtsOnAndRefusesTheRest) {
  EXPECT_FALSE(Parse({}).demo);
  const ViewerCommandLine shot = Parse({"--demo", "--screenshot", "a.png", "-platform", "offscreen", "-reverse"});
  EXPECT_TRUE(shot.error.isEmpty()) << shot.error.toStdString();
  EXPECT_TRUE(shot.demo);
  EXPECT_EQ(shot.screenshot, "a.png");
  EXPECT_TRUE(Parse({"--help"}).help && Parse({"-h"}).help && Parse({"--version"}).version);
  using L = QStringList;
  for (const L& args : {L{"--bogus"}, L{"--screenshot"}, L{"--screenshot", ""}, L{"stray"}, L{"--demo=1"}})
    EXPECT_FALSE(Parse(args).error.isEmpty()) << args.join(' ').toStdString();
}

TEST(ViewerCommandLine, ProgramsAnswerHelpAndVersionWithoutADisplay) {
  const QString bin = qEnvironmentVariable("ARDEVIZ_BINARY_DIR");
  if (bin.isEmpty()) GTEST_SKIP() << "ARDEVIZ_BINARY_DIR not set";
  // No display at all: the xcb platform would abort.
  const auto run = [](const QString& program, const QString& option) {
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.remove("DISPLAY");
    env.remove("WAYLAND_DISPLAY");
    env.insert("QT_QPA_PLATFORM", "xcb");
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
  const QStringList version = run(viewer, "--version");
  EXPECT_EQ(version[0], "0");
  EXPECT_TRUE(version[1].startsWith("ardeviz ")) << version[1].toStdString();
  EXPECT_EQ(run(bin + "/sim/dvr-sim", "--version").mid(0, 2), (QStringList{"0", "dvr-sim " + version[1].mid(8)}));
  const QStringList wrong = run(viewer, "--bogus");
  EXPECT_EQ(wrong.mid(0, 2), (QStringList{"2", ""}));
  EXPECT_TRUE(wrong[2].contains("bogus") && wrong[2].contains("Usage: ardeviz")) << wrong[2].toStdString();
}

}  // namespace
