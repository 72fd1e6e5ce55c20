#include <gtest/gtest.h>

#include <QPainter>
#include <tuple>
#include <turbojpeg.h>
#include <vector>

#include "link/CImageCodec.h"
#include "support/TestPictures.h"

using testpictures::JpegKind;
using testpictures::MakeJpeg;
using Bytes = std::vector<std::uint8_t>;

namespace {

constexpr int kFailed = CImageCodec::kDecodeFailed;

int Decode(CImageCodec& codec, const Bytes& jpeg, bool noMark = false) {
  return codec.Decode(jpeg.data(), jpeg.size(), noMark);
}

Bytes PixelsOf(const CImageCodec& codec) { return Bytes(codec.Pixels(), codec.Pixels() + codec.PixelBytes()); }

// libjpeg-turbo's own output at 1/denominator: bottom-up BGR rows padded to 4.
Bytes TurboScaled(const Bytes& jpeg, int denominator, int& width, int& height) {
  tjhandle tj = tjInitDecompress();
  int w = 0, h = 0, sub = 0, cs = 0;
  tjDecompressHeader3(tj, jpeg.data(), jpeg.size(), &w, &h, &sub, &cs);
  width = TJSCALED(w, (tjscalingfactor{1, denominator}));
  height = TJSCALED(h, (tjscalingfactor{1, denominator}));
  const int pitch = (width * 3 + 3) & ~3;
  Bytes out(static_cast<std::size_t>(pitch) * height);
  EXPECT_EQ(tjDecompress2(tj, jpeg.data(), jpeg.size(), out.data(), width, pitch, height, TJPF_BGR, TJFLAG_BOTTOMUP), 0);
  tjDestroy(tj);
  return out;
}

}  // namespace

TEST(CImageCodec, DamagedStartsAreRepairedUnknownStartsAndOversizedPicturesFail) {
  const Bytes jpeg = MakeJpeg(352, 240, 4, true);
  CImageCodec codec;
  ASSERT_EQ(Decode(codec, jpeg), 4);
  const Bytes intact = PixelsOf(codec);
  // An extra FF, the first byte missing, two bytes in front, no end marker.
  Bytes extraFf = jpeg, twoInFront = jpeg;
  extraFf.insert(extraFf.begin(), 0xFF);
  twoInFront.insert(twoInFront.begin(), {0x12, 0x34});
  for (const Bytes& variant : {extraFf, Bytes(jpeg.begin() + 1, jpeg.end()), twoInFront, Bytes(jpeg.begin(), jpeg.end() - 2)}) {
    const Bytes before = variant;
    EXPECT_EQ(Decode(codec, variant), 4);
    EXPECT_EQ(PixelsOf(codec), intact);
    EXPECT_EQ(variant, before) << "the caller's bytes are not modified";
  }

  // Too short to tell (FF D8 FF), no JFIF segment, three bytes in front.
  CImageCodec fresh;
  Bytes noJfif = jpeg, threeInFront = jpeg;
  noJfif[3] = 0xDB;
  threeInFront.insert(threeInFront.begin(), {0x00, 0x00, 0x00});
  EXPECT_EQ(fresh.Decode(nullptr, 0, false), kFailed);
  EXPECT_EQ(fresh.Decode(jpeg.data(), 0, false), kFailed);
  for (const Bytes& bad : {Bytes(jpeg.begin(), jpeg.begin() + 3), noJfif, threeInFront}) {
    EXPECT_EQ(Decode(fresh, bad, false), kFailed);
    EXPECT_EQ(Decode(fresh, bad, true), kFailed);
  }
  EXPECT_EQ(fresh.Pixels(), nullptr);

  // At most 220,000 pixels; a refused picture leaves the last one.
  for (auto [w, h] : {std::pair{720, 576}, {640, 480}, {1000, 221}}) {
    EXPECT_EQ(Decode(codec, MakeJpeg(w, h, 0, false), true), kFailed) << w << "x" << h;
  }
  EXPECT_EQ(PixelsOf(codec), intact);
  EXPECT_EQ(Decode(codec, MakeJpeg(1000, 220, 0, false), true), 0);
  // A stream cut short fails without harm; arbitrary bytes are left to codec_fuzz.
  EXPECT_EQ(codec.Decode(jpeg.data(), jpeg.size() / 2, false), kFailed);
  EXPECT_EQ(codec.PixelBytes(), codec.Header().imageSize);
  EXPECT_EQ(Decode(codec, jpeg), 4);
}

TEST(CImageCodec, MarksReadPlainOrInvertedAndTheIndexBarsClearTheFieldFlag) {
  CImageCodec codec;
  for (int channel = 0; channel < 8; ++channel) {
    for (const bool inverted : {false, true}) {
      QImage p = testpictures::MakePicture(704, 288);
      testpictures::PaintMarkFields(p, testpictures::FieldsForChannel(channel, inverted));
      EXPECT_EQ(Decode(codec, testpictures::Encode(p, JpegKind::Colour, 75)), channel) << inverted;
      EXPECT_EQ(codec.FieldFlag(), 1);
    }
  }
  // Field a counts 8 and is dropped: a, b and d read as 5.
  QImage p = testpictures::MakePicture(704, 288);
  testpictures::PaintMarkFields(p, {true, true, false, true, false});
  EXPECT_EQ(Decode(codec, testpictures::Encode(p)), 5);

  EXPECT_EQ(Decode(codec, MakeJpeg(704, 288, 0, true)), 0);
  EXPECT_EQ(codec.FieldFlag(), 0);
  // A white bar that is too short is no index mark.
  p = testpictures::MakePicture(704, 288);
  testpictures::PaintIndexBars(p);
  QPainter(&p).fillRect(38, 0, 9, testpictures::kMarkBandLines, Qt::black);
  EXPECT_EQ(Decode(codec, testpictures::Encode(p, JpegKind::Colour, 95)), 0);
  EXPECT_EQ(codec.FieldFlag(), 1);
  // The no-mark choice returns 0 whatever is painted and leaves the field flag.
  EXPECT_EQ(Decode(codec, MakeJpeg(704, 288, 5, true), true), 0);
  EXPECT_EQ(codec.FieldFlag(), 1);
}

TEST(CImageCodec, SmallPanesGetLibjpegTurboScaledPicturesWithMarksReadAtFullSize) {
  // Marks only in the top three rows, other marks below them: what a scaled
  // picture's top row would blend must not be what is read.
  QImage topOnly = testpictures::MakePicture(704, 288);
  testpictures::PaintMarkFields(topOnly, testpictures::FieldsForChannel(6));
  testpictures::PaintMarkFields(topOnly, testpictures::FieldsForChannel(3), 3);
  QPainter(&topOnly).fillRect(testpictures::kIndexWhite, 0, testpictures::kIndexBlack2 - testpictures::kIndexWhite, 3,
                              Qt::white);

  using Case = std::tuple<Bytes, int, int, int>;  // the picture, the size it is fitted to, the scale expected
  const Case cases[] = {
      {MakeJpeg(704, 288, 1, true), 211, 79, 2},   // a nine-pane cell
      {MakeJpeg(704, 288, 2, false), 318, 119, 2},  // a four-pane cell
      {MakeJpeg(704, 288, 7, true), 100, 40, 4},
      {MakeJpeg(704, 288, 5, true, JpegKind::Grey), 50, 20, 8},
      {testpictures::Encode(topOnly, JpegKind::Colour, 95), 211, 79, 2},
      {MakeJpeg(704, 288, 4, true), 638, 239, 1},                  // the single pane: full size
      {MakeJpeg(352, 240, 4, true, JpegKind::Grey), 211, 79, 1},  // already about the pane's width
      {MakeJpeg(704, 288, 3, true), 0, 0, 1},                      // no fit asked
      {MakeJpeg(704, 288, 6, true, JpegKind::Progressive), 211, 79, 1},  // decoded once, at full size
  };
  CImageCodec full, scaled, holder;
  for (const auto& [jpeg, fitWidth, fitHeight, scale] : cases) {
    const int channel = Decode(full, jpeg);
    ASSERT_NE(channel, kFailed);
    int width = 0, height = 0;
    const Bytes reference = TurboScaled(jpeg, scale, width, height);
    EXPECT_EQ(scaled.Decode(jpeg.data(), jpeg.size(), false, fitWidth, fitHeight), channel);
    EXPECT_EQ(std::tuple(scaled.FieldFlag(), scaled.CarriesChannelMark(), scaled.ScaleDenominator(),
                         scaled.PictureWidth(), scaled.PictureHeight(), scaled.Header().width, scaled.Header().height),
              std::tuple(full.FieldFlag(), full.CarriesChannelMark(), scale, full.Header().width,
                         full.Header().height, width, height));
    EXPECT_EQ(PixelsOf(scaled), reference) << "scale 1/" << scale;

    // The holder that takes the bitmap reads the same marks.
    holder.SwapBitmap(scaled);
    EXPECT_EQ(std::tuple(holder.ReadChannelMark(), holder.ReadIndexBars(), holder.PictureWidth()),
              std::tuple(channel, full.FieldFlag() == 0, full.Header().width));
  }
  EXPECT_EQ(Decode(full, std::get<Bytes>(cases[4])), 3);
  EXPECT_EQ(full.FieldFlag(), 0);
  EXPECT_EQ(Decode(full, std::get<Bytes>(cases[3])), 5);  // grey
  EXPECT_EQ(full.FieldFlag(), 0);

  // Four-component pictures are always decoded at full size; a holder given a format is a full-size bitmap.
  const Bytes four = MakeJpeg(480, 240, 0, false, JpegKind::FourComponent);
  ASSERT_NE(scaled.Decode(four.data(), four.size(), false, 16, 16), kFailed);
  EXPECT_EQ(std::tuple(scaled.ScaleDenominator(), scaled.Header().width), std::tuple(1, 480));
  holder.SetFormat(24, 32, 16);
  EXPECT_EQ(std::tuple(holder.ScaleDenominator(), holder.PictureWidth()), std::tuple(1, 32));
}

TEST(CImageCodec, FourComponentsGivePremultipliedBgraReadForMarksAtThreeBytesAPixel) {
  // Marks are read at byte 3x of a row whatever the bit count, so in a 32-bit
  // picture field b (columns 218..247) lies in the bytes of pixels 163..185.
  QImage p = testpictures::MakePicture(480, 240);
  for (const int field : {218, 474}) {  // b and d: channel 5
    const int first = 3 * field / 4 - 2, last = (3 * (field + 30) - 1) / 4 + 2;
    QPainter(&p).fillRect(first, 0, last - first + 1, testpictures::kMarkBandLines, Qt::white);
  }
  QPainter(&p).fillRect(0, 100, 480, 40, QColor(240, 160, 40));
  CImageCodec codec;
  for (const int alpha : {255, 128}) {
    const int channel = Decode(codec, testpictures::Encode(p, JpegKind::FourComponent, 95, static_cast<std::uint8_t>(alpha)));
    ASSERT_EQ(codec.Header().bitCount, 32);
    const std::uint8_t* px = codec.Pixels() + (240 - 1 - 120) * codec.Header().Stride() + 200 * 4;
    const int want[4] = {40 * alpha / 255, 160 * alpha / 255, 240 * alpha / 255, alpha};
    for (int i = 0; i < 4; ++i) EXPECT_NEAR(px[i], want[i], i < 3 ? 6 : 2) << i;
    if (alpha == 255) {
      EXPECT_EQ(channel, 5);  // half-transparent white is too dark for a mark
    }
  }
  EXPECT_TRUE(codec.CarriesChannelMark());

  // The fields need rows of 3 x 632 bytes: 474 pixels of 32 bits, 632 of 24.
  for (const auto& [width, kind, carries] : {std::tuple{473, JpegKind::FourComponent, false},
                                             std::tuple{631, JpegKind::Colour, false},
                                             std::tuple{632, JpegKind::Grey, true}}) {
    ASSERT_NE(Decode(codec, testpictures::Encode(testpictures::MakePicture(width, 64), kind)), kFailed);
    EXPECT_EQ(codec.CarriesChannelMark(), carries) << width;
  }
}
