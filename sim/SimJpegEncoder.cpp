#include "sim/SimJpegEncoder.h"

#include <turbojpeg.h>

SimJpegEncoder::SimJpegEncoder() : m_handle(tjInitCompress()) {}

SimJpegEncoder::~SimJpegEncoder() {
  if (m_buffer) tjFree(m_buffer);
  if (m_handle) tjDestroy(static_cast<tjhandle>(m_handle));
}

std::vector<std::uint8_t> SimJpegEncoder::Encode(const QImage& image, int quality) {
  if (!m_handle || image.isNull()) return {};
  const QImage rgb = image.format() == QImage::Format_RGB888 ? image : image.convertToFormat(QImage::Format_RGB888);
  const unsigned long worst = tjBufSize(rgb.width(), rgb.height(), TJSAMP_420);
  if (worst == static_cast<unsigned long>(-1)) return {};
  if (worst > m_bufferSize) {
    if (m_buffer) tjFree(m_buffer);
    m_buffer = tjAlloc(static_cast<int>(worst));
    m_bufferSize = m_buffer ? worst : 0;
    if (!m_buffer) return {};
  }
  unsigned long size = m_bufferSize;
  const int rc = tjCompress2(static_cast<tjhandle>(m_handle), rgb.constBits(), rgb.width(),
                             static_cast<int>(rgb.bytesPerLine()), rgb.height(), TJPF_RGB, &m_buffer, &size, TJSAMP_420,
                             quality, TJFLAG_FASTDCT | TJFLAG_NOREALLOC);
  if (rc != 0) return {};
  return std::vector<std::uint8_t>(m_buffer, m_buffer + size);
}
