#pragma once
// The worker thread of AVI recording. Frames are streamed to the open
// segment's file as they come, so only the frames not yet written stay in
// memory. A segment's file is written under a temporary name in the record
// folder and gets its final name when the segment ends (a taken name gets a
// number, PendingFile). Capturing stays on the user-interface thread; the
// Motion-JPEG encoding is done here.
//
// Each frame carries the time it was captured, and the file holds it from
// that moment to the next frame's (the segment's end for the last one), to
// the nearest sample: a segment plays as long as it took to record, whatever
// the capture rate. A frame that comes when its sample is long past (more
// than 60 a second for a while) is left out.

#include <QByteArray>
#include <QString>
#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <deque>
#include <functional>
#include <memory>
#include <mutex>
#include <thread>

#include "archive/FrameBank.h"

class AviWriter;
class JpegEncoder;

struct SegmentResult {
  enum class Kind {
    WriteFailed,  // the open segment cannot be written: told as soon as it is known
    Finished,     // one per ended or aborted segment, after a WriteFailed if any
  };
  Kind kind = Kind::Finished;
  QString path;  // the name the file got, or the one it was meant to get
  int frames = 0;
  bool written = false;  // the file is complete under `path` (with or without a stream)
  std::uint64_t runId = 0;
  bool fromTimer = false;
};

class AviSegmentWriter {
 public:
  static constexpr std::uint32_t kStreamRate = 60;  // samples per second
  // A frame up to this many samples late still goes in, at the next free sample.
  static constexpr std::uint64_t kMaxLateSamples = 6;
  static constexpr int kJpegQuality = 80;

  using Done = std::function<void(const SegmentResult&)>;  // called on the worker thread
  using Hook = std::function<void()>;

  struct TestHooks {
    Hook beforeFile;   // on the worker before each segment's file is created
    Hook beforeFrame;  // on the worker before each frame is written
  };

  // riffSizeLimit as AviWriter's.
  AviSegmentWriter(Done done, std::uint64_t riffSizeLimit, TestHooks hooks = {});
  // Writes what is still queued (an open segment is dropped), then ends the thread.
  ~AviSegmentWriter();
  AviSegmentWriter(const AviSegmentWriter&) = delete;
  AviSegmentWriter& operator=(const AviSegmentWriter&) = delete;

  // A new segment, starting at atMs, whose file goes into folder. Each Begin
  // is followed by frames and then one End or Abort. Times are milliseconds
  // of one monotonic clock.
  void Begin(const QString& folder, std::uint64_t runId, FrameBank::Format format, qint64 atMs);
  // A frame of bottom-up BGR rows, or a recorder's JPEG picture of the frame
  // size (Motion-JPEG only), captured at atMs.
  void AddFrame(FrameBank::Frame frame, qint64 atMs);
  void AddJpegFrame(QByteArray jpeg, qint64 atMs);
  // The segment ends at atMs: its file is completed and named finalPath (or
  // its numbered form).
  void End(const QString& finalPath, bool fromTimer, qint64 atMs);
  // The segment's file is removed.
  void Abort();

  // Frames handed over and not yet written (or dropped).
  int FramesInMemory() const { return m_framesInMemory.load(); }

 private:
  enum class Op { Begin, Frame, End, Abort };
  struct Command {
    Op op = Op::Frame;
    FrameBank::Frame frame{};
    QByteArray jpeg{};  // a frame taken as the recorder coded it
    QString path{};  // Begin: the folder; End: the final name
    FrameBank::Format format = FrameBank::Format::Uncompressed;
    qint64 atMs = 0;
    std::uint64_t runId = 0;
    bool fromTimer = false;
  };
  struct Segment;

  void Push(Command command);
  void Run();
  void Handle(Command& command);
  void WriteFrame(const Command& command);
  // The stream's sample for a time of the open segment.
  std::uint64_t SampleAt(qint64 atMs) const;
  void Fail();
  void Discard();
  void Finish(bool written, const QString& path, bool fromTimer);

  Done m_done;
  std::uint64_t m_riffSizeLimit;
  TestHooks m_hooks;
  std::atomic<int> m_framesInMemory{0};
  std::mutex m_mutex;  // guards the queue and m_stopping
  std::condition_variable m_wake;
  std::deque<Command> m_queue;
  bool m_stopping = false;
  std::unique_ptr<Segment> m_segment;  // worker thread only
  std::unique_ptr<JpegEncoder> m_encoder;  // worker thread only
  std::thread m_thread;
};
