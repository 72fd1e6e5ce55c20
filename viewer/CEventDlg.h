#pragma once
// The "Event" dialog: lists the recorder's event file and, on a double click,
// asks its owner (the archive panel) to play from the event's time and channel.
// It never runs modally by itself; the owner shows it and keeps a QPointer to it.

#include <cstdint>

#include <QDialog>
#include <QString>

class QPushButton;
class QTableWidget;

class CEventDlg : public QDialog {
  Q_OBJECT

 public:
  // The list's outer width; the three columns share it minus the frame.
  static constexpr int kListWidth = 406;
  static constexpr int kListHeight = 280;
  static constexpr int kListFrameAllowance = 6;

  enum Column { ColumnChannel = 0, ColumnAlarmType = 1, ColumnDateTime = 2, ColumnCount = 3 };

  // listAtOnce: an event file is already there, so list it straight away.
  explicit CEventDlg(bool listAtOnce, QWidget* parent = nullptr, const QString& eventFilePath = DefaultEventFilePath());

  static QString DefaultEventFilePath();

  QTableWidget* List() const { return m_pList; }
  QString EventFilePath() const { return m_eventFilePath; }

 public slots:
  // Refills the list from the event file; an unreadable file leaves it empty.
  void Reload();

 signals:
  // packedTime is MakeTimeCost of the event; channel counts from 0.
  void playFromEvent(quint32 packedTime, int channel);

 private:
  void OnCellDoubleClicked(int row, int column);

  QString m_eventFilePath;
  QTableWidget* m_pList = nullptr;
  QPushButton* m_pOkButton = nullptr;
};
