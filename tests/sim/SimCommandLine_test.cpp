// The dvr-sim command line.

#include <gtest/gtest.h>

#include <tuple>

#include "sim/SimCommandLine.h"

namespace {

SimCommandLine Parse(QStringList args) {
  args.prepend("dvr-sim");
  return SimCommandLine::Parse(args);
}

}  // namespace

TEST(SimCommandLine, DefaultsListenOnLoopbackPort8000WithTheDefaultUser) {
  const auto cmd = Parse({});
  ASSERT_TRUE(cmd.error.isEmpty()) << cmd.error.toStdString();
  EXPECT_EQ(cmd.options.listenAddress, QHostAddress(QHostAddress::LocalHost));
  EXPECT_EQ(cmd.options.port, 8000);
  ASSERT_EQ(cmd.options.users.size(), 1u);
  EXPECT_EQ(cmd.options.users[0].id, "admin");
  EXPECT_EQ(cmd.options.users[0].password, kDefaultPassword);
  EXPECT_LT(cmd.options.faults.silentAfterSeconds, 0);
  EXPECT_LT(cmd.options.faults.dropAfterSeconds, 0);
  EXPECT_TRUE(Parse({"--help"}).help);
}

TEST(SimCommandLine, ReadsEveryOption) {
  const auto cmd = Parse({"--listen", "0.0.0.0", "--port", "0", "--user", "a:b", "--user", "c:d:e", "--magic", "1.0",
                          "--channels", "16", "--fps", "3", "--size", "352x240", "--quality", "60", "--archive",
                          "2024-01-01T00:00:00,2024-01-02T06:00:00", "--alerts", "--alert-interval", "500",
                          "--ptz-reply", "--invert-marks", "--silent-after", "2.5", "--drop-after", "4",
                          "--reject-login", "--garbage", "--split", "100", "--coalesce", "--oversize", "--wrong-mark",
                          "--quiet"});
  ASSERT_TRUE(cmd.error.isEmpty()) << cmd.error.toStdString();
  const SimOptions& o = cmd.options;
  EXPECT_EQ(o.listenAddress, QHostAddress(QHostAddress::AnyIPv4));
  EXPECT_EQ(o.port, 0);
  ASSERT_EQ(o.users.size(), 2u);
  EXPECT_EQ(o.users[1].id, "c");
  EXPECT_EQ(o.users[1].password, "d:e");
  EXPECT_EQ(std::tuple(o.magicVersion, o.channelInfo, o.fps, o.pictureSize, o.jpegQuality, o.alertIntervalMs),
            std::tuple(QString("1.0"), 16, 3, QSize(352, 240), 60, 500));
  EXPECT_EQ(o.archiveFrom, QDateTime(QDate(2024, 1, 1), QTime(0, 0)));
  EXPECT_EQ(o.archiveTo, QDateTime(QDate(2024, 1, 2), QTime(6, 0)));
  EXPECT_DOUBLE_EQ(o.faults.silentAfterSeconds, 2.5);
  EXPECT_DOUBLE_EQ(o.faults.dropAfterSeconds, 4.0);
  EXPECT_EQ(o.faults.splitBytes, 100);
  int flag = 0;
  for (const bool set : {o.alerts, o.ptzReply, o.invertMarks, o.faults.rejectLogin, o.faults.garbage, o.faults.coalesce,
                         o.faults.oversize, o.faults.wrongMark, cmd.quiet}) {
    EXPECT_TRUE(set) << "switch " << flag++;
  }
}

TEST(SimCommandLine, RejectsWhatARecorderCannotBe) {
  for (const QStringList& args :
       {QStringList{"--channels", "5"}, QStringList{"--port", "70000"}, QStringList{"--fps", "0"},
        QStringList{"--size", "720x576"}, QStringList{"--size", "big"}, QStringList{"--listen", "nowhere"},
        QStringList{"--user", "nopassword"}, QStringList{"--archive", "2024-01-02,2024-01-01"},
        QStringList{"--archive", "1990-01-01,1991-01-01"}, QStringList{"--split", "0"},
        QStringList{"--silent-after", "-1"}, QStringList{"--magic", "toolongtext"}, QStringList{"--bogus"},
        QStringList{"stray"}}) {
    EXPECT_FALSE(Parse(args).error.isEmpty()) << args.join(' ').toStdString();
  }
}
