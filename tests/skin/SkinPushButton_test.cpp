#include <gtest/gtest.h>

#include <QSignalSpy>
#include <QTest>

#include "res/SkinImages.h"
#include "skin/SkinPushButton.h"

namespace {

bool Shows(QWidget& w, int resourceNumber) {
  return w.grab().toImage().convertToFormat(QImage::Format_RGB32) ==
         SkinImage(resourceNumber).convertToFormat(QImage::Format_RGB32);
}

TEST(SkinPushButton, ShowsDownPictureWhileHeldAndClicksOnReleaseInside) {
  QWidget parent;
  SkinPushButton power(&parent, 1000, QRect(735, 16, 114, 22), 244, 243);
  QSignalSpy clicks(&power, &QAbstractButton::clicked);
  EXPECT_EQ(power.ControlId(), 1000);
  EXPECT_TRUE(Shows(power, 244));
  QTest::mousePress(&power, Qt::LeftButton, {}, QPoint(10, 10));
  EXPECT_TRUE(Shows(power, 243));
  QTest::mouseRelease(&power, Qt::LeftButton, {}, QPoint(10, 10));
  EXPECT_TRUE(Shows(power, 244));
  EXPECT_EQ(clicks.count(), 1);

  // Released outside: no click.
  QTest::mousePress(&power, Qt::LeftButton, {}, QPoint(10, 10));
  QTest::mouseRelease(&power, Qt::LeftButton, {}, QPoint(300, 10));
  EXPECT_EQ(clicks.count(), 1);
  EXPECT_FALSE(power.isDown());
}

}  // namespace
