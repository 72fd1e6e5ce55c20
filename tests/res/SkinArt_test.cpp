// The skin pictures: every one has its twice as dense art, and windows get the
// art that fits their screen's pixel ratio.
#include <gtest/gtest.h>

#include <QImage>
#include <cstdlib>

#include "res/SkinImages.h"

namespace {

// Mean absolute channel difference of two pictures of one size.
double Difference(const QImage& a, const QImage& b) {
  const QImage x = a.convertToFormat(QImage::Format_RGB32), y = b.convertToFormat(QImage::Format_RGB32);
  double sum = 0;
  for (int r = 0; r < x.height(); ++r)
    for (int c = 0; c < x.width(); ++c) {
      const QRgb p = x.pixel(c, r), q = y.pixel(c, r);
      sum += std::abs(qRed(p) - qRed(q)) + std::abs(qGreen(p) - qGreen(q)) + std::abs(qBlue(p) - qBlue(q));
    }
  return sum / (3.0 * x.width() * x.height());
}

TEST(SkinArt, EveryPictureHasItsTwiceAsDenseArtForHighDensityScreens) {
  int pictures = 0;
  for (int n = 160; n < 400; ++n) {
    if (!HasSkinImage(n)) continue;
    ++pictures;
    const QImage one = SkinImage(n), two = SkinImage(n, 2);
    ASSERT_EQ(two.deviceIndependentSize(), QSizeF(one.size())) << n;
    ASSERT_EQ(two.size(), one.size() * 2) << n;
    // The same drawing, not a shifted or half-drawn one.
    EXPECT_LT(Difference(one, two.scaled(one.size(), Qt::IgnoreAspectRatio, Qt::SmoothTransformation)), 10.0) << n;
  }
  EXPECT_GT(pictures, 140);
  // What a window draws: pixel for pixel at the screen's ratio, the same size in window coordinates.
  EXPECT_EQ(SkinArtRatio(1.0), 1);
  EXPECT_EQ(SkinArtRatio(1.25), 2);
  for (const qreal ratio : {1.0, 1.5, 3.0}) {
    const QPixmap background = SkinPixmap(162, ratio);
    EXPECT_EQ(background.devicePixelRatio(), ratio);
    EXPECT_EQ(background.size(), (QSizeF(877, 685) * ratio).toSize()) << ratio;
  }
}

}  // namespace
