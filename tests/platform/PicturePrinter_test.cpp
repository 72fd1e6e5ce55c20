#include "platform/PicturePrinter.h"

#include <gtest/gtest.h>

#include <QImage>
#include <QPageLayout>
#include <QPageSize>
#include <QPrinter>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>

namespace {

std::unique_ptr<QPrinter> PdfPrinter(const QString& path) {
  auto p = std::make_unique<QPrinter>(QPrinter::HighResolution);
  p->setOutputFormat(QPrinter::PdfFormat);
  p->setOutputFileName(path);
  p->setResolution(600);
  p->setPageSize(QPageSize(QPageSize::A4));
  p->setPageMargins(QMarginsF(0, 0, 0, 0), QPageLayout::Millimeter);
  return p;
}

class PicturePrinterTest : public ::testing::Test {
 protected:
  void TearDown() override { PicturePrinter::SetPrinterSource({}); }
  QTemporaryDir m_dir;
};

}  // namespace

TEST_F(PicturePrinterTest, PlacesThePictureOneInchInAt4To3) {
  const auto printer = PdfPrinter(m_dir.filePath("geometry.pdf"));
  EXPECT_EQ(PicturePrinter::PictureRect(*printer), QRect(600, 600, 3460, 2595));
  printer->setResolution(300);
  // 2480 pixels wide at 300 dpi: 2480 - 600 - 150.
  EXPECT_EQ(PicturePrinter::PictureRect(*printer), QRect(300, 300, 1730, 1297));
}

TEST_F(PicturePrinterTest, RenderedPageShowsThePictureInItsPlace) {
  const QString pdf = m_dir.filePath("page.pdf");
  PicturePrinter::SetPrinterSource([pdf] { return PdfPrinter(pdf); });
  QImage picture(640, 480, QImage::Format_RGB32);
  picture.fill(Qt::red);
  ASSERT_EQ(PicturePrinter::Print(picture, "Record Image"), PicturePrinter::Result::Printed);

  const QString pdftoppm = QStandardPaths::findExecutable("pdftoppm");
  if (pdftoppm.isEmpty()) GTEST_SKIP() << "pdftoppm not installed";
  QProcess info;
  info.start(QStandardPaths::findExecutable("pdfinfo"), {pdf});
  if (info.waitForFinished(30000)) {
    EXPECT_TRUE(info.readAllStandardOutput().contains("Record Image"));
  }

  // At 60 dpi the picture covers (60, 60) to (406, 319.5) of a 496-pixel page.
  QProcess p;
  p.start(pdftoppm, {"-r", "60", "-png", "-singlefile", pdf, m_dir.filePath("page")});
  ASSERT_TRUE(p.waitForFinished(30000));
  QImage page(m_dir.filePath("page.png"));
  ASSERT_FALSE(page.isNull());
  EXPECT_NEAR(page.width(), 496, 1);
  auto isRed = [&](int x, int y) {
    const QColor c = page.pixelColor(x, y);
    return c.red() > 200 && c.green() < 60 && c.blue() < 60;
  };
  EXPECT_TRUE(isRed(62, 62));
  EXPECT_TRUE(isRed(403, 316));
  EXPECT_FALSE(isRed(57, 62));
  EXPECT_FALSE(isRed(62, 57));
  EXPECT_FALSE(isRed(409, 200));
  EXPECT_FALSE(isRed(200, 323));
}
