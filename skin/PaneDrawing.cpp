#include "skin/PaneDrawing.h"

#include <QImage>
#include <QPaintEngine>
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

namespace {

// The picture's side of a stretch: its rows and, for each column of the
// stretched target, the byte offset of the pixel that column shows.
struct Stretch {
  const std::uint8_t* pixels;
  const BitmapInfoHeader* header;
  QRect clipped;   // source window inside the picture, in picture pixels
  QSize picture;   // what the bitmap shows; larger when it was decoded scaled down
  bool scaled;
  std::vector<int>* columnOffsets;
  bool wordReads;  // pixels read as one 4-byte word (a byte follows each in its row)
};

// Picture row shown by row ty of a stretch th rows high, as a stored row (bottom-up).
const std::uint8_t* SourceRow(const Stretch& s, int ty, int th, int& sy) {
  sy = s.clipped.y() + static_cast<int>((2LL * ty + 1) * s.clipped.height() / (2LL * th));
  if (s.scaled) sy = static_cast<int>(static_cast<long long>(sy) * s.header->height / s.picture.height());
  return s.pixels + static_cast<std::size_t>(s.header->height - 1 - sy) * s.header->Stride();
}

void PrepareColumns(Stretch& s, int tw) {
  thread_local std::vector<int> columnOffsets;
  const int bytesPerPixel = s.header->bitCount / 8;
  columnOffsets.resize(static_cast<std::size_t>(tw));
  for (int tx = 0; tx < tw; ++tx) {
    int sx = s.clipped.x() + static_cast<int>((2LL * tx + 1) * s.clipped.width() / (2LL * tw));
    if (s.scaled) sx = static_cast<int>(static_cast<long long>(sx) * s.header->width / s.picture.width());
    columnOffsets[static_cast<std::size_t>(tx)] = bytesPerPixel * sx;
  }
  s.columnOffsets = &columnOffsets;
  s.wordReads = std::endian::native == std::endian::little &&
                static_cast<std::size_t>(columnOffsets.back()) + 4u <= s.header->Stride();
}

// Writes the part of a stretch into target that falls in part (both in the
// pixels of an RGB32 buffer whose row 0 starts at bits).
void StretchInto(const Stretch& s, std::uint8_t* bits, std::size_t stride, const QRect& target, const QRect& part) {
  const int* offset = s.columnOffsets->data() + (part.left() - target.left());
  const int width = part.width();
  int previousSy = -1;
  for (int y = part.top(); y <= part.bottom(); ++y) {
    auto* out = reinterpret_cast<QRgb*>(bits + static_cast<std::size_t>(y) * stride) + part.left();
    int sy = 0;
    const std::uint8_t* row = SourceRow(s, y - target.top(), target.height(), sy);
    if (sy == previousSy) {  // a picture row stretched over several rows: copy the one made
      std::memcpy(out, reinterpret_cast<const QRgb*>(bits + static_cast<std::size_t>(y - 1) * stride) + part.left(),
                  static_cast<std::size_t>(width) * 4u);
      continue;
    }
    previousSy = sy;
    if (s.wordReads) {
      for (int x = 0; x < width; ++x) {
        std::uint32_t bgrx;  // B, G, R and the next byte (alpha or the next pixel's blue), little-endian
        std::memcpy(&bgrx, row + offset[x], sizeof bgrx);
        out[x] = 0xFF000000u | (bgrx & 0x00FFFFFFu);
      }
    } else {
      for (int x = 0; x < width; ++x) {
        const std::uint8_t* p = row + offset[x];
        out[x] = qRgb(p[2], p[1], p[0]);
      }
    }
  }
}

// The painter's raster image when pixels can be written into it directly:
// an unshared 32-bit opaque-compatible image under a translation and a whole
// scale. device is then the target in the image's pixels and visible the part
// of it the painter may change (its own and the system's clip).
QImage* DirectImage(QPainter& painter, const QRect& target, QRect& device, QRegion& visible) {
  QPaintEngine* engine = painter.paintEngine();
  if (!engine || engine->type() != QPaintEngine::Raster) return nullptr;
  QPaintDevice* paintDevice = engine->paintDevice();
  if (!paintDevice || paintDevice->devType() != QInternal::Image) return nullptr;
  auto* image = static_cast<QImage*>(paintDevice);
  if (image->format() != QImage::Format_RGB32 && image->format() != QImage::Format_ARGB32_Premultiplied) return nullptr;
  if (!image->isDetached()) return nullptr;  // writing would copy it under the painter
  const QTransform transform = painter.deviceTransform();
  if (transform.type() > QTransform::TxScale || transform.m11() != transform.m22() || transform.m11() < 1 ||
      transform.m11() != static_cast<int>(transform.m11()) || transform.dx() != static_cast<int>(transform.dx()) ||
      transform.dy() != static_cast<int>(transform.dy())) {
    return nullptr;
  }
  device = transform.mapRect(target);
  visible = QRegion(device) & QRegion(image->rect());
  const QRegion system = engine->systemClip();
  if (!system.isEmpty()) visible &= system;
  if (painter.hasClipping()) visible &= transform.map(painter.clipRegion());
  return image;
}

}  // namespace

bool CoversTarget(const std::uint8_t* pixels, const BitmapInfoHeader& header, const QRect& source, QSize picture) {
  if (!pixels || header.width <= 0 || header.height <= 0) return false;
  // 24-bit BGR, or 32-bit premultiplied BGRA whose alpha is not drawn (as over black).
  if (header.bitCount != 24 && header.bitCount != 32) return false;
  if (picture.isEmpty()) picture = QSize(header.width, header.height);
  return !source.intersected(QRect(QPoint(0, 0), picture)).isEmpty();
}

void DrawBottomUpImage(QPainter& painter, const QRect& target, const std::uint8_t* pixels,
                       const BitmapInfoHeader& header, const QRect& source, QSize picture) {
  if (target.isEmpty() || !CoversTarget(pixels, header, source, picture)) return;
  // A bitmap smaller than its picture was decoded scaled down: picture
  // coordinates map onto it in proportion.
  if (picture.isEmpty()) picture = QSize(header.width, header.height);
  Stretch s{pixels, &header, source.intersected(QRect(QPoint(0, 0), picture)), picture,
            picture != QSize(header.width, header.height), nullptr, false};

  // Stretch without smoothing straight from the link's rows (row 0 in memory
  // is the bottom row) into the painter's own image where it allows: one pass
  // over the visible pixels of the target, in device pixels.
  QRect device;
  QRegion visible;
  if (QImage* image = DirectImage(painter, target, device, visible)) {
    if (visible.isEmpty()) return;
    PrepareColumns(s, device.width());
    const auto stride = static_cast<std::size_t>(image->bytesPerLine());
    std::uint8_t* const bits = image->bits();
    for (const QRect& part : visible) StretchInto(s, bits, stride, device, part);
    return;
  }

  // Elsewhere into a target-sized buffer, then blitted.
  thread_local QImage pane;
  if (pane.size() != target.size()) pane = QImage(target.size(), QImage::Format_RGB32);
  PrepareColumns(s, target.width());
  StretchInto(s, pane.bits(), static_cast<std::size_t>(pane.bytesPerLine()), pane.rect(), pane.rect());
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
