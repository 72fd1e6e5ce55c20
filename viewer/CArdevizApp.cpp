#include "viewer/CArdevizApp.h"

#include <QDir>
#include <QStandardPaths>

#ifdef Q_OS_UNIX
#include <unistd.h>
#endif

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
  return LockFilePathIn(QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation));
}

QString CArdevizApp::LockFilePathIn(const QString& runtimeFolder) {
  const QString name = QString::fromLatin1(kInstanceName);
  if (!runtimeFolder.isEmpty()) return QDir(runtimeFolder).filePath(name + QStringLiteral(".lock"));
#ifdef Q_OS_UNIX
  return QDir(QDir::tempPath()).filePath(QStringLiteral("%1-%2.lock").arg(name).arg(::getuid()));
#else
  return QDir(QDir::tempPath()).filePath(name + QStringLiteral(".lock"));  // a per-user folder there
#endif
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
