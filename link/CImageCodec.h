#pragma once
// Decodes one JPEG picture from the recorder into a bottom-up, 4-byte-padded
// BGR bitmap and reads the two marks the recorder paints into its top rows:
// the channel mark and the index bars (FieldFlag). The same class is also the
// plain holder of one decoded bitmap (the link keeps one per channel).

#include <cstddef>
#include <cstdint>
#include <vector>

#include "link/BitmapInfoHeader.h"

class CImageCodec {
 public:
  static constexpr std::uint8_t kDecodeFailed = 0xFF;
  static constexpr std::uint32_t kMaxPixels = 220000;

  CImageCodec();
  virtual ~CImageCodec();
  CImageCodec(const CImageCodec&) = delete;
  CImageCodec& operator=(const CImageCodec&) = delete;

  // Decodes data[0..length) into the pixels. Returns the channel mark 0..7,
  // 0 with the no-mark choice, or kDecodeFailed. The data are not modified.
  std::uint8_t Decode(const std::uint8_t* data, std::size_t length, bool noMark);

  // Sets the header and reallocates the pixels when width * height > 0.
  void SetFormat(int bitCount, int width, int height);
  // Frees and reallocates image-size bytes for the current header.
  void ReallocPixels();

  const BitmapInfoHeader& Header() const { return m_header; }
  BitmapInfoHeader& Header() { return m_header; }
  // Null when no pixels are allocated.
  std::uint8_t* Pixels() { return m_pixels.empty() ? nullptr : m_pixels.data(); }
  const std::uint8_t* Pixels() const { return m_pixels.empty() ? nullptr : m_pixels.data(); }
  std::size_t PixelBytes() const { return m_pixels.size(); }

  // 0 when the index bars were found in the last decoded picture, 1 when not.
  std::uint8_t FieldFlag() const { return m_fieldFlag; }

  // Mark readers on the stored rows; exposed for tests and the simulator's checks.
  std::uint8_t ReadChannelMark() const;
  bool ReadIndexBars() const;

 private:
  bool NormaliseStream(const std::uint8_t* data, std::size_t length);

  BitmapInfoHeader m_header;
  std::vector<std::uint8_t> m_pixels;
  std::vector<std::uint8_t> m_work;  // normalised copy of the stream; only grows
  std::size_t m_workLength = 0;
  std::uint8_t m_fieldFlag = 1;
  void* m_decoder = nullptr;  // TurboJPEG instance, created on first decode
};
