#include "config/CConfigurationsDlg.h"

#include <QCheckBox>
#include <QHBoxLayout>
#include <QPushButton>
#include <QTabBar>
#include <QTabWidget>
#include <QVBoxLayout>

#include "config/CConfigConnections.h"
#include "viewer/CArdevizView.h"

namespace {
CConfigurationsDlg::RunHook& RunHookSlot() {
  static CConfigurationsDlg::RunHook hook;
  return hook;
}
}  // namespace

CConfigurationsDlg::CConfigurationsDlg(ViewerSettings& settings, QWidget* parent)
    : QDialog(parent), m_settings(settings) {
  setWindowTitle(QString::fromLatin1(kTitle));
  QFont dialogFont(QString::fromLatin1(kFontFamily));
  dialogFont.setStyleHint(QFont::SansSerif);
  setFont(dialogFont);

  m_pSheet = new QTabWidget(this);
  // Tab moves between the page's controls and the dialog's buttons only.
  m_pSheet->tabBar()->setFocusPolicy(Qt::NoFocus);
  m_pSheet->setFocusPolicy(Qt::NoFocus);
  m_pPage = new CConfigConnections;
  m_pSheet->addTab(m_pPage, QString::fromLatin1(CConfigConnections::kCaption));

  m_pOk = new QPushButton(QStringLiteral("OK"), this);
  m_pCancel = new QPushButton(QStringLiteral("Cancel"), this);
  m_pOk->setDefault(true);
  auto* buttons = new QHBoxLayout;
  buttons->addStretch();
  buttons->addWidget(m_pOk);
  buttons->addWidget(m_pCancel);
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(m_pSheet);
  layout->addLayout(buttons);

  connect(m_pOk, &QPushButton::clicked, this, &CConfigurationsDlg::accept);
  connect(m_pCancel, &QPushButton::clicked, this, &CConfigurationsDlg::reject);

  // The page's controls, then OK and Cancel.
  QWidget* last = m_pPage->DisplayDate();
  setTabOrder(last, m_pOk);
  setTabOrder(m_pOk, m_pCancel);

  m_pPage->SetDialog(this);
  m_pPage->LoadPage();
}

CConfigurationsDlg::~CConfigurationsDlg() = default;

void CConfigurationsDlg::SetRunHook(RunHook hook) { RunHookSlot() = std::move(hook); }

bool CConfigurationsDlg::Run(CArdevizView& view) {
  CConfigurationsDlg dialog(view.Settings(), &view);
  const RunHook& hook = RunHookSlot();
  const int result = hook ? hook(dialog) : dialog.exec();
  return result == QDialog::Accepted;
}

QString CConfigurationsDlg::GetHostAddress() const {
  if (m_settings.hostAddress == QLatin1String(CConfigConnections::kUnsetAddress)) {
    return QString::fromLatin1(kFixedHostAddress);
  }
  return m_settings.hostAddress;
}

QString CConfigurationsDlg::GetConnectionLabel() const {
  if (m_settings.ipLabel.isEmpty()) return QString::fromLatin1(CConfigConnections::kUntitledLabel);
  return m_settings.ipLabel;
}

void CConfigurationsDlg::SetConnectionSettings(const QString& hostAddress, std::uint32_t hostPort,
                                               const QString& userId, const QString& password,
                                               std::uint8_t ptzType) {
  m_settings.hostAddress = hostAddress.left(ViewerSettings::kHostAddressWidth - 1);
  m_settings.hostPort = hostPort;
  m_settings.userId = userId.left(ViewerSettings::kUserIdWidth - 1);
  m_settings.password = password.left(ViewerSettings::kPasswordWidth - 1);
  m_settings.ptzType = ptzType;
}

void CConfigurationsDlg::SetOptionSettings(std::uint8_t rotateInterval, std::uint8_t requestSpeed,
                                           std::uint8_t reconnectCount, std::uint32_t useFullScreen,
                                           std::uint32_t useAlertMode, std::uint8_t recordInterval,
                                           const QString& recordFolder, std::uint8_t dateShow) {
  m_settings.rotateInterval = rotateInterval;
  m_settings.requestSpeed = requestSpeed;
  m_settings.reconnectCount = reconnectCount;
  m_settings.useFullScreen = useFullScreen;
  m_settings.useAlertMode = useAlertMode;
  m_settings.recordInterval = recordInterval;
  m_settings.recordFolder = recordFolder;  // a cut path would name another folder
  m_settings.dateShow = dateShow;
}

void CConfigurationsDlg::SetConnectionLabel(const QString& label) {
  m_settings.ipLabel = label.left(ViewerSettings::kIpLabelWidth - 1);
}

void CConfigurationsDlg::accept() {
  if (m_pPage->OnOK()) QDialog::accept();
}
