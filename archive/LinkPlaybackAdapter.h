#pragma once
// Playback control's view of the real DVR link.

#include "archive/IPlaybackLink.h"

class CDvrLink;

class LinkPlaybackAdapter : public IPlaybackLink {
 public:
  explicit LinkPlaybackAdapter(CDvrLink* link) : m_pLink(link) {}

  int ProtocolVersion() const override;
  void SetPlayRequestWords(std::uint32_t channel, std::uint32_t start, std::uint32_t second,
                           std::uint32_t command) override;
  void SendPlayRequest(bool armResponseTimer) override;
  void SendRemoteKey(std::uint16_t code) override;
  void SendDvrStatus2() override;
  void StopReconnectCycle() override;
  void DisarmResponseTimer() override;

 private:
  CDvrLink* m_pLink;
};
