#pragma once
// Compresses pictures to baseline JPEG (JFIF) with libjpeg-turbo, into one
// output buffer kept for the encoder's life (sized for the worst case).
//
// Pictures that differ from the previous one of their kind only in a few rows
// (a moving ball and a clock on a still scene) can reuse the coded rows: every
// band of 16 rows (one row of 4:2:0 blocks) is then coded on its own and the
// bands are joined with restart markers, one restart interval per band. A
// decoder restarts its DC prediction at each marker, so the joined stream
// decodes to exactly the pixels of the bands coded together.

#include <QImage>
#include <QSize>
#include <cstdint>
#include <map>
#include <span>
#include <utility>
#include <vector>

class SimJpegEncoder {
 public:
  static constexpr int kBandRows = 16;

  SimJpegEncoder();
  ~SimJpegEncoder();
  SimJpegEncoder(const SimJpegEncoder&) = delete;
  SimJpegEncoder& operator=(const SimJpegEncoder&) = delete;

  // Empty on failure. RGB888 pictures are read in place; others are converted first.
  std::vector<std::uint8_t> Encode(const QImage& image, int quality);

  // Encodes an RGB888 picture whose rows outside `changedRows` (pixel rows
  // [first, second)) equal those of the last picture given with the same key
  // and generation; their coded bands are reused. A new generation codes all.
  std::vector<std::uint8_t> EncodeReusing(const QImage& image, int quality, int key, quint64 generation,
                                          std::span<const std::pair<int, int>> changedRows);

 private:
  // Coded bands of the last picture of one key.
  struct Kept {
    quint64 generation = 0;
    int quality = 0;
    QSize size;
    std::vector<std::vector<std::uint8_t>> bands;
  };

  bool Compress(const std::uint8_t* rgb, int width, int stride, int height, int quality, unsigned long& size);
  // Codes rows [top, top + rows) alone; returns their entropy-coded data, empty on failure.
  std::vector<std::uint8_t> CodeBand(const QImage& image, int top, int rows, int quality);

  void* m_handle = nullptr;           // tjhandle
  unsigned char* m_buffer = nullptr;  // from tjAlloc
  unsigned long m_bufferSize = 0;
  std::map<int, Kept> m_kept;
  // Markers up to and including the scan header, with a restart interval of one band.
  std::vector<std::uint8_t> m_header;
  QSize m_headerSize;
  int m_headerQuality = 0;
};
