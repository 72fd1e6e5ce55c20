#pragma once
// The shipped viewer as the operator starts it: the built executable in its
// own folder, on the test's X server, with a home, configuration and temporary
// folder of its own whose stored recorder address is 127.0.0.1 and the
// simulator's port. Clicks and held buttons go through xdotool at window
// positions; what the operator sees is read back from the screen.

#include <QImage>
#include <QPoint>
#include <QProcess>
#include <QProcessEnvironment>
#include <QRect>
#include <QString>
#include <QTemporaryDir>
#include <QVariantMap>

#include <memory>
#include <vector>

class ViewerProcess {
 public:
  ViewerProcess();
  ~ViewerProcess();

  // Before Start: "Use FullScreen" stored as 1 and the viewer started on the
  // test server's X screen `screen` of the given size; its window is then the
  // stage over that whole screen, and points are screen points.
  void SetFullScreen(int screen, const QSize& size);
  // Before Start: a setting of the group `Setting` stored with this value.
  void Store(const char* name, int value) { m_stored[QLatin1String(name)] = value; }
  // The record folder the viewer uses: beside its executable.
  static QString RecordFolder();

  // Writes the stored address 127.0.0.1:port and reads it back; only then
  // starts the viewer, with these variables beside its own folders, and
  // waits until its window is on the screen.
  bool Start(quint16 port, const QProcessEnvironment& environment);
  void Stop();
  bool IsRunning() const { return m_process && m_process->state() == QProcess::Running; }

  // The main window on the screen.
  QRect WindowRect() const { return m_window; }
  // The window as the screen shows it now.
  QImage Grab() const;
  // Every other visible top-level window: message boxes and dialogs.
  std::vector<QRect> OtherWindows() const;

  // Mouse input at a point of the window: xdotool's "click", "mousedown" or "mouseup".
  void Mouse(const QPoint& at, const char* action) const;
  // A key of the main window: xdotool's "key", "keydown" or "keyup" with a key name.
  void Key(const char* action, const char* key) const;
  // The Return key in another window (a box's default button), the pointer over it.
  void PressReturnIn(const QRect& window) const;
  // Unmaps and maps the viewer's windows, so that they are drawn again in full.
  void RepaintAll() const;

  QString Error() const { return m_error; }
  // What the viewer wrote to its standard output and error.
  QString Output();

 private:
  QTemporaryDir m_root;
  std::unique_ptr<QProcess> m_process;
  QRect m_window;
  int m_screen = -1;  // the X screen when full screen
  QVariantMap m_stored;
  QString m_error;
  QByteArray m_output;
};
