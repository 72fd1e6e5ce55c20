#include "archive/AviSegmentWriter.h"

#include <QFile>

#include "platform/AviWriter.h"

AviSegmentWriter::AviSegmentWriter(Done done, std::uint64_t riffSizeLimit, StartHook startHook)
    : m_done(std::move(done)), m_riffSizeLimit(riffSizeLimit), m_startHook(std::move(startHook)) {
  m_thread = std::thread([this] { Run(); });
}

AviSegmentWriter::~AviSegmentWriter() {
  {
    std::lock_guard lock(m_mutex);
    m_stopping = true;
  }
  m_wake.notify_one();
  m_thread.join();
}

void AviSegmentWriter::Enqueue(SegmentJob job) {
  {
    std::lock_guard lock(m_mutex);
    m_queue.push_back(std::move(job));
  }
  m_wake.notify_one();
}

void AviSegmentWriter::Run() {
  for (;;) {
    SegmentJob job;
    {
      std::unique_lock lock(m_mutex);
      m_wake.wait(lock, [this] { return m_stopping || !m_queue.empty(); });
      if (m_queue.empty()) return;  // stopping and nothing left to write
      job = std::move(m_queue.front());
      m_queue.pop_front();
    }
    if (m_startHook) m_startHook(job.path);
    const SegmentResult result = WriteSegment(job, m_riffSizeLimit);
    job.frames.Clear();  // free the frames before reporting
    if (m_done) m_done(result);
  }
}

SegmentResult AviSegmentWriter::WriteSegment(const SegmentJob& job, std::uint64_t riffSizeLimit) {
  SegmentResult r;
  r.path = job.path;
  r.frames = job.frames.Count();
  r.runId = job.runId;
  r.fromTimer = job.fromTimer;

  AviWriter writer(riffSizeLimit);
  if (!writer.Open(job.path)) return r;
  bool ok = true;
  if (!job.frames.IsEmpty()) {
    AviVideoFormat format;
    format.width = FrameBank::kWidth;
    format.height = FrameBank::kHeight;
    format.bitCount = 24;
    format.scale = 1;
    format.rate = kStreamRate;
    format.suggestedBufferSize = static_cast<std::uint32_t>(FrameBank::kFrameBytes);
    ok = writer.CreateVideoStream(format);
    for (int i = 0; ok && i < job.frames.Count(); ++i)
      ok = writer.WriteFrame(job.frames.FrameAt(i), FrameBank::kFrameBytes, kSamplesPerFrame);
  }
  ok = writer.Close() && ok;
  if (!ok) QFile::remove(job.path);
  r.written = ok;
  return r;
}
