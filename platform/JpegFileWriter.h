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
  // The file is written under a temporary name and named when complete; an
  // existing file keeps its name and the new one gets a number (PendingFile).
  // Returns the name written, empty when encoding or writing failed (then no
  // file is left behind).
  static QString Write(const QString& fileName, const std::uint8_t* bgr, int width, int height, int pitch,
                       bool bottomUp, int quality = kDefaultQuality);
};
