#pragma once
// Encodes BGR pictures as baseline JFIF with TurboJPEG: 3 components, YCbCr,
// chroma subsampled 2 x 2. One encoder keeps its TurboJPEG instance and its
// output buffer, so a stream of pictures encodes without allocating; it is
// used by one thread at a time.

#include <cstddef>
#include <cstdint>

class JpegEncoder {
 public:
  JpegEncoder();
  ~JpegEncoder();
  JpegEncoder(const JpegEncoder&) = delete;
  JpegEncoder& operator=(const JpegEncoder&) = delete;

  // Source rows: BGR, `pitch` bytes apart (0: width * 3), stored bottom-up
  // when bottomUp is set (as a 24-bit DIB), otherwise top-down. False when
  // the picture cannot be encoded; the bytes stay valid until the next call.
  bool Encode(const std::uint8_t* bgr, int width, int height, int pitch, bool bottomUp, int quality);
  const std::uint8_t* Data() const { return m_buffer; }
  std::size_t Size() const { return m_size; }

 private:
  void* m_handle = nullptr;
  unsigned char* m_buffer = nullptr;
  unsigned long m_capacity = 0;  // of m_buffer
  std::size_t m_size = 0;        // of the last picture
};
