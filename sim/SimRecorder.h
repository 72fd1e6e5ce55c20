#pragma once
// The simulated recorder: listens on one address (loopback unless told
// otherwise), serves one client at a time and keeps its archive, cameras and
// counters across clients. A new client replaces the one being served when
// that one has left, has gone quiet, or is silent or closing by a fault;
// otherwise it is refused. Runs on the thread that owns it; the viewer's demo
// and the tests use it in-process, dvr-sim wraps it in a program.

#include <QObject>
#include <QString>

#include "sim/SimCamera.h"
#include "sim/SimOptions.h"
#include "sim/SimRecorderState.h"

class QTcpServer;
class SimSession;

class SimRecorder : public QObject {
  Q_OBJECT

 public:
  explicit SimRecorder(const SimOptions& options = {}, QObject* parent = nullptr);
  ~SimRecorder() override;

  // Starts listening on the options' address; port 0 picks a free one.
  // Returns the bound port, or 0 on failure (see ErrorString).
  quint16 Start(quint16 port);
  quint16 Start() { return Start(m_state.options.port); }
  // Closes the client's connection and stops listening.
  void Stop();

  bool IsListening() const;
  quint16 Port() const;
  QString ErrorString() const { return m_error; }
  bool HasClient() const { return m_session != nullptr; }

  const SimOptions& Options() const { return m_state.options; }
  const SimCounters& Counters() const { return m_state.counters; }
  // The virtual camera of a channel counted from 1, brought up to date.
  SimCamera Camera(int channel) const;
  const SimArchive& Archive() const { return m_state.archive; }
  QString MagicText() const { return SimRecorderState::MagicTextFor(m_state.options.magicVersion); }
  int ProtocolVersion() const { return m_state.protocolVersion; }

 signals:
  // One readable line per packet received and per state change, with a time stamp.
  void LogLine(const QString& line);
  void ClientConnected(const QString& peer);
  void ClientDisconnected();
  void PictureSent(int channel, bool playback);

 private:
  void OnNewConnection();
  // Ends the session at once (its connection is aborted if still open).
  void EndSession();
  void Log(const QString& text);

  SimRecorderState m_state;
  QTcpServer* m_server;  // child of this object
  SimSession* m_session = nullptr;  // child of this object while a client is connected
  QString m_error;
};
