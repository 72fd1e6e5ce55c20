#include "skin/StatusPanel.h"

#include <QDateTime>
#include <QFontInfo>
#include <QFontMetrics>
#include <QPainter>

namespace {
constexpr int kStatusFontPixels = 12;
constexpr int kStatusFontAverageWidth = 5;
constexpr QColor kControlFace(45, 49, 55);  // the skin's panel grey
constexpr QColor kControlField(0, 0, 0);    // the text boxes' black
constexpr QColor kDisabledText(0, 144, 0);  // dimmer, still readable on the face
constexpr QColor kSelection(0, 96, 0);
}  // namespace

// Until the link reports, the panel waits for a connection.
StatusPanel::StatusPanel() : m_statusText(StatusTextFor(0, 0, 0)) {}

QFont StatusPanel::MakeStatusFont() {
  QFont font(QStringLiteral("Tahoma"));
  font.setStyleHint(QFont::SansSerif);
  font.setPixelSize(kStatusFontPixels);
  font.setBold(true);
  // Without Tahoma, narrow the closest sans serif to Tahoma's 5-pixel average width.
  if (QFontInfo(font).family() != QLatin1String("Tahoma")) {
    const int average = QFontMetrics(font).averageCharWidth();
    if (average > kStatusFontAverageWidth)
      font.setStretch(qBound(int(QFont::UltraCondensed), 100 * kStatusFontAverageWidth / average + 10,
                             int(QFont::Unstretched)));
  }
  return font;
}

QPalette StatusPanel::MakeStatusPalette() {
  QPalette palette(kControlFace);  // the bevels' shades follow the face
  for (const QPalette::ColorRole role : {QPalette::WindowText, QPalette::Text, QPalette::ButtonText})
    palette.setColor(role, kTextColour);
  palette.setColor(QPalette::Base, kControlField);
  palette.setColor(QPalette::AlternateBase, kControlField);
  for (const QPalette::ColorRole role : {QPalette::WindowText, QPalette::Text, QPalette::ButtonText})
    palette.setColor(QPalette::Disabled, role, kDisabledText);
  palette.setColor(QPalette::Highlight, kSelection);
  palette.setColor(QPalette::HighlightedText, kTextColour);
  return palette;
}

void StatusPanel::DrawText(QPainter& painter, const QFont& font, const QRect& rect, const QString& text, int flags) {
  const QFont previous = painter.font();
  painter.setFont(font);
  painter.fillRect(rect, Qt::black);
  painter.setPen(kTextColour);
  painter.drawText(rect, flags, text);
  painter.setFont(previous);
}

QString StatusPanel::StatusTextFor(int statusCode, int missCount, std::uint32_t statusWord) {
  switch (statusCode) {
    case 0: return QStringLiteral("WAITING FOR CONNECTION.");
    case 1: return QStringLiteral("CONNECTION ESTABLISHED.");
    case 2: return QStringLiteral("CONNECTING..");
    case 3: return QStringLiteral("CHECK ID : ");
    case 4: return QStringLiteral("TRY RECONNECTION");
    case 5: return QStringLiteral("CONNECTION FAIL:");
    case 6: return QStringLiteral("%1 %2").arg(QStringLiteral("TRY REQUEST IMAGE")).arg(missCount);
    case 7:
      return QStringLiteral("[CH %1] [Alarm:%2 Loss:%3 Motion:%4]")
          .arg(statusWord & 0xFF)
          .arg((statusWord >> 24) & 0xFF)
          .arg((statusWord >> 16) & 0xFF)
          .arg((statusWord >> 8) & 0xFF);
    default: return QString();
  }
}

QString StatusPanel::DateText(const QDate& date) {
  return QStringLiteral("%1 / %2 / %3").arg(date.year()).arg(date.month()).arg(date.day());
}

QString StatusPanel::TimeText(const QTime& time) {
  const bool pm = time.hour() > 12;
  return QStringLiteral("%1 %2 : %3 : %4")
      .arg(pm ? QStringLiteral("PM") : QStringLiteral("AM"))
      .arg(pm ? time.hour() - 12 : time.hour(), 2, 10, QLatin1Char('0'))
      .arg(time.minute(), 2, 10, QLatin1Char('0'))
      .arg(time.second(), 2, 10, QLatin1Char('0'));
}

QString StatusPanel::PositionText(const char* label, std::uint32_t position) {
  return QStringLiteral("%1 : %2.%3%")
      .arg(QLatin1String(label))
      .arg(position / 10000, 3, 10, QLatin1Char('0'))
      .arg(position % 10000, 4, 10, QLatin1Char('0'));
}

void StatusPanel::ShowPositions(std::uint32_t recordPosition, std::uint32_t playPosition) {
  m_recordPositionText = PositionText("R-POS", recordPosition);
  m_playPositionText = PositionText("P-POS", playPosition);
}

void StatusPanel::ClearPositions() {
  m_recordPositionText.clear();
  m_playPositionText.clear();
}

void StatusPanel::Paint(QPainter& painter, const QRegion& dirty) const {
  static const QRect kTextArea = kDateLabelRect.united(kDateRect).united(kTimeLabelRect).united(kTimeRect)
                                     .united(kStatusLabelRect).united(kStatusRect).united(PositionArea());
  if (!dirty.intersects(kTextArea)) return;
  // The clock is read only when its lines are repainted (reading it consults the time zone).
  const bool clock = dirty.intersects(kDateRect.united(kTimeRect));
  const QDateTime now = clock ? QDateTime::currentDateTime() : QDateTime();
  DrawText(painter, kDateLabelRect, QStringLiteral("DATE :"), kLineFlags);
  if (clock) DrawText(painter, kDateRect, DateText(now.date()), kLineFlags);
  DrawText(painter, kTimeLabelRect, QStringLiteral("TIME :"), kLineFlags);
  if (clock) DrawText(painter, kTimeRect, TimeText(now.time()), kLineFlags);
  DrawText(painter, kStatusLabelRect, QStringLiteral("STATUS :"), kLineFlags);
  DrawText(painter, kStatusRect, m_statusText, Qt::AlignLeft | Qt::AlignTop | Qt::TextWordWrap);
  if (!m_recordPositionText.isEmpty()) {
    DrawText(painter, kRecordPositionRect, m_recordPositionText, kLineFlags);
    DrawText(painter, kPlayPositionRect, m_playPositionText, kLineFlags);
  }
}
