#include <gtest/gtest.h>

#include <QTemporaryDir>

#include <fstream>
#include <iterator>
#include <sys/stat.h>

#include "platform/PrivateProfile.h"

namespace {

std::string ReadAll(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

}  // namespace

// Names match case-insensitively and trimmed, the first match wins; a write
// keeps every other line; what could not be read back as written is refused.
TEST(PrivateProfile, ReadsFirstMatchesWritesInPlaceAndRefusesUnreadableNames) {
  const PrivateProfile r("[ptz_cmd_interval]\r\n  Cmd = 95  \r\nSTOP=75\r\ncmd=1\r\n[PTZ_CMD_INTERVAL]\r\nSTOP=1\r\n");
  EXPECT_EQ(std::vector({r.GetInt("PTZ_CMD_INTERVAL", "CMD", 80), r.GetInt(" Ptz_Cmd_Interval ", "stop", 70),
                         r.GetInt("PTZ_CMD_INTERVAL", "missing", 80), r.GetInt("OTHER", "CMD", 80)}),
            std::vector({95, 75, 80, 80}));

  PrivateProfile p("; comment\n[One]\nip = 1\n\n[Two]\nx=1\ny=2");
  ASSERT_TRUE(p.SetString("one", "IP", "9"));       // in place, key spelled as in the file
  ASSERT_TRUE(p.SetString("ONE", "port", "8000"));  // after the last non-blank line of [One]
  ASSERT_TRUE(p.SetString("Two", "z", "3"));        // the last line had no ending
  ASSERT_TRUE(p.SetString("Three", "k", "v"));
  const std::string written = "; comment\n[One]\nip=9\nport=8000\n\n[Two]\nx=1\ny=2\nz=3\n[Three]\nk=v\n";
  EXPECT_EQ(p.Text(), written);
  EXPECT_EQ(p.KeyNames("two"), (std::vector<std::string>{"x", "y", "z"}));
  const char* refused[][3] = {{"One", "k", "line\r\nbreak"}, {"One", "k=x", "v"}, {"One", "[k", "v"},
                              {"One", ";k", "v"}, {"One", "", "v"}, {"A]B", "k", "v"}, {"A\nB", "k", "v"},
                              {"", "k", "v"}};
  for (const auto& [section, key, value] : refused) EXPECT_FALSE(p.SetString(section, key, value)) << key;
  EXPECT_EQ(p.Text(), written);
}

// A missing file reads as defaults and a write creates it with CR LF; a file
// keeps its own line endings. With a device or FIFO in place of the file,
// writing fails: such a file reads as missing, never written.
TEST(PrivateProfileFile, CreatesKeepsLineEndingsAndNeverWritesWhatIsNoPlainFile) {
  QTemporaryDir dir;
  const std::string path = dir.filePath("opt.ini").toStdString(), fifo = dir.filePath("fifo.ini").toStdString();
  EXPECT_EQ(PrivateProfile::ReadString(path, "S", "K", "dflt"), "dflt");
  ASSERT_TRUE(PrivateProfile::WriteString(path, "PTZ_CMD_INTERVAL", "CMD", "120"));
  ASSERT_TRUE(PrivateProfile::WriteString(path, "ptz_cmd_interval", "STOP", "90"));
  EXPECT_EQ(ReadAll(path), "[PTZ_CMD_INTERVAL]\r\nCMD=120\r\nSTOP=90\r\n");
  EXPECT_EQ(PrivateProfile::ReadInt(path, "PTZ_CMD_INTERVAL", "STOP", 70), 90);
  std::ofstream(path, std::ios::binary) << "[A]\nIP=1\n";
  ASSERT_TRUE(PrivateProfile::WriteString(path, "B", "IP", "2"));
  EXPECT_EQ(ReadAll(path), "[A]\nIP=1\n[B]\nIP=2\n");

  ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
  for (const std::string& other : {std::string("/dev/zero"), fifo}) {
    EXPECT_FALSE(PrivateProfile::Load(other).has_value()) << other;
    EXPECT_EQ(PrivateProfile::ReadInt(other, "PTZ_CMD_INTERVAL", "CMD", 80), 80) << other;
  }
  EXPECT_FALSE(PrivateProfile::WriteString(fifo, "A", "B", "C"));
}
