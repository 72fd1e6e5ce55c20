#pragma once
// The simulated recorder's archive: which moments are recorded, how the range
// and playback stamps are written for each protocol version, and the event list.

#include <QDateTime>
#include <array>
#include <cstdint>
#include <optional>
#include <vector>

class SimArchive {
 public:
  static constexpr int kGapHour = 2;  // every day 02:00:00 to 02:59:59 holds no recording
  static constexpr qint64 kDefaultSpanSeconds = 7 * 24 * 3600;
  static constexpr std::size_t kEventRecordSize = 10;
  static constexpr int kEventYearBase = 1996;
  static constexpr std::size_t kMaxEventRecords = 4000;

  // A fixed range, or (invalid arguments) the last 7 days with the end following the clock.
  SimArchive(const QDateTime& from, const QDateTime& to);

  // The first and last recorded moments of the range.
  QDateTime First() const;
  QDateTime Last() const;
  bool Contains(const QDateTime& moment) const;
  bool HasRecording(const QDateTime& moment) const;
  // The nearest recorded moment at or after (forward) or at or before (backward) the moment.
  QDateTime SkipGap(const QDateTime& moment, bool backward) const;
  // Position of a moment inside the range in ten-thousandths of a percent (0..1000000).
  std::uint32_t PositionOf(const QDateTime& moment) const;

  // Words w2..w5 of the login reply and of DATATYPE_DVR_STATUS2_REPLY.
  std::array<std::uint32_t, 4> RangeWords(int protocolVersion) const;
  // w0 and w1 of DATATYPE_PLAY_IMAGE for a channel counted from 1: version 1
  // puts the channel counted from 0 in w0 and seconds in w1, the later versions
  // a PlayImageStamp.
  static std::array<std::uint32_t, 2> PlayStampWords(int protocolVersion, int channel, const QDateTime& moment);
  // The start moment of a play request. Version 1 carries seconds, or the packed
  // event time when playback starts at an event; the reading inside the range wins.
  std::optional<QDateTime> PlayStart(int protocolVersion, std::uint32_t w1, std::uint32_t w2) const;

  // Packed event time: year - 1996 in bits 26..31, month 22..25, day 17..21,
  // hour 12..16, minute 6..11, second 0..5.
  static std::uint32_t PackEventTime(const QDateTime& moment);
  static std::optional<QDateTime> UnpackEventTime(std::uint32_t packed);

  // The event list: 10-byte records of alarms, video losses and motion over the range.
  std::vector<std::uint8_t> EventFile(int channelCount) const;

 private:
  QDateTime LastMoment() const;  // the end of the range, gap or not

  QDateTime m_from;
  QDateTime m_to;
  bool m_followClock = false;
  QDateTime m_created;
};
