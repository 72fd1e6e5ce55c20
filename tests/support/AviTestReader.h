#pragma once
// Reads an AVI file back for tests: the chunk tree, the header fields and
// the frames as each index (legacy 'idx1', OpenDML 'indx' -> 'ix00') finds
// them; and what ffprobe reads of it.

#include <QByteArray>
#include <QMap>
#include <QString>
#include <QtEndian>
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

  std::uint64_t DataOffset() const { return offset + 8; }
};

// One indexed chunk: the data position in the file, its size and whether the index marks it a key frame.
struct IndexedChunk {
  std::uint64_t dataOffset = 0;
  std::uint32_t size = 0;
  bool keyFrame = false;
};

class AviTestReader {
 public:
  bool Load(const QString& path);
  const std::vector<Chunk>& Top() const { return m_top; }  // the RIFF chunks
  const std::string& Error() const { return m_error; }

  std::uint32_t U32(std::uint64_t offset) const { return Read<std::uint32_t>(offset); }
  std::uint64_t U64(std::uint64_t offset) const { return Read<std::uint64_t>(offset); }
  std::string FourCc(std::uint64_t offset) const { return m_bytes.mid(static_cast<qsizetype>(offset), 4).toStdString(); }

  // A chunk by child ids or list types from the first RIFF, e.g. {"hdrl", "avih"}.
  const Chunk* FindPath(const std::vector<std::string>& path) const;
  std::vector<IndexedChunk> LegacyIndex() const;   // 'idx1' entries, resolved to file offsets
  std::vector<IndexedChunk> OpenDmlIndex() const;  // every 'ix00' the super index names
  QByteArray DataAt(const IndexedChunk& c) const { return m_bytes.mid(static_cast<qsizetype>(c.dataOffset), c.size); }

 private:
  template <typename T>
  T Read(std::uint64_t offset) const {
    if (offset + sizeof(T) > static_cast<std::uint64_t>(m_bytes.size())) return 0;
    return qFromLittleEndian<T>(m_bytes.constData() + offset);
  }
  bool Walk(std::uint64_t begin, std::uint64_t end, std::vector<Chunk>& out, int depth);

  QByteArray m_bytes;
  std::vector<Chunk> m_top;
  std::string m_error;
};

// What ffprobe reads of the first video stream, by its field names
// (codec_name, nb_read_frames, duration ...), with "exit" and "errors" of the
// run; empty when ffprobe is not installed.
QMap<QString, QString> Probe(const QString& path);

}  // namespace avitest
