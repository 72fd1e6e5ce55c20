#include <gtest/gtest.h>

#include <QTemporaryDir>

#include <algorithm>

#include "platform/AviWriter.h"
#include "support/AviTestReader.h"

namespace {

QByteArray FramePattern(int index, std::uint32_t size) {
  QByteArray frame(size, Qt::Uninitialized);
  for (std::uint32_t i = 0; i < size; ++i) frame[i] = static_cast<char>(index * 7 + i);
  return frame;
}

// The data chunks an index names; the chunks that hold a picture are empty.
std::vector<QByteArray> DataFrames(const avitest::AviTestReader& r, const std::vector<avitest::IndexedChunk>& index) {
  std::vector<QByteArray> out;
  for (const auto& c : index)
    if (c.size > 0) out.push_back(r.DataAt(c));
  return out;
}

}  // namespace

// 20 frames of ten samples at 60 a second, about four frames a RIFF: the file
// goes on in AVIX chunks, each with its ix00 named by the super index; idx1
// and the main header cover the first RIFF; ffprobe reads every frame.
TEST(AviWriter, ContinuesInAvixChunksPastTheRiffLimit) {
  QTemporaryDir dir;
  const QString path = dir.filePath("c.avi");
  const AviVideoFormat f;
  constexpr int kFrames = 20;
  constexpr std::uint32_t kSamples = 10;
  const std::uint64_t limit = 4 * (f.ImageSize() + 200) + 5000;
  std::vector<QByteArray> written;
  {
    AviWriter w(limit);
    ASSERT_TRUE(w.Open(path) && w.CreateVideoStream(f));
    for (int i = 0; i < kFrames; ++i) {
      written.push_back(FramePattern(i, f.ImageSize()));
      const auto* data = reinterpret_cast<const std::uint8_t*>(written.back().constData());
      ASSERT_TRUE(w.WriteFrame(data, f.ImageSize(), kSamples));
    }
    ASSERT_TRUE(w.Close());
  }
  avitest::AviTestReader r;
  ASSERT_TRUE(r.Load(path)) << r.Error();
  const auto& top = r.Top();
  const avitest::Chunk* indx = r.FindPath({"hdrl", "strl", "indx"});
  ASSERT_TRUE(top.size() >= 4 && indx);
  const std::uint64_t d = indx->DataOffset();
  ASSERT_EQ(r.U32(d + 4), top.size());
  std::uint32_t duration = 0;
  for (std::size_t i = 0; i < top.size(); ++i) {
    EXPECT_EQ(top[i].id + top[i].listType, i == 0 ? "RIFFAVI " : "RIFFAVIX") << i;
    EXPECT_LE(top[i].size, limit) << i;
    // Each standard index sits inside the RIFF it covers.
    const std::uint64_t entry = d + 24 + 16 * i, ix = r.U64(entry);
    EXPECT_EQ(r.FourCc(ix), "ix00");
    EXPECT_EQ(r.U32(entry + 8), r.U32(ix + 4) + 8u);
    EXPECT_TRUE(ix > top[i].offset && ix < top[i].offset + 8 + top[i].size) << i;
    duration += r.U32(entry + 12);
  }
  EXPECT_EQ(duration, kFrames * kSamples);
  const auto legacy = r.LegacyIndex(), openDml = r.OpenDmlIndex();
  EXPECT_EQ(r.U32(r.FindPath({"hdrl", "avih"})->DataOffset() + 16), legacy.size());
  EXPECT_LT(legacy.size(), kFrames * kSamples);
  EXPECT_EQ(r.U32(r.FindPath({"hdrl", "strl", "strh"})->DataOffset() + 32), kFrames * kSamples);
  EXPECT_EQ(r.U32(r.FindPath({"hdrl", "odml", "dmlh"})->DataOffset()), kFrames * kSamples);
  EXPECT_TRUE(DataFrames(r, openDml) == written);
  const auto legacyFrames = DataFrames(r, legacy);
  EXPECT_TRUE(!legacyFrames.empty() && std::equal(legacyFrames.begin(), legacyFrames.end(), written.begin()));
  // Both indexes mark the frames with data as key frames and the empty hold chunks as not.
  for (const auto* index : {&legacy, &openDml}) {
    EXPECT_TRUE(std::all_of(index->begin(), index->end(), [](const auto& c) { return c.keyFrame == (c.size > 0); }));
  }

  const auto p = avitest::Probe(path);
  if (p.isEmpty()) GTEST_SKIP() << "ffprobe not installed";
  ASSERT_EQ(p["exit"], "0") << p["errors"].toStdString();
  const QStringList read = {p["codec_name"], p["pix_fmt"], p["width"], p["height"], p["nb_read_packets"],
                            p["nb_read_frames"]};
  EXPECT_EQ(read.join(' '), QString("rawvideo bgr24 640 480 %1 %1").arg(kFrames));
  EXPECT_NEAR(p["duration"].toDouble(), kFrames * kSamples / 60.0, 0.02);
}
