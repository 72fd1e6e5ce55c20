#include "viewer/EventRecord.h"

namespace {

constexpr int kMaxChannel = 16;
constexpr int kMaxYearOffset = 100;
constexpr int kMaxMonth = 12;
constexpr int kMaxDay = 31;
constexpr int kMaxHour = 24;
constexpr int kMaxMinuteOrSecond = 59;

}  // namespace

std::uint32_t MakeTimeCost(int year, int month, int day, int hour, int minute, int second) {
  // Unsigned arithmetic: a year before 1996 or past 2059 wraps instead of overflowing.
  const auto yearOffset = static_cast<std::uint32_t>(year - kEventYearBase);
  return (yearOffset << 26) | ((static_cast<std::uint32_t>(month) & 0x0F) << 22) |
         ((static_cast<std::uint32_t>(day) & 0x1F) << 17) | ((static_cast<std::uint32_t>(hour) & 0x1F) << 12) |
         ((static_cast<std::uint32_t>(minute) & 0x3F) << 6) | (static_cast<std::uint32_t>(second) & 0x3F);
}

EventTimeFields UnpackTimeCost(std::uint32_t packedTime) {
  EventTimeFields f;
  f.year = kEventYearBase + static_cast<int>(packedTime >> 26);
  f.month = static_cast<int>((packedTime >> 22) & 0x0F);
  f.day = static_cast<int>((packedTime >> 17) & 0x1F);
  f.hour = static_cast<int>((packedTime >> 12) & 0x1F);
  f.minute = static_cast<int>((packedTime >> 6) & 0x3F);
  f.second = static_cast<int>(packedTime & 0x3F);
  return f;
}

EventRecord EventRecord::FromBytes(std::span<const std::uint8_t, kEventRecordSize> bytes) {
  EventRecord r;
  r.channel = bytes[0];
  r.eventBits = bytes[1];
  r.yearOffset = bytes[2];
  r.month = bytes[3];
  r.day = bytes[4];
  r.hour = bytes[5];
  r.minute = bytes[6];
  r.second = bytes[7];
  r.reserved = {bytes[8], bytes[9]};
  return r;
}

bool EventRecord::IsValid() const {
  return channel <= kMaxChannel && yearOffset <= kMaxYearOffset && month <= kMaxMonth && day <= kMaxDay &&
         hour <= kMaxHour && minute <= kMaxMinuteOrSecond && second <= kMaxMinuteOrSecond;
}

std::uint32_t EventRecord::TimeCost() const { return MakeTimeCost(Year(), month, day, hour, minute, second); }

QString EventRecord::ChannelText() const { return QStringLiteral("CH%1").arg(channel); }

QString EventRecord::AlarmTypeText() const {
  if (eventBits == 0) return QString::fromLatin1(kNoEventText);
  QString text;
  for (std::size_t i = 0; i < kEventBitValues.size(); ++i) {
    if (eventBits & kEventBitValues[i]) text += QLatin1String(kEventBitTexts[i]);
  }
  return text;
}

QString EventRecord::DateTimeText() const {
  return QString::asprintf("[ %04d/%02d/%02d ] %02d:%02d:%02d", Year(), month, day, hour, minute, second);
}

std::vector<EventRecord> ParseEventRecords(std::span<const std::uint8_t> bytes) {
  std::vector<EventRecord> records;
  records.reserve(bytes.size() / kEventRecordSize);
  for (std::size_t pos = 0; pos + kEventRecordSize <= bytes.size(); pos += kEventRecordSize) {
    const EventRecord r = EventRecord::FromBytes(bytes.subspan(pos).first<kEventRecordSize>());
    if (r.IsValid()) records.push_back(r);
  }
  return records;
}

std::vector<EventRecord> ParseEventRecords(const QByteArray& bytes) {
  return ParseEventRecords(
      std::span<const std::uint8_t>(reinterpret_cast<const std::uint8_t*>(bytes.constData()),
                                    static_cast<std::size_t>(bytes.size())));
}
