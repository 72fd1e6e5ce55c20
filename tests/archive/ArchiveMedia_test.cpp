#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QImage>
#include <QPrinter>
#include <QTemporaryDir>

#include "archive/ArchiveMedia.h"
#include "platform/Alerts.h"
#include "platform/DesktopOpener.h"
#include "platform/PicturePrinter.h"
#include "support/FakeMediaPanel.h"
#include "support/FileSizeLimit.h"

namespace {

// Thin red text over the blue fill is blurred by the 2 x 2 chroma: judge red against blue.
bool AnyRed(const QImage& image, const QRect& area) {
  const QRect r = area & image.rect();
  for (int y = r.top(); y <= r.bottom(); ++y)
    for (int x = r.left(); x <= r.right(); ++x)
      if (const QColor c = image.pixelColor(x, y); c.red() > 120 && c.blue() < 160) return true;
  return false;
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

TEST_F(ArchiveMediaTest, SingleChannelSnapshotHasOneCaptionWithTheCameraName) {
  m_panel.selectedChannel = 2;
  m_panel.gridSize = 1;
  ArchiveMedia media(m_panel, m_panel, m_options);
  const QString name = media.SaveSnapshot();
  EXPECT_EQ(name, m_dir.path() + "/CAM3_2005-03-07 14-05-09_04711.jpg");
  const QImage shot(name);
  ASSERT_EQ(shot.size(), QSize(640, 480));
  EXPECT_TRUE(AnyRed(shot, QRect(240, 5, 360, 30)));   // the caption, at the top
  EXPECT_FALSE(AnyRed(shot, QRect(0, 40, 640, 440)));  // nothing else is red
  EXPECT_EQ(DesktopOpener::Requests(), QStringList{m_dir.path()});
  EXPECT_EQ(SnapshotCaptions::ForSnapshot(1, 2, "2005-03-07 14-05-09").at(0).text, "CAM3 2005-03-07 14-05-09");
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
  EXPECT_EQ(m_panel.printCaptions[0].text, "2006-01-02 03-04-05");
}

// A folder that takes no file or a full disk: told, and no file is left.
TEST_F(ArchiveMediaTest, SnapshotThatCannotBeWrittenTellsTheOperator) {
  const QString cannotSave = "Can Not Save JPEG File!";
  QFile plain(m_dir.filePath("plain"));
  ASSERT_TRUE(plain.open(QIODevice::WriteOnly));
  plain.close();
  m_panel.folder = m_dir.filePath("plain/sub");
  ArchiveMedia media(m_panel, m_panel, m_options);
  EXPECT_EQ(media.SaveSnapshot(), "");
  EXPECT_EQ(m_panel.alerts, QStringList{cannotSave});

  // Before the first picture the image time is all zeros: the local time names the file.
  m_panel.folder = m_dir.path();
  m_panel.imageTime = {};
  EXPECT_EQ(media.SaveSnapshot(), m_dir.filePath("CAM1_2006-01-02 03-04-05_04711.jpg"));
  {
    FileSizeLimit full(1000);
    ASSERT_TRUE(full.IsSet());
    EXPECT_EQ(media.SaveSnapshot(), "");
  }
  EXPECT_EQ(m_panel.alerts, (QStringList{cannotSave, cannotSave}));
  EXPECT_EQ(QDir(m_dir.path()).entryList(QDir::Files | QDir::Hidden, QDir::Name),
            (QStringList{"CAM1_2006-01-02 03-04-05_04711.jpg", "plain"}));
  EXPECT_EQ(DesktopOpener::Requests(), QStringList{m_dir.path()});
}
