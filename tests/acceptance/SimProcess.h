#pragma once
// dvr-sim as a process of its own on 127.0.0.1: started with the scenario's
// fault options, its log lines collected as they arrive, stopped with SIGTERM
// as Ctrl+C would, and started again on the same port when a scenario wants
// the recorder back.

#include <QProcess>
#include <QRegularExpression>
#include <QString>
#include <QStringList>

#include <memory>

class SimProcess {
 public:
  explicit SimProcess(QStringList options);
  ~SimProcess();

  // Starts on the given port (0: a free one) and waits for "listening on".
  bool Start(quint16 port = 0);
  // SIGTERM, then waits for the process to end.
  void Stop();
  quint16 Port() const { return m_port; }

  // Every line logged so far, over all runs.
  const QStringList& Lines();
  // The index of the first line at or after `from` that matches; -1 for none.
  int Find(const QRegularExpression& pattern, int from = 0);
  int Count(const QRegularExpression& pattern, int from = 0, int to = -1);
  // The last `limit` lines of the log that do not match `leaveOut`, for a report.
  QString Tail(int limit = 80, const QRegularExpression& leaveOut = QRegularExpression());

 private:
  void ReadOutput();

  QStringList m_options;
  std::unique_ptr<QProcess> m_process;
  quint16 m_port = 0;
  QStringList m_lines;
  QByteArray m_partial;
};
