#include "app/CArdevizApp.h"

#include <QDir>
#include <QGuiApplication>
#include <QStandardPaths>

#ifdef Q_OS_UNIX
#include <unistd.h>
#endif

#include "app/AppViewExtensions.h"
#include "archive/AviRecorder.h"
#include "platform/Alerts.h"
#include "platform/PendingFile.h"
#include "res/SkinImages.h"
#include "viewer/CMainFrame.h"

CArdevizApp::CArdevizApp(const QString& lockFilePath, CArdevizView::Options viewOptions)
    : m_instanceLock(lockFilePath), m_viewOptions(std::move(viewOptions)) {
  // Only a dead owner makes the lock stale, never its age: the first instance
  // may run for days.
  m_instanceLock.setStaleLockTime(0);
  // The program's view always has its archive panel and Configurations dialog.
  if (!m_viewOptions.extensions.createArchivePanel) m_viewOptions.extensions = AppViewExtensions();
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
  // Every window, boxes and dialogs too, carries the program's name after its own
  // caption and the program's icon wherever the window manager draws a title bar.
  QGuiApplication::setApplicationDisplayName(QString::fromLatin1(CMainFrame::kTitle));
  QGuiApplication::setWindowIcon(ProgramIcon());
  if (!m_instanceLock.tryLock(0)) {
    Alerts::ShowMessage(nullptr, QString::fromLatin1(kAnotherInstanceText), QString::fromLatin1(kErrorCaption),
                        Alerts::Icon::Error);
    return false;
  }
  m_pFrame = std::make_unique<CMainFrame>(m_viewOptions);
  m_pFrame->View()->OnInitialUpdate();
  // A recording or snapshot cut short by a crash leaves its hidden temporary
  // file behind; with this instance's lock held, none of them is being written.
  PendingFile::RemoveLeftovers(AviRecorder::ResolveTargetFolder(m_pFrame->View()->Settings().recordFolder));
  m_pFrame->show();
  return true;
}

void CArdevizApp::ExitInstance() {
  m_pFrame.reset();
  if (m_instanceLock.isLocked()) m_instanceLock.unlock();
}
