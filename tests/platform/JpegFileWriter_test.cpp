#include "platform/JpegFileWriter.h"

#include <gtest/gtest.h>
#include <turbojpeg.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <tuple>
#include <vector>

#include "support/FileSizeLimit.h"

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
  ASSERT_EQ(JpegFileWriter::Write(path, dib.data(), 640, 480, 0, true), path);

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

// A failed write leaves nothing behind; a taken name is kept and the new file numbered.
TEST(JpegFileWriter, ReportsFailuresAndNeverLeavesATruncatedFile) {
  QTemporaryDir dir;
  const auto dib = TwoBandDib();
  const QString path = dir.filePath("x.jpg");
  const auto files = [&dir] { return QDir(dir.path()).entryList(QDir::Files | QDir::Hidden, QDir::Name); };
  EXPECT_TRUE(JpegFileWriter::Write(dir.filePath("no/such/dir.jpg"), dib.data(), 640, 480, 0, true).isEmpty());
  EXPECT_TRUE(JpegFileWriter::Write(path, nullptr, 640, 480, 0, true).isEmpty());
  {
    FileSizeLimit full(1000);
    ASSERT_TRUE(full.IsSet());
    EXPECT_TRUE(JpegFileWriter::Write(path, dib.data(), 640, 480, 0, true).isEmpty());
  }
  EXPECT_EQ(files(), QStringList{});

  EXPECT_EQ(JpegFileWriter::Write(path, dib.data(), 640, 480, 0, true), path);
  EXPECT_EQ(JpegFileWriter::Write(path, dib.data(), 640, 480, 0, false), dir.filePath("x (2).jpg"));
  EXPECT_EQ(files(), (QStringList{"x (2).jpg", "x.jpg"}));
}
