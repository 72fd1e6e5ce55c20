// The synthetic archive: play start moments and stamps in each encoding and
// the bounded event file.

#include <gtest/gtest.h>

#include "link/PacketFormat.h"
#include "sim/SimArchive.h"

namespace {

const QDateTime kFirst(QDate(2005, 1, 1), QTime(0, 0, 0));
const QDateTime kLast(QDate(2005, 1, 31), QTime(12, 0, 0));

}  // namespace

TEST(SimArchive, PlayStartReadsDatesSecondsOrEventTimesAndStampsCarryTheChannel) {
  const SimArchive archive(kFirst, kLast);
  const QDateTime t(QDate(2005, 1, 20), QTime(8, 30, 15));
  // Dates and seconds are read back from the stamps of the recorder's playback tests.
  EXPECT_FALSE(archive.PlayStart(3, wire::DvrDate{2005, 13, 1}.Pack(), 0));
  EXPECT_EQ(archive.PlayStart(1, SimArchive::PackEventTime(t), 0), t);
  // Version 3 stamps carry channels up to 16; the others are read by the client in the playback tests.
  EXPECT_EQ(SimArchive::PlayStampWords(3, 16, t), (std::array<std::uint32_t, 2>{0x1007D501, 0x14081E0F}));
}

TEST(SimArchive, EventFileStaysInsideTheRangeAndIsBounded) {
  const SimArchive shortRange(kFirst, kFirst.addSecs(3600));
  EXPECT_TRUE(shortRange.EventFile(4).empty());  // the first incident comes an hour in and lasts
  const SimArchive longRange(QDateTime(QDate(1997, 1, 1), QTime(0, 0)), QDateTime(QDate(2090, 1, 1), QTime(0, 0)));
  const auto file = longRange.EventFile(16);
  EXPECT_EQ(file.size(), SimArchive::kMaxEventRecords * SimArchive::kEventRecordSize);
  EXPECT_LE(file.size() + wire::kPacketBaseSize, wire::kMaxPacketLength);
}

TEST(SimArchive, RangeEndsOnRecordedMoments) {
  const QDate day(2005, 1, 10);
  for (const auto& [from, to, first, last] :
       {std::array{QTime(2, 30, 0), QTime(14, 0, 0), QTime(3, 0, 0), QTime(14, 0, 0)},
        {QTime(0, 10, 0), QTime(2, 45, 30), QTime(0, 10, 0), QTime(1, 59, 59)},
        {QTime(2, 10, 0), QTime(2, 50, 0), QTime(2, 10, 0), QTime(2, 50, 0)}}) {
    const SimArchive archive(QDateTime(day, from), QDateTime(day, to));
    EXPECT_EQ(archive.First(), QDateTime(day, first)) << from.toString().toStdString();
    EXPECT_EQ(archive.Last(), QDateTime(day, last)) << to.toString().toStdString();
  }
  const SimArchive clock({}, {});  // follows the clock, whatever hour it is
  EXPECT_TRUE(clock.HasRecording(clock.First()));
  EXPECT_TRUE(clock.HasRecording(clock.Last()));
}
