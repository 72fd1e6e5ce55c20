// The simulated recorder's pictures: the parts that move from picture to
// picture, the kept still part following the camera and the texts, and the
// inverted mark the client reads back. That each channel's pictures carry its
// own mark is read by the recorder's stream tests.

#include <gtest/gtest.h>

#include <QImage>
#include <algorithm>

#include "link/CImageCodec.h"
#include "sim/PelcoDecoder.h"
#include "sim/SimCamera.h"
#include "sim/SimJpegEncoder.h"
#include "sim/SimScene.h"

namespace {

const QDateTime kMoment(QDate(2024, 3, 1), QTime(10, 0, 0));

// Pixels that differ between two pictures of the same size within the rows.
int Differing(const QImage& a, const QImage& b, int fromRow, int toRow) {
  int n = 0;
  for (int y = fromRow; y < toRow; ++y) {
    for (int x = 0; x < a.width(); ++x) n += a.pixel(x, y) != b.pixel(x, y);
  }
  return n;
}

}  // namespace

TEST(SimScene, InvertedMarkReadsBackBallAndClockMoveStillPartFollowsCameraAndTexts) {
  SimScene scene(QSize(704, 288));
  SimJpegEncoder encoder;
  SimCamera camera;
  SimScene::Picture picture{.channel = 6, .moment = kMoment, .modeText = "LIVE", .markValue = 5};
  const QImage first = scene.Render(picture, camera).image.copy();
  EXPECT_EQ(Differing(first, scene.Render(picture, camera).image, 0, 288), 0);  // same inputs, same picture

  // A second later the ball (around two thirds down) and the clock (bottom rows) have moved; nothing else.
  picture.moment = kMoment.addMSecs(1000);
  const QImage later = scene.Render(picture, camera).image.copy();
  EXPECT_GT(Differing(first, later, 160, 215), 100);
  EXPECT_GT(Differing(first, later, 255, 280), 20);
  EXPECT_EQ(Differing(first, later, 0, 160), 0);

  // A panned camera, a new mode text and an inverted mark each repaint the still part.
  PtzCommand pan;
  pan.protocol = PtzCommand::Protocol::PelcoD;
  pan.pan = 1;
  pan.panSpeed = 32;
  camera.Apply(pan, 0);
  camera.Advance(SimCamera::kMoveHoldMs);
  EXPECT_GT(Differing(later, scene.Render(picture, camera).image, 50, 150), 1000);
  picture.modeText = "PLAY >";
  const QImage playing = scene.Render(picture, camera).image.copy();
  picture.invertMark = true;
  const QImage inverted = scene.Render(picture, camera).image.copy();
  EXPECT_GT(Differing(playing, inverted, 0, 8), 1000);
  EXPECT_EQ(Differing(playing, inverted, 8, 288), 0);
  const auto invertedJpeg = encoder.Encode(inverted, 85);
  CImageCodec codec;  // plain marks are read from the recorder's live pictures
  EXPECT_EQ(codec.Decode(invertedJpeg.data(), invertedJpeg.size(), false), 5);

  // Small and narrow pictures: the ball and the texts are clipped, the marks stay on top.
  for (const QSize size : {QSize(16, 16), QSize(352, 240)}) {
    SimScene small(size);
    const QImage image = small.Render(picture, camera).image;
    EXPECT_EQ(image.size(), size);
    const QRgb bar = size.width() > 20 ? qRgb(255, 255, 255) : qRgb(0, 0, 0);  // white index bar, or the black one
    EXPECT_EQ(image.pixel(std::min(20, size.width() - 1), 2), bar) << size.width();
  }
}
