#include "skin/PaneNotice.h"

#include <QFontMetrics>
#include <QPainter>

#include "skin/StatusPanel.h"

namespace {
constexpr int kDimAlpha = 128;  // the picture behind a notice shows at half strength
constexpr int kBoxPadding = 4;
constexpr std::int64_t kMsPerSecond = 1000;

bool Valid(int channel) { return channel >= 0 && channel < wire::kChannels; }
}  // namespace

void PaneNotice::Picture(int channel, std::int64_t nowMs) {
  if (!Valid(channel)) return;
  m_watch[channel] = Watch{true, false, nowMs};
}

void PaneNotice::VideoLoss(int channel) {
  if (Valid(channel)) m_watch[channel].videoLoss = true;
}

void PaneNotice::Restart(std::int64_t nowMs) {
  for (Watch& w : m_watch) w.lastPictureMs = nowMs;
}

void PaneNotice::Clear() { m_watch.fill(Watch{}); }

QString PaneNotice::Text(int channel, std::int64_t nowMs) const {
  if (!Valid(channel)) return {};
  const Watch& w = m_watch[channel];
  if (w.videoLoss) return QString::fromLatin1(kVideoLossText);
  const std::int64_t silentMs = nowMs - w.lastPictureMs;
  if (!w.hasPicture || silentMs < kNoPictureAfterMs) return {};
  return QStringLiteral("%1 %2 s").arg(QLatin1String(kNoPictureText)).arg(silentMs / kMsPerSecond);
}

QRect PaneNotice::BoxRect(const QRect& pane, const QString& text, const QFont& font) {
  const QFontMetrics metrics(font);
  QRect box(QPoint(0, 0), QSize(metrics.horizontalAdvance(text) + 2 * kBoxPadding, metrics.height() + 2 * kBoxPadding));
  box.moveCenter(pane.center());
  return box & pane;
}

void PaneNotice::Draw(QPainter& painter, const QRect& pane, const QString& text, const QFont& font) {
  painter.fillRect(pane, QColor(0, 0, 0, kDimAlpha));
  StatusPanel::DrawText(painter, font, BoxRect(pane, text, font), text, Qt::AlignCenter | Qt::TextSingleLine);
}
