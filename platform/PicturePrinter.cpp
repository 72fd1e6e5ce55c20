#include "platform/PicturePrinter.h"

#include <QPainter>
#include <QPrinter>
#include <QPrinterInfo>

namespace {
constexpr double kMillimetresPerInch = 25.4;

PicturePrinter::PrinterSource& SourceSlot() {
  static PicturePrinter::PrinterSource source;
  return source;
}
}  // namespace

void PicturePrinter::SetPrinterSource(PrinterSource source) { SourceSlot() = std::move(source); }

std::unique_ptr<QPrinter> PicturePrinter::DefaultPrinter() {
  const QPrinterInfo info = QPrinterInfo::defaultPrinter();
  if (info.isNull()) return nullptr;
  return std::make_unique<QPrinter>(info, QPrinter::HighResolution);
}

QRect PicturePrinter::PictureRect(const QPrinter& printer) {
  const int dpiX = printer.logicalDpiX();
  const int dpiY = printer.logicalDpiY();
  // The physical page width in device pixels, truncated as a driver reports it.
  const double widthMm = printer.pageLayout().fullRect(QPageLayout::Millimeter).width();
  const int pageWidth = static_cast<int>(widthMm / kMillimetresPerInch * dpiX + 1e-6);
  const int w = pageWidth - 2 * dpiX - dpiX / 2;
  const int h = 3 * w / 4;
  return QRect(dpiX, dpiY, w, h);
}

PicturePrinter::Result PicturePrinter::Print(const QImage& picture, const QString& documentName) {
  std::unique_ptr<QPrinter> printer = SourceSlot() ? SourceSlot()() : DefaultPrinter();
  if (!printer) return Result::NoPrinter;
  printer->setDocName(documentName);
  QPainter painter;
  if (!painter.begin(printer.get())) return Result::Failed;
  // A plain copy, no smoothing, like a stretched DIB.
  painter.drawImage(PictureRect(*printer), picture);
  return painter.end() ? Result::Printed : Result::Failed;
}
