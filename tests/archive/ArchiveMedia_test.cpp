#include "archive/ArchiveMedia.h"

#include <gtest/gtest.h>
#include <turbojpeg.h>

#include <QDir>
#include <QFile>
#include <QPrinter>
#include <QTemporaryDir>

#include "platform/Alerts.h"
#include "platform/DesktopOpener.h"
#include "platform/PicturePrinter.h"
#include "support/FakeMediaPanel.h"
#include "support/FileSizeLimit.h"

namespace {

struct Decoded {
  int width = 0, height = 0, subsampling = -1;
  std::vector<std::uint8_t> rgb;
  // Thin red text over the blue fill is blurred by the 2 x 2 chroma: judge red against blue.
  bool AnyRed(const QRect& r) const {
    for (int y = std::max(0, r.top()); y <= std::min(height - 1, r.bottom()); ++y)
      for (int x = std::max(0, r.left()); x <= std::min(width - 1, r.right()); ++x) {
        const std::uint8_t* p = &rgb[(static_cast<std::size_t>(y) * width + x) * 3];
        if (p[0] > 120 && p[2] < 160) return true;
      }
    return false;
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

class ArchiveMediaTest : public ::testing::Test {
 protected:
  void SetUp() override {
    m_panel.folder = m_dir.path();
    DesktopOpener::SetEnabled(false);
    DesktopOpener::ClearRequests();
    Alerts::SetMessageHook([](const Alerts::Message&) { return Alerts::kOk; });
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
  EXPECT_TRUE(d.AnyRed(QRect(240, 5, 360, 30)));   // the caption
  EXPECT_FALSE(d.AnyRed(QRect(0, 40, 640, 440)));  // nothing else is red
  EXPECT_EQ(DesktopOpener::Requests(), QStringList{m_dir.path()});

  const auto captions = SnapshotCaptions::ForSnapshot(1, 2, "2005-03-07 14-05-09");
  ASSERT_EQ(captions.size(), 1u);
  EXPECT_EQ(captions[0].text, "CAM3 2005-03-07 14-05-09");
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

TEST_F(ArchiveMediaTest, SnapshotThatCannotBeWrittenTellsTheOperator) {
  const QString cannotSave = "Can Not Save JPEG File!";
  QFile plain(m_dir.filePath("plain"));
  ASSERT_TRUE(plain.open(QIODevice::WriteOnly));
  plain.close();
  m_panel.folder = m_dir.filePath("plain/sub");  // a folder no one can create files in
  ArchiveMedia media(m_panel, m_panel, m_options);
  EXPECT_EQ(media.SaveSnapshot(), "");
  EXPECT_EQ(m_panel.alerts, QStringList{cannotSave});

  // Before the first picture the image time is all zeros: the local time names the file.
  m_panel.folder = m_dir.path();
  m_panel.imageTime = {};
  const QString name = m_dir.filePath("CAM1_2006-01-02 03-04-05_04711.jpg");
  EXPECT_EQ(media.SaveSnapshot(), name);
  {
    FileSizeLimit full(1000);  // a disk with room for 1000 bytes of the file
    ASSERT_TRUE(full.IsSet());
    EXPECT_EQ(media.SaveSnapshot(), "");
  }
  EXPECT_EQ(m_panel.alerts, (QStringList{cannotSave, cannotSave}));
  EXPECT_EQ(QDir(m_dir.path()).entryList(QDir::Files | QDir::Hidden, QDir::Name),
            (QStringList{"CAM1_2006-01-02 03-04-05_04711.jpg", "plain"}));
  EXPECT_EQ(DesktopOpener::Requests(), QStringList{m_dir.path()});
}
