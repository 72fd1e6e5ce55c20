// Event file records: the row texts, the packed time and the file rules.
#include <gtest/gtest.h>

#include <QByteArray>

#include "viewer/EventRecord.h"

namespace {

QByteArray Record(std::initializer_list<int> bytes) {
  QByteArray b;
  for (int v : bytes) b.append(static_cast<char>(v));
  return b;
}

const QByteArray kSample = Record({0x03, 0xA0, 0x09, 0x05, 0x1F, 0x17, 0x3B, 0x3B, 0x00, 0x00});

TEST(EventRecord, SampleRecordGivesItsRowTextsAndPackedTime) {
  const auto records = ParseEventRecords(kSample);
  ASSERT_EQ(records.size(), 1u);
  const EventRecord& r = records[0];
  EXPECT_EQ(r.ChannelText(), "CH3");
  EXPECT_EQ(r.AlarmTypeText(), " Normal Close Alarm 0 -> 1");
  EXPECT_EQ(r.DateTimeText(), "[ 2005/05/31 ] 23:59:59");
  const std::uint32_t expected = 9u * (1u << 26) + 5u * (1u << 22) + 31u * (1u << 17) + 23u * (1u << 12) + 59u * 64u + 59u;
  EXPECT_EQ(r.TimeCost(), expected);
  EXPECT_EQ(MakeTimeCost(2005, 5, 31, 23, 59, 59), expected);
}

TEST(EventRecord, EveryEventBitInOrderAndNoEvent) {
  EventRecord r;
  r.eventBits = 0xFF;
  EXPECT_EQ(r.AlarmTypeText(),
            " Normal Close Normal Open Alarm 0 -> 1 Alarm 1 -> 0 No Loss -> Loss Loss -> No Loss"
            " NoEvent -> Motion Motion -> NoEvent");
  r.eventBits = 0;
  EXPECT_EQ(r.AlarmTypeText(), "No Event");
}

TEST(EventRecord, OutOfRangeRecordsAreSkippedAndTheOthersKeepTheirTexts) {
  QByteArray file = kSample;
  file += Record({0x01, 0x02, 0x09, 13, 0x01, 0x00, 0x00, 0x00, 0, 0});  // month 13
  file += Record({0x10, 0x04, 0x0A, 0x01, 0x02, 0x18, 0x00, 0x00, 0, 0}); // CH16, hour 24 is listed
  const auto records = ParseEventRecords(file);
  ASSERT_EQ(records.size(), 2u);
  EXPECT_EQ(records[1].ChannelText(), "CH16");
  EXPECT_EQ(records[1].AlarmTypeText(), " Loss -> No Loss");
  EXPECT_EQ(records[1].DateTimeText(), "[ 2006/01/02 ] 24:00:00");

  // One field beyond each limit.
  const int limits[8] = {16, 255, 100, 12, 31, 24, 59, 59};
  for (int field = 0; field < 8; ++field) {
    if (field == 1) continue;  // any event bits are fine
    QByteArray bad = Record({1, 0, 9, 5, 1, 0, 0, 0, 0, 0});
    bad[field] = static_cast<char>(limits[field]);
    EXPECT_EQ(ParseEventRecords(bad).size(), 1u) << field;
    bad[field] = static_cast<char>(limits[field] + 1);
    EXPECT_TRUE(ParseEventRecords(bad).empty()) << field;
  }
}

TEST(EventRecord, TrailingPartialRecordIsIgnored) {
  QByteArray file = kSample + kSample + Record({1, 2, 3, 4, 5});
  ASSERT_EQ(file.size(), 25);
  EXPECT_EQ(ParseEventRecords(file).size(), 2u);
  EXPECT_TRUE(ParseEventRecords(Record({1, 2, 3})).empty());
}

TEST(EventRecord, PackedTimeRoundTripsAndKeepsOnlyLowBits) {
  const EventTimeFields f = UnpackTimeCost(MakeTimeCost(2040, 12, 1, 0, 5, 6));
  EXPECT_EQ(f.year, 2040);
  EXPECT_EQ(f.month, 12);
  EXPECT_EQ(f.day, 1);
  EXPECT_EQ(f.minute, 5);
  EXPECT_EQ(f.second, 6);
  // Year offset 64 loses its bit above 31.
  EXPECT_EQ(MakeTimeCost(1996 + 64, 1, 1, 0, 0, 0), MakeTimeCost(1996, 1, 1, 0, 0, 0));
  // Month 16 keeps its low four bits (0).
  EXPECT_EQ(MakeTimeCost(2000, 16, 1, 0, 0, 0), MakeTimeCost(2000, 0, 1, 0, 0, 0));
}

}  // namespace
