#include "link/StreamAssembler.h"

#include <algorithm>
#include <cstring>

namespace {

// Position of the first "DVR PACKET" in [from, size), or size.
std::size_t FindMagic(const std::uint8_t* data, std::size_t from, std::size_t size) {
  const auto* magic = reinterpret_cast<const std::uint8_t*>(wire::kMagicText.data());
  const auto* end = data + size;
  const auto* hit = std::search(data + from, end, magic, magic + wire::kMagicText.size());
  return static_cast<std::size_t>(hit - data);
}

// Length of the longest tail of data[0..size) that could be the start of a magic.
std::size_t MagicPrefixAtEnd(const std::uint8_t* data, std::size_t size) {
  const std::size_t longest = std::min(size, wire::kMagicText.size() - 1);
  for (std::size_t n = longest; n > 0; --n) {
    if (std::memcmp(data + size - n, wire::kMagicText.data(), n) == 0) return n;
  }
  return 0;
}

}  // namespace

void StreamAssembler::Begin(const std::uint8_t* data, std::size_t size) {
  m_startedInThisRead = false;
  if (m_partialSize > 0) {
    // A header began in the previous read: walk it joined with the new bytes.
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
  const std::size_t available = m_size - m_pos;
  if (m_remaining > 0) {
    const std::size_t n = std::min<std::size_t>(m_remaining, available);
    piece = {m_skipping ? PieceKind::Skipped : PieceKind::Payload, m_data + m_pos, n};
    m_pos += n;
    m_remaining -= static_cast<std::uint32_t>(n);
    if (m_remaining == 0) m_skipping = false;
    return true;
  }
  return TakeHeader(piece);
}

bool StreamAssembler::TakeHeader(Piece& piece) {
  const std::size_t magicAt = FindMagic(m_data, m_pos, m_size);
  if (magicAt > m_pos) {
    std::size_t end = magicAt;
    if (magicAt == m_size) {
      // Keep a tail that may be the first bytes of a magic cut by the read.
      const std::size_t keep = MagicPrefixAtEnd(m_data + m_pos, m_size - m_pos);
      end = m_size - keep;
      if (keep > 0) {
        std::copy(m_data + end, m_data + m_size, m_partial.begin());
        m_partialSize = keep;
      }
      if (end == m_pos) {
        m_pos = m_size;
        return false;
      }
    }
    piece = {PieceKind::Garbage, m_data + m_pos, end - m_pos};
    m_pos = (magicAt == m_size) ? m_size : end;
    return true;
  }

  const std::size_t available = m_size - m_pos;
  if (available < wire::kPacketBaseSize) {
    std::copy(m_data + m_pos, m_data + m_size, m_partial.begin());
    m_partialSize = available;
    m_pos = m_size;
    return false;
  }

  const std::uint8_t* base = m_data + m_pos;
  const wire::PacketHeader header = wire::PacketHeader::Decode(base);
  if (!wire::IsAcceptableLength(header.totalLength) || !wire::IsValidPacketClass(header.packetClass)) {
    // Not a header to trust: step past its magic and look for the next one.
    piece = {PieceKind::Rejected, base, 1};
    m_pos += 1;
    return true;
  }
  piece = {PieceKind::PacketStart, base, wire::kPacketBaseSize};
  m_pos += wire::kPacketBaseSize;
  m_remaining = header.totalLength - static_cast<std::uint32_t>(wire::kPacketBaseSize);
  m_skipping = false;
  m_startedInThisRead = true;
  return true;
}

void StreamAssembler::Reset() {
  m_data = nullptr;
  m_size = m_pos = 0;
  m_remaining = 0;
  m_skipping = false;
  m_startedInThisRead = false;
  m_partialSize = 0;
}
