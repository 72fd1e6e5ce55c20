// The protocol files shipped in res/PTZ: every record of cameras 1 to 8 must
// address its camera, carry the bits of its role and a valid checksum.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <vector>

#include "config/PtCommandFile.h"
#include "config/PtCommandTable.h"

namespace {

std::string SourceDir() {
  if (const char* dir = std::getenv("ARDEVIZ_SOURCE_DIR")) return dir;
  return std::filesystem::path(__FILE__).parent_path().parent_path().parent_path().string();
}

PtCommandTable LoadShipped(const char* file) {
  PtCommandTable table;
  EXPECT_EQ(LoadPtCommandFile(table, SourceDir() + "/res/PTZ/" + file), PtLoadResult::Loaded) << file;
  return table;
}

std::vector<std::uint8_t> Bytes(const PtCommandRecord& r) {
  return std::vector<std::uint8_t>(r.data.begin(), r.data.begin() + static_cast<std::ptrdiff_t>(r.SendLength()));
}

// Movement bits shared by both protocols (Pelco-D command 2, Pelco-P data 2).
constexpr std::uint8_t kRight = 0x02, kLeft = 0x04, kUp = 0x08, kDown = 0x10, kTele = 0x20, kWide = 0x40;
constexpr std::uint8_t kRoleBits[ptrole::kCount] = {
    0, kLeft, kRight, kUp, kDown, kLeft | kUp, kRight | kUp, kRight | kDown, kLeft | kDown, kTele, kWide, 0, 0};
constexpr const char* kRoleNames[ptrole::kCount] = {"STOP",       "LEFT",      "RIGHT",   "UP",      "DOWN",
                                                    "LEFT_UP",    "RIGHT_UP",  "RIGHT_DOWN", "LEFT_DOWN",
                                                    "ZOOM_IN",    "ZOOM_OUT",  "FOCUS_OUT", "FOCUS_IN"};

bool Pans(int role) { return (kRoleBits[role] & (kLeft | kRight)) != 0; }
bool Tilts(int role) { return (kRoleBits[role] & (kUp | kDown)) != 0; }

}  // namespace

TEST(PtzProtocolFiles, PelcoDRecordsAreValid) {
  const PtCommandTable table = LoadShipped("pelcoD.tl");
  for (int camera = 1; camera <= 8; ++camera) {
    for (int role = 0; role < ptrole::kCount; ++role) {
      SCOPED_TRACE(testing::Message() << "camera " << camera << " role " << role);
      const PtCommandRecord& r = *table.Find(camera - 1, role);
      EXPECT_EQ(r.Name(), kRoleNames[role]);
      const auto b = Bytes(r);
      ASSERT_EQ(b.size(), 7u);
      EXPECT_EQ(b[0], 0xFF);
      EXPECT_EQ(b[1], camera);
      EXPECT_EQ(b[2], role == ptrole::kFocusIn ? 0x01 : 0x00);
      EXPECT_EQ(b[3], kRoleBits[role] | (role == ptrole::kFocusOut ? 0x80 : 0x00));
      EXPECT_EQ(b[4] != 0, Pans(role));
      EXPECT_EQ(b[5] != 0, Tilts(role));
      EXPECT_LE(b[4], 0x3F);
      EXPECT_LE(b[5], 0x3F);
      EXPECT_EQ(b[6], (b[1] + b[2] + b[3] + b[4] + b[5]) & 0xFF);
    }
    EXPECT_EQ(table.Find(camera - 1, ptrole::kCount)->length, 0);
  }
}

TEST(PtzProtocolFiles, PelcoPRecordsAreValid) {
  const PtCommandTable table = LoadShipped("pelcoP.tl");
  for (int camera = 1; camera <= 8; ++camera) {
    for (int role = 0; role < ptrole::kCount; ++role) {
      SCOPED_TRACE(testing::Message() << "camera " << camera << " role " << role);
      const PtCommandRecord& r = *table.Find(camera - 1, role);
      EXPECT_EQ(r.Name(), kRoleNames[role]);
      const auto b = Bytes(r);
      ASSERT_EQ(b.size(), 8u);
      EXPECT_EQ(b[0], 0xA0);
      EXPECT_EQ(b[1], camera - 1);  // Pelco-P counts receivers from 0
      EXPECT_EQ(b[2], role == ptrole::kFocusOut ? 0x01 : role == ptrole::kFocusIn ? 0x02 : 0x00);
      EXPECT_EQ(b[3], kRoleBits[role]);
      EXPECT_EQ(b[4] != 0, Pans(role));
      EXPECT_EQ(b[5] != 0, Tilts(role));
      EXPECT_LE(b[4], 0x3F);
      EXPECT_LE(b[5], 0x3F);
      EXPECT_EQ(b[6], 0xAF);
      std::uint8_t check = 0;
      for (int i = 0; i < 7; ++i) check ^= b[i];
      EXPECT_EQ(b[7], check);
    }
  }
}

TEST(PtzProtocolFiles, UserCommandFileIsEmpty) {
  EXPECT_EQ(std::filesystem::file_size(SourceDir() + "/res/PTZ/user_command.tl"), 0u);
}
