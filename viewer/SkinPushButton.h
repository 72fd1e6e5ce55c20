#pragma once
// A plain push button of the skin: its up picture, and its down picture while
// held. Emits QAbstractButton::clicked() on a release inside, as a push button does.

#include <QAbstractButton>
#include <QRect>

class SkinPushButton : public QAbstractButton {
  Q_OBJECT
 public:
  SkinPushButton(QWidget* parent, int controlId, const QRect& geometry, int upBitmapId, int downBitmapId);

  int ControlId() const { return m_nControlId; }

 protected:
  void paintEvent(QPaintEvent* event) override;

 private:
  int m_nControlId;
  int m_nUpBitmapId;
  int m_nDownBitmapId;
};
