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
      EXPECT_EQ(target.pixel(x, 0), top[x / 2]) << bits << " bits, column " << x;
      EXPECT_EQ(target.pixel(x, 3), bottom[x / 2]) << bits << " bits, column " << x;
    }
  }
}
