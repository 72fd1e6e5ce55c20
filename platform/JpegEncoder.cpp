#include "platform/JpegEncoder.h"

#include <turbojpeg.h>

JpegEncoder::JpegEncoder() : m_handle(tjInitCompress()) {}

JpegEncoder::~JpegEncoder() {
  if (m_buffer) tjFree(m_buffer);
  if (m_handle) tjDestroy(m_handle);
}

bool JpegEncoder::Encode(const std::uint8_t* bgr, int width, int height, int pitch, bool bottomUp, int quality) {
  m_size = 0;
  if (!m_handle || !bgr || width <= 0 || height <= 0) return false;
  unsigned long size = 0;
  const int rc = tjCompress2(m_handle, bgr, width, pitch, height, TJPF_BGR, &m_buffer, &size, TJSAMP_420, quality,
                             bottomUp ? TJFLAG_BOTTOMUP : 0);
  if (rc != 0 || !m_buffer) return false;
  m_size = size;
  return true;
}
