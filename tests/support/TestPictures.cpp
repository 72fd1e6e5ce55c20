#include <algorithm>
#include <iterator>
#include <stdexcept>
#include <turbojpeg.h>
#include <utility>

#include "support/TestPictures.h"

namespace testpictures {

void Picture::Fill(int x, int y, int w, int h, std::uint8_t b, std::uint8_t g, std::uint8_t r) {
  const int x0 = std::max(x, 0), x1 = std::min(x + w, width);
  const int y0 = std::max(y, 0), y1 = std::min(y + h, height);
  for (int row = y0; row < y1; ++row) {
    for (int col = x0; col < x1; ++col) {
      std::uint8_t* p = &bgr[(static_cast<std::size_t>(row) * width + col) * 3];
      p[0] = b;
      p[1] = g;
      p[2] = r;
    }
  }
}

MarkFields FieldsForChannel(int channel, bool inverted) {
  // Field a would count 8; the sel field is set only in the inverted form.
  MarkFields f{false, (channel & 4) != 0, (channel & 2) != 0, (channel & 1) != 0, false};
  if (inverted) {
    for (bool& field : f) field = !field;
  }
  return f;
}

Picture MakePicture(int width, int height) {
  Picture p;
  p.width = width;
  p.height = height;
  p.bgr.resize(static_cast<std::size_t>(width) * height * 3);
  for (int y = 0; y < height; ++y) {
    for (int x = 0; x < width; ++x) {
      std::uint8_t* px = &p.bgr[(static_cast<std::size_t>(y) * width + x) * 3];
      px[0] = static_cast<std::uint8_t>(x * 255 / std::max(width - 1, 1));
      px[1] = static_cast<std::uint8_t>(y * 255 / std::max(height - 1, 1));
      px[2] = static_cast<std::uint8_t>(128 + (x - y) / 4);
    }
  }
  p.Fill(0, 0, width, kMarkBandLines, 0, 0, 0);
  return p;
}

void PaintMarkFields(Picture& picture, const MarkFields& fields, int lines) {
  for (int f = 0; f < 5; ++f) {
    const std::uint8_t v = fields[static_cast<std::size_t>(f)] ? 255 : 0;
    picture.Fill(kFieldColumns[f], 0, kFieldWidth, lines, v, v, v);
  }
}

void PaintIndexBars(Picture& picture) {
  picture.Fill(kIndexBlack1, 0, kIndexWhite - kIndexBlack1, kMarkBandLines, 0, 0, 0);
  picture.Fill(kIndexWhite, 0, kIndexBlack2 - kIndexWhite, kMarkBandLines, 255, 255, 255);
  picture.Fill(kIndexBlack2, 0, kIndexEnd - kIndexBlack2, kMarkBandLines, 0, 0, 0);
}

namespace {

// Inserts a JFIF APP0 segment after SOI unless the stream already starts FF D8 FF E0.
std::vector<std::uint8_t> WithJfifHeader(std::vector<std::uint8_t> jpeg) {
  if (jpeg.size() < 4 || (jpeg[2] == 0xFF && jpeg[3] == 0xE0)) return jpeg;
  // APP0 of 16 bytes: "JFIF", version 1.01, no density unit, 1:1, no thumbnail.
  static constexpr std::uint8_t kApp0[] = {0xFF, 0xE0, 0x00, 0x10, 'J', 'F', 'I', 'F', 0x00,
                                           0x01, 0x01, 0x00, 0x00, 0x01, 0x00, 0x01, 0x00, 0x00};
  jpeg.insert(jpeg.begin() + 2, std::begin(kApp0), std::end(kApp0));
  return jpeg;
}

}  // namespace

std::vector<std::uint8_t> Encode(const Picture& picture, JpegKind kind, int quality, std::uint8_t alpha) {
  tjhandle tj = tjInitCompress();
  if (!tj) throw std::runtime_error("tjInitCompress failed");
  std::vector<std::uint8_t> source = picture.bgr;
  int pixelFormat = TJPF_BGR;
  int subsampling = TJSAMP_420;
  if (kind == JpegKind::Grey) subsampling = TJSAMP_GRAY;
  if (kind == JpegKind::FourComponent) {
    // TurboJPEG stores CMYK input as YCCK: Y, Cb, Cr of (255 - C, 255 - M,
    // 255 - Y) and K unchanged. Inverting R, G, B into C, M, Y therefore gives
    // the components Y, Cb, Cr of the picture, and K carries the alpha.
    source.resize(static_cast<std::size_t>(picture.width) * picture.height * 4);
    for (std::size_t i = 0, n = static_cast<std::size_t>(picture.width) * picture.height; i < n; ++i) {
      const std::uint8_t* px = &picture.bgr[i * 3];
      source[i * 4 + 0] = static_cast<std::uint8_t>(255 - px[2]);
      source[i * 4 + 1] = static_cast<std::uint8_t>(255 - px[1]);
      source[i * 4 + 2] = static_cast<std::uint8_t>(255 - px[0]);
      source[i * 4 + 3] = alpha;
    }
    pixelFormat = TJPF_CMYK;
    subsampling = TJSAMP_444;
  }
  unsigned char* jpeg = nullptr;
  unsigned long size = 0;
  const int pitch = picture.width * tjPixelSize[pixelFormat];
  const int rc = tjCompress2(tj, source.data(), picture.width, pitch, picture.height, pixelFormat, &jpeg, &size,
                             subsampling, quality, 0);
  std::vector<std::uint8_t> out;
  if (rc == 0) out.assign(jpeg, jpeg + size);
  tjFree(jpeg);
  tjDestroy(tj);
  if (rc != 0) throw std::runtime_error("tjCompress2 failed");
  return kind == JpegKind::FourComponent ? WithJfifHeader(std::move(out)) : out;
}

std::vector<std::uint8_t> MakeJpeg(int width, int height, int channel, bool indexBars, JpegKind kind,
                                   int quality) {
  Picture p = MakePicture(width, height);
  PaintMarkFields(p, FieldsForChannel(channel));
  if (indexBars) PaintIndexBars(p);
  return Encode(p, kind, quality);
}

}  // namespace testpictures
