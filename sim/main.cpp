// dvr-sim: the simulated recorder as a program. Logs to standard output, each
// line flushed at once (scripts read the log from a pipe or file), and
// stops cleanly on Ctrl+C or SIGTERM.

#include <QCoreApplication>
#include <QTextStream>
#include <QTimer>
#include <atomic>
#include <csignal>
#include <cstdio>

#include "sim/SimCommandLine.h"
#include "sim/SimRecorder.h"

namespace {

std::atomic<bool> g_stopRequested{false};
constexpr int kStopPollMs = 100;

void OnSignal(int) { g_stopRequested = true; }

}  // namespace

int main(int argc, char** argv) {
  QCoreApplication app(argc, argv);
  QTextStream out(stdout);
  QTextStream err(stderr);
  const SimCommandLine cmd = SimCommandLine::Parse(app.arguments());
  if (cmd.help) {
    out << SimCommandLine::HelpText();
    return 0;
  }
  if (cmd.version) {
    out << "dvr-sim " ARDEVIZ_VERSION "\n";
    return 0;
  }
  if (!cmd.error.isEmpty()) {
    err << "dvr-sim: " << cmd.error << "\n" << "Try 'dvr-sim --help'.\n";
    return 2;
  }

  SimRecorder recorder(cmd.options);
  if (!cmd.quiet) {
    QObject::connect(&recorder, &SimRecorder::LogLine, [&out](const QString& line) {
      out << line << "\n";
      out.flush();
    });
  }
  const quint16 port = recorder.Start();
  if (port == 0) {
    err << "dvr-sim: cannot listen on " << cmd.options.listenAddress.toString() << ":" << cmd.options.port << ": "
        << recorder.ErrorString() << "\n";
    return 1;
  }
  // Always printed, so that a script can find an ephemeral port.
  out << "dvr-sim: listening on " << cmd.options.listenAddress.toString() << ":" << port << "\n";
  out.flush();

  std::signal(SIGINT, OnSignal);
  std::signal(SIGTERM, OnSignal);
  QTimer stopPoll;
  QObject::connect(&stopPoll, &QTimer::timeout, [&] {
    if (!g_stopRequested) return;
    stopPoll.stop();
    recorder.Stop();
    // Let the close reach the client before leaving.
    QTimer::singleShot(kStopPollMs, &app, &QCoreApplication::quit);
  });
  stopPoll.start(kStopPollMs);
  const int rc = app.exec();
  out << "dvr-sim: stopped\n";
  return rc;
}
