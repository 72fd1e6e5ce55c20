#pragma once
// One entry of the recorder's event list as stored in "AlarmEvent.am": 10-byte
// records, no header, no trailer. The reader keeps only records whose fields lie
// in their ranges; a trailing part shorter than a record is ignored.

#include <array>
#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

#include <QByteArray>
#include <QString>

// Written by the DVR link, read by the Event dialog; relative to the working folder.
inline constexpr char kEventFileName[] = "AlarmEvent.am";

inline constexpr std::size_t kEventRecordSize = 10;
inline constexpr int kEventYearBase = 1996;

// Bits of the event byte, most significant first, and the text each contributes.
inline constexpr std::array<std::uint8_t, 8> kEventBitValues = {0x80, 0x40, 0x20, 0x10, 0x08, 0x04, 0x02, 0x01};
inline constexpr std::array<const char*, 8> kEventBitTexts = {
    " Normal Close",    " Normal Open",      " Alarm 0 -> 1",      " Alarm 1 -> 0",
    " No Loss -> Loss", " Loss -> No Loss", " NoEvent -> Motion", " Motion -> NoEvent",
};
inline constexpr char kNoEventText[] = "No Event";

// Packed event time: year - 1996 in bits 26..31, month 22..25, day 17..21,
// hour 12..16, minute 6..11, second 0..5. Each field keeps only its low bits,
// so a year offset above 63 wraps; this is the form the archive panel plays from.
std::uint32_t MakeTimeCost(int year, int month, int day, int hour, int minute, int second);

// The fields of a packed event time, the year already offset back by 1996.
struct EventTimeFields {
  int year = kEventYearBase;
  int month = 0;
  int day = 0;
  int hour = 0;
  int minute = 0;
  int second = 0;
};
EventTimeFields UnpackTimeCost(std::uint32_t packedTime);

struct EventRecord {
  std::uint8_t channel = 0;    // counted from 1; 0 is listed but cannot be played
  std::uint8_t eventBits = 0;
  std::uint8_t yearOffset = 0; // year - 1996
  std::uint8_t month = 0;
  std::uint8_t day = 0;
  std::uint8_t hour = 0;
  std::uint8_t minute = 0;
  std::uint8_t second = 0;
  std::array<std::uint8_t, 2> reserved{};

  // Exactly kEventRecordSize bytes.
  static EventRecord FromBytes(std::span<const std::uint8_t, kEventRecordSize> bytes);

  // Every field of bytes 0..7 within the range the recorder uses.
  bool IsValid() const;

  int Year() const { return kEventYearBase + yearOffset; }
  std::uint32_t TimeCost() const;

  QString ChannelText() const;   // "CH3"
  QString AlarmTypeText() const; // " Normal Close Alarm 0 -> 1", or "No Event"
  QString DateTimeText() const;  // "[ 2005/05/31 ] 23:59:59"
};

// The valid records of an event file image, in file order.
std::vector<EventRecord> ParseEventRecords(std::span<const std::uint8_t> bytes);
std::vector<EventRecord> ParseEventRecords(const QByteArray& bytes);
