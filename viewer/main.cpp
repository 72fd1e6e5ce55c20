// The viewer program.
//   ardeviz                      the viewer, connecting to the stored recorder address
//   ardeviz --demo               with the simulated recorder running in-process on
//                                127.0.0.1 (an ephemeral port, for this run only)
//   ardeviz --screenshot FILE    saves a picture of the window a few seconds after
//                                start and ends; with --demo it connects first
#include <QApplication>
#include <QStringList>
#include <QTimer>

#include <cstdio>
#include <memory>

#include "sim/SimRecorderThread.h"
#include "viewer/CArdevizApp.h"
#include "viewer/CArdevizView.h"
#include "viewer/CMainFrame.h"

namespace {
constexpr int kDemoChannels = 8;
constexpr int kConnectDelayMs = 300;
constexpr int kScreenshotDelayMs = 4000;

QString OptionValue(const QStringList& args, const QString& name) {
  const int at = args.indexOf(name);
  return at >= 0 && at + 1 < args.size() ? args.at(at + 1) : QString();
}

void ScheduleScreenshot(CArdevizApp& ardeviz, const QString& file, bool connectFirst) {
  CMainFrame* frame = ardeviz.MainFrame();
  if (connectFirst)
    QTimer::singleShot(kConnectDelayMs, frame, [frame] { frame->View()->OnCommand(CArdevizView::kIdConnect); });
  QTimer::singleShot(kScreenshotDelayMs, frame, [frame, file] {
    if (!frame->grab().save(file)) std::fprintf(stderr, "Could not save %s\n", qPrintable(file));
    QApplication::quit();
  });
}
}  // namespace

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  const QStringList args = QApplication::arguments();
  const bool demo = args.contains(QStringLiteral("--demo"));
  const QString screenshot = OptionValue(args, QStringLiteral("--screenshot"));

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

  CArdevizApp ardeviz(CArdevizApp::DefaultLockFilePath(), options);
  if (!ardeviz.InitInstance()) return 1;
  if (!screenshot.isEmpty()) ScheduleScreenshot(ardeviz, screenshot, demo);
  const int result = QApplication::exec();
  ardeviz.ExitInstance();
  return result;
}
