// The synthetic archive: start moments, the packed event time, the nightly
// recording gap and the bounded event file.

#include <gtest/gtest.h>

#include "link/PacketFormat.h"
#include "sim/SimArchive.h"

namespace {

const QDateTime kFirst(QDate(2005, 1, 1), QTime(0, 0, 0));
const QDateTime kLast(QDate(2005, 1, 31), QTime(12, 0, 0));

}  // namespace

TEST(SimArchive, PackedEventTimeRoundTrips) {
  const QDateTime t(QDate(2005, 5, 31), QTime(23, 59, 59));
  EXPECT_EQ(SimArchive::PackEventTime(t), 9u * (1u << 26) + 5u * (1u << 22) + 31u * (1u << 17) + 23u * (1u << 12) +
                                              59u * (1u << 6) + 59u);
  EXPECT_EQ(SimArchive::UnpackEventTime(SimArchive::PackEventTime(t)), t);
  EXPECT_FALSE(SimArchive::UnpackEventTime(0));  // month 0
}

TEST(SimArchive, PlayStartReadsDatesSecondsOrEventTimes) {
  const SimArchive archive(kFirst, kLast);
  const QDateTime t(QDate(2005, 1, 20), QTime(8, 30, 15));
  EXPECT_EQ(archive.PlayStart(2, wire::DvrDate{2005, 1, 20}.Pack(), wire::DvrTime{8, 30, 15}.Pack()), t);
  EXPECT_FALSE(archive.PlayStart(3, wire::DvrDate{2005, 13, 1}.Pack(), 0));
  EXPECT_EQ(archive.PlayStart(1, static_cast<std::uint32_t>(t.toSecsSinceEpoch()), 0), t);
  EXPECT_EQ(archive.PlayStart(1, SimArchive::PackEventTime(t), 0), t);
}

TEST(SimArchive, RecordingGapsAndPositions) {
  const SimArchive archive(kFirst, kLast);
  const QDateTime inGap(QDate(2005, 1, 10), QTime(2, 15, 0));
  EXPECT_TRUE(archive.Contains(inGap));
  EXPECT_FALSE(archive.HasRecording(inGap));
  EXPECT_EQ(archive.SkipGap(inGap, false), QDateTime(QDate(2005, 1, 10), QTime(3, 0, 0)));
  EXPECT_EQ(archive.SkipGap(inGap, true), QDateTime(QDate(2005, 1, 10), QTime(1, 59, 59, 999)));
  EXPECT_TRUE(archive.HasRecording(QDateTime(QDate(2005, 1, 10), QTime(3, 0, 0))));
  EXPECT_FALSE(archive.HasRecording(kLast.addSecs(1)));
  EXPECT_EQ(archive.PositionOf(kFirst), 0u);
  EXPECT_EQ(archive.PositionOf(kLast), 1000000u);
  EXPECT_EQ(archive.PositionOf(kFirst.addSecs(kFirst.secsTo(kLast) / 2)), 500000u);
}

TEST(SimArchive, EventFileStaysInsideTheRangeAndIsBounded) {
  const SimArchive shortRange(kFirst, kFirst.addSecs(3600));
  EXPECT_TRUE(shortRange.EventFile(4).empty());  // the first incident comes an hour in and lasts
  const SimArchive longRange(QDateTime(QDate(1997, 1, 1), QTime(0, 0)), QDateTime(QDate(2090, 1, 1), QTime(0, 0)));
  const auto file = longRange.EventFile(16);
  EXPECT_EQ(file.size(), SimArchive::kMaxEventRecords * SimArchive::kEventRecordSize);
  EXPECT_LE(file.size() + wire::kPacketBaseSize, wire::kMaxPacketLength);
}
