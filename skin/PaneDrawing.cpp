#include "skin/PaneDrawing.h"

#include <QImage>
#include <QPainter>

#include <bit>
#include <cstring>
#include <vector>

namespace pane {

namespace {
constexpr int kFieldHeight = 240;  // one field of a 480-line picture
}  // namespace

QRect SourceWindow(QSize picture, std::uint8_t fieldFlag) {
  // The recorder paints its marks into the top rows and a border on the right.
  int x0 = 10;
  int y0 = 15;
  if (picture.height() == kFieldHeight) {
    x0 = 3;
    y0 = 11;
  }
  const int height = picture.height() - y0 - 1;
  if (fieldFlag == 0) y0 += 1;
  const int width = picture.width() - x0 - 11;
  return QRect(x0, y0, width, height);
}

QRect SourceWindow(const BitmapInfoHeader& header, std::uint8_t fieldFlag) {
  return SourceWindow(QSize(header.width, header.height), fieldFlag);
}

void DrawBottomUpImage(QPainter& painter, const QRect& target, const std::uint8_t* pixels,
                       const BitmapInfoHeader& header, const QRect& source, QSize picture) {
  if (!pixels || header.width <= 0 || header.height <= 0) return;
  // A bitmap smaller than its picture was decoded scaled down: picture
  // coordinates map onto it in proportion.
  if (picture.isEmpty()) picture = QSize(header.width, header.height);
  const bool scaled = picture != QSize(header.width, header.height);
  // 24-bit BGR, or 32-bit premultiplied BGRA whose alpha is not drawn (as over black).
  if (header.bitCount != 24 && header.bitCount != 32) return;
  const int bytesPerPixel = header.bitCount / 8;
  if (target.isEmpty() || source.isEmpty()) return;
  const QRect clipped = source.intersected(QRect(QPoint(0, 0), picture));
  if (clipped.isEmpty()) return;

  // Stretch without smoothing straight from the link's rows (row 0 in memory is the
  // bottom row) into a pane-sized buffer, then blit it: one pass over the pane's
  // pixels instead of converting the whole picture on every draw.
  thread_local QImage pane;
  thread_local std::vector<int> columnOffsets;
  const int tw = target.width();
  const int th = target.height();
  if (pane.size() != target.size()) pane = QImage(target.size(), QImage::Format_RGB32);
  columnOffsets.resize(static_cast<std::size_t>(tw));
  for (int tx = 0; tx < tw; ++tx) {
    int sx = clipped.x() + static_cast<int>((2LL * tx + 1) * clipped.width() / (2LL * tw));
    if (scaled) sx = static_cast<int>(static_cast<long long>(sx) * header.width / picture.width());
    columnOffsets[static_cast<std::size_t>(tx)] = bytesPerPixel * sx;
  }
  const std::size_t stride = header.Stride();
  // Reading a pixel as one little-endian 4-byte word is safe wherever a byte follows it in the row.
  const bool wordReads = std::endian::native == std::endian::little &&
                         static_cast<std::size_t>(columnOffsets.back()) + 4u <= stride;
  std::uint8_t* const paneBits = pane.bits();
  const auto paneStride = static_cast<std::size_t>(pane.bytesPerLine());
  int previousSy = -1;
  for (int ty = 0; ty < th; ++ty) {
    int sy = clipped.y() + static_cast<int>((2LL * ty + 1) * clipped.height() / (2LL * th));
    if (scaled) sy = static_cast<int>(static_cast<long long>(sy) * header.height / picture.height());
    auto* out = reinterpret_cast<QRgb*>(paneBits + static_cast<std::size_t>(ty) * paneStride);
    if (sy == previousSy) {  // a picture row stretched over several pane rows: copy the one made
      std::memcpy(out, paneBits + static_cast<std::size_t>(ty - 1) * paneStride, static_cast<std::size_t>(tw) * 4u);
      continue;
    }
    previousSy = sy;
    const std::uint8_t* row = pixels + static_cast<std::size_t>(header.height - 1 - sy) * stride;
    const int* offset = columnOffsets.data();
    if (wordReads) {
      for (int tx = 0; tx < tw; ++tx) {
        std::uint32_t bgrx;  // B, G, R and the next byte (alpha or the next pixel's blue), little-endian
        std::memcpy(&bgrx, row + offset[tx], sizeof bgrx);
        out[tx] = 0xFF000000u | (bgrx & 0x00FFFFFFu);
      }
    } else {
      for (int tx = 0; tx < tw; ++tx) {
        const std::uint8_t* p = row + offset[tx];
        out[tx] = qRgb(p[2], p[1], p[0]);
      }
    }
  }
  // Under a rectangular clip the raster engine copies the rows; under a
  // region of several rectangles it blends span by span on helper threads.
  painter.save();
  painter.setClipRect(target, Qt::IntersectClip);
  painter.drawImage(target.topLeft(), pane);
  painter.restore();
}

void DrawPaneFrame(QPainter& painter, const QRect& rect) {
  if (rect.isEmpty()) return;
  const int w = rect.width();
  const int h = rect.height();
  painter.fillRect(rect.left(), rect.top(), w, 1, Qt::white);
  painter.fillRect(rect.left(), rect.top(), 1, h, Qt::white);
  painter.fillRect(rect.left(), rect.top() + h - 1, w, 1, Qt::white);
  painter.fillRect(rect.left() + w - 1, rect.top(), 1, h, Qt::white);
}

}  // namespace pane
