// The Configurations dialog and its Connections page, driven without a modal
// loop in a temporary current folder; message boxes go to a hook.
#include <gtest/gtest.h>

#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>

#include <fstream>
#include <iterator>
#include <string>
#include <tuple>
#include <vector>

#include "config/CConfigConnections.h"
#include "config/CConfigurationsDlg.h"
#include "config/ConnectionHistory.h"
#include "config/IpAddressEdit.h"
#include "config/ViewerSettings.h"
#include "platform/Alerts.h"

namespace {

std::string ReadFile(const char* path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

class ConfigTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(m_dir.isValid());
    m_previous = QDir::currentPath();
    QDir::setCurrent(m_dir.path());
    ASSERT_TRUE(QDir().mkdir(QStringLiteral("ini")));
    Alerts::SetMessageHook([this](const Alerts::Message& m) { m_messages.push_back(m.text); return Alerts::kOk; });
  }
  void TearDown() override { Alerts::SetMessageHook({}); QDir::setCurrent(m_previous); }

  QTemporaryDir m_dir;
  QString m_previous;
  std::vector<QString> m_messages;
  ViewerSettings m_settings{.userId = "admin", .password = "1", .hostAddress = "127.0.0.1",
                            .recordFolder = "/tmp/Backup", .hostPort = 8000, .requestSpeed = 4,
                            .ptzFilePath = {}, .ipLabel = "INTRANET"};
};

}  // namespace

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
  EXPECT_EQ(std::make_tuple(m_settings.ptzType, m_settings.requestSpeed, m_settings.recordInterval,
                            m_settings.useFullScreen, m_settings.dateShow),
            std::make_tuple(5, 0, 12, 1u, 1));
  EXPECT_EQ(m_settings.userId + m_settings.password + m_settings.ipLabel,
            QString(63, 'u') + QString(31, 'p') + QString(63, 'n'));
  EXPECT_EQ(m_settings.recordFolder, QString(300, QLatin1Char('f')));  // a path is never cut
  // The history entry takes the control's text, up to 127 characters.
  EXPECT_EQ(ReadFile(kHistoryFile), "[" + std::string(90, 'n') + "]\r\nIP=127.0.0.1\r\nPORT=8000\r\n");
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
    m_messages.clear();
    dialog.show();
    dialog.OkButton()->click();  // refused: one message, the dialog stays open
    EXPECT_EQ(m_messages, std::vector<QString>{"Please enter an integer between 1 and 65535."}) << port;
    EXPECT_TRUE(dialog.isVisible());
    EXPECT_EQ(std::make_pair(m_settings.hostPort, m_settings.userId), std::make_pair(8000u, QString("admin"))) << port;
    dialog.reject();
  }
  EXPECT_FALSE(QFile::exists(QString::fromLatin1(kHistoryFile)));
  CConfigurationsDlg dialog(m_settings);
  dialog.Page()->PortEdit()->setText(QStringLiteral("65535"));
  dialog.OkButton()->click();
  EXPECT_EQ(dialog.result(), QDialog::Accepted);
  EXPECT_EQ(m_settings.hostPort, 65535u);
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
