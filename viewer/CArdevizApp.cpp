#include "viewer/CArdevizApp.h"

#include <QDir>

#include "platform/Alerts.h"
#include "viewer/CMainFrame.h"

CArdevizApp::CArdevizApp(const QString& lockFilePath, CArdevizView::Options viewOptions)
    : m_instanceLock(lockFilePath), m_viewOptions(std::move(viewOptions)) {
  // Only a dead owner makes the lock stale, never its age: the first instance
  // may run for days.
  m_instanceLock.setStaleLockTime(0);
}

CArdevizApp::~CArdevizApp() { ExitInstance(); }

QString CArdevizApp::DefaultLockFilePath() {
  return QDir(QDir::tempPath()).filePath(QString::fromLatin1(kInstanceName) + QStringLiteral(".lock"));
}

bool CArdevizApp::InitInstance() {
  if (!m_instanceLock.tryLock(0)) {
    Alerts::ShowMessage(nullptr, QString::fromLatin1(kAnotherInstanceText), QString::fromLatin1(kErrorCaption),
                        Alerts::Icon::Error);
    return false;
  }
  m_pFrame = std::make_unique<CMainFrame>(m_viewOptions);
  m_pFrame->View()->OnInitialUpdate();
  m_pFrame->show();
  return true;
}

void CArdevizApp::ExitInstance() {
  m_pFrame.reset();
  if (m_instanceLock.isLocked()) m_instanceLock.unlock();
}
