#pragma once
// The "Connections" page of the Configurations dialog: the connection, the
// login, the camera protocol, the viewing options and the recording options.
// Lists and check boxes show and store positions and flags directly; the
// texts and the port are kept in the page's own fields and exchanged with
// their controls on loading and on OK. The page reaches the settings only
// through its dialog's getters and setters.
//
// "IP Load" and "Browse.." open their dialogs without blocking; the result is
// taken when the dialog finishes.

#include <QFileDialog>
#include <QPointer>
#include <QString>
#include <QWidget>

#include <cstdint>

#include "config/CIpHistoryDlg.h"

class CConfigurationsDlg;
class IpAddressEdit;
class QCheckBox;
class QComboBox;
class QLineEdit;
class QPushButton;

class CConfigConnections : public QWidget {
  Q_OBJECT

 public:
  // Control identifiers of the page.
  enum ControlId : int {
    kIdName = 1074,
    kIdIpLoad = 1077,
    kIdIpAddress = 1116,
    kIdPort = 1118,
    kIdUserId = 1119,
    kIdPassword = 1120,
    kIdPtTypes = 1121,
    kIdRotateInterval = 1126,
    kIdScanRate = 1064,
    kIdReconnectCount = 1128,
    kIdFullScreen = 1124,
    kIdReceiveEvent = 1125,
    kIdRecordFolder = 1129,
    kIdBrowse = 1130,
    kIdRecordInterval = 1056,
    kIdDisplayDate = 1072,
  };

  static constexpr const char* kCaption = "Connections";
  static constexpr const char* kUntitledLabel = "UNTITLE";
  static constexpr const char* kUnsetAddress = "0.0.0.0";
  static constexpr const char* kNoPortText = "0";
  static constexpr const char* kNoAddressText = "Please Input correct IP/PORT or Press [IP Load] button.";
  static constexpr const char* kMessageCaption = "Ardeviz";
  static constexpr const char* kHistoryNotAddedText =
      "This connection was not added to the history (ini/cnn.ini): the history is full or cannot be written.";
  // The ports a TCP connection can use.
  static constexpr std::uint32_t kPortMin = 1;
  static constexpr std::uint32_t kPortMax = 65535;
  // Texts read from the Name, IP Address and Port controls.
  static constexpr int kControlTextChars = 127;
  // Characters the page stores into each text field of the settings.
  static constexpr int kLabelChars = 63;
  static constexpr int kUserIdChars = 63;
  static constexpr int kPasswordChars = 31;

  explicit CConfigConnections(QWidget* parent = nullptr);
  ~CConfigConnections() override;

  // The validation prompt for a port outside kPortMin to kPortMax.
  static QString PortPrompt();

  void SetDialog(CConfigurationsDlg* dialog) { m_pDialog = dialog; }
  // Copies the settings into the page and its controls.
  void LoadPage();
  // The dialog's OK: validates, writes the settings, checks the address and
  // adds the history entry. True when the dialog may close.
  bool OnOK();
  void OnIpLoad();
  void OnBrowse();

  // Controls, in tab order.
  QLineEdit* NameEdit() const { return m_pName; }
  QPushButton* IpLoadButton() const { return m_pIpLoad; }
  IpAddressEdit* IpAddress() const { return m_pIpAddress; }
  QLineEdit* PortEdit() const { return m_pPort; }
  QLineEdit* UserIdEdit() const { return m_pUserId; }
  QLineEdit* PasswordEdit() const { return m_pPassword; }
  QComboBox* PtTypes() const { return m_pPtTypes; }
  QComboBox* RotateInterval() const { return m_pRotateInterval; }
  QComboBox* ScanRate() const { return m_pScanRate; }
  QComboBox* ReconnectCount() const { return m_pReconnectCount; }
  QCheckBox* FullScreen() const { return m_pFullScreen; }
  QCheckBox* ReceiveEvent() const { return m_pReceiveEvent; }
  QLineEdit* RecordFolderEdit() const { return m_pRecordFolder; }
  QPushButton* BrowseButton() const { return m_pBrowse; }
  QComboBox* RecordInterval() const { return m_pRecordInterval; }
  QCheckBox* DisplayDate() const { return m_pDisplayDate; }
  QComboBox* RecordFormat() const { return m_pRecordFormat; }

  // The dialogs opened by "IP Load" and "Browse.." while they are open.
  CIpHistoryDlg* HistoryDialog() const { return m_pHistoryDlg; }
  QFileDialog* FolderBrowser() const { return m_pFolderBrowser; }

  // The page's own fields.
  const QString& LabelField() const { return m_strLabel; }
  const QString& UserIdField() const { return m_strUserId; }
  const QString& PasswordField() const { return m_strPassword; }
  std::uint32_t PortField() const { return m_nPort; }
  const QString& RecordFolderField() const { return m_strRecordFolder; }

 private:
  void BuildControls();
  // Fields to controls.
  void PushFields();
  // Controls to fields; false (after the prompt) when the port fails.
  bool PullFields();
  void OnHistoryFinished(int result);
  // A box tells the operator when the entry could not be added.
  void AddToHistory(const QString& name, const QString& address, const QString& port);
  void OnFolderChosen(const QString& folder);
  QString ControlText(const QString& text) const { return text.left(kControlTextChars); }

  CConfigurationsDlg* m_pDialog = nullptr;

  QLineEdit* m_pName = nullptr;
  QPushButton* m_pIpLoad = nullptr;
  IpAddressEdit* m_pIpAddress = nullptr;
  QLineEdit* m_pPort = nullptr;
  QLineEdit* m_pUserId = nullptr;
  QLineEdit* m_pPassword = nullptr;
  QComboBox* m_pPtTypes = nullptr;
  QComboBox* m_pRotateInterval = nullptr;
  QComboBox* m_pScanRate = nullptr;
  QComboBox* m_pReconnectCount = nullptr;
  QCheckBox* m_pFullScreen = nullptr;
  QCheckBox* m_pReceiveEvent = nullptr;
  QLineEdit* m_pRecordFolder = nullptr;
  QPushButton* m_pBrowse = nullptr;
  QComboBox* m_pRecordInterval = nullptr;
  QCheckBox* m_pDisplayDate = nullptr;
  QComboBox* m_pRecordFormat = nullptr;

  QPointer<CIpHistoryDlg> m_pHistoryDlg;
  QPointer<QFileDialog> m_pFolderBrowser;

  QString m_strLabel;
  QString m_strUserId;
  QString m_strPassword;
  std::uint32_t m_nPort = 0;
  QString m_strRecordFolder;
};
