#include "archive/SnapshotCaptions.h"

#include <QPainter>

namespace {
constexpr std::uint8_t kAllChannels = 255;
constexpr QColor kCaptionColor(255, 0, 0);

// A rectangle given by its edges, right and bottom exclusive.
constexpr QRect Span(int left, int top, int right, int bottom) { return QRect(left, top, right - left, bottom - top); }
}  // namespace

int SnapshotCaptions::CaptionGridSize(int gridSize) { return gridSize >= 2 && gridSize <= 4 ? gridSize : 1; }

std::vector<Caption> SnapshotCaptions::Make(int gridSize, std::uint8_t selectedChannel, const QString& timeText,
                                            const QRect& headRect, int xBase, int top, int bottom) {
  const int n = CaptionGridSize(gridSize);
  std::vector<Caption> out;
  if (n == 1) {
    const int camera = selectedChannel == kAllChannels ? 0 : selectedChannel + 1;
    out.push_back({headRect, QString::asprintf("CAM%d %s", camera, timeText.toUtf8().constData())});
    return out;
  }
  out.push_back({headRect, timeText});
  const int w = 640 / n;
  const int h = 480 / n;
  const int xo = (n - 2) * 10 + xBase;
  int camera = 1;
  for (int r = 1; r <= n; ++r)
    for (int c = 0; c < n; ++c)
      out.push_back({Span(w * c + 5 + xo, h * r + top, w * c + 255 + xo, h * r + bottom), QString("CAM%1").arg(camera++)});
  return out;
}

std::vector<Caption> SnapshotCaptions::ForSnapshot(int gridSize, std::uint8_t selectedChannel, const QString& timeText) {
  return Make(gridSize, selectedChannel, timeText, Span(240, 5, 600, 35), 40, -23, 7);
}

std::vector<Caption> SnapshotCaptions::ForPrint(int gridSize, std::uint8_t selectedChannel, const QString& timeText) {
  return Make(gridSize, selectedChannel, timeText, Span(312, 25, 672, 55), 100, -3, 27);
}

void SnapshotCaptions::Draw(QPainter& painter, const std::vector<Caption>& captions) {
  painter.save();
  painter.setPen(kCaptionColor);
  painter.setBackgroundMode(Qt::TransparentMode);
  for (const Caption& c : captions)
    painter.drawText(c.rect, Qt::AlignLeft | Qt::AlignTop | Qt::TextSingleLine, c.text);
  painter.restore();
}
