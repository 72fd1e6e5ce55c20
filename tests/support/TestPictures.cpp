#include <QPainter>
#include <algorithm>
#include <iterator>
#include <stdexcept>
#include <turbojpeg.h>

#include "support/TestPictures.h"

namespace testpictures {

MarkFields FieldsForChannel(int channel, bool inverted) {
  // Field a would count 8; the sel field is set only in the inverted form.
  MarkFields f{false, (channel & 4) != 0, (channel & 2) != 0, (channel & 1) != 0, false};
  if (inverted) {
    for (bool& field : f) field = !field;
  }
  return f;
}

QImage MakePicture(int width, int height) {
  QImage p(width, height, QImage::Format_RGB888);
  for (int y = 0; y < height; ++y) {
    for (int x = 0; x < width; ++x) {
      std::uint8_t* px = p.scanLine(y) + 3 * x;
      px[0] = static_cast<std::uint8_t>(128 + (x - y) / 4);
      px[1] = static_cast<std::uint8_t>(y * 255 / std::max(height - 1, 1));
      px[2] = static_cast<std::uint8_t>(x * 255 / std::max(width - 1, 1));
    }
  }
  QPainter(&p).fillRect(0, 0, width, kMarkBandLines, Qt::black);
  return p;
}

void PaintMarkFields(QImage& picture, const MarkFields& fields, int lines) {
  QPainter painter(&picture);
  for (std::size_t f = 0; f < fields.size(); ++f)
    painter.fillRect(kFieldColumns[f], 0, kFieldWidth, lines, fields[f] ? Qt::white : Qt::black);
}

void PaintIndexBars(QImage& picture) {
  QPainter painter(&picture);
  painter.fillRect(0, 0, kIndexEnd, kMarkBandLines, Qt::black);
  painter.fillRect(kIndexWhite, 0, kIndexBlack2 - kIndexWhite, kMarkBandLines, Qt::white);
}

std::vector<std::uint8_t> Encode(const QImage& picture, JpegKind kind, int quality, std::uint8_t alpha) {
  tjhandle tj = tjInitCompress();
  if (!tj) throw std::runtime_error("tjInitCompress failed");
  const QImage rgb = picture.convertToFormat(QImage::Format_RGB888);
  const int width = rgb.width(), height = rgb.height();
  std::vector<std::uint8_t> cmyk;
  const std::uint8_t* source = rgb.constBits();
  int pixelFormat = TJPF_RGB, pitch = static_cast<int>(rgb.bytesPerLine());
  int subsampling = kind == JpegKind::Grey ? TJSAMP_GRAY : TJSAMP_420;
  if (kind == JpegKind::FourComponent) {
    // TurboJPEG stores CMYK input as YCCK: Y, Cb, Cr of (255 - C, 255 - M,
    // 255 - Y) and K unchanged. Inverting R, G, B into C, M, Y therefore gives
    // the components Y, Cb, Cr of the picture, and K carries the alpha.
    for (int y = 0; y < height; ++y) {
      for (const std::uint8_t *px = rgb.constScanLine(y), *end = px + 3 * width; px < end; px += 3)
        cmyk.insert(cmyk.end(), {static_cast<std::uint8_t>(255 - px[0]), static_cast<std::uint8_t>(255 - px[1]),
                                 static_cast<std::uint8_t>(255 - px[2]), alpha});
    }
    source = cmyk.data();
    pixelFormat = TJPF_CMYK;
    pitch = 4 * width;
    subsampling = TJSAMP_444;
  }
  unsigned char* jpeg = nullptr;
  unsigned long size = 0;
  const int rc = tjCompress2(tj, source, width, pitch, height, pixelFormat, &jpeg, &size, subsampling, quality,
                          kind == JpegKind::Progressive ? TJFLAG_PROGRESSIVE : 0);
  std::vector<std::uint8_t> out;
  if (rc == 0) out.assign(jpeg, jpeg + size);
  tjFree(jpeg);
  tjDestroy(tj);
  if (rc != 0) throw std::runtime_error("tjCompress2 failed");
  if (kind == JpegKind::FourComponent) {
    // The library writes no JFIF segment for four components: APP0 of 16 bytes, "JFIF" 1.01, 1:1, no thumbnail.
    static constexpr std::uint8_t kApp0[] = {0xFF, 0xE0, 0x00, 0x10, 'J', 'F', 'I', 'F', 0x00,
                                             0x01, 0x01, 0x00, 0x00, 0x01, 0x00, 0x01, 0x00, 0x00};
    out.insert(out.begin() + 2, std::begin(kApp0), std::end(kApp0));
  }
  return out;
}

std::vector<std::uint8_t> MakeJpeg(int width, int height, int channel, bool indexBars, JpegKind kind,
                                   int quality) {
  QImage p = MakePicture(width, height);
  PaintMarkFields(p, FieldsForChannel(channel));
  if (indexBars) PaintIndexBars(p);
  return Encode(p, kind, quality);
}

}  // namespace testpictures
