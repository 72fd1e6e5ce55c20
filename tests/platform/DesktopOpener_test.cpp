#include <gtest/gtest.h>

#include "platform/DesktopOpener.h"

TEST(DesktopOpener, SwitchedOffItOnlyRecordsTheFolders) {
  DesktopOpener::SetEnabled(false);
  DesktopOpener::ClearRequests();
  DesktopOpener::OpenFolder("/tmp/a");
  DesktopOpener::OpenFolder("/tmp/b c");
  EXPECT_EQ(DesktopOpener::Requests(), (QStringList{"/tmp/a", "/tmp/b c"}));
  EXPECT_FALSE(DesktopOpener::IsEnabled());
  DesktopOpener::ClearRequests();
  EXPECT_TRUE(DesktopOpener::Requests().isEmpty());
}
