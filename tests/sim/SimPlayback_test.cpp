// Playback, remote keys and the event list of the simulated recorder, read
// byte by byte by a raw client.

#include <gtest/gtest.h>

#include <set>

#include "link/CImageCodec.h"
#include "sim/SimRecorder.h"
#include "sim/SimTestClient.h"

namespace {

const QDateTime kFirst(QDate(2024, 3, 1), QTime(0, 0, 0));
const QDateTime kLast(QDate(2024, 3, 8), QTime(12, 0, 0));

SimOptions PlayOptions(const QString& magic = "1.2") {
  SimOptions o;
  o.fps = 25;
  o.magicVersion = magic;
  o.archiveFrom = kFirst;
  o.archiveTo = kLast;
  return o;
}

wire::PacketInfo PlayRequest(std::uint32_t channel, const QDateTime& from, bool backward, std::uint32_t speed,
                             std::uint32_t action = wire::play::kActionStart) {
  wire::PacketInfo info;
  info.w[0] = channel;
  info.w[1] = wire::DvrDate{from.date().year(), from.date().month(), from.date().day()}.Pack();
  info.w[2] = wire::DvrTime{from.time().hour(), from.time().minute(), from.time().second()}.Pack();
  info.w[3] = wire::play::Command(backward ? wire::play::kBackward : wire::play::kForward, speed, action);
  return info;
}

QDateTime StampTime(const ReceivedPacket& p) {
  const auto s = wire::PlayImageStamp::FromWords(p.info.w[0], p.info.w[1]);
  return QDateTime(QDate(s.year, s.month, s.day), QTime(s.hour, s.minute, s.second));
}

class SimPlayback : public ::testing::Test {
 protected:
  void Open(const SimOptions& o) {
    m_recorder = std::make_unique<SimRecorder>(o);
    ASSERT_TRUE(m_client.Connect(m_recorder->Start(0)));
    ASSERT_TRUE(m_client.Login());
  }
  // Play packets until the first with a status other than "image follows".
  std::vector<ReceivedPacket> PlayUntilResult(int waitMs = 4000) {
    std::vector<ReceivedPacket> images;
    QElapsedTimer t;
    t.start();
    while (t.elapsed() < waitMs) {
      auto p = m_client.WaitFor(wire::DATATYPE_PLAY_IMAGE, waitMs);
      if (!p) break;
      images.push_back(*p);
      if (p->info.w[3] != wire::PLAY_STATUS_IMAGE) break;
    }
    return images;
  }

  std::unique_ptr<SimRecorder> m_recorder;
  SimTestClient m_client;
};

}  // namespace

TEST_F(SimPlayback, ImagesCarryTheStampStatusPositionAndChannelMark) {
  Open(PlayOptions());
  const QDateTime from(QDate(2024, 3, 5), QTime(10, 0, 0));
  m_client.Send(wire::DATATYPE_PLAY_REQUEST, PlayRequest(2, from, false, 1));
  CImageCodec codec;
  QDateTime previous;
  for (int i = 0; i < 4; ++i) {
    const auto p = m_client.WaitFor(wire::DATATYPE_PLAY_IMAGE);
    ASSERT_TRUE(p);
    EXPECT_EQ(p->info.w[3], wire::PLAY_STATUS_IMAGE);
    EXPECT_EQ(wire::PlayImageStamp::FromWords(p->info.w[0], p->info.w[1]).channel, 2);
    const QDateTime at = StampTime(*p);
    EXPECT_GE(at, from);
    EXPECT_LE(at, from.addSecs(2));
    if (i == 0) {
      EXPECT_EQ(at, from);
    }
    if (previous.isValid()) {
      EXPECT_GE(at, previous);
    }
    previous = at;
    const double expected = 1e6 * kFirst.secsTo(at) / kFirst.secsTo(kLast);
    EXPECT_NEAR(static_cast<double>(p->info.w[4]), expected, 20.0);
    EXPECT_EQ(codec.Decode(p->payload.data(), p->payload.size(), false), 1);
  }
}

TEST_F(SimPlayback, ForwardPlayReachesEndOfPlayAndStops) {
  Open(PlayOptions());
  m_client.Send(wire::DATATYPE_PLAY_REQUEST, PlayRequest(1, kLast.addSecs(-2), false, 2));  // four times real time
  const auto packets = PlayUntilResult();
  ASSERT_GE(packets.size(), 2u);
  const ReceivedPacket& last = packets.back();
  EXPECT_EQ(last.info.w[3], wire::PLAY_STATUS_END);
  EXPECT_TRUE(last.payload.empty());
  EXPECT_EQ(last.info.w[4], 1000000u);
  EXPECT_EQ(StampTime(last), kLast);
  EXPECT_FALSE(m_client.WaitFor(wire::DATATYPE_PLAY_IMAGE, 200));
}

TEST_F(SimPlayback, BackwardPlayReachesEndOfPlayAtTheStart) {
  Open(PlayOptions());
  m_client.Send(wire::DATATYPE_PLAY_REQUEST, PlayRequest(3, kFirst.addSecs(2), true, 2));
  const auto packets = PlayUntilResult();
  ASSERT_GE(packets.size(), 2u);
  EXPECT_GT(StampTime(packets.front()), StampTime(packets[packets.size() - 2]));
  EXPECT_EQ(packets.back().info.w[3], wire::PLAY_STATUS_END);
  EXPECT_EQ(packets.back().info.w[4], 0u);
}

TEST_F(SimPlayback, MomentWithoutRecordingAndMomentOutsideTheArchive) {
  Open(PlayOptions());
  m_client.Send(wire::DATATYPE_PLAY_REQUEST, PlayRequest(1, QDateTime(QDate(2024, 3, 4), QTime(2, 30, 0)), false, 1));
  auto p = m_client.WaitFor(wire::DATATYPE_PLAY_IMAGE);
  ASSERT_TRUE(p);
  EXPECT_EQ(p->info.w[3], wire::PLAY_STATUS_NO_IMAGE);
  m_client.Send(wire::DATATYPE_PLAY_REQUEST, PlayRequest(1, QDateTime(QDate(2024, 2, 1), QTime(9, 0, 0)), false, 1));
  p = m_client.WaitFor(wire::DATATYPE_PLAY_IMAGE);
  ASSERT_TRUE(p);
  EXPECT_EQ(p->info.w[3], wire::PLAY_STATUS_INVALID_DATE);
  EXPECT_FALSE(m_client.WaitFor(wire::DATATYPE_PLAY_IMAGE, 150));
}

TEST_F(SimPlayback, PlayingThroughTheNightlyGapSkipsIt) {
  Open(PlayOptions());
  // Fast forward at speed 4 (64 times real time) from just before 02:00.
  m_client.Send(wire::DATATYPE_PLAY_REQUEST, PlayRequest(1, QDateTime(QDate(2024, 3, 4), QTime(1, 59, 58)), false, 4));
  for (int i = 0; i < 6; ++i) {
    const auto p = m_client.WaitFor(wire::DATATYPE_PLAY_IMAGE);
    ASSERT_TRUE(p);
    ASSERT_EQ(p->info.w[3], wire::PLAY_STATUS_IMAGE);
    EXPECT_NE(StampTime(*p).time().hour(), SimArchive::kGapHour);
  }
}

TEST_F(SimPlayback, StopEndsTheImagesAndChangeTurnsTheDirection) {
  Open(PlayOptions());
  const QDateTime from(QDate(2024, 3, 6), QTime(8, 0, 0));
  m_client.Send(wire::DATATYPE_PLAY_REQUEST, PlayRequest(1, from, false, 4));  // 64 times real time
  for (int i = 0; i < 6; ++i) ASSERT_TRUE(m_client.WaitFor(wire::DATATYPE_PLAY_IMAGE));
  // Change: backward at four times real time, keeping the position.
  m_client.Send(wire::DATATYPE_PLAY_REQUEST, PlayRequest(1, from, true, 2, wire::play::kActionChange));
  QTest::qWait(100);
  while (m_client.Next(30)) {
  }
  const auto a = m_client.WaitFor(wire::DATATYPE_PLAY_IMAGE);
  for (int i = 0; i < 8; ++i) ASSERT_TRUE(m_client.WaitFor(wire::DATATYPE_PLAY_IMAGE));
  const auto b = m_client.WaitFor(wire::DATATYPE_PLAY_IMAGE);  // more than a second earlier
  ASSERT_TRUE(a && b);
  EXPECT_LT(StampTime(*b), StampTime(*a));
  EXPECT_GT(StampTime(*a), from);  // not restarted at the requested moment

  m_client.Send(wire::DATATYPE_PLAY_REQUEST, PlayRequest(1, from, false, 0, wire::play::kActionStop));
  QTest::qWait(100);
  while (m_client.Next(30)) {
  }
  const auto sent = m_recorder->Counters().playPicturesSent;
  EXPECT_FALSE(m_client.WaitFor(wire::DATATYPE_PLAY_IMAGE, 200));
  EXPECT_EQ(m_recorder->Counters().playPicturesSent, sent);
}

TEST_F(SimPlayback, AllChannelsPlaysEveryChannelOfTheRecorder) {
  Open(PlayOptions());
  m_client.Send(wire::DATATYPE_PLAY_REQUEST, PlayRequest(0, QDateTime(QDate(2024, 3, 2), QTime(12, 0, 0)), false, 1));
  std::set<int> channels;
  for (int i = 0; i < 8; ++i) {
    const auto p = m_client.WaitFor(wire::DATATYPE_PLAY_IMAGE);
    ASSERT_TRUE(p);
    channels.insert(wire::PlayImageStamp::FromWords(p->info.w[0], p->info.w[1]).channel);
  }
  EXPECT_EQ(channels, (std::set<int>{1, 2, 3, 4}));
}

TEST_F(SimPlayback, LiveRequestEndsPlaybackAndPlaybackEndsLive) {
  Open(PlayOptions());
  m_client.RequestLive(0x1);
  ASSERT_TRUE(m_client.WaitFor(wire::DATATYPE_LIVE_IMAGE));
  m_client.Send(wire::DATATYPE_PLAY_REQUEST, PlayRequest(1, QDateTime(QDate(2024, 3, 2), QTime(12, 0, 0)), false, 1));
  ASSERT_TRUE(m_client.WaitFor(wire::DATATYPE_PLAY_IMAGE));
  QTest::qWait(60);
  while (m_client.Next(30)) {
  }
  for (int i = 0; i < 3; ++i) {
    const auto p = m_client.Next();
    ASSERT_TRUE(p);
    EXPECT_EQ(p->header.dataType, wire::DATATYPE_PLAY_IMAGE);
  }
  m_client.RequestLive(0x1);
  ASSERT_TRUE(m_client.WaitFor(wire::DATATYPE_LIVE_IMAGE));
  QTest::qWait(60);
  while (m_client.Next(30)) {
  }
  const auto p = m_client.Next();
  ASSERT_TRUE(p);
  EXPECT_EQ(p->header.dataType, wire::DATATYPE_LIVE_IMAGE);
}

TEST_F(SimPlayback, VersionOneUsesSecondsAndTheLowByteChannel) {
  Open(PlayOptions("1.0"));
  const QDateTime from(QDate(2024, 3, 3), QTime(15, 30, 0));
  wire::PacketInfo info;
  info.w[0] = 3;
  info.w[1] = static_cast<std::uint32_t>(from.toSecsSinceEpoch());
  info.w[2] = static_cast<std::uint32_t>(kLast.toSecsSinceEpoch());
  info.w[3] = wire::play::Command(wire::play::kForward, 1, wire::play::kActionStart);
  m_client.Send(wire::DATATYPE_PLAY_REQUEST, info);
  const auto p = m_client.WaitFor(wire::DATATYPE_PLAY_IMAGE);
  ASSERT_TRUE(p);
  EXPECT_EQ(p->info.w[0], 3u);
  EXPECT_EQ(p->info.w[1], info.w[1]);
  EXPECT_EQ(p->info.w[3], wire::PLAY_STATUS_IMAGE);

  // Starting at an event: the packed event time instead of seconds.
  info.w[0] = 1;
  info.w[1] = SimArchive::PackEventTime(QDateTime(QDate(2024, 3, 7), QTime(20, 15, 5)));
  m_client.Send(wire::DATATYPE_PLAY_REQUEST, info);
  QTest::qWait(60);
  const auto q = m_client.WaitFor(wire::DATATYPE_PLAY_IMAGE);
  ASSERT_TRUE(q);
  ASSERT_EQ(q->info.w[0], 1u);
  EXPECT_NEAR(static_cast<double>(q->info.w[1]),
              static_cast<double>(QDateTime(QDate(2024, 3, 7), QTime(20, 15, 5)).toSecsSinceEpoch()), 2.0);
}

TEST_F(SimPlayback, PlayKeyStartsPlaybackFromTheArchiveStart) {
  Open(PlayOptions("1.0"));
  wire::PacketInfo key;
  key.w[0] = wire::REMOTE_KEY_LOGIN;
  m_client.Send(wire::DATATYPE_REMOTE_KEY, key);
  EXPECT_FALSE(m_client.WaitFor(wire::DATATYPE_PLAY_IMAGE, 150));
  key.w[0] = wire::REMOTE_KEY_PLAY;
  m_client.Send(wire::DATATYPE_REMOTE_KEY, key);
  const auto p = m_client.WaitFor(wire::DATATYPE_PLAY_IMAGE);
  ASSERT_TRUE(p);
  EXPECT_EQ(p->info.w[3], wire::PLAY_STATUS_IMAGE);
  EXPECT_EQ(p->info.w[1], static_cast<std::uint32_t>(kFirst.toSecsSinceEpoch()));
}

TEST_F(SimPlayback, EventFileHoldsValidRecordsOverTheArchive) {
  Open(PlayOptions());
  wire::PacketInfo request;
  request.w[0] = 1;
  m_client.Send(wire::DATATYPE_EVENT_FILE_REQUEST, request);
  const auto p = m_client.WaitFor(wire::DATATYPE_EVENT_FILE);
  ASSERT_TRUE(p);
  const auto& file = p->payload;
  ASSERT_FALSE(file.empty());
  ASSERT_EQ(file.size() % 10, 0u);
  EXPECT_GE(file.size() / 10, 50u);  // a week holds plenty of incidents
  std::set<int> channels;
  std::set<int> bits;
  for (std::size_t i = 0; i < file.size(); i += 10) {
    const std::uint8_t* r = &file[i];
    channels.insert(r[0]);
    bits.insert(r[1]);
    const QDateTime t(QDate(r[2] + 1996, r[3], r[4]), QTime(r[5], r[6], r[7]));
    ASSERT_TRUE(t.isValid()) << i / 10;
    EXPECT_GE(t, kFirst);
    EXPECT_LE(t, kLast);
    EXPECT_EQ(r[8], 0);
    EXPECT_EQ(r[9], 0);
  }
  EXPECT_EQ(channels, (std::set<int>{1, 2, 3, 4}));
  EXPECT_EQ(bits, (std::set<int>{0x20, 0x10, 0x08, 0x04, 0x02, 0x01}));
  EXPECT_EQ(m_recorder->Counters().eventFilesSent, 1);
}
