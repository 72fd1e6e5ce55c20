#pragma once
// The panel's hooks for AVI recording, snapshots and printing. The panel owns
// one implementation when it is set; without it RECORD, SAVE and PRINT do nothing.

#include <cstdint>

class IArchiveMedia {
 public:
  virtual ~IArchiveMedia() = default;

  // RECORD pressed: start (while playing forward) or end a recording.
  virtual void OnRecordButton(std::uint16_t playState, int recordIntervalSetting) = 0;
  virtual void OnSaveButton() = 0;   // JPEG snapshot of the shown images
  virtual void OnPrintButton() = 0;  // print the shown image
  virtual bool IsRecording() const = 0;
  // Stop, link status 6, leaving archive mode: end the run, save its segment.
  virtual void StopRecording() = 0;
  // A segment is still being written: stop and POWER refuse meanwhile.
  virtual bool IsSavingAvi() const = 0;
  // A playback picture was drawn.
  virtual void NotifyNewPicture() = 0;
};
