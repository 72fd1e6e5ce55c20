#include "platform/DesktopOpener.h"

#include <QDesktopServices>
#include <QMutex>
#include <QMutexLocker>
#include <QUrl>
#include <atomic>

namespace {
std::atomic<bool> g_enabled{true};
QMutex g_requestsMutex;
QStringList g_requests;
}  // namespace

void DesktopOpener::OpenFolder(const QString& folder) {
  {
    QMutexLocker lock(&g_requestsMutex);
    g_requests.append(folder);
  }
  if (g_enabled) QDesktopServices::openUrl(QUrl::fromLocalFile(folder));
}

void DesktopOpener::SetEnabled(bool enabled) { g_enabled = enabled; }
bool DesktopOpener::IsEnabled() { return g_enabled; }

QStringList DesktopOpener::Requests() {
  QMutexLocker lock(&g_requestsMutex);
  return g_requests;
}

void DesktopOpener::ClearRequests() {
  QMutexLocker lock(&g_requestsMutex);
  g_requests.clear();
}
