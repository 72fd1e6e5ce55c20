// A bounded soak: the link and the view's drawing path against the simulated
// recorder on 127.0.0.1, eight live channels at 25 pictures per second, with
// the recorder's faults switched in and out phase by phase. Counts pictures
// sent, drawn and rejected, checks the status codes and reconnections each
// fault must produce, and samples the resident memory.
//
// ARDEVIZ_SOAK_SECONDS sets the whole duration (default 120).
#include <gtest/gtest.h>

#include <QImage>
#include <QPainter>
#include <QTest>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <memory>
#include <tuple>
#include <unistd.h>

#include "link/CDvrLink.h"
#include "link/LinkFakes.h"
#include "sim/SimRecorder.h"
#include "sim/SimRecorderThread.h"
#include "skin/PaneDrawing.h"

namespace {

#if defined(__SANITIZE_ADDRESS__)
#define SOAK_ADDRESS_SANITIZER 1
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
#define SOAK_ADDRESS_SANITIZER 1
#endif
#endif

long ResidentKiB() {
  long pages = 0, resident = 0;
  std::ifstream("/proc/self/statm") >> pages >> resident;
  return resident * (sysconf(_SC_PAGESIZE) / 1024);
}

// Draws every delivered picture the way the main view does, into a 640 x 480
// canvas; odd channels ask for pictures scaled down to their nine-pane size.
class DrawingOwner : public FakeLinkOwner {
 public:
  QImage canvas{640, 480, QImage::Format_RGB32};
  std::array<const std::uint8_t*, 16> bits{};
  std::array<BitmapInfoHeader, 16> formats{};
  std::array<QSize, 16> sizes{};
  quint64 pictures = 0, scaledPictures = 0, wrongChannel = 0;

  static QRect Pane(int channel) { return QRect((channel % 3) * 213, (channel / 3) * 160, 213, 160); }
  QSize LiveDecodeSize(int channel) const override {
    return channel % 2 ? QSize(Pane(channel).width(), Pane(channel).height() / 2) : QSize();
  }
  void SetChannelImage(int channel, const std::uint8_t* pixels, const BitmapInfoHeader& header,
                       QSize pictureSize) override {
    const auto c = static_cast<std::size_t>(channel);
    std::tie(bits[c], formats[c], sizes[c]) = std::tie(pixels, header, pictureSize);
  }
  void DrawChannel(int channel) override {
    const auto c = static_cast<std::size_t>(channel);
    // The holder must still carry the mark of the channel it is shown as, scaled down or not.
    if (link->Holder(channel)->ReadChannelMark() != channel) ++wrongChannel;
    if (sizes[c].width() > formats[c].width) ++scaledPictures;
    QPainter painter(&canvas);
    const QRect source = pane::SourceWindow(sizes[c], fieldFlags[c]);
    pane::DrawBottomUpImage(painter, Pane(channel), bits[c], formats[c], source, sizes[c]);
    ++pictures;
  }
};

TEST(Soak, LiveStreamSurvivesFaultsWithFlatMemory) {
  const char* env = std::getenv("ARDEVIZ_SOAK_SECONDS");
  const int totalSeconds = env ? std::max(24, std::atoi(env)) : 120;
  // Clean, noisy, oversized, clean: a quarter each; then silence and a drop mid-picture, a few seconds each.
  const int quarterMs = (totalSeconds - 8) * 1000 / 4;

  quint64 sent = 0;
  quint16 port = 0;
  QObject context;  // ends the counting before `sent` goes
  std::unique_ptr<SimRecorderThread> recorder;
  const auto StartRecorder = [&](const SimFaults& faults) {
    recorder.reset();
    SimOptions options;  // binds 127.0.0.1
    options.fps = 25;
    options.faults = faults;
    recorder = std::make_unique<SimRecorderThread>(options);
    port = recorder->Start(port);  // the same port again, as a restarted recorder
    QObject::connect(recorder->Recorder(), &SimRecorder::PictureSent, &context,
                     [&](int, bool playback) { sent += playback ? 0 : 1; });
    return port != 0;
  };

  DrawingOwner owner;  // host 127.0.0.1
  CDvrLink link(&owner, LinkTiming{.responseMs = 400, .reconnectMs = 300});
  owner.link = &link;
  owner.reconnectCount = 1000;
  ASSERT_TRUE(StartRecorder({}));
  owner.port = port;
  ASSERT_TRUE(link.ConnectToDvr(owner.host, port));
  QTest::qWait(quarterMs / 4);  // warm-up
  const long warmKiB = ResidentKiB();
  QTest::qWait(quarterMs - quarterMs / 4);
  const quint64 cleanDrawn = owner.pictures;
  EXPECT_GT(cleanDrawn, 100u) << "pictures flow on a clean link";
  EXPECT_GT(owner.scaledPictures, 10u) << "pictures for small panes come scaled down";

  ASSERT_TRUE(StartRecorder({.garbage = true, .splitBytes = 1000, .coalesce = true}));
  QTest::qWait(quarterMs);
  const quint64 noisyDrawn = owner.pictures - cleanDrawn;
  EXPECT_GT(noisyDrawn, 100u) << "garbage, split and coalesced packets still deliver pictures";

  ASSERT_TRUE(StartRecorder({.oversize = true}));
  QTest::qWait(quarterMs);
  EXPECT_GT(owner.pictures - cleanDrawn - noisyDrawn, 50u) << "an oversized header costs at most a resync";

  const int reconnectsBefore = owner.CountStatus(status::kTryReconnection);
  ASSERT_TRUE(StartRecorder({.silentAfterSeconds = 1.0}));
  QTest::qWait(4000);
  EXPECT_GE(owner.CountStatus(status::kTryRequestImage), 2) << "a silent recorder is asked again";
  EXPECT_GT(owner.CountStatus(status::kTryReconnection), reconnectsBefore) << "and then reconnected";

  ASSERT_TRUE(StartRecorder({.dropAfterSeconds = 1.0}));
  QTest::qWait(3000);

  ASSERT_TRUE(StartRecorder({}));
  const quint64 beforeRecovery = owner.pictures;
  QTest::qWait(quarterMs);
  EXPECT_GT(owner.pictures - beforeRecovery, 100u) << "pictures flow again after the faults";
  const long endKiB = ResidentKiB();

  link.Disconnect(true);
  recorder.reset();
  std::printf("soak: %ds, pictures sent %llu, drawn %llu, connections established %d, reconnection starts %d,"
              " resident %ld KiB after warm-up, %ld KiB at the end (drift %+ld KiB)\n",
              totalSeconds, static_cast<unsigned long long>(sent), static_cast<unsigned long long>(owner.pictures),
              owner.CountStatus(status::kEstablished), owner.CountStatus(status::kTryReconnection), warmKiB, endKiB,
              endKiB - warmKiB);
  EXPECT_EQ(owner.wrongChannel, 0u);
  EXPECT_EQ(owner.goOfflineCount, 0);
  EXPECT_LE(owner.pictures, sent);
  // Buffers grow to the largest picture and stay; anything beyond a few MiB would be a leak.
  // AddressSanitizer keeps freed memory in quarantine, so there the leak checker has the say.
#ifndef SOAK_ADDRESS_SANITIZER
  EXPECT_LT(endKiB - warmKiB, 16 * 1024);
#endif
}

}  // namespace
