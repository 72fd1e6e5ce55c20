#include "archive/ArchivePanelRules.h"

namespace archive_rules {

namespace {
constexpr int kMonthLengths[12] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
constexpr int kImageWidth = 640;
constexpr int kImageHeight = 480;
}  // namespace

ChannelCells LayOutChannels(int gridSize, int first) {
  const int n = std::clamp(gridSize, 1, kMaxGridSize);
  const int w = kImageWidth / n;
  const int h = kImageHeight / n;
  ChannelCells cells;
  for (int k = 0; k < n * n; ++k) cells.shown[static_cast<std::size_t>((first + k) % wire::kChannels)] = true;
  int k = 0;
  for (int ch = 0; ch < wire::kChannels; ++ch) {
    if (!cells.shown[ch]) continue;
    const int col = k % n;
    const int row = k / n;
    // Right and bottom are exclusive: a one-pixel gap between cells for the frames.
    cells.rect[ch] = QRect(QPoint(w * col + 63, h * row + 23), QPoint(w * (col + 1) + 61 - 1, h * (row + 1) + 21 - 1));
    ++k;
  }
  return cells;
}

int FixedMonthLength(int month) { return month >= 1 && month <= 12 ? kMonthLengths[month - 1] : 31; }

ArchiveMoment OneHourBack(const QDate& date, int hour) {
  ArchiveMoment m{date.year(), date.month(), date.day(), hour - 1, 0, 0};
  if (m.hour >= 0) return m;
  m.hour = 23;
  if (--m.day < 1) {
    if (--m.month < 1) {
      m.month = 12;
      --m.year;
    }
    m.day = FixedMonthLength(m.month);
  }
  return m;
}

ArchiveMoment OneHourForward(const QDate& date, int hour) {
  ArchiveMoment m{date.year(), date.month(), date.day(), hour + 1, 0, 0};
  if (m.hour < 24) return m;
  m.hour = 0;
  if (++m.day > FixedMonthLength(m.month)) {
    m.day = 1;
    if (++m.month > 12) {
      m.month = 1;
      ++m.year;
    }
  }
  return m;
}

QString MomentText(const ArchiveMoment& m) {
  return QString::asprintf("%04d/%02d/%02d  %02d:%02d:%02d", m.year, m.month, m.day, m.hour, m.minute, m.second);
}

QString PositionText(std::uint32_t position) {
  return QString::asprintf("%03u.%.04u%%", position / 10000u, position % 10000u);
}

QString ClockText(std::uint32_t timeWord) {
  return QString::asprintf("%02d:%02d:%02d", DvrTimeHour(timeWord), DvrTimeMinute(timeWord), DvrTimeSecond(timeWord));
}

QString LinkStatusText(int statusCode, int missCount, std::uint32_t word) {
  switch (statusCode) {
    case 4: return QStringLiteral("TRY RECONNECTION");
    case 5: return QStringLiteral("CONNECTION FAIL:");
    case 6: return QString::asprintf("%s %d", "TRY REQUEST IMAGE", missCount);
    case 7:
      return QString::asprintf("[CH%d][Alarm:%d Loss:%d Motion:%d]", static_cast<int>(word & 0xFF),
                               static_cast<int>(word >> 24), static_cast<int>((word >> 16) & 0xFF),
                               static_cast<int>((word >> 8) & 0xFF));
    default: return {};
  }
}

}  // namespace archive_rules
