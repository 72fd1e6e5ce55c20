// The Configurations dialog and its Connections page, driven without a modal
// loop in a temporary current folder; message boxes go to a hook.
#include <gtest/gtest.h>

#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QPushButton>
#include <QSettings>
#include <QTemporaryDir>
#include <QTest>
#include <QTreeWidget>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "config/CConfigConnections.h"
#include "config/CConfigurationsDlg.h"
#include "config/IpAddressEdit.h"
#include "config/PtzFilePath.h"
#include "platform/Alerts.h"
#include "viewer/CArdevizView.h"
#include "viewer/CIpHistoryDlg.h"
#include "viewer/ConnectionHistory.h"
#include "viewer/PtzViewBinding.h"
#include "viewer/ViewerSettings.h"

namespace {

std::string ReadFile(const char* path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

QStringList Entries(const QComboBox* combo) {
  QStringList entries;
  for (int i = 0; i < combo->count(); ++i) entries << combo->itemText(i);
  return entries;
}

class ConfigTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(m_dir.isValid());
    m_previous = QDir::currentPath();
    QDir::setCurrent(m_dir.path());
    ASSERT_TRUE(QDir().mkdir(QStringLiteral("ini")));
    Alerts::SetMessageHook([this](const Alerts::Message& message) {
      m_messages.push_back(message.text);
      return Alerts::kOk;
    });
  }
  void TearDown() override {
    Alerts::SetMessageHook({});
    CConfigurationsDlg::SetRunHook({});
    QDir::setCurrent(m_previous);
  }
  // Clicks OK on a shown dialog, expecting a single refusal that keeps it open.
  void ExpectRefused(CConfigurationsDlg& dialog, const char* text) {
    m_messages.clear();
    dialog.show();
    dialog.OkButton()->click();
    ASSERT_EQ(m_messages.size(), 1u);
    EXPECT_EQ(m_messages[0], QString::fromLatin1(text));
    EXPECT_TRUE(dialog.isVisible());
  }

  QTemporaryDir m_dir;
  QString m_previous;
  std::vector<QString> m_messages;
  ViewerSettings m_settings{.userId = QStringLiteral("admin"), .password = QStringLiteral("1"),
                            .hostAddress = QStringLiteral("127.0.0.1"), .recordFolder = QStringLiteral("/tmp/Backup"),
                            .hostPort = 8000, .rotateInterval = 3, .reconnectCount = 3, .requestSpeed = 4,
                            .ptzType = 1, .useAlertMode = 1, .recordInterval = 1, .dateShow = 0,
                            .ptzFilePath = {}, .ipLabel = QStringLiteral("INTRANET")};
};

}  // namespace

TEST_F(ConfigTest, PageListsItsEntriesAndShowsTheStoredPositions) {
  CConfigurationsDlg dialog(m_settings);
  CConfigConnections* page = dialog.Page();
  EXPECT_EQ(Entries(page->PtTypes()),
            QStringList({"PELCOD", "PELCOP", "SCC641", "HMC250", "HID2404", "DSC_230S"}));
  EXPECT_EQ(Entries(page->RecordInterval()),
            QStringList({"03SEC", "05SEC", "10SEC", "15SEC", "20SEC", "25SEC", "30SEC", "35SEC", "40SEC",
                         "45SEC", "50SEC", "55SEC", "60SEC"}));
  EXPECT_EQ(page->PtTypes()->currentText(), QStringLiteral("PELCOP"));
  EXPECT_EQ(page->RotateInterval()->currentText(), QStringLiteral("04 SEC"));
  EXPECT_EQ(page->ScanRate()->currentText(), QStringLiteral("16X"));
  EXPECT_EQ(page->ReconnectCount()->currentText(), QStringLiteral("4"));
  EXPECT_EQ(page->RecordInterval()->currentText(), QStringLiteral("05SEC"));
  EXPECT_TRUE(page->ReceiveEvent()->isChecked());
  EXPECT_FALSE(page->DisplayDate()->isChecked());
}

TEST_F(ConfigTest, OkStoresPositionsFlagsAndCutTexts) {
  CConfigurationsDlg dialog(m_settings);
  CConfigConnections* page = dialog.Page();
  page->PtTypes()->setCurrentIndex(5);
  page->ScanRate()->setCurrentIndex(0);
  page->RecordInterval()->setCurrentIndex(12);
  page->FullScreen()->setChecked(true);
  page->DisplayDate()->setChecked(true);
  page->UserIdEdit()->setText(QString(100, QLatin1Char('u')));
  page->PasswordEdit()->setText(QString(50, QLatin1Char('p')));
  page->NameEdit()->setText(QString(90, QLatin1Char('n')));
  page->RecordFolderEdit()->setText(QString(300, QLatin1Char('f')));
  dialog.show();
  dialog.OkButton()->click();

  EXPECT_EQ(dialog.result(), QDialog::Accepted);
  EXPECT_TRUE(m_messages.empty());
  EXPECT_EQ(m_settings.ptzType, 5);
  EXPECT_EQ(m_settings.requestSpeed, 0);
  EXPECT_EQ(m_settings.recordInterval, 12);
  EXPECT_EQ(m_settings.useFullScreen, 1u);
  EXPECT_EQ(m_settings.dateShow, 1);
  EXPECT_EQ(m_settings.userId, QString(63, QLatin1Char('u')));
  EXPECT_EQ(m_settings.password, QString(31, QLatin1Char('p')));
  EXPECT_EQ(m_settings.ipLabel, QString(63, QLatin1Char('n')));
  EXPECT_EQ(m_settings.recordFolder, QString(259, QLatin1Char('f')));
  // The history entry takes the control's text, up to 127 characters.
  EXPECT_EQ(ReadFile(kHistoryFile), "[" + std::string(90, 'n') + "]\r\nIP=127.0.0.1\r\nPORT=8000\r\n");
}

TEST_F(ConfigTest, StoredValuesOutsideTheListsKeepTheirValuesAndUnsetAddressTakesTheFixedOne) {
  m_settings.rotateInterval = 40;
  m_settings.ptzType = 9;
  m_settings.hostAddress = QStringLiteral("0.0.0.0");
  CConfigurationsDlg dialog(m_settings);
  EXPECT_EQ(dialog.Page()->IpAddress()->text(), QString::fromLatin1(CConfigurationsDlg::kFixedHostAddress));
  dialog.Page()->ScanRate()->setEditText(QStringLiteral("100X"));
  dialog.Page()->ReconnectCount()->setEditText(QStringLiteral("2"));
  dialog.OkButton()->click();
  EXPECT_EQ(dialog.result(), QDialog::Accepted);
  EXPECT_EQ(m_settings.rotateInterval, 40);
  EXPECT_EQ(m_settings.ptzType, 9);
  EXPECT_EQ(m_settings.requestSpeed, 4);
  EXPECT_EQ(m_settings.reconnectCount, 1);
  EXPECT_EQ(m_settings.hostAddress, QString::fromLatin1(CConfigurationsDlg::kFixedHostAddress));
}

TEST_F(ConfigTest, BlankAddressIsRefusedButTheWrittenValuesStayAfterCancel) {
  CConfigurationsDlg dialog(m_settings);
  dialog.Page()->IpAddress()->clear();
  dialog.Page()->UserIdEdit()->setText(QStringLiteral("operator"));
  ExpectRefused(dialog, "Please Input correct IP/PORT or Press [IP Load] button.");
  EXPECT_EQ(m_settings.userId, QStringLiteral("operator"));
  EXPECT_EQ(m_settings.hostAddress, QStringLiteral("0.0.0.0"));
  EXPECT_FALSE(QFile::exists(QString::fromLatin1(kHistoryFile)));
  dialog.CancelButton()->click();
  EXPECT_EQ(dialog.result(), QDialog::Rejected);
  EXPECT_EQ(m_settings.userId, QStringLiteral("operator"));
}

TEST_F(ConfigTest, EmptyNameGivesAnUntitledEntryAndShowsUntitledNextTime) {
  {
    CConfigurationsDlg dialog(m_settings);
    dialog.Page()->NameEdit()->clear();
    dialog.Page()->IpAddress()->setText(QStringLiteral("127.0.0.2"));
    dialog.OkButton()->click();
  }
  EXPECT_TRUE(m_settings.ipLabel.isEmpty());
  EXPECT_EQ(ReadFile(kHistoryFile), "[UNTITLE]\r\nIP=127.0.0.2\r\nPORT=8000\r\n");
  CConfigurationsDlg next(m_settings);
  EXPECT_EQ(next.Page()->NameEdit()->text(), QStringLiteral("UNTITLE"));
}

TEST_F(ConfigTest, PortsOutsideOneTo65535AreRefusedWithTheBounds) {
  for (const char* port : {"0", "65536", "", "99999999999999999999"}) {
    CConfigurationsDlg dialog(m_settings);
    dialog.Page()->PortEdit()->setText(QString::fromLatin1(port));
    dialog.Page()->UserIdEdit()->setText(QStringLiteral("changed"));
    ExpectRefused(dialog, "Please enter an integer between 1 and 65535.");
    EXPECT_EQ(m_settings.hostPort, 8000u) << port;
    EXPECT_EQ(m_settings.userId, QStringLiteral("admin")) << port;
    dialog.reject();
  }
  EXPECT_FALSE(QFile::exists(QString::fromLatin1(kHistoryFile)));
  CConfigurationsDlg dialog(m_settings);
  dialog.Page()->PortEdit()->setText(QStringLiteral("65535"));
  dialog.OkButton()->click();
  EXPECT_EQ(dialog.result(), QDialog::Accepted);
  EXPECT_EQ(m_settings.hostPort, 65535u);
}

TEST_F(ConfigTest, IpLoadAddsTheTypedEntryUnlessThePortIsZeroAndTakesThePick) {
  std::ofstream(kHistoryFile, std::ios::binary) << "[Saved]\r\nIP=127.0.0.9\r\nPORT=9009\r\n";
  CConfigurationsDlg dialog(m_settings);
  CConfigConnections* page = dialog.Page();
  dialog.show();
  page->NameEdit()->setText(QStringLiteral("Typed"));
  page->PortEdit()->setText(QStringLiteral("0"));
  page->IpLoadButton()->click();
  CIpHistoryDlg* history = page->HistoryDialog();
  ASSERT_NE(history, nullptr);
  ASSERT_EQ(history->RowCount(), 1);
  QTreeWidget* list = history->List();
  QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, list->visualItemRect(list->topLevelItem(0)).center());
  history->OkButton()->click();
  QCoreApplication::processEvents();
  EXPECT_EQ(page->NameEdit()->text(), QStringLiteral("Saved"));
  EXPECT_EQ(page->IpAddress()->text(), QStringLiteral("127.0.0.9"));
  EXPECT_EQ(page->PortEdit()->text(), QStringLiteral("9009"));
  EXPECT_EQ(m_settings.hostAddress, QStringLiteral("127.0.0.1"));

  // With a usable port the typed entry is added first.
  page->NameEdit()->setText(QStringLiteral("Typed"));
  page->PortEdit()->setText(QStringLiteral("8001"));
  page->IpLoadButton()->click();
  ASSERT_NE(page->HistoryDialog(), nullptr);
  EXPECT_EQ(page->HistoryDialog()->RowCount(), 2);
  EXPECT_EQ(ReadFile(kHistoryFile),
            "[Saved]\r\nIP=127.0.0.9\r\nPORT=9009\r\n[Typed]\r\nIP=127.0.0.9\r\nPORT=8001\r\n");
  page->HistoryDialog()->reject();
}

TEST_F(ConfigTest, IpAddressControlReadsFourDottedFields) {
  IpAddressEdit edit;
  EXPECT_EQ(edit.text(), QStringLiteral("0.0.0.0"));
  edit.setText(QStringLiteral("127.20.300.4"));
  EXPECT_EQ(edit.text(), QStringLiteral("127.20.255.4"));
  edit.setText(QStringLiteral("127.0"));
  EXPECT_EQ(edit.text(), QStringLiteral("127.0.0.0"));
  edit.clear();
  edit.show();
  ASSERT_TRUE(QTest::qWaitForWindowActive(&edit));
  edit.Field(0)->setFocus();
  // A third digit or a '.' moves on to the next field.
  for (const QChar c : QStringLiteral("1270.0.1")) QTest::keyClick(QApplication::focusWidget(), c.toLatin1());
  EXPECT_EQ(edit.text(), QStringLiteral("127.0.0.1"));
  EXPECT_EQ(QApplication::focusWidget(), edit.Field(3));
}

// The main view reloads the pan/tilt table only for a changed "PT Types" entry.
TEST_F(ConfigTest, ViewReloadsThePanTiltTableOnlyForAChangedType) {
  for (const auto format : {QSettings::NativeFormat, QSettings::IniFormat})
    QSettings::setPath(format, QSettings::UserScope, m_dir.filePath(QStringLiteral("settings")));
  const char* source = std::getenv("ARDEVIZ_SOURCE_DIR");
  const std::filesystem::path sourceDir =
      source ? std::filesystem::path(source) : std::filesystem::path(__FILE__).parent_path().parent_path().parent_path();
  std::filesystem::create_directory("PTZ");
  for (const char* file : {"pelcoD.tl", "pelcoP.tl", "user_command.tl"}) {
    std::filesystem::copy_file(sourceDir / "res" / "PTZ" / file, std::filesystem::path("PTZ") / file);
  }
  ViewOptions options;
  options.createLink = false;
  options.executablePath = m_dir.filePath(QStringLiteral("bin/viewer"));
  CArdevizView view(nullptr, options);
  view.OnInitialUpdate();
  auto* binding = dynamic_cast<PtzViewBinding*>(view.PtzControl());
  if (!binding) GTEST_SKIP() << "the view runs without a pan/tilt control";
  PtzControl& control = binding->Control();
  int chosenType = -1;
  CConfigurationsDlg::SetRunHook([&](CConfigurationsDlg& dialog) {
    dialog.Page()->IpAddress()->setText(QStringLiteral("127.0.0.1"));
    if (chosenType >= 0) dialog.Page()->PtTypes()->setCurrentIndex(chosenType);
    dialog.open();
    dialog.OkButton()->click();
    return dialog.result();
  });

  view.OnCommand(CArdevizView::kIdSetting);
  EXPECT_EQ(control.CommandFilePath(), PtzFilePathForType(1));
  // Unchanged: the table is left as it is.
  control.Table().Find(0, 0)->data[0] = 0x5A;
  view.OnCommand(CArdevizView::kIdSetting);
  EXPECT_EQ(control.Table().Find(0, 0)->data[0], 0x5A);
  // Changed: reloaded from the new protocol's file.
  chosenType = 0;
  view.OnCommand(CArdevizView::kIdSetting);
  EXPECT_EQ(control.LastPtzType(), 0);
  EXPECT_EQ(control.CommandFilePath(), PtzFilePathForType(0));
  EXPECT_NE(control.Table().Find(0, 0)->data[0], 0x5A);
  EXPECT_TRUE(m_messages.empty());
}
