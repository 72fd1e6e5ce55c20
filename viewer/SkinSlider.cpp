#include "viewer/SkinSlider.h"

#include <QBitmap>
#include <QMouseEvent>
#include <QPainter>
#include <algorithm>

#include "res/SkinImages.h"

namespace {

// The thumb's pixels of its top-left colour are see-through.
QPixmap KeyedThumb(const QImage& image) {
  QPixmap thumb = QPixmap::fromImage(image);
  if (image.isNull()) return thumb;
  const QColor key = image.pixelColor(0, 0);
  thumb.setMask(QBitmap::fromImage(image.createMaskFromColor(key.rgb(), Qt::MaskInColor)));
  return thumb;
}

}  // namespace

SkinSlider::SkinSlider(QWidget* parent, const QRect& geometry, int trackBitmapId, int thumbBitmapId)
    : QWidget(parent), m_track(SkinPixmap(trackBitmapId)), m_thumb(KeyedThumb(SkinImage(thumbBitmapId, SkinArtRatio()))) {
  setGeometry(geometry);
  setCursor(Qt::ArrowCursor);
  setFocusPolicy(Qt::NoFocus);
}

void SkinSlider::SetRange(int minimum, int maximum, bool redraw) {
  m_nMin = minimum;
  m_nMax = std::max(minimum, maximum);
  m_nPos = m_nMin;
  if (redraw) update();
}

void SkinSlider::SetPos(int position) {
  m_nPos = std::clamp(position, m_nMin, m_nMax);
  m_nThumbX = std::max(0, m_nPos / kPositionPerPixel);
  update();
}

void SkinSlider::ApplyPointer(int pointerX) {
  const int x = std::clamp(pointerX - kThumbOffset, 0, kMaxDragX);
  // Offset from the minimum so that a range not starting at 0 stays inside itself.
  m_nPos = m_nMin + static_cast<int>(static_cast<double>(m_nMax - m_nMin) * x / kMaxDragX);
  m_nThumbX = x;
  emit positionChanged(m_nPos, x);
}

void SkinSlider::mousePressEvent(QMouseEvent* event) {
  if (event->button() != Qt::LeftButton) return QWidget::mousePressEvent(event);
  m_bDragging = true;
  ApplyPointer(event->position().toPoint().x());
  update();
}

void SkinSlider::mouseMoveEvent(QMouseEvent* event) {
  if (!m_bDragging) return QWidget::mouseMoveEvent(event);
  update();
  ApplyPointer(event->position().toPoint().x());
}

void SkinSlider::mouseReleaseEvent(QMouseEvent* event) {
  if (event->button() != Qt::LeftButton || !m_bDragging) return QWidget::mouseReleaseEvent(event);
  m_bDragging = false;
  ApplyPointer(event->position().toPoint().x());
  update();
}

void SkinSlider::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  painter.drawPixmap(0, 0, m_track);
  painter.drawPixmap(m_nThumbX, 0, m_thumb);
}
