#pragma once
// A RIFF AVI writer for one stream of DIB frames, uncompressed or each a
// JPEG picture (Motion-JPEG). The first
// RIFF 'AVI ' carries the legacy 'idx1' index; once it would grow past the
// RIFF size limit (1 GiB) the file continues in RIFF 'AVIX' chunks, each with
// its own 'ix00' standard index, all reachable from the 'indx' super index
// (OpenDML), so files of any length stay readable.

#include <QFile>
#include <QString>
#include <cstddef>
#include <cstdint>
#include <vector>

// What the stream headers and the 40-byte BITMAPINFOHEADER format describe.
struct AviVideoFormat {
  // The compression FOURCC of Motion-JPEG: every frame one JPEG picture.
  static constexpr std::uint32_t kMotionJpeg = 'M' | 'J' << 8 | 'P' << 16 | 'G' << 24;

  std::int32_t width = 640;
  std::int32_t height = 480;  // positive: rows stored bottom-up
  std::uint16_t bitCount = 24;
  std::uint32_t scale = 1;  // one sample lasts scale / rate seconds
  std::uint32_t rate = 60;
  std::uint32_t suggestedBufferSize = 0;  // 0: the frame's image size
  std::uint32_t compression = 0;  // FOURCC of the frames' coding; 0: uncompressed rows

  // Bytes of one row, padded to 4, and of a whole frame.
  std::uint32_t Stride() const { return ((static_cast<std::uint32_t>(bitCount) / 8u) * static_cast<std::uint32_t>(width) + 3u) & ~3u; }
  std::uint32_t ImageSize() const { return Stride() * static_cast<std::uint32_t>(height); }
};

class AviWriter {
 public:
  static constexpr std::uint64_t kDefaultRiffSizeLimit = 1ull << 30;  // 1 GiB
  // Entries reserved in the super index: one per RIFF chunk of the file.
  static constexpr std::uint32_t kSuperIndexEntries = 256;

  // riffSizeLimit: the most bytes one RIFF chunk may hold; tests pass a small
  // value to reach the AVIX continuation without writing gigabytes.
  explicit AviWriter(std::uint64_t riffSizeLimit = kDefaultRiffSizeLimit);
  ~AviWriter();  // closes the file if still open
  AviWriter(const AviWriter&) = delete;
  AviWriter& operator=(const AviWriter&) = delete;

  // Creates (or replaces) the file. Nothing is written yet.
  bool Open(const QString& path);
  // Declares the one video stream; must come before the first frame.
  bool CreateVideoStream(const AviVideoFormat& format);
  // Appends one key frame of format.ImageSize() bytes (or any size) lasting
  // `samples` samples: the frame's chunk is followed by samples - 1 empty
  // chunks, the usual way of holding a picture for several samples.
  bool WriteFrame(const std::uint8_t* data, std::size_t size, std::uint32_t samples = 1);
  // Holds the last frame written for `samples` more samples.
  bool HoldLastFrame(std::uint32_t samples);
  // Writes the indexes and headers and closes the file. A file closed without
  // a stream holds the main header and an empty 'movi' list.
  bool Close();

  bool IsOpen() const { return m_file.isOpen(); }
  bool HasStream() const { return m_hasStream; }
  std::uint32_t FrameCount() const { return m_frameCount; }      // frames with data
  std::uint64_t SampleCount() const { return m_totalSamples; }   // the stream's length
  std::uint32_t RiffCount() const { return static_cast<std::uint32_t>(m_superIndex.size()) + (m_riffOpen ? 1u : 0u); }

 private:
  struct ChunkEntry {
    std::uint64_t position;  // of the chunk header in the file
    std::uint32_t size;      // of the chunk data
    bool keyFrame;
  };
  struct SuperIndexEntry {
    std::uint64_t offset;  // of the 'ix00' chunk
    std::uint32_t size;    // of that chunk, header included
    std::uint32_t duration;  // samples it covers
  };

  bool WriteBytes(const void* data, std::size_t size);
  bool WriteHeaders();
  bool BeginRiff(bool first);
  bool FinishRiff();
  bool PatchU32(std::uint64_t position, std::uint32_t value);
  // Continues in a new RIFF when `bytes` more in `entries` more chunks would pass the limit.
  bool MakeRoom(std::uint64_t bytes, std::size_t entries);
  bool WriteHoldChunks(std::uint32_t count);
  std::uint64_t ProjectedRiffSize(std::uint64_t extraBytes, std::size_t extraEntries) const;

  std::uint64_t m_riffSizeLimit;
  QFile m_file;
  bool m_failed = false;
  bool m_hasStream = false;
  AviVideoFormat m_format;

  // Positions of header fields patched on close.
  std::uint64_t m_avihPos = 0;
  std::uint64_t m_strhPos = 0;
  std::uint64_t m_indxPos = 0;
  std::uint64_t m_dmlhPos = 0;

  bool m_riffOpen = false;
  bool m_firstRiff = true;
  std::uint64_t m_riffStart = 0;  // position of the 'RIFF' header
  std::uint64_t m_moviStart = 0;  // position of the 'LIST' header of 'movi'
  std::uint64_t m_position = 0;   // end of the file
  std::vector<ChunkEntry> m_riffEntries;  // chunks of the RIFF being written
  std::uint32_t m_riffSamples = 0;
  std::uint32_t m_firstRiffEntries = 0;
  std::vector<SuperIndexEntry> m_superIndex;

  std::uint32_t m_frameCount = 0;
  std::uint64_t m_totalSamples = 0;
  std::uint64_t m_totalDataBytes = 0;
  std::uint32_t m_largestChunk = 0;
};
