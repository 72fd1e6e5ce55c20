#pragma once
// Decodes one JPEG picture from the recorder into a bottom-up, 4-byte-padded
// BGR bitmap and reads the two marks the recorder paints into its top rows:
// the channel mark and the index bars (FieldFlag). The same class is also the
// plain holder of one decoded bitmap (the link keeps one per channel).

#include <cstddef>
#include <cstdint>
#include <memory>
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
  // With a fit size (a pane's worth of pixels), a picture larger than that
  // is decoded at the smallest of 1/2, 1/4 and 1/8 of its size that is still
  // at least fitWidth x fitHeight; its top rows, which carry the marks, are
  // then decoded at full size as well and read as before. A progressive
  // picture whose marks are read is always decoded at full size, once.
  std::uint8_t Decode(const std::uint8_t* data, std::size_t length, bool noMark, int fitWidth = 0,
                      int fitHeight = 0);

  // Sets the header and sizes the pixels to it when width and height are
  // positive and bitCount is 1..32; otherwise changes nothing. A buffer of
  // the right size is kept, so same-format pictures decode without allocating.
  void SetFormat(int bitCount, int width, int height);
  // Exchanges the decoded bitmap (header, pixels, picture size and top rows)
  // with another holder's, so a picture changes hands without being copied.
  // Field flags stay put.
  void SwapBitmap(CImageCodec& other) noexcept;

  // The picture the bitmap shows: its size equals the header's unless it was
  // decoded scaled down, when the bitmap has 1/ScaleDenominator of it.
  int PictureWidth() const { return m_scale > 1 ? m_pictureWidth : m_header.width; }
  int PictureHeight() const { return m_scale > 1 ? m_pictureHeight : m_header.height; }
  int ScaleDenominator() const { return m_scale; }

  const BitmapInfoHeader& Header() const { return m_header; }
  BitmapInfoHeader& Header() { return m_header; }
  // Null when no pixels are allocated.
  std::uint8_t* Pixels() { return m_pixels.get(); }
  const std::uint8_t* Pixels() const { return m_pixels.get(); }
  std::size_t PixelBytes() const { return m_pixelBytes; }
  // The JPEG stream the last Decode read, its first and last bytes repaired:
  // the caller's own bytes when they needed no repair, so valid only as long
  // as those are.
  const std::uint8_t* Stream() const { return m_workData; }
  std::size_t StreamLength() const { return m_workLength; }

  // 0 when the index bars were found in the last decoded picture, 1 when not.
  std::uint8_t FieldFlag() const { return m_fieldFlag; }

  // Mark readers on the picture's top rows at full size (the stored rows, or
  // the rows kept aside when decoded scaled down); exposed for tests and the
  // simulator's checks.
  // Each row is read as 3-byte pixels, whatever the bit count: in a 32-bit
  // picture column x is read at byte 3x, as the recorder's client always
  // has. Bytes beyond a row (narrow or short pictures) count as black.
  std::uint8_t ReadChannelMark() const;
  bool ReadIndexBars() const;
  // True when the rows of the decoded picture hold every channel-mark field.
  // A narrower picture cannot carry the mark: its channel comes from the packet.
  bool CarriesChannelMark() const;

  // Geometry of the recorder's marks, in columns of the picture.
  static constexpr int kMarkFieldWidth = 30;
  static constexpr int kMarkFieldColumns[5] = {90, 218, 346, 474, 602};  // a, b, c, d, sel
  static constexpr int kMarkFieldMinBright = 26;  // "set": more than 25 of 30 pixels
  static constexpr int kMarkReadBytesPerPixel = 3;
  // Row bytes the mark fields need: a 24-bit picture of at least 632 pixels.
  static constexpr int kMarkRowBytes = kMarkReadBytesPerPixel * (kMarkFieldColumns[4] + kMarkFieldWidth);
  static constexpr int kIndexBarEnds[3] = {16, 47, 78};  // black 0..15, white 16..46, black 47..77
  static constexpr int kIndexBarMaxStray = 5;
  // Top rows of the picture that the marks are read from (the third carries the index bars).
  static constexpr int kMarkRows = 3;

 private:
  bool NormaliseStream(const std::uint8_t* data, std::size_t length);
  // Decodes the normalised stream into the pixels; false on any failure.
  bool DecodeWorkBuffer(bool readMarks);
  bool DecodeFourComponents(int width, int height);
  // Decodes the picture's first kMarkRows rows at full size into m_topRows.
  bool DecodeTopRows(int width, int height);
  // Smallest scale-down 1, 2, 4 or 8 that keeps the picture at least fitWidth x fitHeight.
  int ChooseScale(int width, int height) const;
  // The picture's k-th row from the top at full size, with its byte count; null when absent.
  const std::uint8_t* TopRow(int k, std::size_t& bytes) const;
  void ResetDecoder();
  void FreePixels();
  void AllocatePixels(std::size_t bytes);
  // Brightness (mean of three bytes) at a column of a stored row; 0 outside.
  static int Brightness(const std::uint8_t* row, std::size_t rowBytes, int x);
  // Bytes of pixels in one stored row, without the padding.
  std::size_t RowBytes() const;

  BitmapInfoHeader m_header;
  std::unique_ptr<std::uint8_t[]> m_pixels;
  std::size_t m_pixelBytes = 0;
  std::vector<std::uint8_t> m_work;  // repaired copy of a stream; only grows
  const std::uint8_t* m_workData = nullptr;  // the stream decoded: the caller's bytes or m_work
  std::size_t m_workLength = 0;
  std::uint8_t m_fieldFlag = 1;
  int m_fitWidth = 0;
  int m_fitHeight = 0;
  // Set by a scaled decode: the picture's size and its top rows at full size (top-down, 24-bit).
  int m_scale = 1;
  int m_pictureWidth = 0;
  int m_pictureHeight = 0;
  std::vector<std::uint8_t> m_topRows;
  void* m_decoder = nullptr;  // TurboJPEG instance, created on first decode
};
