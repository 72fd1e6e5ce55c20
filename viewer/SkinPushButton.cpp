#include "viewer/SkinPushButton.h"

#include <QPainter>

#include "res/SkinImages.h"
#include "viewer/SkinAccessibility.h"

SkinPushButton::SkinPushButton(QWidget* parent, int controlId, const QRect& geometry, int upBitmapId,
                               int downBitmapId)
    : QAbstractButton(parent), m_nControlId(controlId), m_nUpBitmapId(upBitmapId), m_nDownBitmapId(downBitmapId) {
  setGeometry(geometry);
  SkinAccessibility::Install();
  setAccessibleName(SkinAccessibility::ControlName(controlId));
  setFocusPolicy(Qt::NoFocus);
}

void SkinPushButton::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  DrawSkinPicture(painter, QPoint(0, 0), isDown() ? m_nDownBitmapId : m_nUpBitmapId);
}
