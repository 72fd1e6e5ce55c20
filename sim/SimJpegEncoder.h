#pragma once
// Compresses pictures to baseline JPEG (JFIF) with libjpeg-turbo, into one
// output buffer kept for the encoder's life (sized for the worst case).

#include <QImage>
#include <cstdint>
#include <vector>

class SimJpegEncoder {
 public:
  SimJpegEncoder();
  ~SimJpegEncoder();
  SimJpegEncoder(const SimJpegEncoder&) = delete;
  SimJpegEncoder& operator=(const SimJpegEncoder&) = delete;

  // Empty on failure. RGB888 pictures are read in place; others are converted first.
  std::vector<std::uint8_t> Encode(const QImage& image, int quality);

 private:
  void* m_handle = nullptr;  // tjhandle
  unsigned char* m_buffer = nullptr;  // from tjAlloc
  unsigned long m_bufferSize = 0;
};
