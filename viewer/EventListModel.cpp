#include "viewer/EventListModel.h"

#include <QFile>

#include <array>
#include <cstring>
#include <span>

#include "platform/LocalFile.h"

namespace {

const std::array<const char*, EventListModel::ColumnCount> kColumnTitles = {"Channel", "Alarm Type", "Date/Time"};

}  // namespace

EventListModel::EventListModel(QString eventFilePath, QObject* parent)
    : QAbstractTableModel(parent), m_eventFilePath(std::move(eventFilePath)) {}

void EventListModel::Reload() {
  beginResetModel();
  m_records = std::string();  // the old rows go before the new file is read
  auto bytes = LocalFile::Read(QFile::encodeName(m_eventFilePath).toStdString(), kEventFileBound);
  if (bytes) {
    // Keep the valid records in place at the front of the file image; the
    // rest (invalid records, a short tail) is cut off.
    std::string& data = *bytes;
    const auto* raw = reinterpret_cast<const std::uint8_t*>(data.data());
    std::size_t kept = 0;
    for (std::size_t pos = 0; pos + kEventRecordSize <= data.size(); pos += kEventRecordSize) {
      const std::span<const std::uint8_t, kEventRecordSize> record(raw + pos, kEventRecordSize);
      if (!EventRecord::FromBytes(record).IsValid()) continue;
      if (kept != pos) std::memmove(data.data() + kept, data.data() + pos, kEventRecordSize);
      kept += kEventRecordSize;
    }
    data.resize(kept);
    data.shrink_to_fit();
    m_records = std::move(data);
  }
  endResetModel();
}

std::optional<EventRecord> EventListModel::Record(int row) const {
  if (row < 0 || row >= rowCount()) return std::nullopt;
  const auto* raw = reinterpret_cast<const std::uint8_t*>(m_records.data()) +
                    static_cast<std::size_t>(row) * kEventRecordSize;
  return EventRecord::FromBytes(std::span<const std::uint8_t, kEventRecordSize>(raw, kEventRecordSize));
}

int EventListModel::rowCount(const QModelIndex& parent) const {
  if (parent.isValid()) return 0;
  return static_cast<int>(m_records.size() / kEventRecordSize);
}

int EventListModel::columnCount(const QModelIndex& parent) const { return parent.isValid() ? 0 : ColumnCount; }

QVariant EventListModel::data(const QModelIndex& index, int role) const {
  if (!index.isValid()) return {};
  if (role == Qt::TextAlignmentRole) return QVariant::fromValue(Qt::Alignment(Qt::AlignCenter));
  if (role != Qt::DisplayRole && role != kPackedTimeRole) return {};
  const auto record = Record(index.row());
  if (!record) return {};
  if (role == kPackedTimeRole) {
    return index.column() == ColumnChannel ? QVariant::fromValue<quint32>(record->TimeCost()) : QVariant();
  }
  switch (index.column()) {
    case ColumnChannel: return record->ChannelText();
    case ColumnAlarmType: return record->AlarmTypeText();
    case ColumnDateTime: return record->DateTimeText();
    default: return {};
  }
}

QVariant EventListModel::headerData(int section, Qt::Orientation orientation, int role) const {
  if (orientation != Qt::Horizontal || section < 0 || section >= ColumnCount) return {};
  if (role == Qt::DisplayRole) return QString::fromLatin1(kColumnTitles[static_cast<std::size_t>(section)]);
  if (role == Qt::TextAlignmentRole) return QVariant::fromValue(Qt::Alignment(Qt::AlignCenter));
  return {};
}
