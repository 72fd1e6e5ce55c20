#include "archive/ArchiveMedia.h"

#include <gtest/gtest.h>
#include <turbojpeg.h>

#include <QFile>
#include <QPageLayout>
#include <QPageSize>
#include <QPrinter>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>

#include "platform/Alerts.h"
#include "platform/DesktopOpener.h"
#include "platform/PicturePrinter.h"
#include "support/FakeMediaPanel.h"

namespace {

struct Decoded {
  int width = 0, height = 0, subsampling = -1;
  std::vector<std::uint8_t> rgb;
  bool IsRed(int x, int y) const {
    const std::uint8_t* p = &rgb[(static_cast<std::size_t>(y) * width + x) * 3];
    // Thin red text over the blue fill is blurred by the 2 x 2 chroma: judge red against blue.
    return p[0] > 120 && p[2] < 160;
  }
};

Decoded DecodeJpeg(const QString& path) {
  Decoded d;
  QFile f(path);
  if (!f.open(QIODevice::ReadOnly)) return d;
  const QByteArray jpeg = f.readAll();
  tjhandle h = tjInitDecompress();
  const auto* src = reinterpret_cast<const unsigned char*>(jpeg.constData());
  const auto size = static_cast<unsigned long>(jpeg.size());
  int colorspace = 0;
  if (tjDecompressHeader3(h, src, size, &d.width, &d.height, &d.subsampling, &colorspace) == 0) {
    d.rgb.resize(static_cast<std::size_t>(d.width) * d.height * 3);
    tjDecompress2(h, src, size, d.rgb.data(), d.width, 0, d.height, TJPF_RGB, 0);
  }
  tjDestroy(h);
  return d;
}

bool AnyRed(const Decoded& d, const QRect& r) {
  for (int y = std::max(0, r.top()); y <= std::min(d.height - 1, r.bottom()); ++y)
    for (int x = std::max(0, r.left()); x <= std::min(d.width - 1, r.right()); ++x)
      if (d.IsRed(x, y)) return true;
  return false;
}

class ArchiveMediaTest : public ::testing::Test {
 protected:
  void SetUp() override {
    m_panel.folder = m_dir.path();
    DesktopOpener::SetEnabled(false);
    DesktopOpener::ClearRequests();
    Alerts::SetMessageHook([this](const Alerts::Message& m) {
      m_boxes << m.text;
      return Alerts::kOk;
    });
    m_options.tickMs = [] { return qint64(1234504711); };
    m_options.clock = [] { return QDateTime(QDate(2006, 1, 2), QTime(3, 4, 5)); };
  }
  void TearDown() override {
    Alerts::SetMessageHook({});
    PicturePrinter::SetPrinterSource({});
  }

  QTemporaryDir m_dir;
  FakeMediaPanel m_panel;
  ArchiveMedia::Options m_options;
  QStringList m_boxes;
};

}  // namespace

TEST_F(ArchiveMediaTest, SingleChannelSnapshotHasOneCaptionAndTheCameraName) {
  m_panel.selectedChannel = 2;
  m_panel.gridSize = 1;
  ArchiveMedia media(m_panel, m_panel, m_options);
  const QString name = media.SaveSnapshot();
  EXPECT_EQ(name, m_dir.path() + "/CAM3_2005-03-07 14-05-09_04711.jpg");
  const Decoded d = DecodeJpeg(name);
  ASSERT_EQ(d.width, 640);
  ASSERT_EQ(d.height, 480);
  EXPECT_EQ(d.subsampling, TJSAMP_420);
  EXPECT_TRUE(AnyRed(d, QRect(240, 5, 360, 30)));   // the caption
  EXPECT_FALSE(AnyRed(d, QRect(0, 40, 640, 440)));  // nothing else is red
  EXPECT_EQ(DesktopOpener::Requests(), QStringList{m_dir.path()});

  const auto captions = SnapshotCaptions::ForSnapshot(1, 2, "2005-03-07 14-05-09");
  ASSERT_EQ(captions.size(), 1u);
  EXPECT_EQ(captions[0].text, "CAM3 2005-03-07 14-05-09");
}

TEST_F(ArchiveMediaTest, GridSnapshotNumbersTheCellsRowByRow) {
  m_panel.selectedChannel = 255;
  m_panel.gridSize = 3;
  const auto captions = SnapshotCaptions::ForSnapshot(3, 255, "2005-03-07 14-05-09");
  ASSERT_EQ(captions.size(), 10u);
  EXPECT_EQ(captions[0], (Caption{QRect(240, 5, 360, 30), "2005-03-07 14-05-09"}));
  EXPECT_EQ(captions[1], (Caption{QRect(55, 137, 250, 30), "CAM1"}));
  EXPECT_EQ(captions[2], (Caption{QRect(268, 137, 250, 30), "CAM2"}));
  EXPECT_EQ(captions[4], (Caption{QRect(55, 297, 250, 30), "CAM4"}));
  EXPECT_EQ(captions[9].text, "CAM9");

  ArchiveMedia media(m_panel, m_panel, m_options);
  const QString name = media.SaveSnapshot();
  EXPECT_TRUE(QFileInfo(name).fileName().startsWith("CAM0_2005-03-07 14-05-09_"));
  const Decoded d = DecodeJpeg(name);
  ASSERT_EQ(d.width, 640);
  EXPECT_TRUE(AnyRed(d, QRect(55, 137, 60, 25)));
  EXPECT_TRUE(AnyRed(d, QRect(481, 457, 60, 23)));  // CAM9, clipped at the bottom
}

TEST_F(ArchiveMediaTest, OtherGridSizesCountAsOnePane) {
  m_panel.selectedChannel = 255;
  m_panel.gridSize = 1;
  EXPECT_EQ(SnapshotCaptions::ForSnapshot(1, 255, "T")[0].text, "CAM0 T");
  m_panel.gridSize = 7;
  ArchiveMedia media(m_panel, m_panel, m_options);
  media.SaveSnapshot();
  EXPECT_EQ(m_panel.gridSize, 1);
  EXPECT_EQ(SnapshotCaptions::ForSnapshot(4, 0, "T").size(), 17u);
  EXPECT_EQ(SnapshotCaptions::ForSnapshot(2, 0, "T")[1].rect, QRect(45, 217, 250, 30));
}

TEST_F(ArchiveMediaTest, SnapshotIntoAFolderWithTrailingSeparator) {
  m_panel.folder = m_dir.path() + "/";
  ArchiveMedia media(m_panel, m_panel, m_options);
  const QString name = media.SaveSnapshot();
  EXPECT_FALSE(name.contains("//"));
  EXPECT_TRUE(QFile::exists(name));
}

TEST_F(ArchiveMediaTest, NothingCapturedNothingWritten) {
  m_panel.nullCapture = true;
  ArchiveMedia media(m_panel, m_panel, m_options);
  EXPECT_TRUE(media.SaveSnapshot().isEmpty());
  EXPECT_FALSE(media.PrintImage());
  EXPECT_TRUE(QDir(m_dir.path()).entryList(QDir::Files).isEmpty());
  EXPECT_TRUE(DesktopOpener::Requests().isEmpty());
}

TEST_F(ArchiveMediaTest, PrintWithoutPrinterTellsTheOperator) {
  PicturePrinter::SetPrinterSource([] { return std::unique_ptr<QPrinter>(); });
  m_panel.selectedChannel = 255;
  m_panel.gridSize = 2;
  ArchiveMedia media(m_panel, m_panel, m_options);
  EXPECT_FALSE(media.PrintImage());
  EXPECT_EQ(m_panel.alerts, QStringList{"No Printer Driver is installed"});
  // The captions are still shown on the panel, with the local time.
  ASSERT_EQ(m_panel.printCaptions.size(), 5u);
  EXPECT_EQ(m_panel.printCaptions[0], (Caption{QRect(312, 25, 360, 30), "2006-01-02 03-04-05"}));
  EXPECT_EQ(m_panel.printCaptions[1], (Caption{QRect(105, 237, 250, 30), "CAM1"}));
}

TEST_F(ArchiveMediaTest, PrintsThePictureOnThePrinterPage) {
  const QString pdf = m_dir.filePath("print.pdf");
  PicturePrinter::SetPrinterSource([pdf] {
    auto p = std::make_unique<QPrinter>(QPrinter::HighResolution);
    p->setOutputFormat(QPrinter::PdfFormat);
    p->setOutputFileName(pdf);
    p->setResolution(600);
    p->setPageSize(QPageSize(QPageSize::A4));
    p->setPageMargins(QMarginsF(0, 0, 0, 0), QPageLayout::Millimeter);
    return p;
  });
  m_panel.gridSize = 1;
  ArchiveMedia media(m_panel, m_panel, m_options);
  ASSERT_TRUE(media.PrintImage());
  ASSERT_TRUE(QFile::exists(pdf));
  EXPECT_TRUE(m_panel.alerts.isEmpty());

  const QString pdftoppm = QStandardPaths::findExecutable("pdftoppm");
  if (pdftoppm.isEmpty()) GTEST_SKIP() << "pdftoppm not installed";
  QProcess p;
  p.start(pdftoppm, {"-r", "60", "-png", "-singlefile", pdf, m_dir.filePath("page")});
  ASSERT_TRUE(p.waitForFinished(30000));
  const QImage page(m_dir.filePath("page.png"));
  ASSERT_FALSE(page.isNull());
  // The picture's fill (R 1, G 40, B 200) from (60, 60) over 346 x 259 pixels.
  const QColor inside = page.pixelColor(200, 200);
  EXPECT_LT(inside.red(), 30);
  EXPECT_GT(inside.blue(), 170);
  EXPECT_EQ(page.pixelColor(50, 200), QColor(Qt::white));
  EXPECT_EQ(page.pixelColor(200, 330), QColor(Qt::white));
}
