#include "sim/SimArchive.h"

#include <algorithm>

#include "link/PacketFormat.h"

namespace {

constexpr std::uint8_t kEventAlarmOn = 0x20;
constexpr std::uint8_t kEventAlarmOff = 0x10;
constexpr std::uint8_t kEventLoss = 0x08;
constexpr std::uint8_t kEventLossEnd = 0x04;
constexpr std::uint8_t kEventMotion = 0x02;
constexpr std::uint8_t kEventMotionEnd = 0x01;
constexpr qint64 kEventSpacingSeconds = 3 * 3600;

QDateTime WholeSeconds(const QDateTime& t) {
  return QDateTime::fromSecsSinceEpoch(t.toSecsSinceEpoch());
}

bool IsValidDvrDateTime(int year, int month, int day, int hour, int minute, int second) {
  return QDate::isValid(year, month, day) && QTime::isValid(hour, minute, second);
}

}  // namespace

SimArchive::SimArchive(const QDateTime& from, const QDateTime& to) : m_created(QDateTime::currentDateTime()) {
  if (from.isValid() && to.isValid() && from < to) {
    m_from = WholeSeconds(from);
    m_to = WholeSeconds(to);
  } else {
    m_followClock = true;
    m_to = WholeSeconds(m_created);
    m_from = m_to.addSecs(-kDefaultSpanSeconds);
  }
}

// The announced range starts and ends on recorded moments, so a play request at
// either end brings pictures whatever hour the recorder was started at.
QDateTime SimArchive::First() const {
  const QDateTime first = SkipGap(m_from, false);
  return first <= LastMoment() ? first : m_from;
}

QDateTime SimArchive::Last() const {
  const QDateTime last = WholeSeconds(SkipGap(LastMoment(), true));
  return last >= m_from ? last : LastMoment();
}

QDateTime SimArchive::LastMoment() const {
  return m_followClock ? WholeSeconds(QDateTime::currentDateTime()) : m_to;
}

bool SimArchive::Contains(const QDateTime& moment) const { return moment >= First() && moment <= Last(); }

bool SimArchive::HasRecording(const QDateTime& moment) const {
  return Contains(moment) && moment.time().hour() != kGapHour;
}

QDateTime SimArchive::SkipGap(const QDateTime& moment, bool backward) const {
  if (moment.time().hour() != kGapHour) return moment;
  const QDateTime gapStart(moment.date(), QTime(kGapHour, 0, 0));
  return backward ? gapStart.addMSecs(-1) : gapStart.addSecs(3600);
}

std::uint32_t SimArchive::PositionOf(const QDateTime& moment) const {
  constexpr qint64 kFull = 1000000;
  const qint64 span = First().msecsTo(Last());
  if (span <= 0) return 0;
  const qint64 at = std::clamp<qint64>(First().msecsTo(moment), 0, span);
  return static_cast<std::uint32_t>(at * kFull / span);
}

std::array<std::uint32_t, 4> SimArchive::RangeWords(int protocolVersion) const {
  const QDateTime first = First();
  const QDateTime last = Last();
  if (protocolVersion == 1) {
    return {static_cast<std::uint32_t>(first.toSecsSinceEpoch()), static_cast<std::uint32_t>(last.toSecsSinceEpoch()),
            0, 0};
  }
  auto date = [](const QDateTime& t) {
    return wire::DvrDate{t.date().year(), t.date().month(), t.date().day()}.Pack();
  };
  auto time = [](const QDateTime& t) {
    return wire::DvrTime{t.time().hour(), t.time().minute(), t.time().second()}.Pack();
  };
  return {date(first), time(first), date(last), time(last)};
}

std::array<std::uint32_t, 2> SimArchive::PlayStampWords(int protocolVersion, int channel, const QDateTime& moment) {
  if (protocolVersion == 1) {
    // Version 1 carries the channel counted from 0 in the low byte.
    return {static_cast<std::uint32_t>((channel - 1) & 0xFF), static_cast<std::uint32_t>(moment.toSecsSinceEpoch())};
  }
  wire::PlayImageStamp stamp;
  stamp.channel = channel;
  stamp.year = moment.date().year();
  stamp.month = moment.date().month();
  stamp.day = moment.date().day();
  stamp.hour = moment.time().hour();
  stamp.minute = moment.time().minute();
  stamp.second = moment.time().second();
  return {stamp.Word0(), stamp.Word1()};
}

std::optional<QDateTime> SimArchive::PlayStart(int protocolVersion, std::uint32_t w1, std::uint32_t w2) const {
  if (protocolVersion == 1) {
    const QDateTime asSeconds = QDateTime::fromSecsSinceEpoch(static_cast<qint64>(w1));
    const std::optional<QDateTime> asEvent = UnpackEventTime(w1);
    if (asEvent && Contains(*asEvent) && !Contains(asSeconds)) return asEvent;
    return asSeconds;
  }
  const wire::DvrDate d = wire::DvrDate::Unpack(w1);
  const wire::DvrTime t = wire::DvrTime::Unpack(w2);
  if (!IsValidDvrDateTime(d.year, d.month, d.day, t.hour, t.minute, t.second)) return std::nullopt;
  return QDateTime(QDate(d.year, d.month, d.day), QTime(t.hour, t.minute, t.second));
}

std::uint32_t SimArchive::PackEventTime(const QDateTime& moment) {
  const QDate d = moment.date();
  const QTime t = moment.time();
  return static_cast<std::uint32_t>(d.year() - kEventYearBase) << 26 | static_cast<std::uint32_t>(d.month() & 0xF) << 22 |
         static_cast<std::uint32_t>(d.day() & 0x1F) << 17 | static_cast<std::uint32_t>(t.hour() & 0x1F) << 12 |
         static_cast<std::uint32_t>(t.minute() & 0x3F) << 6 | static_cast<std::uint32_t>(t.second() & 0x3F);
}

std::optional<QDateTime> SimArchive::UnpackEventTime(std::uint32_t packed) {
  const int year = static_cast<int>(packed >> 26) + kEventYearBase;
  const int month = static_cast<int>((packed >> 22) & 0xF);
  const int day = static_cast<int>((packed >> 17) & 0x1F);
  const int hour = static_cast<int>((packed >> 12) & 0x1F);
  const int minute = static_cast<int>((packed >> 6) & 0x3F);
  const int second = static_cast<int>(packed & 0x3F);
  if (!IsValidDvrDateTime(year, month, day, hour, minute, second)) return std::nullopt;
  return QDateTime(QDate(year, month, day), QTime(hour, minute, second));
}

std::vector<std::uint8_t> SimArchive::EventFile(int channelCount) const {
  // One incident every three hours, cycling through alarm, video loss and
  // motion and through the channels; each incident is a pair of records (its
  // start and its end), as a recorder logs them.
  struct Kind {
    std::uint8_t start, end;
    qint64 durationSeconds;
  };
  static constexpr std::array<Kind, 3> kKinds{{{kEventAlarmOn, kEventAlarmOff, 30},
                                               {kEventLoss, kEventLossEnd, 120},
                                               {kEventMotion, kEventMotionEnd, 15}}};
  const int channels = std::clamp(channelCount, 1, 16);
  std::vector<std::uint8_t> file;
  auto add = [&](int channel, std::uint8_t bits, const QDateTime& t) {
    const QDate d = t.date();
    const QTime tm = t.time();
    if (d.year() < kEventYearBase || d.year() > kEventYearBase + 100) return;
    const std::uint8_t record[kEventRecordSize] = {
        static_cast<std::uint8_t>(channel), bits, static_cast<std::uint8_t>(d.year() - kEventYearBase),
        static_cast<std::uint8_t>(d.month()), static_cast<std::uint8_t>(d.day()),
        static_cast<std::uint8_t>(tm.hour()), static_cast<std::uint8_t>(tm.minute()),
        static_cast<std::uint8_t>(tm.second()), 0, 0};
    file.insert(file.end(), record, record + kEventRecordSize);
  };
  const QDateTime first = First();
  const QDateTime last = Last();
  for (int i = 0;; ++i) {
    if (file.size() + 2 * kEventRecordSize > kMaxEventRecords * kEventRecordSize) break;
    const QDateTime t = first.addSecs(3600 + i * kEventSpacingSeconds + (i * 7 % 50) * 60);
    const Kind& kind = kKinds[static_cast<std::size_t>(i) % kKinds.size()];
    const QDateTime end = t.addSecs(kind.durationSeconds);
    if (end > last) break;
    const int channel = i % channels + 1;
    add(channel, kind.start, t);
    add(channel, kind.end, end);
  }
  return file;
}
