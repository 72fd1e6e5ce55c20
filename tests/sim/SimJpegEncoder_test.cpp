// The simulated recorder's pictures: joined from separately coded bands they
// decode to exactly the pixels of the picture coded whole, at any size, and
// the client reads their mark, plain or inverted, back.

#include <gtest/gtest.h>

#include <QImage>

#include "link/CImageCodec.h"
#include "sim/SimCamera.h"
#include "sim/SimJpegEncoder.h"
#include "sim/SimScene.h"

TEST(SimJpegEncoder, BandsJoinedWithRestartMarkersDecodeLikeTheWholePicture) {
  // 280 rows: the last band is 8 rows high; in 16 x 16 the ball and the texts are clipped.
  for (const QSize size : {QSize(704, 288), QSize(704, 280), QSize(352, 240), QSize(16, 16)}) {
    SimScene scene(size);
    SimJpegEncoder joined, whole;
    SimCamera camera;
    CImageCodec codec;
    SimScene::Picture picture{.channel = 3, .moment = QDateTime(QDate(2024, 3, 1), QTime(10, 0, 0)), .modeText = "LIVE",
                              .markValue = 2};
    for (int step = 0; step < 4; ++step) {
      picture.moment = picture.moment.addMSecs(700);  // the ball and the clock move
      if (step == 2) picture.modeText = "PLAY >";     // a new still part
      picture.invertMark = step == 3;                 // and another one
      const SimScene::Frame& frame = scene.Render(picture, camera);
      const auto jpeg = joined.EncodeReusing(frame.image, 85, frame.still, frame.stillGeneration, frame.changedRows);
      ASSERT_GT(jpeg.size(), 4u);
      EXPECT_EQ(std::vector<std::uint8_t>(jpeg.begin(), jpeg.begin() + 4), (std::vector<std::uint8_t>{0xFF, 0xD8, 0xFF, 0xE0}));
      const auto reference = whole.Encode(frame.image, 85);
      const QImage decoded = QImage::fromData(jpeg.data(), static_cast<int>(jpeg.size()), "JPEG");
      ASSERT_EQ(decoded.size(), size);
      EXPECT_TRUE(decoded == QImage::fromData(reference.data(), static_cast<int>(reference.size()), "JPEG"))
          << size.width() << "x" << size.height() << " step " << step;
      if (size.width() == 704) { EXPECT_EQ(codec.Decode(jpeg.data(), jpeg.size(), false), 2) << step; }
    }
  }
}
