#pragma once
// AVI recording of the archive panel. A run (RecordRun) of at most 20 minutes
// of timer time is cut into segments (RecordSegment) by the RecordTimer; each
// segment's frames are streamed to the writer thread as they are captured and
// become one file named after the image shown when the segment ended. Frames
// are captured on the user-interface thread: at the start, at each new
// playback picture, at each segment end and after each save. A file that
// cannot be written ends the run with a message. Frames carry the time they
// were captured, so a file plays as long as its segment took to record.

#include <QDateTime>
#include <QElapsedTimer>
#include <QObject>
#include <QString>
#include <QTimer>
#include <atomic>
#include <cstdint>
#include <functional>
#include <memory>

#include "archive/AviSegmentWriter.h"
#include "archive/FrameBank.h"

class IRecordingPanel;

class AviRecorder : public QObject {
  Q_OBJECT

 public:
  static constexpr int kRunLengthMs = 1200000;
  static constexpr std::uint16_t kPlayingForward = 0x0001;
  static constexpr const char* kFolderFallback = "RECORD";

  static constexpr const char* kTextRecording = "Recording";
  static constexpr const char* kTextSaving = "Saving";
  static constexpr const char* kTextSavingOk = "Saving OK";
  // A picture the writer cannot take is dropped and recording goes on: the
  // record text counts the drops of the run instead of a box per picture.
  static constexpr const char* kTextDropped = "Recording, %1 Pictures Dropped";
  static constexpr const char* kTextSaveFailed = "Save Failed";
  static constexpr const char* kTextCannotSave = "Can Not Save AVI File! Recording Stopped.";
  // For the panel's POWER button while a file is still being written.
  static constexpr const char* kTextCannotClose = "Saving AVI File Now.So Can Not Close This Window!";

  struct Options {
    int runLengthMs = kRunLengthMs;
    int bankCapacity = FrameBank::kCapacity;  // frames of one segment
    int maxFramesInMemory = FrameBank::kMaxFramesInMemory;
    std::uint64_t riffSizeLimit = 1ull << 30;
    // Run on the writer thread (tests hold the writer with them).
    AviSegmentWriter::TestHooks writerHooks;
    // Allocates one frame of FrameBank::kFrameBytes; null means out of memory.
    std::function<FrameBank::Frame()> frameAllocator;
    // Local time, naming a file when the image time is not a clock time.
    std::function<QDateTime()> clock;
    // Milliseconds of a monotonic clock: when each frame was captured.
    std::function<qint64()> elapsedMs;
  };

  explicit AviRecorder(IRecordingPanel& panel, QObject* parent = nullptr);
  AviRecorder(IRecordingPanel& panel, Options options, QObject* parent = nullptr);
  // Saves the open segment and writes what is still queued before returning.
  ~AviRecorder() override;

  // RECORD: ends a running recording (its segment is saved), otherwise starts
  // one. intervalMs: the segment length, RecordIntervalMs of the setting.
  void OnRecordButton(std::uint16_t playState, int intervalMs);
  // Only while playing forward and not yet recording. Returns whether a run started.
  bool StartRecording(std::uint16_t playState, int intervalMs);
  // The stop paths (RECORD, stop, link status 6, leaving archive mode): ends
  // the run and saves what it collected. Nothing happens when not recording.
  void StopRecording();
  // The panel drew a new playback picture: one frame is captured once the
  // current event is handled (several pictures drawn together give one frame).
  void NotifyNewPicture();
  // Hands the image area to the writer as the segment's next frame (in
  // Motion-JPEG the recorder's own picture when the area shows just that),
  // or counts a dropped picture when the segment is full or the writer is
  // maxFramesInMemory frames behind. Nothing happens when not recording.
  void CaptureFrame();

  bool IsRecording() const { return m_recording.load(); }
  // A segment is waiting for or being written: stop and POWER refuse meanwhile.
  bool IsSavingAvi() const { return m_savesPending.load() > 0; }
  int RemainingMs() const { return m_remainingMs; }
  bool IsRecordTimerActive() const { return m_recordTimer.isActive(); }
  int RecordTimerIntervalMs() const { return m_recordTimer.interval(); }
  // The folder the files of the current (or last) run go to.
  QString TargetFolder() const { return m_targetFolder; }
  int FillingCount() const { return m_segmentFrames; }
  int FramesInMemory() const { return m_writer->FramesInMemory(); }

  // The record folder when it exists, otherwise "RECORD" in the current
  // directory when that exists, otherwise the current directory itself.
  static QString ResolveTargetFolder(const QString& recordFolder);

 signals:
  // A segment's file was written (written) or could not be (path of the
  // attempt). Also sent for a segment dropped after a failure.
  void segmentSaved(const QString& path, int frames, bool written);
  void recordingChanged(bool recording);

 private:
  void OnRecordTimer();
  void SaveAviSegment(bool fromTimer);
  void EndSegment(bool fromTimer);
  void OnWriterReport(const SegmentResult& result);
  void OnSegmentDone(const SegmentResult& result);
  void OnWriteFailed(const SegmentResult& result);
  void EndRun();

  IRecordingPanel& m_panel;
  Options m_options;
  QTimer m_recordTimer;
  std::atomic<bool> m_recording{false};
  std::atomic<bool> m_newPicture{false};
  std::atomic<int> m_savesPending{0};
  QElapsedTimer m_elapsed;
  FrameBank::Format m_format = FrameBank::Format::Uncompressed;  // of the run
  int m_intervalMs = 0;
  int m_remainingMs = 0;
  std::uint64_t m_runId = 0;
  std::uint64_t m_failedRunId = 0;  // the last run told of a failed write
  int m_nDropped = 0;  // pictures of this run the writer could not take
  bool m_segmentOpen = false;
  int m_segmentFrames = 0;
  QString m_targetFolder;
  std::unique_ptr<AviSegmentWriter> m_writer;
};
