// The simulated recorder seen from a raw client on loopback: login, bad camera
// bytes, live stop and playback read byte by byte. Its stream faults are met
// by the soak and the noisy_stream scenario, reconnections by the scenarios
// that drop or restart it; what the login reply carries is read by the
// client's link in LinkAgainstSim, its event list by the archive panel's
// end-to-end test.

#include <gtest/gtest.h>

#include <tuple>
#include <utility>

#include "link/CImageCodec.h"
#include "sim/SimRecorder.h"
#include "sim/SimTestClient.h"

namespace {

const QDateTime kFirst(QDate(2024, 3, 1), QTime(0, 0, 0));
const QDateTime kLast(QDate(2024, 3, 8), QTime(12, 0, 0));
constexpr int kMaxImages = 500;

SimOptions FastOptions(const QString& magic = "1.2", int fps = 25) {
  SimOptions o;
  o.fps = fps;
  o.magicVersion = magic;
  o.archiveFrom = kFirst;
  o.archiveTo = kLast;
  return o;
}

// A recorder on an ephemeral loopback port with one raw client connected,
// logged in with the default user unless told otherwise.
struct Session {
  explicit Session(const SimOptions& o, bool login = true) : recorder(o) {
    ready = client.Connect(recorder.Start(0)) && (!login || client.Login());
  }
  SimRecorder recorder;
  SimTestClient client;
  bool ready = false;

  // Version 1 gives moments in seconds, the others as date and time.
  bool InSeconds() const { return recorder.ProtocolVersion() == 1; }
  void Play(std::uint32_t channel, const QDateTime& from, bool backward, std::uint32_t speed) {
    wire::PacketInfo info;
    info.w[0] = channel;
    info.w[1] = InSeconds() ? static_cast<std::uint32_t>(from.toSecsSinceEpoch())
                            : wire::DvrDate{from.date().year(), from.date().month(), from.date().day()}.Pack();
    info.w[2] = InSeconds() ? 0 : wire::DvrTime{from.time().hour(), from.time().minute(), from.time().second()}.Pack();
    info.w[3] = wire::play::Command(backward ? wire::play::kBackward : wire::play::kForward, speed, wire::play::kActionStart);
    client.Send(wire::DATATYPE_PLAY_REQUEST, info);
  }
  std::optional<ReceivedPacket> NextImage(int waitMs = 4000) { return client.WaitFor(wire::DATATYPE_PLAY_IMAGE, waitMs); }
  // The channel (counted from 1) and moment a play packet is stamped with.
  std::pair<std::uint32_t, QDateTime> Stamp(const ReceivedPacket& p) const {
    if (InSeconds()) return {p.info.w[0] + 1, QDateTime::fromSecsSinceEpoch(p.info.w[1])};  // counted from 0
    const auto s = wire::PlayImageStamp::FromWords(p.info.w[0], p.info.w[1]);
    return {s.channel, QDateTime(QDate(s.year, s.month, s.day), QTime(s.hour, s.minute, s.second))};
  }
};

}  // namespace

TEST(SimRecorder, OnlyTheConfiguredUsersGetInAndRejectedLoginsAreClosed) {
  // `replaced`: the options name their own user instead of the default.
  for (const auto& [replaced, user, password, accepted] :
       {std::tuple{false, "admin", "2", false}, {false, "guest", "1", false},
        {true, kDefaultUserId, kDefaultPassword, false}, {true, "operator", "secret", true}}) {
    SimOptions o = FastOptions();
    if (replaced) o.users = {{"operator", "secret"}};
    Session s(o, false);
    ASSERT_TRUE(s.ready);
    const auto reply = s.client.Login(user, password);
    ASSERT_TRUE(reply) << user;
    EXPECT_EQ(reply->info.w[0], accepted ? 1u : 0u) << user;
    if (!accepted) { EXPECT_TRUE(s.client.WaitForDisconnect()) << user; }
    EXPECT_EQ(s.recorder.Counters().loginsRejected, accepted ? 0 : 1);
  }
}

TEST(SimRecorder, NoPicturesBeforeTheLoginALiveStopIsAnsweredAndBadCameraBytesMoveNothing) {
  SimOptions o = FastOptions();
  o.ptzReply = true;
  Session s(o, false);
  ASSERT_TRUE(s.ready);
  s.client.Send(wire::DATATYPE_DVR_STATUS2);
  s.client.RequestLive(0x5);
  EXPECT_FALSE(s.client.Next(300));
  EXPECT_EQ(s.recorder.Counters().livePicturesSent, 0u);

  ASSERT_TRUE(s.client.Login());
  s.client.RequestLive(0x5);
  ASSERT_TRUE(s.client.WaitFor(wire::DATATYPE_LIVE_IMAGE));
  s.client.Send(wire::DATATYPE_LIVE_STOP, {{1}});
  const auto reply = s.client.WaitFor(wire::DATATYPE_LIVE_STOP_REPLY);
  ASSERT_TRUE(reply);
  EXPECT_EQ(reply->info.w[0], 1u);

  std::vector<std::uint8_t> bad{0xFF, 1, 0, 0x02, 0x20, 0, 0x23 ^ 0xFF};  // Pelco-D pan right, checksum spoilt
  // A bad checksum, no camera 9 on a 4-channel recorder, bytes of no protocol, no bytes.
  for (const auto& bytes : {bad, std::vector<std::uint8_t>{0xFF, 9, 0, 0x02, 0x20, 0, 0x2B},
                            std::vector<std::uint8_t>{0x12, 0x34, 0x56}, std::vector<std::uint8_t>{}}) {
    s.client.Send(wire::DATATYPE_PTZ_DATA, {{2, static_cast<std::uint32_t>(bytes.size())}}, bytes, wire::PacketClass::CameraData);
    EXPECT_TRUE(s.client.WaitFor(wire::DATATYPE_PTZ_DATA_REPLY));
  }
  EXPECT_EQ(s.recorder.Counters().ptzCommandsApplied, 0);
  EXPECT_DOUBLE_EQ(s.recorder.Camera(1).Pan(), 0.0);
}

TEST(SimPlayback, StampsOfEitherEncodingThenEndOfPlayNoImageOrInvalidDate) {
  const QDateTime gap(QDate(2024, 3, 4), QTime(2, 30, 0)), before(QDate(2024, 2, 1), QTime(9, 0, 0));
  for (const char* magic : {"1.0", "1.2"}) {
    Session s(FastOptions(magic));
    ASSERT_TRUE(s.ready);
    // Four times real time, two seconds from the end it runs towards.
    for (const auto& [from, backward, result] : {std::tuple{kLast.addSecs(-2), false, wire::PLAY_STATUS_END},
                                                 std::tuple{kFirst.addSecs(2), true, wire::PLAY_STATUS_END},
                                                 std::tuple{gap, false, wire::PLAY_STATUS_NO_IMAGE},
                                                 std::tuple{before, false, wire::PLAY_STATUS_INVALID_DATE}}) {
      const std::uint32_t channel = backward ? 3 : 1;
      s.Play(channel, from, backward, 2);
      CImageCodec codec;
      int images = 0;
      std::optional<ReceivedPacket> p;
      // A few seconds of pictures at most, then a result.
      for (; images < kMaxImages && (p = s.NextImage(4000)) && p->info.w[3] == wire::PLAY_STATUS_IMAGE; ++images) {
        const auto [stampChannel, at] = s.Stamp(*p);
        EXPECT_EQ(stampChannel, channel) << magic;
        if (images == 0) { EXPECT_EQ(at, from) << magic; }
        EXPECT_TRUE(backward ? at <= from : at >= from) << magic;
        EXPECT_NEAR(static_cast<double>(p->info.w[4]), 1e6 * kFirst.secsTo(at) / kFirst.secsTo(kLast), 20.0);
        EXPECT_EQ(codec.Decode(p->payload.data(), p->payload.size(), false), static_cast<int>(channel) - 1);
      }
      ASSERT_TRUE(p) << magic << " result " << result;
      EXPECT_EQ(p->info.w[3], result) << magic;
      EXPECT_TRUE(p->payload.empty());
      EXPECT_EQ(images > 0, result == wire::PLAY_STATUS_END) << magic << " result " << result;
      if (result == wire::PLAY_STATUS_END) {
        EXPECT_EQ(p->info.w[4], backward ? 0u : 1000000u);
        EXPECT_EQ(s.Stamp(*p).second, backward ? kFirst : kLast) << magic;
      }
      EXPECT_FALSE(s.NextImage(150)) << magic << " result " << result;
    }
  }
}
