#include "sim/SimSession.h"

#include <QHostAddress>
#include <QStringList>
#include <QTcpSocket>
#include <algorithm>
#include <cerrno>
#include <cstring>

#ifdef Q_OS_UNIX
#include <sys/socket.h>
#endif

#include "sim/PelcoDecoder.h"
#include "sim/SimPacketWriter.h"
#include "sim/SimRecorderState.h"

namespace {

constexpr std::uint32_t kFullPosition = 1000000;
constexpr std::size_t kMagicTextLength = 10;  // "DVR PACKET"

QString DataTypeName(std::uint32_t type) {
  switch (type) {
    case wire::DATATYPE_LOGIN: return "LOGIN";
    case wire::DATATYPE_LIVE_REQUEST: return "LIVE_REQUEST";
    case wire::DATATYPE_LIVE_STOP: return "LIVE_STOP";
    case wire::DATATYPE_PLAY_REQUEST: return "PLAY_REQUEST";
    case wire::DATATYPE_PTZ_DATA: return "PTZ_DATA";
    case wire::DATATYPE_EVENT_FILE_REQUEST: return "EVENT_FILE_REQUEST";
    case wire::DATATYPE_REMOTE_KEY: return "REMOTE_KEY";
    case wire::DATATYPE_DVR_STATUS2: return "DVR_STATUS2";
    default: return QString("0x%1").arg(type, 4, 16, QChar('0'));
  }
}

QString KeyName(std::uint32_t key) {
  switch (key) {
    case wire::REMOTE_KEY_LOGIN: return "login";
    case wire::REMOTE_KEY_PLAY: return "play";
    case wire::REMOTE_KEY_FAST_FORWARD: return "fast forward";
    case wire::REMOTE_KEY_FAST_BACKWARD: return "fast backward";
    default: return "no action here";
  }
}

QString Hex(const std::uint8_t* data, std::size_t size) {
  QStringList parts;
  for (std::size_t i = 0; i < size; ++i) parts << QString("%1").arg(data[i], 2, 16, QChar('0')).toUpper();
  return parts.join(' ');
}

QString ChannelList(const std::vector<int>& channels) {
  QStringList parts;
  for (int c : channels) parts << QString::number(c);
  return parts.join(',');
}

QString TextField(const std::uint8_t* field, std::size_t size) {
  const auto* end = std::find(field, field + size, std::uint8_t{0});
  return QString::fromLatin1(reinterpret_cast<const char*>(field), end - field);
}

QString Stamp(const QDateTime& t) { return t.toString("yyyy-MM-dd HH:mm:ss"); }

}  // namespace

SimSession::SimSession(QTcpSocket* socket, SimRecorderState& state, QObject* parent)
    : QObject(parent),
      m_socket(socket),
      m_state(state),
      m_writer(std::make_unique<SimPacketWriter>(socket, state.options.faults)),
      m_peer(QString("%1:%2").arg(socket->peerAddress().toString()).arg(socket->peerPort())) {
  m_socket->setParent(this);
  m_sinceInput.start();
  m_socket->setSocketOption(QAbstractSocket::LowDelayOption, 1);
  connect(m_socket, &QTcpSocket::readyRead, this, &SimSession::OnReadyRead);
  connect(m_socket, &QTcpSocket::disconnected, this, [this] {
    m_liveTimer.stop();
    m_playTimer.stop();
    m_alertTimer.stop();
    emit Finished();
  });
  connect(&m_liveTimer, &QTimer::timeout, this, &SimSession::LiveTick);
  connect(&m_playTimer, &QTimer::timeout, this, &SimSession::PlayTick);
  connect(&m_alertTimer, &QTimer::timeout, this, &SimSession::AlertTick);
  m_alertTimer.setInterval(std::max(10, m_state.options.alertIntervalMs));

  const SimFaults& faults = m_state.options.faults;
  if (faults.silentAfterSeconds >= 0) {
    QTimer::singleShot(static_cast<int>(faults.silentAfterSeconds * 1000), this, &SimSession::GoSilent);
  }
  if (faults.dropAfterSeconds >= 0) {
    QTimer::singleShot(static_cast<int>(faults.dropAfterSeconds * 1000), this, &SimSession::DropDue);
  }
}

SimSession::~SimSession() = default;

void SimSession::Log(const QString& text) {
  if (m_state.log) m_state.log(text);
}

void SimSession::Close() {
  m_closing = true;
  m_liveTimer.stop();
  m_playTimer.stop();
  m_alertTimer.stop();
  m_writer->Flush();
  m_socket->disconnectFromHost();
}

void SimSession::Abort() {
  m_closing = true;
  m_liveTimer.stop();
  m_playTimer.stop();
  m_alertTimer.stop();
  m_socket->disconnect(this);
  m_socket->abort();
}

bool SimSession::ClientHasLeft() {
  if (m_socket->state() != QAbstractSocket::ConnectedState) return true;
#ifdef Q_OS_UNIX
  const auto fd = static_cast<int>(m_socket->socketDescriptor());
  for (int round = 0; round < kMaxDrainRounds; ++round) {
    char byte = 0;
    const auto n = ::recv(fd, &byte, 1, MSG_PEEK | MSG_DONTWAIT);
    if (n == 0) return true;  // closed, nothing unread before the close
    if (n < 0) return errno != EAGAIN && errno != EWOULDBLOCK && errno != EINTR;
    // Bytes wait, perhaps with a close behind them: handle them now.
    m_socket->waitForReadyRead(0);
    if (m_socket->state() != QAbstractSocket::ConnectedState) return true;
  }
#endif
  return false;
}

QString SimSession::ReasonToGiveWay() const {
  if (m_closing) return "it is closing";
  if (m_writer->IsSilent()) return "it is silent (--silent-after)";
  const qint64 quiet = m_sinceInput.elapsed();
  if (quiet >= m_state.options.replaceQuietAfterMs) return QString("nothing received from it for %1 ms").arg(quiet);
  return {};
}

void SimSession::OnReadyRead() {
  const QByteArray bytes = m_socket->readAll();
  if (!bytes.isEmpty()) m_sinceInput.restart();
  m_in.append(bytes);
  ParseInput();
}

void SimSession::ParseInput() {
  while (static_cast<std::size_t>(m_in.size()) >= wire::kHeaderSize && !m_closing) {
    const auto* data = reinterpret_cast<const std::uint8_t*>(m_in.constData());
    if (std::memcmp(data, wire::kMagicText.data(), kMagicTextLength) != 0) {
      // Skip to the next magic; keep a tail that could be the start of one.
      qsizetype next = m_in.indexOf(QByteArray(wire::kMagicText.data(), kMagicTextLength), 1);
      const qsizetype skip = next > 0 ? next : m_in.size() - static_cast<qsizetype>(kMagicTextLength - 1);
      Log(QString("skipped %1 bytes that are not a packet").arg(skip));
      m_in.remove(0, skip);
      continue;
    }
    const wire::PacketHeader header = wire::PacketHeader::Decode(data);
    if (header.totalLength < wire::kPacketBaseSize || header.totalLength > kMaxClientPacket ||
        !wire::IsValidPacketClass(header.packetClass)) {
      Log(QString("dropped a header with length %1 and class %2").arg(header.totalLength).arg(header.packetClass));
      m_in.remove(0, 1);
      continue;
    }
    if (static_cast<std::uint32_t>(m_in.size()) < header.totalLength) break;
    const QByteArray packet = m_in.left(header.totalLength);
    m_in.remove(0, header.totalLength);
    Handle(header, reinterpret_cast<const std::uint8_t*>(packet.constData()), static_cast<std::size_t>(packet.size()));
  }
}

void SimSession::Handle(const wire::PacketHeader& header, const std::uint8_t* packet, std::size_t size) {
  ++m_state.counters.packetsReceived;
  if (header.dataType == wire::DATATYPE_LOGIN) {
    if (size < wire::kLoginPacketSize) {
      Log(QString("recv LOGIN of %1 bytes, too short: ignored").arg(size));
      return;
    }
    HandleLogin(packet);
    return;
  }
  if (!m_loggedIn) {
    Log(QString("recv %1 before login: ignored").arg(DataTypeName(header.dataType)));
    return;
  }
  const wire::PacketInfo info = wire::PacketInfo::Decode(packet + wire::kHeaderSize);
  switch (header.dataType) {
    case wire::DATATYPE_LIVE_REQUEST: HandleLiveRequest(info); break;
    case wire::DATATYPE_LIVE_STOP: HandleLiveStop(); break;
    case wire::DATATYPE_PLAY_REQUEST: HandlePlayRequest(info); break;
    case wire::DATATYPE_REMOTE_KEY: HandleRemoteKey(info); break;
    case wire::DATATYPE_PTZ_DATA:
      HandlePtzData(info, packet + wire::kPacketBaseSize, size - wire::kPacketBaseSize);
      break;
    case wire::DATATYPE_EVENT_FILE_REQUEST: HandleEventFileRequest(); break;
    case wire::DATATYPE_DVR_STATUS2:
      Log("recv DVR_STATUS2");
      SendStatus2Reply();
      break;
    default:
      Log(QString("recv unknown packet type %1 (class %2, %3 bytes): ignored")
              .arg(DataTypeName(header.dataType))
              .arg(header.packetClass)
              .arg(size));
      break;
  }
}

void SimSession::Reply(std::uint32_t dataType, const wire::PacketInfo& info, std::span<const std::uint8_t> payload) {
  const auto packet = wire::BuildPacket(m_state.magic, wire::PacketClass::Command, dataType, info, payload);
  if (m_writer->Send(packet)) m_state.counters.bytesSent += packet.size();
}

void SimSession::HandleLogin(const std::uint8_t* packet) {
  const QString id = TextField(packet + wire::kLoginUserIdOffset, wire::kLoginUserIdSize);
  const QString password = TextField(packet + wire::kLoginPasswordOffset, wire::kLoginPasswordSize);
  const auto& users = m_state.options.users;
  const bool known = std::any_of(users.begin(), users.end(),
                                 [&](const SimUser& u) { return u.id == id && u.password == password; });
  const bool accepted = known && !m_state.options.faults.rejectLogin;
  wire::PacketInfo info;
  info.w[0] = accepted ? 1 : 0;
  info.w[1] = static_cast<std::uint32_t>(m_state.options.channelInfo);
  const auto range = m_state.archive.RangeWords(m_state.protocolVersion);
  std::copy(range.begin(), range.end(), info.w.begin() + 2);
  Reply(wire::DATATYPE_LOGIN_REPLY, info);
  if (!accepted) {
    ++m_state.counters.loginsRejected;
    Log(QString("recv LOGIN user \"%1\": rejected%2; closing")
            .arg(id, m_state.options.faults.rejectLogin ? " (--reject-login)" : " (unknown user or wrong password)"));
    Close();
    return;
  }
  ++m_state.counters.loginsAccepted;
  m_loggedIn = true;
  Log(QString("recv LOGIN user \"%1\": accepted, magic \"%2\", channel byte %3, archive %4 .. %5")
          .arg(id, SimRecorderState::MagicTextFor(m_state.options.magicVersion))
          .arg(m_state.options.channelInfo)
          .arg(Stamp(m_state.archive.First()), Stamp(m_state.archive.Last())));
  if (m_state.options.faults.oversize) {
    // A header announcing far more bytes than any packet, then a little payload.
    std::vector<std::uint8_t> bogus(wire::kPacketBaseSize + 64, 0x55);
    wire::PacketHeader h;
    h.magic = m_state.magic;
    h.totalLength = kOversizeLength;
    h.packetClass = static_cast<std::uint32_t>(wire::PacketClass::Command);
    h.dataType = wire::DATATYPE_LIVE_IMAGE;
    h.Encode(bogus.data());
    m_writer->Send(bogus);
    Log(QString("fault: sent a header announcing %1 bytes").arg(kOversizeLength));
  }
  if (m_state.options.alerts) m_alertTimer.start();
}

void SimSession::SendStatus2Reply() {
  wire::PacketInfo info;
  const auto range = m_state.archive.RangeWords(m_state.protocolVersion);
  std::copy(range.begin(), range.end(), info.w.begin() + 2);
  Reply(wire::DATATYPE_DVR_STATUS2_REPLY, info);
}

void SimSession::HandleLiveRequest(const wire::PacketInfo& info) {
  const int count = m_state.ChannelCount();
  std::vector<int> channels;
  const std::uint32_t mask = info.w[2] & 0xFF;
  for (int c = 1; c <= std::min(count, 8); ++c) {
    if (mask & (1u << (c - 1))) channels.push_back(c);
  }
  // No mask: the selected channel alone.
  if (mask == 0 && info.w[1] >= 1 && static_cast<int>(info.w[1]) <= count) channels.push_back(static_cast<int>(info.w[1]));
  Log(QString("recv LIVE_REQUEST split %1, channel %2, mask 0x%3")
          .arg(info.w[0])
          .arg(info.w[1])
          .arg(mask, 2, 16, QChar('0')));
  if (m_play.active) StopPlayback("live requested");
  StartLive(std::move(channels));
}

void SimSession::StartLive(std::vector<int> channels) {
  m_liveChannels = std::move(channels);
  m_liveNext = 0;
  if (m_liveChannels.empty()) {
    m_liveTimer.stop();
    Log("live: no channel of this recorder requested, nothing to send");
    return;
  }
  const int perSecond = std::max(1, m_state.options.fps) * static_cast<int>(m_liveChannels.size());
  m_liveTimer.start(std::max(1, 1000 / perSecond));
  Log(QString("live: streaming channel(s) %1 at %2 fps each").arg(ChannelList(m_liveChannels)).arg(m_state.options.fps));
  if (m_writer->IsSilent()) m_liveTimer.stop();
}

void SimSession::StopLive(const QString& why) {
  if (!m_liveTimer.isActive()) return;
  m_liveTimer.stop();
  Log(QString("live: stopped (%1)").arg(why));
}

void SimSession::HandleLiveStop() {
  Log("recv LIVE_STOP");
  StopLive("live stop");
  wire::PacketInfo info;
  info.w[0] = 1;
  Reply(wire::DATATYPE_LIVE_STOP_REPLY, info);
}

std::vector<std::uint8_t> SimSession::EncodePicture(int channel, const QDateTime& moment, const QString& mode) {
  SimCamera& camera = m_state.cameras[static_cast<std::size_t>(channel - 1)];
  camera.Advance(m_state.clock.elapsed());
  SimScene::Picture picture;
  picture.channel = channel;
  picture.moment = moment;
  picture.modeText = mode;
  picture.invertMark = m_state.options.invertMarks;
  if (m_state.PaintsChannelMark()) {
    const int shift = m_state.options.faults.wrongMark ? 1 : 0;
    picture.markValue = (channel - 1 + shift) % SimRecorderState::kMaxChannels;
  } else {
    picture.markValue = -1;
  }
  const SimScene::Frame& frame = m_state.scene.Render(picture, camera);
  return m_state.encoder.EncodeReusing(frame.image, m_state.options.jpegQuality, frame.still, frame.stillGeneration,
                                       frame.changedRows);
}

void SimSession::SendPicturePacket(const std::vector<std::uint8_t>& packet) {
  if (m_dropDue) {
    m_liveTimer.stop();
    m_playTimer.stop();
    m_alertTimer.stop();
    const std::size_t part = packet.size() / 2;
    Log(QString("fault: closing in the middle of a picture (%1 of %2 bytes sent)").arg(part).arg(packet.size()));
    m_closing = true;
    m_writer->SendPartAndClose(packet, part);
    return;
  }
  if (m_writer->Send(packet)) m_state.counters.bytesSent += packet.size();
}

void SimSession::LiveTick() {
  if (m_liveChannels.empty()) return;
  if (m_writer->Backlog() > kMaxBacklog) {
    ++m_state.counters.picturesSkipped;
    return;
  }
  const int channel = m_liveChannels[m_liveNext++ % m_liveChannels.size()];
  const QDateTime now = QDateTime::currentDateTime();
  const auto jpeg = EncodePicture(channel, now, "LIVE");
  if (jpeg.empty()) return;
  m_state.recordingPosition = (m_state.recordingPosition + 1) % (kFullPosition + 1);
  wire::PacketInfo info;
  info.w[0] = kFullPosition;  // the live moment is the end of the archive
  info.w[1] = ++m_liveSequence;
  info.w[3] = static_cast<std::uint32_t>(channel);
  info.w[4] = m_state.recordingPosition;
  const auto packet = wire::BuildPacket(m_state.magic, wire::PacketClass::Command, wire::DATATYPE_LIVE_IMAGE, info, jpeg);
  SendPicturePacket(packet);
  if (m_closing || m_writer->IsSilent()) return;
  ++m_state.counters.livePicturesSent;
  ++m_state.counters.livePicturesPerChannel[static_cast<std::size_t>(channel - 1)];
  if (m_state.pictureSent) m_state.pictureSent(channel, false);
}

int SimSession::SpeedFactor() const {
  // Speed 1 is real time; every further step is four times faster.
  const int speed = std::clamp(m_play.speed, 1, kMaxSpeed);
  return 1 << (2 * (speed - 1));
}

QString SimSession::PlayModeText() const {
  if (m_play.speed <= 1) return m_play.backward ? "PLAY <" : "PLAY >";
  return QString("PLAY %1 X%2").arg(m_play.backward ? "<<" : ">>").arg(SpeedFactor());
}

void SimSession::HandlePlayRequest(const wire::PacketInfo& info) {
  const std::uint32_t command = info.w[3];
  const std::uint32_t action = wire::play::ActionOf(command);
  const std::uint32_t speed = wire::play::SpeedOf(command);
  const bool backward = wire::play::DirectionOf(command) == wire::play::kBackward;
  const std::optional<QDateTime> start = m_state.archive.PlayStart(m_state.protocolVersion, info.w[1], info.w[2]);
  if (action == wire::play::kActionStop) {
    Log(QString("recv PLAY_REQUEST channel %1: stop").arg(info.w[0]));
    StopPlayback("play stop");
    return;
  }
  Log(QString("recv PLAY_REQUEST channel %1, action %2, %3, speed %4, from %5")
          .arg(info.w[0])
          .arg(action)
          .arg(backward ? "backward" : "forward")
          .arg(speed)
          .arg(start ? Stamp(*start) : QString("an invalid moment")));
  const int count = m_state.ChannelCount();
  std::vector<int> channels;
  if (info.w[0] == 0) {
    for (int c = 1; c <= std::min(count, kMaxPlayChannels); ++c) channels.push_back(c);
  } else if (static_cast<int>(info.w[0]) <= count) {
    channels.push_back(static_cast<int>(info.w[0]));
  }
  if (action != wire::play::kActionStart && action != wire::play::kActionChange) {
    Log(QString("playback: unknown action %1 ignored").arg(action));
    return;
  }
  if (channels.empty()) {
    Log("playback: no such channel");
    SendPlayResult(wire::PLAY_STATUS_ERROR, m_state.archive.First());
    return;
  }
  if (action == wire::play::kActionChange && m_play.active) {
    // A change keeps the position and takes the new direction, speed and channels.
    m_play.backward = backward;
    m_play.speed = static_cast<int>(std::max<std::uint32_t>(speed, 1));
    m_play.channels = std::move(channels);
    Log(QString("playback: now %1 at %2").arg(PlayModeText(), Stamp(m_play.position)));
    if (m_playTimer.isActive()) RestartPlayTimer();
    return;
  }
  if (!start || !m_state.archive.Contains(*start)) {
    StopPlayback("request outside the archive");
    SendPlayResult(wire::PLAY_STATUS_INVALID_DATE, start.value_or(m_state.archive.First()));
    return;
  }
  if (!m_state.archive.HasRecording(*start)) {
    StopPlayback("nothing recorded there");
    SendPlayResult(wire::PLAY_STATUS_NO_IMAGE, *start);
    return;
  }
  StartPlayback(std::move(channels), *start, backward, static_cast<int>(std::max<std::uint32_t>(speed, 1)));
}

void SimSession::StartPlayback(std::vector<int> channels, const QDateTime& from, bool backward, int speed) {
  StopLive("playback requested");
  m_play.active = true;
  m_play.channels = std::move(channels);
  m_play.position = from;
  m_play.backward = backward;
  m_play.speed = speed;
  m_play.first = true;
  Log(QString("playback: channel(s) %1 %2 from %3").arg(ChannelList(m_play.channels), PlayModeText(), Stamp(from)));
  if (!m_writer->IsSilent()) RestartPlayTimer();
}

int SimSession::PicturePeriodMs() const { return 1000 / std::max(1, m_state.options.fps); }

void SimSession::RestartPlayTimer() {
  m_play.next = 0;
  const int perRound = std::max<int>(1, static_cast<int>(m_play.channels.size()));
  m_playTimer.start(std::max(1, PicturePeriodMs() / perRound));
}

void SimSession::StopPlayback(const QString& why) {
  if (!m_play.active) return;
  m_play.active = false;
  m_playTimer.stop();
  Log(QString("playback: stopped at %1 (%2)").arg(Stamp(m_play.position), why));
}

void SimSession::SendPlayResult(std::uint32_t status, const QDateTime& moment) {
  static const char* const kTexts[] = {"ERROR", "image", "No Search Image", "End of Play", "Invalid Date"};
  const int channel = m_play.channels.empty() ? 1 : m_play.channels.front();
  const auto stamp = SimArchive::PlayStampWords(m_state.protocolVersion, channel, moment);
  wire::PacketInfo info;
  info.w[0] = stamp[0];
  info.w[1] = stamp[1];
  info.w[3] = status;
  info.w[4] = m_state.archive.PositionOf(moment);
  Reply(wire::DATATYPE_PLAY_IMAGE, info);
  ++m_state.counters.playResultsSent;
  Log(QString("playback: result %1 \"%2\"").arg(status).arg(status < 5 ? kTexts[status] : "?"));
}

void SimSession::PlayTick() {
  if (!m_play.active || m_play.channels.empty()) return;
  if (m_writer->Backlog() > kMaxBacklog) {
    ++m_state.counters.picturesSkipped;
    return;
  }
  const SimArchive& archive = m_state.archive;
  if (m_play.next == 0) {
    // A new round: the next moment, one picture of each channel.
    if (!m_play.first) {
      const qint64 step = static_cast<qint64>(PicturePeriodMs()) * SpeedFactor();
      m_play.position = m_play.position.addMSecs(m_play.backward ? -step : step);
    }
    m_play.first = false;
    if (archive.Contains(m_play.position) && !archive.HasRecording(m_play.position)) {
      m_play.position = archive.SkipGap(m_play.position, m_play.backward);
    }
    if (m_play.position > archive.Last() || m_play.position < archive.First()) {
      const QDateTime end = m_play.backward ? archive.First() : archive.Last();
      m_play.position = end;
      StopPlayback("end of the archive");
      SendPlayResult(wire::PLAY_STATUS_END, end);
      return;
    }
  }
  const int channel = m_play.channels[m_play.next];
  m_play.next = (m_play.next + 1) % m_play.channels.size();
  const auto jpeg = EncodePicture(channel, m_play.position, PlayModeText());
  if (jpeg.empty()) return;
  const auto stamp = SimArchive::PlayStampWords(m_state.protocolVersion, channel, m_play.position);
  wire::PacketInfo info;
  info.w[0] = stamp[0];
  info.w[1] = stamp[1];
  info.w[3] = wire::PLAY_STATUS_IMAGE;
  info.w[4] = archive.PositionOf(m_play.position);
  const auto packet = wire::BuildPacket(m_state.magic, wire::PacketClass::Command, wire::DATATYPE_PLAY_IMAGE, info, jpeg);
  SendPicturePacket(packet);
  if (m_closing || m_writer->IsSilent()) return;
  ++m_state.counters.playPicturesSent;
  if (m_state.pictureSent) m_state.pictureSent(channel, true);
}

void SimSession::HandleRemoteKey(const wire::PacketInfo& info) {
  const std::uint32_t key = info.w[0] & 0xFFFF;
  Log(QString("recv REMOTE_KEY 0x%1 (%2)").arg(QString::number(key, 16).toUpper(), KeyName(key)));
  const SimArchive& archive = m_state.archive;
  std::vector<int> all;
  for (int c = 1; c <= std::min(m_state.ChannelCount(), kMaxPlayChannels); ++c) all.push_back(c);
  auto play = [&](bool backward, int speed, const QDateTime& from) {
    if (m_play.active) {
      m_play.backward = backward;
      m_play.speed = speed;
      Log(QString("playback: now %1 at %2").arg(PlayModeText(), Stamp(m_play.position)));
    } else {
      StartPlayback(all, from, backward, speed);
    }
  };
  switch (key) {
    case wire::REMOTE_KEY_PLAY: play(false, 1, archive.First()); break;
    case wire::REMOTE_KEY_FAST_FORWARD: play(false, kFastSpeedForKeys, archive.First()); break;
    case wire::REMOTE_KEY_FAST_BACKWARD: play(true, kFastSpeedForKeys, archive.Last()); break;
    default: break;
  }
}

void SimSession::HandlePtzData(const wire::PacketInfo& info, const std::uint8_t* payload, std::size_t size) {
  const std::size_t announced = info.w[1];
  if (announced != size) {
    Log(QString("recv PTZ_DATA announcing %1 bytes with %2 attached; reading %3")
            .arg(announced)
            .arg(size)
            .arg(std::min(announced, size)));
  }
  const std::size_t n = std::min(announced, size);
  const auto commands = PelcoDecoder::Decode({payload, n});
  if (commands.empty()) Log("recv PTZ_DATA with no bytes");
  for (const PtzCommand& c : commands) {
    const QString bytes = Hex(c.bytes.data(), c.bytes.size());
    if (c.protocol == PtzCommand::Protocol::Unknown) {
      Log(QString("recv PTZ_DATA raw bytes: %1").arg(bytes));
      continue;
    }
    const QString name = c.protocol == PtzCommand::Protocol::PelcoD ? "Pelco-D" : "Pelco-P";
    if (!c.checksumOk) {
      Log(QString("recv PTZ_DATA %1 with a wrong checksum, ignored: %2").arg(name, bytes));
      continue;
    }
    if (c.channel < 1 || c.channel > m_state.ChannelCount()) {
      Log(QString("recv PTZ_DATA %1 for camera %2, which this recorder does not have: %3").arg(name).arg(c.channel).arg(bytes));
      continue;
    }
    const QString what = c.Describe();
    SimCamera& camera = m_state.cameras[static_cast<std::size_t>(c.channel - 1)];
    camera.Apply(c, m_state.clock.elapsed());
    ++m_state.counters.ptzCommandsApplied;
    Log(QString("recv PTZ_DATA %1 camera %2: %3 (%4)").arg(name).arg(c.channel).arg(what, bytes));
  }
  if (m_state.options.ptzReply) Reply(wire::DATATYPE_PTZ_DATA_REPLY, wire::PacketInfo{});
}

void SimSession::HandleEventFileRequest() {
  const auto file = m_state.archive.EventFile(m_state.ChannelCount());
  Log(QString("recv EVENT_FILE_REQUEST: sending %1 events (%2 bytes)")
          .arg(file.size() / SimArchive::kEventRecordSize)
          .arg(file.size()));
  Reply(wire::DATATYPE_EVENT_FILE, wire::PacketInfo{}, file);
  ++m_state.counters.eventFilesSent;
}

void SimSession::AlertTick() {
  if (m_writer->IsSilent()) return;
  const int channels = std::min(4, m_state.ChannelCount());
  const int channel = m_alertTick % channels + 1;
  const int round = m_alertTick / channels;
  const std::uint32_t alarm = (round + channel) % 3 == 0 ? 1 : 0;
  const std::uint32_t loss = (round + channel) % 5 == 0 ? 1 : 0;
  const std::uint32_t motion = (round + channel) % 2;
  ++m_alertTick;
  wire::PacketInfo info;
  info.w[0] = static_cast<std::uint32_t>(channel);
  info.w[1] = alarm << 24 | loss << 16 | motion << 8;
  Reply(wire::DATATYPE_CHANNEL_STATUS, info);
  ++m_state.counters.statusReportsSent;
  Log(QString("status report: CH %1 alarm %2 loss %3 motion %4").arg(channel).arg(alarm).arg(loss).arg(motion));
}

void SimSession::GoSilent() {
  if (m_closing) return;
  Log(QString("fault: silent from now on (--silent-after %1)").arg(m_state.options.faults.silentAfterSeconds));
  m_writer->SetSilent(true);
  m_liveTimer.stop();
  m_playTimer.stop();
}

void SimSession::DropDue() {
  if (m_closing) return;
  if (m_liveTimer.isActive() || m_playTimer.isActive()) {
    m_dropDue = true;  // the next picture is cut
    return;
  }
  Log("fault: closing the connection (no picture in flight to cut)");
  Close();
}
