#pragma once
// "IP/PORT HISTORY TABLE": the connection history as a three-column list
// ("Name", "IP", "Port"). A click picks a row, a double click on a row picks
// it and closes with OK, Delete removes the picked entry from the file. On OK
// the caller reads the picked label, IP and port (port "8000" when empty).

#include <QDialog>
#include <QString>

class QPushButton;
class QTreeWidget;
class QTreeWidgetItem;

class CIpHistoryDlg : public QDialog {
  Q_OBJECT

 public:
  static constexpr int kIdList = 1076;
  static constexpr int kIdOk = 1;
  static constexpr int kIdCancel = 2;
  static constexpr int kIdDelete = 3;
  static constexpr int kColumnWidth = 100;
  static constexpr const char* kTitle = "IP/PORT HISTORY TABLE";
  static constexpr const char* kSelectText = "Please Select IP/PORT";
  static constexpr const char* kCaption = "Ardeviz";

  explicit CIpHistoryDlg(QWidget* parent = nullptr);

  const QString& PickedLabel() const { return m_strLabel; }
  const QString& PickedIp() const { return m_strIp; }
  const QString& PickedPort() const { return m_strPort; }
  bool IsPicked() const { return m_bPicked; }
  int RowCount() const { return m_nRowCount; }

  QTreeWidget* List() const { return m_pList; }
  QPushButton* OkButton() const { return m_pOk; }
  QPushButton* CancelButton() const { return m_pCancel; }
  QPushButton* DeleteButton() const { return m_pDelete; }

  // Fills the list from the file, creating the file with its default entry
  // when it is missing.
  void Reload();

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void OnOk();
  void OnDelete();
  void OnClick(QTreeWidgetItem* item);
  void OnDoubleClick(QTreeWidgetItem* item);
  void Pick(QTreeWidgetItem* item);
  void AddRow(const QString& label, const QString& ip, const QString& port);
  void CloseWithOk();

  QTreeWidget* m_pList = nullptr;
  QPushButton* m_pOk = nullptr;
  QPushButton* m_pCancel = nullptr;
  QPushButton* m_pDelete = nullptr;
  QString m_strLabel;
  QString m_strIp;
  QString m_strPort;
  bool m_bPicked = false;
  int m_nRowCount = 0;
};
