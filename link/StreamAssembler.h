#pragma once
// Cuts the received byte stream into packets. Each socket read is walked as a
// sequence of pieces: a packet start (the 60 bytes of header and info block),
// bytes of the payload that start announced, or bytes skipped because they
// belong to no packet or to a packet the link chose to drop. A header may be
// split over reads; bytes that are not a header are skipped up to the next
// "DVR PACKET" magic.

#include <array>
#include <cstddef>
#include <cstdint>
#include <vector>

#include "link/PacketFormat.h"

class StreamAssembler {
 public:
  enum class PieceKind {
    PacketStart,  // data points at the 60 base bytes of a valid header
    Payload,      // bytes of the current packet's payload
    Skipped,      // the rest of a dropped packet
    Garbage,      // bytes between packets that are not a header
    Rejected,     // a header with an unusable length or class (60 bytes consumed up to the resync)
  };
  struct Piece {
    PieceKind kind = PieceKind::Garbage;
    const std::uint8_t* data = nullptr;
    std::size_t size = 0;
  };

  // Starts walking one read; the bytes must stay valid until Next returns false.
  void Begin(const std::uint8_t* data, std::size_t size);
  bool Next(Piece& piece);

  // Drops the payload bytes still to come for the current packet.
  void SkipRestOfPacket() { m_skipping = m_remaining > 0; }
  // Payload bytes of the current packet not yet seen.
  std::uint32_t PayloadRemaining() const { return m_remaining; }
  // True when the current packet's header arrived in the read being walked.
  bool StartedInThisRead() const { return m_startedInThisRead; }
  // Forgets any partial header and pending payload (a new connection).
  void Reset();

 private:
  bool TakeHeader(Piece& piece);

  const std::uint8_t* m_data = nullptr;
  std::size_t m_size = 0;
  std::size_t m_pos = 0;
  std::uint32_t m_remaining = 0;
  bool m_skipping = false;
  bool m_startedInThisRead = false;
  std::array<std::uint8_t, wire::kPacketBaseSize> m_partial{};
  std::size_t m_partialSize = 0;
  std::vector<std::uint8_t> m_joined;  // a split header joined with the next read
};
