// Event file records: the row texts, the packed time and the range rules.
#include <gtest/gtest.h>

#include <QByteArray>

#include <vector>

#include "viewer/EventRecord.h"

namespace {

QByteArray Record(std::initializer_list<int> bytes) {
  QByteArray b;
  for (int v : bytes) b.append(static_cast<char>(v));
  return b;
}

TEST(EventRecord, TextsPackedTimeAndTheRangeOfEachField) {
  // A trailing part shorter than a record is ignored.
  const auto records = ParseEventRecords(Record({3, 0xA0, 9, 5, 31, 23, 59, 59, 0, 0}) +
                                         Record({0, 0, 9, 1, 1, 0, 0, 0, 0, 0}) + Record({1, 2, 3}));
  ASSERT_EQ(records.size(), 2u);
  const EventRecord& r = records[0];
  EXPECT_EQ(r.ChannelText() + "|" + r.AlarmTypeText() + "|" + r.DateTimeText(),
            "CH3| Normal Close Alarm 0 -> 1|[ 2005/05/31 ] 23:59:59");
  EXPECT_EQ(records[1].AlarmTypeText(), "No Event");
  const std::uint32_t packed = 9u << 26 | 5u << 22 | 31u << 17 | 23u << 12 | 59u << 6 | 59u;
  EXPECT_EQ(r.TimeCost(), packed);
  EXPECT_EQ(MakeTimeCost(2005, 5, 31, 23, 59, 59), packed);
  const EventTimeFields f = UnpackTimeCost(MakeTimeCost(2040, 12, 1, 0, 5, 6));
  EXPECT_EQ(std::vector<int>({f.year, f.month, f.day, f.hour, f.minute, f.second}),
            std::vector<int>({2040, 12, 1, 0, 5, 6}));
  // Each field keeps only its low bits: a year offset of 64 wraps to 0.
  EXPECT_EQ(MakeTimeCost(1996 + 64, 1, 1, 0, 0, 0), MakeTimeCost(1996, 1, 1, 0, 0, 0));

  // Each field at its limit is listed, one beyond it is skipped (any event bits are fine).
  const int limits[8] = {16, 255, 100, 12, 31, 24, 59, 59};
  for (int field = 0; field < 8; ++field) {
    QByteArray bytes = Record({1, 0, 9, 5, 1, 0, 0, 0, 0, 0});
    bytes[field] = static_cast<char>(limits[field]);
    EXPECT_EQ(ParseEventRecords(bytes).size(), 1u) << field;
    bytes[field] = static_cast<char>(limits[field] + 1);
    if (field != 1) {
      EXPECT_TRUE(ParseEventRecords(bytes).empty()) << field;
    }
  }
}

}  // namespace
