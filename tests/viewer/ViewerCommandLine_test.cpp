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
  EXPECT_TRUE(Parse({}).error.isEmpty());
  EXPECT_FALSE(Parse({}).demo);
  const ViewerCommandLine shot = Parse({"--demo", "--screenshot", "a.png", "-platform", "offscreen", "-reverse"});
  EXPECT_TRUE(shot.error.isEmpty()) << shot.error.toStdString();
  EXPECT_TRUE(shot.demo);
  EXPECT_EQ(shot.screenshot, "a.png");
  EXPECT_TRUE(Parse({"--help"}).help);
  EXPECT_TRUE(Parse({"-h"}).help);
  EXPECT_TRUE(Parse({"--version"}).version);

  using L = QStringList;
  for (const L& args : {L{"--bogus"}, L{"--screenshot"}, L{"--screenshot", ""}, L{"stray"}, L{"--demo=1"}})
    EXPECT_FALSE(Parse(args).error.isEmpty()) << args.join(' ').toStdString();

  const QString help = ViewerCommandLine::HelpText();
  for (const char* option : {"Usage: ardeviz", "--demo", "--screenshot FILE", "--help", "--version"})
    EXPECT_TRUE(help.contains(option)) << option;
}

struct ProgramRun {
  int exitCode;
  QString out, err;
};

// Runs a built program with no display at all: the xcb platform would abort.
ProgramRun RunWithoutDisplay(const QString& program, const QStringList& args) {
  QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
  env.remove("DISPLAY");
  env.remove("WAYLAND_DISPLAY");
  env.insert("QT_QPA_PLATFORM", "xcb");
  QProcess process;
  process.setProcessEnvironment(env);
  process.start(program, args);
  if (!process.waitForFinished(10000)) process.kill();
  return {process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1,
          QString::fromLocal8Bit(process.readAllStandardOutput()),
          QString::fromLocal8Bit(process.readAllStandardError())};
}

TEST(ViewerCommandLine, ProgramsAnswerHelpAndVersionWithoutADisplay) {
  const QString bin = qEnvironmentVariable("ARDEVIZ_BINARY_DIR");
  if (bin.isEmpty()) GTEST_SKIP() << "ARDEVIZ_BINARY_DIR not set";
  const QString viewer = bin + "/ardeviz", sim = bin + "/sim/dvr-sim";

  const ProgramRun help = RunWithoutDisplay(viewer, {"--help"});
  EXPECT_EQ(help.exitCode, 0) << help.err.toStdString();
  EXPECT_EQ(help.out, ViewerCommandLine::HelpText());
  const ProgramRun version = RunWithoutDisplay(viewer, {"--version"});
  EXPECT_EQ(version.exitCode, 0);
  EXPECT_TRUE(version.out.startsWith("ardeviz ")) << version.out.toStdString();
  const ProgramRun wrong = RunWithoutDisplay(viewer, {"--bogus"});
  EXPECT_EQ(wrong.exitCode, 2);
  EXPECT_TRUE(wrong.out.isEmpty());
  EXPECT_TRUE(wrong.err.contains("bogus")) << wrong.err.toStdString();
  EXPECT_TRUE(wrong.err.contains("Usage: ardeviz"));

  const ProgramRun simVersion = RunWithoutDisplay(sim, {"--version"});
  EXPECT_EQ(simVersion.exitCode, 0);
  EXPECT_EQ(simVersion.out, "dvr-sim " + version.out.mid(8));
}

}  // namespace
