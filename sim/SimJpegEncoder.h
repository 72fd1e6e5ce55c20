#pragma once
// Compresses pictures to baseline JPEG (JFIF) with libjpeg-turbo.

#include <QImage>
#include <cstdint>
#include <vector>

class SimJpegEncoder {
 public:
  SimJpegEncoder();
  ~SimJpegEncoder();
  SimJpegEncoder(const SimJpegEncoder&) = delete;
  SimJpegEncoder& operator=(const SimJpegEncoder&) = delete;

  // Empty on failure. Any image format is accepted; it is converted to RGB first.
  std::vector<std::uint8_t> Encode(const QImage& image, int quality);

 private:
  void* m_handle = nullptr;  // tjhandle
};
