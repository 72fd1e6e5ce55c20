// A bounded soak: the link and the view's drawing path against the simulated
// recorder on 127.0.0.1, eight live channels at 25 pictures per second, with
// the recorder's faults switched in and out phase by phase. Counts pictures
// sent, drawn and rejected, checks the status codes and reconnections each
// fault must produce, and samples the resident memory.
//
// ARDEVIZ_SOAK_SECONDS sets the whole duration (default 120).
#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QImage>
#include <QPainter>

#include <cstdio>
#include <cstdlib>
#include <memory>
#include <unistd.h>

#include "link/CDvrLink.h"
#include "link/ILinkOwner.h"
#include "sim/SimRecorder.h"
#include "sim/SimRecorderThread.h"
#include "support/FakeRecorder.h"
#include "viewer/CArdevizView.h"

namespace {

#if defined(__SANITIZE_ADDRESS__)
constexpr bool kAddressSanitizer = true;
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
constexpr bool kAddressSanitizer = true;
#else
constexpr bool kAddressSanitizer = false;
#endif
#else
constexpr bool kAddressSanitizer = false;
#endif

long ResidentKiB() {
  std::FILE* f = std::fopen("/proc/self/statm", "r");
  if (!f) return 0;
  long pages = 0, resident = 0;
  if (std::fscanf(f, "%ld %ld", &pages, &resident) != 2) resident = 0;
  std::fclose(f);
  return resident * (sysconf(_SC_PAGESIZE) / 1024);
}

// Draws every delivered picture the way the main view does, into a 640 x 480 canvas.
class DrawingOwner : public ILinkOwner {
 public:
  CDvrLink* link = nullptr;
  quint16 port = 0;
  QImage canvas{640, 480, QImage::Format_RGB32};
  std::array<const std::uint8_t*, 16> bits{};
  std::array<BitmapInfoHeader, 16> headers{};
  std::array<std::uint8_t, 16> flags{};
  quint64 drawn = 0;
  quint64 wrongChannel = 0;
  int offline = 0;
  std::array<int, 8> statusCounts{};

  void ShowConnectionStatus(int code) override {
    if (code >= 0 && code < 8) ++statusCounts[static_cast<std::size_t>(code)];
  }
  QString UserId() const override { return QStringLiteral("admin"); }
  QString Password() const override { return QStringLiteral("1"); }
  QString HostText() const override { return QStringLiteral("127.0.0.1"); }
  std::uint16_t Port() const override { return port; }
  int ReconnectCount() const override { return 1000; }
  bool UseAlertMode() const override { return true; }
  std::uint8_t ConnectionState() const override { return state; }
  void SetConnectionState(std::uint8_t s) override { state = s; }
  void GoOffline() override {
    ++offline;
    state = 0;
    link->Disconnect(true);
  }
  void SetChannelCount(int) override {}
  std::uint16_t ChannelSelection() const override { return 0x0100; }
  std::uint32_t ChannelMask() const override { return 0xFF; }
  void SetChannelImage(int channel, const std::uint8_t* pixels, const BitmapInfoHeader& header) override {
    bits[static_cast<std::size_t>(channel)] = pixels;
    headers[static_cast<std::size_t>(channel)] = header;
  }
  void SetChannelFieldFlag(int channel, std::uint8_t flag) override { flags[static_cast<std::size_t>(channel)] = flag; }
  void DrawChannel(int channel) override {
    const auto c = static_cast<std::size_t>(channel);
    // The holder must still carry the mark of the channel it is shown as.
    if (link->Holder(channel)->ReadChannelMark() != channel) ++wrongChannel;
    const QRect pane((channel % 3) * 213, (channel / 3) * 160, 213, 160);
    QPainter painter(&canvas);
    CArdevizView::DrawBottomUpImage(painter, pane, bits[c], headers[c], CArdevizView::SourceWindow(headers[c], flags[c]));
    ++drawn;
  }
  void ShowPositions(std::uint32_t, std::uint32_t) override {}
  void ToggleActivity() override {}
  void ShowPtzDataReply() override {}

 private:
  std::uint8_t state = 0;
};

struct Phase {
  const char* name;
  SimFaults faults;
};

class Soak : public ::testing::Test {
 protected:
  void StartRecorder(const SimFaults& faults) {
    recorder.reset();
    SimOptions options;  // binds 127.0.0.1
    options.fps = 25;
    options.channelInfo = 4;
    options.faults = faults;
    recorder = std::make_unique<SimRecorderThread>(options);
    port = recorder->Start(port);
    ASSERT_NE(port, 0);
    QObject::connect(recorder->Recorder(), &SimRecorder::PictureSent, &context,
                     [this](int, bool playback) { sent += playback ? 0 : 1; });
  }

  void RunFor(int ms) {
    WaitUntil([] { return false; }, ms);
  }

  QObject context;
  std::unique_ptr<SimRecorderThread> recorder;
  quint16 port = 0;
  quint64 sent = 0;
};

TEST_F(Soak, LiveStreamSurvivesFaultsWithFlatMemory) {
  const char* env = std::getenv("ARDEVIZ_SOAK_SECONDS");
  const int totalSeconds = env ? std::max(12, std::atoi(env)) : 120;
  // Clean, noisy, oversized, clean: a quarter each; then silence and a drop mid-picture, a few seconds each.
  const int quarterMs = (totalSeconds - 8) * 1000 / 4;

  DrawingOwner owner;
  LinkTiming timing;
  timing.responseMs = 400;
  timing.reconnectMs = 300;
  CDvrLink link(&owner, timing);
  owner.link = &link;

  StartRecorder({});
  owner.port = port;
  ASSERT_TRUE(link.ConnectToDvr(QStringLiteral("127.0.0.1"), port));
  RunFor(quarterMs / 4);  // warm-up
  const long warmKiB = ResidentKiB();
  RunFor(quarterMs - quarterMs / 4);
  const quint64 cleanDrawn = owner.drawn;
  EXPECT_GT(cleanDrawn, 100u) << "pictures flow on a clean link";

  SimFaults noisy;
  noisy.garbage = true;
  noisy.splitBytes = 1000;
  noisy.coalesce = true;
  StartRecorder(noisy);
  RunFor(quarterMs);
  const quint64 noisyDrawn = owner.drawn - cleanDrawn;
  EXPECT_GT(noisyDrawn, 100u) << "garbage, split and coalesced packets still deliver pictures";

  SimFaults oversized;
  oversized.oversize = true;
  StartRecorder(oversized);
  RunFor(quarterMs);
  EXPECT_GT(owner.drawn - cleanDrawn - noisyDrawn, 50u) << "an oversized header costs at most a resync";

  const int reconnectsBefore = owner.statusCounts[status::kTryReconnection];
  SimFaults silent;
  silent.silentAfterSeconds = 1.0;
  StartRecorder(silent);
  RunFor(4000);
  EXPECT_GE(owner.statusCounts[status::kTryRequestImage], 2) << "a silent recorder is asked again";
  EXPECT_GT(owner.statusCounts[status::kTryReconnection], reconnectsBefore) << "and then reconnected";

  SimFaults drop;
  drop.dropAfterSeconds = 1.0;
  StartRecorder(drop);
  RunFor(3000);

  StartRecorder({});
  const quint64 beforeRecovery = owner.drawn;
  RunFor(quarterMs);
  EXPECT_GT(owner.drawn - beforeRecovery, 100u) << "pictures flow again after the faults";
  const long endKiB = ResidentKiB();

  link.Disconnect(true);
  recorder.reset();
  std::printf("soak: %ds, pictures sent %llu, drawn %llu, connections established %d, reconnection starts %d,"
              " resident %ld KiB after warm-up, %ld KiB at the end (drift %+ld KiB)\n",
              totalSeconds, static_cast<unsigned long long>(sent), static_cast<unsigned long long>(owner.drawn),
              owner.statusCounts[status::kEstablished], owner.statusCounts[status::kTryReconnection], warmKiB, endKiB,
              endKiB - warmKiB);
  EXPECT_EQ(owner.wrongChannel, 0u);
  EXPECT_EQ(owner.offline, 0);
  EXPECT_LE(owner.drawn, sent);
  // Buffers grow to the largest picture and stay; anything beyond a few MiB would be a leak.
  // AddressSanitizer keeps freed memory in quarantine, so there the leak checker has the say.
  if (!kAddressSanitizer) EXPECT_LT(endKiB - warmKiB, 16 * 1024);
}

}  // namespace
