#pragma once
// A recorder stand-in for link tests: listens on 127.0.0.1 with an ephemeral
// port, records every packet the client sends (with its arrival time) and
// answers the login as a test scripts.

#include <QElapsedTimer>
#include <QObject>
#include <QTcpServer>
#include <QTcpSocket>

#include <cstdint>
#include <string_view>
#include <vector>

#include "link/PacketFormat.h"

class FakeRecorder : public QObject {
  Q_OBJECT

 public:
  struct Received {
    wire::PacketHeader header;
    wire::PacketInfo info;  // zero for the login packet, which has no info block
    std::vector<std::uint8_t> bytes;
    qint64 atMs = 0;
  };

  FakeRecorder();
  quint16 Port() const { return m_server.serverPort(); }
  int ConnectionCount() const { return m_connections; }
  void SendLoginReply(std::string_view magic, std::uint32_t result, std::uint32_t channelInfo);

  const std::vector<Received>& Packets() const { return m_packets; }
  std::vector<Received> PacketsOfType(std::uint32_t dataType) const;
  void ClearPackets() { m_packets.clear(); }

 private:
  void OnNewConnection();
  void OnReadyRead();

  QTcpServer m_server;
  QTcpSocket* m_client = nullptr;
  int m_connections = 0;
  std::vector<std::uint8_t> m_pending;
  std::vector<Received> m_packets;
  QElapsedTimer m_clock;
};
