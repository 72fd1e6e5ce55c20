// The skin pictures: both looks of every two-state control exist, share a size
// and differ clearly, and the channel faces differ from each other.
#include <gtest/gtest.h>

#include <QImage>
#include <cstdlib>
#include <utility>
#include <vector>

#include "res/SkinImages.h"

namespace {

// The main view's channel buttons 1 to 16, normal and latched.
const int kChannelNormal[16] = {310, 318, 319, 320, 325, 326, 327, 328, 329, 311, 312, 313, 314, 315, 316, 317};
const int kChannelLatched[16] = {330, 338, 339, 340, 341, 342, 343, 344, 345, 331, 332, 333, 334, 335, 336, 337};

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

TEST(SkinArt, EachControlsLooksDifferClearlyAndTheChannelFacesFromEachOther) {
  // (first look, second look) of every two-state control of the main view and the archive panel.
  std::vector<std::pair<int, int>> pairs = {{244, 243}, {217, 216}, {163, 164}, {220, 221}, {222, 223}, {224, 225},
                                            {301, 302}, {303, 304}, {248, 247}, {246, 245}, {348, 349}, {350, 351},
                                            {256, 255}, {242, 241}, {238, 237}, {324, 323}, {321, 322}};
  for (int i = 0; i < 7; ++i) pairs.push_back({165 + 2 * i, 166 + 2 * i});
  for (int id = 189; id <= 203; id += 2) pairs.push_back({id, id + 1});
  for (int n = 1; n <= 16; ++n) pairs.push_back({263 + 2 * n, 264 + 2 * n});
  for (int id = 352; id <= 360; id += 2) pairs.push_back({id + 1, id});
  for (int id = 380; id <= 386; id += 2) pairs.push_back({id + 1, id});
  for (int ch = 0; ch < 16; ++ch) pairs.push_back({kChannelNormal[ch], kChannelLatched[ch]});
  for (const auto& [a, b] : pairs) {
    ASSERT_EQ(SkinImage(a).size(), SkinImage(b).size()) << a << " vs " << b;
    EXPECT_GT(Difference(SkinImage(a), SkinImage(b)), 8.0) << a << " vs " << b;
  }
  // The faces carry their numbers: no two channel buttons of one width look alike.
  for (int i = 1; i < 15; ++i)
    for (int j = i + 1; j < 15; ++j)
      EXPECT_GT(Difference(SkinImage(kChannelNormal[i]), SkinImage(kChannelNormal[j])), 1.0) << i << " vs " << j;
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
