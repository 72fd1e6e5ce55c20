// The status panel's texts, its font and its green-on-black drawing.
#include <gtest/gtest.h>

#include <QFontMetrics>
#include <QImage>
#include <QPainter>

#include "skin/StatusPanel.h"

namespace {

using P = StatusPanel;

TEST(StatusPanelTest, TextsFontAndGreenOnBlack) {
  EXPECT_EQ(P::StatusTextFor(6, 2, 0), "TRY REQUEST IMAGE 2");
  EXPECT_EQ(P::StatusTextFor(7, 0, 0x01000203), "[CH 3] [Alarm:1 Loss:0 Motion:2]");
  EXPECT_EQ(P::StatusTextFor(7, 0, 0xFF10FF04), "[CH 4] [Alarm:255 Loss:16 Motion:255]");
  EXPECT_EQ(P::TimeText(QTime(13, 5, 9)) + P::TimeText(QTime(12, 0, 0)) + P::TimeText(QTime(0, 5, 0)),
            "PM 01 : 05 : 09AM 12 : 00 : 00AM 00 : 05 : 00");
  EXPECT_EQ(P::DateText(QDate(2024, 3, 7)), "2024 / 3 / 7");

  // Bold 12 pixels; a fallback for the 5-pixel Tahoma is narrowed to about that.
  const QFont font = P::MakeStatusFont();
  EXPECT_TRUE(font.pixelSize() == 12 && font.bold());
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

}  // namespace
