#include <gtest/gtest.h>

#include <QImage>
#include <QSize>
#include <cstdlib>
#include <map>
#include <utility>
#include <vector>

#include "res/SkinImages.h"

namespace {

// Every picture the main view and the archive panel name, with the size of the
// control or area it fills. 220/221 also serve the archive's 33 x 33 activity
// light, which shows their top-left corner.
std::map<int, QSize> ExpectedPictures() {
  std::map<int, QSize> m;
  auto put = [&m](std::initializer_list<int> ids, int w, int h) {
    for (int id : ids) m[id] = QSize(w, h);
  };
  // Main view.
  put({162}, 877, 685);
  put({244, 243}, 114, 22);
  put({217, 216}, 51, 11);
  put({163, 164}, 33, 32);
  for (int id = 165; id <= 178; ++id) put({id}, 40, 25);
  const int normal[16] = {310, 318, 319, 320, 325, 326, 327, 328, 329, 311, 312, 313, 314, 315, 316, 317};
  const int latched[16] = {330, 338, 339, 340, 341, 342, 343, 344, 345, 331, 332, 333, 334, 335, 336, 337};
  for (int ch = 0; ch < 16; ++ch) put({normal[ch], latched[ch]}, (ch == 0 || ch == 15) ? 31 : 28, 30);
  put({220, 221}, 40, 40);
  put({189, 190}, 51, 34);
  put({191, 192}, 35, 32);
  put({193, 194}, 36, 51);
  put({195, 196}, 39, 39);
  put({197, 198}, 51, 36);
  put({199, 200}, 40, 39);
  put({201, 202}, 34, 51);
  put({203, 204}, 45, 38);
  put({222, 223, 224, 225}, 25, 18);
  put({301, 302, 303, 304}, 21, 20);
  // Archive panel.
  put({228}, 951, 684);
  put({248, 247}, 118, 23);
  put({246, 245, 348, 349, 350, 351, 256, 255}, 62, 51);
  put({242, 241, 238, 237, 321, 322}, 26, 26);
  put({324, 323}, 25, 26);
  for (int n = 1; n <= 16; ++n) put({263 + 2 * n, 264 + 2 * n}, (n == 1 || n == 16) ? 31 : 28, 30);
  for (int id = 352; id <= 361; ++id) put({id}, 38, 40);
  for (int id = 380; id <= 387; ++id) put({id}, 38, 40);
  put({229}, 583, 16);
  return m;
}

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

TEST(SkinArt, EveryNamedPictureExistsAtItsSize) {
  for (const auto& [id, size] : ExpectedPictures()) {
    EXPECT_TRUE(HasSkinImage(id)) << id;
    EXPECT_EQ(SkinImage(id).size(), size) << id;
  }
  const QImage thumb = SkinImage(230);
  EXPECT_EQ(thumb.height(), 16);
  EXPECT_GE(thumb.width(), 5);
}

TEST(SkinArt, ResourcePathLoadsOnceRegistered) {
  InitSkinResources();
  const QImage background(":/skin/162.png");
  ASSERT_FALSE(background.isNull());
  EXPECT_EQ(background.size(), QSize(877, 685));
  // The video area is black.
  EXPECT_EQ(qGray(background.pixel(382, 262)), 0);
  EXPECT_EQ(qGray(QImage(":/skin/228.png").pixel(382, 262)), 0);
}

TEST(SkinArt, MissingNumberGivesAVisiblePlaceholder) {
  EXPECT_FALSE(HasSkinImage(9999));
  const QImage placeholder = SkinImage(9999);
  ASSERT_FALSE(placeholder.isNull());
  EXPECT_EQ(placeholder.pixel(1, 1), qRgb(255, 0, 255));
  EXPECT_FALSE(SkinPixmap(9999).isNull());
}

TEST(SkinArt, EachControlsLooksDifferClearly) {
  // (first look, second look) of every two-state control.
  std::vector<std::pair<int, int>> pairs = {{244, 243}, {217, 216}, {163, 164}, {220, 221}, {222, 223},
                                            {224, 225}, {301, 302}, {303, 304}, {248, 247}, {246, 245},
                                            {348, 349}, {350, 351}, {256, 255}, {242, 241}, {238, 237},
                                            {324, 323}, {321, 322}};
  for (int i = 0; i < 7; ++i) pairs.push_back({165 + 2 * i, 166 + 2 * i});
  for (int id = 189; id <= 203; id += 2) pairs.push_back({id, id + 1});
  for (int n = 1; n <= 16; ++n) pairs.push_back({263 + 2 * n, 264 + 2 * n});
  for (int id = 352; id <= 360; id += 2) pairs.push_back({id + 1, id});
  for (int id = 380; id <= 386; id += 2) pairs.push_back({id + 1, id});
  const int normal[16] = {310, 318, 319, 320, 325, 326, 327, 328, 329, 311, 312, 313, 314, 315, 316, 317};
  const int latched[16] = {330, 338, 339, 340, 341, 342, 343, 344, 345, 331, 332, 333, 334, 335, 336, 337};
  for (int ch = 0; ch < 16; ++ch) pairs.push_back({normal[ch], latched[ch]});
  for (const auto& [a, b] : pairs) EXPECT_GT(Difference(SkinImage(a), SkinImage(b)), 8.0) << a << " vs " << b;
}

TEST(SkinArt, ChannelFacesAreDistinctFromEachOther) {
  // The faces carry their numbers: no two channel buttons of one width look alike.
  const int normal[16] = {310, 318, 319, 320, 325, 326, 327, 328, 329, 311, 312, 313, 314, 315, 316, 317};
  for (int i = 1; i < 15; ++i)
    for (int j = i + 1; j < 15; ++j)
      EXPECT_GT(Difference(SkinImage(normal[i]), SkinImage(normal[j])), 1.0) << normal[i] << " vs " << normal[j];
}

}  // namespace
