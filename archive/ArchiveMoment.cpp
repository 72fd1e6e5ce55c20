#include "archive/ArchiveMoment.h"

#include <QTime>

ArchiveMoment ArchiveMoment::FromDateTime(const QDateTime& dt) {
  const QDate d = dt.date();
  const QTime t = dt.time();
  return {d.year(), d.month(), d.day(), t.hour(), t.minute(), t.second()};
}

ArchiveMoment ArchiveMoment::FromSeconds(std::uint32_t seconds) {
  return FromDateTime(QDateTime::fromSecsSinceEpoch(static_cast<qint64>(seconds)));
}

ArchiveMoment ArchiveMoment::FromDate(const QDate& date, int hour, int minute, int second) {
  return {date.year(), date.month(), date.day(), hour, minute, second};
}

ArchiveMoment ArchiveMoment::FromDateAndTimeWord(const QDate& date, std::uint32_t timeWord) {
  return FromDate(date, DvrTimeHour(timeWord), DvrTimeMinute(timeWord), DvrTimeSecond(timeWord));
}

bool ArchiveMoment::IsValid() const {
  return QDate::isValid(year, month, day) && QTime::isValid(hour, minute, second);
}

QDateTime ArchiveMoment::ToDateTime() const {
  if (!IsValid()) return {};
  return QDateTime(QDate(year, month, day), QTime(hour, minute, second));
}

std::uint32_t ArchiveMoment::ToSeconds() const {
  // Normalise like mktime: months beyond 12 roll into years, days and
  // seconds into the following units.
  int y = year;
  int m = month - 1;
  y += m / 12;
  m %= 12;
  if (m < 0) {
    m += 12;
    --y;
  }
  const QDate first(y, m + 1, 1);
  if (!first.isValid()) return 0;
  const QDateTime midnight(first.addDays(day - 1), QTime(0, 0));
  const qint64 secs = midnight.toSecsSinceEpoch() + qint64(hour) * 3600 + qint64(minute) * 60 + second;
  return static_cast<std::uint32_t>(secs);
}

std::uint32_t ArchiveMoment::DvrDate() const { return MakeDvrDate(year, month, day); }

std::uint32_t ArchiveMoment::DvrTime() const { return MakeDvrTime(hour, minute, second); }

std::uint32_t ArchiveMoment::TimeOfDayNumber() const {
  return static_cast<std::uint32_t>(hour) << 16 | static_cast<std::uint32_t>(minute) << 8 |
         static_cast<std::uint32_t>(second);
}
