#pragma once
// The "Event" dialog: lists the recorder's event file and, on a double click,
// asks its owner (the archive panel) to play from the event's time and channel.
// It never runs modally by itself; the owner shows it and keeps a QPointer to it.
// The list is a view over EventListModel, which makes a row's texts only when
// they are shown, so a list of any length opens and reloads without a pause.

#include <QDialog>
#include <QString>

#include <cstdint>

#include "viewer/EventListModel.h"

class QModelIndex;
class QPushButton;
class QTableView;

class CEventDlg : public QDialog {
  Q_OBJECT

 public:
  // The list's outer size; wider only when its texts need more.
  static constexpr int kListWidth = 406;
  static constexpr int kListHeight = 280;

  // listAtOnce: an event file is already there, so list it straight away.
  explicit CEventDlg(bool listAtOnce, QWidget* parent = nullptr, const QString& eventFilePath = DefaultEventFilePath());

  static QString DefaultEventFilePath();

  QTableView* List() const { return m_pList; }
  EventListModel* Model() const { return m_pModel; }
  QString EventFilePath() const { return m_eventFilePath; }

 public slots:
  // Refills the list from the event file; an unreadable file leaves it empty.
  void Reload();

 signals:
  // packedTime is MakeTimeCost of the event; channel counts from 0.
  void playFromEvent(quint32 packedTime, int channel);

 private:
  void OnDoubleClicked(const QModelIndex& index);

  QString m_eventFilePath;
  EventListModel* m_pModel = nullptr;
  QTableView* m_pList = nullptr;
  QPushButton* m_pOkButton = nullptr;
};
