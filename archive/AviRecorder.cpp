#include "archive/AviRecorder.h"

#include <QDir>
#include <QFileInfo>
#include <algorithm>
#include <cstring>
#include <new>

#include "archive/AviSegmentWriter.h"
#include "archive/IRecordingPanel.h"
#include "archive/RecordFileNames.h"
#include "platform/DesktopOpener.h"

namespace {
FrameBank::Frame AllocateFrame() { return FrameBank::Frame(new (std::nothrow) std::uint8_t[FrameBank::kFrameBytes]); }
}  // namespace

AviRecorder::AviRecorder(IRecordingPanel& panel, QObject* parent) : AviRecorder(panel, Options{}, parent) {}

AviRecorder::AviRecorder(IRecordingPanel& panel, Options options, QObject* parent)
    : QObject(parent), m_panel(panel), m_options(std::move(options)) {
  if (!m_options.frameAllocator) m_options.frameAllocator = AllocateFrame;
  if (!m_options.clock) m_options.clock = [] { return QDateTime::currentDateTime(); };
  m_elapsed.start();
  if (!m_options.elapsedMs) m_options.elapsedMs = [this] { return m_elapsed.elapsed(); };
  m_recordTimer.setSingleShot(true);
  m_recordTimer.setTimerType(Qt::PreciseTimer);  // segments as long as set, not 5 % shorter
  connect(&m_recordTimer, &QTimer::timeout, this, &AviRecorder::OnRecordTimer);
  // The writer reports from its own thread; the report is handled here, on ours.
  m_writer = std::make_unique<AviSegmentWriter>(
      [this](const SegmentResult& result) {
        QMetaObject::invokeMethod(this, [this, result] { OnWriterReport(result); }, Qt::QueuedConnection);
      },
      m_options.riffSizeLimit, m_options.writerHooks);
}

AviRecorder::~AviRecorder() {
  m_recordTimer.stop();
  if (m_segmentOpen) EndSegment(false);  // what was recorded is kept
  m_writer.reset();  // finishes the files still queued
}

QString AviRecorder::ResolveTargetFolder(const QString& recordFolder) {
  if (!recordFolder.isEmpty() && QFileInfo(recordFolder).isDir()) return QFileInfo(recordFolder).absoluteFilePath();
  const QDir current = QDir::current();
  if (QFileInfo(current.filePath(kFolderFallback)).isDir()) return current.absoluteFilePath(kFolderFallback);
  return current.absolutePath();
}

void AviRecorder::OnRecordButton(std::uint16_t playState, int intervalMs) {
  if (m_recording)
    StopRecording();
  else
    StartRecording(playState, intervalMs);
  // The face follows the state, so a refused start springs back.
  m_panel.LightRecordButton(m_recording);
}

bool AviRecorder::StartRecording(std::uint16_t playState, int intervalMs) {
  if (playState != kPlayingForward || m_recording) return false;
  m_intervalMs = intervalMs > 0 ? intervalMs : recordnames::RecordIntervalMs(-1);
  m_remainingMs = m_options.runLengthMs;
  m_format = m_panel.RecordFormat() == static_cast<int>(FrameBank::Format::MotionJpeg) ? FrameBank::Format::MotionJpeg
                                                                                       : FrameBank::Format::Uncompressed;
  m_nDropped = 0;
  ++m_runId;
  m_targetFolder = ResolveTargetFolder(m_panel.RecordFolder());
  m_newPicture = false;
  m_recording = true;
  emit recordingChanged(true);
  CaptureFrame();
  if (m_recording) m_recordTimer.start(m_intervalMs);
  return true;
}

void AviRecorder::StopRecording() {
  if (!m_recording) return;
  m_recordTimer.stop();
  EndRun();
  SaveAviSegment(false);
}

void AviRecorder::EndRun() {
  m_recordTimer.stop();
  m_recording = false;
  m_newPicture = false;
  m_panel.LightRecordButton(false);
  emit recordingChanged(false);
}

void AviRecorder::NotifyNewPicture() {
  if (!m_recording || m_newPicture.exchange(true)) return;
  QMetaObject::invokeMethod(
      this,
      [this] {
        if (m_newPicture.exchange(false) && m_recording) CaptureFrame();
      },
      Qt::QueuedConnection);
}

void AviRecorder::CaptureFrame() {
  if (!m_recording) return;
  const qint64 now = m_options.elapsedMs();
  FrameBank::Frame frame;
  QByteArray jpeg;
  if (m_segmentFrames < m_options.bankCapacity && m_writer->FramesInMemory() < m_options.maxFramesInMemory) {
    if (m_format == FrameBank::Format::MotionJpeg) jpeg = m_panel.ImageAreaJpeg();
    if (jpeg.isEmpty()) frame = m_options.frameAllocator();
  }
  // A full segment, a writer too far behind or no memory: the frame is
  // dropped and recording goes on, STOP and POWER at hand.
  const bool taken = frame || !jpeg.isEmpty();
  if (!taken) ++m_nDropped;
  m_panel.ShowRecordText(m_nDropped ? QString::fromLatin1(kTextDropped).arg(m_nDropped)
                                    : QString::fromLatin1(kTextRecording));
  if (!taken) return;
  if (frame) {
    QImage image = m_panel.CaptureImageArea();
    if (image.isNull()) return;
    const QSize size(FrameBank::kWidth, FrameBank::kHeight);
    if (image.size() != size) image = image.scaled(size);
    image = image.convertToFormat(QImage::Format_BGR888);
    // DIB rows are stored bottom-up.
    for (int row = 0; row < FrameBank::kHeight; ++row)
      std::memcpy(frame.get() + static_cast<std::size_t>(FrameBank::kHeight - 1 - row) * FrameBank::kRowBytes,
                  image.constScanLine(row), FrameBank::kRowBytes);
  }
  if (!m_segmentOpen) {
    m_writer->Begin(m_targetFolder, m_runId, m_format, now);
    m_segmentOpen = true;
    m_segmentFrames = 0;
  }
  if (frame)
    m_writer->AddFrame(std::move(frame), now);
  else
    m_writer->AddJpegFrame(std::move(jpeg), now);
  ++m_segmentFrames;
}

void AviRecorder::OnRecordTimer() {
  m_recordTimer.stop();
  if (!m_recording) return;
  m_remainingMs -= m_intervalMs;
  SaveAviSegment(true);
  if (m_remainingMs <= 0) {
    EndRun();
    return;
  }
  CaptureFrame();  // the first frame of the next segment
}

void AviRecorder::SaveAviSegment(bool fromTimer) {
  m_panel.ShowRecordText(kTextSaving);
  EndSegment(fromTimer);
}

void AviRecorder::EndSegment(bool fromTimer) {
  const qint64 now = m_options.elapsedMs();
  // A segment without frames still leaves its file.
  if (!m_segmentOpen) m_writer->Begin(m_targetFolder, m_runId, m_format, now);
  const ArchiveMoment time = recordnames::NameTime(m_panel.CurrentImageTime(), m_options.clock());
  m_writer->End(recordnames::AviFileName(m_targetFolder, time), fromTimer, now);
  m_segmentOpen = false;
  m_segmentFrames = 0;
  ++m_savesPending;
}

void AviRecorder::OnWriterReport(const SegmentResult& result) {
  if (result.kind == SegmentResult::Kind::WriteFailed)
    OnWriteFailed(result);
  else
    OnSegmentDone(result);
}

void AviRecorder::OnWriteFailed(const SegmentResult& result) {
  if (result.runId == m_runId) {
    // The run ends at once; frames captured since are not kept.
    if (m_recording) EndRun();
    if (m_segmentOpen) {
      m_writer->Abort();
      m_segmentOpen = false;
      m_segmentFrames = 0;
      ++m_savesPending;
    }
  }
  m_panel.ShowRecordText(kTextSaveFailed);
  if (m_failedRunId == result.runId) return;  // one message for each run
  m_failedRunId = result.runId;
  m_panel.ShowRecordAlert(kTextCannotSave);
}

void AviRecorder::OnSegmentDone(const SegmentResult& result) {
  --m_savesPending;
  if (result.written && result.frames > 0) {
    DesktopOpener::OpenFolder(QFileInfo(result.path).absolutePath());
    m_panel.ShowRecordText(kTextSavingOk);
  }
  emit segmentSaved(result.path, result.frames, result.written);
  // A segment ended by the timer restarts it, unless its run has ended since.
  if (!result.fromTimer || !m_recording || result.runId != m_runId) return;
  if (m_remainingMs <= 0) {
    EndRun();
    return;
  }
  CaptureFrame();
  m_recordTimer.start(std::min(m_intervalMs, m_remainingMs));
}
