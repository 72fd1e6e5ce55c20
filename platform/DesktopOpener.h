#pragma once
// Shows a folder in the desktop's file manager. Tests switch it off so that
// no window opens; the folders asked for are still remembered for them.

#include <QString>
#include <QStringList>

class DesktopOpener {
 public:
  // Opens the folder (no wait, no result: a failure is not reported).
  static void OpenFolder(const QString& folder);

  // false: OpenFolder only records the request.
  static void SetEnabled(bool enabled);
  static bool IsEnabled();
  // Folders asked for since the last ClearRequests, in order.
  static QStringList Requests();
  static void ClearRequests();
};
