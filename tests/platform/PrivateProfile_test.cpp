#include "platform/PrivateProfile.h"

#include <gtest/gtest.h>

#include <QTemporaryDir>
#include <sys/stat.h>
#include <fstream>
#include <iterator>

namespace {

std::string ReadAll(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

void WriteAll(const std::string& path, const std::string& text) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out << text;
}

}  // namespace

TEST(PrivateProfile, NamesMatchCaseInsensitivelyAndFirstMatchWins) {
  const PrivateProfile p(
      "[ptz_cmd_interval]\r\n  Cmd = 95  \r\nSTOP=75\r\ncmd=1\r\n[PTZ_CMD_INTERVAL]\r\nSTOP=1\r\n");
  EXPECT_EQ(p.GetInt("PTZ_CMD_INTERVAL", "CMD", 80), 95);
  EXPECT_EQ(p.GetInt(" Ptz_Cmd_Interval ", "stop", 70), 75);
  EXPECT_EQ(p.GetInt("PTZ_CMD_INTERVAL", "missing", 80), 80);
  EXPECT_EQ(p.GetInt("OTHER", "CMD", 80), 80);
  EXPECT_EQ(p.GetString("PTZ_CMD_INTERVAL", "CMD", "x"), "95");
}

TEST(PrivateProfile, WritesKeepOrderAndEveryOtherLine) {
  PrivateProfile p("; comment\n[One]\nip = 1\n\n[Two]\nx=1\ny=2");
  ASSERT_TRUE(p.SetString("one", "IP", "9"));        // in place, key spelled as in the file
  ASSERT_TRUE(p.SetString("ONE", "port", "8000"));   // after the last non-blank line of [One]
  ASSERT_TRUE(p.SetString("Two", "z", "3"));         // the last line had no ending
  ASSERT_TRUE(p.SetString("Three", "k", "v"));       // appended section
  EXPECT_EQ(p.Text(), "; comment\n[One]\nip=9\nport=8000\n\n[Two]\nx=1\ny=2\nz=3\n[Three]\nk=v\n");
  EXPECT_EQ(p.SectionNames(), (std::vector<std::string>{"One", "Two", "Three"}));
  EXPECT_EQ(p.KeyNames("two"), (std::vector<std::string>{"x", "y", "z"}));
}

TEST(PrivateProfile, RefusesWhatCouldNotBeReadBack) {
  PrivateProfile p("[A]\r\nk=v\r\n");
  const std::string before = p.Text();
  EXPECT_FALSE(p.SetString("A", "k", "line\r\nbreak"));
  EXPECT_FALSE(p.SetString("A", "k=x", "v"));
  EXPECT_FALSE(p.SetString("A", "[k", "v"));
  EXPECT_FALSE(p.SetString("A", ";k", "v"));
  EXPECT_FALSE(p.SetString("A", "", "v"));
  EXPECT_FALSE(p.SetString("A]B", "k", "v"));
  EXPECT_FALSE(p.SetString("A\nB", "k", "v"));
  EXPECT_FALSE(p.SetString("", "k", "v"));
  EXPECT_EQ(p.Text(), before);
}

TEST(PrivateProfileFile, MissingFileReadsDefaultsAndWritingCreatesIt) {
  QTemporaryDir dir;
  ASSERT_TRUE(dir.isValid());
  const std::string path = dir.filePath("opt.ini").toStdString();
  EXPECT_EQ(PrivateProfile::ReadInt(path, "PTZ_CMD_INTERVAL", "CMD", 80), 80);
  EXPECT_EQ(PrivateProfile::ReadString(path, "S", "K", "dflt"), "dflt");

  ASSERT_TRUE(PrivateProfile::WriteString(path, "PTZ_CMD_INTERVAL", "CMD", "120"));
  ASSERT_TRUE(PrivateProfile::WriteString(path, "ptz_cmd_interval", "STOP", "90"));
  EXPECT_EQ(ReadAll(path), "[PTZ_CMD_INTERVAL]\r\nCMD=120\r\nSTOP=90\r\n");
  EXPECT_EQ(PrivateProfile::ReadInt(path, "PTZ_CMD_INTERVAL", "STOP", 70), 90);

  EXPECT_TRUE(PrivateProfile::DeleteKey(path, "PTZ_CMD_INTERVAL", "CMD"));
  EXPECT_TRUE(PrivateProfile::DeleteSection(path, "PTZ_CMD_INTERVAL"));
  EXPECT_EQ(ReadAll(path), "");
}

TEST(PrivateProfileFile, KeepsTheFileLineEndingsAndFailsWithoutItsFolder) {
  QTemporaryDir dir;
  ASSERT_TRUE(dir.isValid());
  const std::string path = dir.filePath("cnn.ini").toStdString();
  WriteAll(path, "[A]\nIP=1\n");
  ASSERT_TRUE(PrivateProfile::WriteString(path, "B", "IP", "2"));
  EXPECT_EQ(ReadAll(path), "[A]\nIP=1\n[B]\nIP=2\n");

  const std::string nowhere = dir.filePath("no/such/folder/x.ini").toStdString();
  EXPECT_FALSE(PrivateProfile::WriteString(nowhere, "A", "B", "C"));
}

// Removing the first of two same-named sections makes the second one found.
TEST(PrivateProfile, LookupsFollowEveryChangeOfTheLines) {
  PrivateProfile p("[A]\nk=1\n[B]\nk=2\n[a]\nk=3\n");
  ASSERT_TRUE(p.SetString("B", "j", "4"));
  EXPECT_EQ(p.GetInt("a", "k", 0), 1);
  ASSERT_TRUE(p.RemoveSection("A"));
  EXPECT_EQ(p.GetInt("A", "k", 0), 3);
  EXPECT_EQ(p.GetInt("B", "j", 0), 4);
  ASSERT_TRUE(p.RemoveKey("b", "K"));
  ASSERT_TRUE(p.SetString("C", "k", "5"));
  EXPECT_EQ(p.GetInt("c", "k", 0), 5);
  EXPECT_EQ(p.SectionNames(), (std::vector<std::string>{"B", "a", "C"}));
}

// A device or FIFO in place of a profile reads as missing and is never written.
TEST(PrivateProfileFile, NoPlainFileReadsAsMissing) {
  QTemporaryDir dir;
  ASSERT_TRUE(dir.isValid());
  const std::string fifo = dir.filePath("opt.ini").toStdString();
  ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
  for (const std::string& path : {std::string("/dev/zero"), fifo}) {
    EXPECT_FALSE(PrivateProfile::Load(path).has_value()) << path;
    EXPECT_EQ(PrivateProfile::ReadInt(path, "PTZ_CMD_INTERVAL", "CMD", 80), 80) << path;
  }
  EXPECT_FALSE(PrivateProfile::WriteString(fifo, "A", "B", "C"));
}
