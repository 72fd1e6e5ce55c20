#pragma once
// A stand-in for the archive panel in recording, snapshot and print tests:
// the image area is a coloured picture whose colour tells the captures apart.

#include <QColor>
#include <QImage>
#include <QStringList>
#include <vector>

#include "archive/IRecordingPanel.h"
#include "archive/ISnapshotPanel.h"

class FakeMediaPanel : public IRecordingPanel, public ISnapshotPanel {
 public:
  QImage CaptureImageArea() override {
    ++captures;
    QImage image(640, 480, QImage::Format_RGB32);
    image.fill(QColor(captures % 256, 40, 200));
    // The top row is marked so that the row order can be checked.
    for (int x = 0; x < 640; ++x) image.setPixelColor(x, 0, Qt::white);
    return image;
  }
  void ShowRecordText(const QString& text) override { texts << text; }
  void ShowRecordAlert(const QString& text) override { alerts << text; }
  ArchiveMoment CurrentImageTime() const override {
    ArchiveMoment t = imageTime;
    if (advanceTime) t.second += timeCalls;
    ++timeCalls;
    return t;
  }
  QString RecordFolder() const override { return folder; }
  int RecordFormat() const override { return format; }
  QByteArray ImageAreaJpeg() const override { return jpeg; }
  void LightRecordButton(bool lit) override { recordLit = lit; }

  std::uint8_t SelectedChannel() const override { return selectedChannel; }
  int GridSize() const override { return gridSize; }
  void SetGridSize(int n) override { gridSize = n; }
  void ShowPrintCaptions(const std::vector<Caption>& c) override { printCaptions = c; }

  int captures = 0;
  QStringList texts;
  QStringList alerts;
  ArchiveMoment imageTime{2005, 3, 7, 14, 5, 9};
  bool advanceTime = false;
  mutable int timeCalls = 0;
  QString folder;
  int format = 0;
  QByteArray jpeg;  // the recorder's picture the image area shows alone
  bool recordLit = false;
  std::uint8_t selectedChannel = 0;
  int gridSize = 3;
  std::vector<Caption> printCaptions;
};
