#include "archive/AviSegmentWriter.h"

#include <QFile>
#include <algorithm>

#include "platform/AviWriter.h"
#include "platform/JpegEncoder.h"
#include "platform/PendingFile.h"

struct AviSegmentWriter::Segment {
  QString temporaryPath;
  AviWriter writer;
  std::uint64_t runId = 0;
  FrameBank::Format format = FrameBank::Format::Uncompressed;
  qint64 startMs = 0;
  int frames = 0;
  bool failed = false;

  explicit Segment(std::uint64_t riffSizeLimit) : writer(riffSizeLimit) {}
};

AviSegmentWriter::AviSegmentWriter(Done done, std::uint64_t riffSizeLimit, TestHooks hooks)
    : m_done(std::move(done)),
      m_riffSizeLimit(riffSizeLimit),
      m_hooks(std::move(hooks)),
      m_encoder(std::make_unique<JpegEncoder>()) {
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

void AviSegmentWriter::Begin(const QString& folder, std::uint64_t runId, FrameBank::Format format, qint64 atMs) {
  Push({.op = Op::Begin, .path = folder, .format = format, .atMs = atMs, .runId = runId});
}

void AviSegmentWriter::AddFrame(FrameBank::Frame frame, qint64 atMs) {
  if (!frame) return;
  ++m_framesInMemory;
  Push({.op = Op::Frame, .frame = std::move(frame), .atMs = atMs});
}

void AviSegmentWriter::AddJpegFrame(QByteArray jpeg, qint64 atMs) {
  if (jpeg.isEmpty()) return;
  ++m_framesInMemory;
  Push({.op = Op::Frame, .jpeg = std::move(jpeg), .atMs = atMs});
}

void AviSegmentWriter::End(const QString& finalPath, bool fromTimer, qint64 atMs) {
  Push({.op = Op::End, .path = finalPath, .atMs = atMs, .fromTimer = fromTimer});
}

void AviSegmentWriter::Abort() {
  Push({.op = Op::Abort});
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
      m_segment->format = command.format;
      m_segment->startMs = command.atMs;
      if (m_hooks.beforeFile) m_hooks.beforeFile();
      m_segment->temporaryPath = PendingFile::CreateTemporary(command.path);
      if (m_segment->temporaryPath.isEmpty() || !m_segment->writer.Open(m_segment->temporaryPath)) Fail();
      return;
    }
    case Op::Frame:
      if (m_segment && !m_segment->failed) WriteFrame(command);
      command.frame.reset();
      command.jpeg.clear();
      --m_framesInMemory;
      return;
    case Op::End: {
      if (!m_segment) return;
      QString name;
      if (!m_segment->failed) {
        // The last frame lasts to the segment's end.
        AviWriter& w = m_segment->writer;
        const std::uint64_t end = SampleAt(command.atMs);
        if (w.FrameCount() > 0 && end > w.SampleCount() &&
            !w.HoldLastFrame(static_cast<std::uint32_t>(end - w.SampleCount())))
          Fail();
        else if (w.Close())
          name = PendingFile::Commit(m_segment->temporaryPath, command.path);
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

std::uint64_t AviSegmentWriter::SampleAt(qint64 atMs) const {
  const qint64 ms = std::max<qint64>(atMs - m_segment->startMs, 0);
  return (static_cast<std::uint64_t>(ms) * kStreamRate + 500) / 1000;
}

// The frame goes in at the sample of its time; the frame before is held up to there.
void AviSegmentWriter::WriteFrame(const Command& command) {
  AviWriter& w = m_segment->writer;
  const std::uint64_t at = SampleAt(command.atMs);
  const std::uint64_t next = w.SampleCount();
  if (at + kMaxLateSamples < next) return;
  const bool jpeg = m_segment->format == FrameBank::Format::MotionJpeg;
  bool ok = true;
  if (!w.HasStream()) {
    AviVideoFormat format;
    format.width = FrameBank::kWidth;
    format.height = FrameBank::kHeight;
    format.bitCount = 24;
    format.scale = 1;
    format.rate = kStreamRate;
    format.compression = jpeg ? AviVideoFormat::kMotionJpeg : 0;
    format.suggestedBufferSize = jpeg ? 0 : static_cast<std::uint32_t>(FrameBank::kFrameBytes);
    ok = w.CreateVideoStream(format);
  }
  if (ok && at > next && w.FrameCount() > 0) ok = w.HoldLastFrame(static_cast<std::uint32_t>(at - next));
  const std::uint8_t* data = command.frame.get();
  std::size_t size = FrameBank::kFrameBytes;
  if (!command.jpeg.isEmpty()) {
    data = reinterpret_cast<const std::uint8_t*>(command.jpeg.constData());
    size = static_cast<std::size_t>(command.jpeg.size());
  } else if (jpeg && ok) {
    ok = m_encoder->Encode(data, FrameBank::kWidth, FrameBank::kHeight, FrameBank::kRowBytes, true, kJpegQuality);
    data = m_encoder->Data();
    size = m_encoder->Size();
  }
  if (m_hooks.beforeFrame) m_hooks.beforeFrame();
  ok = ok && w.WriteFrame(data, size, 1);
  if (ok)
    ++m_segment->frames;
  else
    Fail();
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
