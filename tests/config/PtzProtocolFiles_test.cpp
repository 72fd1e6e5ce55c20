// The protocol files shipped in res/PTZ: every record of cameras 1 to 8 must
// address its camera, carry the bits of its role and a valid checksum.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <vector>

#include "config/PtCommandFile.h"
#include "config/PtCommandTable.h"

namespace {

std::string SourceDir() {
  const char* dir = std::getenv("ARDEVIZ_SOURCE_DIR");
  return dir ? dir : std::filesystem::path(__FILE__).parent_path().parent_path().parent_path().string();
}

// Movement bits shared by both protocols (Pelco-D command 2, Pelco-P data 2).
constexpr int kRight = 0x02, kLeft = 0x04, kUp = 0x08, kDown = 0x10, kTele = 0x20, kWide = 0x40;
constexpr int kRoleBits[ptrole::kCount] = {
    0, kLeft, kRight, kUp, kDown, kLeft | kUp, kRight | kUp, kRight | kDown, kLeft | kDown, kTele, kWide, 0, 0};
constexpr const char* kRoleNames[ptrole::kCount] = {
    "STOP", "LEFT", "RIGHT", "UP", "DOWN", "LEFT_UP", "RIGHT_UP", "RIGHT_DOWN", "LEFT_DOWN", "ZOOM_IN", "ZOOM_OUT",
    "FOCUS_OUT", "FOCUS_IN"};

}  // namespace

TEST(PtzProtocolFiles, PelcoDAndPelcoPRecordsAreValid) {
  for (const bool pelcoD : {true, false}) {
    const std::string file = SourceDir() + (pelcoD ? "/res/PTZ/pelcoD.tl" : "/res/PTZ/pelcoP.tl");
    PtCommandTable table;
    ASSERT_EQ(LoadPtCommandFile(table, file), PtLoadResult::Loaded) << file;
    for (int camera = 1; camera <= 8; ++camera) {
      for (int role = 0; role < ptrole::kCount; ++role) {
        SCOPED_TRACE(testing::Message() << file << " camera " << camera << " role " << role);
        const PtCommandRecord& r = *table.Find(camera - 1, role);
        EXPECT_EQ(r.Name(), kRoleNames[role]);
        const std::vector<int> b(r.data.begin(), r.data.begin() + static_cast<std::ptrdiff_t>(r.SendLength()));
        ASSERT_EQ(b.size(), pelcoD ? 7u : 8u);
        EXPECT_EQ(b[0], pelcoD ? 0xFF : 0xA0);
        EXPECT_EQ(b[1], pelcoD ? camera : camera - 1);  // Pelco-P counts receivers from 0
        const bool in = role == ptrole::kFocusIn, out = role == ptrole::kFocusOut;
        EXPECT_EQ(b[2], pelcoD ? (in ? 0x01 : 0x00) : (out ? 0x01 : in ? 0x02 : 0x00));
        EXPECT_EQ(b[3], kRoleBits[role] | (pelcoD && out ? 0x80 : 0x00));
        EXPECT_EQ(b[4] != 0, (kRoleBits[role] & (kLeft | kRight)) != 0);  // pan speed only when panning
        EXPECT_EQ(b[5] != 0, (kRoleBits[role] & (kUp | kDown)) != 0);     // tilt speed only when tilting
        EXPECT_LE(std::max(b[4], b[5]), 0x3F);
        EXPECT_TRUE(pelcoD || b[6] == 0xAF) << "the Pelco-P end byte";
        // The checksum: Pelco-D sums bytes 1 to 5, Pelco-P XORs bytes 0 to 6.
        EXPECT_EQ(b.back(), pelcoD ? (b[1] + b[2] + b[3] + b[4] + b[5]) & 0xFF
                                   : b[0] ^ b[1] ^ b[2] ^ b[3] ^ b[4] ^ b[5] ^ b[6]);
      }
      EXPECT_EQ(table.Find(camera - 1, ptrole::kCount)->length, 0);
    }
  }
}
