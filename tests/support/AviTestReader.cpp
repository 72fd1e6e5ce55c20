#include <QFile>
#include <QProcess>
#include <QStandardPaths>

#include <algorithm>

#include "support/AviTestReader.h"

namespace avitest {

bool AviTestReader::Load(const QString& path) {
  QFile f(path);
  if (!f.open(QIODevice::ReadOnly)) {
    m_error = "cannot open";
    return false;
  }
  m_bytes = f.readAll();
  m_top.clear();
  m_error.clear();
  return Walk(0, static_cast<std::uint64_t>(m_bytes.size()), m_top, 0);
}

// Every chunk must end within its parent, and the chunks must fill it.
bool AviTestReader::Walk(std::uint64_t begin, std::uint64_t end, std::vector<Chunk>& out, int depth) {
  std::uint64_t pos = begin;
  while (pos + 8 <= end) {
    Chunk c{FourCc(pos), {}, pos, U32(pos + 4), {}};
    const std::uint64_t dataEnd = pos + 8 + c.size;
    if (dataEnd > end) {
      m_error = "chunk " + c.id + " at " + std::to_string(pos) + " runs past its parent";
      return false;
    }
    if ((c.id == "RIFF" || c.id == "LIST") && c.size >= 4) {
      c.listType = FourCc(pos + 8);
      if (depth < 4 && !Walk(pos + 12, dataEnd, c.children, depth + 1)) return false;
    }
    pos = dataEnd + (c.size & 1);
    out.push_back(std::move(c));
  }
  if (pos != end) m_error = "trailing bytes at " + std::to_string(pos);
  return pos == end;
}

const Chunk* AviTestReader::FindPath(const std::vector<std::string>& path) const {
  const Chunk* c = m_top.empty() ? nullptr : &m_top.front();
  for (std::size_t i = 0; c && i < path.size(); ++i) {
    const auto named = [&](const Chunk& child) { return child.id == path[i] || child.listType == path[i]; };
    const auto it = std::find_if(c->children.begin(), c->children.end(), named);
    c = it == c->children.end() ? nullptr : &*it;
  }
  return c;
}

std::vector<IndexedChunk> AviTestReader::LegacyIndex() const {
  constexpr std::uint32_t kKeyFrame = 0x10;
  std::vector<IndexedChunk> out;
  const Chunk* idx = FindPath({"idx1"});
  const Chunk* movi = FindPath({"movi"});
  if (!idx || !movi) return out;
  // Entries of id, flags, offset from the 'movi' list type, size.
  for (std::uint64_t o = idx->DataOffset(); o + 16 <= idx->DataOffset() + idx->size; o += 16)
    out.push_back({movi->DataOffset() + U32(o + 8) + 8, U32(o + 12), (U32(o + 4) & kKeyFrame) != 0});
  return out;
}

std::vector<IndexedChunk> AviTestReader::OpenDmlIndex() const {
  constexpr std::uint32_t kDeltaFrame = 0x80000000u;  // the top bit of an entry's size
  std::vector<IndexedChunk> out;
  const Chunk* indx = FindPath({"hdrl", "strl", "indx"});
  if (!indx) return out;
  const std::uint64_t d = indx->DataOffset();
  for (std::uint32_t i = 0; i < U32(d + 4); ++i) {
    // An 'ix00' chunk: entry count at 12, base offset at 20, entries of offset and size from 32.
    const std::uint64_t ix = U64(d + 24 + 16ull * i);
    for (std::uint32_t k = 0; k < U32(ix + 12); ++k) {
      const std::uint64_t e = ix + 32 + 8ull * k;
      out.push_back({U64(ix + 20) + U32(e), U32(e + 4) & ~kDeltaFrame, (U32(e + 4) & kDeltaFrame) == 0});
    }
  }
  return out;
}

QMap<QString, QString> Probe(const QString& path) {
  QMap<QString, QString> fields;
  const QString ffprobe = QStandardPaths::findExecutable("ffprobe");
  if (ffprobe.isEmpty()) return fields;
  QProcess p;
  p.start(ffprobe, {"-v", "error", "-count_packets", "-count_frames", "-select_streams", "v:0", "-show_entries",
                    "stream=codec_name,width,height,pix_fmt,nb_read_packets,nb_read_frames:format=duration",
                    "-of", "default=noprint_wrappers=1", path});
  const bool finished = p.waitForFinished(60000) && p.exitStatus() == QProcess::NormalExit;
  fields["exit"] = QString::number(finished ? p.exitCode() : -1);
  fields["errors"] = QString::fromUtf8(p.readAllStandardError());
  for (const QString& line : QString::fromUtf8(p.readAllStandardOutput()).split('\n', Qt::SkipEmptyParts)) {
    const qsizetype eq = line.indexOf('=');
    if (eq > 0) fields[line.left(eq)] = line.mid(eq + 1).trimmed();
  }
  return fields;
}

}  // namespace avitest
