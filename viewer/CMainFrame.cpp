#include "viewer/CMainFrame.h"

#include <QGuiApplication>
#include <QScreen>

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

QPoint CMainFrame::CentredPosition(const QSize& screen) {
  return QPoint((screen.width() - kWidth) / 2, (screen.height() - kHeight) / 2);
}

void CMainFrame::SetFullScreen(bool fullScreen) {
  if (fullScreen) {
    setGeometry(-kMargin, -kMargin, kWidth, kHeight);
  } else {
    const QPoint centred = CentredPosition(ScreenSize());
    setGeometry(centred.x(), centred.y(), kWidth, kHeight);
  }
}
