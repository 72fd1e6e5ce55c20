// The Configurations dialog and its Connections page, driven without a modal
// loop in a temporary current folder; message boxes go to a hook.
#include <gtest/gtest.h>

#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSettings>
#include <QTabWidget>
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

ViewerSettings StartSettings() {
  ViewerSettings s;
  s.userId = QStringLiteral("admin");
  s.password = QStringLiteral("1");
  s.hostAddress = QStringLiteral("127.0.0.1");
  s.recordFolder = QStringLiteral("/tmp/Backup");
  s.hostPort = 8000;
  s.rotateInterval = 3;
  s.reconnectCount = 3;
  s.requestSpeed = 4;
  s.ptzType = 1;
  s.recordInterval = 1;
  s.dateShow = 1;
  s.ipLabel = QStringLiteral("INTRANET");
  return s;
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
    m_settings = StartSettings();
  }
  void TearDown() override {
    Alerts::SetMessageHook({});
    CConfigurationsDlg::SetRunHook({});
    QDir::setCurrent(m_previous);
  }

  QTemporaryDir m_dir;
  QString m_previous;
  std::vector<QString> m_messages;
  ViewerSettings m_settings;
};

}  // namespace

TEST_F(ConfigTest, PageHasEveryControlEntryAndText) {
  CConfigurationsDlg dialog(m_settings);
  CConfigConnections* page = dialog.Page();
  EXPECT_EQ(dialog.windowTitle(), QStringLiteral("Configurations"));
  ASSERT_EQ(dialog.Sheet()->count(), 1);
  EXPECT_EQ(dialog.Sheet()->tabText(0), QStringLiteral("Connections"));
  EXPECT_EQ(dialog.OkButton()->text(), QStringLiteral("OK"));
  EXPECT_EQ(dialog.CancelButton()->text(), QStringLiteral("Cancel"));

  EXPECT_EQ(Entries(page->PtTypes()),
            QStringList({"PELCOD", "PELCOP", "SCC641", "HMC250", "HID2404", "DSC_230S"}));
  EXPECT_FALSE(page->PtTypes()->isEditable());
  EXPECT_EQ(Entries(page->RotateInterval()),
            QStringList({"01 SEC", "02 SEC", "03 SEC", "04 SEC", "05 SEC", "10 SEC"}));
  EXPECT_EQ(Entries(page->ScanRate()), QStringList({"1X", "2X", "4X", "8X", "16X", "32X", "64X"}));
  EXPECT_EQ(Entries(page->ReconnectCount()), QStringList({"1", "2", "3", "4", "5"}));
  EXPECT_EQ(Entries(page->RecordInterval()),
            QStringList({"03SEC", "05SEC", "10SEC", "15SEC", "20SEC", "25SEC", "30SEC", "35SEC", "40SEC",
                         "45SEC", "50SEC", "55SEC", "60SEC"}));
  EXPECT_EQ(page->PasswordEdit()->echoMode(), QLineEdit::Password);
  EXPECT_EQ(page->IpLoadButton()->text(), QStringLiteral("IP Load"));
  EXPECT_EQ(page->BrowseButton()->text(), QStringLiteral("Browse.."));
  EXPECT_EQ(page->FullScreen()->text(), QStringLiteral("Run in Full Screen Mode"));
  EXPECT_EQ(page->ReceiveEvent()->text(), QStringLiteral("Receive Event"));
  EXPECT_EQ(page->DisplayDate()->text(), QStringLiteral("Display Date "));

  QStringList labels;
  for (const QLabel* label : page->findChildren<QLabel*>()) labels << label->text();
  for (const char* text : {"Name :", "IP Address :", "Port :", "User ID :", "Password :", "PT Types",
                           "Circula Monitoring Interval", "Scan Rate", "Reconnecting Count",
                           "Set Path to Save Recored Images", "Set Record Interval"}) {
    EXPECT_TRUE(labels.contains(QString::fromLatin1(text))) << text;
  }
}

TEST_F(ConfigTest, LoadingShowsTheStoredValuesAndPositions) {
  m_settings.useAlertMode = 1;
  m_settings.dateShow = 0;
  CConfigurationsDlg dialog(m_settings);
  CConfigConnections* page = dialog.Page();
  EXPECT_EQ(page->IpAddress()->text(), QStringLiteral("127.0.0.1"));
  EXPECT_EQ(page->NameEdit()->text(), QStringLiteral("INTRANET"));
  EXPECT_EQ(page->PortEdit()->text(), QStringLiteral("8000"));
  EXPECT_EQ(page->UserIdEdit()->text(), QStringLiteral("admin"));
  EXPECT_EQ(page->PasswordEdit()->text(), QStringLiteral("1"));
  EXPECT_EQ(page->PtTypes()->currentText(), QStringLiteral("PELCOP"));
  EXPECT_EQ(page->RotateInterval()->currentText(), QStringLiteral("04 SEC"));
  EXPECT_EQ(page->ScanRate()->currentText(), QStringLiteral("16X"));
  EXPECT_EQ(page->ReconnectCount()->currentText(), QStringLiteral("4"));
  EXPECT_EQ(page->RecordInterval()->currentText(), QStringLiteral("05SEC"));
  EXPECT_FALSE(page->FullScreen()->isChecked());
  EXPECT_TRUE(page->ReceiveEvent()->isChecked());
  EXPECT_FALSE(page->DisplayDate()->isChecked());
  EXPECT_EQ(page->RecordFolderEdit()->text(), QStringLiteral("/tmp/Backup"));
}

TEST_F(ConfigTest, OkStoresPositionsFlagsAndCutTexts) {
  CConfigurationsDlg dialog(m_settings);
  CConfigConnections* page = dialog.Page();
  page->PtTypes()->setCurrentIndex(5);
  page->RotateInterval()->setCurrentIndex(5);
  page->ScanRate()->setCurrentIndex(0);
  page->ReconnectCount()->setCurrentIndex(4);
  page->RecordInterval()->setCurrentIndex(12);
  page->FullScreen()->setChecked(true);
  page->ReceiveEvent()->setChecked(true);
  page->DisplayDate()->setChecked(false);
  page->UserIdEdit()->setText(QString(100, QLatin1Char('u')));
  page->PasswordEdit()->setText(QString(50, QLatin1Char('p')));
  page->NameEdit()->setText(QString(90, QLatin1Char('n')));
  page->RecordFolderEdit()->setText(QString(300, QLatin1Char('f')));
  dialog.show();
  dialog.OkButton()->click();

  EXPECT_EQ(dialog.result(), QDialog::Accepted);
  EXPECT_TRUE(m_messages.empty());
  EXPECT_EQ(m_settings.ptzType, 5);
  EXPECT_EQ(m_settings.rotateInterval, 5);
  EXPECT_EQ(m_settings.requestSpeed, 0);
  EXPECT_EQ(m_settings.reconnectCount, 4);
  EXPECT_EQ(m_settings.recordInterval, 12);
  EXPECT_EQ(m_settings.useFullScreen, 1u);
  EXPECT_EQ(m_settings.useAlertMode, 1u);
  EXPECT_EQ(m_settings.dateShow, 0);
  EXPECT_EQ(m_settings.userId, QString(63, QLatin1Char('u')));
  EXPECT_EQ(m_settings.password, QString(31, QLatin1Char('p')));
  EXPECT_EQ(m_settings.ipLabel, QString(63, QLatin1Char('n')));
  EXPECT_EQ(m_settings.recordFolder, QString(259, QLatin1Char('f')));
  EXPECT_EQ(m_settings.hostAddress, QStringLiteral("127.0.0.1"));
  // The history entry takes the control's text, up to 127 characters.
  EXPECT_EQ(ReadFile(kHistoryFile), "[" + std::string(90, 'n') + "]\r\nIP=127.0.0.1\r\nPORT=8000\r\n");
}

TEST_F(ConfigTest, StoredPositionsOutsideTheListsAndTypedTextKeepTheirValues) {
  m_settings.rotateInterval = 40;
  m_settings.ptzType = 9;
  CConfigurationsDlg dialog(m_settings);
  dialog.Page()->ScanRate()->setEditText(QStringLiteral("100X"));
  dialog.Page()->ReconnectCount()->setEditText(QStringLiteral("2"));
  dialog.OkButton()->click();
  EXPECT_EQ(dialog.result(), QDialog::Accepted);
  EXPECT_EQ(m_settings.rotateInterval, 40);
  EXPECT_EQ(m_settings.ptzType, 9);
  EXPECT_EQ(m_settings.requestSpeed, 4);
  EXPECT_EQ(m_settings.reconnectCount, 1);
}

TEST_F(ConfigTest, UnsetAddressShowsTheFixedAddressWhichOkStores) {
  m_settings.hostAddress = QStringLiteral("0.0.0.0");
  CConfigurationsDlg dialog(m_settings);
  EXPECT_EQ(dialog.GetHostAddress(), QString::fromLatin1(CConfigurationsDlg::kFixedHostAddress));
  EXPECT_EQ(dialog.Page()->IpAddress()->text(), QString::fromLatin1(CConfigurationsDlg::kFixedHostAddress));
  EXPECT_NE(QString::fromLatin1(CConfigurationsDlg::kFixedHostAddress),
            QString::fromLatin1(ViewerSettings::kDefaultHostAddress));
  dialog.OkButton()->click();
  EXPECT_EQ(dialog.result(), QDialog::Accepted);
  EXPECT_EQ(m_settings.hostAddress, QString::fromLatin1(CConfigurationsDlg::kFixedHostAddress));
}

TEST_F(ConfigTest, BlankAddressIsRefusedButTheWrittenValuesStayAfterCancel) {
  CConfigurationsDlg dialog(m_settings);
  CConfigConnections* page = dialog.Page();
  page->IpAddress()->clear();
  EXPECT_EQ(page->IpAddress()->text(), QStringLiteral("0.0.0.0"));
  page->UserIdEdit()->setText(QStringLiteral("operator"));
  page->PtTypes()->setCurrentIndex(0);
  dialog.show();
  dialog.OkButton()->click();

  ASSERT_EQ(m_messages.size(), 1u);
  EXPECT_EQ(m_messages[0], QStringLiteral("Please Input correct IP/PORT or Press [IP Load] button."));
  EXPECT_TRUE(dialog.isVisible());
  EXPECT_EQ(m_settings.userId, QStringLiteral("operator"));
  EXPECT_EQ(m_settings.hostAddress, QStringLiteral("0.0.0.0"));
  EXPECT_EQ(m_settings.ptzType, 0);
  EXPECT_FALSE(QFile::exists(QString::fromLatin1(kHistoryFile)));

  dialog.CancelButton()->click();
  EXPECT_EQ(dialog.result(), QDialog::Rejected);
  EXPECT_EQ(m_settings.userId, QStringLiteral("operator"));
  EXPECT_EQ(m_settings.ptzType, 0);
}

TEST_F(ConfigTest, CancelWritesNothing) {
  const ViewerSettings before = m_settings;
  CConfigurationsDlg dialog(m_settings);
  dialog.Page()->UserIdEdit()->setText(QStringLiteral("someone"));
  dialog.Page()->FullScreen()->setChecked(true);
  dialog.show();
  dialog.CancelButton()->click();
  EXPECT_EQ(m_settings, before);
  EXPECT_FALSE(QFile::exists(QString::fromLatin1(kHistoryFile)));
}

TEST_F(ConfigTest, EmptyNameGivesAnUntitledEntryAndShowsUntitledNextTime) {
  {
    CConfigurationsDlg dialog(m_settings);
    dialog.Page()->NameEdit()->clear();
    dialog.Page()->IpAddress()->setText(QStringLiteral("127.0.0.2"));
    dialog.OkButton()->click();
    EXPECT_EQ(dialog.result(), QDialog::Accepted);
  }
  EXPECT_TRUE(m_settings.ipLabel.isEmpty());
  EXPECT_EQ(ReadFile(kHistoryFile), "[UNTITLE]\r\nIP=127.0.0.2\r\nPORT=8000\r\n");
  CConfigurationsDlg next(m_settings);
  EXPECT_EQ(next.GetConnectionLabel(), QStringLiteral("UNTITLE"));
  EXPECT_EQ(next.Page()->NameEdit()->text(), QStringLiteral("UNTITLE"));
}

TEST_F(ConfigTest, PortsOutsideOneTo65535AreRefusedWithTheBounds) {
  for (const char* port : {"0", "65536", "", "99999999999999999999"}) {
    m_messages.clear();
    CConfigurationsDlg dialog(m_settings);
    dialog.Page()->PortEdit()->setText(QString::fromLatin1(port));
    dialog.Page()->UserIdEdit()->setText(QStringLiteral("changed"));
    dialog.show();
    dialog.OkButton()->click();
    ASSERT_EQ(m_messages.size(), 1u) << port;
    EXPECT_EQ(m_messages[0], QStringLiteral("Please enter an integer between 1 and 65535.")) << port;
    EXPECT_TRUE(dialog.isVisible()) << port;
    EXPECT_EQ(m_settings.hostPort, 8000u) << port;
    EXPECT_EQ(m_settings.userId, QStringLiteral("admin")) << port;
    dialog.reject();
  }
  EXPECT_FALSE(QFile::exists(QString::fromLatin1(kHistoryFile)));

  m_messages.clear();
  CConfigurationsDlg dialog(m_settings);
  dialog.Page()->PortEdit()->setText(QStringLiteral("65535"));
  dialog.OkButton()->click();
  EXPECT_TRUE(m_messages.empty());
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
  EXPECT_TRUE(history->isVisible());
  EXPECT_EQ(ReadFile(kHistoryFile), "[Saved]\r\nIP=127.0.0.9\r\nPORT=9009\r\n");
  ASSERT_EQ(history->RowCount(), 1);

  QTreeWidget* list = history->List();
  QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, list->visualItemRect(list->topLevelItem(0)).center());
  history->OkButton()->click();
  QCoreApplication::processEvents();
  EXPECT_EQ(page->NameEdit()->text(), QStringLiteral("Saved"));
  EXPECT_EQ(page->IpAddress()->text(), QStringLiteral("127.0.0.9"));
  EXPECT_EQ(page->PortEdit()->text(), QStringLiteral("9009"));
  // Nothing reaches the settings before OK of the Configurations dialog.
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
  QCoreApplication::processEvents();
  EXPECT_EQ(page->NameEdit()->text(), QStringLiteral("Typed"));
}

TEST_F(ConfigTest, BrowseTakesTheChosenFolderAndCancelKeepsTheText) {
  CConfigurationsDlg dialog(m_settings);
  CConfigConnections* page = dialog.Page();
  dialog.show();
  page->BrowseButton()->click();
  QFileDialog* browser = page->FolderBrowser();
  ASSERT_NE(browser, nullptr);
  EXPECT_EQ(browser->parent(), nullptr);
  browser->reject();
  QCoreApplication::processEvents();
  EXPECT_EQ(page->RecordFolderEdit()->text(), QStringLiteral("/tmp/Backup"));

  page->BrowseButton()->click();
  browser = page->FolderBrowser();
  ASSERT_NE(browser, nullptr);
  const QString chosen = QDir::toNativeSeparators(m_dir.path());
  emit browser->fileSelected(m_dir.path());
  browser->close();
  EXPECT_EQ(page->RecordFolderEdit()->text(), chosen);
  EXPECT_EQ(page->RecordFolderField(), chosen);
  dialog.OkButton()->click();
  EXPECT_EQ(m_settings.recordFolder, chosen);
}

TEST_F(ConfigTest, IpAddressControlReadsFourDottedFields) {
  IpAddressEdit edit;
  EXPECT_TRUE(edit.isBlank());
  EXPECT_EQ(edit.text(), QStringLiteral("0.0.0.0"));
  edit.setText(QStringLiteral("10.20.300.4"));
  EXPECT_EQ(edit.text(), QStringLiteral("10.20.255.4"));
  edit.setText(QStringLiteral("127.0"));
  EXPECT_EQ(edit.text(), QStringLiteral("127.0.0.0"));
  EXPECT_TRUE(edit.Field(2)->text().isEmpty());
  edit.clear();
  edit.show();
  ASSERT_TRUE(QTest::qWaitForWindowActive(&edit));
  edit.Field(0)->setFocus();
  // A third digit or a '.' moves on to the next field.
  for (const QChar c : QStringLiteral("1270.0.1")) QTest::keyClick(QApplication::focusWidget(), c.toLatin1());
  EXPECT_EQ(edit.text(), QStringLiteral("127.0.0.1"));
  EXPECT_EQ(QApplication::focusWidget(), edit.Field(3));
}

TEST_F(ConfigTest, TabWalksThePageControlsThenTheButtons) {
  CConfigurationsDlg dialog(m_settings);
  CConfigConnections* page = dialog.Page();
  const std::vector<QWidget*> expected = {page->NameEdit(),        page->IpLoadButton(),  page->IpAddress()->Field(0),
                                          page->PortEdit(),        page->UserIdEdit(),    page->PasswordEdit(),
                                          page->PtTypes(),         page->RotateInterval(), page->ScanRate(),
                                          page->ReconnectCount(),  page->FullScreen(),    page->ReceiveEvent(),
                                          page->RecordFolderEdit(), page->BrowseButton(), page->RecordInterval(),
                                          page->DisplayDate(),     dialog.OkButton(),     dialog.CancelButton()};
  dialog.show();
  ASSERT_TRUE(QTest::qWaitForWindowActive(&dialog));
  page->NameEdit()->setFocus();
  for (std::size_t i = 0; i < expected.size(); ++i) {
    QWidget* focused = QApplication::focusWidget();
    // The editable combos focus their line edit.
    if (focused && focused->parentWidget() && qobject_cast<QComboBox*>(focused->parentWidget())) {
      focused = focused->parentWidget();
    }
    EXPECT_EQ(focused, expected[i]) << "step " << i;
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
  }
  EXPECT_EQ(QApplication::focusWidget(), page->NameEdit());
}

// The main view applies full screen and reloads the pan/tilt table only for a
// changed "PT Types" entry.
TEST_F(ConfigTest, ViewReloadsThePanTiltTableOnlyForAChangedType) {
  QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, m_dir.filePath(QStringLiteral("settings")));
  QSettings::setPath(QSettings::IniFormat, QSettings::UserScope, m_dir.filePath(QStringLiteral("settings")));
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

  // The first OK applies the configured type.
  view.OnCommand(CArdevizView::kIdSetting);
  EXPECT_EQ(control.LastPtzType(), 1);
  EXPECT_EQ(control.CommandFilePath(), PtzFilePathForType(1));

  // Unchanged: the table is left as it is.
  control.Table().Find(0, 0)->data[0] = 0x5A;
  view.OnCommand(CArdevizView::kIdSetting);
  EXPECT_EQ(control.Table().Find(0, 0)->data[0], 0x5A);

  // Changed: reloaded from the new protocol's file.
  chosenType = 0;
  view.OnCommand(CArdevizView::kIdSetting);
  EXPECT_EQ(view.Settings().ptzType, 0);
  EXPECT_EQ(control.LastPtzType(), 0);
  EXPECT_EQ(control.CommandFilePath(), PtzFilePathForType(0));
  EXPECT_NE(control.Table().Find(0, 0)->data[0], 0x5A);
  EXPECT_TRUE(m_messages.empty());
}
