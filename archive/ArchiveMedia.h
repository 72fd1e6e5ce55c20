#pragma once
// RECORD, SAVE and PRINT of the archive panel: AVI recording through
// AviRecorder, JPEG snapshots of the image area into the record folder, and
// printing the image area on the default printer.

#include <QDateTime>
#include <QString>
#include <functional>
#include <memory>

#include "archive/AviRecorder.h"
#include "archive/IArchiveMedia.h"

class IRecordingPanel;
class ISnapshotPanel;

class ArchiveMedia : public IArchiveMedia {
 public:
  static constexpr int kJpegQuality = 80;
  static constexpr const char* kPrintDocumentName = "Record Image";
  static constexpr const char* kTextNoPrinter = "No Printer Driver is installed";
  static constexpr const char* kTextCannotSave = "Can Not Save JPEG File!";

  struct Options {
    AviRecorder::Options recorder;
    // Milliseconds of a monotonic clock: the last part of a snapshot's name.
    std::function<qint64()> tickMs;
    // Local time for the print captions, and for names when the image time is
    // not a clock time (the recorder's too, unless it has its own).
    std::function<QDateTime()> clock;
  };

  ArchiveMedia(IRecordingPanel& recordingPanel, ISnapshotPanel& snapshotPanel);
  ArchiveMedia(IRecordingPanel& recordingPanel, ISnapshotPanel& snapshotPanel, Options options);
  ~ArchiveMedia() override;

  // IArchiveMedia
  void OnRecordButton(std::uint16_t playState, int recordIntervalSetting) override;
  void OnSaveButton() override { SaveSnapshot(); }
  void OnPrintButton() override { PrintImage(); }
  bool IsRecording() const override { return m_recorder->IsRecording(); }
  void StopRecording() override { m_recorder->StopRecording(); }
  bool IsSavingAvi() const override { return m_recorder->IsSavingAvi(); }
  void NotifyNewPicture() override { m_recorder->NotifyNewPicture(); }

  // Writes the captioned image area as JPEG and opens the folder; returns the
  // file name, empty when nothing could be captured or written (a write that
  // fails is told to the operator).
  QString SaveSnapshot();
  // Prints the captioned image area; false when nothing was printed.
  bool PrintImage();

  AviRecorder& Recorder() { return *m_recorder; }

 private:
  IRecordingPanel& m_recordingPanel;
  ISnapshotPanel& m_snapshotPanel;
  Options m_options;
  std::unique_ptr<AviRecorder> m_recorder;
};
