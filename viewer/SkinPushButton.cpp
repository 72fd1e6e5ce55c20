#include "viewer/SkinPushButton.h"

#include <QPainter>

#include "res/SkinImages.h"

SkinPushButton::SkinPushButton(QWidget* parent, int controlId, const QRect& geometry, int upBitmapId,
                               int downBitmapId)
    : QAbstractButton(parent), m_nControlId(controlId), m_up(SkinPixmap(upBitmapId)), m_down(SkinPixmap(downBitmapId)) {
  setGeometry(geometry);
  setFocusPolicy(Qt::NoFocus);
}

void SkinPushButton::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  painter.drawPixmap(0, 0, isDown() ? m_down : m_up);
}
