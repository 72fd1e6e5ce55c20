#pragma once
// A recorder stand-in for link tests: listens on 127.0.0.1 with an ephemeral
// port, records every packet the client sends (with its arrival time) and
// sends whatever bytes a test scripts.

#include <QElapsedTimer>
#include <QObject>
#include <QTcpServer>
#include <QTcpSocket>

#include <array>
#include <cstdint>
#include <functional>
#include <span>
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
  // Stops accepting: later connects are refused.
  void StopListening();
  bool Listen();

  bool HasClient() const { return m_client != nullptr; }
  int ConnectionCount() const { return m_connections; }
  void DropClient();
  void Send(const std::vector<std::uint8_t>& bytes);
  void SendPacket(std::string_view magic, std::uint32_t dataType, const wire::PacketInfo& info,
                  std::span<const std::uint8_t> payload = {});
  void SendLoginReply(std::string_view magic, std::uint32_t result, std::uint32_t channelInfo,
                      std::array<std::uint32_t, 4> range = {});

  const std::vector<Received>& Packets() const { return m_packets; }
  std::vector<Received> PacketsOfType(std::uint32_t dataType) const;
  void ClearPackets() { m_packets.clear(); }
  qint64 Elapsed() const { return m_clock.elapsed(); }

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

// Runs the event loop until the condition holds or the time is up.
bool WaitUntil(const std::function<bool()>& condition, int timeoutMs = 5000);
