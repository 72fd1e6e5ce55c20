#pragma once
// A screen reader's side of the desktop for one scenario: a private session
// D-Bus on a Unix socket in a folder of its own, the AT-SPI bus launcher on
// it, and the reader script (atspi_reader.py) run against them. Everything
// started here is ended with this object, or with the test program.

#include <QProcess>
#include <QProcessEnvironment>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>

#include <memory>

class AtSpiSession {
 public:
  AtSpiSession() = default;
  ~AtSpiSession();
  AtSpiSession(const AtSpiSession&) = delete;
  AtSpiSession& operator=(const AtSpiSession&) = delete;

  // Starts the session bus and the accessibility bus launcher and waits until
  // the launcher serves; false with Error() set otherwise.
  bool Start(int timeoutMs = 15000);
  void Stop();
  const QString& Error() const { return m_error; }

  // The variables a program needs to join this session with its accessibility bridge on.
  QProcessEnvironment SessionVariables() const;

  struct Result {
    int exitCode = -1;  // -1: did not finish in time, or did not run
    QString output;
  };
  // Runs the reader with these arguments; ended after timeoutMs.
  Result Read(const QStringList& arguments, int timeoutMs) const;
  // Runs the reader until it finds what it looks for (exit code 2 means the
  // viewer or a name is not on the bus yet) or timeoutMs have passed.
  Result ReadOnceThere(const QStringList& arguments, int timeoutMs) const;

 private:
  std::unique_ptr<QProcess> Launch(const QString& program, const QStringList& arguments) const;
  bool LauncherServes() const;

  QTemporaryDir m_folder;
  std::unique_ptr<QProcess> m_bus;
  std::unique_ptr<QProcess> m_launcher;
  QString m_address;
  QString m_error;
};
