#include <QFile>
#include <QProcess>
#include <QStandardPaths>

#include "support/AviTestReader.h"

namespace avitest {

const Chunk* Chunk::Find(const std::string& idOrList) const {
  for (const Chunk& c : children)
    if (c.id == idOrList || c.listType == idOrList) return &c;
  return nullptr;
}

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

std::uint16_t AviTestReader::U16(std::uint64_t o) const {
  if (o + 2 > static_cast<std::uint64_t>(m_bytes.size())) return 0;
  const auto* p = reinterpret_cast<const unsigned char*>(m_bytes.constData()) + o;
  return static_cast<std::uint16_t>(p[0] | p[1] << 8);
}

std::uint32_t AviTestReader::U32(std::uint64_t o) const {
  return static_cast<std::uint32_t>(U16(o)) | static_cast<std::uint32_t>(U16(o + 2)) << 16;
}

std::uint64_t AviTestReader::U64(std::uint64_t o) const {
  return static_cast<std::uint64_t>(U32(o)) | static_cast<std::uint64_t>(U32(o + 4)) << 32;
}

std::string AviTestReader::FourCc(std::uint64_t o) const {
  if (o + 4 > static_cast<std::uint64_t>(m_bytes.size())) return {};
  return std::string(m_bytes.constData() + o, 4);
}

bool AviTestReader::Walk(std::uint64_t begin, std::uint64_t end, std::vector<Chunk>& out, int depth) {
  std::uint64_t pos = begin;
  while (pos + 8 <= end) {
    Chunk c;
    c.offset = pos;
    c.id = FourCc(pos);
    c.size = U32(pos + 4);
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
  if (pos != end) {
    m_error = "trailing bytes at " + std::to_string(pos);
    return false;
  }
  return true;
}

const Chunk* AviTestReader::FindPath(const std::vector<std::string>& path) const {
  if (m_top.empty()) return nullptr;
  const Chunk* c = &m_top.front();
  for (const std::string& p : path) {
    c = c->Find(p);
    if (!c) return nullptr;
  }
  return c;
}

std::vector<IndexedChunk> AviTestReader::LegacyIndex() const {
  std::vector<IndexedChunk> out;
  const Chunk* idx = FindPath({"idx1"});
  const Chunk* movi = FindPath({"movi"});
  if (!idx || !movi) return out;
  const std::uint64_t moviType = movi->offset + 8;
  for (std::uint64_t o = idx->DataOffset(); o + 16 <= idx->DataOffset() + idx->size; o += 16) {
    IndexedChunk e;
    e.dataOffset = moviType + U32(o + 8) + 8;
    e.size = U32(o + 12);
    out.push_back(e);
  }
  return out;
}

std::vector<IndexedChunk> AviTestReader::OpenDmlIndex() const {
  std::vector<IndexedChunk> out;
  const Chunk* indx = FindPath({"hdrl", "strl", "indx"});
  if (!indx) return out;
  const std::uint64_t d = indx->DataOffset();
  const std::uint32_t used = U32(d + 4);
  for (std::uint32_t i = 0; i < used; ++i) {
    const std::uint64_t ix = U64(d + 24 + 16ull * i);
    const std::uint32_t entries = U32(ix + 8 + 4);
    const std::uint64_t base = U64(ix + 8 + 12);
    for (std::uint32_t k = 0; k < entries; ++k) {
      const std::uint64_t e = ix + 8 + 24 + 8ull * k;
      IndexedChunk c;
      c.dataOffset = base + U32(e);
      c.size = U32(e + 4) & 0x7FFFFFFFu;  // the top bit marks a delta frame
      out.push_back(c);
    }
  }
  return out;
}

ProbeResult Probe(const QString& path) {
  ProbeResult r;
  const QString ffprobe = QStandardPaths::findExecutable("ffprobe");
  if (ffprobe.isEmpty()) return r;
  r.available = true;
  QProcess p;
  p.start(ffprobe, {"-v", "error", "-count_packets", "-count_frames", "-select_streams", "v:0", "-show_entries",
                    "stream=codec_name,width,height,pix_fmt,nb_read_packets,nb_read_frames:format=duration",
                    "-of", "default=noprint_wrappers=1", path});
  if (!p.waitForFinished(60000) || p.exitStatus() != QProcess::NormalExit) return r;
  r.exitCode = p.exitCode();
  r.errors = QString::fromUtf8(p.readAllStandardError());
  for (const QString& line : QString::fromUtf8(p.readAllStandardOutput()).split('\n', Qt::SkipEmptyParts)) {
    const qsizetype eq = line.indexOf('=');
    if (eq <= 0) continue;
    const QString key = line.left(eq);
    const QString value = line.mid(eq + 1).trimmed();
    if (key == "codec_name") r.codec = value;
    else if (key == "pix_fmt") r.pixelFormat = value;
    else if (key == "width") r.width = value.toInt();
    else if (key == "height") r.height = value.toInt();
    else if (key == "nb_read_packets") r.packets = value.toInt();
    else if (key == "nb_read_frames") r.frames = value.toInt();
    else if (key == "duration") r.duration = value.toDouble();
  }
  return r;
}

}  // namespace avitest
