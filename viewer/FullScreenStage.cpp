#include "viewer/FullScreenStage.h"

#include <QCloseEvent>
#include <QGraphicsProxyWidget>
#include <QGraphicsRectItem>
#include <QGraphicsScene>
#include <QScreen>
#include <QWindow>

#include <algorithm>

FullScreenStage::FullScreenStage(QWidget* window, const QRect& visible)
    : QGraphicsView(), m_pWindow(window), m_visible(visible) {
  setWindowFlags(Qt::Window | Qt::FramelessWindowHint);
  setWindowTitle(window->windowTitle());
  setFrameShape(QFrame::NoFrame);
  setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
  setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
  setBackgroundBrush(Qt::black);
  setAlignment(Qt::AlignLeft | Qt::AlignTop);
  setScene(new QGraphicsScene(this));
}

FullScreenStage::~FullScreenStage() {
  // The window outlives the stage: it must not go with the scene.
  Leave();
}

int FullScreenStage::FactorFor(const QSize& screen, const QSize& visible) {
  if (visible.isEmpty()) return 1;
  return std::max(1, std::min(screen.width() / visible.width(), screen.height() / visible.height()));
}

void FullScreenStage::Enter(QScreen* screen) {
  const QRect area = screen ? screen->geometry() : QRect(QPoint(0, 0), m_visible.size());
  m_nFactor = FactorFor(area.size(), m_visible.size());
  if (!m_pProxy) {
    m_bMoving = true;
    m_pWindow->hide();
    m_pClip = new QGraphicsRectItem();
    m_pClip->setPen(Qt::NoPen);
    m_pClip->setFlag(QGraphicsItem::ItemClipsChildrenToShape);
    scene()->addItem(m_pClip);
    // The stage's clip does the mask's job; a masked widget renders its children
    // off by the mask's offset inside a proxy.
    m_windowMask = m_pWindow->mask();
    m_pWindow->clearMask();
    // The proxy takes the window's quit-on-close away: closing it must still end the program.
    m_bQuitOnClose = m_pWindow->testAttribute(Qt::WA_QuitOnClose);
    m_pProxy = new QGraphicsProxyWidget(m_pClip);
    m_pProxy->setWidget(m_pWindow);
    m_pProxy->setPos(0, 0);  // it took over the window's place on the desktop
    m_pWindow->show();
    m_pWindow->installEventFilter(this);
    m_bMoving = false;
  }
  // Only the visible part, centred; the rest of the screen stays black.
  m_pClip->setRect(m_visible);
  m_pClip->setScale(m_nFactor);
  const QSize shown = m_visible.size() * m_nFactor;
  const QPoint at((area.width() - shown.width()) / 2, (area.height() - shown.height()) / 2);
  m_pClip->setPos(at - m_visible.topLeft() * m_nFactor);
  scene()->setSceneRect(0, 0, area.width(), area.height());
  setGeometry(area);
  if (screen && windowHandle()) windowHandle()->setScreen(screen);
  showFullScreen();
  raise();
  activateWindow();
}

void FullScreenStage::Leave() {
  if (!m_pProxy) return;
  m_bMoving = true;
  m_pWindow->removeEventFilter(this);
  hide();
  m_pWindow->hide();
  m_pProxy->setWidget(nullptr);
  m_pWindow->setMask(m_windowMask);
  m_pWindow->setAttribute(Qt::WA_QuitOnClose, m_bQuitOnClose);
  delete m_pClip;  // and the proxy with it
  m_pClip = nullptr;
  m_pProxy = nullptr;
  m_bMoving = false;
}

bool FullScreenStage::eventFilter(QObject* watched, QEvent* event) {
  if (watched == m_pWindow && m_pProxy && !m_bMoving) {
    if (event->type() == QEvent::Close) m_bWindowClosing = true;
    if (event->type() == QEvent::Show) {
      m_bWindowClosing = false;
      showFullScreen();
    }
    // A closed window closes the stage, so the program ends with its last window as usual.
    if (event->type() == QEvent::Hide) m_bWindowClosing ? static_cast<void>(close()) : hide();
  }
  return QGraphicsView::eventFilter(watched, event);
}

QPoint FullScreenStage::MapFromWindow(const QPoint& windowPoint) const {
  if (!m_pProxy) return windowPoint;
  return mapFromScene(m_pProxy->mapToScene(QPointF(windowPoint)));
}

void FullScreenStage::closeEvent(QCloseEvent* event) {
  // Closing the stage (by the window manager) closes the window on it.
  if (m_pProxy && m_pWindow->isVisible() && !m_pWindow->close()) {
    event->ignore();
    return;
  }
  QGraphicsView::closeEvent(event);
}
