#pragma once
// The worker thread of AVI recording. Frames are streamed to the open
// segment's file as they come, so only the frames not yet written stay in
// memory. A segment's file is written under a temporary name in the record
// folder and gets its final name when the segment ends (a taken name gets a
// number, PendingFile). Capturing stays on the user-interface thread.

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
  // Every frame lasts this many samples of the 60-per-second stream.
  static constexpr std::uint32_t kSamplesPerFrame = 10;
  static constexpr std::uint32_t kStreamRate = 60;

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

  // A new segment whose file goes into folder. Each Begin is followed by
  // frames and then one End or Abort.
  void Begin(const QString& folder, std::uint64_t runId);
  void AddFrame(FrameBank::Frame frame);
  // The segment's file is completed and named finalPath (or its numbered form).
  void End(const QString& finalPath, bool fromTimer);
  // The segment's file is removed.
  void Abort();

  // Frames handed over and not yet written (or dropped).
  int FramesInMemory() const { return m_framesInMemory.load(); }

 private:
  enum class Op { Begin, Frame, End, Abort };
  struct Command {
    Op op = Op::Frame;
    FrameBank::Frame frame;
    QString path;  // Begin: the folder; End: the final name
    std::uint64_t runId = 0;
    bool fromTimer = false;
  };
  struct Segment;

  void Push(Command command);
  void Run();
  void Handle(Command& command);
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
  std::thread m_thread;
};
