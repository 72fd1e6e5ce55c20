#pragma once
// One connected client of the simulated recorder: reads its packets, answers
// them and pushes live and playback pictures.

#include <QByteArray>
#include <QDateTime>
#include <QElapsedTimer>
#include <QObject>
#include <QTimer>
#include <cstdint>
#include <memory>
#include <vector>

#include "link/PacketFormat.h"

class QTcpSocket;
class SimPacketWriter;
struct SimRecorderState;

class SimSession : public QObject {
  Q_OBJECT

 public:
  // Largest packet a client sends is 1024 bytes; anything up to this is read.
  static constexpr std::uint32_t kMaxClientPacket = 64 * 1024;
  // Pictures are skipped while this much is still waiting for the client.
  static constexpr qint64 kMaxBacklog = 2 * 1024 * 1024;
  static constexpr int kMaxPlayChannels = 8;  // playback of "all channels" sends channels 1..8
  static constexpr int kMaxSpeed = 8;
  static constexpr int kFastSpeedForKeys = 3;
  static constexpr std::uint32_t kOversizeLength = 0x7FFFFF00u;
  static constexpr int kMaxDrainRounds = 16;  // reads taken in while looking for a close

  SimSession(QTcpSocket* socket, SimRecorderState& state, QObject* parent = nullptr);
  ~SimSession() override;

  QString Peer() const { return m_peer; }
  // Closes after what is queued has been written.
  void Close();
  // Closes at once; emits nothing.
  void Abort();
  // True when the client has closed or reset its end. Reads what it sent
  // before the close first, so that no packet of it goes unhandled.
  bool ClientHasLeft();
  // Why this session should give way to a new client: it is closing, silent
  // by a fault, or its client has sent nothing for a while. Empty: it stays.
  QString ReasonToGiveWay() const;

 signals:
  void Finished();

 private:
  struct Playback {
    bool active = false;
    std::vector<int> channels;
    QDateTime position;
    bool backward = false;
    int speed = 1;
    bool first = true;
    std::size_t next = 0;  // index in channels of the next picture of the round
  };

  void OnReadyRead();
  void ParseInput();
  void Handle(const wire::PacketHeader& header, const std::uint8_t* packet, std::size_t size);
  void HandleLogin(const std::uint8_t* packet);
  void HandleLiveRequest(const wire::PacketInfo& info);
  void HandleLiveStop();
  void HandlePlayRequest(const wire::PacketInfo& info);
  void HandleRemoteKey(const wire::PacketInfo& info);
  void HandlePtzData(const wire::PacketInfo& info, const std::uint8_t* payload, std::size_t size);
  void HandleEventFileRequest();
  void SendStatus2Reply();

  void Reply(std::uint32_t dataType, const wire::PacketInfo& info, std::span<const std::uint8_t> payload = {});
  void SendPicturePacket(const std::vector<std::uint8_t>& packet);
  std::vector<std::uint8_t> EncodePicture(int channel, const QDateTime& moment, const QString& mode);

  void StartLive(std::vector<int> channels);
  void StopLive(const QString& why);
  void LiveTick();
  void StartPlayback(std::vector<int> channels, const QDateTime& from, bool backward, int speed);
  void StopPlayback(const QString& why);
  // Starts the playback timer for the channels: each tick sends one channel's
  // picture, so a round of all channels is spread over one picture period.
  void RestartPlayTimer();
  void PlayTick();
  void SendPlayResult(std::uint32_t status, const QDateTime& moment);
  void AlertTick();
  void GoSilent();
  void DropDue();

  QString PlayModeText() const;
  int SpeedFactor() const;
  int PicturePeriodMs() const;
  void Log(const QString& text);

  QTcpSocket* m_socket;  // owned through the Qt parent
  SimRecorderState& m_state;
  std::unique_ptr<SimPacketWriter> m_writer;
  QString m_peer;
  QByteArray m_in;
  QElapsedTimer m_sinceInput;  // since the client last sent anything
  bool m_loggedIn = false;
  bool m_dropDue = false;
  bool m_closing = false;

  std::vector<int> m_liveChannels;
  std::size_t m_liveNext = 0;
  QTimer m_liveTimer;
  std::uint32_t m_liveSequence = 0;

  Playback m_play;
  QTimer m_playTimer;

  QTimer m_alertTimer;
  int m_alertTick = 0;
};
