#include "config/PtCommandFile.h"

#include <gtest/gtest.h>

#include <QTemporaryDir>
#include <vector>

#include <sys/stat.h>

#include "config/PtCommandTable.h"

namespace {

std::vector<int> AllBytes(const PtCommandRecord& r, int n) { return std::vector<int>(r.data.begin(), r.data.begin() + n); }
std::vector<int> Bytes(const PtCommandRecord& r) { return AllBytes(r, static_cast<int>(r.SendLength())); }

const PtCommandRecord& At(const PtCommandTable& t, int camera, int index) { return *t.Find(camera - 1, index); }

PtCommandTable Load(std::string_view text) {
  PtCommandTable table;
  LoadPtCommandText(table, text);
  return table;
}

}  // namespace

TEST(PtCommandFile, LineAfterAHeaderIsNeverAHeader) {
  const PtCommandTable t = Load("<2>\n<3>\nB/1/01/\n");
  EXPECT_EQ(At(t, 2, 0).Name(), "<3>");
  EXPECT_EQ(At(t, 2, 0).length, 0);
  // The next line still belongs to bank 2.
  EXPECT_EQ(At(t, 2, 1).Name(), "B");
  EXPECT_EQ(At(t, 3, 0).Name(), "");
}

TEST(PtCommandFile, HeaderNineOrMoreEndsTheReading) {
  const PtCommandTable t = Load("<1>\nA/1/01/\n<9>\nB/1/02/\n<2>\nC/1/03/\n");
  EXPECT_EQ(At(t, 1, 0).Name(), "A");
  EXPECT_EQ(At(t, 1, 1).Name(), "");
  EXPECT_EQ(At(t, 2, 0).Name(), "");
  const PtCommandTable big = Load("<1>\nA/1/01/\n<12345>\n\n<2>\nC/1/03/\n");
  EXPECT_EQ(At(big, 2, 0).Name(), "");
}

TEST(PtCommandFile, SeparatorsCollapseAndRecordsStartCleared) {
  PtCommandTable t;
  LoadPtCommandText(t, "<1>\nOLD/4/11/22/33/44/\n");
  LoadPtCommandText(t, "<1>\nX/3/ff/\nAB/2/1/f/\n//AB//2//1//f//\n////\nlast\n");
  EXPECT_EQ(At(t, 1, 0).length, 3);
  EXPECT_EQ(AllBytes(At(t, 1, 0), 4), (std::vector<int>{255, 0, 0, 0}));
  EXPECT_EQ(Bytes(At(t, 1, 1)), (std::vector<int>{1, 15}));
  EXPECT_EQ(At(t, 1, 2).Name(), "AB");
  EXPECT_EQ(Bytes(At(t, 1, 2)), (std::vector<int>{1, 15}));
  EXPECT_EQ(At(t, 1, 3).Name(), "");  // only separators: an empty record that still counts
  EXPECT_EQ(At(t, 1, 3).length, 0);
  EXPECT_EQ(At(t, 1, 4).Name(), "last");  // no length field
  EXPECT_EQ(At(t, 1, 4).length, 0);
  EXPECT_EQ(t.FillCounter(), 5);
}

TEST(PtCommandFile, HexFollowsTheDigitRule) {
  const PtCommandTable t = Load("<1>\nH/6/1ff/FF/aB/0/zz/!/\n");
  // 1ff keeps the low 8 bits; 'Z' counts 35; '!' is 33 - 48 = -15.
  EXPECT_EQ(Bytes(At(t, 1, 0)), (std::vector<int>{0xff, 0xff, 0xab, 0, (35 * 16 + 35) & 0xff, (-15) & 0xff}));
}

TEST(PtCommandFile, DigitAtTheStartOfANameMakesAHeader) {
  const PtCommandTable t = Load("<1>\nfirst/1/01/\n2X/1/ff/\nY/1/02/\n0X/1/03/\nX2/1/04/\n");
  EXPECT_EQ(At(t, 1, 0).Name(), "first");
  EXPECT_EQ(At(t, 1, 1).Name(), "");    // 2X switched to bank 2 ...
  EXPECT_EQ(At(t, 2, 0).Name(), "Y");   // ... and its next line was a record
  EXPECT_EQ(At(t, 2, 1).Name(), "0X");
  EXPECT_EQ(At(t, 2, 2).Name(), "X2");
}

TEST(PtCommandFile, BoundsOfTheTableHold) {
  std::string text = "<1>\n";
  for (int i = 0; i < 35; ++i) text += "R" + std::to_string(i) + "/1/" + std::to_string(i % 10) + "/\n";
  text += "<2>\n" + std::string(100, 'N') + "/40/";
  for (int i = 0; i < 40; ++i) text += "7/";
  text += "\nNEG/-4/01/\n";
  const PtCommandTable t = Load(text);
  EXPECT_EQ(At(t, 1, 29).Name(), "R29");
  EXPECT_EQ(t.FillCounter(), 2);
  EXPECT_EQ(At(t, 2, 0).Name(), std::string(63, 'N'));
  EXPECT_EQ(At(t, 2, 0).length, 32);
  EXPECT_EQ(Bytes(At(t, 2, 0)), std::vector<int>(32, 7));
  EXPECT_EQ(At(t, 2, 1).length, 0);
  EXPECT_EQ(At(t, 2, 1).SendLength(), 0u);
}

TEST(PtCommandFile, LongLinesArriveInPiecesOf255) {
  // 254 name characters and one '/' fill the first piece; the rest "2/1/ff/" is
  // a line of its own, and its leading digit makes it a header.
  const std::string name(254, 'a');
  const PtCommandTable t = Load("<1>\n" + name + "/2/1/ff/\nNEXT/1/05/\n");
  EXPECT_EQ(At(t, 1, 0).Name(), std::string(63, 'a'));
  EXPECT_EQ(At(t, 1, 0).length, 0);
  EXPECT_EQ(At(t, 2, 0).Name(), "NEXT");
  // CR LF counts as one character, as in a text-mode read: this header line
  // fits one piece, so the line after it is "<2>", taken as a record.
  const PtCommandTable crlf = Load("<1>" + std::string(251, ' ') + "\r\n<2>\nZ/1/01/\n");
  EXPECT_EQ(At(crlf, 1, 0).Name(), "<2>");
  EXPECT_EQ(At(crlf, 1, 1).Name(), "Z");
}

TEST(PtCommandFile, NoPathAndUnopenablePathsAreReported) {
  QTemporaryDir dir;
  ASSERT_TRUE(dir.isValid());
  PtCommandTable t;
  EXPECT_EQ(LoadPtCommandFile(t, ""), PtLoadResult::NoPath);
  EXPECT_EQ(LoadPtCommandFile(t, dir.filePath("missing.tl").toStdString()), PtLoadResult::CannotOpen);
  EXPECT_EQ(LoadPtCommandFile(t, dir.path().toStdString()), PtLoadResult::CannotOpen);
  // A device or a FIFO in place of the file cannot be opened: it never spins or blocks.
  const std::string fifo = dir.filePath("fifo.tl").toStdString();
  ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
  EXPECT_EQ(LoadPtCommandFile(t, fifo), PtLoadResult::CannotOpen);
  EXPECT_EQ(LoadPtCommandFile(t, "/dev/zero"), PtLoadResult::CannotOpen);
  EXPECT_EQ(t.FillCounter(), 0);
}
