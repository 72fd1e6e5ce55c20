#pragma once
// AVI recording of the archive panel. A run (RecordRun) of at most 20 minutes
// of timer time is cut into segments (RecordSegment) by the RecordTimer; each
// segment's frames go to the writer thread as one bank while the next bank
// fills, and become one file named after the image shown when the segment
// ended. Frames are captured on the user-interface thread: at the start, at
// each new playback picture, at each segment end and after each save.

#include <QObject>
#include <QString>
#include <QTimer>
#include <atomic>
#include <cstdint>
#include <functional>
#include <memory>

#include "archive/FrameBank.h"

class AviSegmentWriter;
class IRecordingPanel;
struct SegmentResult;

class AviRecorder : public QObject {
  Q_OBJECT

 public:
  static constexpr int kRunLengthMs = 1200000;
  static constexpr std::uint16_t kPlayingForward = 0x0001;
  static constexpr const char* kFolderFallback = "RECORD";

  static constexpr const char* kTextRecording = "Recording";
  static constexpr const char* kTextSaving = "Saving";
  static constexpr const char* kTextSavingOk = "Saving OK";
  static constexpr const char* kTextBankFull = "Can Not Record Images Any More!";
  // For the panel's POWER button while a file is still being written.
  static constexpr const char* kTextCannotClose = "Saving AVI File Now.So Can Not Close This Window!";

  struct Options {
    int runLengthMs = kRunLengthMs;
    int bankCapacity = FrameBank::kCapacity;
    std::uint64_t riffSizeLimit = 1ull << 30;
    // Runs on the writer thread before each file (tests hold a write open with it).
    std::function<void(const QString&)> writerStartHook;
    // Allocates one frame of FrameBank::kFrameBytes; null means out of memory.
    std::function<FrameBank::Frame()> frameAllocator;
  };

  explicit AviRecorder(IRecordingPanel& panel, QObject* parent = nullptr);
  AviRecorder(IRecordingPanel& panel, Options options, QObject* parent = nullptr);
  // Writes the segments still queued before returning.
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
  // Appends the image area to the filling bank (or shows the full-bank message).
  void CaptureFrame();

  bool IsRecording() const { return m_recording.load(); }
  // A segment is waiting for or being written: stop and POWER refuse meanwhile.
  bool IsSavingAvi() const { return m_savesPending.load() > 0; }
  int RemainingMs() const { return m_remainingMs; }
  bool IsRecordTimerActive() const { return m_recordTimer.isActive(); }
  int RecordTimerIntervalMs() const { return m_recordTimer.interval(); }
  // The folder the files of the current (or last) run go to.
  QString TargetFolder() const { return m_targetFolder; }
  int FillingCount() const { return m_filling.Count(); }

  // The record folder when it exists, otherwise "RECORD" in the current
  // directory when that exists, otherwise the current directory itself.
  static QString ResolveTargetFolder(const QString& recordFolder);

 signals:
  // A segment's file was written (written) or could not be (path of the attempt).
  void segmentSaved(const QString& path, int frames, bool written);
  void recordingChanged(bool recording);

 private:
  void OnRecordTimer();
  void SaveAviSegment(bool fromTimer);
  void OnSegmentDone(const SegmentResult& result);
  void EndRun();

  IRecordingPanel& m_panel;
  Options m_options;
  QTimer m_recordTimer;
  std::atomic<bool> m_recording{false};
  std::atomic<bool> m_newPicture{false};
  std::atomic<int> m_savesPending{0};
  int m_intervalMs = 0;
  int m_remainingMs = 0;
  std::uint64_t m_runId = 0;
  bool m_alertShowing = false;
  QString m_targetFolder;
  FrameBank m_filling;
  std::unique_ptr<AviSegmentWriter> m_writer;
};
