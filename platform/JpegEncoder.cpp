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
  // A buffer of the worst-case size, kept for the next picture: TurboJPEG then never reallocates it.
  const unsigned long needed = tjBufSize(width, height, TJSAMP_420);
  if (needed == static_cast<unsigned long>(-1)) return false;
  if (m_capacity < needed) {
    tjFree(m_buffer);
    m_buffer = tjAlloc(static_cast<int>(needed));
    m_capacity = m_buffer ? needed : 0;
    if (!m_buffer) return false;
  }
  unsigned long size = m_capacity;
  const int flags = TJFLAG_NOREALLOC | (bottomUp ? TJFLAG_BOTTOMUP : 0);
  if (tjCompress2(m_handle, bgr, width, pitch, height, TJPF_BGR, &m_buffer, &size, TJSAMP_420, quality, flags) != 0)
    return false;
  m_size = size;
  return true;
}
