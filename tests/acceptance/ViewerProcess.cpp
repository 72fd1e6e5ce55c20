#include "tests/acceptance/ViewerProcess.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QGuiApplication>
#include <QPixmap>
#include <QProcessEnvironment>
#include <QScreen>
#include <QSettings>
#include <QTest>

#include <csignal>
#include <sys/prctl.h>

#include "viewer/CMainFrame.h"
#include "viewer/ViewerSettingsStore.h"

namespace {
constexpr const char* kLoopback = "127.0.0.1";
// Where the pointer rests between inputs: the skin's left edge, off every control.
constexpr QPoint kRestingPointer{30, 300};

QString Xdotool(const QStringList& args) {
  QProcess xdotool;
  xdotool.start(QStringLiteral("xdotool"), args);
  if (!xdotool.waitForFinished(5000)) return QString();
  return QString::fromLocal8Bit(xdotool.readAllStandardOutput());
}

QStringList Words(const QString& line) { return line.split(QLatin1Char(' ')); }

// Every visible window on the scenarios' own screen 0 of the test's X server but
// its root, or every visible window of one process.
std::vector<QRect> VisibleWindows(qint64 pid = 0) {
  std::vector<QRect> windows;
  const QRect screen = QGuiApplication::primaryScreen()->geometry();
  QRect r;
  // One "WINDOW=" block of X=, Y=, WIDTH=, HEIGHT= and SCREEN= lines per window.
  // Any name (the empty pattern), on screen 0 or of that process.
  const QString which = pid ? QStringLiteral("--all --pid %1").arg(pid) : QStringLiteral("--screen 0");
  for (const QString& line : Xdotool(Words(QStringLiteral("search --onlyvisible %1 --name").arg(which))
                                     << QString() << Words(QStringLiteral("getwindowgeometry --shell %@")))
                                 .split(QLatin1Char('\n'))) {
    const int value = line.section(QLatin1Char('='), 1).toInt();
    if (line.startsWith(QLatin1String("X="))) r.moveLeft(value);
    if (line.startsWith(QLatin1String("Y="))) r.moveTop(value);
    if (line.startsWith(QLatin1String("WIDTH="))) r.setWidth(value);
    if (line.startsWith(QLatin1String("HEIGHT="))) r.setHeight(value);
    if (line.startsWith(QLatin1String("SCREEN=")) && r.isValid() && r != screen) windows.push_back(r);
  }
  return windows;
}
}  // namespace

ViewerProcess::ViewerProcess() {
  for (const char* folder : {"home", "config", "tmp", "runtime"}) QDir(m_root.path()).mkpath(QLatin1String(folder));
  QFile::setPermissions(m_root.filePath(QStringLiteral("runtime")),
                        QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
}

ViewerProcess::~ViewerProcess() { Stop(); }

void ViewerProcess::SetFullScreen(int screen, const QSize& size) {
  m_screen = screen;
  m_window = QRect(QPoint(0, 0), size);
  Store(ViewerSettingsStore::kUseFullScreen, 1);
}

QString ViewerProcess::RecordFolder() {
  return ViewerSettingsStore::RecordFolderFor(QString::fromLocal8Bit(qgetenv("ARDEVIZ_VIEWER")));
}

bool ViewerProcess::Start(quint16 port, const QProcessEnvironment& environment) {
  const QString file = m_root.filePath(QStringLiteral("config/%1/%2.conf")
                                           .arg(QLatin1String(ViewerSettingsStore::kOrganization),
                                                QLatin1String(ViewerSettingsStore::kApplication)));
  {
    QSettings s(file, QSettings::IniFormat);
    s.beginGroup(QLatin1String(ViewerSettingsStore::kGroup));
    s.setValue(QLatin1String(ViewerSettingsStore::kHostAddress), QLatin1String(kLoopback));
    s.setValue(QLatin1String(ViewerSettingsStore::kHostPort), port);
    for (const auto& [name, value] : m_stored.asKeyValueRange()) s.setValue(name, value);
  }
  // Read back from the file: the viewer never starts with any other address.
  QSettings check(file, QSettings::IniFormat);
  check.beginGroup(QLatin1String(ViewerSettingsStore::kGroup));
  const QString host = check.value(QLatin1String(ViewerSettingsStore::kHostAddress)).toString();
  const quint16 storedPort = static_cast<quint16>(check.value(QLatin1String(ViewerSettingsStore::kHostPort)).toUInt());
  if (host != QLatin1String(kLoopback) || storedPort != port || port == 0) {
    m_error = QStringLiteral("%1 reads back as %2:%3; the viewer is not started").arg(file, host).arg(storedPort);
    return false;
  }
  QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
  env.insert(QStringLiteral("HOME"), m_root.filePath(QStringLiteral("home")));
  env.insert(QStringLiteral("XDG_CONFIG_HOME"), m_root.filePath(QStringLiteral("config")));
  env.insert(QStringLiteral("TMPDIR"), m_root.filePath(QStringLiteral("tmp")));
  env.insert(QStringLiteral("XDG_RUNTIME_DIR"), m_root.filePath(QStringLiteral("runtime")));
  env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("xcb"));
  const QString display = qEnvironmentVariable("DISPLAY");
  if (m_screen >= 0) env.insert(QStringLiteral("DISPLAY"), QStringLiteral("%1.%2").arg(display).arg(m_screen));
  // No session bus unless a scenario brings its own: the user's keyring is never asked.
  env.insert(QStringLiteral("DBUS_SESSION_BUS_ADDRESS"), "unix:path=" + m_root.filePath(QStringLiteral("no-bus")));
  env.insert(environment);
  m_process = std::make_unique<QProcess>();
  m_process->setProcessEnvironment(env);
  m_process->setProcessChannelMode(QProcess::MergedChannels);
  m_process->setChildProcessModifier([] { ::prctl(PR_SET_PDEATHSIG, SIGKILL); });
  // Started in its own folder, as run.sh does: it reads ini/ and PTZ/ from there.
  const QString program = QString::fromLocal8Bit(qgetenv("ARDEVIZ_VIEWER"));
  m_process->setWorkingDirectory(QFileInfo(program).absolutePath());
  m_process->start(program, {});
  if (!m_process->waitForStarted(5000)) {
    m_error = QStringLiteral("%1 did not start: %2").arg(program, m_process->errorString());
    return false;
  }
  QElapsedTimer clock;
  clock.start();
  const QSize size = m_screen >= 0 ? m_window.size() : QSize(CMainFrame::kWidth, CMainFrame::kHeight);
  while (clock.elapsed() < 10000) {
    if (!IsRunning()) {
      m_error = QStringLiteral("the viewer ended at start: %1").arg(Output());
      return false;
    }
    for (const QRect& r : VisibleWindows(m_process->processId())) {
      if (r.size() == size) {
        m_window = r;
        QTest::qWait(500);  // the first paint
        return true;
      }
    }
    QTest::qWait(100);
  }
  m_error = QStringLiteral("no viewer window appeared within 10 s");
  return false;
}

void ViewerProcess::Stop() {
  if (!m_process) return;
  if (m_process->state() != QProcess::NotRunning) {
    m_process->terminate();
    if (!m_process->waitForFinished(3000)) {
      m_process->kill();
      m_process->waitForFinished(2000);
    }
  }
  Output();
  m_process.reset();
  // The pointer back on screen 0: Xvfb aborts at its end when it was left on another screen.
  if (m_screen > 0) Xdotool(Words(QStringLiteral("mousemove --screen 0 0 0")));
}

QImage ViewerProcess::Grab() const {
  // Each X screen of the server is a screen of its own size here.
  QScreen* screen = QGuiApplication::primaryScreen();
  for (QScreen* s : QGuiApplication::screens())
    if (m_screen >= 0 && s->geometry() == m_window) screen = s;
  return screen->grabWindow(0, m_window.x(), m_window.y(), m_window.width(), m_window.height())
      .toImage()
      .convertToFormat(QImage::Format_RGB32);
}

std::vector<QRect> ViewerProcess::OtherWindows() const {
  std::vector<QRect> others;
  for (const QRect& r : VisibleWindows())
    if (r != m_window) others.push_back(r);
  return others;
}

void ViewerProcess::Mouse(const QPoint& at, const char* action) const {
  const QPoint p = m_window.topLeft() + at;
  const QString screen = m_screen >= 0 ? QStringLiteral("--screen %1 ").arg(m_screen) : QString();
  QString line = QStringLiteral("mousemove %1%2 %3 %4 1").arg(screen).arg(p.x()).arg(p.y()).arg(QLatin1String(action));
  // A hand that clicked moves on: no tooltip of the control comes up to cover the window.
  const QPoint rest = m_window.topLeft() + kRestingPointer;
  if (qstrcmp(action, "mousedown") != 0) line += QStringLiteral(" mousemove %1%2 %3").arg(screen).arg(rest.x()).arg(rest.y());
  Xdotool(Words(line));
}

void ViewerProcess::RepaintAll() const {
  // Mapped again, a window has lost its contents and is painted anew.
  Xdotool(Words(QStringLiteral("search --onlyvisible --all --pid %1 --name").arg(m_process->processId()))
          << QString() << Words(QStringLiteral("windowunmap --sync %@ windowmap --sync %@")));
}

void ViewerProcess::Key(const char* action, const char* key) const {
  // With no window manager the keyboard goes where the input focus is put.
  const QPoint rest = m_window.topLeft() + kRestingPointer;
  Xdotool({QStringLiteral("mousemove"), QString::number(rest.x()), QString::number(rest.y())});
  const QString id = Xdotool({QStringLiteral("search"), QStringLiteral("--onlyvisible"), QStringLiteral("--name"),
                              QStringLiteral("^Ardeviz$")}).section(QLatin1Char('\n'), 0, 0);
  Xdotool({QStringLiteral("windowfocus"), id, QLatin1String(action), QLatin1String(key)});
}

void ViewerProcess::PressReturnIn(const QRect& window) const {
  // With no window manager the keyboard goes where the input focus is put.
  const QPoint p = window.center();
  QString id;
  for (const QString& line :
       Xdotool(Words(QStringLiteral("mousemove %1 %2 getmouselocation --shell").arg(p.x()).arg(p.y()))).split('\n'))
    if (line.startsWith(QLatin1String("WINDOW="))) id = line.section(QLatin1Char('='), 1);
  if (id.isEmpty()) return;
  Xdotool(Words(QStringLiteral("windowfocus %1 key Return").arg(id)));
}

QString ViewerProcess::Output() {
  if (m_process) m_output += m_process->readAll();
  return QString::fromLocal8Bit(m_output);
}
