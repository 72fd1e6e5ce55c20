#include <gtest/gtest.h>

#include <QCryptographicHash>
#include <QFile>
#include <QTemporaryDir>
#include <QtEndian>

#include "platform/AviWriter.h"
#include "support/AviProbe.h"

// 20 frames of ten samples at 60 a second, about four frames a RIFF: the file
// goes on in AVIX chunks, each with its ix00; ffprobe reads every frame
// through the OpenDML index and through idx1.
TEST(AviWriter, ContinuesInAvixChunksPastTheRiffLimit) {
  QTemporaryDir dir;
  const QString path = dir.filePath("c.avi");
  const AviVideoFormat f;
  constexpr int kFrames = 20;
  constexpr std::uint32_t kSamples = 10;
  const std::uint64_t limit = 4 * (f.ImageSize() + 200) + 5000;
  QStringList hashes;
  {
    AviWriter w(limit);
    ASSERT_TRUE(w.Open(path) && w.CreateVideoStream(f));
    for (int i = 0; i < kFrames; ++i) {
      QByteArray frame(f.ImageSize(), Qt::Uninitialized);
      for (std::uint32_t b = 0; b < f.ImageSize(); ++b) frame[b] = static_cast<char>(i * 7 + b);
      hashes << "MD5:" + QCryptographicHash::hash(frame, QCryptographicHash::Md5).toHex();
      ASSERT_TRUE(w.WriteFrame(reinterpret_cast<const std::uint8_t*>(frame.constData()), f.ImageSize(), kSamples));
    }
    ASSERT_TRUE(w.Close());
  }
  // The RIFF chunks fill the file, each within the limit.
  QFile file(path);
  ASSERT_TRUE(file.open(QIODevice::ReadOnly));
  const QByteArray bytes = file.readAll();
  QStringList forms;
  qsizetype pos = 0;
  for (; pos + 12 <= bytes.size(); pos += 8 + qFromLittleEndian<quint32>(bytes.constData() + pos + 4)) {
    EXPECT_LE(qFromLittleEndian<quint32>(bytes.constData() + pos + 4), limit);
    forms << bytes.mid(pos, 4) + bytes.mid(pos + 8, 4);
  }
  EXPECT_EQ(pos, bytes.size());
  ASSERT_GE(forms.size(), 4);
  EXPECT_EQ(forms.front(), "RIFFAVI ");
  EXPECT_EQ(forms.count("RIFFAVIX"), forms.size() - 1);
  // Both indexes mark the frames with data as key frames and the empty hold chunks as not:
  // idx1 entries are id, flags, offset and size; ix00 entries offset and size, whose top bit says "no key frame".
  const auto u32 = [&bytes](qsizetype at) { return qFromLittleEndian<quint32>(bytes.constData() + at); };
  const qsizetype idx1 = bytes.indexOf("idx1");
  ASSERT_GT(idx1, 0);
  for (qsizetype e = idx1 + 8; e < idx1 + 8 + u32(idx1 + 4); e += 16) EXPECT_EQ(u32(e + 4) == 0x10, u32(e + 12) > 0);
  qsizetype ix00Chunks = 0;
  for (qsizetype ix = bytes.indexOf("ix00"); ix >= 0; ix = bytes.indexOf("ix00", ix + 4), ++ix00Chunks) {
    for (qsizetype e = ix + 32; e < ix + 32 + 8 * qsizetype(u32(ix + 12)); e += 8)
      EXPECT_EQ(u32(e + 4) < 0x80000000u, (u32(e + 4) & 0x7FFFFFFFu) > 0);
  }
  EXPECT_EQ(ix00Chunks, forms.size());

  const auto odml = avitest::Probe(path), legacy = avitest::Probe(path, false);
  if (odml.stream.isEmpty()) GTEST_SKIP() << "ffprobe not installed";
  ASSERT_EQ(odml.stream["exit"], "0") << odml.stream["errors"].toStdString();
  const QStringList read = {odml.stream["codec_name"], odml.stream["pix_fmt"], odml.stream["width"],
                            odml.stream["height"], odml.stream["nb_read_frames"]};
  EXPECT_EQ(read.join(' '), QString("rawvideo bgr24 640 480 %1").arg(kFrames));
  EXPECT_NEAR(odml.stream["duration"].toDouble(), kFrames * kSamples / 60.0, 0.02);
  EXPECT_EQ(odml.packetHashes, hashes);
  EXPECT_EQ(legacy.packetHashes, hashes);
}
