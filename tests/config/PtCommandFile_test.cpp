#include "config/PtCommandFile.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QTemporaryDir>
#include <fstream>
#include <vector>

#include "config/PtCommandTable.h"
#include "config/PtzFilePath.h"

namespace {

std::vector<int> Bytes(const PtCommandRecord& r) {
  return std::vector<int>(r.data.begin(), r.data.begin() + static_cast<std::ptrdiff_t>(r.SendLength()));
}

std::vector<int> AllBytes(const PtCommandRecord& r, int n) { return std::vector<int>(r.data.begin(), r.data.begin() + n); }

const PtCommandRecord& At(const PtCommandTable& t, int camera, int index) { return *t.Find(camera - 1, index); }

PtCommandTable Load(std::string_view text) {
  PtCommandTable table;
  LoadPtCommandText(table, text);
  return table;
}

}  // namespace

TEST(PtCommandFile, CanonicalRecordsLoadIntoTheirBank) {
  const PtCommandTable t = Load("<1>\r\nSTOP/2/1f/00/\r\nLEFT/2/1f/04/\r\n<2>\nA/1/ff/\n");
  EXPECT_EQ(At(t, 1, 0).Name(), "STOP");
  EXPECT_EQ(Bytes(At(t, 1, 0)), (std::vector<int>{0x1f, 0x00}));
  EXPECT_EQ(At(t, 1, 1).Name(), "LEFT");
  EXPECT_EQ(Bytes(At(t, 1, 1)), (std::vector<int>{0x1f, 0x04}));
  EXPECT_EQ(At(t, 2, 0).Name(), "A");
  EXPECT_EQ(At(t, 2, 0).length, 1);
  EXPECT_EQ(Bytes(At(t, 2, 0)), (std::vector<int>{255}));
  EXPECT_EQ(t.FillCounter(), 1);
  EXPECT_EQ(At(t, 1, 2).length, 0);
}

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

TEST(PtCommandFile, RepeatedHeaderRefillsFromRecordZero) {
  const PtCommandTable t = Load("<1>\nA/1/01/\nB/1/02/\nC/1/03/\n<2>\nX/1/09/\n<1>\nD/1/04/\n");
  EXPECT_EQ(At(t, 1, 0).Name(), "D");
  EXPECT_EQ(At(t, 1, 1).Name(), "B");  // beyond the new count, the earlier pass stays
  EXPECT_EQ(At(t, 1, 2).Name(), "C");
  EXPECT_EQ(At(t, 2, 0).Name(), "X");
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

TEST(PtCommandFile, EmptyLinesAndLinesOutsideBanksAreSkipped) {
  const PtCommandTable t = Load("before/1/01/\n<1>\n\r\n\n\r\r\nA/1/01/\n<>\n");
  EXPECT_EQ(At(t, 1, 0).Name(), "A");
  // A line of only '<' and '>' reads as no number: a record line of bank 1.
  EXPECT_EQ(At(t, 1, 1).Name(), "<>");
  for (int bank = 1; bank <= 8; ++bank) EXPECT_NE(At(t, bank, 0).Name(), "before");
}

TEST(PtCommandFile, FileEndingAfterAHeaderLeavesTheBankAlone) {
  PtCommandTable t;
  LoadPtCommandText(t, "<3>\nKEEP/1/01/\n");
  LoadPtCommandText(t, "<3>");
  EXPECT_EQ(At(t, 3, 0).Name(), "KEEP");
  LoadPtCommandText(t, "<3>\r\n");
  EXPECT_EQ(At(t, 3, 0).Name(), "KEEP");
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

TEST(PtCommandFile, NulBytesEndTheVisibleLine) {
  const PtCommandTable t = Load(std::string("<1>\nAB\0/9/ff/\n\0<5>\nC/1/01/\n", 27));
  EXPECT_EQ(At(t, 1, 0).Name(), "AB");
  EXPECT_EQ(At(t, 1, 0).length, 0);
  EXPECT_EQ(At(t, 1, 1).Name(), "C");
}

TEST(PtCommandFile, FilesAndPaths) {
  QTemporaryDir dir;
  ASSERT_TRUE(dir.isValid());
  PtCommandTable t;
  EXPECT_EQ(LoadPtCommandFile(t, ""), PtLoadResult::NoPath);
  EXPECT_EQ(LoadPtCommandFile(t, dir.filePath("missing.tl").toStdString()), PtLoadResult::CannotOpen);
  EXPECT_EQ(LoadPtCommandFile(t, dir.path().toStdString()), PtLoadResult::CannotOpen);
  const std::string path = dir.filePath("x.tl").toStdString();
  std::ofstream(path, std::ios::binary) << "<4>\r\nA/1/ff/\r\n";
  EXPECT_EQ(LoadPtCommandFile(t, path), PtLoadResult::Loaded);
  EXPECT_EQ(Bytes(At(t, 4, 0)), (std::vector<int>{255}));

  const QString cwd = QDir::currentPath();
  ASSERT_TRUE(QDir::setCurrent(dir.path()));
  const std::string base = QDir::currentPath().toStdString();
  EXPECT_EQ(PtzFilePathForType(0), base + "/PTZ/pelcoD.tl");
  EXPECT_EQ(PtzFilePathForType(1), base + "/PTZ/pelcoP.tl");
  EXPECT_EQ(PtzFilePathForType(5), base + "/PTZ/dsc_230s.tl");
  EXPECT_EQ(PtzFilePathForType(6), "");
  EXPECT_EQ(PtzFilePathForType(-1), "");
  EXPECT_EQ(PtzUserCommandPath(), base + "/PTZ/user_command.tl");
  QDir::setCurrent(cwd);

  PtCommandTable before;
  LoadPtCommandText(before, "<1>\nA/1/01/\n");
  PtCommandTable after = before;
  EXPECT_EQ(LoadPtCommandFile(after, PtzFilePathForType(6)), PtLoadResult::NoPath);
  EXPECT_EQ(At(after, 1, 0).Name(), "A");
}
