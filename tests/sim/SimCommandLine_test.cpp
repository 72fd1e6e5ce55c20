// The dvr-sim command line.

#include <gtest/gtest.h>

#include "sim/SimCommandLine.h"

namespace {

SimCommandLine Parse(QStringList args) {
  args.prepend("dvr-sim");
  return SimCommandLine::Parse(args);
}

}  // namespace

TEST(SimCommandLine, ListensOnLoopbackUnlessToldAndReadsUsersAndTheArchiveRange) {
  EXPECT_EQ(Parse({}).options.listenAddress, QHostAddress(QHostAddress::LocalHost));
  const auto cmd =
      Parse({"--listen", "0.0.0.0", "--user", "c:d:e", "--archive", "2024-01-01T00:00:00,2024-01-02T06:00:00"});
  ASSERT_TRUE(cmd.error.isEmpty()) << cmd.error.toStdString();
  const SimOptions& o = cmd.options;
  EXPECT_EQ(o.listenAddress, QHostAddress(QHostAddress::AnyIPv4));
  ASSERT_EQ(o.users.size(), 1u);
  EXPECT_EQ(o.users[0].id, "c");
  EXPECT_EQ(o.users[0].password, "d:e");
  EXPECT_EQ(o.archiveFrom, QDateTime(QDate(2024, 1, 1), QTime(0, 0)));
  EXPECT_EQ(o.archiveTo, QDateTime(QDate(2024, 1, 2), QTime(6, 0)));
}

TEST(SimCommandLine, RejectsWhatARecorderCannotBe) {
  using L = QStringList;
  for (const L& args : {L{"--channels", "5"}, L{"--port", "70000"}, L{"--fps", "0"}, L{"--size", "720x576"},
                        L{"--size", "big"}, L{"--listen", "nowhere"}, L{"--user", "nopassword"},
                        L{"--archive", "2024-01-02,2024-01-01"}, L{"--archive", "1990-01-01,1991-01-01"},
                        L{"--split", "0"}, L{"--silent-after", "-1"}, L{"--magic", "toolongtext"}, L{"--bogus"},
                        L{"stray"}}) {
    EXPECT_FALSE(Parse(args).error.isEmpty()) << args.join(' ').toStdString();
  }
}
