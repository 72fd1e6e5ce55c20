// A momentary skin button: the order of its notifications, a release dragged
// off the button, and a button destroyed with notifications pending.
#include <gtest/gtest.h>

#include <QApplication>
#include <QMouseEvent>
#include <QStringList>
#include <QTest>
#include <memory>

#include "res/SkinImages.h"
#include "skin/SkinButton.h"

namespace {

void Pump() { QCoreApplication::processEvents(); }

class SkinButtonTest : public ::testing::Test {
 protected:
  SkinButtonTest() {
    parent.resize(877, 685);
    auto* b = button.get();
    // As a parent receives them: sent (300) at once, posted press state (200) and command later.
    QObject::connect(b, &SkinButton::clicked, [this](int id) { log << QString("cmd %1").arg(id); });
    QObject::connect(b, &SkinButton::ptzCommand,
                     [this](quint32 v, int p) { log << QString("300 %1 %2").arg(v).arg(p); });
    QObject::connect(b, &SkinButton::pressStateChanged,
                     [this](quint32 v, int p) { log << QString("200 %1 %2").arg(v).arg(p); });
    QObject::connect(b, &SkinButton::releasedWithoutPress, [this] { log << "202"; });
  }
  // The button shows exactly the picture of that resource.
  bool Shows(int resourceNumber) {
    return button->grab().toImage().convertToFormat(QImage::Format_RGB32) ==
           SkinImage(resourceNumber).convertToFormat(QImage::Format_RGB32);
  }

  QWidget parent;
  QStringList log;
  std::unique_ptr<SkinButton> button =
      std::make_unique<SkinButton>(&parent, 1087, QRect(773, 437, 51, 34), SkinButtonBitmaps::Momentary(189, 190),
                                   SkinButton::Kind::Momentary, 1324);
};

TEST_F(SkinButtonTest, PressAndReleaseDeliverSentBeforePostedAndADragOffReleasesOnceOnLeaving) {
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
}

TEST_F(SkinButtonTest, DestroyedButtonDropsItsPendingNotifications) {
  QTest::mouseClick(button.get(), Qt::LeftButton, {}, QPoint(5, 5));
  button.reset();
  Pump();
  EXPECT_EQ(log, (QStringList{"300 1324 1", "300 1324 0"}));
}

}  // namespace
