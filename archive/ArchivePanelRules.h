#pragma once
// The panel's arithmetic, free of any window: channel cells, the hour steps of
// the time navigation, the source window of a picture and the texts it shows.

#include <QDate>
#include <QRect>
#include <QString>

#include <array>
#include <cstdint>

#include "archive/ArchiveMoment.h"
#include "link/PacketFormat.h"

namespace archive_rules {

constexpr int kMaxGridSize = 4;
constexpr QRect kImageArea(62, 22, 640, 480);

struct ChannelCells {
  std::array<QRect, wire::kChannels> rect{};  // empty for a channel not shown
  std::array<bool, wire::kChannels> shown{};
};

// gridSize panes per side starting at channel first (modulo 16); cells go to
// the shown channels in increasing channel number.
ChannelCells LayOutChannels(int gridSize, int first);

// The time navigation's hour steps from the calendar date and the hour of the
// time word, with the fixed month table (February always 28 days).
ArchiveMoment OneHourBack(const QDate& date, int hour);
ArchiveMoment OneHourForward(const QDate& date, int hour);
int FixedMonthLength(int month);

// "2005/01/31  23:00:00"; the range texts show kUnknownMoment while unknown.
QString MomentText(const ArchiveMoment& m);
inline constexpr char kUnknownMoment[] = "----/--/--  --:--:--";
// Ten-thousandths of a percent: 123456 -> "012.3456%".
QString PositionText(std::uint32_t position);
QString ClockText(std::uint32_t timeWord);
// The message box text of a link status code (empty for codes without text).
QString LinkStatusText(int statusCode, int missCount, std::uint32_t channelStatusWord);

}  // namespace archive_rules
