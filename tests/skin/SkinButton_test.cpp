#include <gtest/gtest.h>

#include <QApplication>
#include <QMouseEvent>
#include <QStringList>
#include <QTest>
#include <memory>

#include "res/SkinImages.h"
#include "skin/SkinButton.h"

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
  QMouseEvent move(QEvent::MouseMove, QPointF(pos), w->mapToGlobal(QPointF(pos)), Qt::NoButton, held, Qt::NoModifier);
  QApplication::sendEvent(w, &move);
}

void SendLeave(QWidget* w) { QEvent leave(QEvent::Leave); QApplication::sendEvent(w, &leave); }

// The grabbed widget shows exactly the picture of the given resource.
bool Shows(QWidget& w, int resourceNumber) {
  return w.grab().toImage().convertToFormat(QImage::Format_RGB32) ==
         SkinImage(resourceNumber).convertToFormat(QImage::Format_RGB32);
}

class SkinButtonTest : public ::testing::Test {
 protected:
  void SetUp() override { parent.resize(877, 685); }
  QWidget parent;
  Recorder rec;
};

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
