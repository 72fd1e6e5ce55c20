#include <gtest/gtest.h>

#include <QApplication>
#include <QMouseEvent>
#include <QStringList>
#include <QTest>
#include <memory>

#include "res/SkinImages.h"
#include "viewer/SkinButton.h"

namespace {

// Records the notifications in the order a parent receives them.
struct Recorder {
  QStringList log;
  void Attach(SkinButton& button) {
    QObject::connect(&button, &SkinButton::clicked, [this](int id) { log << QString("cmd %1").arg(id); });
    QObject::connect(&button, &SkinButton::ptzCommand,
                     [this](quint32 v, int p) { log << QString("300 %1 %2").arg(v).arg(p); });
    QObject::connect(&button, &SkinButton::pressStateChanged,
                     [this](quint32 v, int p) { log << QString("200 %1 %2").arg(v).arg(p); });
    QObject::connect(&button, &SkinButton::releasedWithoutPress, [this] { log << "202"; });
  }
};

void Pump() { QCoreApplication::processEvents(); }

void SendMove(QWidget* w, QPoint pos, Qt::MouseButtons held) {
  QMouseEvent move(QEvent::MouseMove, QPointF(pos), w->mapToGlobal(QPointF(pos)), Qt::NoButton, held,
                   Qt::NoModifier);
  QApplication::sendEvent(w, &move);
}

void SendLeave(QWidget* w) {
  QEvent leave(QEvent::Leave);
  QApplication::sendEvent(w, &leave);
}

// The grabbed widget shows exactly the picture of the given resource.
bool Shows(QWidget& w, int resourceNumber) {
  const QImage shown = w.grab().toImage().convertToFormat(QImage::Format_RGB32);
  const QImage expected = SkinImage(resourceNumber).convertToFormat(QImage::Format_RGB32);
  return shown == expected;
}

class SkinButtonTest : public ::testing::Test {
 protected:
  void SetUp() override { parent.resize(877, 685); }
  QWidget parent;
  Recorder rec;
};

TEST_F(SkinButtonTest, LatchingClickPostsOneCommandAndFlipsBetweenNormalAndLatched) {
  SkinButton button(&parent, 1024, QRect(228, 574, 33, 32), SkinButtonBitmaps::Latching(163, 164));
  rec.Attach(button);
  EXPECT_TRUE(Shows(button, 163));

  QTest::mousePress(&button, Qt::LeftButton, {}, QPoint(10, 10));
  // State 3 has no picture, so pressing shows no change.
  EXPECT_EQ(button.DrawState(), SkinButton::StateNormal);
  QTest::mouseRelease(&button, Qt::LeftButton, {}, QPoint(10, 10));
  EXPECT_TRUE(rec.log.isEmpty()) << "the command is posted, not delivered inside the mouse handler";
  EXPECT_TRUE(button.GetCheck()) << "the check state flips before the command arrives";
  Pump();
  EXPECT_EQ(rec.log, QStringList{"cmd 1024"});
  EXPECT_EQ(button.DrawState(), SkinButton::StateLatched);
  EXPECT_TRUE(Shows(button, 164));

  QTest::mouseClick(&button, Qt::LeftButton, {}, QPoint(10, 10));
  Pump();
  EXPECT_EQ(rec.log, (QStringList{"cmd 1024", "cmd 1024"}));
  EXPECT_FALSE(button.IsChecked());
  EXPECT_TRUE(Shows(button, 163));
}

TEST_F(SkinButtonTest, MomentaryPressAndReleaseDeliverSentBeforePosted) {
  SkinButton button(&parent, 1087, QRect(773, 437, 51, 34), SkinButtonBitmaps::Momentary(189, 190),
                    SkinButton::Kind::Momentary, 1324);
  rec.Attach(button);

  QTest::mousePress(&button, Qt::LeftButton, {}, QPoint(20, 10));
  EXPECT_EQ(rec.log, QStringList{"300 1324 1"}) << "the sent notification is handled inside the press";
  EXPECT_TRUE(button.GetCheck());
  EXPECT_TRUE(Shows(button, 190));
  Pump();
  EXPECT_EQ(rec.log, (QStringList{"300 1324 1", "200 1324 1"}));

  QTest::mouseRelease(&button, Qt::LeftButton, {}, QPoint(20, 10));
  EXPECT_EQ(rec.log.last(), "300 1324 0");
  Pump();
  EXPECT_EQ(rec.log, (QStringList{"300 1324 1", "200 1324 1", "300 1324 0", "200 1324 0", "cmd 1087"}));
  EXPECT_FALSE(button.GetCheck());
  EXPECT_TRUE(Shows(button, 189));
}

TEST_F(SkinButtonTest, MomentaryDraggedOffReleasesOnceAtTheMomentOfLeaving) {
  SkinButton button(&parent, 1091, QRect(773, 521, 51, 36), SkinButtonBitmaps::Momentary(197, 198),
                    SkinButton::Kind::Momentary, 1328);
  rec.Attach(button);
  QTest::mousePress(&button, Qt::LeftButton, {}, QPoint(20, 10));
  Pump();
  rec.log.clear();

  // The pointer moves off while the button is held (the press grabbed the mouse).
  SendMove(&button, QPoint(80, 10), Qt::LeftButton);
  EXPECT_EQ(rec.log, QStringList{"300 1328 0"});
  EXPECT_EQ(button.DrawState(), SkinButton::StateNormal);
  Pump();
  // The release outside and the leave that follows it add nothing.
  QTest::mouseRelease(&button, Qt::LeftButton, {}, QPoint(80, 10));
  SendLeave(&button);
  Pump();
  EXPECT_EQ(rec.log, (QStringList{"300 1328 0", "200 1328 0", "cmd 1091"}));
}

TEST_F(SkinButtonTest, LeaveWhileHeldReleasesWithAllNotificationsAndLatchingToggles) {
  SkinButton pad(&parent, 1089, QRect(737, 471, 36, 51), SkinButtonBitmaps::Momentary(193, 194),
                 SkinButton::Kind::Momentary, 1326);
  rec.Attach(pad);
  QTest::mousePress(&pad, Qt::LeftButton, {}, QPoint(5, 5));
  SendLeave(&pad);
  Pump();
  EXPECT_EQ(rec.log, (QStringList{"300 1326 1", "300 1326 0", "200 1326 1", "200 1326 0", "cmd 1089"}));

  Recorder latchRec;
  SkinButton layout(&parent, 1017, QRect(368, 598, 40, 25), SkinButtonBitmaps::Latching(165, 166));
  latchRec.Attach(layout);
  QTest::mousePress(&layout, Qt::LeftButton, {}, QPoint(5, 5));
  SendLeave(&layout);
  Pump();
  EXPECT_EQ(latchRec.log, QStringList{"cmd 1017"});
  EXPECT_TRUE(layout.GetCheck());
}

TEST_F(SkinButtonTest, ReleaseOrLeaveWithoutPressPostsTheStrayNotification) {
  SkinButton button(&parent, 1026, QRect(311, 640, 31, 30), SkinButtonBitmaps::Latching(310, 330));
  rec.Attach(button);
  QMouseEvent release(QEvent::MouseButtonRelease, QPointF(5, 5), button.mapToGlobal(QPointF(5, 5)), Qt::LeftButton,
                      Qt::NoButton, Qt::NoModifier);
  QApplication::sendEvent(&button, &release);
  SendLeave(&button);
  Pump();
  EXPECT_EQ(rec.log, (QStringList{"202", "202"}));
  EXPECT_FALSE(button.GetCheck());
}

TEST_F(SkinButtonTest, MomentarySetCheckPostsOnlyOnChange) {
  SkinButton button(&parent, 1099, QRect(725, 545, 21, 20), SkinButtonBitmaps::Momentary(301, 302),
                    SkinButton::Kind::Momentary, 13);
  rec.Attach(button);
  button.SetCheck(true);
  EXPECT_EQ(button.DrawState(), SkinButton::StatePressed);
  Pump();
  EXPECT_EQ(rec.log, QStringList{"200 13 1"});
  button.SetCheck(true);
  Pump();
  EXPECT_EQ(rec.log, QStringList{"200 13 1"}) << "already latched: nothing posted";
  button.SetCheck(false);
  Pump();
  EXPECT_EQ(rec.log, (QStringList{"200 13 1", "200 13 0"}));
  EXPECT_EQ(button.DrawState(), SkinButton::StateNormal);
}

TEST_F(SkinButtonTest, DisabledButtonIgnoresTheMouseAndStillShowsItsState) {
  SkinButton activity(&parent, 1044, QRect(740, 230, 40, 40), SkinButtonBitmaps::Latching(220, 221));
  rec.Attach(activity);
  activity.setEnabled(false);
  QTest::mouseClick(&activity, Qt::LeftButton, {}, QPoint(10, 10));
  Pump();
  EXPECT_TRUE(rec.log.isEmpty());
  activity.SetCheck(!activity.GetCheck());
  EXPECT_TRUE(Shows(activity, 221));
}

TEST_F(SkinButtonTest, StateWithoutPictureKeepsThePreviousOne) {
  SkinButton button(&parent, 1, QRect(0, 0, 40, 25), SkinButtonBitmaps{165, 0, 0, 0});
  button.SetCheck(true);
  EXPECT_EQ(button.DrawState(), SkinButton::StateNormal);
  SkinButton blank(&parent, 2, QRect(0, 0, 40, 25), SkinButtonBitmaps{});
  EXPECT_EQ(blank.DrawState(), SkinButton::StateNone);
}

TEST_F(SkinButtonTest, DestroyedButtonDropsItsPendingNotifications) {
  auto button = std::make_unique<SkinButton>(&parent, 1087, QRect(773, 437, 51, 34),
                                             SkinButtonBitmaps::Momentary(189, 190), SkinButton::Kind::Momentary, 1324);
  rec.Attach(*button);
  QTest::mouseClick(button.get(), Qt::LeftButton, {}, QPoint(5, 5));
  button.reset();
  Pump();
  EXPECT_EQ(rec.log, (QStringList{"300 1324 1", "300 1324 0"}));
}

}  // namespace
