#include "archive/AviSegmentWriter.h"

#include <QFile>

#include "platform/AviWriter.h"
#include "platform/PendingFile.h"

struct AviSegmentWriter::Segment {
  QString temporaryPath;
  AviWriter writer;
  std::uint64_t runId = 0;
  int frames = 0;
  bool failed = false;

  explicit Segment(std::uint64_t riffSizeLimit) : writer(riffSizeLimit) {}
};

AviSegmentWriter::AviSegmentWriter(Done done, std::uint64_t riffSizeLimit, TestHooks hooks)
    : m_done(std::move(done)), m_riffSizeLimit(riffSizeLimit), m_hooks(std::move(hooks)) {
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

void AviSegmentWriter::Begin(const QString& folder, std::uint64_t runId) {
  Command c;
  c.op = Op::Begin;
  c.path = folder;
  c.runId = runId;
  Push(std::move(c));
}

void AviSegmentWriter::AddFrame(FrameBank::Frame frame) {
  if (!frame) return;
  ++m_framesInMemory;
  Command c;
  c.op = Op::Frame;
  c.frame = std::move(frame);
  Push(std::move(c));
}

void AviSegmentWriter::End(const QString& finalPath, bool fromTimer) {
  Command c;
  c.op = Op::End;
  c.path = finalPath;
  c.fromTimer = fromTimer;
  Push(std::move(c));
}

void AviSegmentWriter::Abort() {
  Command c;
  c.op = Op::Abort;
  Push(std::move(c));
}

void AviSegmentWriter::Push(Command command) {
  {
    std::lock_guard lock(m_mutex);
    m_queue.push_back(std::move(command));
  }
  m_wake.notify_one();
}

void AviSegmentWriter::Run() {
  for (;;) {
    Command command;
    {
      std::unique_lock lock(m_mutex);
      m_wake.wait(lock, [this] { return m_stopping || !m_queue.empty(); });
      if (m_queue.empty()) break;  // stopping and nothing left to write
      command = std::move(m_queue.front());
      m_queue.pop_front();
    }
    Handle(command);
  }
  Discard();
}

// A segment that was never ended leaves no file and no report.
void AviSegmentWriter::Discard() {
  if (!m_segment) return;
  if (m_segment->writer.IsOpen()) m_segment->writer.Close();
  if (!m_segment->temporaryPath.isEmpty()) QFile::remove(m_segment->temporaryPath);
  m_segment.reset();
}

void AviSegmentWriter::Handle(Command& command) {
  switch (command.op) {
    case Op::Begin: {
      Discard();
      m_segment = std::make_unique<Segment>(m_riffSizeLimit);
      m_segment->runId = command.runId;
      if (m_hooks.beforeFile) m_hooks.beforeFile();
      m_segment->temporaryPath = PendingFile::CreateTemporary(command.path);
      if (m_segment->temporaryPath.isEmpty() || !m_segment->writer.Open(m_segment->temporaryPath)) Fail();
      return;
    }
    case Op::Frame: {
      if (m_segment && !m_segment->failed) {
        AviWriter& w = m_segment->writer;
        bool ok = true;
        if (!w.HasStream()) {
          AviVideoFormat format;
          format.width = FrameBank::kWidth;
          format.height = FrameBank::kHeight;
          format.bitCount = 24;
          format.scale = 1;
          format.rate = kStreamRate;
          format.suggestedBufferSize = static_cast<std::uint32_t>(FrameBank::kFrameBytes);
          ok = w.CreateVideoStream(format);
        }
        if (m_hooks.beforeFrame) m_hooks.beforeFrame();
        ok = ok && w.WriteFrame(command.frame.get(), FrameBank::kFrameBytes, kSamplesPerFrame);
        if (ok)
          ++m_segment->frames;
        else
          Fail();
      }
      command.frame.reset();
      --m_framesInMemory;
      return;
    }
    case Op::End: {
      if (!m_segment) return;
      QString name;
      if (!m_segment->failed) {
        if (m_segment->writer.Close()) name = PendingFile::Commit(m_segment->temporaryPath, command.path);
        if (name.isEmpty()) Fail();
      }
      Finish(!name.isEmpty(), name.isEmpty() ? command.path : name, command.fromTimer);
      return;
    }
    case Op::Abort:
      if (!m_segment) return;
      if (!m_segment->failed) {
        m_segment->writer.Close();
        QFile::remove(m_segment->temporaryPath);
      }
      Finish(false, {}, false);
      return;
  }
}

// The open segment cannot be completed: its file goes, its later frames are dropped.
void AviSegmentWriter::Fail() {
  Segment& s = *m_segment;
  if (s.failed) return;
  s.failed = true;
  if (s.writer.IsOpen()) s.writer.Close();
  if (!s.temporaryPath.isEmpty()) QFile::remove(s.temporaryPath);
  SegmentResult r;
  r.kind = SegmentResult::Kind::WriteFailed;
  r.frames = s.frames;
  r.runId = s.runId;
  if (m_done) m_done(r);
}

void AviSegmentWriter::Finish(bool written, const QString& path, bool fromTimer) {
  SegmentResult r;
  r.kind = SegmentResult::Kind::Finished;
  r.path = path;
  r.frames = m_segment->frames;
  r.written = written;
  r.runId = m_segment->runId;
  r.fromTimer = fromTimer;
  m_segment.reset();
  if (m_done) m_done(r);
}
