// The pan/tilt control on a real main view: its buttons on the skin, their
// notifications reaching the control, and the camera number painted.
#include <gtest/gtest.h>

#include <QImage>
#include <QPainter>
#include <QTest>

#include "skin/SkinButton.h"
#include "viewer/CArdevizView.h"
#include "viewer/PtzViewBinding.h"

namespace {

SkinButton* FindButton(QWidget& view, int controlId) {
  for (SkinButton* b : view.findChildren<SkinButton*>())
    if (b->ControlId() == controlId) return b;
  return nullptr;
}

TEST(PtzViewBinding, MomentaryButtonsDriveTheControlAndTheCameraNumberIsPainted) {
  CArdevizView::Options noLink;
  noLink.createLink = false;
  CArdevizView view(nullptr, noLink);
  view.show();
  PtzViewBinding binding(view);
  binding.CreateButtons();
  PtzControl& control = binding.Control();
  SkinButton* up = FindButton(view, 1087);
  SkinButton* previous = FindButton(view, 1101);
  ASSERT_TRUE(up && previous);
  QTest::mousePress(up, Qt::LeftButton, {}, QPoint(5, 5));
  EXPECT_TRUE(control.IsRepeating(ptzvalue::kUp));  // handled inside the press
  QTest::mouseRelease(up, Qt::LeftButton, {}, QPoint(5, 5));
  EXPECT_FALSE(control.IsRepeating(ptzvalue::kUp));
  EXPECT_TRUE(control.IsStopRepeating());
  QTest::mouseClick(previous, Qt::LeftButton, {}, QPoint(3, 3));
  QTRY_COMPARE(static_cast<int>(control.SelectedCamera()), 7);  // the press state arrives queued
  EXPECT_EQ(control.PtzCameraText(), "008");

  // Green on black inside its rectangle, nothing outside.
  QImage image(CArdevizView::kWidth, CArdevizView::kHeight, QImage::Format_RGB32);
  image.fill(Qt::white);
  QPainter painter(&image);
  binding.PaintCamera(painter);
  painter.end();
  const QRect r = PtzControl::kCameraRect;
  int green = 0, black = 0;
  for (int y = r.top(); y <= r.bottom(); ++y)
    for (int x = r.left(); x <= r.right(); ++x) {
      const QRgb p = image.pixel(x, y);
      green += qGreen(p) > 128 && qRed(p) < 100 && qBlue(p) < 100;
      black += p == qRgb(0, 0, 0);
    }
  EXPECT_GT(green, 0);
  EXPECT_GT(black, 0);
  EXPECT_EQ(image.pixel(r.left() - 1, r.top()), qRgb(255, 255, 255));
}

}  // namespace
