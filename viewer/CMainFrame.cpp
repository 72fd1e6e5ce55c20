#include "viewer/CMainFrame.h"

#include <QGuiApplication>
#include <QScreen>

#include <algorithm>

#include "viewer/FullScreenStage.h"

CMainFrame::CMainFrame(CArdevizView::Options viewOptions, QWidget* parent)
    : QWidget(parent, Qt::Window | Qt::FramelessWindowHint) {
  setWindowTitle(QString::fromLatin1(kTitle));
  setFixedSize(kWidth, kHeight);
  setMask(VisibleRegion());
  move(PlacedOn(AvailableArea(), size()));
  m_pView = new CArdevizView(this, std::move(viewOptions));
  m_pView->move(0, 0);
}

CMainFrame::~CMainFrame() {
  // Off the stage first: the stage's scene must not delete the frame.
  m_pStage.reset();
}

FullScreenStage* CMainFrame::Stage() const {
  return m_pStage && m_pStage->IsActive() ? m_pStage.get() : nullptr;
}

QPoint CMainFrame::PlacedOn(const QRect& available, const QSize& window) {
  return QPoint(available.left() + std::max(0, (available.width() - window.width()) / 2),
                available.top() + std::max(0, (available.height() - window.height()) / 2));
}

QRect CMainFrame::AvailableArea() {
  const QScreen* screen = QGuiApplication::primaryScreen();
  return screen ? screen->availableGeometry() : QRect(0, 0, kWidth, kHeight);
}

void CMainFrame::SetFullScreen(bool fullScreen) {
  if (fullScreen) {
    if (!m_pStage) m_pStage = std::make_unique<FullScreenStage>(this, VisibleRegion().boundingRect());
    QScreen* target = screen() ? screen() : QGuiApplication::primaryScreen();
    m_pStage->Enter(target);
    return;
  }
  const bool wasOnStage = m_pStage && m_pStage->IsActive();
  const bool shown = wasOnStage ? m_pStage->isVisible() : isVisible();
  if (wasOnStage) m_pStage->Leave();
  setGeometry(QRect(PlacedOn(AvailableArea(), QSize(kWidth, kHeight)), QSize(kWidth, kHeight)));
  if (wasOnStage && shown) show();
}
