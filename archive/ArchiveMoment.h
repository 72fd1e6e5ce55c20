#pragma once
// A calendar date and time of day as the archive panel keeps START, END and the
// requested moment. Plain fields, so that the words sent to the recorder come
// straight from what the operator chose, even for a moment no calendar has
// (an event time with day 0 or hour 24 is still sent as it was listed).

#include <QDate>
#include <QDateTime>

#include <cstdint>

struct ArchiveMoment {
  int year = 0;
  int month = 0;
  int day = 0;
  int hour = 0;
  int minute = 0;
  int second = 0;

  static ArchiveMoment FromDateTime(const QDateTime& dt);
  // Local time of seconds since 1970 (version 1 recorders).
  static ArchiveMoment FromSeconds(std::uint32_t seconds);
  static ArchiveMoment FromDate(const QDate& date, int hour, int minute, int second);
  // From a DvrTime word: hour << 24 | minute << 16 | second << 8.
  static ArchiveMoment FromDateAndTimeWord(const QDate& date, std::uint32_t timeWord);

  // A real calendar date and a time of day below 24:00:00.
  bool IsValid() const;
  QDate Date() const { return QDate(year, month, day); }
  QDateTime ToDateTime() const;

  // Seconds since 1970 of this local date and time; out-of-range fields carry
  // over into the next field as the C library's mktime does.
  std::uint32_t ToSeconds() const;

  // year << 16 | month << 8 | day
  std::uint32_t DvrDate() const;
  // hour << 24 | minute << 16 | second << 8
  std::uint32_t DvrTime() const;
  // Comparable numbers for the range check.
  std::uint32_t DateNumber() const { return DvrDate(); }
  std::uint32_t TimeOfDayNumber() const;

  friend bool operator==(const ArchiveMoment&, const ArchiveMoment&) = default;
};

inline constexpr std::uint32_t MakeDvrDate(int year, int month, int day) {
  return static_cast<std::uint32_t>(year) << 16 | (static_cast<std::uint32_t>(month) & 0xFF) << 8 |
         (static_cast<std::uint32_t>(day) & 0xFF);
}

inline constexpr std::uint32_t MakeDvrTime(int hour, int minute, int second) {
  return (static_cast<std::uint32_t>(hour) & 0xFF) << 24 | (static_cast<std::uint32_t>(minute) & 0xFF) << 16 |
         (static_cast<std::uint32_t>(second) & 0xFF) << 8;
}

inline constexpr int DvrTimeHour(std::uint32_t t) { return static_cast<int>(t >> 24); }
inline constexpr int DvrTimeMinute(std::uint32_t t) { return static_cast<int>((t >> 16) & 0xFF); }
inline constexpr int DvrTimeSecond(std::uint32_t t) { return static_cast<int>((t >> 8) & 0xFF); }
