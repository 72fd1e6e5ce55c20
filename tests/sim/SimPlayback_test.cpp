// Playback and the event list of the simulated recorder, read byte by byte by
// a raw client.

#include <gtest/gtest.h>

#include <set>

#include "link/CImageCodec.h"
#include "sim/SimRecorder.h"
#include "sim/SimTestClient.h"

namespace {

const QDateTime kFirst(QDate(2024, 3, 1), QTime(0, 0, 0));
const QDateTime kLast(QDate(2024, 3, 8), QTime(12, 0, 0));

QDateTime StampTime(const ReceivedPacket& p) {
  const auto s = wire::PlayImageStamp::FromWords(p.info.w[0], p.info.w[1]);
  return QDateTime(QDate(s.year, s.month, s.day), QTime(s.hour, s.minute, s.second));
}

class SimPlayback : public ::testing::Test {
 protected:
  void Open(const QString& magic = "1.2") {
    SimOptions o;
    o.fps = 25;
    o.magicVersion = magic;
    o.archiveFrom = kFirst;
    o.archiveTo = kLast;
    m_recorder = std::make_unique<SimRecorder>(o);
    ASSERT_TRUE(m_client.Connect(m_recorder->Start(0)));
    ASSERT_TRUE(m_client.Login());
  }
  void Play(std::uint32_t channel, const QDateTime& from, bool backward, std::uint32_t speed,
            std::uint32_t action = wire::play::kActionStart) {
    wire::PacketInfo info;
    info.w[0] = channel;
    info.w[1] = wire::DvrDate{from.date().year(), from.date().month(), from.date().day()}.Pack();
    info.w[2] = wire::DvrTime{from.time().hour(), from.time().minute(), from.time().second()}.Pack();
    info.w[3] = wire::play::Command(backward ? wire::play::kBackward : wire::play::kForward, speed, action);
    m_client.Send(wire::DATATYPE_PLAY_REQUEST, info);
  }
  std::optional<ReceivedPacket> NextImage(int waitMs = SimTestClient::kWaitMs) {
    return m_client.WaitFor(wire::DATATYPE_PLAY_IMAGE, waitMs);
  }

  std::unique_ptr<SimRecorder> m_recorder;
  SimTestClient m_client;
};

}  // namespace

TEST_F(SimPlayback, ImagesCarryTheStampStatusPositionAndChannelMarkUntilStopped) {
  Open();
  const QDateTime from(QDate(2024, 3, 5), QTime(10, 0, 0));
  Play(2, from, false, 1);
  CImageCodec codec;
  QDateTime previous = from;
  for (int i = 0; i < 4; ++i) {
    const auto p = NextImage();
    ASSERT_TRUE(p);
    EXPECT_EQ(p->info.w[3], wire::PLAY_STATUS_IMAGE);
    EXPECT_EQ(wire::PlayImageStamp::FromWords(p->info.w[0], p->info.w[1]).channel, 2);
    const QDateTime at = StampTime(*p);
    EXPECT_LE(at, from.addSecs(2));
    if (i == 0) {
      EXPECT_EQ(at, from);
    }
    EXPECT_GE(at, previous);
    previous = at;
    const double expected = 1e6 * kFirst.secsTo(at) / kFirst.secsTo(kLast);
    EXPECT_NEAR(static_cast<double>(p->info.w[4]), expected, 20.0);
    EXPECT_EQ(codec.Decode(p->payload.data(), p->payload.size(), false), 1);
  }
  Play(2, from, false, 0, wire::play::kActionStop);
  m_client.Drain(100);
  const auto sent = m_recorder->Counters().playPicturesSent;
  EXPECT_FALSE(NextImage(200));
  EXPECT_EQ(m_recorder->Counters().playPicturesSent, sent);
}

TEST_F(SimPlayback, PlayingOffEitherEndOfTheArchiveReportsEndOfPlayAndStops) {
  Open();
  for (const bool backward : {false, true}) {
    // Four times real time, two seconds from the end it runs towards.
    Play(backward ? 3 : 1, backward ? kFirst.addSecs(2) : kLast.addSecs(-2), backward, 2);
    std::vector<ReceivedPacket> packets;
    while (auto p = NextImage(4000)) {
      packets.push_back(*p);
      if (p->info.w[3] != wire::PLAY_STATUS_IMAGE) break;
    }
    ASSERT_GE(packets.size(), 2u) << backward;
    const ReceivedPacket& last = packets.back();
    EXPECT_EQ(last.info.w[3], wire::PLAY_STATUS_END);
    EXPECT_TRUE(last.payload.empty());
    EXPECT_EQ(last.info.w[4], backward ? 0u : 1000000u);
    if (backward) {
      EXPECT_GT(StampTime(packets.front()), StampTime(packets[packets.size() - 2]));
    } else {
      EXPECT_EQ(StampTime(last), kLast);
    }
    EXPECT_FALSE(NextImage(200));
  }
}

TEST_F(SimPlayback, MomentWithoutRecordingAndMomentOutsideTheArchive) {
  Open();
  Play(1, QDateTime(QDate(2024, 3, 4), QTime(2, 30, 0)), false, 1);
  auto p = NextImage();
  ASSERT_TRUE(p);
  EXPECT_EQ(p->info.w[3], wire::PLAY_STATUS_NO_IMAGE);
  Play(1, QDateTime(QDate(2024, 2, 1), QTime(9, 0, 0)), false, 1);
  p = NextImage();
  ASSERT_TRUE(p);
  EXPECT_EQ(p->info.w[3], wire::PLAY_STATUS_INVALID_DATE);
  EXPECT_FALSE(NextImage(150));
}

TEST_F(SimPlayback, VersionOneUsesSecondsAndTheLowByteChannel) {
  Open("1.0");
  const QDateTime from(QDate(2024, 3, 3), QTime(15, 30, 0));
  wire::PacketInfo info;
  info.w[0] = 3;
  info.w[1] = static_cast<std::uint32_t>(from.toSecsSinceEpoch());
  info.w[2] = static_cast<std::uint32_t>(kLast.toSecsSinceEpoch());
  info.w[3] = wire::play::Command(wire::play::kForward, 1, wire::play::kActionStart);
  m_client.Send(wire::DATATYPE_PLAY_REQUEST, info);
  const auto p = NextImage();
  ASSERT_TRUE(p);
  EXPECT_EQ(p->info.w[0], 3u);
  EXPECT_EQ(p->info.w[1], info.w[1]);
  EXPECT_EQ(p->info.w[3], wire::PLAY_STATUS_IMAGE);
}

TEST_F(SimPlayback, EventFileHoldsValidRecordsOverTheArchive) {
  Open();
  wire::PacketInfo request;
  request.w[0] = 1;
  m_client.Send(wire::DATATYPE_EVENT_FILE_REQUEST, request);
  const auto p = m_client.WaitFor(wire::DATATYPE_EVENT_FILE);
  ASSERT_TRUE(p);
  const auto& file = p->payload;
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
