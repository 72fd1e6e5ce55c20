#pragma once
// The program: the single-instance guard (a lock file in the user's runtime
// folder, so one instance per user), then the main frame with its view, shown
// and initialised.

#include <QString>
#include <memory>

#include "platform/InstanceLock.h"
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
  // program: another instance runs, or the lock cannot be used (a box says which).
  bool InitInstance();
  // Releases the instance lock; the frame and view go with the object.
  void ExitInstance();

  CMainFrame* MainFrame() const { return m_pFrame.get(); }

  // "Ardeviz.lock" in $XDG_RUNTIME_DIR; when that is unset or relative, in a
  // folder of the user's own in the shared temporary folder.
  static QString DefaultLockFilePath();

 private:
  InstanceLock m_instanceLock;
  CArdevizView::Options m_viewOptions;
  std::unique_ptr<CMainFrame> m_pFrame;
};
