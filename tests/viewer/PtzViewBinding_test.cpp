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
  for (SkinButton* b : view.findChildren<SkinButton*>()) {
    if (b->ControlId() == controlId) return b;
  }
  return nullptr;
}

CArdevizView::Options NoLink() {
  CArdevizView::Options options;
  options.createLink = false;
  return options;
}

}  // namespace

TEST(PtzViewBinding, CreatesTheFourteenMomentaryButtons) {
  CArdevizView view(nullptr, NoLink());
  PtzViewBinding binding(view);
  binding.CreateButtons();
  for (const PtzPadButton& button : kPtzButtons) {
    SCOPED_TRACE(button.controlId);
    SkinButton* b = FindButton(view, button.controlId);
    ASSERT_NE(b, nullptr);
    EXPECT_EQ(b->ButtonKind(), SkinButton::Kind::Momentary);
    EXPECT_EQ(b->PtzCommandValue(), button.value);
    EXPECT_EQ(b->geometry(), button.geometry);
    EXPECT_EQ(b->isVisibleTo(&view), button.visible);
  }
}

TEST(PtzViewBinding, HeldButtonRepeatsUntilReleaseAndSelectorSteps) {
  CArdevizView view(nullptr, NoLink());
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

  QTest::mousePress(previous, Qt::LeftButton, {}, QPoint(3, 3));
  QTest::mouseRelease(previous, Qt::LeftButton, {}, QPoint(3, 3));
  QTRY_COMPARE(static_cast<int>(control.SelectedCamera()), 7);  // the press state arrives queued
  EXPECT_EQ(control.PtzCameraText(), "008");
}

TEST(PtzViewBinding, PaintsTheCameraNumberGreenOnBlack) {
  CArdevizView view(nullptr, NoLink());
  PtzViewBinding binding(view);
  QImage image(CArdevizView::kWidth, CArdevizView::kHeight, QImage::Format_RGB32);
  image.fill(Qt::white);
  QPainter painter(&image);
  binding.PaintCamera(painter);
  painter.end();
  const QRect r = PtzControl::kCameraRect;
  int green = 0, black = 0;
  for (int y = r.top(); y <= r.bottom(); ++y) {
    for (int x = r.left(); x <= r.right(); ++x) {
      const QRgb p = image.pixel(x, y);
      if (qGreen(p) > 128 && qRed(p) < 100 && qBlue(p) < 100) ++green;
      if (p == qRgb(0, 0, 0)) ++black;
    }
  }
  EXPECT_GT(green, 0);
  EXPECT_GT(black, 0);
  EXPECT_EQ(image.pixel(r.left() - 1, r.top()), qRgb(255, 255, 255));  // nothing outside
}
