// A bounded soak: the link against the simulated recorder on 127.0.0.1, eight
// live channels at 25 pictures per second, the recorder restarted on the same
// port with one fault after another. Counts pictures sent and shown in each
// phase and checks that every fault is recovered from. Memory is not judged
// here: leaks are for the sanitizer build's leak checker to find.
//
// ARDEVIZ_SOAK_SECONDS sets the whole duration (default 120).
#include <gtest/gtest.h>

#include <QTest>

#include <cstdlib>
#include <memory>

#include "link/CDvrLink.h"
#include "link/LinkFakes.h"
#include "sim/SimRecorder.h"
#include "sim/SimRecorderThread.h"

namespace {

// Odd channels ask for pictures scaled down to a nine-pane cell; every picture
// shown must still carry the mark of its channel. Nothing is kept per picture.
class CountingOwner : public FakeLinkOwner {
 public:
  quint64 pictures = 0, scaledPictures = 0, wrongChannel = 0;

  QSize LiveDecodeSize(int channel) const override { return channel % 2 ? QSize(213, 80) : QSize(); }
  void SetChannelImage(int, const std::uint8_t*, const BitmapInfoHeader& header, QSize pictureSize) override {
    scaledPictures += pictureSize.width() > header.width ? 1 : 0;
  }
  void DrawChannel(int channel) override {
    wrongChannel += link->Holder(channel)->ReadChannelMark() != channel ? 1 : 0;
    ++pictures;
  }
};

TEST(Soak, LiveStreamSurvivesFaults) {
  const char* env = std::getenv("ARDEVIZ_SOAK_SECONDS");
  const int totalSeconds = env ? std::max(24, std::atoi(env)) : 120;
  // Clean, noisy, oversized, clean: a quarter each; between them silence and a drop mid-picture, a few seconds each.
  const int quarterMs = (totalSeconds - 8) * 1000 / 4;
  const struct {
    SimFaults faults;
    int ms;
    quint64 minDrawn;
    const char* what;
  } phases[] = {
      {{}, quarterMs, 100, "pictures flow on a clean link"},
      {{.garbage = true, .splitBytes = 1000, .coalesce = true}, quarterMs, 100, "garbage, split and coalesced packets"},
      {{.oversize = true}, quarterMs, 50, "an oversized header costs at most a resync"},
      {{.silentAfterSeconds = 1.0}, 4000, 0, "silence"},
      {{.dropAfterSeconds = 1.0}, 3000, 0, "a drop mid-picture"},
      {{}, quarterMs, 100, "pictures flow again after the faults"},
  };

  quint64 sent = 0;
  QObject context;  // ends the counting before `sent` goes
  std::unique_ptr<SimRecorderThread> recorder;
  CountingOwner owner;  // host 127.0.0.1
  CDvrLink link(&owner, LinkTiming{.responseMs = 400, .reconnectMs = 300});
  owner.link = &link;
  owner.reconnectCount = 1000;
  for (const auto& phase : phases) {
    recorder.reset();
    SimOptions options;  // binds 127.0.0.1
    options.fps = 25;
    options.faults = phase.faults;
    recorder = std::make_unique<SimRecorderThread>(options);
    owner.port = recorder->Start(owner.port);  // the same port again, as a restarted recorder
    ASSERT_NE(owner.port, 0);
    QObject::connect(recorder->Recorder(), &SimRecorder::PictureSent, &context,
                     [&](int, bool playback) { sent += playback ? 0 : 1; });
    const quint64 drawnBefore = owner.pictures;
    if (&phase == &phases[0]) { ASSERT_TRUE(link.ConnectToDvr(owner.host, owner.port)); }
    QTest::qWait(phase.ms);
    EXPECT_GE(owner.pictures - drawnBefore, phase.minDrawn) << phase.what;
  }
  link.Disconnect(true);
  recorder.reset();
  EXPECT_GE(owner.CountStatus(status::kTryRequestImage), 2) << "a silent recorder is asked again";
  EXPECT_GT(owner.scaledPictures, 10u) << "pictures for small panes come scaled down";
  EXPECT_EQ(owner.wrongChannel, 0u);
  EXPECT_EQ(owner.goOfflineCount, 0);
  EXPECT_LE(owner.pictures, sent);
}

}  // namespace
