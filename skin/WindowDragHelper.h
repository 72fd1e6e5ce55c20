#pragma once
// Moves a frameless skinned window when the operator drags anywhere on it:
// the window system moves it where it can, otherwise it follows the pointer.
// An event filter on the widget, so the widget's own mouse handlers still run.

#include <QObject>
#include <QPoint>

#include <functional>
#include <optional>

class QWidget;

class WindowDragHelper : public QObject {
  Q_OBJECT

 public:
  // Owned by widget; dragging works only while allowed() says so.
  WindowDragHelper(QWidget* widget, std::function<bool()> allowed);

  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  QWidget* m_pWidget;
  std::function<bool()> m_allowed;
  std::optional<QPoint> m_dragOffset;  // set while moving by hand
};
