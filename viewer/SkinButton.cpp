#include "viewer/SkinButton.h"

#include <QEvent>
#include <QMouseEvent>
#include <QPainter>

#include "res/SkinImages.h"
#include "viewer/SkinAccessibility.h"

SkinButton::SkinButton(QWidget* parent, int controlId, const QRect& geometry, const SkinButtonBitmaps& bitmaps,
                       Kind kind, quint32 ptzCommandValue)
    : QWidget(parent),
      m_nControlId(controlId),
      m_kind(kind),
      m_nValue(ptzCommandValue),
      m_bitmapIds{bitmaps.normal, bitmaps.pressed, bitmaps.latched, bitmaps.pressing} {
  setGeometry(geometry);
  SkinAccessibility::Install();
  setAccessibleName(SkinAccessibility::ControlName(controlId));
  for (size_t i = 0; i < m_bitmapIds.size(); ++i) {
    if (m_bitmapIds[i] != 0 && HasSkinImage(m_bitmapIds[i])) m_bitmaps[i] = SkinPixmap(m_bitmapIds[i]);
  }
  ShowState(StateNormal);
}

void SkinButton::SetCheck(bool latched) {
  if (m_kind == Kind::Latching) {
    m_bLatched = latched;
    ShowState(latched ? StateLatched : StateNormal);
    return;
  }
  ShowState(latched ? StatePressed : StateNormal);
  if (m_bLatched != latched) PostPressState(latched ? 1 : 0);
  m_bLatched = latched;
}

void SkinButton::ShowState(int state) {
  if (state < 0 || state > 3 || state == m_nDrawState || m_bitmaps[state].isNull()) return;
  m_nDrawState = state;
  update();
}

void SkinButton::PostPressState(int pressed) {
  const quint32 value = m_nValue;
  QMetaObject::invokeMethod(
      this, [this, value, pressed] { emit pressStateChanged(value, pressed); }, Qt::QueuedConnection);
}

void SkinButton::paintEvent(QPaintEvent*) {
  if (m_nDrawState < 0) return;
  QPainter painter(this);
  DrawSkinPicture(painter, QPoint(0, 0), m_bitmapIds[m_nDrawState]);
}

void SkinButton::mousePressEvent(QMouseEvent* event) {
  if (event->button() != Qt::LeftButton) return QWidget::mousePressEvent(event);
  m_bMouseDown = true;
  m_bLeftWhileHeld = false;
  if (m_kind == Kind::Momentary) {
    ShowState(StatePressed);
    PostPressState(1);
    emit ptzCommand(m_nValue, 1);
    m_bLatched = true;
  } else {
    ShowState(m_bLatched ? StatePressed : StatePressing);
  }
}

void SkinButton::Release() {
  if (!m_bMouseDown) {
    QMetaObject::invokeMethod(this, [this] { emit releasedWithoutPress(); }, Qt::QueuedConnection);
    return;
  }
  m_bMouseDown = false;
  if (m_kind == Kind::Momentary) {
    ShowState(StateNormal);
    PostPressState(0);
    emit ptzCommand(m_nValue, 0);
    m_bLatched = false;
  } else {
    ShowState(m_bLatched ? StateNormal : StateLatched);
  }
  const int id = m_nControlId;
  QMetaObject::invokeMethod(this, [this, id] { emit clicked(id); }, Qt::QueuedConnection);
  if (m_kind == Kind::Latching) m_bLatched = !m_bLatched;
}

void SkinButton::mouseReleaseEvent(QMouseEvent* event) {
  if (event->button() != Qt::LeftButton) return QWidget::mouseReleaseEvent(event);
  // After leaving while held the button is already released; the grabbed
  // release outside it is not a stray release.
  if (m_bLeftWhileHeld) return;
  Release();
}

void SkinButton::mouseMoveEvent(QMouseEvent* event) {
  // A held button grabs the mouse and gets no leave event until the release,
  // so leaving is noticed here.
  if (m_bMouseDown && !rect().contains(event->position().toPoint())) {
    m_bLeftWhileHeld = true;
    Release();
  }
  QWidget::mouseMoveEvent(event);
}

void SkinButton::enterEvent(QEnterEvent* event) {
  m_bLeftWhileHeld = false;
  QWidget::enterEvent(event);
}

void SkinButton::leaveEvent(QEvent* event) {
  if (!m_bLeftWhileHeld) Release();
  QWidget::leaveEvent(event);
}

void SkinButton::changeEvent(QEvent* event) {
  QWidget::changeEvent(event);
  if (event->type() == QEvent::EnabledChange) update();
}
