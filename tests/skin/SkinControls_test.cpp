// The skin's controls under the mouse. A momentary button: the order of its
// notifications, a release dragged off the button, and a button destroyed with
// notifications pending. The archive panel's time slider: dragging, placing
// without a report, a range away from zero. A frameless window dragged by hand where the window
// system cannot move it (the offscreen platform), and not while that is not
// allowed.
#include <gtest/gtest.h>

#include <QApplication>
#include <QMouseEvent>
#include <QStringList>
#include <QTest>
#include <QWidget>

#include <memory>
#include <vector>

#include "res/SkinImages.h"
#include "skin/SkinButton.h"
#include "skin/SkinSlider.h"
#include "skin/WindowDragHelper.h"

namespace {

void Pump() { QCoreApplication::processEvents(); }

TEST(SkinButton, SentBeforePostedADragOffReleasesOnceAndADestroyedButtonDropsWhatIsPending) {
  QWidget parent;
  parent.resize(877, 685);
  QStringList log;
  auto button = std::make_unique<SkinButton>(&parent, 1087, QRect(773, 437, 51, 34),
                                             SkinButtonBitmaps::Momentary(189, 190), SkinButton::Kind::Momentary, 1324);
  // As a parent receives them: sent (300) at once, posted press state (200) and command later.
  QObject::connect(button.get(), &SkinButton::clicked, [&log](int id) { log << QString("cmd %1").arg(id); });
  QObject::connect(button.get(), &SkinButton::ptzCommand,
                   [&log](quint32 v, int p) { log << QString("300 %1 %2").arg(v).arg(p); });
  QObject::connect(button.get(), &SkinButton::pressStateChanged,
                   [&log](quint32 v, int p) { log << QString("200 %1 %2").arg(v).arg(p); });
  QObject::connect(button.get(), &SkinButton::releasedWithoutPress, [&log] { log << "202"; });
  // The button shows exactly the picture of that resource.
  const auto Shows = [&button](int resourceNumber) {
    return button->grab().toImage().convertToFormat(QImage::Format_RGB32) ==
           SkinImage(resourceNumber).convertToFormat(QImage::Format_RGB32);
  };

  QTest::mousePress(button.get(), Qt::LeftButton, {}, QPoint(20, 10));
  EXPECT_EQ(log, QStringList{"300 1324 1"}) << "the sent notification is handled inside the press";
  EXPECT_TRUE(button->GetCheck() && Shows(190));
  Pump();
  QTest::mouseRelease(button.get(), Qt::LeftButton, {}, QPoint(20, 10));
  EXPECT_EQ(log.last(), "300 1324 0");
  Pump();
  EXPECT_EQ(log, (QStringList{"300 1324 1", "200 1324 1", "300 1324 0", "200 1324 0", "cmd 1087"}));
  EXPECT_TRUE(!button->GetCheck() && Shows(189));

  // The pointer moves off while the button is held (the press grabbed the mouse).
  QTest::mousePress(button.get(), Qt::LeftButton, {}, QPoint(20, 10));
  Pump();
  log.clear();
  QMouseEvent move(QEvent::MouseMove, QPointF(80, 10), button->mapToGlobal(QPointF(80, 10)), Qt::NoButton,
                   Qt::LeftButton, Qt::NoModifier);
  QApplication::sendEvent(button.get(), &move);
  EXPECT_EQ(log, QStringList{"300 1324 0"});
  EXPECT_EQ(button->DrawState(), SkinButton::StateNormal);
  Pump();
  // The release outside and the leave that follows it add nothing.
  QTest::mouseRelease(button.get(), Qt::LeftButton, {}, QPoint(80, 10));
  QEvent leave(QEvent::Leave);
  QApplication::sendEvent(button.get(), &leave);
  Pump();
  EXPECT_EQ(log, (QStringList{"300 1324 0", "200 1324 0", "cmd 1087"}));

  // A button destroyed drops its pending notifications.
  log.clear();
  QTest::mouseClick(button.get(), Qt::LeftButton, {}, QPoint(5, 5));
  button.reset();
  Pump();
  EXPECT_EQ(log, (QStringList{"300 1324 1", "300 1324 0"}));
}


using Report = std::pair<int, int>;  // position, thumb x

void Move(QWidget* w, int x) {
  QMouseEvent move(QEvent::MouseMove, QPointF(x, 8), w->mapToGlobal(QPointF(x, 8)), Qt::NoButton, Qt::LeftButton,
                   Qt::NoModifier);
  QCoreApplication::sendEvent(w, &move);
}

TEST(SkinSlider, DragsPlacesAndStaysInItsRange) {
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

  // Placed past the range: clamped, without a report.
  reports.clear();
  slider.SetPos(100000);
  EXPECT_EQ(std::make_pair(slider.GetPos(), slider.ThumbX()), std::make_pair(86399, 579));
  EXPECT_TRUE(reports.empty());

  slider.SetRange(1000, 2156);
  EXPECT_EQ(slider.GetPos(), 1000) << "a range setting puts the position at the minimum";
  QTest::mouseClick(&slider, Qt::LeftButton, {}, QPoint(7 + 289, 8));
  EXPECT_EQ(slider.GetPos(), 1000 + 578);
}


void Send(QWidget& w, QEvent::Type type, QPoint global, Qt::MouseButtons held) {
  const Qt::MouseButton button = type == QEvent::MouseMove ? Qt::NoButton : Qt::LeftButton;
  QMouseEvent event(type, QPointF(global - w.pos()), QPointF(global), button, held, Qt::NoModifier);
  QCoreApplication::sendEvent(&w, &event);
}

TEST(WindowDragHelperTest, FollowsThePointerWhileAllowedAndPressed) {
  QWidget window(nullptr, Qt::Window | Qt::FramelessWindowHint);
  window.setGeometry(100, 100, 200, 100);
  window.show();
  bool allowed = true;
  new WindowDragHelper(&window, [&] { return allowed; });

  Send(window, QEvent::MouseButtonPress, {110, 110}, Qt::LeftButton);
  Send(window, QEvent::MouseMove, {160, 130}, Qt::LeftButton);
  EXPECT_EQ(window.pos(), QPoint(150, 120));
  Send(window, QEvent::MouseButtonRelease, {160, 130}, Qt::NoButton);
  Send(window, QEvent::MouseMove, {200, 200}, Qt::LeftButton);  // released: stays
  EXPECT_EQ(window.pos(), QPoint(150, 120));

  // A press on a control never moves the window, not even on a disabled one, whose press reaches the window.
  QWidget control(&window);
  control.setGeometry(10, 10, 50, 20);
  control.setEnabled(false);
  control.show();
  Send(window, QEvent::MouseButtonPress, {165, 135}, Qt::LeftButton);
  Send(window, QEvent::MouseMove, {260, 235}, Qt::LeftButton);
  EXPECT_EQ(window.pos(), QPoint(150, 120));
  Send(window, QEvent::MouseButtonRelease, {260, 235}, Qt::NoButton);

  allowed = false;  // full screen
  Send(window, QEvent::MouseButtonPress, {160, 130}, Qt::LeftButton);
  Send(window, QEvent::MouseMove, {300, 300}, Qt::LeftButton);
  EXPECT_EQ(window.pos(), QPoint(150, 120));
}

}  // namespace
