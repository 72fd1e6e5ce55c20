#include "archive/RecordFileNames.h"

#include <gtest/gtest.h>

using namespace recordnames;

namespace {
const ArchiveMoment kTime{2005, 3, 7, 14, 5, 9};
}

TEST(RecordFileNames, RecordIntervalTable) {
  const int expected[] = {3000, 5000, 10000, 15000, 20000, 25000, 30000, 35000, 40000, 45000, 50000, 55000, 100000};
  for (int setting = 0; setting <= 12; ++setting) EXPECT_EQ(RecordIntervalMs(setting), expected[setting]) << setting;
  EXPECT_EQ(RecordIntervalMs(13), 15000);
  EXPECT_EQ(RecordIntervalMs(255), 15000);
  EXPECT_EQ(RecordIntervalMs(-1), 15000);
}

TEST(RecordFileNames, AviNameIsTheImageTimeInTheFolder) {
  EXPECT_EQ(SnapshotTimeText(kTime), "2005-03-07 14-05-09");
  EXPECT_EQ(AviFileName("/data/Backup", kTime), "/data/Backup/2005-03-07 14-05-09.avi");
  EXPECT_EQ(AviFileName("/data/Backup/", kTime), "/data/Backup/2005-03-07 14-05-09.avi");
}

TEST(RecordFileNames, SnapshotNameCarriesCameraTimeAndTick) {
  EXPECT_EQ(SnapshotFileName("/data/Backup", 2, kTime, 4711), "/data/Backup/CAM3_2005-03-07 14-05-09_04711.jpg");
  EXPECT_EQ(SnapshotFileName("/data/Backup", 255, kTime, 123456789), "/data/Backup/CAM0_2005-03-07 14-05-09_56789.jpg");
  EXPECT_EQ(SnapshotFileName("/data/Backup", 0, kTime, 100000), "/data/Backup/CAM1_2005-03-07 14-05-09_00000.jpg");
  // A folder ending in a separator gives no doubled separator.
  EXPECT_EQ(SnapshotFileName("/data/Backup/", 15, kTime, 5), "/data/Backup/CAM16_2005-03-07 14-05-09_00005.jpg");
}

TEST(RecordFileNames, NamesComeOnlyFromRealClockTimes) {
  const QDateTime now(QDate(2006, 1, 2), QTime(3, 4, 5));
  const ArchiveMoment local{2006, 1, 2, 3, 4, 5};
  const struct {
    ArchiveMoment imageTime;
    ArchiveMoment expected;
  } cases[] = {
      {kTime, kTime},
      {{2095, 1, 15, 45, 87, 128}, local},  // hour, minute and second out of range
      {{0, 0, 0, 0, 0, 0}, local},          // no picture shown yet
      {{2005, 2, 30, 1, 2, 3}, local},      // no such day
      {{10000, 1, 1, 0, 0, 0}, local},      // five-digit year
      {{-5, 1, 1, 0, 0, 0}, local},
  };
  for (const auto& c : cases)
    EXPECT_EQ(NameTime(c.imageTime, now), c.expected) << SnapshotTimeText(c.imageTime).toStdString();
}
