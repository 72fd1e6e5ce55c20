#include <gtest/gtest.h>

#include <cstring>
#include <random>
#include <turbojpeg.h>
#include <vector>

#include "link/CImageCodec.h"
#include "support/TestPictures.h"

using testpictures::JpegKind;
using testpictures::MakeJpeg;
using Bytes = std::vector<std::uint8_t>;

namespace {

constexpr std::uint8_t kFailed = CImageCodec::kDecodeFailed;

Bytes PixelsOf(const CImageCodec& codec) {
  return Bytes(codec.Pixels(), codec.Pixels() + codec.PixelBytes());
}

// Decodes and returns the pixels, or an empty vector on failure.
Bytes DecodedPixels(const Bytes& jpeg) {
  CImageCodec codec;
  if (codec.Decode(jpeg.data(), jpeg.size(), false) == kFailed) return {};
  return PixelsOf(codec);
}

}  // namespace

// --- stream repair --------------------------------------------------------

TEST(CImageCodecStream, DamagedStartsDecodeLikeTheIntactStream) {
  const Bytes jpeg = MakeJpeg(352, 240, 4, true);
  const Bytes intact = DecodedPixels(jpeg);
  ASSERT_FALSE(intact.empty());

  Bytes extraFf = jpeg;
  extraFf.insert(extraFf.begin(), 0xFF);
  Bytes firstMissing(jpeg.begin() + 1, jpeg.end());
  Bytes twoInFront = jpeg;
  twoInFront.insert(twoInFront.begin(), {0x12, 0x34});
  Bytes noEoi(jpeg.begin(), jpeg.end() - 2);

  for (const Bytes* variant : {&extraFf, &firstMissing, &twoInFront, &noEoi}) {
    const Bytes before = *variant;
    CImageCodec codec;
    EXPECT_EQ(codec.Decode(variant->data(), variant->size(), false), 4);
    EXPECT_EQ(PixelsOf(codec), intact);
    EXPECT_EQ(*variant, before) << "the caller's bytes are not modified";
  }
}

TEST(CImageCodecStream, UnrecognisedStartsFail) {
  const Bytes jpeg = MakeJpeg(64, 32, 0, false);
  CImageCodec codec;
  EXPECT_EQ(codec.Decode(nullptr, 0, false), kFailed);
  EXPECT_EQ(codec.Decode(jpeg.data(), 0, false), kFailed);
  EXPECT_EQ(codec.Decode(jpeg.data(), 3, false), kFailed);  // FF D8 FF: too short to tell
  Bytes noJfif = jpeg;
  noJfif[3] = 0xDB;
  EXPECT_EQ(codec.Decode(noJfif.data(), noJfif.size(), false), kFailed);
  Bytes threeInFront = jpeg;
  threeInFront.insert(threeInFront.begin(), {0x00, 0x00, 0x00});
  EXPECT_EQ(codec.Decode(threeInFront.data(), threeInFront.size(), true), kFailed);
  EXPECT_EQ(codec.Pixels(), nullptr);
}

// --- size limit ----------------------------------------------------------

TEST(CImageCodecSize, PixelLimitIs220000) {
  CImageCodec codec;
  const Bytes ok720 = MakeJpeg(720, 288, 0, false);
  ASSERT_NE(codec.Decode(ok720.data(), ok720.size(), false), kFailed);
  const BitmapInfoHeader decoded = codec.Header();
  EXPECT_EQ(decoded.width, 720);
  EXPECT_EQ(decoded.height, 288);

  for (auto [w, h] : {std::pair{720, 576}, {640, 480}, {1000, 221}}) {
    const Bytes big = MakeJpeg(w, h, 0, false);
    EXPECT_EQ(codec.Decode(big.data(), big.size(), true), kFailed) << w << "x" << h;
  }
  EXPECT_EQ(codec.Header(), decoded) << "a refused picture leaves the last one";
  const Bytes limit = MakeJpeg(1000, 220, 0, false);
  EXPECT_EQ(codec.Decode(limit.data(), limit.size(), true), 0);
}

// --- the marks ---------------------------------------------------------

class CImageCodecMark : public ::testing::TestWithParam<std::tuple<int, bool>> {};

TEST_P(CImageCodecMark, ChannelReadsBackPlainAndInverted) {
  const auto [channel, inverted] = GetParam();
  testpictures::Picture p = testpictures::MakePicture(704, 288);
  testpictures::PaintChannelMark(p, channel, inverted);
  const Bytes jpeg = testpictures::Encode(p, JpegKind::Colour, 75);
  CImageCodec codec;
  EXPECT_EQ(codec.Decode(jpeg.data(), jpeg.size(), false), channel);
}

INSTANTIATE_TEST_SUITE_P(AllChannels, CImageCodecMark,
                         ::testing::Combine(::testing::Range(0, 8), ::testing::Bool()));

TEST(CImageCodecMarks, FieldAIsDroppedModuloEight) {
  testpictures::Picture p = testpictures::MakePicture(704, 288);
  testpictures::MarkFields f;
  f.a = f.b = f.d = true;  // 8 + 4 + 1
  testpictures::PaintMarkFields(p, f);
  const Bytes jpeg = testpictures::Encode(p);
  CImageCodec codec;
  EXPECT_EQ(codec.Decode(jpeg.data(), jpeg.size(), false), 5);
}

TEST(CImageCodecMarks, FieldFlagFollowsTheIndexBars) {
  CImageCodec codec;
  const Bytes bare = MakeJpeg(704, 288, 0, false);
  const Bytes bars = MakeJpeg(704, 288, 0, true);
  EXPECT_EQ(codec.Decode(bare.data(), bare.size(), false), 0);
  EXPECT_EQ(codec.FieldFlag(), 1);
  EXPECT_EQ(codec.Decode(bars.data(), bars.size(), false), 0);
  EXPECT_EQ(codec.FieldFlag(), 0);

  // The no-mark choice returns 0 whatever is painted and keeps the FieldFlag.
  const Bytes five = MakeJpeg(704, 288, 5, false);
  EXPECT_EQ(codec.Decode(five.data(), five.size(), true), 0);
  EXPECT_EQ(codec.FieldFlag(), 0);
  EXPECT_EQ(codec.Decode(five.data(), five.size(), false), 5);
  EXPECT_EQ(codec.FieldFlag(), 1);

  // A white bar that is too short is no index mark.
  testpictures::Picture p = testpictures::MakePicture(704, 288);
  testpictures::PaintIndexBars(p);
  p.Fill(38, 0, 9, testpictures::kMarkBandLines, 0, 0, 0);
  const Bytes shortBar = testpictures::Encode(p, JpegKind::Colour, 95);
  EXPECT_EQ(codec.Decode(shortBar.data(), shortBar.size(), false), 0);
  EXPECT_EQ(codec.FieldFlag(), 1);
}

// --- scaled down for small panes ----------------------------------------

namespace {

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

TEST(CImageCodecScaled, SmallPanesGetLibjpegTurboScaledPicturesWithMarksReadAtFullSize) {
  // Marks only in the top three rows, other marks below them: what a scaled
  // picture's top row would blend must not be what is read.
  testpictures::Picture topOnly = testpictures::MakePicture(704, 288);
  testpictures::PaintChannelMark(topOnly, 6);
  topOnly.Fill(0, 0, 704, 3, 0, 0, 0);
  const testpictures::MarkFields three = testpictures::FieldsForChannel(3);
  const bool set[5] = {three.a, three.b, three.c, three.d, three.sel};
  for (int f = 0; f < 5; ++f) {
    if (set[f]) topOnly.Fill(testpictures::kFieldColumns[f], 0, testpictures::kFieldWidth, 3, 255, 255, 255);
  }
  topOnly.Fill(testpictures::kIndexWhite, 0, testpictures::kIndexBlack2 - testpictures::kIndexWhite, 3, 255, 255, 255);

  struct Case {
    Bytes jpeg;
    int fitWidth, fitHeight, scale;
  };
  const Case cases[] = {
      {MakeJpeg(704, 288, 1, true), 211, 79, 2},   // a nine-pane cell
      {MakeJpeg(704, 288, 2, false), 318, 119, 2},  // a four-pane cell
      {MakeJpeg(704, 288, 7, true), 100, 40, 4},
      {MakeJpeg(704, 288, 5, true, JpegKind::Grey), 50, 20, 8},
      {testpictures::Encode(topOnly, JpegKind::Colour, 95), 211, 79, 2},
      {MakeJpeg(704, 288, 4, true), 638, 239, 1},  // the single pane: full size
      {MakeJpeg(352, 240, 4, true), 211, 79, 1},   // already about the pane's width
      {MakeJpeg(704, 288, 3, true), 0, 0, 1},      // no fit asked
  };
  CImageCodec full, scaled, holder;
  for (const Case& c : cases) {
    const std::uint8_t channel = full.Decode(c.jpeg.data(), c.jpeg.size(), false);
    ASSERT_NE(channel, kFailed);
    EXPECT_EQ(scaled.Decode(c.jpeg.data(), c.jpeg.size(), false, c.fitWidth, c.fitHeight), channel);
    EXPECT_EQ(scaled.FieldFlag(), full.FieldFlag());
    EXPECT_EQ(scaled.CarriesChannelMark(), full.CarriesChannelMark());
    EXPECT_EQ(scaled.ScaleDenominator(), c.scale);
    EXPECT_EQ(scaled.PictureWidth(), full.Header().width);
    EXPECT_EQ(scaled.PictureHeight(), full.Header().height);
    int width = 0, height = 0;
    const Bytes reference = TurboScaled(c.jpeg, c.scale, width, height);
    EXPECT_EQ(scaled.Header().width, width);
    EXPECT_EQ(scaled.Header().height, height);
    EXPECT_EQ(PixelsOf(scaled), reference) << "scale 1/" << c.scale;

    // The holder that takes the bitmap reads the same marks.
    holder.SwapBitmap(scaled);
    EXPECT_EQ(holder.ReadChannelMark(), channel);
    EXPECT_EQ(holder.ReadIndexBars(), full.FieldFlag() == 0);
    EXPECT_EQ(holder.PictureWidth(), full.Header().width);
  }
  EXPECT_EQ(full.Decode(cases[4].jpeg.data(), cases[4].jpeg.size(), false), 3);
  EXPECT_EQ(full.FieldFlag(), 0);

  // Four-component pictures are always decoded at full size; a holder given a format is a full-size bitmap.
  const Bytes four = MakeJpeg(480, 240, 0, false, JpegKind::FourComponent);
  ASSERT_NE(scaled.Decode(four.data(), four.size(), false, 16, 16), kFailed);
  EXPECT_EQ(scaled.ScaleDenominator(), 1);
  EXPECT_EQ(scaled.Header().width, 480);
  holder.SetFormat(24, 32, 16);
  EXPECT_EQ(holder.ScaleDenominator(), 1);
  EXPECT_EQ(holder.PictureWidth(), 32);
}

// --- grey pictures -----------------------------------------------------

TEST(CImageCodecComponents, GreyPictureBecomesBgr) {
  const Bytes jpeg = MakeJpeg(704, 288, 6, true, JpegKind::Grey);
  CImageCodec codec;
  ASSERT_EQ(codec.Decode(jpeg.data(), jpeg.size(), false), 6);
  EXPECT_EQ(codec.FieldFlag(), 0);
  EXPECT_EQ(codec.Header().bitCount, 24);
  const std::uint8_t* p = codec.Pixels() + 100 * codec.Header().Stride() + 300 * 3;
  EXPECT_EQ(p[0], p[1]);
  EXPECT_EQ(p[1], p[2]);
}

TEST(CImageCodecComponents, FourComponentsGivePremultipliedBgraReadForMarksAtThreeBytesAPixel) {
  // Marks are read at byte 3x of a row whatever the bit count, so in a 32-bit
  // picture field b (columns 218..247) lies in the bytes of pixels 163..185.
  testpictures::Picture p = testpictures::MakePicture(480, 240);
  for (const int field : {218, 474}) {  // b and d: channel 5
    const int first = 3 * field / 4 - 2, last = (3 * (field + 30) - 1) / 4 + 2;
    p.Fill(first, 0, last - first + 1, testpictures::kMarkBandLines, 255, 255, 255);
  }
  p.Fill(0, 100, 480, 40, 40, 160, 240);  // B, G, R
  CImageCodec codec;
  for (const std::uint8_t alpha : {255, 128}) {
    const Bytes jpeg = testpictures::Encode(p, JpegKind::FourComponent, 95, alpha);
    const std::uint8_t channel = codec.Decode(jpeg.data(), jpeg.size(), false);
    ASSERT_EQ(codec.Header().bitCount, 32);
    const std::uint8_t* px = codec.Pixels() + (240 - 1 - 120) * codec.Header().Stride() + 200 * 4;
    EXPECT_NEAR(px[0], 40 * alpha / 255, 6);
    EXPECT_NEAR(px[1], 160 * alpha / 255, 6);
    EXPECT_NEAR(px[2], 240 * alpha / 255, 6);
    EXPECT_NEAR(px[3], alpha, 2);
    if (alpha == 255) {
      EXPECT_EQ(channel, 5);  // half-transparent white is too dark for a mark
    }
  }
  EXPECT_TRUE(codec.CarriesChannelMark());

  // The fields need rows of 3 x 632 bytes: 474 pixels of 32 bits, 632 of 24.
  for (const auto& [width, kind, carries] : {std::tuple{473, JpegKind::FourComponent, false},
                                             std::tuple{631, JpegKind::Colour, false},
                                             std::tuple{632, JpegKind::Grey, true}}) {
    const Bytes jpeg = testpictures::Encode(testpictures::MakePicture(width, 64), kind);
    ASSERT_NE(codec.Decode(jpeg.data(), jpeg.size(), false), kFailed);
    EXPECT_EQ(codec.CarriesChannelMark(), carries) << width;
  }
}

// --- hostile bytes -----------------------------------------------------

TEST(CImageCodecHostile, TruncatedAndGarbledStreamsFailWithoutHarm) {
  const Bytes jpeg = MakeJpeg(352, 240, 4, true);
  CImageCodec codec;
  EXPECT_EQ(codec.Decode(jpeg.data(), jpeg.size() / 2, false), kFailed);
  EXPECT_EQ(codec.PixelBytes(), codec.Header().imageSize);
  for (std::size_t n = 0; n < jpeg.size(); n += 61) {
    const std::uint8_t r = codec.Decode(jpeg.data(), n, (n & 1) != 0);
    EXPECT_TRUE(r == kFailed || r < 8) << n;
  }

  std::mt19937 random(1234);
  for (int i = 0; i < 300; ++i) {
    Bytes garbled = jpeg;
    for (int k = 0; k < 1 + i % 8; ++k) garbled[4 + random() % (garbled.size() - 4)] = static_cast<std::uint8_t>(random());
    const std::uint8_t r = codec.Decode(garbled.data(), garbled.size(), false);
    EXPECT_TRUE(r == kFailed || r < 8);
    Bytes noise(4 + random() % 2000);
    for (auto& b : noise) b = static_cast<std::uint8_t>(random());
    std::memcpy(noise.data(), jpeg.data(), 4);
    EXPECT_EQ(codec.Decode(noise.data(), noise.size(), false), kFailed);
  }
  EXPECT_EQ(codec.Decode(jpeg.data(), jpeg.size(), false), 4) << "the decoder recovers";
}

