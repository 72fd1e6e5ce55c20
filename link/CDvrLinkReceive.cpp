// Receive path of the link: socket reads are walked as a byte stream, cut
// into packets, and image, event and status payloads are handled by the type
// of the packet that carried them.
#include <QTcpSocket>

#include <algorithm>
#include <cstring>
#include <utility>

#include "link/CDvrLink.h"
#include "link/ILinkArchivePanel.h"
#include "link/ILinkOwner.h"

namespace {
constexpr std::uint8_t kRejectedChannel = 16;
constexpr int kSearchBlankWidth = 30;
constexpr std::uint8_t kModeLive = 2;
constexpr std::uint8_t kModePlay = 3;
constexpr std::uint8_t kModeEvent = 4;
constexpr std::uint32_t kVideoLossMask = 0x00FF0000;  // bits 16..23 of a status report's second word
}  // namespace

void CDvrLink::OnReadyRead() {
  std::array<std::uint8_t, kReceiveChunk> chunk;
  // Drain what is there in reads of at most one chunk each; stop when a chunk's
  // handling closed or replaced the socket.
  m_reading = true;
  while (m_socket && m_socket->bytesAvailable() > 0) {
    QTcpSocket* socket = m_socket.get();
    const qint64 n = socket->read(reinterpret_cast<char*>(chunk.data()), kReceiveChunk);
    if (n <= 0) break;
    OnChunk(chunk.data(), static_cast<std::size_t>(n));
    if (m_socket.get() != socket) break;
  }
  m_reading = false;
  DecodeWaitingPictures();
}

void CDvrLink::InjectReceived(const std::uint8_t* data, std::size_t n) {
  m_reading = true;
  while (n > 0) {
    const std::size_t take = std::min<std::size_t>(n, kReceiveChunk);
    OnChunk(data, take);
    data += take;
    n -= take;
  }
  m_reading = false;
  DecodeWaitingPictures();
}

void CDvrLink::OnChunk(const std::uint8_t* data, std::size_t n) {
  m_chunkToggles = false;
  m_stream.Begin(data, n);
  // A packet that ends the connection (a rejected login) ends the chunk too: the
  // rest belongs to a session that is gone, and the lamp stays unlit.
  const std::uint32_t session = m_nSession;
  StreamAssembler::Piece piece;
  while (m_nSession == session && m_stream.Next(piece)) {
    switch (piece.kind) {
      case StreamAssembler::PieceKind::PacketStart:
        OnPacketStart(wire::PacketHeader::Decode(piece.data),
                      wire::PacketInfo::Decode(piece.data + wire::kHeaderSize));
        break;
      case StreamAssembler::PieceKind::Payload:
        OnPayloadBytes(piece.data, piece.size);
        break;
      case StreamAssembler::PieceKind::Skipped:
        if (!m_paused) m_chunkToggles = true;
        break;
      case StreamAssembler::PieceKind::Garbage:
        OnBytesOutsidePacket(piece.size);
        break;
      case StreamAssembler::PieceKind::Cut:
        DiscardAssembly(false);  // its announced length was wrong: never shown
        break;
      case StreamAssembler::PieceKind::Rejected:
        break;  // dropped as if never received
    }
  }
  if (m_chunkToggles && m_nSession == session) ToggleActivityAfterChunk();
}

void CDvrLink::OnPacketStart(const wire::PacketHeader& header, const wire::PacketInfo& info) {
  const bool hasPayload = header.totalLength > wire::kPacketBaseSize;
  switch (header.dataType) {
    case wire::DATATYPE_LIVE_IMAGE:
    case wire::DATATYPE_PLAY_IMAGE:
    case wire::DATATYPE_EVENT_FILE:
      if (!StartImagePacket(header, info)) m_stream.SkipRestOfPacket();
      return;
    case wire::DATATYPE_LOGIN_REPLY:
      m_chunkToggles = true;
      if (hasPayload) m_stream.SkipRestOfPacket();
      HandleLoginReply(header, info);
      return;
    case wire::DATATYPE_DVR_STATUS2_REPLY:
      if (m_pArchivePanel) m_pArchivePanel->SetArchiveRange(info.w[2], info.w[3], info.w[4], info.w[5]);
      break;
    case wire::DATATYPE_PTZ_DATA_REPLY:
      if (m_pOwner) m_pOwner->ShowPtzDataReply(info);
      break;
    case wire::DATATYPE_CHANNEL_STATUS:
      HandleChannelStatus(info);
      break;
    case wire::DATATYPE_LIVE_STOP_REPLY:
      HandleLiveStopReply(info);
      break;
    default:
      break;  // unknown codes are ignored
  }
  // Packets of these codes carry nothing more; any bytes they announce are not a header.
  if (hasPayload) m_stream.SkipRestOfPacket();
  m_chunkToggles = true;
}

bool CDvrLink::BelongsToCurrentMode(std::uint32_t dataType) const {
  switch (dataType) {
    case wire::DATATYPE_LIVE_IMAGE: return !IsArchiveMode();
    case wire::DATATYPE_PLAY_IMAGE: return IsArchiveMode();
    case wire::DATATYPE_EVENT_FILE: return m_eventListRequested;
    default: return false;
  }
}

// Counts a playback picture after a stop command; false when the count is
// used up and a reconnection has started instead.
bool CDvrLink::CountStopCounter() {
  if ((m_stopCounter & 0xFF00) == 0) return true;
  if ((m_stopCounter & 0xFF) < kStopCountLimit) {
    ++m_stopCounter;
    return true;
  }
  // The recorder keeps playing after the stop: start over.
  m_stopCounter = 0;
  StartReconnectCycle();
  return false;
}

bool CDvrLink::StartImagePacket(const wire::PacketHeader& header, const wire::PacketInfo& info) {
  if (m_paused) return false;
  if (!BelongsToCurrentMode(header.dataType)) {
    // Not asked for in this mode: ignored, so it can neither feed nor stop the
    // watch on missing data, nor change the mode that watch resends.
    if (header.dataType == wire::DATATYPE_PLAY_IMAGE && !CountStopCounter()) return false;
    m_chunkToggles = true;
    return false;
  }

  switch (header.dataType) {
    case wire::DATATYPE_LIVE_IMAGE:
      m_receiveMode = kModeLive;
      m_liveWord1 = info.w[1];
      m_liveWord2 = info.w[2];
      m_nCurrentChannel = static_cast<std::uint8_t>(info.w[3] == 0 ? 0 : info.w[3] - 1);
      ArmResponseTimer();
      m_recordingPosition = info.w[4];
      if (m_pOwner) m_pOwner->ShowPositions(info.w[4], info.w[0]);
      break;
    case wire::DATATYPE_PLAY_IMAGE: {
      m_receiveMode = kModePlay;
      if (!CountStopCounter()) return false;
      if (info.w[3] == wire::PLAY_STATUS_IMAGE) {
        const std::uint32_t channelByte = m_nProtocolVersion == 1 ? (info.w[0] & 0xFF) : (info.w[0] >> 24);
        m_nCurrentChannel = m_nProtocolVersion == 1
                                ? static_cast<std::uint8_t>(channelByte)
                                : static_cast<std::uint8_t>(channelByte == 0 ? 0 : channelByte - 1);
        if (IsArchiveMode()) {
          if (m_nProtocolVersion == 1) {
            m_pArchivePanel->ShowPlayImageTime(info.w[1], 0, 1);
          } else {
            m_pArchivePanel->ShowPlayImageTime(info.w[0], info.w[1], m_nProtocolVersion);
            m_pArchivePanel->ShowPlayPosition(info.w[4]);
          }
        }
        if (IsPanelPlaying()) {
          ArmResponseTimer();
        } else {
          DisarmResponseTimer();
        }
      } else {
        DiscardAssembly(false);
        if (m_pArchivePanel) m_pArchivePanel->ShowPlayResult(static_cast<int>(info.w[3] & 0xFF));
        DisarmResponseTimer();
      }
      break;
    }
    case wire::DATATYPE_EVENT_FILE:
      m_eventListRequested = false;  // one list per request
      m_receiveMode = kModeEvent;
      DisarmResponseTimer();
      break;
    default:
      return false;
  }
  m_chunkToggles = true;

  m_payloadType = header.dataType;
  m_payloadMode = m_receiveMode;
  m_expected = header.totalLength - static_cast<std::uint32_t>(wire::kPacketBaseSize);
  m_assembled = 0;
  if (m_expected + 1u > m_imageData.size()) {
    // Grown before the first payload byte is copied; the length is bounded by the stream's header check.
    m_imageData.assign(static_cast<std::size_t>(m_expected) + 1u, 0);
  }
  return true;
}

void CDvrLink::ArmOnProgress(std::size_t n, bool completes) {
  m_bytesSinceArm = static_cast<std::uint32_t>(std::min<std::size_t>(m_bytesSinceArm + n, kMinProgressBytes));
  if (completes || m_bytesSinceArm >= kMinProgressBytes) ArmResponseTimer();
}

void CDvrLink::ApplyContinuationTimerRule(std::uint8_t mode, std::size_t n, bool completes) {
  switch (mode) {
    case kModeEvent:
      DisarmResponseTimer();
      break;
    case kModePlay:
      if (IsPanelPlaying()) {
        ArmOnProgress(n, completes);
      } else {
        DisarmResponseTimer();
      }
      break;
    case kModeLive:
      ArmOnProgress(n, completes);
      break;
    default:
      break;
  }
}

void CDvrLink::OnPayloadBytes(const std::uint8_t* data, std::size_t n) {
  const bool continuation = !m_stream.StartedInThisRead();
  const std::size_t take = std::min<std::size_t>(n, m_expected - m_assembled);
  if (continuation) {
    if (m_paused) {
      DiscardAssembly();
      return;
    }
    ApplyContinuationTimerRule(m_payloadMode, n, m_expected != 0 && m_assembled + take == m_expected);
    m_chunkToggles = true;
  }
  if (m_expected == 0) return;
  std::memcpy(m_imageData.data() + m_assembled, data, take);
  m_assembled += static_cast<std::uint32_t>(take);
  if (m_assembled == m_expected) ManageImageData(!continuation);
}

void CDvrLink::OnBytesOutsidePacket(std::size_t n) {
  // Bytes that belong to no packet are treated like a continuation with nothing pending.
  if (m_receiveMode == kModeLive || m_receiveMode == kModePlay || m_receiveMode == kModeEvent) {
    if (m_paused) return;
    ApplyContinuationTimerRule(m_receiveMode, n, false);
  }
  m_chunkToggles = true;
}

void CDvrLink::ManageImageData(bool oneChunk) {
  if (m_paused) return;
  switch (m_payloadType) {
    case wire::DATATYPE_LIVE_IMAGE: ManageLiveImage(oneChunk); break;
    case wire::DATATYPE_PLAY_IMAGE: ManagePlayImage(oneChunk); break;
    case wire::DATATYPE_EVENT_FILE: WriteEventFile(); break;
    default: break;
  }
  DiscardAssembly();
}

std::uint8_t CDvrLink::AcceptedChannel(std::uint8_t decoded, std::uint8_t packetChannel, bool smallInOneRead,
                                       bool carriesMark) const {
  // A picture that did not decode is never shown, not even when the packet's channel is trusted.
  if (decoded == CImageCodec::kDecodeFailed) return kRejectedChannel;
  // The packet's channel is trusted for recorders that paint no mark and for
  // pictures too narrow to hold one; every other picture must carry its own.
  const bool trustPacket = m_noMark || !carriesMark;
  std::uint8_t channel = trustPacket ? packetChannel : (decoded == packetChannel ? decoded : kRejectedChannel);
  // A whole picture in one read that small is not a picture of the recorder.
  if (smallInOneRead) channel = kRejectedChannel;
  if (channel >= kLiveChannels) channel = kRejectedChannel;
  return channel;
}

CImageCodec& CDvrLink::MoveToHolder(int channel, CImageCodec& from) {
  auto& holder = m_holders[static_cast<std::size_t>(channel)];
  if (!holder) holder = std::make_unique<CImageCodec>();
  // The holder takes the decoded bitmap and hands its old one back to the
  // decoder, which overwrites it with the next picture: no copy per picture.
  // Whoever showed the old bitmap is given the new one straight after.
  holder->SwapBitmap(from);
  return *holder;
}

bool CDvrLink::ShowsLiveChannel(std::uint8_t channel) const {
  if (IsArchiveMode() || channel >= kLiveChannels || !m_pOwner) return false;
  return (m_pOwner->ChannelMask() & (1u << channel)) != 0;
}

void CDvrLink::ManageLiveImage(bool oneChunk) {
  // Pictures of channels not shown are never decoded.
  if (!ShowsLiveChannel(m_nCurrentChannel)) return;
  if (!m_reading) {
    DecodeLiveImage(m_nCurrentChannel, m_imageData.data(), m_expected, oneChunk);
    return;
  }
  // The assembled bytes change hands instead of being copied: the next
  // packet is assembled in the buffer this slot held before.
  WaitingPicture& picture = m_waiting[m_nCurrentChannel];
  std::swap(picture.data, m_imageData);
  picture.length = m_expected;
  picture.oneChunk = oneChunk;
  picture.waiting = true;
}

void CDvrLink::DecodeWaitingPictures() {
  int decodes = 0;
  for (int k = 0; k < kLiveChannels; ++k) {
    const int channel = (m_nextWaiting + k) % kLiveChannels;
    WaitingPicture& picture = m_waiting[static_cast<std::size_t>(channel)];
    if (!picture.waiting) continue;
    if (decodes == kMaxDecodesPerTurn) {
      m_nextWaiting = channel;
      m_decodeTimer.start();
      return;
    }
    picture.waiting = false;
    const auto ch = static_cast<std::uint8_t>(channel);
    if (m_paused || !ShowsLiveChannel(ch)) continue;  // the view changed since it came
    DecodeLiveImage(ch, picture.data.data(), picture.length, picture.oneChunk);
    ++decodes;
  }
}

void CDvrLink::ForgetWaitingPictures() {
  m_decodeTimer.stop();
  for (WaitingPicture& picture : m_waiting) picture.waiting = false;
}

void CDvrLink::DecodeLiveImage(std::uint8_t channel, const std::uint8_t* data, std::uint32_t length,
                               bool oneChunk) {
  if (!m_pImageCodec) m_pImageCodec = std::make_unique<CImageCodec>();
  // Pictures for a small pane are decoded scaled down; their marks are still read at full size.
  const QSize fit = m_pOwner->LiveDecodeSize(channel);
  const std::uint8_t decoded = m_pImageCodec->Decode(data, length, m_noMark, fit.width(), fit.height());
  m_nDecodeChannel = decoded == CImageCodec::kDecodeFailed
                         ? decoded
                         : AcceptedChannel(decoded, channel, oneChunk && length < kMinOneChunkImage,
                                           m_pImageCodec->CarriesChannelMark());
  if (m_nDecodeChannel >= kRejectedChannel) return;

  const CImageCodec& holder = MoveToHolder(m_nDecodeChannel, *m_pImageCodec);
  m_pOwner->SetChannelImage(m_nDecodeChannel, holder.Pixels(), holder.Header(),
                            QSize(holder.PictureWidth(), holder.PictureHeight()));
  m_pOwner->SetChannelFieldFlag(m_nDecodeChannel, m_pImageCodec->FieldFlag());
  m_pOwner->DrawChannel(m_nDecodeChannel);
}

void CDvrLink::ManagePlayImage(bool oneChunk) {
  if (m_nCurrentChannel > wire::kChannels || !IsArchiveMode()) return;
  if (!m_pPlayCodec) m_pPlayCodec = std::make_unique<CImageCodec>();
  // The marks are always read from played pictures; the no-mark choice applies only to the check.
  const std::uint8_t decoded = m_pPlayCodec->Decode(m_imageData.data(), m_expected, false);
  m_nDecodeChannel = decoded == CImageCodec::kDecodeFailed
                         ? decoded
                         : AcceptedChannel(decoded, m_nCurrentChannel, oneChunk && m_expected < kMinOneChunkImage,
                                           m_pPlayCodec->CarriesChannelMark());
  if (m_nDecodeChannel >= kRejectedChannel) return;

  const CImageCodec& holder = MoveToHolder(m_nDecodeChannel, *m_pPlayCodec);
  m_pArchivePanel->SetPlayImage(m_nDecodeChannel, holder.Pixels(), holder.Header(), m_pPlayCodec->FieldFlag());
  m_pArchivePanel->SetPlayJpeg(m_nDecodeChannel, m_pPlayCodec->Stream(), m_pPlayCodec->StreamLength());
  m_pArchivePanel->DrawPlayImage(m_nDecodeChannel);
  if (m_pArchivePanel->IsSearchingShown()) {
    m_pArchivePanel->ClearSearchingFlag();
    m_pArchivePanel->ShowSearchText(QString(kSearchBlankWidth, QLatin1Char(' ')));
  }
}

void CDvrLink::WriteEventFile() {
  m_receiveMode = m_previousMode;
  if (m_eventFileWriter)
    m_eventFileWriter(m_eventFilePath, QByteArrayView(m_imageData.data(), static_cast<qsizetype>(m_expected)));
  if (m_pArchivePanel) m_pArchivePanel->EventFileArrived();
}

void CDvrLink::HandleChannelStatus(const wire::PacketInfo& info) {
  const std::uint32_t channel = info.w[0] & 0xFF;
  if (!m_pOwner || channel < 1 || channel > 4) return;
  // The pane shows a video loss in any mode; the status line only in alert mode.
  if ((info.w[1] & kVideoLossMask) != 0) m_pOwner->ShowVideoLoss(static_cast<int>(channel) - 1);
  if (!m_pOwner->UseAlertMode()) return;
  m_channelStatus = channel | (info.w[1] & 0xFFFFFF00u);
  m_pOwner->ShowConnectionStatus(status::kChannelStatus);
}

void CDvrLink::HandleLiveStopReply(const wire::PacketInfo& info) {
  if (!m_liveStopSent) return;  // answers no stop of ours: leaves the watch alone
  if (info.w[0] == 1) {
    m_paused = false;
    m_pauseTimer.stop();
  }
  DisarmResponseTimer();
}

void CDvrLink::DiscardAssembly(bool skipStream) {
  m_expected = 0;
  m_assembled = 0;
  if (skipStream) m_stream.SkipRestOfPacket();
}

void CDvrLink::ToggleActivityAfterChunk() {
  if (IsArchiveMode()) {
    if (m_receiveMode == kModePlay) m_pArchivePanel->ToggleActivity();
  } else if (m_pOwner) {
    m_pOwner->ToggleActivity();
  }
}
