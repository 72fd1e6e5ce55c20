#pragma once
// Writes a picture as a baseline JFIF file with TurboJPEG: 3 components,
// YCbCr, chroma subsampled 2 x 2 (four luminance blocks to one block of each
// chroma component).

#include <QString>
#include <cstdint>

class JpegFileWriter {
 public:
  static constexpr int kDefaultQuality = 80;

  // Source rows: BGR, `pitch` bytes apart (0: width * 3), stored bottom-up
  // when bottomUp is set (as a 24-bit DIB), otherwise top-down.
  // Returns false when encoding or writing the file fails.
  static bool Write(const QString& fileName, const std::uint8_t* bgr, int width, int height, int pitch,
                    bool bottomUp, int quality = kDefaultQuality);
};
