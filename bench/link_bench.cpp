// Receive path throughput: live pictures of eight channels fed through the
// link in socket-sized reads (framing, assembly, decode, mark check, holder
// hand-over) against a bare tjDecompress2 of the same JPEG bytes, timed in the same
// run. The ratio is the link's cost relative to decoding alone.
#include <benchmark/benchmark.h>

#include <chrono>
#include <turbojpeg.h>
#include <vector>

#include "link/CDvrLink.h"
#include "bench/NullLinkOwner.h"
#include "support/TestPictures.h"

namespace {

class CountingOwner : public NullLinkOwner {
 public:
  int drawn = 0;
  void DrawChannel(int) override { ++drawn; }
};

void LiveStreamVersusBareDecode(benchmark::State& state) {
  const int width = static_cast<int>(state.range(0)), height = static_cast<int>(state.range(1));
  std::vector<std::vector<std::uint8_t>> jpegs;
  std::vector<std::uint8_t> stream;
  for (int ch = 0; ch < CDvrLink::kLiveChannels; ++ch) {
    jpegs.push_back(testpictures::MakeJpeg(width, height, ch, true));
    wire::PacketInfo info;
    info.w[3] = static_cast<std::uint32_t>(ch + 1);
    const auto packet = wire::BuildPacket(wire::MakeMagic(wire::kMagic12), wire::PacketClass::Command,
                                          wire::DATATYPE_LIVE_IMAGE, info, jpegs.back());
    stream.insert(stream.end(), packet.begin(), packet.end());
  }
  CountingOwner owner;
  CDvrLink link(&owner);
  tjhandle tj = tjInitDecompress();
  const int pitch = (width * 3 + 3) & ~3;
  std::vector<unsigned char> pixels(static_cast<std::size_t>(pitch) * height);

  using Clock = std::chrono::steady_clock;
  double linkSeconds = 0, bareSeconds = 0;
  for (auto _ : state) {
    const auto t0 = Clock::now();
    for (std::size_t at = 0; at < stream.size(); at += CDvrLink::kReceiveChunk) {
      link.InjectReceived(stream.data() + at, std::min<std::size_t>(CDvrLink::kReceiveChunk, stream.size() - at));
    }
    const auto t1 = Clock::now();
    for (const auto& jpeg : jpegs) {
      tjDecompress2(tj, jpeg.data(), static_cast<unsigned long>(jpeg.size()), pixels.data(), width, pitch, height,
                    TJPF_BGR, TJFLAG_BOTTOMUP);
    }
    const auto t2 = Clock::now();
    linkSeconds += std::chrono::duration<double>(t1 - t0).count();
    bareSeconds += std::chrono::duration<double>(t2 - t1).count();
  }
  tjDestroy(tj);
  const double pictures = static_cast<double>(state.iterations()) * CDvrLink::kLiveChannels;
  state.counters["pictures_per_s"] = pictures / linkSeconds;
  state.counters["ratio_vs_bare_decode"] = linkSeconds / bareSeconds;
  // Share of one core for eight live channels (all a recorder streams live) and for nine, at 25 pictures/s each.
  state.counters["core_share_8x25"] = 200.0 / (pictures / linkSeconds);
  state.counters["core_share_9x25"] = 225.0 / (pictures / linkSeconds);
  state.counters["drawn_ok"] = owner.drawn == static_cast<int>(pictures) ? 1 : 0;
}

}  // namespace

BENCHMARK(LiveStreamVersusBareDecode)->Args({704, 288})->Unit(benchmark::kMillisecond);
