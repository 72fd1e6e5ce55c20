#pragma once
// Recorder-like JPEG pictures for tests and benchmarks, made with TurboJPEG.
//
// The recorder paints two marks into the top of its pictures, which
// CImageCodec reads back: five channel-mark fields in the second line from
// the top and three index bars (black, white, black) in the third line. Here
// they are painted as solid blocks through a black band of kMarkBandLines
// lines at the top, so that they survive JPEG compression at the default
// quality. Below the band the picture is a smooth colour gradient.
//
// Typical use:
//   auto jpeg = testpictures::MakeJpeg(704, 288, /*channel=*/5, /*indexBars=*/true);
//   codec.Decode(jpeg.data(), jpeg.size(), false);   // -> 5, FieldFlag 0

#include <QImage>
#include <array>
#include <cstdint>
#include <vector>

namespace testpictures {

constexpr int kMarkBandLines = 16;  // one 4:2:0 block row: no blur from the picture below
constexpr int kFieldWidth = 30;
constexpr int kFieldColumns[5] = {90, 218, 346, 474, 602};  // a, b, c, d, sel
constexpr int kIndexWhite = 16, kIndexBlack2 = 47, kIndexEnd = 78;  // the first black bar starts at 0
constexpr int kDefaultQuality = 85;

// Which of the five channel-mark fields a, b, c, d, sel are white.
using MarkFields = std::array<bool, 5>;

// The fields for a channel 0..7; inverted paints the sel field and the
// inverse of a..d, which reads as the same channel.
MarkFields FieldsForChannel(int channel, bool inverted = false);

// A gradient picture (RGB888) with the black mark band at the top and no marks.
QImage MakePicture(int width, int height);
// Paints the fields white or black through the top `lines` lines.
void PaintMarkFields(QImage& picture, const MarkFields& fields, int lines = kMarkBandLines);
void PaintIndexBars(QImage& picture);

enum class JpegKind {
  Colour,         // three components, 4:2:0
  Grey,           // one component
  Progressive,    // three components, 4:2:0, in several scans
  FourComponent,  // four components: Y, Cb, Cr of the picture and alpha as the fourth
};

// Encodes with tjCompress2. For FourComponent the fourth component is alpha,
// and a JFIF segment is put in front (the library writes none for four
// components, and the recorder's pictures always start with one).
std::vector<std::uint8_t> Encode(const QImage& picture, JpegKind kind = JpegKind::Colour,
                                 int quality = kDefaultQuality, std::uint8_t alpha = 255);

// A recorder-like picture: gradient, channel mark and optionally the index bars.
std::vector<std::uint8_t> MakeJpeg(int width, int height, int channel, bool indexBars,
                                   JpegKind kind = JpegKind::Colour, int quality = kDefaultQuality);

}  // namespace testpictures
