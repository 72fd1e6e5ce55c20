// The stretch of a decoded picture into a pane.
#include <gtest/gtest.h>

#include <QImage>
#include <QPainter>

#include <vector>

#include "skin/PaneDrawing.h"

TEST(PaneDrawing, Draws24BitAndPremultiplied32BitRowsBottomUp) {
  for (const int bits : {24, 32}) {
    BitmapInfoHeader header;
    header.width = 3;
    header.height = 2;
    header.bitCount = static_cast<std::uint16_t>(bits);
    header.imageSize = header.ComputeImageSize();
    std::vector<std::uint8_t> pixels(header.imageSize, 0);
    const auto put = [&](int x, int storedRow, QRgb colour) {
      std::uint8_t* p = &pixels[storedRow * header.Stride() + static_cast<std::size_t>(x * bits / 8)];
      p[0] = static_cast<std::uint8_t>(qBlue(colour));
      p[1] = static_cast<std::uint8_t>(qGreen(colour));
      p[2] = static_cast<std::uint8_t>(qRed(colour));
      if (bits == 32) p[3] = 0x80;  // alpha is not drawn: the colours are already premultiplied
    };
    const QRgb top[3] = {qRgb(250, 0, 0), qRgb(0, 250, 0), qRgb(0, 0, 250)};
    const QRgb bottom[3] = {qRgb(10, 20, 30), qRgb(120, 120, 120), qRgb(200, 100, 50)};
    for (int x = 0; x < 3; ++x) {
      put(x, 1, top[x]);  // the last stored row is the top of the picture
      put(x, 0, bottom[x]);
    }
    QImage target(6, 4, QImage::Format_RGB32);
    target.fill(Qt::black);
    QPainter painter(&target);
    pane::DrawBottomUpImage(painter, target.rect(), pixels.data(), header, QRect(0, 0, 3, 2));
    painter.end();
    for (int x = 0; x < 6; ++x) {
      for (int y = 0; y < 4; ++y)  // each picture row stretched over two pane rows
        EXPECT_EQ(target.pixel(x, y), y < 2 ? top[x / 2] : bottom[x / 2]) << bits << " bits, " << x << ", " << y;
    }
  }
}

TEST(PaneDrawing, ScaledBitmapIsSampledWhereTheFullPictureWouldBe) {
  // A 4 x 2 bitmap decoded at half the size of an 8 x 4 picture; the source
  // window is given in the picture's pixels and cuts its first two columns.
  BitmapInfoHeader header;
  header.width = 4;
  header.height = 2;
  header.imageSize = header.ComputeImageSize();
  std::vector<std::uint8_t> pixels(header.imageSize, 0);
  for (int row = 0; row < 2; ++row) {
    for (int x = 0; x < 4; ++x) {
      std::uint8_t* p = &pixels[row * header.Stride() + static_cast<std::size_t>(3 * x)];
      p[0] = static_cast<std::uint8_t>(10 * x);        // blue: the column
      p[2] = static_cast<std::uint8_t>(100 + 50 * row);  // red: the stored row
    }
  }
  QImage target(6, 2, QImage::Format_RGB32);
  QPainter painter(&target);
  pane::DrawBottomUpImage(painter, target.rect(), pixels.data(), header, QRect(2, 0, 6, 4), QSize(8, 4));
  painter.end();
  // Picture columns 2..7 map one to one; bitmap column = picture column / 2.
  for (int x = 0; x < 6; ++x) {
    EXPECT_EQ(qBlue(target.pixel(x, 0)), 10 * ((2 + x) / 2)) << x;
    EXPECT_EQ(qRed(target.pixel(x, 0)), 150) << "the top of the picture is the last stored row";
    EXPECT_EQ(qRed(target.pixel(x, 1)), 100);
  }
  EXPECT_EQ(pane::SourceWindow(QSize(704, 288), 0), pane::SourceWindow(BitmapInfoHeader{.width = 704, .height = 288}, 0));
}
