#pragma once
// The archive panel's time slider: a painted track with a painted thumb whose
// pixels of its top-left colour let the track show through.

#include <QPixmap>
#include <QRect>
#include <QWidget>

class SkinSlider : public QWidget {
  Q_OBJECT
 public:
  static constexpr int kThumbOffset = 7;     // pointer x to thumb x
  static constexpr int kMaxDragX = 578;      // last thumb x reachable by dragging
  static constexpr int kPositionPerPixel = 149;  // position to thumb x (0..86399 -> 0..579)

  SkinSlider(QWidget* parent, const QRect& geometry, int trackBitmapId, int thumbBitmapId);

  // Range setting; the position becomes the minimum.
  void SetRange(int minimum, int maximum, bool redraw = true);
  int GetRangeMin() const { return m_nMin; }
  int GetRangeMax() const { return m_nMax; }
  // Position and thumb x := position / 149; emits nothing.
  void SetPos(int position);
  int GetPos() const { return m_nPos; }
  int ThumbX() const { return m_nThumbX; }
  bool IsDragging() const { return m_bDragging; }

 signals:
  // Emitted directly while the operator drags: the new position and the thumb x.
  void positionChanged(int position, int thumbX);

 protected:
  void paintEvent(QPaintEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;

 private:
  void ApplyPointer(int pointerX);

  QPixmap m_track;
  QPixmap m_thumb;  // carries its transparency mask
  int m_nMin = 0;
  int m_nMax = 100;
  int m_nPos = 0;
  int m_nThumbX = 0;
  bool m_bDragging = false;
};
