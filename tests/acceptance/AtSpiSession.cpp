#include "tests/acceptance/AtSpiSession.h"

#include <QElapsedTimer>
#include <QTest>

#include <algorithm>
#include <csignal>
#include <sys/prctl.h>

namespace {
constexpr const char* kDbusDaemon = "dbus-daemon";
constexpr const char* kDbusSend = "dbus-send";
// Where Debian's at-spi2-core and python3-pyatspi put the launcher and the reader's interpreter.
constexpr const char* kBusLauncher = "/usr/libexec/at-spi-bus-launcher";
constexpr const char* kPython = "/usr/bin/python3";
constexpr int kStopMs = 3000;
constexpr int kRetryMs = 500;

QString ReaderScript() { return QString::fromLocal8Bit(qgetenv("ARDEVIZ_ATSPI_READER")); }

void EndProcess(std::unique_ptr<QProcess>& process) {
  if (!process) return;
  if (process->state() != QProcess::NotRunning) {
    process->terminate();
    if (!process->waitForFinished(kStopMs)) {
      process->kill();
      process->waitForFinished(kStopMs);
    }
  }
  process.reset();
}
}  // namespace

AtSpiSession::~AtSpiSession() { Stop(); }

std::unique_ptr<QProcess> AtSpiSession::Launch(const QString& program, const QStringList& arguments) const {
  auto process = std::make_unique<QProcess>();
  QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
  env.remove(QStringLiteral("AT_SPI_BUS_ADDRESS"));
  env.insert(SessionVariables());
  // The launcher reads its settings without starting a settings service on our
  // bus, and puts the accessibility bus's socket in our folder.
  env.insert(QStringLiteral("GSETTINGS_BACKEND"), QStringLiteral("memory"));
  env.insert(QStringLiteral("XDG_RUNTIME_DIR"), m_folder.path());
  process->setProcessEnvironment(env);
  process->setProcessChannelMode(QProcess::MergedChannels);
  process->setChildProcessModifier([] { ::prctl(PR_SET_PDEATHSIG, SIGKILL); });
  process->start(program, arguments);
  return process;
}

bool AtSpiSession::Start(int timeoutMs) {
  if (!m_folder.isValid()) {
    m_error = QStringLiteral("no temporary folder for the session bus");
    return false;
  }
  if (ReaderScript().isEmpty()) {
    m_error = QStringLiteral("ARDEVIZ_ATSPI_READER does not name the reader script");
    return false;
  }
  QElapsedTimer clock;
  clock.start();
  // A session bus of our own, reachable only through a socket in our folder.
  m_bus = Launch(QString::fromLatin1(kDbusDaemon),
                 {QStringLiteral("--session"), QStringLiteral("--nofork"), QStringLiteral("--nopidfile"),
                  QStringLiteral("--address=unix:dir=%1").arg(m_folder.path()), QStringLiteral("--print-address=1")});
  while (!m_bus->canReadLine() && m_bus->state() != QProcess::NotRunning && clock.elapsed() < timeoutMs)
    m_bus->waitForReadyRead(kRetryMs);
  m_address = QString::fromLocal8Bit(m_bus->readLine()).trimmed();
  if (m_address.isEmpty()) {
    m_error = QStringLiteral("dbus-daemon gave no address (is the dbus-daemon package installed?): %1")
                  .arg(QString::fromLocal8Bit(m_bus->readAll()));
    return false;
  }
  m_launcher = Launch(QString::fromLatin1(kBusLauncher), {QStringLiteral("--launch-immediately")});
  while (!LauncherServes()) {
    if (m_launcher->state() == QProcess::NotRunning || clock.elapsed() > timeoutMs) {
      m_error = QStringLiteral("at-spi-bus-launcher did not serve on the session bus: %1")
                    .arg(QString::fromLocal8Bit(m_launcher->readAll()));
      return false;
    }
    QTest::qWait(kRetryMs / 5);
  }
  return true;
}

bool AtSpiSession::LauncherServes() const {
  QProcess send;
  send.start(QString::fromLatin1(kDbusSend),
             {QStringLiteral("--bus=%1").arg(m_address), QStringLiteral("--print-reply"),
              QStringLiteral("--dest=org.freedesktop.DBus"), QStringLiteral("/org/freedesktop/DBus"),
              QStringLiteral("org.freedesktop.DBus.NameHasOwner"), QStringLiteral("string:org.a11y.Bus")});
  if (!send.waitForFinished(kStopMs)) {
    send.kill();
    send.waitForFinished(kStopMs);
    return false;
  }
  return send.readAllStandardOutput().contains("boolean true");
}

void AtSpiSession::Stop() {
  EndProcess(m_launcher);
  EndProcess(m_bus);
}

QProcessEnvironment AtSpiSession::SessionVariables() const {
  QProcessEnvironment env;
  env.insert(QStringLiteral("DBUS_SESSION_BUS_ADDRESS"), m_address);
  // Qt turns its bridge on only when a screen reader is said to run; here one always does.
  env.insert(QStringLiteral("QT_LINUX_ACCESSIBILITY_ALWAYS_ON"), QStringLiteral("1"));
  return env;
}

AtSpiSession::Result AtSpiSession::Read(const QStringList& arguments, int timeoutMs) const {
  Result result;
  std::unique_ptr<QProcess> reader = Launch(QString::fromLatin1(kPython), QStringList{ReaderScript()} + arguments);
  const bool finished = reader->waitForFinished(timeoutMs);
  if (!finished) {
    reader->kill();
    reader->waitForFinished(kStopMs);
  }
  result.output = QString::fromUtf8(reader->readAll());
  if (finished && reader->exitStatus() == QProcess::NormalExit) result.exitCode = reader->exitCode();
  return result;
}

AtSpiSession::Result AtSpiSession::ReadOnceThere(const QStringList& arguments, int timeoutMs) const {
  constexpr int kNotThereYet = 2;
  QElapsedTimer clock;
  clock.start();
  for (;;) {
    const int left = static_cast<int>(timeoutMs - clock.elapsed());
    Result result = Read(arguments, std::max(left, kRetryMs));
    if (result.exitCode != kNotThereYet || clock.elapsed() + kRetryMs > timeoutMs) return result;
    QTest::qWait(kRetryMs);
  }
}
