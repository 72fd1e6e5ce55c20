#include "archive/ArchiveMedia.h"

#include <QPainter>
#include <chrono>

#include "archive/IRecordingPanel.h"
#include "archive/ISnapshotPanel.h"
#include "archive/RecordFileNames.h"
#include "platform/DesktopOpener.h"
#include "platform/JpegFileWriter.h"
#include "platform/PicturePrinter.h"

namespace {
// The image area as a 640 x 480 picture that captions can be drawn on.
QImage PictureOf(const QImage& area) {
  QImage picture = area.convertToFormat(QImage::Format_RGB888);
  const QSize size(FrameBank::kWidth, FrameBank::kHeight);
  if (picture.size() != size) picture = picture.scaled(size);
  return picture;
}
}  // namespace

ArchiveMedia::ArchiveMedia(IRecordingPanel& recordingPanel, ISnapshotPanel& snapshotPanel)
    : ArchiveMedia(recordingPanel, snapshotPanel, Options{}) {}

ArchiveMedia::ArchiveMedia(IRecordingPanel& recordingPanel, ISnapshotPanel& snapshotPanel, Options options)
    : m_recordingPanel(recordingPanel), m_snapshotPanel(snapshotPanel), m_options(std::move(options)) {
  if (!m_options.tickMs)
    m_options.tickMs = [] {
      // The monotonic clock counts from start-up, as a tick count does.
      const auto now = std::chrono::steady_clock::now().time_since_epoch();
      return static_cast<qint64>(std::chrono::duration_cast<std::chrono::milliseconds>(now).count());
    };
  if (!m_options.clock) m_options.clock = [] { return QDateTime::currentDateTime(); };
  if (!m_options.recorder.clock) m_options.recorder.clock = m_options.clock;
  m_recorder = std::make_unique<AviRecorder>(recordingPanel, m_options.recorder);
}

ArchiveMedia::~ArchiveMedia() = default;

void ArchiveMedia::OnRecordButton(std::uint16_t playState, int recordIntervalSetting) {
  m_recorder->OnRecordButton(playState, recordnames::RecordIntervalMs(recordIntervalSetting));
}

QString ArchiveMedia::SaveSnapshot() {
  const QImage area = m_recordingPanel.CaptureImageArea();
  if (area.isNull()) return {};
  const int n = SnapshotCaptions::CaptionGridSize(m_snapshotPanel.GridSize());
  if (n != m_snapshotPanel.GridSize()) m_snapshotPanel.SetGridSize(n);
  const std::uint8_t channel = m_snapshotPanel.SelectedChannel();
  // Before the first picture, or with a time no clock shows, the local time names the file.
  const ArchiveMoment imageTime =
      recordnames::NameTime(m_recordingPanel.CurrentImageTime(), m_options.clock());

  QImage picture = PictureOf(area);
  {
    QPainter painter(&picture);
    SnapshotCaptions::Draw(painter, SnapshotCaptions::ForSnapshot(n, channel, recordnames::SnapshotTimeText(imageTime)));
  }
  const QString folder = m_recordingPanel.RecordFolder();
  const QString name = recordnames::SnapshotFileName(folder, channel, imageTime, m_options.tickMs());
  const QImage bgr = picture.convertToFormat(QImage::Format_BGR888);
  const QString written = JpegFileWriter::Write(name, bgr.constBits(), bgr.width(), bgr.height(),
                                                static_cast<int>(bgr.bytesPerLine()), false, kJpegQuality);
  if (written.isEmpty()) {
    m_recordingPanel.ShowRecordAlert(kTextCannotSave);
    return {};
  }
  DesktopOpener::OpenFolder(folder);
  return written;
}

bool ArchiveMedia::PrintImage() {
  const QImage area = m_recordingPanel.CaptureImageArea();
  if (area.isNull()) return false;
  const int n = SnapshotCaptions::CaptionGridSize(m_snapshotPanel.GridSize());
  if (n != m_snapshotPanel.GridSize()) m_snapshotPanel.SetGridSize(n);
  const ArchiveMoment now = ArchiveMoment::FromDateTime(m_options.clock());
  const auto captions =
      SnapshotCaptions::ForPrint(n, m_snapshotPanel.SelectedChannel(), recordnames::SnapshotTimeText(now));
  // The captions go on the panel, and so into the area copied from it.
  m_snapshotPanel.ShowPrintCaptions(captions);
  QImage picture = PictureOf(area);
  {
    QPainter painter(&picture);
    painter.translate(-SnapshotCaptions::kImageArea.topLeft());
    SnapshotCaptions::Draw(painter, captions);
  }
  const PicturePrinter::Result result = PicturePrinter::Print(picture, kPrintDocumentName);
  if (result == PicturePrinter::Result::NoPrinter) m_recordingPanel.ShowRecordAlert(kTextNoPrinter);
  return result == PicturePrinter::Result::Printed;
}
