// The whole viewer at work: the real main view in its nine-pane layout,
// connected to the simulated recorder (dvr-sim, a process of its own, on
// 127.0.0.1), eight live channels at 25 pictures per second. The CPU time of
// this process (receive, assembly, decode, hand-over, painting, and any helper
// thread Qt uses for them) over a stretch of wall time is its share of one
// core; the recorder's encoding runs elsewhere and is not counted.
#include <benchmark/benchmark.h>

#include <QApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QProcess>
#include <QRegularExpression>
#include <QSettings>
#include <QTemporaryDir>
#include <QTimer>

#include <sys/resource.h>

#include "viewer/CArdevizView.h"

namespace {

constexpr int kFps = 25;
constexpr int kWarmUpMs = 2000;
constexpr int kMeasureMs = 10000;
constexpr int kStartWaitMs = 5000;

double ProcessCpuSeconds() {
  rusage usage{};
  getrusage(RUSAGE_SELF, &usage);
  const auto seconds = [](const timeval& t) { return static_cast<double>(t.tv_sec) + static_cast<double>(t.tv_usec) * 1e-6; };
  return seconds(usage.ru_utime) + seconds(usage.ru_stime);
}

// A real event loop, which sleeps while nothing arrives (polling would count as work).
void RunEventsFor(int ms) {
  QEventLoop loop;
  QTimer::singleShot(ms, &loop, &QEventLoop::quit);
  loop.exec();
}

class CountingView : public CArdevizView {
 public:
  using CArdevizView::CArdevizView;
  quint64 drawn = 0;
  void DrawChannel(int channel) override {
    ++drawn;
    CArdevizView::DrawChannel(channel);
  }
};

// Starts dvr-sim from this build on 127.0.0.1 with a free port; 0 when it did not come up.
quint16 StartRecorder(QProcess& process) {
  const QString program = QCoreApplication::applicationDirPath() + QStringLiteral("/../sim/dvr-sim");
  process.setProcessChannelMode(QProcess::MergedChannels);
  process.start(program, {QStringLiteral("--listen"), QStringLiteral("127.0.0.1"), QStringLiteral("--port"),
                          QStringLiteral("0"), QStringLiteral("--fps"), QString::number(kFps),
                          QStringLiteral("--channels"), QStringLiteral("16"), QStringLiteral("--quiet")});
  if (!process.waitForStarted(kStartWaitMs)) return 0;
  const QRegularExpression listening(QStringLiteral("listening on 127\\.0\\.0\\.1:(\\d+)"));
  QString output;
  QElapsedTimer clock;
  clock.start();
  while (clock.elapsed() < kStartWaitMs && process.waitForReadyRead(kStartWaitMs)) {
    output += QString::fromLocal8Bit(process.readAllStandardOutput());
    const auto match = listening.match(output);
    if (match.hasMatch()) return static_cast<quint16>(match.captured(1).toUInt());
  }
  return 0;
}

void NineLiveChannelsCpuShare(benchmark::State& state) {
  QTemporaryDir folder;  // settings and record folder of this run only
  QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, folder.path());
  QSettings::setPath(QSettings::IniFormat, QSettings::UserScope, folder.path());

  QProcess recorder;
  const quint16 port = StartRecorder(recorder);
  if (port == 0) {
    state.SkipWithError("dvr-sim did not start on 127.0.0.1");
    return;
  }

  CArdevizView::Options options;
  options.hostOverride = QStringLiteral("127.0.0.1");
  options.portOverride = port;
  options.executablePath = folder.filePath(QStringLiteral("ardeviz"));
  CountingView view(nullptr, options);
  view.OnInitialUpdate();
  view.show();
  view.OnCommand(CArdevizView::kIdLayoutFirst + 3);  // nine panes
  view.OnCommand(CArdevizView::kIdConnect);
  RunEventsFor(kWarmUpMs);

  for (auto _ : state) {
    const quint64 drawnBefore = view.drawn;
    const double cpuBefore = ProcessCpuSeconds();
    QElapsedTimer wall;
    wall.start();
    RunEventsFor(kMeasureMs);
    const double seconds = static_cast<double>(wall.nsecsElapsed()) * 1e-9;
    const double cpu = ProcessCpuSeconds() - cpuBefore;
    const auto pictures = static_cast<double>(view.drawn - drawnBefore);
    state.SetIterationTime(seconds);
    state.counters["core_share"] = cpu / seconds;
    state.counters["pictures_per_s"] = pictures / seconds;
    state.counters["cpu_us_per_picture"] = pictures > 0 ? 1e6 * cpu / pictures : 0;
    // What one core could sustain at this cost per picture.
    state.counters["pictures_per_core_s"] = cpu > 0 ? pictures / cpu : 0;
  }
  view.OnCommand(CArdevizView::kIdDisconnect);
  recorder.terminate();
  recorder.waitForFinished(kStartWaitMs);
}

}  // namespace

BENCHMARK(NineLiveChannelsCpuShare)->Iterations(1)->UseManualTime()->Unit(benchmark::kSecond);
