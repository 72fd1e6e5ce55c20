#include "viewer/CMainFrame.h"

#include <QGuiApplication>
#include <QScreen>

#include "viewer/FullScreenStage.h"

namespace {
QSize ScreenSize() {
  const QScreen* screen = QGuiApplication::primaryScreen();
  return screen ? screen->geometry().size() : QSize(CMainFrame::kWidth, CMainFrame::kHeight);
}
}  // namespace

CMainFrame::CMainFrame(CArdevizView::Options viewOptions, QWidget* parent)
    : QWidget(parent, Qt::Window | Qt::FramelessWindowHint) {
  setWindowTitle(QString::fromLatin1(kTitle));
  setFixedSize(kWidth, kHeight);
  setMask(VisibleRegion());
  move(CentredPosition(ScreenSize()));
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

QPoint CMainFrame::CentredPosition(const QSize& screen) {
  return QPoint((screen.width() - kWidth) / 2, (screen.height() - kHeight) / 2);
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
  const QPoint centred = CentredPosition(ScreenSize());
  setGeometry(centred.x(), centred.y(), kWidth, kHeight);
  if (wasOnStage && shown) show();
}
