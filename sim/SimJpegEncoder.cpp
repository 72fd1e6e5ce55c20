#include "sim/SimJpegEncoder.h"

#include <turbojpeg.h>

#include <algorithm>

namespace {

constexpr std::uint8_t kMarker = 0xFF;
constexpr std::uint8_t kSof0 = 0xC0;
constexpr std::uint8_t kSos = 0xDA;
constexpr std::uint8_t kEoi = 0xD9;
constexpr std::uint8_t kDri = 0xDD;
constexpr std::uint8_t kRst0 = 0xD0;
constexpr int kRestartMarkers = 8;
constexpr int kMcuWidth = 16;        // 4:2:0
constexpr int kSofHeightOffset = 5;  // from the marker: FF C0, length (2), precision (1), height (2)
constexpr int kFlags = TJFLAG_FASTDCT | TJFLAG_NOREALLOC;

int BigEndian16(const std::uint8_t* p) { return p[0] << 8 | p[1]; }

// Where the marker segments of a coded picture lie: the start of SOF0, the
// start and end of the scan header. False when the stream is not as expected.
struct Layout {
  std::size_t sof = 0, sosStart = 0, sosEnd = 0;
};
bool Parse(const std::uint8_t* data, std::size_t size, Layout& layout) {
  bool sof = false;
  for (std::size_t pos = 2; pos + 4 <= size;) {
    if (data[pos] != kMarker) return false;
    const std::uint8_t marker = data[pos + 1];
    const auto length = static_cast<std::size_t>(BigEndian16(data + pos + 2));
    if (marker == kSof0) {
      layout.sof = pos;
      sof = true;
    }
    if (marker == kSos) {
      layout.sosStart = pos;
      layout.sosEnd = pos + 2 + length;
      return sof && layout.sosEnd + 2 <= size && data[size - 2] == kMarker && data[size - 1] == kEoi;
    }
    pos += 2 + length;
  }
  return false;
}

}  // namespace

SimJpegEncoder::SimJpegEncoder() : m_handle(tjInitCompress()) {}

SimJpegEncoder::~SimJpegEncoder() {
  if (m_buffer) tjFree(m_buffer);
  if (m_handle) tjDestroy(static_cast<tjhandle>(m_handle));
}

bool SimJpegEncoder::Compress(const std::uint8_t* rgb, int width, int stride, int height, int quality,
                              unsigned long& size) {
  const unsigned long worst = tjBufSize(width, height, TJSAMP_420);
  if (worst == static_cast<unsigned long>(-1)) return false;
  if (worst > m_bufferSize) {
    if (m_buffer) tjFree(m_buffer);
    m_buffer = tjAlloc(static_cast<int>(worst));
    m_bufferSize = m_buffer ? worst : 0;
    if (!m_buffer) return false;
  }
  size = m_bufferSize;
  return tjCompress2(static_cast<tjhandle>(m_handle), rgb, width, stride, height, TJPF_RGB, &m_buffer, &size,
                     TJSAMP_420, quality, kFlags) == 0;
}

std::vector<std::uint8_t> SimJpegEncoder::Encode(const QImage& image, int quality) {
  if (!m_handle || image.isNull()) return {};
  const QImage rgb = image.format() == QImage::Format_RGB888 ? image : image.convertToFormat(QImage::Format_RGB888);
  unsigned long size = 0;
  if (!Compress(rgb.constBits(), rgb.width(), static_cast<int>(rgb.bytesPerLine()), rgb.height(), quality, size)) {
    return {};
  }
  return std::vector<std::uint8_t>(m_buffer, m_buffer + size);
}

std::vector<std::uint8_t> SimJpegEncoder::CodeBand(const QImage& image, int top, int rows, int quality) {
  unsigned long size = 0;
  Layout layout;
  if (!Compress(image.constScanLine(top), image.width(), static_cast<int>(image.bytesPerLine()), rows, quality, size) ||
      !Parse(m_buffer, size, layout)) {
    return {};
  }
  if (m_header.empty() || m_headerSize != image.size() || m_headerQuality != quality) {
    // The tables are the same for every band; only the height and the restart interval differ.
    m_header.assign(m_buffer, m_buffer + layout.sosStart);
    m_header[layout.sof + kSofHeightOffset] = static_cast<std::uint8_t>(image.height() >> 8);
    m_header[layout.sof + kSofHeightOffset + 1] = static_cast<std::uint8_t>(image.height() & 0xFF);
    const int interval = (image.width() + kMcuWidth - 1) / kMcuWidth;
    m_header.insert(m_header.end(), {kMarker, kDri, 0, 4, static_cast<std::uint8_t>(interval >> 8),
                                     static_cast<std::uint8_t>(interval & 0xFF)});
    m_header.insert(m_header.end(), m_buffer + layout.sosStart, m_buffer + layout.sosEnd);
    m_headerSize = image.size();
    m_headerQuality = quality;
  }
  return std::vector<std::uint8_t>(m_buffer + layout.sosEnd, m_buffer + size - 2);
}

std::vector<std::uint8_t> SimJpegEncoder::EncodeReusing(const QImage& image, int quality, int key, quint64 generation,
                                                        std::span<const std::pair<int, int>> changedRows) {
  if (!m_handle || image.isNull() || image.format() != QImage::Format_RGB888) return Encode(image, quality);
  const int height = image.height();
  const int bands = (height + kBandRows - 1) / kBandRows;
  Kept& kept = m_kept[key];
  if (kept.generation != generation || kept.quality != quality || kept.size != image.size()) {
    kept = Kept{generation, quality, image.size(), std::vector<std::vector<std::uint8_t>>(static_cast<std::size_t>(bands))};
  }
  std::vector<std::vector<std::uint8_t>> fresh(static_cast<std::size_t>(bands));
  for (int band = 0; band < bands; ++band) {
    const int top = band * kBandRows;
    const int rows = std::min(kBandRows, height - top);
    const bool changed = std::any_of(changedRows.begin(), changedRows.end(),
                                     [&](const auto& r) { return r.first < top + rows && r.second > top; });
    auto& slot = changed ? fresh[static_cast<std::size_t>(band)] : kept.bands[static_cast<std::size_t>(band)];
    if (changed || slot.empty()) {
      slot = CodeBand(image, top, rows, quality);
      if (slot.empty()) return {};
    }
  }
  if (m_headerSize != image.size() || m_headerQuality != quality) {
    fresh[0] = CodeBand(image, 0, std::min(kBandRows, height), quality);  // the header follows
    if (fresh[0].empty()) return {};
  }
  std::vector<std::uint8_t> out(m_header);
  for (int band = 0; band < bands; ++band) {
    const auto& data = fresh[static_cast<std::size_t>(band)].empty() ? kept.bands[static_cast<std::size_t>(band)]
                                                                     : fresh[static_cast<std::size_t>(band)];
    out.insert(out.end(), data.begin(), data.end());
    if (band + 1 < bands) {
      out.push_back(kMarker);
      out.push_back(static_cast<std::uint8_t>(kRst0 + band % kRestartMarkers));
    }
  }
  out.push_back(kMarker);
  out.push_back(kEoi);
  return out;
}
