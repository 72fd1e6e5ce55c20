// The viewer program.
//   ardeviz                      the viewer, connecting to the stored recorder address
//   ardeviz --demo               with the simulated recorder running in-process on
//                                127.0.0.1 (an ephemeral port, for this run only)
//   ardeviz --screenshot FILE    saves a picture of the window a few seconds after
//                                start and ends; with --demo it connects first
//   ardeviz --help | --version   prints and ends, without a display
#include <QApplication>
#include <QDir>
#include <QFileInfo>
#include <QStringList>
#include <QTimer>

#include <cstdio>
#include <memory>
#include <optional>

#include "app/CArdevizApp.h"
#include "platform/KeychainSecretStore.h"
#include "sim/SimRecorderThread.h"
#include "viewer/CArdevizView.h"
#include "viewer/CMainFrame.h"
#include "viewer/FullScreenStage.h"
#include "viewer/ViewerCommandLine.h"
#include "viewer/ViewerSettingsStore.h"
#include "viewer/WorkingFolder.h"

namespace {
constexpr int kDemoChannels = 8;
constexpr int kConnectDelayMs = 300;
constexpr int kScreenshotDelayMs = 4000;
constexpr const char* kApplicationName = "ardeviz";
constexpr const char* kDesktopId = "org.ardeviz.Ardeviz";

void ScheduleScreenshot(CArdevizApp& ardeviz, const QString& file, bool connectFirst) {
  CMainFrame* frame = ardeviz.MainFrame();
  if (connectFirst)
    QTimer::singleShot(kConnectDelayMs, frame, [frame] { frame->View()->OnCommand(CArdevizView::kIdConnect); });
  QTimer::singleShot(kScreenshotDelayMs, frame, [frame, file] {
    // Full screen: the whole stage, black border and all.
    QWidget* shown = frame->Stage() ? static_cast<QWidget*>(frame->Stage()) : frame;
    if (!shown->grab().save(file)) std::fprintf(stderr, "Could not save %s\n", qPrintable(file));
    QApplication::quit();
  });
}
}  // namespace

int main(int argc, char** argv) {
  // Read before QApplication exists: help, version and mistakes need no display.
  QStringList args;
  for (int i = 0; i < argc; ++i) args << QString::fromLocal8Bit(argv[i]);
  const ViewerCommandLine cmd = ViewerCommandLine::Parse(args);
  if (!cmd.error.isEmpty()) {
    std::fprintf(stderr, "ardeviz: %s\n\n%s", qPrintable(cmd.error), qPrintable(ViewerCommandLine::HelpText()));
    return 2;
  }
  if (cmd.help) {
    std::fputs(qPrintable(ViewerCommandLine::HelpText()), stdout);
    return 0;
  }
  if (cmd.version) {
    std::puts("ardeviz " ARDEVIZ_VERSION);
    return 0;
  }
  const bool demo = cmd.demo;
  // Fixed now: an installed program changes its working folder.
  const QString screenshot = cmd.screenshot.isEmpty() ? QString() : QFileInfo(cmd.screenshot).absoluteFilePath();

  QApplication app(argc, argv);
  // Name the per-user working folder, <data>/Ardeviz/ardeviz: beside the settings'
  // "Ardeviz" and never the shipped files of a program installed into ~/.local.
  QApplication::setOrganizationName(QString::fromLatin1(ViewerSettingsStore::kOrganization));
  QApplication::setApplicationName(QString::fromLatin1(kApplicationName));
  QApplication::setApplicationVersion(QStringLiteral(ARDEVIZ_VERSION));
  QGuiApplication::setDesktopFileName(QString::fromLatin1(kDesktopId));

  // Declared before the viewer so that it outlives the viewer's connection.
  std::unique_ptr<SimRecorderThread> recorder;
  CArdevizView::Options options;
  if (demo) {
    SimOptions simOptions;  // listens on loopback only
    simOptions.channelInfo = kDemoChannels;
    // On a thread of its own, so that drawing its pictures never holds up the window.
    recorder = std::make_unique<SimRecorderThread>(simOptions);
    const quint16 port = recorder->Start(0);
    if (port == 0) {
      std::fprintf(stderr, "The simulated recorder could not start on 127.0.0.1.\n");
      return 1;
    }
    std::printf("Simulated recorder on 127.0.0.1:%u; press CONNECT.\n", unsigned(port));
    std::fflush(stdout);
    options.hostOverride = QStringLiteral("127.0.0.1");
    options.portOverride = port;
  }

  // An installed program works in its per-user folder and keeps its record
  // folder "Backup" there; it never writes beside its executable.
  const std::optional<QString> installedFolder =
      WorkingFolder::EnterForThisProgram(QApplication::applicationDirPath());
  if (!installedFolder) return 1;
  if (!installedFolder->isEmpty())
    options.executablePath = QDir(*installedFolder).filePath(QString::fromLatin1(kApplicationName));

  // The recorder password lives in the desktop's secret store when one runs.
  KeychainSecretStore secrets(QString::fromLatin1(ViewerSettingsStore::kOrganization) + QLatin1Char('/') +
                              QString::fromLatin1(ViewerSettingsStore::kApplication));
  options.secretStore = &secrets;
  CArdevizApp ardeviz(CArdevizApp::DefaultLockFilePath(), options);
  if (!ardeviz.InitInstance()) return 1;
  if (!screenshot.isEmpty()) ScheduleScreenshot(ardeviz, screenshot, demo);
  const int result = QApplication::exec();
  ardeviz.ExitInstance();
  return result;
}
