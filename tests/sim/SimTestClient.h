#pragma once
// A raw client for the simulated recorder tests: a QTcpSocket on 127.0.0.1
// that sends packets and cuts the received stream into packets, skipping
// bytes that are not a header (as a tolerant client does).

#include <QByteArray>
#include <QTcpSocket>
#include <QTest>
#include <cstring>
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
    constexpr std::size_t kMagicLength = 10;
    while (static_cast<std::size_t>(m_buffer.size()) >= wire::kPacketBaseSize) {
      const auto* data = reinterpret_cast<const std::uint8_t*>(m_buffer.constData());
      if (std::memcmp(data, wire::kMagicText.data(), kMagicLength) != 0) {
        const qsizetype next = m_buffer.indexOf(QByteArray(wire::kMagicText.data(), kMagicLength), 1);
        const qsizetype skip = next > 0 ? next : m_buffer.size() - static_cast<qsizetype>(kMagicLength - 1);
        m_buffer.remove(0, skip);
        continue;
      }
      const auto header = wire::PacketHeader::Decode(data);
      if (!wire::IsAcceptableLength(header.totalLength) || !wire::IsValidPacketClass(header.packetClass)) {
        m_buffer.remove(0, 1);
        continue;
      }
      if (static_cast<std::uint32_t>(m_buffer.size()) < header.totalLength) return std::nullopt;
      ReceivedPacket p;
      p.header = header;
      p.info = wire::PacketInfo::Decode(data + wire::kHeaderSize);
      p.payload.assign(data + wire::kPacketBaseSize, data + header.totalLength);
      m_buffer.remove(0, header.totalLength);
      return p;
    }
    return std::nullopt;
  }

  QTcpSocket m_socket;
  QByteArray m_buffer;
};
