#pragma once
// Full screen where the display keeps its resolution: a black window over the
// whole screen that shows a fixed-size top-level window centred on it,
// enlarged by the largest whole factor that fits, and hands the pointer and
// keys back to it in its own coordinates. Leaving gives the window back as an
// ordinary window.

#include <QGraphicsView>
#include <QRect>
#include <QRegion>
#include <QSize>

class QGraphicsProxyWidget;
class QGraphicsRectItem;
class QScreen;

class FullScreenStage : public QGraphicsView {
  Q_OBJECT

 public:
  // window: a top-level window without a parent; visible: the part of it shown.
  FullScreenStage(QWidget* window, const QRect& visible);
  ~FullScreenStage() override;

  // The largest whole factor by which visible fits the screen, at least 1.
  static int FactorFor(const QSize& screen, const QSize& visible);

  // Takes the window onto the stage on the given screen and shows the stage.
  void Enter(QScreen* screen);
  // Gives the window back as a window of its own (hidden; the caller places and shows it).
  void Leave();
  bool IsActive() const { return m_pProxy != nullptr; }
  int Factor() const { return m_nFactor; }
  // Where the window's own point lies on the stage.
  QPoint MapFromWindow(const QPoint& windowPoint) const;

 protected:
  void closeEvent(QCloseEvent* event) override;
  // Follows the window on the stage: hidden, shown and closed with it.
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  QWidget* m_pWindow;
  QRect m_visible;
  QRegion m_windowMask;  // the window's own mask, put back when it leaves the stage
  bool m_bQuitOnClose = true;  // and its quit-on-close
  int m_nFactor = 1;
  bool m_bMoving = false;         // the window is being taken onto or off the stage
  bool m_bWindowClosing = false;  // the window got a close request; its hiding closes the stage
  QGraphicsRectItem* m_pClip = nullptr;       // owned by the scene
  QGraphicsProxyWidget* m_pProxy = nullptr;  // owned by m_pClip
};
