#pragma once
// What AVI recording needs from the archive panel. CArchiveDlg implements it;
// tests hand the recorder a fake. Every call comes on the user-interface thread.

#include <QByteArray>
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
  // The "Record Format" setting: 0 uncompressed, 1 Motion-JPEG.
  virtual int RecordFormat() const { return 0; }
  // The recorder's JPEG bytes of the picture the image area shows, when it
  // shows just that one picture at its own 640 x 480 size; empty otherwise.
  virtual QByteArray ImageAreaJpeg() const { return {}; }
  virtual void LightRecordButton(bool lit) = 0;
};
