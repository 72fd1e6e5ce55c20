// Session side of the link: connecting, login, requests, the watch on missing
// data and reconnection. The receive path is in CDvrLinkReceive.cpp.
#include "link/CDvrLink.h"

#include <QTcpSocket>

#include <utility>

#ifdef Q_OS_UNIX
#include <sys/socket.h>
#endif

#include "link/ILinkArchivePanel.h"
#include "link/ILinkOwner.h"

namespace {
constexpr int kMaxMissCount = 3;
}  // namespace

CDvrLink::CDvrLink(ILinkOwner* owner, LinkTiming timing, QObject* parent)
    : QObject(parent), m_pOwner(owner), m_timing(timing) {
  // Packets sent before the first login reply carry the version the login itself uses.
  m_magic = wire::MakeMagic(wire::kMagic10);
  m_pImageCodec = std::make_unique<CImageCodec>();
  for (auto& holder : m_holders) holder = std::make_unique<CImageCodec>();

  // The designed waits are never cut short: coarse timers may fire 5 % early.
  for (QTimer* timer : {&m_responseTimer, &m_pauseTimer, &m_reconnectTimer, &m_keepAliveTimer, &m_loginStepTimer})
    timer->setTimerType(Qt::PreciseTimer);
  connect(&m_responseTimer, &QTimer::timeout, this, &CDvrLink::OnResponseTick);
  connect(&m_pauseTimer, &QTimer::timeout, this, &CDvrLink::OnPauseTick);
  connect(&m_reconnectTimer, &QTimer::timeout, this, &CDvrLink::OnReconnectTick);
  connect(&m_keepAliveTimer, &QTimer::timeout, this, &CDvrLink::OnKeepAliveTick);
  m_decodeTimer.setSingleShot(true);
  connect(&m_decodeTimer, &QTimer::timeout, this, &CDvrLink::DecodeWaitingPictures);
  m_loginStepTimer.setSingleShot(true);
  connect(&m_loginStepTimer, &QTimer::timeout, this, [this] {
    // While the steps run other sends are dropped; the steps' own go out with the step cleared.
    const int step = m_loginStep;
    m_loginStep = 0;
    if (step == 1 && m_pOwner) {
      // After the remote key: the status request, then the image request.
      SendRequest(RequestKind::DvrStatus2, false);
      m_loginStep = 2;
      m_loginStepTimer.start(m_timing.afterStatusMs);
      return;
    }
    SendFirstImageRequest();
    m_keepAliveTimer.start(m_timing.keepAliveMs);
    for (const auto& send : std::exchange(m_heldSends, {})) send();
  });
}

CDvrLink::~CDvrLink() {
  StopLoginSteps();
  DisarmResponseTimer();
  StopReconnectCycle();
  if (m_socket) {
    m_socket->disconnect(this);
    m_socket->abort();
    m_socket.reset();
  }
  FreeBuffers();
}

const CImageCodec* CDvrLink::Holder(int channel) const {
  if (channel < 0 || channel >= wire::kChannels) return nullptr;
  return m_holders[static_cast<std::size_t>(channel)].get();
}

bool CDvrLink::ConnectToDvr(const QString& hostText, std::uint16_t port) {
  if (m_socket) return false;
  const QString host = hostText.trimmed();
  if (host.isEmpty()) return false;

  m_socket = std::make_unique<QTcpSocket>();
  QTcpSocket* socket = m_socket.get();
  connect(socket, &QTcpSocket::connected, this, [this, socket] {
    socket->setSocketOption(QAbstractSocket::LowDelayOption, 1);
    m_socketConnected = true;
    OnConnected();
  });
  connect(socket, &QTcpSocket::readyRead, this, &CDvrLink::OnReadyRead);
  connect(socket, &QTcpSocket::errorOccurred, this, [this](QAbstractSocket::SocketError) {
    // Only a failed connect is reported; a peer that goes away later is noticed
    // by the watch on missing data. The report is posted, as the design does.
    if (!m_socketConnected) {
      QMetaObject::invokeMethod(this, &CDvrLink::OnConnectFailed, Qt::QueuedConnection);
    }
  });
  m_socketConnected = false;
  ++m_nSession;
  m_stream.Reset();
  socket->connectToHost(host, port);
  return true;
}

bool CDvrLink::Disconnect(bool full) {
  DisarmResponseTimer();
  StopLoginSteps();
  ForgetWaitingPictures();
  m_heldSends.clear();
  if (m_socket) {
    QTcpSocket* socket = m_socket.release();
    socket->disconnect(this);
    socket->flush();
#ifdef Q_OS_UNIX
    if (socket->socketDescriptor() >= 0) ::shutdown(static_cast<int>(socket->socketDescriptor()), SHUT_RDWR);
#endif
    socket->abort();
    // May run inside the socket's own signal: delete once control is back in the event loop.
    socket->deleteLater();
    m_keepAliveTimer.stop();
  }
  m_socketConnected = false;
  ++m_nSession;
  m_stream.Reset();
  if (full) {
    FreeBuffers();
    StopReconnectCycle();
  }
  return true;
}

void CDvrLink::AllocateBuffers() {
  if (m_imageData.size() < static_cast<std::size_t>(kReceiveChunk)) m_imageData.assign(kReceiveChunk, 0);
  m_expected = 0;
  m_assembled = 0;
  m_buffersAllocated = true;
}

void CDvrLink::FreeBuffers() {
  std::vector<std::uint8_t>().swap(m_imageData);
  m_expected = 0;
  m_assembled = 0;
  m_buffersAllocated = false;
}

void CDvrLink::OnConnected() {
  StopReconnectCycle();
  if (m_pOwner) {
    m_pOwner->SetConnectionState(1);
    m_pOwner->ShowConnectionStatus(status::kEstablished);
  }
  AllocateBuffers();
  SendRequest(RequestKind::Login, true);
}

void CDvrLink::OnConnectFailed() {
  if (m_reconnectTimer.isActive()) {
    if (m_pOwner) m_pOwner->ShowConnectionStatus(status::kConnectionFail);
    return;
  }
  if (m_pOwner) {
    m_pOwner->GoOffline();
  } else {
    Disconnect(true);
  }
}

bool CDvrLink::CanSend() const {
  // Connecting is not connected: a write before the socket reports the connection
  // made would abort the attempt. The sends after a login reply keep their spacing.
  return m_socket && m_socketConnected && m_buffersAllocated && m_loginStep == 0 &&
         m_socket->state() == QAbstractSocket::ConnectedState;
}

void CDvrLink::SendBytes(const std::vector<std::uint8_t>& packet, std::uint32_t dataType) {
  if (!CanSend()) return;
  if (m_socket->bytesToWrite() > kMaxUnsentBytes) {
    // Nothing more is queued; the drop waits until the caller is done with the link.
    QMetaObject::invokeMethod(this, [this, session = m_nSession] { DropUnreadLink(session); }, Qt::QueuedConnection);
    return;
  }
  // Handed to the socket once; flush so it leaves now rather than at the next event-loop turn.
  m_socket->write(reinterpret_cast<const char*>(packet.data()), static_cast<qint64>(packet.size()));
  m_socket->flush();
  emit packetSent(dataType);
}

void CDvrLink::DropUnreadLink(std::uint32_t session) {
  if (session != m_nSession || !m_socket || m_socket->bytesToWrite() <= kMaxUnsentBytes) return;
  Disconnect(false);
  if (!m_reconnectTimer.isActive()) StartReconnectCycle();
}

void CDvrLink::SendRequest(RequestKind kind, bool arm) {
  if (kind == RequestKind::EventFileRequest && m_loginStep != 0) {
    m_heldSends.push_back([this, kind, arm] { SendRequest(kind, arm); });
    return;
  }
  if (!CanSend()) return;

  wire::PacketInfo info;
  std::uint32_t dataType = 0;
  bool armAllowed = true;
  switch (kind) {
    case RequestKind::Login: {
      m_receiveMode = static_cast<std::uint8_t>(kind);
      const QByteArray user = m_pOwner ? m_pOwner->UserId().toUtf8() : QByteArray();
      const QByteArray password = m_pOwner ? m_pOwner->Password().toUtf8() : QByteArray();
      SendBytes(wire::BuildLoginPacket(std::string_view(user.constData(), static_cast<std::size_t>(user.size())),
                                       std::string_view(password.constData(),
                                                        static_cast<std::size_t>(password.size()))),
                wire::DATATYPE_LOGIN);
      if (arm) ArmResponseTimer();
      return;
    }
    case RequestKind::LiveRequest: {
      m_receiveMode = static_cast<std::uint8_t>(kind);
      DiscardAssembly();
      m_liveStopSent = false;
      const std::uint16_t selection = m_pOwner ? m_pOwner->ChannelSelection() : 0;
      const std::uint32_t mask = m_pOwner ? m_pOwner->ChannelMask() : 0;
      info.w[0] = selection >> 8;
      info.w[1] = (selection & 0xFFu) + 1u;
      info.w[2] = mask & 0xFFu;  // only channels 1 to 8 can be requested live
      dataType = wire::DATATYPE_LIVE_REQUEST;
      break;
    }
    case RequestKind::PlayRequest:
      m_previousMode = m_receiveMode;
      m_receiveMode = static_cast<std::uint8_t>(kind);
      DiscardAssembly();
      for (std::size_t i = 0; i < m_playWords.size(); ++i) info.w[i] = m_playWords[i];
      if (wire::play::ActionOf(info.w[3]) == wire::play::kActionStop) {
        // Count the pictures a recorder still sends after the stop.
        DisarmResponseTimer();
        m_stopCounter = 0x0101;
      } else {
        m_stopCounter = 0;
      }
      dataType = wire::DATATYPE_PLAY_REQUEST;
      break;
    case RequestKind::EventFileRequest:
      m_receiveMode = static_cast<std::uint8_t>(kind);
      DiscardAssembly();
      m_eventListRequested = true;
      info.w[0] = 1;
      dataType = wire::DATATYPE_EVENT_FILE_REQUEST;
      break;
    case RequestKind::LiveStop:
      m_liveStopSent = true;
      if (arm) {
        m_paused = true;
        m_pauseTimer.start(m_timing.pauseMs);
      }
      DiscardAssembly();
      DisarmResponseTimer();
      info.w[0] = 1;
      dataType = wire::DATATYPE_LIVE_STOP;
      armAllowed = false;
      break;
    case RequestKind::RemoteKey:
      DiscardAssembly();
      // A key that starts playback ends the count after a stop, as a play request does.
      if (wire::IsPlaybackKey(m_keyWord)) m_stopCounter = 0;
      info.w[0] = m_keyWord;
      dataType = wire::DATATYPE_REMOTE_KEY;
      break;
    case RequestKind::DvrStatus2:
      m_receiveMode = static_cast<std::uint8_t>(kind);
      dataType = wire::DATATYPE_DVR_STATUS2;
      armAllowed = false;
      break;
  }
  SendBytes(wire::BuildPacket(m_magic, wire::PacketClass::Command, dataType, info), dataType);
  if (arm && armAllowed) ArmResponseTimer();
}

void CDvrLink::SendRemoteKey(std::uint16_t code) {
  m_keyWord = code;
  SendRequest(RequestKind::RemoteKey, true);
}

void CDvrLink::RequestDvrStatus2() {
  if (!CanSend()) return;
  SendBytes(wire::BuildPacket(m_magic, wire::PacketClass::Command, wire::DATATYPE_DVR_STATUS2, {}),
            wire::DATATYPE_DVR_STATUS2);
}

void CDvrLink::SendPtzData(const std::uint8_t* bytes, std::size_t n) {
  if (m_loginStep != 0 && bytes != nullptr && n >= 1) {
    m_heldSends.push_back([this, held = std::vector<std::uint8_t>(bytes, bytes + n)] {
      SendPtzData(held.data(), held.size());
    });
    return;
  }
  if (!CanSend() || bytes == nullptr || n < 1) return;
  // A command longer than the send buffer would go out cut: refuse it instead.
  if (n > wire::kMaxPtzBytes) return;
  wire::PacketInfo info;
  info.w[0] = 2;
  info.w[1] = static_cast<std::uint32_t>(n);
  SendBytes(wire::BuildPacket(m_magic, wire::PacketClass::CameraData, wire::DATATYPE_PTZ_DATA, info,
                              std::span<const std::uint8_t>(bytes, n)),
            wire::DATATYPE_PTZ_DATA);
}

void CDvrLink::SetPlayRequestWords(std::uint32_t channel, std::uint32_t start, std::uint32_t second,
                                   std::uint32_t command) {
  m_playWords = {channel, start, second, command};
}

void CDvrLink::HandleLoginReply(const wire::PacketHeader& header, const wire::PacketInfo& info) {
  m_magic = header.magic;
  m_nProtocolVersion = wire::ProtocolVersionForMagic(m_magic);
  if (info.w[0] != 1) {
    if (m_pOwner) {
      m_pOwner->GoOffline();
    } else {
      Disconnect(true);
    }
    return;
  }
  const auto channelInfo = static_cast<std::uint8_t>(info.w[1] & 0xFF);
  if (wire::ImagesCarryNoMark(channelInfo)) m_noMark = true;  // sticky for the link's life
  if (m_nProtocolVersion > 1 && channelInfo != 0 && m_pOwner) {
    m_pOwner->SetChannelCount(channelInfo);
  }
  if (m_pArchivePanel) m_pArchivePanel->SetArchiveRange(info.w[2], info.w[3], info.w[4], info.w[5]);

  // A reply while the steps run takes its words but leaves the steps to finish:
  // restarting them would let a stream of replies hold back the image request.
  if (m_loginStep != 0) return;
  SendRemoteKey(wire::REMOTE_KEY_LOGIN);
  // The recorder expects the next requests spaced out; a timer keeps the window responsive meanwhile.
  m_loginStep = 1;
  m_loginStepTimer.start(m_timing.afterLoginKeyMs);
}

void CDvrLink::SendFirstImageRequest() {
  if (!m_socket) return;
  RequestKind kind = RequestKind::LiveRequest;
  if (IsArchiveMode()) kind = IsPanelPlaying() ? RequestKind::PlayRequest : RequestKind::LiveStop;
  SendRequest(kind, true);
}

void CDvrLink::StopLoginSteps() {
  m_loginStepTimer.stop();
  m_loginStep = 0;
}

bool CDvrLink::IsArchiveMode() const { return m_pArchivePanel && m_pArchivePanel->IsArchiveMode(); }

bool CDvrLink::IsPanelPlaying() const { return m_pArchivePanel && (m_pArchivePanel->PlayState() & 0xFF) == 1; }

void CDvrLink::ArmResponseTimer() {
  m_responseTimer.stop();
  if (!m_paused) m_responseTimer.start(m_timing.responseMs);
  m_missCount = 0;
  m_bytesSinceArm = 0;
}

void CDvrLink::DisarmResponseTimer() {
  m_responseTimer.stop();
  m_missCount = 0;
  m_bytesSinceArm = 0;
}

void CDvrLink::OnResponseTick() {
  ++m_missCount;
  if (m_missCount >= kMaxMissCount) {
    DisarmResponseTimer();
    StartReconnectCycle();
    return;
  }
  if (m_pOwner) m_pOwner->ShowConnectionStatus(status::kTryRequestImage);
  switch (m_receiveMode) {
    case 1: SendRequest(RequestKind::Login, false); break;
    case 2: SendRequest(RequestKind::LiveRequest, false); break;
    case 3: SendRequest(RequestKind::PlayRequest, false); break;
    case 4: SendRequest(RequestKind::EventFileRequest, false); break;
    case 102: SendRequest(RequestKind::DvrStatus2, false); break;
    default: break;
  }
}

void CDvrLink::StartReconnectCycle() {
  m_missCount = 0;
  m_attemptCount = 0;
  if (m_pOwner) m_pOwner->ShowConnectionStatus(status::kTryReconnection);
  m_reconnectTimer.start(m_timing.reconnectMs);
}

void CDvrLink::StopReconnectCycle() {
  m_attemptCount = 0;
  m_reconnectTimer.stop();
}

void CDvrLink::OnReconnectTick() {
  Disconnect(false);
  if (m_pOwner) m_pOwner->ShowConnectionStatus(status::kTryReconnection);
  const int limit = m_pOwner ? m_pOwner->ReconnectCount() : 0;
  if (m_attemptCount < limit) {
    if (ConnectToDvr(m_pOwner->HostText(), m_pOwner->Port())) {
      m_pOwner->SetConnectionState(2);
      m_pOwner->ShowConnectionStatus(status::kConnecting);
    }
    ++m_attemptCount;
    return;
  }
  StopReconnectCycle();
  if (m_pOwner) {
    m_pOwner->GoOffline();
  } else {
    Disconnect(true);
  }
}

void CDvrLink::OnKeepAliveTick() { SendRequest(RequestKind::DvrStatus2, false); }

void CDvrLink::OnPauseTick() {
  m_pauseTimer.stop();
  if (m_paused) {
    m_paused = false;
    SendRequest(RequestKind::LiveStop, false);
  }
}
