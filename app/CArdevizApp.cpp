#include "app/CArdevizApp.h"

#include <QDir>
#include <QGuiApplication>

#include "app/AppViewExtensions.h"
#include "archive/AviRecorder.h"
#include "platform/Alerts.h"
#include "platform/PendingFile.h"
#include "res/SkinImages.h"
#include "viewer/CMainFrame.h"

CArdevizApp::CArdevizApp(const QString& lockFilePath, CArdevizView::Options viewOptions)
    : m_instanceLock(lockFilePath), m_viewOptions(std::move(viewOptions)) {
  // The program's view always has its archive panel and Configurations dialog.
  if (!m_viewOptions.extensions.createArchivePanel) m_viewOptions.extensions = AppViewExtensions();
}

CArdevizApp::~CArdevizApp() { ExitInstance(); }

QString CArdevizApp::DefaultLockFilePath() {
  QString runtime = qEnvironmentVariable("XDG_RUNTIME_DIR");
  if (QDir::isRelativePath(runtime)) runtime.clear();  // the XDG rules ignore a relative value
  return InstanceLock::PathIn(runtime, QString::fromLatin1(kInstanceName) + QStringLiteral(".lock"));
}

bool CArdevizApp::InitInstance() {
  // Every window, boxes and dialogs too, carries the program's name after its own
  // caption and the program's icon wherever the window manager draws a title bar.
  QGuiApplication::setApplicationDisplayName(QString::fromLatin1(CMainFrame::kTitle));
  QGuiApplication::setWindowIcon(ProgramIcon());
  const InstanceLock::Outcome outcome = m_instanceLock.TryLock();
  if (outcome != InstanceLock::Outcome::Locked) {
    const QString text = outcome == InstanceLock::Outcome::HeldByAnother ? QString::fromLatin1(kAnotherInstanceText)
                                                                          : m_instanceLock.Problem();
    Alerts::ShowMessage(nullptr, text, QString::fromLatin1(kErrorCaption), Alerts::Icon::Error);
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
  m_instanceLock.Unlock();
}
