#include <gtest/gtest.h>

#include <QFile>
#include <QTemporaryDir>

#include <tuple>
#include <turbojpeg.h>
#include <vector>

#include "platform/JpegFileWriter.h"

// Baseline JFIF with 2 x 2 chroma; a taken name is kept and the new file
// numbered. Failed writes (no folder, a full disk) are the snapshot tests'.
TEST(JpegFileWriter, WritesBaselineJfifAndNeverLeavesATruncatedFile) {
  QTemporaryDir dir;
  const std::vector<std::uint8_t> dib(640 * 480 * 3, 0x80);
  const QString path = dir.filePath("x.jpg");
  EXPECT_TRUE(JpegFileWriter::Write(path, nullptr, 640, 480, 0, true).isEmpty());
  EXPECT_EQ(JpegFileWriter::Write(path, dib.data(), 640, 480, 0, true), path);
  EXPECT_EQ(JpegFileWriter::Write(path, dib.data(), 640, 480, 0, false), dir.filePath("x (2).jpg"));

  QFile f(path);
  ASSERT_TRUE(f.open(QIODevice::ReadOnly));
  const QByteArray jpeg = f.readAll();
  EXPECT_TRUE(jpeg.startsWith(QByteArray("\xFF\xD8\xFF\xE0\0\x10JFIF\0", 11)));
  EXPECT_TRUE(jpeg.contains(QByteArray("\xFF\xC0", 2)));  // baseline frame
  EXPECT_FALSE(jpeg.contains(QByteArray("\xFF\xC2", 2)));
  tjhandle d = tjInitDecompress();
  int w = 0, h = 0, sub = -1, colorspace = -1;
  tjDecompressHeader3(d, reinterpret_cast<const unsigned char*>(jpeg.constData()),
                      static_cast<unsigned long>(jpeg.size()), &w, &h, &sub, &colorspace);
  tjDestroy(d);
  EXPECT_EQ(std::make_tuple(w, h, sub, colorspace), std::make_tuple(640, 480, int(TJSAMP_420), int(TJCS_YCbCr)));
}
