// The dvr-sim command line: it listens on loopback unless told otherwise.

#include <gtest/gtest.h>

#include "sim/SimCommandLine.h"

TEST(SimCommandLine, ListensOnLoopbackUnlessTold) {
  EXPECT_EQ(SimCommandLine::Parse({"dvr-sim"}).options.listenAddress, QHostAddress(QHostAddress::LocalHost));
  const auto cmd = SimCommandLine::Parse({"dvr-sim", "--listen", "0.0.0.0"});
  ASSERT_TRUE(cmd.error.isEmpty()) << cmd.error.toStdString();
  EXPECT_EQ(cmd.options.listenAddress, QHostAddress(QHostAddress::AnyIPv4));
  EXPECT_FALSE(SimCommandLine::Parse({"dvr-sim", "--listen", "nowhere"}).error.isEmpty());
}
