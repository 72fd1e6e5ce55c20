#include <gtest/gtest.h>

#include <QMouseEvent>
#include <QTest>
#include <vector>

#include "res/SkinImages.h"
#include "skin/SkinSlider.h"

namespace {

constexpr int kTrack = 229;
constexpr int kThumb = 230;

class SkinSliderTest : public ::testing::Test {
 protected:
  SkinSliderTest() : slider(&parent, QRect(206, 602, 583, 16), kTrack, kThumb) {
    parent.resize(951, 684);
    slider.SetRange(0, 86399);
    QObject::connect(&slider, &SkinSlider::positionChanged,
                     [this](int pos, int x) { reports.push_back({pos, x}); });
  }
  QWidget parent;
  SkinSlider slider;
  std::vector<std::pair<int, int>> reports;
};

void Move(QWidget* w, int x) {
  QMouseEvent move(QEvent::MouseMove, QPointF(x, 8), w->mapToGlobal(QPointF(x, 8)), Qt::NoButton, Qt::LeftButton,
                   Qt::NoModifier);
  QCoreApplication::sendEvent(w, &move);
}

TEST_F(SkinSliderTest, DraggingFollowsThePointerAndReportsPositionAndThumbX) {
  QTest::mousePress(&slider, Qt::LeftButton, {}, QPoint(307, 8));
  EXPECT_TRUE(slider.IsDragging());
  ASSERT_EQ(reports.size(), 1u);
  EXPECT_EQ(reports[0], std::make_pair(44843, 300));
  EXPECT_EQ(slider.GetPos(), 44843);
  EXPECT_EQ(slider.ThumbX(), 300);

  Move(&slider, 2000);  // far beyond the right end
  EXPECT_EQ(reports.back(), std::make_pair(86399, 578));
  Move(&slider, -50);
  EXPECT_EQ(reports.back(), std::make_pair(0, 0));
  QTest::mouseRelease(&slider, Qt::LeftButton, {}, QPoint(7 + 578, 8));
  EXPECT_FALSE(slider.IsDragging());
  EXPECT_EQ(slider.GetPos(), 86399);
  EXPECT_EQ(reports.size(), 4u);

  Move(&slider, 100);  // not dragging any more
  EXPECT_EQ(reports.size(), 4u);
  EXPECT_EQ(slider.GetPos(), 86399);
}

TEST_F(SkinSliderTest, SetPosPlacesTheThumbAtPositionOver149WithoutReporting) {
  slider.SetPos(44843);
  EXPECT_EQ(slider.ThumbX(), 300);
  slider.SetPos(86399);
  EXPECT_EQ(slider.ThumbX(), 579);
  slider.SetPos(12 * 3600 + 30 * 60);
  EXPECT_EQ(slider.ThumbX(), 302);
  slider.SetPos(100000);  // out of range: clamped
  EXPECT_EQ(slider.GetPos(), 86399);
  EXPECT_TRUE(reports.empty());
  slider.SetRange(0, 86399);
  EXPECT_EQ(slider.GetPos(), 0) << "a range setting puts the position at the minimum";
}

TEST_F(SkinSliderTest, RangeNotStartingAtZeroStaysInside) {
  slider.SetRange(1000, 2156);
  QTest::mouseClick(&slider, Qt::LeftButton, {}, QPoint(7 + 289, 8));
  EXPECT_EQ(slider.GetPos(), 1000 + 578);
}

TEST_F(SkinSliderTest, ThumbIsDrawnOverTheTrackWithItsKeyColourSeeThrough) {
  const QImage track = SkinImage(kTrack).convertToFormat(QImage::Format_RGB32);
  const QImage thumb = SkinImage(kThumb).convertToFormat(QImage::Format_RGB32);
  const QRgb key = thumb.pixel(0, 0);
  slider.SetPos(44843);
  const QImage shown = slider.grab().toImage().convertToFormat(QImage::Format_RGB32);
  ASSERT_EQ(shown.size(), track.size());
  const int x0 = slider.ThumbX();
  int keyed = 0, body = 0;
  for (int y = 0; y < thumb.height(); ++y) {
    for (int x = 0; x < thumb.width(); ++x) {
      if (thumb.pixel(x, y) == key) {
        ++keyed;
        EXPECT_EQ(shown.pixel(x0 + x, y), track.pixel(x0 + x, y)) << "at " << x << "," << y;
      } else {
        ++body;
        EXPECT_EQ(shown.pixel(x0 + x, y), thumb.pixel(x, y)) << "at " << x << "," << y;
      }
    }
  }
  EXPECT_GT(keyed, 0);
  EXPECT_GT(body, 0);
  // Away from the thumb the plain track shows.
  EXPECT_EQ(shown.pixel(50, 8), track.pixel(50, 8));
  EXPECT_EQ(shown.pixel(0, 0), track.pixel(0, 0));
}

}  // namespace
