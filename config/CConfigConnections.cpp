#include "config/CConfigConnections.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFileDialog>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRegularExpressionValidator>
#include <QVBoxLayout>

#include <array>
#include <string_view>

#include "config/CConfigurationsDlg.h"
#include "config/CIpHistoryDlg.h"
#include "config/ConnectionHistory.h"
#include "config/IpAddressEdit.h"
#include "config/PtzFilePath.h"
#include "config/ViewerSettings.h"
#include "platform/Alerts.h"

namespace {

constexpr std::array kRotateIntervals = {"01 SEC", "02 SEC", "03 SEC", "04 SEC", "05 SEC", "10 SEC"};
constexpr std::array kScanRates = {"1X", "2X", "4X", "8X", "16X", "32X", "64X"};
constexpr std::array kReconnectCounts = {"1", "2", "3", "4", "5"};
constexpr std::array kRecordIntervals = {"03SEC", "05SEC", "10SEC", "15SEC", "20SEC", "25SEC", "30SEC",
                                         "35SEC", "40SEC", "45SEC", "50SEC", "55SEC", "60SEC"};
// The stored settings take a position beyond a list as its default.
static_assert(kRotateIntervals.size() == ViewerSettings::kRotateIntervalChoices);
static_assert(kScanRates.size() == ViewerSettings::kRequestSpeedChoices);
static_assert(kReconnectCounts.size() == ViewerSettings::kReconnectCountChoices);
constexpr std::array kRecordFormats = {"AVI (uncompressed)", "AVI (Motion-JPEG)"};
static_assert(kRecordIntervals.size() == ViewerSettings::kRecordIntervalChoices);
static_assert(kRecordFormats.size() == ViewerSettings::kRecordFormatChoices);
static_assert(kPtzTypeNames.size() == ViewerSettings::kPtzTypeChoices);

// Each entry reads as the number the view uses for its position.
template <typename Texts, typename Numbers>
constexpr bool ShowTheirNumbers(const Texts& texts, const Numbers& numbers) {
  for (std::size_t i = 0; i < texts.size(); ++i) {
    int n = 0;
    for (const char* c = texts[i]; *c >= '0' && *c <= '9'; ++c) n = n * 10 + (*c - '0');
    if (n != numbers[i]) return false;
  }
  return true;
}
static_assert(ShowTheirNumbers(kRotateIntervals, ViewerSettings::kRotateSeconds));
static_assert(ShowTheirNumbers(kReconnectCounts, ViewerSettings::kReconnectAttempts));

template <typename List>
QComboBox* MakeCombo(QWidget* parent, const List& entries, bool editable) {
  auto* combo = new QComboBox(parent);
  for (const auto& entry : entries) {
    const std::string_view text(entry);
    combo->addItem(QString::fromLatin1(text.data(), static_cast<qsizetype>(text.size())));
  }
  combo->setEditable(editable);
  if (editable) combo->setInsertPolicy(QComboBox::NoInsert);
  return combo;
}

// The selected position; typed text that is no entry keeps the previous value.
std::uint8_t Position(const QComboBox* combo, std::uint8_t previous) {
  int index = combo->currentIndex();
  if (combo->isEditable()) index = combo->findText(combo->currentText(), Qt::MatchExactly);
  return index >= 0 ? static_cast<std::uint8_t>(index) : previous;
}

std::uint32_t Flag(const QCheckBox* box) { return box->isChecked() ? 1u : 0u; }

}  // namespace

CConfigConnections::CConfigConnections(QWidget* parent) : QWidget(parent) { BuildControls(); }

CConfigConnections::~CConfigConnections() {
  // The folder browser has no owner; it goes with the page.
  delete m_pFolderBrowser.data();
}

QString CConfigConnections::PortPrompt() {
  return QStringLiteral("Please enter an integer between %1 and %2.").arg(kPortMin).arg(kPortMax);
}

void CConfigConnections::BuildControls() {
  auto* connection = new QGroupBox(QStringLiteral("CONNECTION"), this);
  auto* connectionGrid = new QGridLayout(connection);
  m_pName = new QLineEdit(connection);
  m_pIpLoad = new QPushButton(QStringLiteral("IP Load"), connection);
  m_pIpAddress = new IpAddressEdit(connection);
  m_pPort = new QLineEdit(connection);
  m_pPort->setValidator(new QRegularExpressionValidator(QRegularExpression(QStringLiteral("[0-9]*")), m_pPort));
  m_pUserId = new QLineEdit(connection);
  m_pPassword = new QLineEdit(connection);
  m_pPassword->setEchoMode(QLineEdit::Password);
  m_pPtTypes = MakeCombo(connection, kPtzTypeNames, false);
  int row = 0;
  connectionGrid->addWidget(new QLabel(QStringLiteral("Name :"), connection), row, 0);
  connectionGrid->addWidget(m_pName, row, 1);
  connectionGrid->addWidget(m_pIpLoad, row++, 2);
  connectionGrid->addWidget(new QLabel(QStringLiteral("IP Address :"), connection), row, 0);
  connectionGrid->addWidget(m_pIpAddress, row++, 1, 1, 2, Qt::AlignLeft);
  connectionGrid->addWidget(new QLabel(QStringLiteral("Port :"), connection), row, 0);
  connectionGrid->addWidget(m_pPort, row++, 1, 1, 2);
  connectionGrid->addWidget(new QLabel(QStringLiteral("User ID :"), connection), row, 0);
  connectionGrid->addWidget(m_pUserId, row++, 1, 1, 2);
  connectionGrid->addWidget(new QLabel(QStringLiteral("Password :"), connection), row, 0);
  connectionGrid->addWidget(m_pPassword, row++, 1, 1, 2);
  connectionGrid->addWidget(new QLabel(QStringLiteral("PT Types"), connection), row, 0);
  connectionGrid->addWidget(m_pPtTypes, row++, 1, 1, 2);
  connectionGrid->setRowStretch(row, 1);

  auto* option = new QGroupBox(QStringLiteral("OPTION"), this);
  auto* optionGrid = new QGridLayout(option);
  m_pRotateInterval = MakeCombo(option, kRotateIntervals, true);
  m_pScanRate = MakeCombo(option, kScanRates, true);
  m_pReconnectCount = MakeCombo(option, kReconnectCounts, true);
  m_pFullScreen = new QCheckBox(QStringLiteral("Run in Full Screen Mode"), option);
  m_pReceiveEvent = new QCheckBox(QStringLiteral("Receive Event"), option);
  row = 0;
  optionGrid->addWidget(new QLabel(QStringLiteral("Circula Monitoring Interval"), option), row, 0);
  optionGrid->addWidget(m_pRotateInterval, row++, 1);
  optionGrid->addWidget(new QLabel(QStringLiteral("Scan Rate"), option), row, 0);
  optionGrid->addWidget(m_pScanRate, row++, 1);
  optionGrid->addWidget(new QLabel(QStringLiteral("Reconnecting Count"), option), row, 0);
  optionGrid->addWidget(m_pReconnectCount, row++, 1);
  optionGrid->addWidget(m_pFullScreen, row++, 0, 1, 2);
  optionGrid->addWidget(m_pReceiveEvent, row++, 0, 1, 2);

  auto* save = new QGroupBox(QStringLiteral("SAVE OPTION"), this);
  auto* saveGrid = new QGridLayout(save);
  m_pRecordFolder = new QLineEdit(save);
  m_pBrowse = new QPushButton(QStringLiteral("Browse.."), save);
  m_pRecordInterval = MakeCombo(save, kRecordIntervals, true);
  m_pDisplayDate = new QCheckBox(QStringLiteral("Display Date "), save);
  m_pRecordFormat = MakeCombo(save, kRecordFormats, false);
  row = 0;
  saveGrid->addWidget(new QLabel(QStringLiteral("Set Path to Save Recored Images"), save), row++, 0, 1, 2);
  saveGrid->addWidget(m_pRecordFolder, row, 0);
  saveGrid->addWidget(m_pBrowse, row++, 1);
  saveGrid->addWidget(new QLabel(QStringLiteral("Set Record Interval"), save), row, 0);
  saveGrid->addWidget(m_pRecordInterval, row++, 1);
  saveGrid->addWidget(m_pDisplayDate, row++, 0, 1, 2);
  saveGrid->addWidget(new QLabel(QStringLiteral("Record Format"), save), row, 0);
  saveGrid->addWidget(m_pRecordFormat, row++, 1);

  auto* right = new QVBoxLayout;
  right->addWidget(option);
  right->addWidget(save);
  auto* layout = new QHBoxLayout(this);
  layout->addWidget(connection);
  layout->addLayout(right);

  const std::array<QWidget*, 17> order = {m_pName,     m_pIpLoad,         m_pIpAddress,     m_pPort,
                                          m_pUserId,   m_pPassword,       m_pPtTypes,       m_pRotateInterval,
                                          m_pScanRate, m_pReconnectCount, m_pFullScreen,    m_pReceiveEvent,
                                          m_pRecordFolder, m_pBrowse,     m_pRecordInterval, m_pDisplayDate,
                                          m_pRecordFormat};
  for (std::size_t i = 1; i < order.size(); ++i) setTabOrder(order[i - 1], order[i]);

  connect(m_pIpLoad, &QPushButton::clicked, this, &CConfigConnections::OnIpLoad);
  connect(m_pBrowse, &QPushButton::clicked, this, &CConfigConnections::OnBrowse);
}

void CConfigConnections::LoadPage() {
  if (!m_pDialog) return;
  m_pIpAddress->setText(m_pDialog->GetHostAddress());
  m_strUserId = m_pDialog->GetUserId();
  m_strPassword = m_pDialog->GetPassword();
  m_nPort = m_pDialog->GetHostPort();
  m_pFullScreen->setChecked(m_pDialog->GetUseFullScreen() != 0);
  m_pReceiveEvent->setChecked(m_pDialog->GetUseAlertMode() != 0);
  m_pPtTypes->setCurrentIndex(m_pDialog->GetPtzType());
  m_pRotateInterval->setCurrentIndex(m_pDialog->GetRotateInterval());
  m_pReconnectCount->setCurrentIndex(m_pDialog->GetReconnectCount());
  m_pScanRate->setCurrentIndex(m_pDialog->GetRequestSpeed());
  m_strRecordFolder = m_pDialog->GetRecordFolder();
  m_pRecordInterval->setCurrentIndex(m_pDialog->GetRecordInterval());
  m_pDisplayDate->setChecked(m_pDialog->GetDateShow() != 0);
  m_pRecordFormat->setCurrentIndex(m_pDialog->GetRecordFormat());
  m_strLabel = m_pDialog->GetConnectionLabel();
  PushFields();
}

void CConfigConnections::PushFields() {
  m_pName->setText(m_strLabel);
  m_pPort->setText(QString::number(m_nPort));
  m_pUserId->setText(m_strUserId);
  m_pPassword->setText(m_strPassword);
  m_pRecordFolder->setText(m_strRecordFolder);
}

bool CConfigConnections::PullFields() {
  m_strLabel = m_pName->text().left(kLabelChars);
  bool isNumber = false;
  const qulonglong port = m_pPort->text().trimmed().toULongLong(&isNumber);
  if (!isNumber || port < kPortMin || port > kPortMax) {
    Alerts::ShowMessage(this, PortPrompt(), QString::fromLatin1(kMessageCaption), Alerts::Icon::Warning);
    m_pPort->setFocus();
    m_pPort->selectAll();
    return false;
  }
  m_nPort = static_cast<std::uint32_t>(port);
  m_strUserId = m_pUserId->text().left(kUserIdChars);
  m_strPassword = m_pPassword->text().left(kPasswordChars);
  m_strRecordFolder = m_pRecordFolder->text();
  return true;
}

bool CConfigConnections::OnOK() {
  if (!m_pDialog || !PullFields()) return false;

  m_pDialog->SetConnectionSettings(m_pIpAddress->text(), m_nPort, m_strUserId, m_strPassword,
                                   Position(m_pPtTypes, m_pDialog->GetPtzType()));
  m_pDialog->SetOptionSettings(Position(m_pRotateInterval, m_pDialog->GetRotateInterval()),
                               Position(m_pScanRate, m_pDialog->GetRequestSpeed()),
                               Position(m_pReconnectCount, m_pDialog->GetReconnectCount()), Flag(m_pFullScreen),
                               Flag(m_pReceiveEvent), Position(m_pRecordInterval, m_pDialog->GetRecordInterval()),
                               m_strRecordFolder, static_cast<std::uint8_t>(Flag(m_pDisplayDate)));
  m_pDialog->SetConnectionLabel(m_strLabel);
  m_pDialog->SetRecordFormat(Position(m_pRecordFormat, m_pDialog->GetRecordFormat()));

  QString name = ControlText(m_pName->text());
  const QString address = ControlText(m_pIpAddress->text());
  const QString port = ControlText(m_pPort->text());
  if (name.isEmpty()) name = QString::fromLatin1(kUntitledLabel);
  if (address.isEmpty() || address == QLatin1String(kUnsetAddress)) {
    // The values written above stay in effect.
    Alerts::ShowMessage(this, QString::fromLatin1(kNoAddressText), QString::fromLatin1(kMessageCaption),
                        Alerts::Icon::None);
    return false;
  }
  AddToHistory(name, address, port);
  return true;
}

void CConfigConnections::AddToHistory(const QString& name, const QString& address, const QString& port) {
  if (!AddConnectionHistory(name, address, port))
    Alerts::ShowMessage(this, QString::fromLatin1(kHistoryNotAddedText), QString::fromLatin1(kMessageCaption),
                        Alerts::Icon::Warning);
}

void CConfigConnections::OnIpLoad() {
  if (m_pHistoryDlg) return;
  const QString name = ControlText(m_pName->text());
  const QString address = ControlText(m_pIpAddress->text());
  const QString port = ControlText(m_pPort->text());
  if (!name.isEmpty() && address != QLatin1String(kUnsetAddress) && port != QLatin1String(kNoPortText)) {
    AddToHistory(name, address, port);
  }
  m_pHistoryDlg = new CIpHistoryDlg(this);
  m_pHistoryDlg->setAttribute(Qt::WA_DeleteOnClose);
  connect(m_pHistoryDlg, &QDialog::finished, this, &CConfigConnections::OnHistoryFinished);
  m_pHistoryDlg->open();
}

void CConfigConnections::OnHistoryFinished(int result) {
  if (!m_pHistoryDlg || result != QDialog::Accepted) return;
  m_pName->setText(m_pHistoryDlg->PickedLabel());
  m_pIpAddress->setText(m_pHistoryDlg->PickedIp());
  m_pPort->setText(m_pHistoryDlg->PickedPort());
}

void CConfigConnections::OnBrowse() {
  if (m_pFolderBrowser) {
    m_pFolderBrowser->raise();
    return;
  }
  // No owner, no title, the default root; it never blocks the page.
  m_pFolderBrowser = new QFileDialog(nullptr, QString());
  m_pFolderBrowser->setAttribute(Qt::WA_DeleteOnClose);
  m_pFolderBrowser->setFileMode(QFileDialog::Directory);
  m_pFolderBrowser->setOption(QFileDialog::ShowDirsOnly);
  m_pFolderBrowser->setOption(QFileDialog::DontUseNativeDialog);
  connect(m_pFolderBrowser, &QFileDialog::fileSelected, this, &CConfigConnections::OnFolderChosen);
  m_pFolderBrowser->open();
}

void CConfigConnections::OnFolderChosen(const QString& folder) {
  if (folder.isEmpty()) return;
  m_strRecordFolder = QDir::toNativeSeparators(folder);
  m_pRecordFolder->setText(m_strRecordFolder);
}
