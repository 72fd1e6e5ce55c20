#include "link/StreamAssembler.h"

#include <algorithm>
#include <string_view>

namespace {

constexpr std::size_t kMagicTextSize = wire::kMagicText.size();
// The magic text must end within the first 28 bytes of a header ...
constexpr std::size_t kMagicReach = wire::kHeaderSize - kMagicTextSize;
// ... and, in a header the recorder writes, within its 16-byte magic field.
constexpr std::size_t kFieldReach = wire::kMagicSize - kMagicTextSize;

// Position of the first "DVR PACKET" in [from, size), or size.
std::size_t FindMagic(const std::uint8_t* data, std::size_t from, std::size_t size) {
  if (from >= size) return size;
  const std::string_view bytes(reinterpret_cast<const char*>(data), size);
  const std::size_t at = bytes.find(wire::kMagicText, from);
  return at == std::string_view::npos ? size : at;
}

// Earliest position, not before from, at which a header could begin whose
// magic text is at magicAt: no zero byte may come between them.
std::size_t EarliestStart(const std::uint8_t* data, std::size_t from, std::size_t magicAt, std::size_t reach) {
  const std::size_t limit = magicAt >= from + reach ? magicAt - reach : from;
  std::size_t start = magicAt;
  while (start > limit && data[start - 1] != 0) --start;
  return start;
}

bool IsUsableHeader(const std::uint8_t* p) {
  const wire::PacketHeader header = wire::PacketHeader::Decode(p);
  return wire::IsAcceptableLength(header.totalLength) && wire::IsValidPacketClass(header.packetClass);
}

// A header as the recorder writes it, checked in every field.
bool IsTrustedHeader(const std::uint8_t* p) {
  const std::uint8_t* fieldEnd = p + wire::kMagicSize;
  const std::uint8_t* textEnd = std::find(p, fieldEnd, std::uint8_t{0});
  if (!std::all_of(textEnd, fieldEnd, [](std::uint8_t b) { return b == 0; })) return false;
  const std::string_view text(reinterpret_cast<const char*>(p), static_cast<std::size_t>(textEnd - p));
  if (text.find(wire::kMagicText) == std::string_view::npos) return false;
  const wire::PacketHeader header = wire::PacketHeader::Decode(p);
  return IsUsableHeader(p) && wire::IsIncomingDataType(header.dataType);
}

// Length of the longest tail of [from, size), at most 27 bytes, that may be
// the beginning of a header whose magic text the read cut: one without a zero byte.
std::size_t PossibleHeaderTail(const std::uint8_t* data, std::size_t from, std::size_t size) {
  const std::size_t longest = std::min(size - from, wire::kHeaderSize - 1);
  std::size_t n = 0;
  while (n < longest && data[size - 1 - n] != 0) ++n;
  return n;
}

}  // namespace

void StreamAssembler::Begin(const std::uint8_t* data, std::size_t size) {
  m_startedInThisRead = false;
  if (m_partialSize > 0) {
    // Bytes held back from the previous read: walk them joined with the new ones.
    m_joined.assign(m_partial.begin(), m_partial.begin() + static_cast<std::ptrdiff_t>(m_partialSize));
    m_joined.insert(m_joined.end(), data, data + size);
    m_partialSize = 0;
    m_data = m_joined.data();
    m_size = m_joined.size();
  } else {
    m_data = data;
    m_size = size;
  }
  m_pos = 0;
}

bool StreamAssembler::Next(Piece& piece) {
  if (m_pos >= m_size) return false;
  return m_remaining > 0 ? TakePayload(piece) : TakeHeader(piece);
}

void StreamAssembler::Emit(Piece& piece, PieceKind kind, std::size_t end) {
  piece = {kind, m_data + m_pos, end - m_pos};
  m_pos = end;
}

void StreamAssembler::HoldBack(std::size_t from) {
  std::copy(m_data + from, m_data + m_size, m_partial.begin());
  m_partialSize = m_size - from;
  m_pos = m_size;
}

std::size_t StreamAssembler::FindTrustedHeader(std::size_t from, std::size_t to) const {
  const std::size_t searchEnd = std::min(m_size, to + kFieldReach + kMagicTextSize);
  for (std::size_t magicAt = FindMagic(m_data, from, searchEnd); magicAt < searchEnd;
       magicAt = FindMagic(m_data, magicAt + 1, searchEnd)) {
    const std::size_t last = std::min(magicAt, to - 1);
    for (std::size_t start = EarliestStart(m_data, from, magicAt, kFieldReach); start <= last; ++start) {
      if (m_size - start >= wire::kPacketBaseSize && IsTrustedHeader(m_data + start)) return start;
    }
  }
  return to;
}

bool StreamAssembler::TakePayload(Piece& piece) {
  const std::size_t end = m_pos + std::min<std::size_t>(m_remaining, m_size - m_pos);
  const std::size_t header = FindTrustedHeader(m_pos, end);
  if (header == m_pos) {
    // The announced length was wrong: the packet ends here and the header is read next.
    m_remaining = 0;
    m_skipping = false;
    piece = {PieceKind::Cut, m_data + m_pos, 0};
    return true;
  }
  const PieceKind kind = m_skipping ? PieceKind::Skipped : PieceKind::Payload;
  m_remaining -= static_cast<std::uint32_t>(header - m_pos);
  if (m_remaining == 0) m_skipping = false;
  Emit(piece, kind, header);
  return true;
}

bool StreamAssembler::TakeHeader(Piece& piece) {
  const PieceKind outside = m_rejecting ? PieceKind::Rejected : PieceKind::Garbage;
  const std::size_t magicAt = FindMagic(m_data, m_pos, m_size);
  if (magicAt == m_size) {
    const std::size_t end = m_size - PossibleHeaderTail(m_data, m_pos, m_size);
    if (end == m_pos) {
      HoldBack(m_pos);
      return false;
    }
    Emit(piece, outside, end);
    if (end < m_size) HoldBack(end);
    return true;
  }

  const std::size_t first = EarliestStart(m_data, m_pos, magicAt, kMagicReach);
  if (first > m_pos) {
    Emit(piece, outside, first);
    return true;
  }
  // Each possible start of the header, earliest first.
  for (std::size_t start = m_pos; start <= magicAt; ++start) {
    if (m_size - start < wire::kPacketBaseSize) {
      // The rest of the header is still to come.
      if (start > m_pos) {
        Emit(piece, outside, start);
      } else {
        HoldBack(start);
        return false;
      }
      return true;
    }
    if (!IsUsableHeader(m_data + start)) continue;
    if (start > m_pos) {
      Emit(piece, outside, start);
      return true;
    }
    // A whole header beginning inside these 60 bytes means the sender cut this
    // packet start short: it is ignored, and the header inside it is read next.
    const std::size_t next = FindTrustedHeader(start + 1, start + wire::kPacketBaseSize);
    if (next < start + wire::kPacketBaseSize) {
      Emit(piece, PieceKind::Rejected, next);
      return true;
    }
    const wire::PacketHeader header = wire::PacketHeader::Decode(m_data + start);
    Emit(piece, PieceKind::PacketStart, start + wire::kPacketBaseSize);
    m_remaining = header.totalLength - static_cast<std::uint32_t>(wire::kPacketBaseSize);
    m_skipping = false;
    m_rejecting = false;
    m_startedInThisRead = true;
    return true;
  }
  // A header with an unusable length or class: it and whatever follows up to
  // the next header are dropped without counting as received data.
  m_rejecting = true;
  Emit(piece, PieceKind::Rejected, magicAt + 1);
  return true;
}

void StreamAssembler::Reset() {
  m_data = nullptr;
  m_size = m_pos = 0;
  m_remaining = 0;
  m_skipping = false;
  m_rejecting = false;
  m_startedInThisRead = false;
  m_partialSize = 0;
}
