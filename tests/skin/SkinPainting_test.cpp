// What the skin paints: a decoded picture stretched into a pane, and the
// status panel's font and its green-on-black drawing.
#include <gtest/gtest.h>

#include <QFontMetrics>
#include <QImage>
#include <QPainter>

#include <functional>
#include <tuple>
#include <vector>

#include "skin/PaneDrawing.h"
#include "skin/PaneNotice.h"
#include "skin/StatusPanel.h"

namespace {

// Bottom-up rows of BGR(A) pixels; colour(x, storedRow) gives each pixel.
std::vector<std::uint8_t> Pixels(const BitmapInfoHeader& header, const std::function<QRgb(int, int)>& colour) {
  std::vector<std::uint8_t> pixels(header.imageSize, 0);
  for (int row = 0; row < header.height; ++row)
    for (int x = 0; x < header.width; ++x) {
      std::uint8_t* p = &pixels[row * header.Stride() + static_cast<std::size_t>(x * header.bitCount / 8)];
      const QRgb c = colour(x, row);
      p[0] = static_cast<std::uint8_t>(qBlue(c));
      p[1] = static_cast<std::uint8_t>(qGreen(c));
      p[2] = static_cast<std::uint8_t>(qRed(c));
      if (header.bitCount == 32) p[3] = 0x80;  // alpha is not drawn: the colours are already premultiplied
    }
  return pixels;
}

BitmapInfoHeader Header(int width, int height, int bits = 24) {
  BitmapInfoHeader header{.width = width, .height = height};
  header.bitCount = static_cast<std::uint16_t>(bits);
  header.imageSize = header.ComputeImageSize();
  return header;
}

// 24-bit and premultiplied 32-bit bitmaps, stored bottom up, decoded at half
// the size of an 8 x 4 picture: the source window is given in the picture's
// pixels and cuts its first two columns.
TEST(PaneDrawing, ScaledBottomUpBitmapIsSampledWhereTheFullPictureWouldBe) {
  for (const int bits : {24, 32}) {
    const BitmapInfoHeader header = Header(4, 2, bits);
    const auto pixels = Pixels(header, [](int x, int row) { return qRgb(100 + 50 * row, 0, 10 * x); });
    QImage target(6, 2, QImage::Format_RGB32);
    QPainter painter(&target);
    pane::DrawBottomUpImage(painter, target.rect(), pixels.data(), header, QRect(2, 0, 6, 4), QSize(8, 4));
    painter.end();
    // Picture columns 2..7 map one to one; bitmap column = picture column / 2; the top is the last stored row.
    for (int x = 0; x < 6; ++x) {
      EXPECT_EQ(target.pixel(x, 0), qRgb(150, 0, 10 * ((2 + x) / 2))) << bits << " bits, " << x;
      EXPECT_EQ(target.pixel(x, 1), qRgb(100, 0, 10 * ((2 + x) / 2))) << bits << " bits, " << x;
    }
    // Through a moved painter under a clip, as a widget inside its window: the same pixels, moved, and none outside the clip.
    QImage window(9, 4, QImage::Format_RGB32);
    window.fill(Qt::black);
    painter.begin(&window);
    painter.translate(2, 1);
    painter.setClipRect(0, 0, 5, 2);
    pane::DrawBottomUpImage(painter, target.rect(), pixels.data(), header, QRect(2, 0, 6, 4), QSize(8, 4));
    painter.end();
    EXPECT_EQ(window.copy(2, 1, 5, 2), target.copy(0, 0, 5, 2)) << bits;
    EXPECT_EQ(window.pixel(7, 1), qRgb(0, 0, 0)) << bits;
  }
}

using P = StatusPanel;

TEST(StatusPanelTest, FontAndGreenOnBlack) {
  // A fallback for the narrow status font is narrowed to about its width.
  const QFont font = P::MakeStatusFont();
  EXPECT_LE(QFontMetrics(font).averageCharWidth(), 7);
  QImage image(120, 20, QImage::Format_RGB32);
  image.fill(Qt::white);
  QPainter painter(&image);
  P::DrawText(painter, font, QRect(0, 0, 100, 15), QStringLiteral("STATUS :"), P::kLineFlags);
  painter.end();
  EXPECT_EQ(image.pixelColor(99, 0), QColor(Qt::black));
  EXPECT_EQ(image.pixelColor(110, 5), QColor(Qt::white));
  bool green = false;
  for (int x = 0; x < 100 * 15 && !green; ++x) green = image.pixelColor(x / 15, x % 15) == P::kTextColour;
  EXPECT_TRUE(green);
}

// Silence counts from the last picture or the last restart; a loss lasts until
// the next picture. The notice dims its pane and stays inside it.
TEST(PaneNoticeTest, NoPictureAfterThreeSecondsAndVideoLossUntilThePicture) {
  PaneNotice n;
  n.Picture(0, 1000);
  n.VideoLoss(1);
  const std::vector<std::tuple<int, std::int64_t, QString>> rows = {
      {0, 3999, ""}, {0, 4000, "NO PICTURE 3 s"}, {0, 6999, "NO PICTURE 5 s"}, {1, 1000, "VIDEO LOSS"}, {2, 99000, ""}};
  for (const auto& [channel, now, text] : rows) EXPECT_EQ(n.Text(channel, now), text) << channel << " at " << now;
  n.Restart(6000);
  EXPECT_EQ(n.Text(0, 8999) + n.Text(1, 8999), "VIDEO LOSS");
  n.Picture(1, 9000);
  EXPECT_EQ(n.Text(1, 9000), "");

  QImage image(60, 40, QImage::Format_RGB32);
  image.fill(Qt::white);
  QPainter painter(&image);
  PaneNotice::Draw(painter, QRect(0, 0, 50, 40), QStringLiteral("NO PICTURE 3 s"), P::MakeStatusFont());
  painter.end();
  EXPECT_EQ(std::make_tuple(image.pixelColor(0, 0).value(), image.pixelColor(55, 20)), std::make_tuple(127, QColor(Qt::white)));
}

}  // namespace
