#include "platform/JpegFileWriter.h"

#include <gtest/gtest.h>
#include <turbojpeg.h>

#include <QFile>
#include <QTemporaryDir>
#include <tuple>
#include <vector>

namespace {

// A 640 x 480 DIB: bottom-up BGR rows, the top half blue, the bottom half red.
std::vector<std::uint8_t> TwoBandDib() {
  std::vector<std::uint8_t> dib(640 * 480 * 3, 0);
  for (std::size_t i = 0; i < dib.size(); i += 3) dib[i + (i >= dib.size() / 2 ? 0 : 2)] = 255;
  return dib;
}

}  // namespace

TEST(JpegFileWriter, WritesBaselineJfifWithTwoByTwoChroma) {
  QTemporaryDir dir;
  const QString path = dir.filePath("shot.jpg");
  const auto dib = TwoBandDib();
  ASSERT_TRUE(JpegFileWriter::Write(path, dib.data(), 640, 480, 0, true));

  QFile f(path);
  ASSERT_TRUE(f.open(QIODevice::ReadOnly));
  const QByteArray jpeg = f.readAll();
  ASSERT_GT(jpeg.size(), 4);
  EXPECT_TRUE(jpeg.startsWith(QByteArray("\xFF\xD8\xFF\xE0", 4)));
  EXPECT_EQ(jpeg.mid(6, 5), QByteArray("JFIF\0", 5));
  EXPECT_TRUE(jpeg.contains(QByteArray("\xFF\xC0", 2)));  // baseline frame
  EXPECT_FALSE(jpeg.contains(QByteArray("\xFF\xC2", 2)));

  tjhandle d = tjInitDecompress();
  const auto* src = reinterpret_cast<const unsigned char*>(jpeg.constData());
  const auto size = static_cast<unsigned long>(jpeg.size());
  int w = 0, h = 0, sub = -1, colorspace = -1;
  ASSERT_EQ(tjDecompressHeader3(d, src, size, &w, &h, &sub, &colorspace), 0);
  EXPECT_EQ(std::make_tuple(w, h, sub, colorspace), std::make_tuple(640, 480, int(TJSAMP_420), int(TJCS_YCbCr)));

  // Decoded top-down: the first row is the DIB's last (blue), the last row red.
  std::vector<std::uint8_t> rgb(640 * 480 * 3);
  ASSERT_EQ(tjDecompress2(d, src, size, rgb.data(), 640, 0, 480, TJPF_RGB, 0), 0);
  tjDestroy(d);
  const std::uint8_t* top = &rgb[(10 * 640 + 320) * 3];
  const std::uint8_t* bottom = &rgb[(470 * 640 + 320) * 3];
  EXPECT_LT(top[0], 40);
  EXPECT_GT(top[2], 210);
  EXPECT_GT(bottom[0], 210);
  EXPECT_LT(bottom[2], 40);
}

TEST(JpegFileWriter, ReportsFailures) {
  QTemporaryDir dir;
  const auto dib = TwoBandDib();
  EXPECT_FALSE(JpegFileWriter::Write(dir.filePath("no/such/dir.jpg"), dib.data(), 640, 480, 0, true));
  EXPECT_FALSE(JpegFileWriter::Write(dir.filePath("x.jpg"), nullptr, 640, 480, 0, true));
  EXPECT_FALSE(QFile::exists(dir.filePath("x.jpg")));
}
