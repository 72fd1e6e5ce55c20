#pragma once
// The 40-byte device-independent bitmap header that describes a decoded
// picture: bottom-up rows (positive height), padded to 4 bytes.

#include <cstdint>

struct BitmapInfoHeader {
  std::uint32_t size = 40;
  std::int32_t width = 0;
  std::int32_t height = 0;  // positive: rows stored bottom-up
  std::uint16_t planes = 1;
  std::uint16_t bitCount = 24;
  std::uint32_t compression = 0;  // uncompressed
  std::uint32_t imageSize = 0;
  std::int32_t xPelsPerMeter = 0;
  std::int32_t yPelsPerMeter = 0;
  std::uint32_t clrUsed = 0;
  std::uint32_t clrImportant = 0;

  // Bytes of one stored row: padded to a multiple of 4.
  std::uint32_t Stride() const {
    return ((static_cast<std::uint32_t>(bitCount) / 8u) * static_cast<std::uint32_t>(width) + 3u) & ~3u;
  }
  std::uint32_t ComputeImageSize() const { return Stride() * static_cast<std::uint32_t>(height); }

  bool operator==(const BitmapInfoHeader&) const = default;
};
