#include <gtest/gtest.h>

#include <QFileInfo>
#include <QStorageInfo>
#include <QTemporaryDir>

#include "platform/AviWriter.h"
#include "support/AviTestReader.h"

using avitest::AviTestReader;
using avitest::Chunk;

namespace {

AviVideoFormat SmallFormat() {
  AviVideoFormat f;
  f.width = 6;  // 18 bytes a row, padded to 20
  f.height = 4;
  return f;
}

std::vector<std::uint8_t> FramePattern(std::uint32_t size, int index) {
  std::vector<std::uint8_t> v(size);
  for (std::uint32_t i = 0; i < size; ++i) v[i] = static_cast<std::uint8_t>(index * 7 + i);
  return v;
}

// Writes `frames` frames of `format`, each holding `samples` samples.
bool WriteFile(const QString& path, const AviVideoFormat& format, int frames, std::uint32_t samples,
               std::uint64_t riffLimit = AviWriter::kDefaultRiffSizeLimit) {
  AviWriter w(riffLimit);
  if (!w.Open(path) || !w.CreateVideoStream(format)) return false;
  for (int i = 0; i < frames; ++i) {
    const auto data = FramePattern(format.ImageSize(), i);
    if (!w.WriteFrame(data.data(), data.size(), samples)) return false;
  }
  return w.Close();
}

// Data chunks with their frame number: hold chunks are empty.
std::vector<QByteArray> DataFrames(const AviTestReader& r, const std::vector<avitest::IndexedChunk>& index) {
  std::vector<QByteArray> out;
  for (const auto& c : index)
    if (c.size > 0) out.push_back(r.DataAt(c));
  return out;
}

}  // namespace

TEST(AviWriter, ContinuesInAvixChunksPastTheRiffLimit) {
  QTemporaryDir dir;
  const QString path = dir.filePath("c.avi");
  const AviVideoFormat f = SmallFormat();
  constexpr std::uint64_t kLimit = 6000;  // the first RIFF carries the headers (about 4.5 KB) and a few frames
  constexpr int kFrames = 150;
  constexpr std::uint32_t kSamples = 2;
  ASSERT_TRUE(WriteFile(path, f, kFrames, kSamples, kLimit));

  AviTestReader r;
  ASSERT_TRUE(r.Load(path)) << r.Error();
  ASSERT_GE(r.Top().size(), 3u);
  EXPECT_EQ(r.Top()[0].listType, "AVI ");
  for (std::size_t i = 0; i < r.Top().size(); ++i) {
    const Chunk& riff = r.Top()[i];
    EXPECT_EQ(riff.id, "RIFF");
    EXPECT_LE(riff.size, kLimit) << i;
    if (i > 0) {
      EXPECT_EQ(riff.listType, "AVIX") << i;
      ASSERT_EQ(riff.children.size(), 1u);
      EXPECT_EQ(riff.children[0].listType, "movi");
      EXPECT_EQ(riff.children[0].children.back().id, "ix00");
    }
  }

  const Chunk* indx = r.FindPath({"hdrl", "strl", "indx"});
  ASSERT_NE(indx, nullptr);
  const std::uint64_t d = indx->DataOffset();
  EXPECT_EQ(r.U16(d), 4u);
  EXPECT_EQ(r.Bytes()[static_cast<qsizetype>(d + 3)], 0);  // index of indexes
  ASSERT_EQ(r.U32(d + 4), r.Top().size());
  EXPECT_EQ(r.FourCc(d + 8), "00db");
  std::uint32_t duration = 0;
  for (std::uint32_t i = 0; i < r.U32(d + 4); ++i) {
    const std::uint64_t ix = r.U64(d + 24 + 16ull * i);
    EXPECT_EQ(r.FourCc(ix), "ix00");
    EXPECT_EQ(r.U32(d + 24 + 16ull * i + 8), r.U32(ix + 4) + 8u);
    // Each standard index sits inside the RIFF it covers.
    EXPECT_GT(ix, r.Top()[i].offset);
    EXPECT_LT(ix, r.Top()[i].offset + 8 + r.Top()[i].size);
    duration += r.U32(d + 24 + 16ull * i + 12);
  }
  EXPECT_EQ(duration, kFrames * kSamples);

  // Header totals: avih counts the first RIFF only, strh and dmlh the whole stream.
  const auto legacy = r.LegacyIndex();
  EXPECT_EQ(r.U32(r.FindPath({"hdrl", "avih"})->DataOffset() + 16), legacy.size());
  EXPECT_LT(legacy.size(), kFrames * kSamples);
  EXPECT_EQ(r.U32(r.FindPath({"hdrl", "strl", "strh"})->DataOffset() + 32), kFrames * kSamples);
  EXPECT_EQ(r.U32(r.FindPath({"hdrl", "odml", "dmlh"})->DataOffset()), kFrames * kSamples);

  const auto frames = DataFrames(r, r.OpenDmlIndex());
  ASSERT_EQ(frames.size(), static_cast<std::size_t>(kFrames));
  for (int i = 0; i < kFrames; ++i) {
    const auto expected = FramePattern(80, i);
    EXPECT_EQ(frames[i], QByteArray(reinterpret_cast<const char*>(expected.data()), 80)) << i;
  }
  const auto legacyFrames = DataFrames(r, legacy);
  for (std::size_t i = 0; i < legacyFrames.size(); ++i) EXPECT_EQ(legacyFrames[i], frames[i]);
}

// 20 frames of ten samples at 60 a second (3.33 s), about four frames a RIFF:
// ffprobe follows the OpenDML index through the AVIX chunks.
TEST(AviWriter, FfprobeReadsFramesAndDurationThroughTheOpenDmlIndex) {
  QTemporaryDir dir;
  const QString path = dir.filePath("probe.avi");
  const AviVideoFormat f;
  ASSERT_TRUE(WriteFile(path, f, 20, 10, 4 * (f.ImageSize() + 200) + 5000));
  AviTestReader r;
  ASSERT_TRUE(r.Load(path)) << r.Error();
  ASSERT_GE(r.Top().size(), 4u);
  const auto p = avitest::Probe(path);
  if (!p.available) GTEST_SKIP() << "ffprobe not installed";
  ASSERT_EQ(p.exitCode, 0) << p.errors.toStdString();
  EXPECT_EQ(p.codec, "rawvideo");
  EXPECT_EQ(p.pixelFormat, "bgr24");
  EXPECT_EQ(p.width, 640);
  EXPECT_EQ(p.height, 480);
  EXPECT_EQ(p.packets, 20);
  EXPECT_EQ(p.frames, 20);
  EXPECT_NEAR(p.duration, 200.0 / 60.0, 0.02);
}

TEST(AviWriter, SegmentPastOneGibibyteStaysReadable) {
  QTemporaryDir dir;
  // About 1.15 GB is written and deleted again; only where the disk has room for it.
  if (QStorageInfo(dir.path()).bytesAvailable() < 3LL * 1024 * 1024 * 1024) GTEST_SKIP() << "not enough disk";
  const QString path = dir.filePath("long.avi");
  const AviVideoFormat f;  // 640 x 480 x 24 bits, as recorded
  constexpr int kFrames = 1250;
  std::vector<std::uint8_t> frame(f.ImageSize(), 0x40);
  AviWriter w;
  ASSERT_TRUE(w.Open(path));
  ASSERT_TRUE(w.CreateVideoStream(f));
  for (int i = 0; i < kFrames; ++i) {
    frame[0] = static_cast<std::uint8_t>(i);
    ASSERT_TRUE(w.WriteFrame(frame.data(), frame.size())) << i;
  }
  EXPECT_EQ(w.RiffCount(), 2u);
  ASSERT_TRUE(w.Close());
  EXPECT_GT(QFileInfo(path).size(), 1LL << 30);

  AviTestReader r;
  ASSERT_TRUE(r.Load(path)) << r.Error();
  ASSERT_EQ(r.Top().size(), 2u);
  const auto p = avitest::Probe(path);
  if (!p.available) GTEST_SKIP() << "ffprobe not installed";
  ASSERT_EQ(p.exitCode, 0) << p.errors.toStdString();
  EXPECT_EQ(p.packets, kFrames);
}
