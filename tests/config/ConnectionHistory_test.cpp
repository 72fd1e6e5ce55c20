// The connection history file and the IP/PORT history dialog, each case in a
// temporary current folder.
#include <gtest/gtest.h>

#include <QDir>
#include <QTemporaryDir>
#include <QTreeWidget>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

#include "config/CIpHistoryDlg.h"
#include "config/ConnectionHistory.h"
#include "platform/Alerts.h"

namespace {

std::string ReadFile(const char* path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

void WriteFile(const char* path, const std::string& text) { std::ofstream(path, std::ios::binary) << text; }

class HistoryTest : public ::testing::Test {
 protected:
  void SetUp() override {
    m_previous = QDir::currentPath();
    QDir::setCurrent(m_dir.path());
    Alerts::SetMessageHook([](const Alerts::Message&) { return Alerts::kOk; });  // never block on a box
  }
  void TearDown() override { Alerts::SetMessageHook({}); QDir::setCurrent(m_previous); }

  QTemporaryDir m_dir;
  QString m_previous;
};

}  // namespace

TEST_F(HistoryTest, FirstOpeningCreatesTheFolderAndTheDefaultEntry) {
  // Names that merely begin with "ini" must not stop the folder being made.
  WriteFile("ini_notes.txt", "x");
  ASSERT_TRUE(QDir().mkdir(QStringLiteral("initial")));
  CIpHistoryDlg dialog;
  EXPECT_EQ(ReadFile(kHistoryFile), std::string("[INTRANET]\r\nIP=") + kDefaultHistoryAddress + "\r\nPORT=8000\r\n");
  ASSERT_EQ(dialog.RowCount(), 1);
  EXPECT_EQ(dialog.List()->topLevelItem(0)->text(1), QString::fromLatin1(kDefaultHistoryAddress));
}

TEST_F(HistoryTest, AddingMakesTheFolderAndRewritesTheSectionUnlessItsAddressContainsTheLabel) {
  AddConnectionHistory(QStringLiteral("A"), QStringLiteral("127.0.0.1"), QStringLiteral("9000"));
  EXPECT_EQ(ReadFile(kHistoryFile), "[A]\r\nIP=127.0.0.1\r\nPORT=9000\r\n");  // no ini folder before
  AddConnectionHistory(QStringLiteral("B"), QStringLiteral("127.0.0.5"), QStringLiteral("9001"));
  AddConnectionHistory(QStringLiteral("A"), QStringLiteral("127.0.0.2"), QStringLiteral("9000"));
  EXPECT_EQ(ReadFile(kHistoryFile), "[A]\r\nIP=127.0.0.2\r\nPORT=9000\r\n[B]\r\nIP=127.0.0.5\r\nPORT=9001\r\n");

  // A label equal to its stored address is left alone, even with a new port;
  // an empty label is contained in every address: nothing is written.
  AddConnectionHistory(QStringLiteral("127.0.0.1"), QStringLiteral("127.0.0.1"), QStringLiteral("9000"));
  const std::string before = ReadFile(kHistoryFile);
  AddConnectionHistory(QStringLiteral("127.0.0.1"), QStringLiteral("127.0.0.9"), QStringLiteral("9100"));
  AddConnectionHistory(QString(), QStringLiteral("127.0.0.3"), QStringLiteral("9000"));
  EXPECT_EQ(ReadFile(kHistoryFile), before);
}

// 20,000 entries list in file order; a delete keeps every other entry and
// writes a new file renamed over the old one, so the old file is never cut
// open (a second name of it still holds the whole history) and no temporary
// is left behind.
TEST_F(HistoryTest, LargeHistoryListsWholeAndADeleteReplacesTheFile) {
  ASSERT_TRUE(QDir().mkdir(QStringLiteral("ini")));
  constexpr int kEntries = 20000;
  std::string text;
  for (int i = 0; i < kEntries; ++i)
    text += "[R" + std::to_string(i) + "]\r\nIP=127.0.0." + std::to_string(i % 250) + "\r\nPORT=" +
            std::to_string(1000 + i) + "\r\n";
  WriteFile(kHistoryFile, text);
  const auto entries = ReadConnectionHistory();
  ASSERT_TRUE(entries.has_value());
  ASSERT_EQ(entries->size(), static_cast<std::size_t>(kEntries));
  EXPECT_EQ(entries->back(), (HistoryEntry{"R19999", "127.0.0.249", "20999"}));

  std::filesystem::create_hard_link(kHistoryFile, "ini/old.ini");
  RemoveConnectionHistory(QStringLiteral("R7"));
  EXPECT_EQ(ReadFile("ini/old.ini"), text);
  const std::size_t from = text.find("[R7]"), to = text.find("[R8]");
  EXPECT_EQ(ReadFile(kHistoryFile), text.erase(from, to - from));
  EXPECT_FALSE(std::filesystem::exists(std::string(kHistoryFile) + ".tmp"));
}

TEST_F(HistoryTest, ListingTakesBracketedPiecesAndEmptyKeys) {
  ASSERT_TRUE(QDir().mkdir(QStringLiteral("ini")));
  WriteFile(kHistoryFile, "[A]\r\nIP=127.0.0.1\r\nPORT=9000\r\n\r\nstray line\r\n[Empty]\r\n[NoClose\r\n");
  EXPECT_EQ(ReadConnectionHistory(),
            (std::vector<HistoryEntry>{{"A", "127.0.0.1", "9000"}, {"Empty", "", ""}}));
  // Long lines are read in pieces of 383 characters; the pieces join up again.
  const auto pieces = SplitHistoryPieces(std::string(1000, 'x') + "\r\n[A]\r\n");
  EXPECT_EQ(pieces.size(), 4u);
  EXPECT_EQ(pieces[0].size(), kHistoryPieceChars);
}
