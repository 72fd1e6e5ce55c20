// Recording, snapshots and printing against a fake panel whose pictures tell
// the captures apart: AVI segments, their names and failures, the frames held
// in memory; the snapshot's file and caption, and a missing printer; the file
// names' separator and tick.
#include <gtest/gtest.h>

#include <QBuffer>
#include <QColor>
#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QImage>
#include <QPrinter>
#include <QSignalSpy>
#include <QStringList>
#include <QTemporaryDir>
#include <QTest>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <csignal>
#include <thread>
#include <tuple>
#include <vector>

#include <sys/resource.h>

#include "archive/ArchiveMedia.h"
#include "archive/AviRecorder.h"
#include "archive/IRecordingPanel.h"
#include "archive/ISnapshotPanel.h"
#include "archive/RecordFileNames.h"
#include "platform/Alerts.h"
#include "platform/DesktopOpener.h"
#include "platform/PicturePrinter.h"
#include "support/AviProbe.h"

namespace {

// A stand-in for the archive panel: the image area is a coloured picture
// whose colour tells the captures apart.
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

// A full disk for file writes, as root too: while a FileSizeLimit lives, any
// write of this process past `bytes` into a file fails (RLIMIT_FSIZE, with
// the signal it raises ignored). Creating, renaming and removing files still
// work, as on a full disk.
class FileSizeLimit {
 public:
  explicit FileSizeLimit(std::uint64_t bytes) {
    m_oldHandler = std::signal(SIGXFSZ, SIG_IGN);
    m_ok = getrlimit(RLIMIT_FSIZE, &m_old) == 0;
    rlimit limit = m_old;
    limit.rlim_cur = static_cast<rlim_t>(bytes);
    m_ok = m_ok && setrlimit(RLIMIT_FSIZE, &limit) == 0;
  }
  ~FileSizeLimit() {
    setrlimit(RLIMIT_FSIZE, &m_old);
    std::signal(SIGXFSZ, m_oldHandler);
  }
  FileSizeLimit(const FileSizeLimit&) = delete;
  FileSizeLimit& operator=(const FileSizeLimit&) = delete;

  bool IsSet() const { return m_ok; }

 private:
  rlimit m_old{};
  void (*m_oldHandler)(int) = nullptr;
  bool m_ok = false;
};

constexpr std::uint16_t kForward = 0x0001;
constexpr int kWaitMs = 10000;
constexpr char kCannotSave[] = "Can Not Save AVI File! Recording Stopped.";
// SHA-256 of the segment file of the fake panel's first three pictures.
constexpr char kThreeFrameFile[] = "32f25677443414b02aed1cad2c71de8170058d879295ea1b89999700dc91df44";

QByteArray ReadAll(const QString& path) {
  QFile f(path);
  return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

// Thin red text over the blue fill is blurred by the 2 x 2 chroma: judge red against blue.
bool AnyRed(const QImage& image, const QRect& area) {
  const QRect r = area & image.rect();
  for (int y = r.top(); y <= r.bottom(); ++y)
    for (int x = r.left(); x <= r.right(); ++x)
      if (const QColor c = image.pixelColor(x, y); c.red() > 120 && c.blue() < 160) return true;
  return false;
}

class MediaTest : public ::testing::Test {
 protected:
  void SetUp() override {
    m_panel.folder = m_dir.path();
    DesktopOpener::SetEnabled(false);
    DesktopOpener::ClearRequests();
    Alerts::SetMessageHook([](const Alerts::Message&) { return Alerts::kOk; });
    m_startDir = QDir::currentPath();
    m_options.tickMs = [] { return qint64(1234504711); };
    m_options.clock = [] { return QDateTime(QDate(2006, 1, 2), QTime(3, 4, 5)); };
  }
  void TearDown() override {
    Alerts::SetMessageHook({});
    PicturePrinter::SetPrinterSource({});
    EXPECT_EQ(QDir::currentPath(), m_startDir);
  }

  QString AviPath(int secondOffset = 0) const {
    return m_dir.filePath(QString("2005-03-07 14-05-%1.avi").arg(9 + secondOffset, 2, 10, QChar('0')));
  }
  // Frames of the file as ffprobe reads them.
  static int FrameCount(const QString& path) { return avitest::Probe(path).stream["nb_read_frames"].toInt(); }
  // One run: the frame at the start plus `captures` more, then the stop.
  static void Run(AviRecorder& rec, int captures) {
    ASSERT_TRUE(rec.StartRecording(kForward, 60000));
    for (int i = 0; i < captures; ++i) rec.CaptureFrame();
    rec.StopRecording();
  }

  // Every file in the folder, hidden ones (temporaries) included.
  QStringList Files() const { return QDir(m_dir.path()).entryList(QDir::Files | QDir::Hidden, QDir::Name); }

  QTemporaryDir m_dir;
  FakeMediaPanel m_panel;
  QString m_startDir;
  ArchiveMedia::Options m_options;
};

}  // namespace

// Run of 300 ms cut by a 200 ms interval: one tick with time left, a save
// that restarts the timer with the 100 ms left, and a last tick ending the run.
TEST_F(MediaTest, TimerCutsTheRunIntoSegmentsAndTheWriterRestartsIt) {
  m_panel.advanceTime = true;  // every segment ends on a new image time
  AviRecorder::Options o;
  o.runLengthMs = 300;
  AviRecorder rec(m_panel, o);
  QSignalSpy saved(&rec, &AviRecorder::segmentSaved);
  ASSERT_TRUE(rec.StartRecording(kForward, 200));
  // Several pictures drawn in one go give one frame.
  for (int i = 0; i < 3; ++i) rec.NotifyNewPicture();
  QCoreApplication::processEvents();
  EXPECT_EQ(m_panel.captures, 2);

  ASSERT_TRUE(saved.wait(kWaitMs));
  EXPECT_EQ(std::make_tuple(rec.IsRecording(), rec.RemainingMs(), rec.IsRecordTimerActive(),
                            rec.RecordTimerIntervalMs()),
            std::make_tuple(true, 100, true, 100));
  EXPECT_EQ(saved.at(0).mid(0, 2), (QVariantList{AviPath(0), 2}));

  QTRY_VERIFY_WITH_TIMEOUT(!rec.IsRecording() && saved.count() == 2 && !rec.IsSavingAvi(), kWaitMs);
  EXPECT_FALSE(m_panel.recordLit || rec.IsRecordTimerActive());
  // The second segment: the frame taken at the tick and the one after the save.
  EXPECT_EQ(saved.at(1).at(0).toString(), AviPath(1));
  EXPECT_EQ(FrameCount(AviPath(1)), 2);
  EXPECT_EQ(m_panel.texts.count("Saving OK"), 2);
  EXPECT_EQ(DesktopOpener::Requests(), (QStringList{m_dir.path(), m_dir.path()}));
}

TEST_F(MediaTest, MissingRecordFolderFallsBackAndAnUnallocatedFrameIsDropped) {
  QTemporaryDir work;
  ASSERT_TRUE(QDir::setCurrent(work.path()));
  m_panel.folder = work.filePath("no-such-folder");
  EXPECT_EQ(AviRecorder::ResolveTargetFolder(m_panel.folder), QDir(work.path()).absolutePath());
  ASSERT_TRUE(QDir(work.path()).mkdir("RECORD"));
  {
    // A frame that cannot be allocated is dropped, not stored empty.
    AviRecorder::Options o;
    int allocations = 0;
    o.frameAllocator = [&allocations]() -> FrameBank::Frame {
      if (allocations++ % 2 == 1) return nullptr;  // every second allocation fails
      return FrameBank::Frame(new std::uint8_t[FrameBank::kFrameBytes]);
    };
    AviRecorder rec(m_panel, o);
    QSignalSpy saved(&rec, &AviRecorder::segmentSaved);
    ASSERT_TRUE(rec.StartRecording(kForward, 60000));  // into RECORD, where the file is read below
    for (int i = 0; i < 2; ++i) rec.CaptureFrame();  // the second allocation fails, the third succeeds
    rec.StopRecording();
    EXPECT_TRUE(m_panel.alerts.isEmpty());
    EXPECT_TRUE(m_panel.texts.contains("Recording, 1 Pictures Dropped"));
    ASSERT_TRUE(saved.wait(kWaitMs));
    EXPECT_EQ(FrameCount(work.filePath("RECORD/2005-03-07 14-05-09.avi")), 2);
    EXPECT_EQ(QDir::currentPath(), QDir(work.path()).absolutePath());
  }
  ASSERT_TRUE(QDir::setCurrent(m_startDir));
}

// Segments ending on the same image time keep both files; a time no clock
// shows names the file by the local time. The bytes are those of always.
TEST_F(MediaTest, SegmentsEndingOnTheSameTimeKeepBothFiles) {
  AviRecorder::Options o;
  o.clock = [] { return QDateTime(QDate(2006, 1, 2), QTime(3, 4, 5)); };
  o.elapsedMs = [] { return qint64(0); };
  AviRecorder rec(m_panel, o);
  QSignalSpy saved(&rec, &AviRecorder::segmentSaved);
  for (int run = 1; run <= 2; ++run) {
    m_panel.captures = 0;
    Run(rec, 2);
    QTRY_COMPARE_WITH_TIMEOUT(saved.count(), run, kWaitMs);
  }
  m_panel.imageTime = {2095, 1, 15, 45, 87, 128};
  Run(rec, 0);
  QTRY_COMPARE_WITH_TIMEOUT(saved.count(), 3, kWaitMs);
  const QStringList names = {"2005-03-07 14-05-09 (2).avi", "2005-03-07 14-05-09.avi", "2006-01-02 03-04-05.avi"};
  EXPECT_EQ(Files(), names);
  EXPECT_EQ(saved.at(1).at(0).toString(), m_dir.filePath(names[0]));
  for (int i = 0; i < 2; ++i)
    EXPECT_EQ(QCryptographicHash::hash(ReadAll(m_dir.filePath(names[i])), QCryptographicHash::Sha256).toHex(),
              kThreeFrameFile);
}

// A segment plays as long as it was recorded, whatever the capture rate (one
// frame each 250 ms, or more than the stream's 60 a second). Motion-JPEG is
// far smaller and takes the recorder's own picture as it is when there is one.
TEST_F(MediaTest, SegmentsPlayAsLongAsRecordedInEitherFormat) {
  QBuffer recorderJpeg;
  ASSERT_TRUE(recorderJpeg.open(QIODevice::WriteOnly) && m_panel.CaptureImageArea().save(&recorderJpeg, "JPG"));
  const QString jpegHash = "MD5:" + QCryptographicHash::hash(recorderJpeg.data(), QCryptographicHash::Md5).toHex();
  qint64 sizes[2] = {};
  for (const auto& [format, recorderPicture, stepMs, captures, codec] :
       {std::tuple{0, false, 250, 12, "rawvideo"}, {1, false, 250, 12, "mjpeg"}, {1, true, 5, 600, "mjpeg"}}) {
    qint64 now = 0;
    AviRecorder::Options o;
    o.elapsedMs = [&now] { return now; };
    o.maxFramesInMemory = 1000;  // every capture reaches the writer, however fast it runs
    AviRecorder rec(m_panel, o);
    QSignalSpy saved(&rec, &AviRecorder::segmentSaved);
    m_panel.format = format;
    m_panel.jpeg = recorderPicture ? recorderJpeg.data() : QByteArray();
    m_panel.captures = 0;
    ASSERT_TRUE(rec.StartRecording(kForward, 60000));
    for (int i = 1; i < captures; ++i) {
      now += stepMs;
      rec.CaptureFrame();
    }
    now += stepMs;
    rec.StopRecording();
    ASSERT_TRUE(saved.wait(kWaitMs));
    const avitest::Probed probed = avitest::Probe(saved.at(0).at(0).toString());
    if (probed.stream.isEmpty()) GTEST_SKIP() << "ffprobe not installed";
    EXPECT_EQ(probed.stream["codec_name"], codec);
    EXPECT_NEAR(probed.stream["duration"].toDouble(), stepMs * captures / 1000.0, 0.05 * 3);
    EXPECT_NEAR(probed.stream["pts"].toDouble() / 60, stepMs * (captures - 1) / 1000.0, 0.05 * 3);
    if (recorderPicture) {
      EXPECT_EQ(m_panel.captures, 0);
      EXPECT_EQ(probed.packetHashes.count(jpegHash), probed.packetHashes.size());
    } else {
      EXPECT_EQ(probed.stream["nb_read_frames"].toInt(), captures);
      sizes[format] = QFileInfo(saved.at(0).at(0).toString()).size();
    }
    QFile::remove(saved.at(0).at(0).toString());
  }
  EXPECT_GE(sizes[0], 15 * sizes[1]);
}

// A full disk ends the run at the failing frame, not at the segment's end:
// one message, no file of the failed segment, the earlier file untouched.
TEST_F(MediaTest, WriteThatFailsEndsTheRunAndKeepsEarlierFiles) {
  AviRecorder rec(m_panel);
  QSignalSpy saved(&rec, &AviRecorder::segmentSaved);
  Run(rec, 0);
  ASSERT_TRUE(saved.wait(kWaitMs));
  const QByteArray earlier = ReadAll(AviPath());
  ASSERT_GT(earlier.size(), 900000);
  {
    FileSizeLimit full(3000000);  // room for three frames of a file
    ASSERT_TRUE(full.IsSet());
    ASSERT_TRUE(rec.StartRecording(kForward, 60000));
    for (int i = 0; i < 4; ++i) rec.CaptureFrame();
    QTRY_VERIFY_WITH_TIMEOUT(!rec.IsRecording() && !rec.IsSavingAvi(), kWaitMs);
  }
  EXPECT_EQ(m_panel.alerts, QStringList{kCannotSave});
  EXPECT_FALSE(m_panel.recordLit || rec.IsRecordTimerActive());
  EXPECT_EQ(m_panel.texts.last(), "Save Failed");
  EXPECT_EQ(Files(), QStringList{"2005-03-07 14-05-09.avi"});
  EXPECT_EQ(ReadAll(AviPath()), earlier);
  EXPECT_EQ(rec.FramesInMemory(), 0);

  // A folder where no one, root included, can create a file: told at the first frame.
  m_panel.folder = "/proc";
  ASSERT_TRUE(rec.StartRecording(kForward, 60000));
  QTRY_VERIFY_WITH_TIMEOUT(!rec.IsRecording(), kWaitMs);
  EXPECT_EQ(m_panel.alerts, (QStringList{kCannotSave, kCannotSave}));
}

// The writer holds at most maxFramesInMemory frames; further captures get
// the full-bank message. Frames reach the disk while the segment is open.
TEST_F(MediaTest, FramesInMemoryAreBoundedAndStreamedToDisk) {
  std::atomic<bool> hold{true};
  AviRecorder::Options o;
  o.maxFramesInMemory = 3;
  o.writerHooks.beforeFrame = [&hold] {
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(kWaitMs);
    while (hold && std::chrono::steady_clock::now() < deadline)
      std::this_thread::sleep_for(std::chrono::milliseconds(1));
  };
  AviRecorder rec(m_panel, o);
  QSignalSpy saved(&rec, &AviRecorder::segmentSaved);
  ASSERT_TRUE(rec.StartRecording(kForward, 60000));
  for (int i = 0; i < 4; ++i) rec.CaptureFrame();
  EXPECT_EQ(rec.FramesInMemory(), 3);
  // No box per dropped picture: the record text counts them.
  EXPECT_TRUE(m_panel.alerts.isEmpty());
  EXPECT_EQ(m_panel.texts.last(), "Recording, 2 Pictures Dropped");
  hold = false;
  QTRY_COMPARE_WITH_TIMEOUT(rec.FramesInMemory(), 0, kWaitMs);
  rec.CaptureFrame();
  QTRY_COMPARE_WITH_TIMEOUT(rec.FramesInMemory(), 0, kWaitMs);
  EXPECT_TRUE(rec.IsRecording());
  const QStringList files = Files();
  ASSERT_EQ(files.size(), 1);
  EXPECT_TRUE(files[0].startsWith(".saving-"));
  EXPECT_GT(QFileInfo(m_dir.filePath(files[0])).size(), 4 * 921600);
  rec.StopRecording();
  ASSERT_TRUE(saved.wait(kWaitMs));
  EXPECT_EQ(Files(), QStringList{"2005-03-07 14-05-09.avi"});
  EXPECT_EQ(FrameCount(AviPath()), 4);
}

// A folder that takes no file or a full disk: told, and no file is left. A
// single channel's snapshot has one caption with the camera name; printing
// without a printer tells the operator.
TEST_F(MediaTest, SnapshotsAndPrintTellTheOperatorWhatFailed) {
  const QString cannotSave = "Can Not Save JPEG File!";
  ASSERT_TRUE(QFile(m_dir.filePath("plain")).open(QIODevice::WriteOnly));
  m_panel.folder = m_dir.filePath("plain/sub");
  ArchiveMedia media(m_panel, m_panel, m_options);
  EXPECT_EQ(media.SaveSnapshot(), "");
  EXPECT_EQ(m_panel.alerts, QStringList{cannotSave});

  // Before the first picture the image time is all zeros: the local time names the file.
  m_panel.folder = m_dir.path();
  const auto imageTime = m_panel.imageTime;
  m_panel.imageTime = {};
  EXPECT_EQ(media.SaveSnapshot(), m_dir.filePath("CAM1_2006-01-02 03-04-05_04711.jpg"));
  {
    FileSizeLimit full(1000);
    ASSERT_TRUE(full.IsSet());
    EXPECT_EQ(media.SaveSnapshot(), "");
  }
  EXPECT_EQ(m_panel.alerts, (QStringList{cannotSave, cannotSave}));
  EXPECT_EQ(Files(), (QStringList{"CAM1_2006-01-02 03-04-05_04711.jpg", "plain"}));
  EXPECT_EQ(DesktopOpener::Requests(), QStringList{m_dir.path()});

  m_panel.imageTime = imageTime;
  m_panel.selectedChannel = 2;
  m_panel.gridSize = 1;
  const QString name = media.SaveSnapshot();
  EXPECT_EQ(name, m_dir.path() + "/CAM3_2005-03-07 14-05-09_04711.jpg");
  const QImage shot(name);
  ASSERT_EQ(shot.size(), QSize(640, 480));
  EXPECT_TRUE(AnyRed(shot, QRect(240, 5, 360, 30)));   // the caption, at the top
  EXPECT_FALSE(AnyRed(shot, QRect(0, 40, 640, 440)));  // nothing else is red
  EXPECT_EQ(SnapshotCaptions::ForSnapshot(1, 2, "2005-03-07 14-05-09").at(0).text, "CAM3 2005-03-07 14-05-09");

  PicturePrinter::SetPrinterSource([] { return std::unique_ptr<QPrinter>(); });
  m_panel.selectedChannel = 255;
  m_panel.gridSize = 2;
  EXPECT_FALSE(media.PrintImage());
  EXPECT_EQ(m_panel.alerts.last(), "No Printer Driver is installed");
  // The captions are still shown on the panel, with the local time.
  ASSERT_EQ(m_panel.printCaptions.size(), 5u);
  EXPECT_EQ(m_panel.printCaptions[0].text, "2006-01-02 03-04-05");
}

// Times no clock shows name files by the local time in the recording and
// snapshot tests above.
TEST(RecordFileNames, SeparatorTickAndIntervalBounds) {
  using namespace recordnames;
  const ArchiveMoment time{2005, 3, 7, 14, 5, 9};
  // A folder ending in a separator gives no doubled separator; the tick keeps five digits.
  EXPECT_EQ(AviFileName("/data/Backup/", time), "/data/Backup/2005-03-07 14-05-09.avi");
  EXPECT_EQ(SnapshotFileName("/data/Backup/", 255, time, 123456789), "/data/Backup/CAM0_2005-03-07 14-05-09_56789.jpg");
  EXPECT_EQ(SnapshotFileName("/data/Backup", 15, time, 5), "/data/Backup/CAM16_2005-03-07 14-05-09_00005.jpg");
  // Settings beyond the interval table record for 15 s.
  EXPECT_EQ(std::vector({RecordIntervalMs(12), RecordIntervalMs(13), RecordIntervalMs(-1)}),
            std::vector({100000, 15000, 15000}));
}
