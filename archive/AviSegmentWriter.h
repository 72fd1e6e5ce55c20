#pragma once
// The worker thread of AVI recording: it writes the frame banks handed to it
// one after the other, each into its own file, and reports each file when it
// is done. It only writes: capturing stays on the user-interface thread.

#include <QString>
#include <condition_variable>
#include <cstdint>
#include <deque>
#include <functional>
#include <mutex>
#include <thread>

#include "archive/FrameBank.h"

struct SegmentJob {
  QString path;  // full path of the AVI file; an existing file is replaced
  FrameBank frames;
  std::uint64_t runId = 0;
  bool fromTimer = false;  // ended by the RecordTimer: the run goes on after it
};

struct SegmentResult {
  QString path;
  int frames = 0;
  bool written = false;  // the file is complete (with or without a stream)
  std::uint64_t runId = 0;
  bool fromTimer = false;
};

class AviSegmentWriter {
 public:
  // Every frame lasts this many samples of the 60-per-second stream.
  static constexpr std::uint32_t kSamplesPerFrame = 10;
  static constexpr std::uint32_t kStreamRate = 60;

  using Done = std::function<void(const SegmentResult&)>;  // called on the worker thread
  using StartHook = std::function<void(const QString& path)>;

  // riffSizeLimit as AviWriter's; startHook runs on the worker before each file (tests).
  AviSegmentWriter(Done done, std::uint64_t riffSizeLimit, StartHook startHook = {});
  // Writes what is still queued, then ends the thread.
  ~AviSegmentWriter();
  AviSegmentWriter(const AviSegmentWriter&) = delete;
  AviSegmentWriter& operator=(const AviSegmentWriter&) = delete;

  void Enqueue(SegmentJob job);

  // Writes one bank: a bank without frames leaves a file without a stream.
  // A file that cannot be completed is removed.
  static SegmentResult WriteSegment(const SegmentJob& job, std::uint64_t riffSizeLimit);

 private:
  void Run();

  Done m_done;
  std::uint64_t m_riffSizeLimit;
  StartHook m_startHook;
  std::mutex m_mutex;  // guards the queue and m_stopping
  std::condition_variable m_wake;
  std::deque<SegmentJob> m_queue;
  bool m_stopping = false;
  std::thread m_thread;
};
