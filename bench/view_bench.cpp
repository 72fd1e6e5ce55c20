// Repainting one pane of the nine-pane view per picture (the unsmoothed
// stretch of the bottom-up rows into a 213 x 160 pane, as the main view
// draws) against decoding that picture, timed in the same run.
#include <benchmark/benchmark.h>

#include <QImage>
#include <QPainter>

#include <chrono>

#include "link/CImageCodec.h"
#include "support/TestPictures.h"
#include "viewer/CArdevizView.h"

namespace {

void PaneRepaintVersusDecode(benchmark::State& state) {
  const auto jpeg = testpictures::MakeJpeg(704, 288, 3, true);
  CImageCodec codec;
  codec.Decode(jpeg.data(), jpeg.size(), false);
  QImage window(CArdevizView::kWidth, CArdevizView::kHeight, QImage::Format_RGB32);
  const QRect pane(62, 22, 213, 160);
  const QRect source = pane::SourceWindow(codec.Header(), codec.FieldFlag());

  using Clock = std::chrono::steady_clock;
  double paintSeconds = 0, decodeSeconds = 0;
  for (auto _ : state) {
    const auto t0 = Clock::now();
    {
      QPainter painter(&window);
      pane::DrawBottomUpImage(painter, pane, codec.Pixels(), codec.Header(), source);
      pane::DrawPaneFrame(painter, pane);
    }
    const auto t1 = Clock::now();
    benchmark::DoNotOptimize(codec.Decode(jpeg.data(), jpeg.size(), false));
    const auto t2 = Clock::now();
    paintSeconds += std::chrono::duration<double>(t1 - t0).count();
    decodeSeconds += std::chrono::duration<double>(t2 - t1).count();
  }
  state.counters["paint_us"] = 1e6 * paintSeconds / static_cast<double>(state.iterations());
  state.counters["ratio_vs_decode"] = paintSeconds / decodeSeconds;
}

}  // namespace

BENCHMARK(PaneRepaintVersusDecode)->Unit(benchmark::kMicrosecond);
