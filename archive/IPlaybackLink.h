#pragma once
// What playback control needs from the DVR link. The panel hands it an adapter
// over CDvrLink (LinkPlaybackAdapter); tests hand it a recorder of the calls.

#include <cstdint>

class IPlaybackLink {
 public:
  virtual ~IPlaybackLink() = default;

  // 1 for "DVR PACKET1.0", 2 for "DVR PACKET1.2", 3 otherwise.
  virtual int ProtocolVersion() const = 0;
  // Words 0..3 of the next DATATYPE_PLAY_REQUEST.
  virtual void SetPlayRequestWords(std::uint32_t channel, std::uint32_t start, std::uint32_t second,
                                   std::uint32_t command) = 0;
  virtual void SendPlayRequest(bool armResponseTimer) = 0;
  // DATATYPE_REMOTE_KEY, response timer armed.
  virtual void SendRemoteKey(std::uint16_t code) = 0;
  // DATATYPE_DVR_STATUS2; its reply refreshes the archive range.
  virtual void SendDvrStatus2() = 0;
  virtual void StopReconnectCycle() = 0;
  virtual void DisarmResponseTimer() = 0;
};
