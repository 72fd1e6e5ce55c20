// Dragging a frameless window by hand where the window system cannot move it
// (the offscreen platform), and no dragging while it is not allowed.
#include <gtest/gtest.h>

#include <QMouseEvent>
#include <QWidget>

#include "skin/WindowDragHelper.h"

namespace {

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

  allowed = false;  // full screen
  Send(window, QEvent::MouseButtonPress, {160, 130}, Qt::LeftButton);
  Send(window, QEvent::MouseMove, {300, 300}, Qt::LeftButton);
  EXPECT_EQ(window.pos(), QPoint(150, 120));
}

}  // namespace
