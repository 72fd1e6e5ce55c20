// CImageCodec::Decode against a bare tjDecompress2 of the same bytes, for
// recorder-like pictures (marks painted). The Ratio benchmark times both in
// the same loop, interleaved, and reports ratio = Decode / bare decode; the
// target is at most 1.05. Decode/... and Bare/... give the plain timings.
// Ratio/704/288/211/79 decodes for a nine-pane cell (scaled down, with the
// marks' rows at full size) against the bare full-size decode.

#include <benchmark/benchmark.h>

#include <chrono>
#include <cstdint>
#include <ctime>
#include <stdexcept>
#include <turbojpeg.h>
#include <vector>

#include "link/CImageCodec.h"
#include "support/TestPictures.h"

namespace {

// Channel 4 uses field b only, which 352-wide pictures still hold.
constexpr std::uint8_t kChannel = 4;

struct Sample {
  std::vector<std::uint8_t> jpeg;
  int width;
  int height;
};

Sample MakeSample(int width, int height) {
  return {testpictures::MakeJpeg(width, height, kChannel, true), width, height};
}

// The least a decoder must do: decode into a buffer allocated once.
class BareDecoder {
 public:
  explicit BareDecoder(const Sample& s)
      : m_handle(tjInitDecompress()), m_pitch((s.width * 3 + 3) & ~3), m_pixels(static_cast<std::size_t>(m_pitch) * s.height) {}
  ~BareDecoder() { tjDestroy(m_handle); }
  void Decode(const Sample& s) {
    if (tjDecompress2(m_handle, s.jpeg.data(), s.jpeg.size(), m_pixels.data(), s.width, m_pitch, s.height, TJPF_BGR,
                      TJFLAG_BOTTOMUP) != 0) {
      throw std::runtime_error(tjGetErrorStr2(m_handle));
    }
    benchmark::DoNotOptimize(m_pixels.data());
  }

 private:
  tjhandle m_handle;
  int m_pitch;
  std::vector<std::uint8_t> m_pixels;
};

void DecodeOrThrow(CImageCodec& codec, const Sample& s, int fitWidth = 0, int fitHeight = 0) {
  if (codec.Decode(s.jpeg.data(), s.jpeg.size(), false, fitWidth, fitHeight) != kChannel) {
    throw std::runtime_error("Decode failed");
  }
}

void BM_Decode(benchmark::State& state) {
  const Sample s = MakeSample(static_cast<int>(state.range(0)), static_cast<int>(state.range(1)));
  CImageCodec codec;
  for (auto _ : state) DecodeOrThrow(codec, s);
  state.SetItemsProcessed(state.iterations());
}

void BM_Bare(benchmark::State& state) {
  const Sample s = MakeSample(static_cast<int>(state.range(0)), static_cast<int>(state.range(1)));
  BareDecoder bare(s);
  for (auto _ : state) bare.Decode(s);
  state.SetItemsProcessed(state.iterations());
}

// CPU time of this thread: other processes on a busy machine do not count.
struct ThreadCpuClock {
  using duration = std::chrono::nanoseconds;
  static duration now() {
    timespec ts{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &ts);
    return std::chrono::seconds(ts.tv_sec) + std::chrono::nanoseconds(ts.tv_nsec);
  }
};

// Both decoders in one loop, alternating, so that clock and cache conditions
// are shared; the counters hold the mean CPU time of each and their ratio.
void BM_Ratio(benchmark::State& state) {
  using Clock = ThreadCpuClock;
  const Sample s = MakeSample(static_cast<int>(state.range(0)), static_cast<int>(state.range(1)));
  const int fitWidth = state.range(2) ? static_cast<int>(state.range(2)) : 0;
  const int fitHeight = state.range(3) ? static_cast<int>(state.range(3)) : 0;
  CImageCodec codec;
  BareDecoder bare(s);
  DecodeOrThrow(codec, s, fitWidth, fitHeight);  // warm both up
  bare.Decode(s);
  Clock::duration ours{}, reference{};
  bool oursFirst = true;  // alternate the order, so that neither profits from the other's cache
  for (auto _ : state) {
    const auto t0 = Clock::now();
    if (oursFirst) DecodeOrThrow(codec, s, fitWidth, fitHeight); else bare.Decode(s);
    const auto t1 = Clock::now();
    if (oursFirst) bare.Decode(s); else DecodeOrThrow(codec, s, fitWidth, fitHeight);
    const auto t2 = Clock::now();
    ours += oursFirst ? t1 - t0 : t2 - t1;
    reference += oursFirst ? t2 - t1 : t1 - t0;
    oursFirst = !oursFirst;
  }
  const double n = static_cast<double>(state.iterations());
  const double oursUs = std::chrono::duration<double, std::micro>(ours).count() / n;
  const double bareUs = std::chrono::duration<double, std::micro>(reference).count() / n;
  state.counters["decode_us"] = oursUs;
  state.counters["bare_us"] = bareUs;
  state.counters["ratio"] = bareUs > 0 ? oursUs / bareUs : 0;
}

}  // namespace

BENCHMARK(BM_Decode)->Args({704, 288})->Args({352, 240})->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_Bare)->Args({704, 288})->Args({352, 240})->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_Ratio)->Args({704, 288, 0, 0})->Args({352, 240, 0, 0})->Args({704, 288, 211, 79})->Args({704, 288, 318, 119})->Unit(benchmark::kMicrosecond)->MinTime(2.0);

BENCHMARK_MAIN();
