#pragma once
// The program: the single-instance guard (a lock file in the user's runtime
// folder, so one instance per user), then the main frame with its view, shown
// and initialised.

#include <QLockFile>
#include <QString>
#include <memory>

#include "viewer/CArdevizView.h"

class CMainFrame;

class CArdevizApp {
 public:
  static constexpr const char* kInstanceName = "Ardeviz";
  static constexpr const char* kAnotherInstanceText = "Another instance of this program exists";
  static constexpr const char* kErrorCaption = "ERROR";

  explicit CArdevizApp(const QString& lockFilePath = DefaultLockFilePath(), CArdevizView::Options viewOptions = {});
  ~CArdevizApp();
  CArdevizApp(const CArdevizApp&) = delete;
  CArdevizApp& operator=(const CArdevizApp&) = delete;

  // Names the program and gives it its icon for every window; false ends the
  // program: another instance runs.
  bool InitInstance();
  // Releases the instance lock; the frame and view go with the object.
  void ExitInstance();

  CMainFrame* MainFrame() const { return m_pFrame.get(); }

  // "Ardeviz.lock" in the user's runtime folder (QStandardPaths::RuntimeLocation).
  static QString DefaultLockFilePath();
  // The lock in the given runtime folder; without one, in the temporary folder
  // under a name that carries the user's number, since that folder is shared.
  static QString LockFilePathIn(const QString& runtimeFolder);

 private:
  QLockFile m_instanceLock;
  CArdevizView::Options m_viewOptions;
  std::unique_ptr<CMainFrame> m_pFrame;
};
