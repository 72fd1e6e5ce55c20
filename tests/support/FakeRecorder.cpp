#include <QHostAddress>

#include "support/FakeRecorder.h"

FakeRecorder::FakeRecorder() {
  m_clock.start();
  connect(&m_server, &QTcpServer::newConnection, this, &FakeRecorder::OnNewConnection);
  m_server.listen(QHostAddress::LocalHost, 0);
}

void FakeRecorder::OnNewConnection() {
  while (QTcpSocket* socket = m_server.nextPendingConnection()) {
    ++m_connections;
    if (m_client) m_client->deleteLater();
    m_client = socket;
    m_pending.clear();
    connect(socket, &QTcpSocket::readyRead, this, &FakeRecorder::OnReadyRead);
  }
}

void FakeRecorder::OnReadyRead() {
  auto* socket = qobject_cast<QTcpSocket*>(sender());
  if (socket != m_client) return;
  const QByteArray data = socket->readAll();
  m_pending.insert(m_pending.end(), data.begin(), data.end());
  while (m_pending.size() >= wire::kHeaderSize) {
    const wire::PacketHeader header = wire::PacketHeader::Decode(m_pending.data());
    if (header.totalLength < wire::kHeaderSize || header.totalLength > 1u << 20) {
      m_pending.clear();  // not a packet; the test will see nothing more
      return;
    }
    if (m_pending.size() < header.totalLength) return;
    Received r;
    r.header = header;
    if (header.dataType != wire::DATATYPE_LOGIN && header.totalLength >= wire::kPacketBaseSize) {
      r.info = wire::PacketInfo::Decode(m_pending.data() + wire::kHeaderSize);
    }
    r.bytes.assign(m_pending.begin(), m_pending.begin() + header.totalLength);
    r.atMs = m_clock.elapsed();
    m_packets.push_back(std::move(r));
    m_pending.erase(m_pending.begin(), m_pending.begin() + header.totalLength);
  }
}

void FakeRecorder::SendLoginReply(std::string_view magic, std::uint32_t result, std::uint32_t channelInfo) {
  if (!m_client) return;
  const auto bytes = wire::BuildPacket(wire::MakeMagic(magic), wire::PacketClass::Command, wire::DATATYPE_LOGIN_REPLY,
                                       {{result, channelInfo}});
  m_client->write(reinterpret_cast<const char*>(bytes.data()), static_cast<qint64>(bytes.size()));
  m_client->flush();
}

std::vector<FakeRecorder::Received> FakeRecorder::PacketsOfType(std::uint32_t dataType) const {
  std::vector<Received> out;
  for (const auto& p : m_packets) {
    if (p.header.dataType == dataType) out.push_back(p);
  }
  return out;
}
