#pragma once
// The archive panel's view of the real DVR link.

#include "archive/IArchiveLink.h"

class CDvrLink;

class DvrLinkArchiveAdapter : public IArchiveLink {
 public:
  explicit DvrLinkArchiveAdapter(CDvrLink& link) : m_link(link) {}

  int ProtocolVersion() const override;
  void SetPlayRequestWords(std::uint32_t channel, std::uint32_t start, std::uint32_t second,
                           std::uint32_t command) override;
  void SendPlayRequest(bool armResponseTimer) override;
  void SendRemoteKey(std::uint16_t code) override;
  void SendDvrStatus2() override;
  void StopReconnectCycle() override;
  void DisarmResponseTimer() override;

  void SetArchivePanel(ILinkArchivePanel* panel) override;
  void SendEventFileRequest() override;
  void SendLiveStop() override;
  std::uint32_t RecordingPosition() const override;
  std::uint32_t ChannelStatusWord() const override;
  int MissCount() const override;
  QString EventFilePath() const override;

 private:
  CDvrLink& m_link;
};
