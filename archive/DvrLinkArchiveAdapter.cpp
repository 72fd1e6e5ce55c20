#include "archive/DvrLinkArchiveAdapter.h"

#include "link/CDvrLink.h"

int DvrLinkArchiveAdapter::ProtocolVersion() const { return m_link.ProtocolVersion(); }

void DvrLinkArchiveAdapter::SetPlayRequestWords(std::uint32_t channel, std::uint32_t start, std::uint32_t second,
                                                std::uint32_t command) {
  m_link.SetPlayRequestWords(channel, start, second, command);
}

void DvrLinkArchiveAdapter::SendPlayRequest(bool armResponseTimer) {
  m_link.SendRequest(RequestKind::PlayRequest, armResponseTimer);
}

void DvrLinkArchiveAdapter::SendRemoteKey(std::uint16_t code) { m_link.SendRemoteKey(code); }

// The link never arms its response timer for this kind.
void DvrLinkArchiveAdapter::SendDvrStatus2() { m_link.SendRequest(RequestKind::DvrStatus2, false); }

void DvrLinkArchiveAdapter::StopReconnectCycle() { m_link.StopReconnectCycle(); }

void DvrLinkArchiveAdapter::DisarmResponseTimer() { m_link.DisarmResponseTimer(); }

void DvrLinkArchiveAdapter::SetArchivePanel(ILinkArchivePanel* panel) { m_link.SetArchivePanel(panel); }

void DvrLinkArchiveAdapter::SendEventFileRequest() { m_link.SendRequest(RequestKind::EventFileRequest, false); }

void DvrLinkArchiveAdapter::SendLiveStop() { m_link.SendRequest(RequestKind::LiveStop, false); }

std::uint32_t DvrLinkArchiveAdapter::RecordingPosition() const { return m_link.RecordingPosition(); }

std::uint32_t DvrLinkArchiveAdapter::ChannelStatusWord() const { return m_link.ChannelStatusWord(); }

int DvrLinkArchiveAdapter::MissCount() const { return m_link.MissCount(); }

QString DvrLinkArchiveAdapter::EventFilePath() const { return m_link.EventFilePath(); }
