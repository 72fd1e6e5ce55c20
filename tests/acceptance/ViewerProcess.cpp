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

QString Xdotool(const QStringList& args) {
  QProcess xdotool;
  xdotool.start(QStringLiteral("xdotool"), args);
  if (!xdotool.waitForFinished(5000)) return QString();
  return QString::fromLocal8Bit(xdotool.readAllStandardOutput());
}

// Every visible window on the test's own X server but the root.
std::vector<QRect> VisibleWindows() {
  std::vector<QRect> windows;
  const QRect screen = QGuiApplication::primaryScreen()->geometry();
  QRect r;
  // One "WINDOW=" block of X=, Y=, WIDTH=, HEIGHT= and SCREEN= lines per window.
  for (const QString& line : Xdotool({QStringLiteral("search"), QStringLiteral("--onlyvisible"), QStringLiteral("--name"),
                                      QString(), QStringLiteral("getwindowgeometry"), QStringLiteral("--shell"),
                                      QStringLiteral("%@")})
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

bool ViewerProcess::Start(quint16 port, const QProcessEnvironment& environment) {
  const QString file = m_root.filePath(QStringLiteral("config/%1/%2.conf")
                                           .arg(QLatin1String(ViewerSettingsStore::kOrganization),
                                                QLatin1String(ViewerSettingsStore::kApplication)));
  {
    QSettings s(file, QSettings::IniFormat);
    s.beginGroup(QLatin1String(ViewerSettingsStore::kGroup));
    s.setValue(QLatin1String(ViewerSettingsStore::kHostAddress), QLatin1String(kLoopback));
    s.setValue(QLatin1String(ViewerSettingsStore::kHostPort), port);
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
  while (clock.elapsed() < 10000) {
    if (!IsRunning()) {
      m_error = QStringLiteral("the viewer ended at start: %1").arg(Output());
      return false;
    }
    for (const QRect& r : VisibleWindows()) {
      if (r.size() == QSize(CMainFrame::kWidth, CMainFrame::kHeight)) {
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
}

QImage ViewerProcess::Grab() const {
  return QGuiApplication::primaryScreen()
      ->grabWindow(0, m_window.x(), m_window.y(), m_window.width(), m_window.height())
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
  Xdotool({QStringLiteral("mousemove"), QString::number(p.x()), QString::number(p.y()), QLatin1String(action),
           QStringLiteral("1")});
}

void ViewerProcess::PressReturnIn(const QRect& window) const {
  // With no window manager the keyboard goes where the input focus is put.
  const QPoint p = window.center();
  QString id;
  for (const QString& line : Xdotool({QStringLiteral("mousemove"), QString::number(p.x()), QString::number(p.y()),
                                      QStringLiteral("getmouselocation"), QStringLiteral("--shell")})
                                 .split(QLatin1Char('\n')))
    if (line.startsWith(QLatin1String("WINDOW="))) id = line.section(QLatin1Char('='), 1);
  if (id.isEmpty()) return;
  Xdotool({QStringLiteral("windowfocus"), id, QStringLiteral("key"), QStringLiteral("Return")});
}

QString ViewerProcess::Output() {
  if (m_process) m_output += m_process->readAll();
  return QString::fromLocal8Bit(m_output);
}
