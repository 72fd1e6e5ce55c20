#pragma once
// The rows of the Event dialog over the event file. Only the records that are
// listed are kept, packed back to back as they stand in the file (10 bytes a
// row, never more than the file itself, at most kEventFileBound); the texts
// of a row are made only when the view asks for them. A list of any length
// thus costs no widget item and no parsed row, and a reload is one read of
// the file and one pass over it.

#include <cstddef>
#include <optional>
#include <string>

#include <QAbstractTableModel>
#include <QString>

#include "viewer/EventRecord.h"

class EventListModel : public QAbstractTableModel {
  Q_OBJECT

 public:
  // The largest event file that is read: the largest packet the link accepts,
  // so every list a recorder can send fits. A larger file reads as missing.
  static constexpr std::size_t kEventFileBound = 8u * 1024u * 1024u;
  // Column "Channel" carries the event's MakeTimeCost under this role.
  static constexpr int kPackedTimeRole = Qt::UserRole;

  enum Column { ColumnChannel = 0, ColumnAlarmType = 1, ColumnDateTime = 2, ColumnCount = 3 };

  explicit EventListModel(QString eventFilePath, QObject* parent = nullptr);

  // Lists the valid records of the file; an unreadable file lists none.
  void Reload();
  // The record of a listed row; nullopt outside the list.
  std::optional<EventRecord> Record(int row) const;

  int rowCount(const QModelIndex& parent = {}) const override;
  int columnCount(const QModelIndex& parent = {}) const override;
  QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
  QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;

 private:
  QString m_eventFilePath;
  std::string m_records;  // the listed records, kEventRecordSize bytes each
};
