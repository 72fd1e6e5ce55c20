#include "tests/acceptance/SimProcess.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QTest>

#include <csignal>
#include <sys/prctl.h>

SimProcess::SimProcess(QStringList options) : m_options(std::move(options)) {}

SimProcess::~SimProcess() { Stop(); }

bool SimProcess::Start(quint16 port) {
  Stop();
  m_process = std::make_unique<QProcess>();
  m_process->setProcessChannelMode(QProcess::MergedChannels);
  m_process->setChildProcessModifier([] { ::prctl(PR_SET_PDEATHSIG, SIGKILL); });
  QObject::connect(m_process.get(), &QProcess::readyRead, [this] { ReadOutput(); });
  const int from = static_cast<int>(m_lines.size());
  m_process->start(QString::fromLocal8Bit(qgetenv("ARDEVIZ_SIM")),
                   QStringList{QStringLiteral("--listen"), QStringLiteral("127.0.0.1"), QStringLiteral("--port"),
                               QString::number(port)} + m_options);
  if (!m_process->waitForStarted(5000)) {
    m_lines << QStringLiteral("(driver) dvr-sim did not start: %1").arg(m_process->errorString());
    return false;
  }
  static const QRegularExpression kListening(QStringLiteral("^dvr-sim: listening on 127\\.0\\.0\\.1:(\\d+)$"));
  QElapsedTimer clock;
  clock.start();
  int at = -1;
  while ((at = Find(kListening, from)) < 0 && clock.elapsed() < 5000) QTest::qWait(20);
  if (at < 0) return false;
  m_port = static_cast<quint16>(kListening.match(m_lines.at(at)).captured(1).toUInt());
  return m_port != 0;
}

void SimProcess::Stop() {
  if (!m_process) return;
  if (m_process->state() != QProcess::NotRunning) {
    m_process->terminate();
    if (!m_process->waitForFinished(5000)) {
      m_process->kill();
      m_process->waitForFinished(2000);
    }
  }
  ReadOutput();
  m_process.reset();
}

void SimProcess::ReadOutput() {
  if (!m_process) return;
  m_partial += m_process->readAll();
  qsizetype end = 0;
  while ((end = m_partial.indexOf('\n')) >= 0) {
    m_lines << QString::fromUtf8(m_partial.left(end));
    m_partial.remove(0, end + 1);
  }
}

const QStringList& SimProcess::Lines() {
  ReadOutput();
  return m_lines;
}

int SimProcess::Find(const QRegularExpression& pattern, int from) {
  const QStringList& lines = Lines();
  for (int i = qMax(0, from); i < lines.size(); ++i)
    if (pattern.match(lines.at(i)).hasMatch()) return i;
  return -1;
}

int SimProcess::Count(const QRegularExpression& pattern, int from, int to) {
  const QStringList& lines = Lines();
  const int end = to < 0 ? static_cast<int>(lines.size()) : qMin(to, static_cast<int>(lines.size()));
  int count = 0;
  for (int i = qMax(0, from); i < end; ++i)
    if (pattern.match(lines.at(i)).hasMatch()) ++count;
  return count;
}

QString SimProcess::Tail(int limit, const QRegularExpression& leaveOut) {
  QStringList kept;
  for (const QString& line : Lines())
    if (leaveOut.pattern().isEmpty() || !leaveOut.match(line).hasMatch()) kept << line;
  return QStringList(kept.mid(qMax(qsizetype(0), kept.size() - limit))).join(QLatin1Char('\n'));
}
