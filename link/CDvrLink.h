#pragma once
// The one connection to the recorder: connect, login, requests, the watch on
// missing data, reconnection, and the receive path that assembles pictures,
// status reports and the event list. Lives on the user-interface thread.

#include <QByteArrayView>
#include <QObject>
#include <QString>
#include <QTimer>

#include <array>
#include <cstdint>
#include <functional>
#include <memory>
#include <vector>

#include "link/CImageCodec.h"
#include "link/LinkTiming.h"
#include "link/PacketFormat.h"
#include "link/StreamAssembler.h"

class QTcpSocket;
class ILinkOwner;
class ILinkArchivePanel;

// Kinds accepted by SendRequest.
enum class RequestKind : std::uint8_t {
  Login = 1,
  LiveRequest = 2,
  PlayRequest = 3,
  EventFileRequest = 4,
  LiveStop = 8,
  RemoteKey = 9,
  DvrStatus2 = 102,
};

// Codes by which the link asks the view to redraw its status line.
namespace status {
constexpr int kWaiting = 0;
constexpr int kEstablished = 1;
constexpr int kConnecting = 2;
constexpr int kTryReconnection = 4;
constexpr int kConnectionFail = 5;
constexpr int kTryRequestImage = 6;
constexpr int kChannelStatus = 7;
}  // namespace status

class CDvrLink : public QObject {
  Q_OBJECT

 public:
  static constexpr int kLiveChannels = 8;
  static constexpr int kReceiveChunk = 9129;
  static constexpr int kStopCountLimit = 20;
  static constexpr std::uint32_t kMinOneChunkImage = 0xC00;
  // Continuation bytes count as a sign of life only once this many arrived
  // since the watch on missing data was last armed: a payload that trickles
  // in more slowly has stalled.
  static constexpr std::uint32_t kMinProgressBytes = 1024;
  static constexpr const char* kEventFileName = "AlarmEvent.am";
  // Bytes the socket may hold back unsent: every packet we send is small, so
  // more than this means the recorder stopped reading and the link is dead.
  static constexpr qint64 kMaxUnsentBytes = 64 * 1024;
  // Live pictures decoded in one event-loop turn; the rest wait for the next
  // turn, so input and repaints are never held up behind a flood of pictures.
  static constexpr int kMaxDecodesPerTurn = 4;

  explicit CDvrLink(ILinkOwner* owner, LinkTiming timing = {}, QObject* parent = nullptr);
  ~CDvrLink() override;

  // The archive panel registers itself; null unregisters.
  void SetArchivePanel(ILinkArchivePanel* panel) { m_pArchivePanel = panel; }

  // Starts a non-blocking connect; false when a socket exists or the host is unusable.
  bool ConnectToDvr(const QString& hostText, std::uint16_t port);
  // Closes the socket; full also frees the buffers and stops the reconnection cycle.
  bool Disconnect(bool full);
  bool IsConnected() const { return m_socket != nullptr; }

  void SendRequest(RequestKind kind, bool arm);
  void SendRemoteKey(std::uint16_t code);
  void RequestDvrStatus2();
  void SendPtzData(const std::uint8_t* bytes, std::size_t n);

  // Words 0..3 of the next play request, set by the archive panel before kind 3.
  void SetPlayRequestWords(std::uint32_t channel, std::uint32_t start, std::uint32_t second,
                           std::uint32_t command);
  // Ends a running reconnection cycle and resets its attempt count.
  void StopReconnectCycle();
  // Stops the watch on missing data (the panel does it after a play result).
  void DisarmResponseTimer();

  // State the view and the panel read.
  int ProtocolVersion() const { return m_nProtocolVersion; }
  std::uint32_t ChannelStatusWord() const { return m_channelStatus; }
  // ResponseTimer periods without data; the view shows it with status 6.
  std::uint8_t MissCount() const { return m_missCount; }
  std::uint32_t RecordingPosition() const { return m_recordingPosition; }
  std::uint8_t ReceiveMode() const { return m_receiveMode; }
  std::uint8_t CurrentChannel() const { return m_nCurrentChannel; }
  std::uint8_t DecodeChannel() const { return m_nDecodeChannel; }
  bool IsPaused() const { return m_paused; }
  bool ImagesCarryNoMark() const { return m_noMark; }
  const CImageCodec* Holder(int channel) const;
  // Where the event list is written; the working folder by default.
  void SetEventFilePath(const QString& path) { m_eventFilePath = path; }
  // Writes the event list (path, bytes). The rules for local files live above
  // the link, so its owner supplies them; without a writer no list is kept.
  using FileWriter = std::function<bool(const QString& path, QByteArrayView bytes)>;
  void SetEventFileWriter(FileWriter writer) { m_eventFileWriter = std::move(writer); }
  const QString& EventFilePath() const { return m_eventFilePath; }

  // Feeds bytes as if read from the socket (tests and fuzzing); cut into reads of at most kReceiveChunk.
  void InjectReceived(const std::uint8_t* data, std::size_t n);

 signals:
  // A packet went out; tests and traces watch the link's traffic here.
  void packetSent(std::uint32_t dataType);

 private:
  // Session
  void OnConnected();
  void OnConnectFailed();
  void OnReadyRead();
  void OnResponseTick();
  void OnReconnectTick();
  void OnKeepAliveTick();
  void OnPauseTick();
  void ArmResponseTimer();
  void StartReconnectCycle();
  void AllocateBuffers();
  void FreeBuffers();
  // True only once the socket reports the connection made and outside the login steps.
  bool CanSend() const;
  void SendBytes(const std::vector<std::uint8_t>& packet, std::uint32_t dataType);
  // A peer that stopped reading: drop the socket and reconnect as after silence.
  void DropUnreadLink(std::uint32_t session);
  void HandleLoginReply(const wire::PacketHeader& header, const wire::PacketInfo& info);
  void SendFirstImageRequest();
  bool IsArchiveMode() const;
  bool IsPanelPlaying() const;

  // Receive path
  void OnChunk(const std::uint8_t* data, std::size_t n);
  void OnPacketStart(const wire::PacketHeader& header, const wire::PacketInfo& info);
  bool StartImagePacket(const wire::PacketHeader& header, const wire::PacketInfo& info);
  void OnPayloadBytes(const std::uint8_t* data, std::size_t n);
  void OnBytesOutsidePacket(std::size_t n);
  // Whether a picture or event-list packet is one the current mode asked for.
  bool BelongsToCurrentMode(std::uint32_t dataType) const;
  bool CountStopCounter();
  void ApplyContinuationTimerRule(std::uint8_t mode, std::size_t n, bool completes);
  void ArmOnProgress(std::size_t n, bool completes);
  void ManageImageData(bool oneChunk);
  void ManageLiveImage(bool oneChunk);
  // Whether a live picture of this packet channel would be shown now.
  bool ShowsLiveChannel(std::uint8_t channel) const;
  void DecodeLiveImage(std::uint8_t channel, const std::uint8_t* data, std::uint32_t length, bool oneChunk);
  // Decodes waiting live pictures, kMaxDecodesPerTurn at most, and comes back next turn for the rest.
  void DecodeWaitingPictures();
  void ForgetWaitingPictures();
  void ManagePlayImage(bool oneChunk);
  void WriteEventFile();
  void HandleChannelStatus(const wire::PacketInfo& info);
  void HandleLiveStopReply(const wire::PacketInfo& info);
  // Forgets the payload being assembled; with skipStream its remaining bytes are skipped too.
  void DiscardAssembly(bool skipStream = true);
  std::uint8_t AcceptedChannel(std::uint8_t decoded, std::uint8_t packetChannel, bool smallInOneRead,
                               bool carriesMark) const;
  CImageCodec& MoveToHolder(int channel, CImageCodec& from);
  void StopLoginSteps();
  void ToggleActivityAfterChunk();

  ILinkOwner* m_pOwner;
  ILinkArchivePanel* m_pArchivePanel = nullptr;
  LinkTiming m_timing;

  std::unique_ptr<QTcpSocket> m_socket;
  int m_nProtocolVersion = wire::kInitialProtocolVersion;
  wire::Magic m_magic{};
  std::uint8_t m_receiveMode = 0;
  std::uint8_t m_previousMode = 0;
  std::uint16_t m_keyWord = 0;
  std::uint8_t m_missCount = 0;
  std::uint32_t m_bytesSinceArm = 0;  // continuation bytes since the ResponseTimer was armed
  int m_attemptCount = 0;
  bool m_paused = false;
  bool m_buffersAllocated = false;
  bool m_socketConnected = false;
  std::uint32_t m_nSession = 0;  // counts disconnects: a chunk stops when its session ends
  std::array<std::uint32_t, 4> m_playWords{};

  QTimer m_responseTimer;
  QTimer m_pauseTimer;
  QTimer m_reconnectTimer;
  QTimer m_keepAliveTimer;
  QTimer m_loginStepTimer;  // spaces the sends after a login reply
  int m_loginStep = 0;
  // The operator's pan/tilt data and event-list requests made while the login
  // steps run; they go out after the steps, in their order.
  std::vector<std::function<void()>> m_heldSends;

  StreamAssembler m_stream;
  // The packet whose payload is being assembled: a completed payload is handled
  // by the type of the packet that announced it, not by the last request sent.
  std::uint32_t m_payloadType = 0;
  std::uint8_t m_payloadMode = 0;
  std::vector<std::uint8_t> m_imageData;  // m_pImageDataBuf: grows, never shrinks while connected
  std::uint32_t m_expected = 0;
  std::uint32_t m_assembled = 0;
  bool m_chunkToggles = false;

  // A live picture completed while reads are under way waits here, the newest
  // per channel, and is decoded once the reads end: older ones are never shown.
  struct WaitingPicture {
    std::vector<std::uint8_t> data;  // the picture's bytes first; any left after length are stale
    std::uint32_t length = 0;
    bool oneChunk = false;
    bool waiting = false;
  };
  std::array<WaitingPicture, kLiveChannels> m_waiting;
  bool m_reading = false;   // reads under way: completed live pictures wait
  int m_nextWaiting = 0;    // channel the next decode turn starts from, so none waits behind the others
  QTimer m_decodeTimer;     // the next turn's decodes

  std::uint8_t m_nCurrentChannel = 0;
  std::uint8_t m_nDecodeChannel = 0;
  bool m_noMark = false;
  std::uint16_t m_stopCounter = 0;
  bool m_eventListRequested = false;  // an event list was asked for and has not come yet
  bool m_liveStopSent = false;        // a live stop went out since the last live request
  std::uint32_t m_liveWord1 = 0;
  std::uint32_t m_liveWord2 = 0;
  std::uint32_t m_recordingPosition = 0;
  std::uint32_t m_channelStatus = 0;

  std::unique_ptr<CImageCodec> m_pImageCodec;
  std::unique_ptr<CImageCodec> m_pPlayCodec;
  std::array<std::unique_ptr<CImageCodec>, wire::kChannels> m_holders;
  QString m_eventFilePath = QString::fromLatin1(kEventFileName);
  FileWriter m_eventFileWriter;
};
