#pragma once
// Reads an AVI file back for tests: the chunk tree, the header fields and
// the frames as each index (legacy 'idx1', OpenDML 'indx' -> 'ix00') finds them.

#include <QByteArray>
#include <QString>
#include <cstdint>
#include <string>
#include <vector>

namespace avitest {

struct Chunk {
  std::string id;        // 'RIFF', 'LIST' or a chunk id
  std::string listType;  // form or list type for RIFF and LIST
  std::uint64_t offset = 0;  // of the chunk header
  std::uint32_t size = 0;    // of the data (list type included)
  std::vector<Chunk> children;

  const Chunk* Find(const std::string& idOrList) const;  // first child by id or list type
  std::uint64_t DataOffset() const { return offset + 8; }
};

// One indexed chunk: the data position in the file and its size.
struct IndexedChunk {
  std::uint64_t dataOffset = 0;
  std::uint32_t size = 0;
};

class AviTestReader {
 public:
  bool Load(const QString& path);
  const std::vector<Chunk>& Top() const { return m_top; }  // the RIFF chunks
  const std::string& Error() const { return m_error; }

  std::uint32_t U32(std::uint64_t offset) const;
  std::uint16_t U16(std::uint64_t offset) const;
  std::uint64_t U64(std::uint64_t offset) const;
  std::string FourCc(std::uint64_t offset) const;

  const Chunk* FindPath(const std::vector<std::string>& path) const;  // from the first RIFF
  std::vector<IndexedChunk> LegacyIndex() const;   // 'idx1' entries, resolved to file offsets
  std::vector<IndexedChunk> OpenDmlIndex() const;  // every 'ix00' the super index names
  QByteArray DataAt(const IndexedChunk& c) const { return m_bytes.mid(static_cast<qsizetype>(c.dataOffset), c.size); }

 private:
  bool Walk(std::uint64_t begin, std::uint64_t end, std::vector<Chunk>& out, int depth);

  QByteArray m_bytes;
  std::vector<Chunk> m_top;
  std::string m_error;
};

// What ffprobe finds in the first video stream; available is false when
// ffprobe is not installed.
struct ProbeResult {
  bool available = false;
  int exitCode = -1;
  QString errors;
  QString codec;
  QString pixelFormat;
  int width = 0;
  int height = 0;
  int packets = -1;
  int frames = -1;
  double duration = 0;
};
ProbeResult Probe(const QString& path);

}  // namespace avitest
