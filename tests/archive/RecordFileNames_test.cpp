#include <gtest/gtest.h>

#include "archive/RecordFileNames.h"

using namespace recordnames;

TEST(RecordFileNames, NamesComeOnlyFromRealClockTimes) {
  const ArchiveMoment time{2005, 3, 7, 14, 5, 9}, local{2006, 1, 2, 3, 4, 5};
  const struct {
    ArchiveMoment imageTime;
    ArchiveMoment expected;
  } cases[] = {
      {time, time},
      {{2095, 1, 15, 45, 87, 128}, local},  // hour, minute and second out of range
      {{0, 0, 0, 0, 0, 0}, local},          // no picture shown yet
      {{2005, 2, 30, 1, 2, 3}, local},      // no such day
      {{10000, 1, 1, 0, 0, 0}, local},      // five-digit year
      {{-5, 1, 1, 0, 0, 0}, local},
  };
  for (const auto& c : cases)
    EXPECT_EQ(NameTime(c.imageTime, QDateTime(QDate(2006, 1, 2), QTime(3, 4, 5))), c.expected)
        << SnapshotTimeText(c.imageTime).toStdString();
  // A folder ending in a separator gives no doubled separator; the tick keeps five digits.
  EXPECT_EQ(AviFileName("/data/Backup/", time), "/data/Backup/2005-03-07 14-05-09.avi");
  EXPECT_EQ(SnapshotFileName("/data/Backup/", 255, time, 123456789), "/data/Backup/CAM0_2005-03-07 14-05-09_56789.jpg");
  EXPECT_EQ(SnapshotFileName("/data/Backup", 15, time, 5), "/data/Backup/CAM16_2005-03-07 14-05-09_00005.jpg");
  // Settings beyond the interval table record for 15 s.
  EXPECT_EQ(std::vector({RecordIntervalMs(12), RecordIntervalMs(13), RecordIntervalMs(-1)}),
            std::vector({100000, 15000, 15000}));
}
