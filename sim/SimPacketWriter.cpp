#include "sim/SimPacketWriter.h"

#include <QTcpSocket>

SimPacketWriter::SimPacketWriter(QTcpSocket* socket, const SimFaults& faults, QObject* parent)
    : QObject(parent), m_socket(socket), m_faults(faults) {
  m_gatherTimer.setSingleShot(true);
  m_gatherTimer.setInterval(kCoalesceWaitMs);
  connect(&m_gatherTimer, &QTimer::timeout, this, &SimPacketWriter::Flush);
}

qint64 SimPacketWriter::Backlog() const { return m_socket->bytesToWrite() + m_gathered.size(); }

QByteArray SimPacketWriter::Garbage() {
  // Xorshift noise; a 'D' could begin a magic text, so there is none.
  auto next = [this] {
    m_noise ^= m_noise << 13;
    m_noise ^= m_noise >> 17;
    m_noise ^= m_noise << 5;
    return m_noise;
  };
  const int length = 1 + static_cast<int>(next() % kMaxGarbageBytes);
  QByteArray bytes(length, '\0');
  for (char& c : bytes) {
    c = static_cast<char>(next() & 0xFF);
    if (c == 'D') c = 'd';
  }
  return bytes;
}

bool SimPacketWriter::Send(const std::vector<std::uint8_t>& packet) {
  if (m_silent || m_socket->state() != QAbstractSocket::ConnectedState) return false;
  QByteArray bytes;
  if (m_faults.garbage && m_packetsSent > 0) bytes += Garbage();
  bytes.append(reinterpret_cast<const char*>(packet.data()), static_cast<qsizetype>(packet.size()));
  ++m_packetsSent;
  if (m_faults.coalesce) {
    m_gathered += bytes;
    if (++m_gatheredPackets >= kCoalescePackets) {
      Flush();
    } else if (!m_gatherTimer.isActive()) {
      m_gatherTimer.start();
    }
    return true;
  }
  Write(bytes);
  return true;
}

void SimPacketWriter::SendPartAndClose(const std::vector<std::uint8_t>& packet, std::size_t part) {
  Flush();
  part = std::min(part, packet.size());
  Write(QByteArray(reinterpret_cast<const char*>(packet.data()), static_cast<qsizetype>(part)));
  m_socket->flush();
  m_socket->disconnectFromHost();  // after the bytes already written
}

void SimPacketWriter::Flush() {
  m_gatherTimer.stop();
  if (m_gathered.isEmpty()) return;
  const QByteArray bytes = m_gathered;
  m_gathered.clear();
  m_gatheredPackets = 0;
  if (!m_silent) Write(bytes);
}

void SimPacketWriter::Write(const QByteArray& bytes) {
  if (m_socket->state() != QAbstractSocket::ConnectedState) return;
  m_bytesWritten += static_cast<quint64>(bytes.size());
  if (m_faults.splitBytes <= 0) {
    m_socket->write(bytes);
    m_socket->flush();  // one packet (or one gathered group) per send
    return;
  }
  // Each piece goes to the network on its own.
  for (qsizetype at = 0; at < bytes.size(); at += m_faults.splitBytes) {
    m_socket->write(bytes.mid(at, m_faults.splitBytes));
    m_socket->flush();
  }
}
