#pragma once
// "Configurations": a one-page tab sheet with the Connections page and OK and
// Cancel at the bottom right. It edits the viewer's ViewerSettings in
// place: the page reads them through the getters when the dialog opens and
// writes them through the three setters on OK. Cancel writes nothing.

#include <QDialog>
#include <QString>

#include <cstdint>
#include <functional>

#include "config/ViewerSettings.h"

class CConfigConnections;
class QPushButton;
class QTabWidget;

class CConfigurationsDlg : public QDialog {
  Q_OBJECT

 public:
  static constexpr int kIdOk = 1;
  static constexpr int kIdCancel = 2;
  static constexpr const char* kTitle = "Configurations";
  static constexpr const char* kFontFamily = "Microsoft Sans Serif";
  // Shown and stored instead of an unset host address "0.0.0.0".
  static constexpr const char* kFixedHostAddress = "192.168.0.100";

  explicit CConfigurationsDlg(ViewerSettings& settings, QWidget* parent = nullptr);
  ~CConfigurationsDlg() override;

  // Runs the dialog modally over parent on the settings; true when it closed with OK.
  // The run hook, when set, runs the dialog instead of exec() (tests drive it
  // without a nested modal loop).
  static bool Run(ViewerSettings& settings, QWidget* parent);
  using RunHook = std::function<int(CConfigurationsDlg&)>;
  static void SetRunHook(RunHook hook);

  // One getter per edited field.
  QString GetHostAddress() const;  // the fixed address when "0.0.0.0" is stored
  std::uint32_t GetHostPort() const { return m_settings.hostPort; }
  QString GetUserId() const { return m_settings.userId; }
  QString GetPassword() const { return m_settings.password; }
  std::uint8_t GetPtzType() const { return m_settings.ptzType; }
  std::uint8_t GetRotateInterval() const { return m_settings.rotateInterval; }
  std::uint8_t GetRequestSpeed() const { return m_settings.requestSpeed; }
  std::uint8_t GetReconnectCount() const { return m_settings.reconnectCount; }
  std::uint32_t GetUseFullScreen() const { return m_settings.useFullScreen; }
  std::uint32_t GetUseAlertMode() const { return m_settings.useAlertMode; }
  std::uint8_t GetRecordInterval() const { return m_settings.recordInterval; }
  QString GetRecordFolder() const { return m_settings.recordFolder; }
  std::uint8_t GetDateShow() const { return m_settings.dateShow; }
  std::uint8_t GetRecordFormat() const { return m_settings.recordFormat; }
  QString GetConnectionLabel() const;  // "UNTITLE" when the label is empty

  // The three groups written on OK, in this order.
  void SetConnectionSettings(const QString& hostAddress, std::uint32_t hostPort, const QString& userId,
                             const QString& password, std::uint8_t ptzType);
  void SetOptionSettings(std::uint8_t rotateInterval, std::uint8_t requestSpeed, std::uint8_t reconnectCount,
                         std::uint32_t useFullScreen, std::uint32_t useAlertMode, std::uint8_t recordInterval,
                         const QString& recordFolder, std::uint8_t dateShow);
  void SetConnectionLabel(const QString& label);
  void SetRecordFormat(std::uint8_t recordFormat) { m_settings.recordFormat = recordFormat; }

  CConfigConnections* Page() const { return m_pPage; }
  QTabWidget* Sheet() const { return m_pSheet; }
  QPushButton* OkButton() const { return m_pOk; }
  QPushButton* CancelButton() const { return m_pCancel; }

 public slots:
  // OK closes only when the page accepts its values.
  void accept() override;

 private:
  ViewerSettings& m_settings;
  QTabWidget* m_pSheet = nullptr;
  CConfigConnections* m_pPage = nullptr;
  QPushButton* m_pOk = nullptr;
  QPushButton* m_pCancel = nullptr;
};
