#pragma once
// What AVI recording needs from the archive panel. CArchiveDlg implements it;
// tests hand the recorder a fake. Every call comes on the user-interface thread.

#include <QImage>
#include <QString>

#include "archive/ArchiveMoment.h"

class IRecordingPanel {
 public:
  virtual ~IRecordingPanel() = default;

  // The 640 x 480 image area as the panel shows it now.
  virtual QImage CaptureImageArea() = 0;
  // The message box of the panel ("Recording", "Saving", ...).
  virtual void ShowRecordText(const QString& text) = 0;
  // A message box the operator has to confirm.
  virtual void ShowRecordAlert(const QString& text) = 0;
  // The time of the image last shown.
  virtual ArchiveMoment CurrentImageTime() const = 0;
  // The configured record folder.
  virtual QString RecordFolder() const = 0;
  virtual void LightRecordButton(bool lit) = 0;
};
