#include "archive/LinkPlaybackAdapter.h"

#include "link/CDvrLink.h"

int LinkPlaybackAdapter::ProtocolVersion() const { return m_pLink->ProtocolVersion(); }

void LinkPlaybackAdapter::SetPlayRequestWords(std::uint32_t channel, std::uint32_t start, std::uint32_t second,
                                              std::uint32_t command) {
  m_pLink->SetPlayRequestWords(channel, start, second, command);
}

void LinkPlaybackAdapter::SendPlayRequest(bool armResponseTimer) {
  m_pLink->SendRequest(RequestKind::PlayRequest, armResponseTimer);
}

void LinkPlaybackAdapter::SendRemoteKey(std::uint16_t code) { m_pLink->SendRemoteKey(code); }

// The link never arms its response timer for this kind.
void LinkPlaybackAdapter::SendDvrStatus2() { m_pLink->SendRequest(RequestKind::DvrStatus2, false); }

void LinkPlaybackAdapter::StopReconnectCycle() { m_pLink->StopReconnectCycle(); }

void LinkPlaybackAdapter::DisarmResponseTimer() { m_pLink->DisarmResponseTimer(); }
