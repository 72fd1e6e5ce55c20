#pragma once
// A raw client for the simulated recorder tests: a QTcpSocket on 127.0.0.1
// that sends packets and cuts the received stream into packets. It expects a
// clean stream: the recorder's stream faults are met by the soak and the
// noisy_stream scenario, and a header that announces less than a packet
// stops the reading, a fault the test then sees.

#include <QByteArray>
#include <QTcpSocket>
#include <QTest>
#include <optional>
#include <vector>

#include "link/DefaultCredentials.h"
#include "link/PacketFormat.h"

struct ReceivedPacket {
  wire::PacketHeader header;
  wire::PacketInfo info;
  std::vector<std::uint8_t> payload;
};

class SimTestClient {
 public:
  static constexpr int kWaitMs = 3000;

  bool Connect(quint16 port) {
    m_socket.connectToHost(QHostAddress(QHostAddress::LocalHost), port);
    return QTest::qWaitFor([&] { return m_socket.state() == QAbstractSocket::ConnectedState; }, kWaitMs);
  }

  void SendRaw(const std::vector<std::uint8_t>& bytes) {
    m_socket.write(reinterpret_cast<const char*>(bytes.data()), static_cast<qint64>(bytes.size()));
    m_socket.flush();
  }

  void Send(std::uint32_t dataType, const wire::PacketInfo& info = {}, std::span<const std::uint8_t> payload = {},
            wire::PacketClass cls = wire::PacketClass::Command) {
    SendRaw(wire::BuildPacket(wire::MakeMagic(wire::kMagic12), cls, dataType, info, payload));
  }

  std::optional<ReceivedPacket> Login(const char* user = kDefaultUserId, const char* password = kDefaultPassword) {
    SendRaw(wire::BuildLoginPacket(user, password));
    return WaitFor(wire::DATATYPE_LOGIN_REPLY);
  }

  void RequestLive(std::uint32_t mask, std::uint32_t firstChannel = 1) {
    wire::PacketInfo info;
    info.w[1] = firstChannel;
    info.w[2] = mask;
    Send(wire::DATATYPE_LIVE_REQUEST, info);
  }

  // The next whole packet, or nothing within the wait.
  std::optional<ReceivedPacket> Next(int waitMs = kWaitMs) {
    std::optional<ReceivedPacket> packet;
    const auto poll = [&] {
      m_buffer.append(m_socket.readAll());
      packet = Take();
      return packet.has_value();
    };
    if (!QTest::qWaitFor(poll, waitMs)) poll();  // one last look once the wait is over
    return packet;
  }

  std::optional<ReceivedPacket> WaitFor(std::uint32_t dataType, int waitMs = kWaitMs) {
    QElapsedTimer timer;
    timer.start();
    while (timer.elapsed() < waitMs) {
      auto p = Next(static_cast<int>(waitMs - timer.elapsed()));
      if (p && p->header.dataType == dataType) return p;
    }
    return std::nullopt;
  }

  bool WaitForDisconnect(int waitMs = kWaitMs) {
    return QTest::qWaitFor([&] { return m_socket.state() == QAbstractSocket::UnconnectedState; }, waitMs);
  }

 private:
  std::optional<ReceivedPacket> Take() {
    if (static_cast<std::size_t>(m_buffer.size()) < wire::kPacketBaseSize) return std::nullopt;
    const auto* data = reinterpret_cast<const std::uint8_t*>(m_buffer.constData());
    const auto header = wire::PacketHeader::Decode(data);
    if (header.totalLength < wire::kPacketBaseSize || static_cast<std::uint32_t>(m_buffer.size()) < header.totalLength)
      return std::nullopt;
    ReceivedPacket p;
    p.header = header;
    p.info = wire::PacketInfo::Decode(data + wire::kHeaderSize);
    p.payload.assign(data + wire::kPacketBaseSize, data + header.totalLength);
    m_buffer.remove(0, header.totalLength);
    return p;
  }

  QTcpSocket m_socket;
  QByteArray m_buffer;
};
