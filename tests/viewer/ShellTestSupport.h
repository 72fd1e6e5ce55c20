#pragma once
// Helpers of the viewer shell tests: settings in a temporary folder instead of
// the user's, message boxes and beeps caught instead of shown, clicks on skin
// buttons delivered with their queued notifications.

#include <QCoreApplication>
#include <QDir>
#include <QSettings>
#include <QTemporaryDir>
#include <QTest>
#include <vector>

#include "platform/Alerts.h"

class IsolatedSettings {
 public:
  IsolatedSettings() {
    QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, m_dir.path());
    QSettings::setPath(QSettings::IniFormat, QSettings::UserScope, m_dir.path());
    QSettings(QStringLiteral("Ardeviz"), QStringLiteral("Ardeviz8")).clear();
  }

 private:
  QTemporaryDir m_dir;
};

// Catches every message box and beep for its lifetime.
class AlertRecorder {
 public:
  AlertRecorder() {
    Alerts::SetMessageHook([this](const Alerts::Message& m) {
      messages.push_back(m);
      return Alerts::kOk;
    });
    Alerts::SetBeepHook([this] { ++beeps; });
  }
  ~AlertRecorder() {
    Alerts::SetMessageHook({});
    Alerts::SetBeepHook({});
  }
  AlertRecorder(const AlertRecorder&) = delete;
  AlertRecorder& operator=(const AlertRecorder&) = delete;

  std::vector<Alerts::Message> messages;
  int beeps = 0;
};

// Runs the working folder in a temporary directory for its lifetime.
class TemporaryWorkingFolder {
 public:
  TemporaryWorkingFolder() : m_previous(QDir::currentPath()) { QDir::setCurrent(m_dir.path()); }
  ~TemporaryWorkingFolder() { QDir::setCurrent(m_previous); }

 private:
  QTemporaryDir m_dir;
  QString m_previous;
};

// A click on a widget, then its queued notifications.
inline void ClickAndSettle(QWidget* widget) {
  QTest::mouseClick(widget, Qt::LeftButton);
  QCoreApplication::processEvents();
  QCoreApplication::processEvents();
}
