#include "platform/AviWriter.h"

#include <algorithm>
#include <array>

namespace {

constexpr std::uint32_t kAvifHasIndex = 0x10;
constexpr std::uint32_t kAvifIsInterleaved = 0x100;
constexpr std::uint32_t kAviifKeyFrame = 0x10;
constexpr std::uint32_t kStdIndexNotKeyFrame = 0x80000000u;
constexpr std::uint8_t kAviIndexOfIndexes = 0x00;
constexpr std::uint8_t kAviIndexOfChunks = 0x01;

constexpr std::uint32_t kMainHeaderSize = 56;
constexpr std::uint32_t kStreamHeaderSize = 56;
constexpr std::uint32_t kBitmapInfoHeaderSize = 40;
constexpr std::uint32_t kIndexHeaderSize = 24;  // common head of 'indx' and 'ix00'
constexpr std::uint32_t kSuperIndexEntrySize = 16;
constexpr std::uint32_t kStdIndexEntrySize = 8;
constexpr std::uint32_t kLegacyIndexEntrySize = 16;
constexpr std::uint32_t kExtendedHeaderSize = 248;  // 'dmlh': total frames and reserved space
constexpr std::uint32_t kQualityDefault = 0xFFFFFFFFu;
constexpr std::uint64_t kChunkHeader = 8;

constexpr std::uint32_t FourCc(const char (&s)[5]) {
  return static_cast<std::uint32_t>(static_cast<unsigned char>(s[0])) |
         static_cast<std::uint32_t>(static_cast<unsigned char>(s[1])) << 8 |
         static_cast<std::uint32_t>(static_cast<unsigned char>(s[2])) << 16 |
         static_cast<std::uint32_t>(static_cast<unsigned char>(s[3])) << 24;
}

const std::uint32_t kVideoChunkId = FourCc("00db");

// Little-endian byte builder for headers and indexes.
class Bytes {
 public:
  Bytes& U8(std::uint8_t v) {
    m_data.push_back(v);
    return *this;
  }
  Bytes& U16(std::uint16_t v) { return U8(static_cast<std::uint8_t>(v)).U8(static_cast<std::uint8_t>(v >> 8)); }
  Bytes& U32(std::uint32_t v) { return U16(static_cast<std::uint16_t>(v)).U16(static_cast<std::uint16_t>(v >> 16)); }
  Bytes& U64(std::uint64_t v) { return U32(static_cast<std::uint32_t>(v)).U32(static_cast<std::uint32_t>(v >> 32)); }
  Bytes& Cc(const char (&s)[5]) { return U32(FourCc(s)); }
  Bytes& Zeros(std::size_t n) {
    m_data.insert(m_data.end(), n, 0);
    return *this;
  }
  const std::uint8_t* data() const { return m_data.data(); }
  std::size_t size() const { return m_data.size(); }

 private:
  std::vector<std::uint8_t> m_data;
};

std::uint32_t StdIndexSize(std::size_t entries) {
  return static_cast<std::uint32_t>(kIndexHeaderSize + kStdIndexEntrySize * entries);
}

}  // namespace

AviWriter::AviWriter(std::uint64_t riffSizeLimit) : m_riffSizeLimit(riffSizeLimit) {}

AviWriter::~AviWriter() {
  if (IsOpen()) Close();
}

bool AviWriter::Open(const QString& path) {
  if (IsOpen()) return false;
  m_file.setFileName(path);
  if (!m_file.open(QIODevice::WriteOnly | QIODevice::Truncate)) return false;
  m_failed = false;
  m_hasStream = false;
  m_riffOpen = false;
  m_firstRiff = true;
  m_position = 0;
  m_riffEntries.clear();
  m_superIndex.clear();
  m_riffSamples = 0;
  m_firstRiffEntries = 0;
  m_frameCount = 0;
  m_totalSamples = 0;
  m_totalDataBytes = 0;
  m_largestChunk = 0;
  return true;
}

bool AviWriter::WriteBytes(const void* data, std::size_t size) {
  if (m_failed) return false;
  if (size == 0) return true;
  const qint64 written = m_file.write(static_cast<const char*>(data), static_cast<qint64>(size));
  if (written != static_cast<qint64>(size)) {
    m_failed = true;
    return false;
  }
  m_position += size;
  return true;
}

bool AviWriter::PatchU32(std::uint64_t position, std::uint32_t value) {
  if (m_failed) return false;
  Bytes b;
  b.U32(value);
  if (!m_file.seek(static_cast<qint64>(position)) || m_file.write(reinterpret_cast<const char*>(b.data()), 4) != 4) {
    m_failed = true;
    return false;
  }
  return true;
}

bool AviWriter::CreateVideoStream(const AviVideoFormat& format) {
  if (!IsOpen() || m_hasStream || m_failed) return false;
  if (format.width <= 0 || format.height <= 0 || format.bitCount == 0 || format.scale == 0 || format.rate == 0)
    return false;
  m_format = format;
  if (m_format.suggestedBufferSize == 0) m_format.suggestedBufferSize = m_format.ImageSize();
  m_hasStream = true;
  return WriteHeaders() && BeginRiff(true);
}

// The header lists; counts and lengths are placeholders patched by Close().
bool AviWriter::WriteHeaders() {
  const bool stream = m_hasStream;
  const std::uint32_t indxSize = kIndexHeaderSize + kSuperIndexEntrySize * kSuperIndexEntries;
  const std::uint32_t strlSize = 4 + static_cast<std::uint32_t>(kChunkHeader) * 3 + kStreamHeaderSize +
                                 kBitmapInfoHeaderSize + indxSize;
  const std::uint32_t odmlSize = 4 + static_cast<std::uint32_t>(kChunkHeader) + kExtendedHeaderSize;
  std::uint32_t hdrlSize = 4 + static_cast<std::uint32_t>(kChunkHeader) + kMainHeaderSize;
  if (stream) hdrlSize += static_cast<std::uint32_t>(kChunkHeader) * 2 + strlSize + odmlSize;

  const std::uint32_t microSecPerFrame =
      stream ? static_cast<std::uint32_t>(1000000ull * m_format.scale / m_format.rate) : 0;
  Bytes h;
  h.Cc("RIFF").U32(0).Cc("AVI ");
  h.Cc("LIST").U32(hdrlSize).Cc("hdrl");
  h.Cc("avih").U32(kMainHeaderSize);
  m_avihPos = m_position + h.size();
  h.U32(microSecPerFrame)
      .U32(0)  // max bytes per second, patched
      .U32(0)  // padding granularity
      .U32(kAvifHasIndex | kAvifIsInterleaved)
      .U32(0)  // total frames of the first RIFF, patched
      .U32(0)  // initial frames
      .U32(stream ? 1 : 0)
      .U32(stream ? m_format.suggestedBufferSize : 0)
      .U32(stream ? static_cast<std::uint32_t>(m_format.width) : 0)
      .U32(stream ? static_cast<std::uint32_t>(m_format.height) : 0)
      .Zeros(16);
  if (stream) {
    h.Cc("LIST").U32(strlSize).Cc("strl");
    h.Cc("strh").U32(kStreamHeaderSize);
    m_strhPos = m_position + h.size();
    h.Cc("vids")
        .U32(m_format.compression)  // handler
        .U32(0)  // flags
        .U16(0)  // priority
        .U16(0)  // language
        .U32(0)  // initial frames
        .U32(m_format.scale)
        .U32(m_format.rate)
        .U32(0)  // start
        .U32(0)  // length in samples, patched
        .U32(m_format.suggestedBufferSize)
        .U32(kQualityDefault)
        .U32(0)  // sample size: chunks vary (empty hold chunks)
        .U16(0)
        .U16(0)
        .U16(static_cast<std::uint16_t>(m_format.width))
        .U16(static_cast<std::uint16_t>(m_format.height));
    h.Cc("strf").U32(kBitmapInfoHeaderSize);
    h.U32(kBitmapInfoHeaderSize)
        .U32(static_cast<std::uint32_t>(m_format.width))
        .U32(static_cast<std::uint32_t>(m_format.height))
        .U16(1)
        .U16(m_format.bitCount)
        .U32(m_format.compression)
        .U32(m_format.ImageSize())
        .Zeros(16);
    h.Cc("indx").U32(indxSize);
    m_indxPos = m_position + h.size();
    h.U16(4).U8(0).U8(kAviIndexOfIndexes).U32(0).U32(kVideoChunkId).Zeros(12);
    h.Zeros(static_cast<std::size_t>(kSuperIndexEntrySize) * kSuperIndexEntries);
    h.Cc("LIST").U32(odmlSize).Cc("odml");
    h.Cc("dmlh").U32(kExtendedHeaderSize);
    m_dmlhPos = m_position + h.size();
    h.Zeros(kExtendedHeaderSize);
  }
  m_riffStart = 0;
  m_riffOpen = true;
  return WriteBytes(h.data(), h.size());
}

// Opens the 'movi' list; later RIFFs first get their own 'RIFF AVIX' header.
bool AviWriter::BeginRiff(bool first) {
  Bytes b;
  if (!first) {
    if (m_superIndex.size() + 1 > kSuperIndexEntries) {
      m_failed = true;
      return false;
    }
    m_riffStart = m_position;
    b.Cc("RIFF").U32(0).Cc("AVIX");
  }
  m_moviStart = m_position + b.size();
  b.Cc("LIST").U32(0).Cc("movi");
  m_riffOpen = true;
  m_firstRiff = first;
  m_riffEntries.clear();
  m_riffSamples = 0;
  return WriteBytes(b.data(), b.size());
}

std::uint64_t AviWriter::ProjectedRiffSize(std::uint64_t extraBytes, std::size_t extraEntries) const {
  const std::size_t entries = m_riffEntries.size() + extraEntries;
  std::uint64_t size = m_position + extraBytes - (m_riffStart + kChunkHeader);
  size += kChunkHeader + StdIndexSize(entries);
  if (m_firstRiff) size += kChunkHeader + kLegacyIndexEntrySize * entries;
  return size;
}

bool AviWriter::MakeRoom(std::uint64_t bytes, std::size_t entries) {
  if (m_riffEntries.empty() || ProjectedRiffSize(bytes, entries) <= m_riffSizeLimit) return true;
  return FinishRiff() && BeginRiff(false);
}

// Empty chunks: the usual way of holding a picture for more samples.
bool AviWriter::WriteHoldChunks(std::uint32_t count) {
  Bytes hold;
  for (std::uint32_t i = 0; i < count; ++i) {
    m_riffEntries.push_back({m_position + hold.size(), 0, false});
    hold.U32(kVideoChunkId).U32(0);
  }
  if (!WriteBytes(hold.data(), hold.size())) return false;
  m_riffSamples += count;
  m_totalSamples += count;
  return true;
}

bool AviWriter::WriteFrame(const std::uint8_t* data, std::size_t size, std::uint32_t samples) {
  if (!IsOpen() || !m_hasStream || m_failed || samples == 0) return false;
  if (size > 0x7FFFFFFFu || (size > 0 && data == nullptr)) return false;
  const std::uint64_t padded = size + (size & 1);
  if (!MakeRoom(kChunkHeader + padded + kChunkHeader * (samples - 1), samples)) return false;

  Bytes head;
  head.U32(kVideoChunkId).U32(static_cast<std::uint32_t>(size));
  const std::uint64_t chunkPos = m_position;
  if (!WriteBytes(head.data(), head.size()) || !WriteBytes(data, size)) return false;
  if (size & 1) {
    const std::uint8_t pad = 0;
    if (!WriteBytes(&pad, 1)) return false;
  }
  m_riffEntries.push_back({chunkPos, static_cast<std::uint32_t>(size), true});
  ++m_riffSamples;
  ++m_totalSamples;
  if (!WriteHoldChunks(samples - 1)) return false;
  m_totalDataBytes += size;
  m_largestChunk = std::max(m_largestChunk, static_cast<std::uint32_t>(size));
  ++m_frameCount;
  return true;
}

bool AviWriter::HoldLastFrame(std::uint32_t samples) {
  if (!IsOpen() || m_frameCount == 0 || m_failed) return false;
  return MakeRoom(kChunkHeader * samples, samples) && WriteHoldChunks(samples);
}

// Ends the RIFF being written: its 'ix00' closes the 'movi' list, the first
// RIFF also gets the legacy 'idx1', and the sizes are filled in.
bool AviWriter::FinishRiff() {
  if (!m_riffOpen) return true;
  const std::uint64_t base = m_riffStart;
  if (m_hasStream) {
    Bytes ix;
    const std::uint32_t cb = StdIndexSize(m_riffEntries.size());
    const std::uint64_t ixPos = m_position;
    ix.Cc("ix00").U32(cb);
    ix.U16(2).U8(0).U8(kAviIndexOfChunks).U32(static_cast<std::uint32_t>(m_riffEntries.size()));
    ix.U32(kVideoChunkId).U64(base).U32(0);
    for (const ChunkEntry& e : m_riffEntries) {
      ix.U32(static_cast<std::uint32_t>(e.position + kChunkHeader - base));
      ix.U32(e.size | (e.keyFrame ? 0u : kStdIndexNotKeyFrame));
    }
    if (!WriteBytes(ix.data(), ix.size())) return false;
    m_superIndex.push_back({ixPos, static_cast<std::uint32_t>(kChunkHeader + cb), m_riffSamples});
  }
  const std::uint64_t moviEnd = m_position;
  if (m_firstRiff) {
    Bytes idx;
    idx.Cc("idx1").U32(static_cast<std::uint32_t>(kLegacyIndexEntrySize * m_riffEntries.size()));
    // Legacy offsets count from the 'movi' type code.
    const std::uint64_t moviType = m_moviStart + kChunkHeader;
    for (const ChunkEntry& e : m_riffEntries) {
      idx.U32(kVideoChunkId).U32(e.keyFrame ? kAviifKeyFrame : 0u);
      idx.U32(static_cast<std::uint32_t>(e.position - moviType)).U32(e.size);
    }
    if (!WriteBytes(idx.data(), idx.size())) return false;
    m_firstRiffEntries = static_cast<std::uint32_t>(m_riffEntries.size());
  }
  const std::uint64_t end = m_position;
  const bool ok = PatchU32(m_moviStart + 4, static_cast<std::uint32_t>(moviEnd - m_moviStart - kChunkHeader)) &&
                  PatchU32(m_riffStart + 4, static_cast<std::uint32_t>(end - m_riffStart - kChunkHeader)) &&
                  m_file.seek(static_cast<qint64>(end));
  if (!ok) m_failed = true;
  m_riffOpen = false;
  m_riffEntries.clear();
  return ok;
}

bool AviWriter::Close() {
  if (!IsOpen()) return false;
  if (!m_hasStream && !m_failed) {
    // No stream: the main header alone and an empty 'movi' list.
    if (WriteHeaders()) BeginRiff(true);
  }
  FinishRiff();
  if (m_hasStream && !m_failed) {
    const std::uint64_t seconds1e6 = m_totalSamples * m_format.scale * 1000000ull / m_format.rate;
    const std::uint32_t maxBytesPerSec =
        seconds1e6 ? static_cast<std::uint32_t>(std::min<std::uint64_t>(m_totalDataBytes * 1000000ull / seconds1e6, 0xFFFFFFFFu))
                   : 0;
    const std::uint32_t length = static_cast<std::uint32_t>(m_totalSamples);
    PatchU32(m_avihPos + 4, maxBytesPerSec);
    PatchU32(m_avihPos + 16, m_firstRiffEntries);
    PatchU32(m_avihPos + 28, std::max(m_format.suggestedBufferSize, m_largestChunk));
    PatchU32(m_strhPos + 32, length);
    PatchU32(m_strhPos + 36, std::max(m_format.suggestedBufferSize, m_largestChunk));
    PatchU32(m_dmlhPos, length);
    PatchU32(m_indxPos + 4, static_cast<std::uint32_t>(m_superIndex.size()));
    Bytes entries;
    for (const SuperIndexEntry& e : m_superIndex) entries.U64(e.offset).U32(e.size).U32(e.duration);
    if (!m_failed && (!m_file.seek(static_cast<qint64>(m_indxPos + kIndexHeaderSize)) ||
                      m_file.write(reinterpret_cast<const char*>(entries.data()), static_cast<qint64>(entries.size())) !=
                          static_cast<qint64>(entries.size())))
      m_failed = true;
  }
  if (!m_file.flush()) m_failed = true;
  m_file.close();
  if (m_file.error() != QFileDevice::NoError) m_failed = true;  // the close itself failed
  return !m_failed;
}
