#include "platform/DisplayMode.h"

#include <QGuiApplication>
#include <QScreen>

QSize DisplayMode::Current() {
  const QScreen* screen = QGuiApplication::primaryScreen();
  return screen ? screen->geometry().size() : QSize();
}

bool DisplayMode::SwitchTo(const QSize& size) { return Current() == size; }

void DisplayMode::Restore() {
  // Nothing was changed, so nothing to restore.
}
