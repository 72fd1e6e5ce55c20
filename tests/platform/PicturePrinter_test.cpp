#include <gtest/gtest.h>

#include <QImage>
#include <QPageLayout>
#include <QPageSize>
#include <QPrinter>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>

#include "platform/PicturePrinter.h"

// A red picture on an A4 PDF printer at 600 dpi, without margins: one inch in, at 4:3.
TEST(PicturePrinter, RenderedPageShowsThePictureInItsPlace) {
  QTemporaryDir dir;
  const QString pdf = dir.filePath("page.pdf");
  PicturePrinter::SetPrinterSource([pdf] {
    auto p = std::make_unique<QPrinter>(QPrinter::HighResolution);
    p->setOutputFormat(QPrinter::PdfFormat);
    p->setOutputFileName(pdf);
    p->setResolution(600);
    p->setPageSize(QPageSize(QPageSize::A4));
    p->setPageMargins(QMarginsF(0, 0, 0, 0), QPageLayout::Millimeter);
    return p;
  });
  QImage picture(640, 480, QImage::Format_RGB32);
  picture.fill(Qt::red);
  const auto result = PicturePrinter::Print(picture, "Record Image");
  PicturePrinter::SetPrinterSource({});
  ASSERT_EQ(result, PicturePrinter::Result::Printed);

  const QString pdftoppm = QStandardPaths::findExecutable("pdftoppm");
  if (pdftoppm.isEmpty()) GTEST_SKIP() << "pdftoppm not installed";
  // At 60 dpi the picture covers (60, 60) to (406, 319.5) of a 496-pixel page.
  QProcess p;
  p.start(pdftoppm, {"-r", "60", "-png", "-singlefile", pdf, dir.filePath("page")});
  ASSERT_TRUE(p.waitForFinished(30000));
  const QImage page(dir.filePath("page.png"));
  EXPECT_NEAR(page.width(), 496, 1);
  const struct { int x, y; bool red; } points[] = {
      {62, 62, true}, {403, 316, true}, {57, 62, false}, {62, 57, false}, {409, 200, false}, {200, 323, false}};
  for (const auto& [x, y, red] : points) {
    const QColor c = page.pixelColor(x, y);
    EXPECT_EQ(c.red() > 200 && c.green() < 60 && c.blue() < 60, red) << x << ", " << y;
  }
}
