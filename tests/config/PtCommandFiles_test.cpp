// Pan/tilt command files: the reading rules of the text, paths that cannot be
// opened, and the protocol files shipped in res/PTZ, where every record of
// cameras 1 to 8 must address its camera, ask for its role's move and carry a
// valid checksum.
#include <gtest/gtest.h>

#include <QTemporaryDir>

#include <algorithm>
#include <array>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <tuple>
#include <vector>
#include <sys/stat.h>

#include "config/PtCommandFile.h"
#include "config/PtCommandTable.h"
#include "sim/PelcoDecoder.h"

namespace {

// "name|length|bytes sent, in hex" of camera's record at index.
std::string Show(const PtCommandTable& t, int camera, int index) {
  const PtCommandRecord& r = *t.Find(camera - 1, index);
  std::string s = std::string(r.Name()) + "|" + std::to_string(r.length) + "|";
  char hex[3];
  for (std::size_t i = 0; i < r.SendLength(); ++i) s += (std::snprintf(hex, sizeof hex, "%02x", r.data[i]), hex);
  return s;
}

TEST(PtCommandFile, LinesFollowTheReadingRules) {
  std::string bounds = "<1>\n", sevens;
  for (int i = 0; i < 35; ++i) bounds += "R" + std::to_string(i) + "/1/" + std::to_string(i % 10) + "/\n";
  bounds += "<2>\n" + std::string(100, 'N') + "/40/";
  for (int i = 0; i < 40; ++i) bounds += "7/", sevens += i < 32 ? "07" : "";
  bounds += "\nNEG/-4/01/\n";
  using Record = std::tuple<int, int, std::string>;  // camera, index, Show()
  const std::pair<std::string, std::vector<Record>> cases[] = {  // the file's text, what is read of it
      // The line after a header is never a header.
      {"<2>\n<3>\nB/1/01/\n", {{2, 0, "<3>|0|"}, {2, 1, "B|1|01"}, {3, 0, "|0|"}}},
      // A header of nine or more ends the reading.
      {"<1>\nA/1/01/\n<9>\nB/1/02/\n<2>\nC/1/03/\n", {{1, 0, "A|1|01"}, {1, 1, "|0|"}, {2, 0, "|0|"}}},
      // Separators collapse; a line of separators only is an empty record that counts.
      {"<1>\nX/3/ff/\nAB/2/1/f/\n//AB//2//1//f//\n////\nlast\n",
       {{1, 0, "X|3|ff0000"}, {1, 1, "AB|2|010f"}, {1, 2, "AB|2|010f"}, {1, 3, "|0|"}, {1, 4, "last|0|"}}},
      // Hex digits: 1ff keeps the low 8 bits, 'Z' counts 35, '!' is 33 - 48 = -15.
      {"<1>\nH/6/1ff/FF/aB/0/zz/!/\n", {{1, 0, "H|6|ffffab0053f1"}}},
      // A digit at the start of a name makes a header, and its next line a record.
      {"<1>\nfirst/1/01/\n2X/1/ff/\nY/1/02/\n0X/1/03/\nX2/1/04/\n",
       {{1, 0, "first|1|01"}, {1, 1, "|0|"}, {2, 0, "Y|1|02"}, {2, 1, "0X|1|03"}, {2, 2, "X2|1|04"}}},
      // 30 records a camera, 63 name characters, 32 bytes, no negative length.
      {bounds, {{1, 29, "R29|1|09"}, {2, 0, std::string(63, 'N') + "|32|" + sevens}, {2, 1, "NEG|0|"}}},
      // Lines arrive in pieces of 255: the rest "2/1/ff/" of a long line is a
      // line of its own, a header by its leading digit.
      {"<1>\n" + std::string(254, 'a') + "/2/1/ff/\nNEXT/1/05/\n",
       {{1, 0, std::string(63, 'a') + "|0|"}, {2, 0, "NEXT|1|05"}}},
      // CR LF counts as one character, as in a text-mode read: "<2>" is a record.
      {"<1>" + std::string(251, ' ') + "\r\n<2>\nZ/1/01/\n", {{1, 0, "<2>|0|"}, {1, 1, "Z|1|01"}}},
  };
  for (const auto& [text, records] : cases) {
    PtCommandTable t;
    LoadPtCommandText(t, text);
    for (const auto& [camera, index, expected] : records)
      EXPECT_EQ(Show(t, camera, index), expected) << text.substr(0, 40) << " camera " << camera << " #" << index;
  }
}

TEST(PtCommandFile, UnopenablePathsAreReportedAndRecordsStartCleared) {
  QTemporaryDir dir;
  PtCommandTable t;
  EXPECT_EQ(LoadPtCommandFile(t, ""), PtLoadResult::NoPath);
  // A device or a FIFO in place of the file cannot be opened: it never spins or blocks.
  const std::string fifo = dir.filePath("fifo.tl").toStdString();
  ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
  for (const std::string& path : {dir.filePath("missing.tl").toStdString(), dir.path().toStdString(), fifo,
                                  std::string("/dev/zero")})
    EXPECT_EQ(LoadPtCommandFile(t, path), PtLoadResult::CannotOpen) << path;
  EXPECT_EQ(t.FillCounter(), 0);

  // A record is cleared before it is read; the empty record of a line of separators counts too.
  LoadPtCommandText(t, "<1>\nOLD/4/11/22/33/44/\n");
  LoadPtCommandText(t, "<1>\nX/3/ff/\n////\n");
  EXPECT_EQ(std::vector<int>(t.Find(0, 0)->data.begin(), t.Find(0, 0)->data.begin() + 4), (std::vector{255, 0, 0, 0}));
  EXPECT_EQ(t.FillCounter(), 2);
}

std::string SourceDir() {
  const char* dir = std::getenv("ARDEVIZ_SOURCE_DIR");
  return dir ? dir : std::filesystem::path(__FILE__).parent_path().parent_path().parent_path().string();
}

// What each role asks of the camera: pan, tilt, zoom, focus (+1 right, up, in, far).
constexpr std::array<std::array<int, 4>, ptrole::kCount> kRoleMoves = {{{0, 0, 0, 0}, {-1, 0, 0, 0}, {1, 0, 0, 0},
    {0, 1, 0, 0}, {0, -1, 0, 0}, {-1, 1, 0, 0}, {1, 1, 0, 0}, {1, -1, 0, 0}, {-1, -1, 0, 0}, {0, 0, 1, 0},
    {0, 0, -1, 0}, {0, 0, 0, 1}, {0, 0, 0, -1}}};

// Every record of cameras 1 to 8, read as the simulated camera reads it: one
// message of the file's protocol, for its camera, with a valid checksum,
// asking for its role's move at a speed only on the axes it moves.
TEST(PtzProtocolFiles, PelcoDAndPelcoPRecordsAreValid) {
  for (const bool pelcoD : {true, false}) {
    const std::string file = SourceDir() + (pelcoD ? "/res/PTZ/pelcoD.tl" : "/res/PTZ/pelcoP.tl");
    PtCommandTable table;
    ASSERT_EQ(LoadPtCommandFile(table, file), PtLoadResult::Loaded) << file;
    for (int camera = 1; camera <= 8; ++camera) {
      for (int role = 0; role < ptrole::kCount; ++role) {
        SCOPED_TRACE(testing::Message() << file << " camera " << camera << " role " << role);
        const PtCommandRecord& r = *table.Find(camera - 1, role);
        const auto sent = PelcoDecoder::Decode(std::span(r.data.data(), r.SendLength()));
        ASSERT_EQ(sent.size(), 1u);
        const PtzCommand& c = sent[0];
        EXPECT_EQ(c.protocol, pelcoD ? PtzCommand::Protocol::PelcoD : PtzCommand::Protocol::PelcoP);
        EXPECT_TRUE(c.checksumOk && !c.extended && c.iris == 0 && c.otherBits == 0);
        EXPECT_EQ((std::array{c.channel, c.pan, c.tilt, c.zoom, c.focus}),
                  (std::array{camera, kRoleMoves[role][0], kRoleMoves[role][1], kRoleMoves[role][2], kRoleMoves[role][3]}));
        EXPECT_EQ((std::array{c.panSpeed != 0, c.tiltSpeed != 0}), (std::array{c.pan != 0, c.tilt != 0}));
        EXPECT_LE(std::max(r.data[4], r.data[5]), 0x3F) << "speeds within the protocol's maximum";
      }
      EXPECT_EQ(table.Find(camera - 1, ptrole::kCount)->length, 0);
    }
  }
}

}  // namespace
