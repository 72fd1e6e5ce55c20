// Playback of the simulated recorder, read byte by byte by a raw client; its
// event list is read by the archive panel's end-to-end test.

#include <gtest/gtest.h>

#include <QElapsedTimer>
#include <algorithm>
#include <tuple>
#include <utility>

#include "link/CImageCodec.h"
#include "sim/SimRecorder.h"
#include "sim/SimTestClient.h"

namespace {

const QDateTime kFirst(QDate(2024, 3, 1), QTime(0, 0, 0));
const QDateTime kLast(QDate(2024, 3, 8), QTime(12, 0, 0));
constexpr int kMaxImages = 500;

class SimPlayback : public ::testing::Test {
 protected:
  void Open(const QString& magic = "1.2", int fps = 25) {
    m_seconds = magic == "1.0";  // version 1 gives moments in seconds, the others as date and time
    m_client = std::make_unique<SimTestClient>();
    SimOptions o;
    o.fps = fps;
    o.magicVersion = magic;
    o.archiveFrom = kFirst;
    o.archiveTo = kLast;
    m_recorder = std::make_unique<SimRecorder>(o);
    ASSERT_TRUE(m_client->Connect(m_recorder->Start(0)) && m_client->Login());
  }
  void Play(std::uint32_t channel, const QDateTime& from, bool backward, std::uint32_t speed) {
    wire::PacketInfo info;
    info.w[0] = channel;
    info.w[1] = m_seconds ? static_cast<std::uint32_t>(from.toSecsSinceEpoch())
                          : wire::DvrDate{from.date().year(), from.date().month(), from.date().day()}.Pack();
    info.w[2] = m_seconds ? 0 : wire::DvrTime{from.time().hour(), from.time().minute(), from.time().second()}.Pack();
    info.w[3] = wire::play::Command(backward ? wire::play::kBackward : wire::play::kForward, speed, wire::play::kActionStart);
    m_client->Send(wire::DATATYPE_PLAY_REQUEST, info);
  }
  std::optional<ReceivedPacket> NextImage(int waitMs = 4000) {
    return m_client->WaitFor(wire::DATATYPE_PLAY_IMAGE, waitMs);
  }
  // The channel (counted from 1) and moment a play packet is stamped with.
  std::pair<std::uint32_t, QDateTime> Stamp(const ReceivedPacket& p) const {
    if (m_seconds) return {p.info.w[0] + 1, QDateTime::fromSecsSinceEpoch(p.info.w[1])};  // counted from 0
    const auto s = wire::PlayImageStamp::FromWords(p.info.w[0], p.info.w[1]);
    return {s.channel, QDateTime(QDate(s.year, s.month, s.day), QTime(s.hour, s.minute, s.second))};
  }

  bool m_seconds = false;
  std::unique_ptr<SimRecorder> m_recorder;
  std::unique_ptr<SimTestClient> m_client;
};

}  // namespace

TEST_F(SimPlayback, StampsOfEitherEncodingThenEndOfPlayNoImageOrInvalidDate) {
  const QDateTime gap(QDate(2024, 3, 4), QTime(2, 30, 0)), before(QDate(2024, 2, 1), QTime(9, 0, 0));
  for (const char* magic : {"1.0", "1.2"}) {
    Open(magic);
    // Four times real time, two seconds from the end it runs towards.
    for (const auto& [from, backward, result] : {std::tuple{kLast.addSecs(-2), false, wire::PLAY_STATUS_END},
                                                 std::tuple{kFirst.addSecs(2), true, wire::PLAY_STATUS_END},
                                                 std::tuple{gap, false, wire::PLAY_STATUS_NO_IMAGE},
                                                 std::tuple{before, false, wire::PLAY_STATUS_INVALID_DATE}}) {
      const std::uint32_t channel = backward ? 3 : 1;
      Play(channel, from, backward, 2);
      CImageCodec codec;
      int images = 0;
      std::optional<ReceivedPacket> p;
      // A few seconds of pictures at most, then a result.
      for (; images < kMaxImages && (p = NextImage(4000)) && p->info.w[3] == wire::PLAY_STATUS_IMAGE; ++images) {
        const auto [stampChannel, at] = Stamp(*p);
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
        EXPECT_EQ(Stamp(*p).second, backward ? kFirst : kLast) << magic;
      }
      EXPECT_FALSE(NextImage(150)) << magic << " result " << result;
    }
  }
}

TEST_F(SimPlayback, AllChannelPlaybackSpreadsEachRoundOverThePicturePeriod) {
  Open("1.2", 5);  // 4 channels at 5 pictures/s: one picture every 50 ms
  Play(0, kFirst.addSecs(3600), false, 1);
  QElapsedTimer clock;
  clock.start();
  std::vector<qint64> arrivals;
  std::vector<std::uint32_t> channels;
  while (arrivals.size() < 12) {
    const auto p = NextImage();
    ASSERT_TRUE(p && p->info.w[3] == wire::PLAY_STATUS_IMAGE);
    arrivals.push_back(clock.elapsed());
    channels.push_back(Stamp(*p).first);
  }
  EXPECT_EQ(channels, (std::vector<std::uint32_t>{1, 2, 3, 4, 1, 2, 3, 4, 1, 2, 3, 4}));
  std::vector<qint64> gaps;
  for (std::size_t i = 1; i < arrivals.size(); ++i) gaps.push_back(arrivals[i] - arrivals[i - 1]);
  std::nth_element(gaps.begin(), gaps.begin() + static_cast<long>(gaps.size() / 2), gaps.end());
  EXPECT_GE(gaps[gaps.size() / 2], 25) << "pictures of a round sent together";
}
