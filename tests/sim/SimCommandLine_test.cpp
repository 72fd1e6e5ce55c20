// The dvr-sim command line.

#include <gtest/gtest.h>

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
  EXPECT_EQ(cmd.options.magicVersion, "1.2");
  EXPECT_EQ(cmd.options.channelInfo, 4);
  EXPECT_EQ(cmd.options.fps, 10);
  EXPECT_EQ(cmd.options.pictureSize, QSize(704, 288));
  EXPECT_FALSE(cmd.options.archiveFrom.isValid());
  EXPECT_FALSE(cmd.options.alerts);
  EXPECT_FALSE(cmd.quiet);
  EXPECT_LT(cmd.options.faults.silentAfterSeconds, 0);
  EXPECT_LT(cmd.options.faults.dropAfterSeconds, 0);
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
  EXPECT_EQ(o.magicVersion, "1.0");
  EXPECT_EQ(o.channelInfo, 16);
  EXPECT_EQ(o.fps, 3);
  EXPECT_EQ(o.pictureSize, QSize(352, 240));
  EXPECT_EQ(o.jpegQuality, 60);
  EXPECT_EQ(o.archiveFrom, QDateTime(QDate(2024, 1, 1), QTime(0, 0)));
  EXPECT_EQ(o.archiveTo, QDateTime(QDate(2024, 1, 2), QTime(6, 0)));
  EXPECT_TRUE(o.alerts);
  EXPECT_EQ(o.alertIntervalMs, 500);
  EXPECT_TRUE(o.ptzReply);
  EXPECT_TRUE(o.invertMarks);
  EXPECT_DOUBLE_EQ(o.faults.silentAfterSeconds, 2.5);
  EXPECT_DOUBLE_EQ(o.faults.dropAfterSeconds, 4.0);
  EXPECT_TRUE(o.faults.rejectLogin);
  EXPECT_TRUE(o.faults.garbage);
  EXPECT_EQ(o.faults.splitBytes, 100);
  EXPECT_TRUE(o.faults.coalesce);
  EXPECT_TRUE(o.faults.oversize);
  EXPECT_TRUE(o.faults.wrongMark);
  EXPECT_TRUE(cmd.quiet);
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

TEST(SimCommandLine, HelpNamesEveryOption) {
  EXPECT_TRUE(Parse({"--help"}).help);
  const QString help = SimCommandLine::HelpText();
  for (const char* option : {"--listen", "--port", "--user", "--magic", "--channels", "--fps", "--size", "--archive",
                             "--alerts", "--ptz-reply", "--silent-after", "--drop-after", "--reject-login",
                             "--garbage", "--split", "--coalesce", "--oversize", "--quiet"}) {
    EXPECT_TRUE(help.contains(option)) << option;
  }
}
