#include "skin/WindowDragHelper.h"

#include <QMouseEvent>
#include <QWidget>
#include <QWindow>

WindowDragHelper::WindowDragHelper(QWidget* widget, std::function<bool()> allowed)
    : QObject(widget), m_pWidget(widget), m_allowed(std::move(allowed)) {
  widget->installEventFilter(this);
}

bool WindowDragHelper::eventFilter(QObject* watched, QEvent* event) {
  if (watched != m_pWidget) return false;
  QWidget* window = m_pWidget->window();
  switch (event->type()) {
    case QEvent::MouseButtonPress: {
      const auto* mouse = static_cast<QMouseEvent*>(event);
      if (mouse->button() != Qt::LeftButton || !m_allowed()) break;
      // A press on a disabled control reaches the window too: it must not drag.
      if (m_pWidget->childAt(mouse->position().toPoint())) break;
      QWindow* handle = window->windowHandle();
      if (!handle || !handle->startSystemMove())
        m_dragOffset = mouse->globalPosition().toPoint() - window->frameGeometry().topLeft();
      break;
    }
    case QEvent::MouseMove: {
      const auto* mouse = static_cast<QMouseEvent*>(event);
      if (m_dragOffset && (mouse->buttons() & Qt::LeftButton))
        window->move(mouse->globalPosition().toPoint() - *m_dragOffset);
      break;
    }
    case QEvent::MouseButtonRelease:
      if (static_cast<QMouseEvent*>(event)->button() == Qt::LeftButton) m_dragOffset.reset();
      break;
    default: break;
  }
  return false;
}
