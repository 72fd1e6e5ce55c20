#include "sim/SimRecorder.h"

#include <QDateTime>
#include <QTcpServer>
#include <QTcpSocket>
#include <algorithm>
#include <utility>

#include "sim/SimSession.h"

SimRecorder::SimRecorder(const SimOptions& options, QObject* parent)
    : QObject(parent), m_state(options), m_server(new QTcpServer(this)) {
  m_state.log = [this](const QString& text) { Log(text); };
  m_state.pictureSent = [this](int channel, bool playback) { emit PictureSent(channel, playback); };
  connect(m_server, &QTcpServer::newConnection, this, &SimRecorder::OnNewConnection);
}

SimRecorder::~SimRecorder() {
  if (m_session) {
    m_session->disconnect(this);
    delete m_session;
    m_session = nullptr;
  }
}

quint16 SimRecorder::Start(quint16 port) {
  if (m_server->isListening()) return m_server->serverPort();
  if (!m_server->listen(m_state.options.listenAddress, port)) {
    m_error = m_server->errorString();
    Log(QString("cannot listen on %1:%2: %3").arg(m_state.options.listenAddress.toString()).arg(port).arg(m_error));
    return 0;
  }
  m_error.clear();
  Log(QString("listening on %1:%2 (magic \"%3\", channel byte %4, %5x%6 at %7 fps)")
          .arg(m_server->serverAddress().toString())
          .arg(m_server->serverPort())
          .arg(MagicText())
          .arg(m_state.options.channelInfo)
          .arg(m_state.options.pictureSize.width())
          .arg(m_state.options.pictureSize.height())
          .arg(m_state.options.fps));
  return m_server->serverPort();
}

void SimRecorder::Stop() {
  if (m_session) m_session->Close();
  if (m_server->isListening()) {
    m_server->close();
    Log("stopped listening");
  }
}

bool SimRecorder::IsListening() const { return m_server->isListening(); }

quint16 SimRecorder::Port() const { return m_server->isListening() ? m_server->serverPort() : 0; }

SimCamera SimRecorder::Camera(int channel) const {
  SimCamera camera = m_state.cameras.at(static_cast<std::size_t>(std::clamp(channel, 1, 16) - 1));
  camera.Advance(m_state.clock.elapsed());
  return camera;
}

void SimRecorder::Log(const QString& text) {
  emit LogLine(QDateTime::currentDateTime().toString("HH:mm:ss.zzz ") + text);
}

void SimRecorder::OnNewConnection() {
  while (QTcpSocket* socket = m_server->nextPendingConnection()) {
    const QString peer = QString("%1:%2").arg(socket->peerAddress().toString()).arg(socket->peerPort());
    // A client that reconnects at once closes its old connection just before;
    // that close may still wait unread behind this new connection.
    if (m_session && m_session->ClientHasLeft()) EndSession();
    if (m_session) {
      const QString reason = m_session->ReasonToGiveWay();
      if (reason.isEmpty()) {
        // Like the recorder: one client at a time.
        ++m_state.counters.connectionsRefused;
        Log(QString("refused %1: client %2 is connected (one client at a time)").arg(peer, m_session->Peer()));
        socket->abort();
        socket->deleteLater();
        continue;
      }
      ++m_state.counters.connectionsReplaced;
      Log(QString("client %1 replaced by %2: %3").arg(m_session->Peer(), peer, reason));
      EndSession();
    }
    ++m_state.counters.connectionsAccepted;
    m_session = new SimSession(socket, m_state, this);
    connect(m_session, &SimSession::Finished, this, &SimRecorder::EndSession);
    Log(QString("client %1 connected").arg(peer));
    emit ClientConnected(peer);
  }
}

void SimRecorder::EndSession() {
  if (!m_session) return;
  SimSession* session = std::exchange(m_session, nullptr);
  session->disconnect(this);
  session->Abort();
  Log(QString("client %1 disconnected").arg(session->Peer()));
  session->deleteLater();
  emit ClientDisconnected();
}
