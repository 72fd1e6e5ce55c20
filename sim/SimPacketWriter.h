#pragma once
// Hands whole packets to the client's socket, and on request spoils the way
// they travel: stray bytes between packets, packets cut into small writes,
// several packets per write, or nothing at all.

#include <QByteArray>
#include <QObject>
#include <QTimer>
#include <cstdint>
#include <vector>

#include "sim/SimOptions.h"

class QTcpSocket;

class SimPacketWriter : public QObject {
  Q_OBJECT

 public:
  static constexpr int kCoalescePackets = 3;      // packets gathered into one write
  static constexpr int kCoalesceWaitMs = 20;      // longest a gathered packet waits
  static constexpr int kMaxGarbageBytes = 48;

  SimPacketWriter(QTcpSocket* socket, const SimFaults& faults, QObject* parent = nullptr);

  // Sends one packet; returns false when silent (nothing was sent).
  bool Send(const std::vector<std::uint8_t>& packet);
  // Sends only the first part of a packet, then closes the connection.
  void SendPartAndClose(const std::vector<std::uint8_t>& packet, std::size_t part);
  // Writes out packets gathered for one write.
  void Flush();
  // Bytes accepted but not yet handed to the network.
  qint64 Backlog() const;

  void SetSilent(bool silent) { m_silent = silent; }
  bool IsSilent() const { return m_silent; }
  quint64 BytesWritten() const { return m_bytesWritten; }

 private:
  void Write(const QByteArray& bytes);
  QByteArray Garbage();

  QTcpSocket* m_socket;
  SimFaults m_faults;
  bool m_silent = false;
  quint64 m_packetsSent = 0;
  quint64 m_bytesWritten = 0;
  std::uint32_t m_noise = 0x2545F491u;
  QByteArray m_gathered;
  int m_gatheredPackets = 0;
  QTimer m_gatherTimer;
};
