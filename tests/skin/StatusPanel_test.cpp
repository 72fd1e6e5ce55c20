// The status panel's texts, its font and its green-on-black drawing.
#include <gtest/gtest.h>

#include <QFontMetrics>
#include <QImage>
#include <QPainter>

#include "skin/StatusPanel.h"

namespace {

using P = StatusPanel;

TEST(StatusPanelTest, StatusDateAndTimeTexts) {
  EXPECT_EQ(P::StatusTextFor(0, 0, 0), "WAITING FOR CONNECTION.");
  EXPECT_EQ(P::StatusTextFor(1, 0, 0), "CONNECTION ESTABLISHED.");
  EXPECT_EQ(P::StatusTextFor(2, 0, 0), "CONNECTING..");
  EXPECT_EQ(P::StatusTextFor(3, 0, 0), "CHECK ID : ");
  EXPECT_EQ(P::StatusTextFor(4, 0, 0), "TRY RECONNECTION");
  EXPECT_EQ(P::StatusTextFor(5, 0, 0), "CONNECTION FAIL:");
  EXPECT_EQ(P::StatusTextFor(6, 2, 0), "TRY REQUEST IMAGE 2");
  EXPECT_EQ(P::StatusTextFor(7, 0, 0x01000203), "[CH 3] [Alarm:1 Loss:0 Motion:2]");
  EXPECT_EQ(P::StatusTextFor(7, 0, 0xFF10FF04), "[CH 4] [Alarm:255 Loss:16 Motion:255]");

  EXPECT_EQ(P::TimeText(QTime(13, 5, 9)), "PM 01 : 05 : 09");
  EXPECT_EQ(P::TimeText(QTime(12, 0, 0)), "AM 12 : 00 : 00");
  EXPECT_EQ(P::TimeText(QTime(0, 5, 0)), "AM 00 : 05 : 00");
  EXPECT_EQ(P::DateText(QDate(2024, 3, 7)), "2024 / 3 / 7");

  StatusPanel panel;
  EXPECT_EQ(panel.StatusText(), "WAITING FOR CONNECTION.");
}

TEST(StatusPanelTest, FontIsBoldTwelvePixelsNoWiderThanTahomaAndDrawsGreenOnBlack) {
  const QFont font = P::MakeStatusFont();
  EXPECT_EQ(font.pixelSize(), 12);
  EXPECT_TRUE(font.bold());
  // Tahoma's average is 5 pixels; a fallback is narrowed to about that.
  EXPECT_LE(QFontMetrics(font).averageCharWidth(), 7);

  QImage image(120, 20, QImage::Format_RGB32);
  image.fill(Qt::white);
  QPainter painter(&image);
  P::DrawText(painter, font, QRect(0, 0, 100, 15), QStringLiteral("STATUS :"), P::kLineFlags);
  painter.end();
  EXPECT_EQ(image.pixelColor(99, 0), QColor(Qt::black));
  EXPECT_EQ(image.pixelColor(110, 5), QColor(Qt::white));
  bool green = false;
  for (int x = 0; x < 100 && !green; ++x)
    for (int y = 0; y < 15 && !green; ++y) green = image.pixelColor(x, y) == P::kTextColour;
  EXPECT_TRUE(green);
}

}  // namespace
