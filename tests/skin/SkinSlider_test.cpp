// The archive panel's time slider: dragging, placing without a report, a
// range away from zero, and the thumb drawn with its key colour see-through.
#include <gtest/gtest.h>

#include <QMouseEvent>
#include <QTest>
#include <vector>

#include "res/SkinImages.h"
#include "skin/SkinSlider.h"

namespace {

using Report = std::pair<int, int>;  // position, thumb x

void Move(QWidget* w, int x) {
  QMouseEvent move(QEvent::MouseMove, QPointF(x, 8), w->mapToGlobal(QPointF(x, 8)), Qt::NoButton, Qt::LeftButton,
                   Qt::NoModifier);
  QCoreApplication::sendEvent(w, &move);
}

TEST(SkinSlider, DragsPlacesStaysInItsRangeAndShowsTheTrackThroughTheThumbsKeyColour) {
  QWidget parent;
  SkinSlider slider(&parent, QRect(206, 602, 583, 16), 229, 230);
  slider.SetRange(0, 86399);
  std::vector<Report> reports;
  QObject::connect(&slider, &SkinSlider::positionChanged, [&](int pos, int x) { reports.push_back({pos, x}); });

  // A drag follows the pointer, clamped at both ends; moves after the release do nothing.
  QTest::mousePress(&slider, Qt::LeftButton, {}, QPoint(307, 8));
  EXPECT_TRUE(slider.IsDragging());
  Move(&slider, 2000);
  Move(&slider, -50);
  QTest::mouseRelease(&slider, Qt::LeftButton, {}, QPoint(7 + 578, 8));
  Move(&slider, 100);
  EXPECT_EQ(reports, (std::vector<Report>{{44843, 300}, {86399, 578}, {0, 0}, {86399, 578}}));
  EXPECT_FALSE(slider.IsDragging());
  EXPECT_EQ(slider.GetPos(), 86399);

  // Placed: thumb x = position / 149, clamped, without a report.
  reports.clear();
  std::vector<int> thumbs;
  for (int pos : {44843, 86399, 12 * 3600 + 30 * 60, 100000}) {
    slider.SetPos(pos);
    thumbs.push_back(slider.ThumbX());
  }
  EXPECT_EQ(thumbs, (std::vector<int>{300, 579, 302, 579}));
  EXPECT_EQ(slider.GetPos(), 86399);
  EXPECT_TRUE(reports.empty());

  const QImage track = SkinImage(229).convertToFormat(QImage::Format_RGB32);
  const QImage thumb = SkinImage(230).convertToFormat(QImage::Format_RGB32);
  slider.SetPos(44843);
  const QImage shown = slider.grab().toImage().convertToFormat(QImage::Format_RGB32);
  ASSERT_EQ(shown.size(), track.size());
  int wrong = 0, keyed = 0;
  for (int y = 0; y < thumb.height(); ++y)
    for (int x = 0; x < thumb.width(); ++x) {
      const bool key = thumb.pixel(x, y) == thumb.pixel(0, 0);
      keyed += key;
      wrong += shown.pixel(300 + x, y) != (key ? track.pixel(300 + x, y) : thumb.pixel(x, y));
    }
  EXPECT_EQ(wrong, 0);
  EXPECT_GT(keyed, 0);
  EXPECT_EQ(shown.pixel(50, 8), track.pixel(50, 8));  // away from the thumb the plain track shows

  slider.SetRange(1000, 2156);
  EXPECT_EQ(slider.GetPos(), 1000) << "a range setting puts the position at the minimum";
  QTest::mouseClick(&slider, Qt::LeftButton, {}, QPoint(7 + 289, 8));
  EXPECT_EQ(slider.GetPos(), 1000 + 578);
}

}  // namespace
