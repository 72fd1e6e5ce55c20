// Writing throughput of the AVI writer for 640 x 480 uncompressed frames,
// against a bare sequential write of the same frame bytes in the same run.
// The counter "ratio" is AVI time / bare time (1.0 = no overhead).
#include <benchmark/benchmark.h>

#include <QFile>
#include <QTemporaryDir>
#include <chrono>
#include <vector>

#include "platform/AviWriter.h"

namespace {

constexpr int kFramesPerFile = 30;
constexpr std::uint32_t kSamplesPerFrame = 10;

double Seconds(std::chrono::steady_clock::time_point from) {
  return std::chrono::duration<double>(std::chrono::steady_clock::now() - from).count();
}

void BM_AviWriteVsBareWrite(benchmark::State& state) {
  QTemporaryDir dir;
  const AviVideoFormat format;  // 640 x 480 x 24
  std::vector<std::uint8_t> frame(format.ImageSize());
  for (std::size_t i = 0; i < frame.size(); ++i) frame[i] = static_cast<std::uint8_t>(i * 31);
  const QString aviPath = dir.filePath("bench.avi");
  const QString rawPath = dir.filePath("bench.raw");
  double aviSeconds = 0;
  double bareSeconds = 0;

  for (auto _ : state) {
    auto t0 = std::chrono::steady_clock::now();
    {
      AviWriter w;
      if (!w.Open(aviPath) || !w.CreateVideoStream(format)) state.SkipWithError("cannot open");
      for (int i = 0; i < kFramesPerFile; ++i) w.WriteFrame(frame.data(), frame.size(), kSamplesPerFrame);
      w.Close();
    }
    const double avi = Seconds(t0);

    t0 = std::chrono::steady_clock::now();
    {
      QFile f(rawPath);
      if (!f.open(QIODevice::WriteOnly | QIODevice::Truncate)) state.SkipWithError("cannot open");
      for (int i = 0; i < kFramesPerFile; ++i)
        f.write(reinterpret_cast<const char*>(frame.data()), static_cast<qint64>(frame.size()));
      f.close();
    }
    const double bare = Seconds(t0);

    aviSeconds += avi;
    bareSeconds += bare;
    state.SetIterationTime(avi);
  }
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations()) * kFramesPerFile *
                          static_cast<std::int64_t>(frame.size()));
  state.counters["frames/s"] =
      benchmark::Counter(static_cast<double>(state.iterations()) * kFramesPerFile / aviSeconds);
  state.counters["ratio"] = bareSeconds > 0 ? aviSeconds / bareSeconds : 0;
}

}  // namespace

BENCHMARK(BM_AviWriteVsBareWrite)->UseManualTime()->Unit(benchmark::kMillisecond);
BENCHMARK_MAIN();
