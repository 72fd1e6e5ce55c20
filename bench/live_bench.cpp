// The whole viewer at work: the real main view connected to the simulated
// recorder (dvr-sim, a process of its own, on 127.0.0.1, sixteen channels at
// 25 pictures per second each). The CPU time of this process (receive,
// assembly, decode, hand-over, painting, and any helper thread Qt uses for
// them) over a stretch of wall time is its share of one core; the recorder's
// encoding runs elsewhere and is not counted. pictures_per_core_s is what one
// core could sustain at the measured cost per picture: the ceiling of the
// design on one core for that layout.
//
// NineLiveChannelsCpuShare: the nine-pane view, eight live channels (all a
// recorder streams live). SixteenChannels/nine_pane_pages: the nine-pane view
// paging between channels 1-9 and 8-16 every two seconds, so every channel is
// requested in turn. SixteenChannels/single_pane_rotation: the single pane
// rotating through the channels that have shown a picture, one a second.
#include <benchmark/benchmark.h>

#include <QApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QProcess>
#include <QRegularExpression>
#include <QSettings>
#include <QTemporaryDir>
#include <QTimer>

#include <chrono>
#include <ctime>
#include <sys/resource.h>
#include <turbojpeg.h>

#include "sim/SimTestClient.h"
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

double ThreadCpuSeconds() {
  timespec ts{};
  clock_gettime(CLOCK_THREAD_CPUTIME_ID, &ts);
  return static_cast<double>(ts.tv_sec) + static_cast<double>(ts.tv_nsec) * 1e-9;
}

// CPU time of a bare full-size tjDecompress2 of one live picture of the
// recorder (fetched over a connection of its own), in microseconds; 0 when
// none came.
double BareDecodeMicroseconds(quint16 port) {
  constexpr int kDecodes = 200;
  SimTestClient client;
  if (!client.Connect(port) || !client.Login()) return 0;
  client.RequestLive(0x01);
  const auto packet = client.WaitFor(wire::DATATYPE_LIVE_IMAGE);
  if (!packet) return 0;
  const std::vector<std::uint8_t>& jpeg = packet->payload;
  tjhandle tj = tjInitDecompress();
  int width = 0, height = 0, subsampling = 0, colourSpace = 0;
  tjDecompressHeader3(tj, jpeg.data(), jpeg.size(), &width, &height, &subsampling, &colourSpace);
  const int pitch = (width * 3 + 3) & ~3;
  std::vector<unsigned char> pixels(static_cast<std::size_t>(pitch) * static_cast<std::size_t>(height));
  const double before = ThreadCpuSeconds();
  for (int i = 0; i < kDecodes; ++i) {
    tjDecompress2(tj, jpeg.data(), jpeg.size(), pixels.data(), width, pitch, height, TJPF_BGR, TJFLAG_BOTTOMUP);
  }
  const double us = 1e6 * (ThreadCpuSeconds() - before) / kDecodes;
  tjDestroy(tj);
  return us;
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

enum class Layout { NinePanes, NinePanePages, SinglePaneRotation };

constexpr int kPageMs = 2000;

void LiveCpuShare(benchmark::State& state, Layout layout) {
  QTemporaryDir folder;  // settings and record folder of this run only
  QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, folder.path());
  QSettings::setPath(QSettings::IniFormat, QSettings::UserScope, folder.path());

  QProcess recorder;
  const quint16 port = StartRecorder(recorder);
  if (port == 0) {
    state.SkipWithError("dvr-sim did not start on 127.0.0.1");
    return;
  }

  const double bareUs = BareDecodeMicroseconds(port);  // before the viewer connects

  CArdevizView::Options options;
  options.hostOverride = QStringLiteral("127.0.0.1");
  options.portOverride = port;
  options.executablePath = folder.filePath(QStringLiteral("ardeviz"));
  CountingView view(nullptr, options);
  view.OnInitialUpdate();
  view.show();
  view.OnCommand(CArdevizView::kIdLayoutFirst + 3);  // nine panes
  view.OnCommand(CArdevizView::kIdConnect);
  RunEventsFor(kWarmUpMs);  // every live channel shows a picture in the nine panes

  QTimer pager;
  bool secondPage = false;
  if (layout == Layout::NinePanePages) {
    // Channel buttons 1 and 8 in the nine-pane layout: channels 1-9, then 8-16.
    QObject::connect(&pager, &QTimer::timeout, &view, [&] {
      secondPage = !secondPage;
      view.OnCommand(CArdevizView::kIdChannelFirst + (secondPage ? 7 : 0));
    });
    pager.start(kPageMs);
  } else if (layout == Layout::SinglePaneRotation) {
    view.Settings().rotateInterval = 0;  // a channel stays one second
    view.OnCommand(CArdevizView::kIdLayoutFirst + 0);
    view.OnCommand(CArdevizView::kIdRotate);
    if (!view.IsRotating()) {
      state.SkipWithError("rotation did not start");
      return;
    }
    RunEventsFor(kWarmUpMs / 2);
  }

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
  // The viewer's cost per picture against a bare full-size decode of such a picture.
  const double perPicture = state.counters["cpu_us_per_picture"];
  state.counters["bare_decode_us"] = bareUs;
  state.counters["ratio_vs_bare_decode"] = bareUs > 0 ? perPicture / bareUs : 0;
  recorder.terminate();
  recorder.waitForFinished(kStartWaitMs);
}

void NineLiveChannelsCpuShare(benchmark::State& state) { LiveCpuShare(state, Layout::NinePanes); }

}  // namespace

BENCHMARK(NineLiveChannelsCpuShare)->Iterations(1)->UseManualTime()->Unit(benchmark::kSecond);
BENCHMARK_CAPTURE(LiveCpuShare, SixteenChannels/nine_pane_pages, Layout::NinePanePages)
    ->Iterations(1)->UseManualTime()->Unit(benchmark::kSecond);
BENCHMARK_CAPTURE(LiveCpuShare, SixteenChannels/single_pane_rotation, Layout::SinglePaneRotation)
    ->Iterations(1)->UseManualTime()->Unit(benchmark::kSecond);
