#pragma once
// Cuts the received byte stream into packets. Each socket read is walked as a
// sequence of pieces: a packet start (the 60 bytes of header and info block),
// bytes of the payload that start announced, or bytes that belong to no
// packet. A header may be split over reads. A header is found by its magic
// text: "DVR PACKET" anywhere in its first 28 bytes before the first zero byte
// (so "NDVR PACKET2.0" is a header too).
//
// A wrong announced length costs only its own packet: a whole header of a type
// the recorder sends, found where that packet's payload was expected, ends the
// payload there. Such a header must look like one in every field (magic text
// zero-padded to 16 bytes, usable length and class, known type), so picture
// bytes that merely contain the magic text stay picture bytes. A header split
// over two reads inside such a payload is not seen; the next whole one is.
// Likewise a packet start shorter than 60 bytes, followed by a whole header
// (in the same read or the next), is ignored rather than completed with the
// bytes of the packet after it.

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
    Rejected,     // a header with an unusable length or class, and every byte after it up to the next header
    Cut,          // no bytes: the current packet ends early, a header came where its payload was announced
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
  // Bytes kept back from the reads so far because they may begin a header.
  std::size_t HeldBack() const { return m_partialSize; }
  // Forgets any partial header and pending payload (a new connection).
  void Reset();

 private:
  bool TakeHeader(Piece& piece);
  bool TakePayload(Piece& piece);
  // Start of the first whole, trusted header beginning in [from, to), or to.
  std::size_t FindTrustedHeader(std::size_t from, std::size_t to) const;
  // Keeps [from, end of read) for the next read.
  void HoldBack(std::size_t from);
  void Emit(Piece& piece, PieceKind kind, std::size_t end);

  const std::uint8_t* m_data = nullptr;
  std::size_t m_size = 0;
  std::size_t m_pos = 0;
  std::uint32_t m_remaining = 0;
  bool m_skipping = false;
  bool m_rejecting = false;  // after an unusable header, until the next usable one
  bool m_startedInThisRead = false;
  std::array<std::uint8_t, wire::kPacketBaseSize> m_partial{};
  std::size_t m_partialSize = 0;
  std::vector<std::uint8_t> m_joined;  // held-back bytes joined with the next read
};
