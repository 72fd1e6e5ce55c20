// The Configurations dialog and its Connections page, driven without a modal
// loop, and the connection history file with its IP/PORT dialog; each case in
// a temporary current folder, message boxes caught.
#include <gtest/gtest.h>

#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTreeWidget>

#include <fstream>
#include <iterator>
#include <string>
#include <tuple>
#include <vector>

#include "config/CConfigConnections.h"
#include "config/CConfigurationsDlg.h"
#include "config/CIpHistoryDlg.h"
#include "config/ConnectionHistory.h"
#include "config/IpAddressEdit.h"
#include "config/ViewerSettings.h"
#include "platform/LocalFile.h"
#include "tests/viewer/ShellTestSupport.h"

namespace {

std::string ReadFile(const char* path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

void WriteFile(const char* path, const std::string& text) { std::ofstream(path, std::ios::binary) << text; }

class ConfigTest : public ::testing::Test {
 protected:
  TemporaryWorkingFolder m_folder;
  AlertRecorder m_alerts;
  ViewerSettings m_settings{.userId = "admin", .password = "1", .hostAddress = "127.0.0.1",
                            .recordFolder = "/tmp/Backup", .hostPort = 8000, .requestSpeed = 4,
                            .ptzFilePath = {}, .ipLabel = "INTRANET"};
};

}  // namespace

TEST_F(ConfigTest, OkStoresPositionsFlagsAndCutTextsAndAnEmptyNameAsUntitled) {
  CConfigurationsDlg dialog(m_settings);
  CConfigConnections* page = dialog.Page();
  page->PtTypes()->setCurrentIndex(5);
  page->ScanRate()->setCurrentIndex(0);
  page->RecordInterval()->setCurrentIndex(12);
  page->RecordFormat()->setCurrentIndex(1);
  page->FullScreen()->setChecked(true);
  page->DisplayDate()->setChecked(true);
  page->UserIdEdit()->setText(QString(100, QLatin1Char('u')));
  page->PasswordEdit()->setText(QString(50, QLatin1Char('p')));
  page->NameEdit()->setText(QString(90, QLatin1Char('n')));
  page->RecordFolderEdit()->setText(QString(300, QLatin1Char('f')));
  page->PortEdit()->setText(QStringLiteral("65535"));  // the largest port taken
  dialog.show();
  dialog.OkButton()->click();

  EXPECT_EQ(dialog.result(), QDialog::Accepted);
  EXPECT_TRUE(m_alerts.messages.empty());
  EXPECT_EQ(std::make_tuple(m_settings.ptzType, m_settings.requestSpeed, m_settings.recordInterval,
                            m_settings.useFullScreen, m_settings.dateShow, m_settings.hostPort, m_settings.recordFormat),
            std::make_tuple(5, 0, 12, 1u, 1, 65535u, 1));
  EXPECT_EQ(m_settings.userId + m_settings.password + m_settings.ipLabel,
            QString(63, 'u') + QString(31, 'p') + QString(63, 'n'));
  EXPECT_EQ(m_settings.recordFolder, QString(300, QLatin1Char('f')));  // a path is never cut
  // The history entry takes the control's text, up to 127 characters.
  const std::string first = "[" + std::string(90, 'n') + "]\r\nIP=127.0.0.1\r\nPORT=65535\r\n";
  EXPECT_EQ(ReadFile(kHistoryFile), first);

  // An empty name gives an untitled entry, shown as such next time.
  {
    CConfigurationsDlg second(m_settings);
    second.Page()->NameEdit()->clear();
    second.Page()->IpAddress()->setText(QStringLiteral("127.0.0.2"));
    second.OkButton()->click();
  }
  EXPECT_TRUE(m_settings.ipLabel.isEmpty());
  EXPECT_EQ(ReadFile(kHistoryFile), first + "[UNTITLE]\r\nIP=127.0.0.2\r\nPORT=65535\r\n");
  CConfigurationsDlg next(m_settings);
  EXPECT_EQ(next.Page()->NameEdit()->text(), QStringLiteral("UNTITLE"));
}

TEST_F(ConfigTest, PortsOutsideOneTo65535AreRefused) {
  for (const char* port : {"0", "65536", "", "99999999999999999999"}) {
    CConfigurationsDlg dialog(m_settings);
    dialog.Page()->PortEdit()->setText(QString::fromLatin1(port));
    dialog.Page()->UserIdEdit()->setText(QStringLiteral("changed"));
    m_alerts.messages.clear();
    dialog.show();
    dialog.OkButton()->click();  // refused: one message, the dialog stays open
    ASSERT_EQ(m_alerts.messages.size(), 1u) << port;
    EXPECT_EQ(m_alerts.messages[0].text, "Please enter an integer between 1 and 65535.") << port;
    EXPECT_TRUE(dialog.isVisible());
    EXPECT_EQ(std::make_pair(m_settings.hostPort, m_settings.userId), std::make_pair(8000u, QString("admin"))) << port;
    dialog.reject();
  }
  EXPECT_FALSE(QFile::exists(QString::fromLatin1(kHistoryFile)));
}

TEST_F(ConfigTest, FirstOpeningCreatesTheFolderAndTheDefaultEntry) {
  // Names that merely begin with "ini" must not stop the folder being made.
  WriteFile("ini_notes.txt", "x");
  ASSERT_TRUE(QDir().mkdir(QStringLiteral("initial")));
  CIpHistoryDlg dialog;
  EXPECT_EQ(ReadFile(kHistoryFile), std::string("[INTRANET]\r\nIP=") + kDefaultHistoryAddress + "\r\nPORT=8000\r\n");
  ASSERT_EQ(dialog.RowCount(), 1);
  EXPECT_EQ(dialog.List()->topLevelItem(0)->text(1), QString::fromLatin1(kDefaultHistoryAddress));
}

TEST_F(ConfigTest, AddingMakesTheFolderAndRewritesTheSectionUnlessItsAddressContainsTheLabel) {
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

// An entry that would take the history past what it reads is refused and said
// so; the file stays as it was, readable.
TEST_F(ConfigTest, AnEntryPastTheReadBoundIsRefusedAndSaid) {
  ASSERT_TRUE(QDir().mkdir(QStringLiteral("ini")));
  const std::string full = "[A]\r\nIP=127.0.0.1\r\n;" + std::string(LocalFile::kProfileBound - 30, 'x') + "\r\n";
  WriteFile(kHistoryFile, full);
  CConfigurationsDlg(m_settings).OkButton()->click();
  ASSERT_EQ(m_alerts.messages.size(), 1u);
  EXPECT_EQ(m_alerts.messages[0].text, CConfigConnections::kHistoryNotAddedText);
  EXPECT_TRUE(ReadFile(kHistoryFile) == full && ReadConnectionHistory()->size() == 1u);
}

// Only bracketed names start entries, keys may be missing; 20,000 entries list
// in file order; a delete keeps every other entry (the rewrite through a
// temporary file is LocalFile's and tested there).
TEST_F(ConfigTest, ListingTakesBracketedPiecesAndALargeHistoryWholeAndADeleteKeepsTheRest) {
  ASSERT_TRUE(QDir().mkdir(QStringLiteral("ini")));
  WriteFile(kHistoryFile, "[A]\r\nIP=127.0.0.1\r\nPORT=9000\r\n\r\nstray line\r\n[Empty]\r\n[NoClose\r\n");
  EXPECT_EQ(ReadConnectionHistory(),
            (std::vector<HistoryEntry>{{"A", "127.0.0.1", "9000"}, {"Empty", "", ""}}));

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

  RemoveConnectionHistory(QStringLiteral("R7"));
  const std::size_t from = text.find("[R7]"), to = text.find("[R8]");
  EXPECT_EQ(ReadFile(kHistoryFile), text.erase(from, to - from));
}
