// CPU cost of the Motion-JPEG encoding of recording: one 640 x 480 frame of
// bottom-up BGR rows, encoded on the writer thread as it does (one encoder
// and its buffer kept), against a bare tjCompress2 with a fresh instance and
// buffer per frame in the same run. Counters: CPU per frame, the share of one
// core at 25 frames a second and at the stream's most, 60, and our CPU time in
// percent of the bare one.
#include <benchmark/benchmark.h>

#include <ctime>
#include <turbojpeg.h>
#include <vector>

#include "archive/AviSegmentWriter.h"
#include "archive/FrameBank.h"
#include "platform/JpegEncoder.h"
#include "support/TestPictures.h"

namespace {

double ThreadCpuSeconds() {
  timespec ts{};
  clock_gettime(CLOCK_THREAD_CPUTIME_ID, &ts);
  return static_cast<double>(ts.tv_sec) + static_cast<double>(ts.tv_nsec) * 1e-9;
}

// A recorder-like picture as the image area shows it, stored as the writer gets it.
std::vector<std::uint8_t> Frame() {
  const QImage picture = testpictures::MakePicture(FrameBank::kWidth, FrameBank::kHeight)
                             .convertToFormat(QImage::Format_BGR888);
  std::vector<std::uint8_t> frame(FrameBank::kFrameBytes);
  for (int row = 0; row < FrameBank::kHeight; ++row)
    std::copy_n(picture.constScanLine(row), FrameBank::kRowBytes,
                frame.begin() + static_cast<std::ptrdiff_t>((FrameBank::kHeight - 1 - row) * FrameBank::kRowBytes));
  return frame;
}

void BM_MotionJpegFrame(benchmark::State& state) {
  const std::vector<std::uint8_t> frame = Frame();
  JpegEncoder encoder;
  double ours = 0, bare = 0;
  std::size_t bytes = 0;
  for (auto _ : state) {
    double t0 = ThreadCpuSeconds();
    if (!encoder.Encode(frame.data(), FrameBank::kWidth, FrameBank::kHeight, FrameBank::kRowBytes, true,
                        AviSegmentWriter::kJpegQuality))
      state.SkipWithError("encode failed");
    ours += ThreadCpuSeconds() - t0;
    bytes = encoder.Size();

    t0 = ThreadCpuSeconds();
    tjhandle handle = tjInitCompress();
    unsigned char* out = nullptr;
    unsigned long size = 0;
    tjCompress2(handle, frame.data(), FrameBank::kWidth, FrameBank::kRowBytes, FrameBank::kHeight, TJPF_BGR, &out,
                &size, TJSAMP_420, AviSegmentWriter::kJpegQuality, TJFLAG_BOTTOMUP);
    tjFree(out);
    tjDestroy(handle);
    bare += ThreadCpuSeconds() - t0;
  }
  const double perFrame = ours / static_cast<double>(state.iterations());
  state.counters["cpu_ms_per_frame"] = 1e3 * perFrame;
  // In percent: the counters print small fractions with an "m".
  state.counters["core_percent_25"] = 100 * 25 * perFrame;
  state.counters["core_percent_60"] = 100 * AviSegmentWriter::kStreamRate * perFrame;
  state.counters["percent_of_bare"] = bare > 0 ? 100 * ours / bare : 0;
  state.counters["bytes_per_frame"] = static_cast<double>(bytes);
  state.counters["size_vs_uncompressed"] = bytes ? static_cast<double>(FrameBank::kFrameBytes) / bytes : 0;
}

}  // namespace

BENCHMARK(BM_MotionJpegFrame)->Unit(benchmark::kMillisecond);
BENCHMARK_MAIN();
