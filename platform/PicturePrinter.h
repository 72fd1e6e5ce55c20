#pragma once
// Prints one picture on the default printer without a dialog: at one inch
// from the corner of the printable area, as wide as the page less 2.5 inches,
// in 4:3. Tests install a printer source of their own (for instance a PDF
// printer) so that nothing reaches a real printer.

#include <QImage>
#include <QRect>
#include <QString>
#include <functional>
#include <memory>

class QPrinter;

class PicturePrinter {
 public:
  enum class Result { Printed, NoPrinter, Failed };

  // Hands out the printer to use, or null when there is none.
  using PrinterSource = std::function<std::unique_ptr<QPrinter>()>;
  // An empty source restores the default printer.
  static void SetPrinterSource(PrinterSource source);

  // A printer on QPrinterInfo::defaultPrinter() at its own resolution; null
  // when no printer is installed.
  static std::unique_ptr<QPrinter> DefaultPrinter();

  // Where the picture goes, in device pixels from the printable area's corner:
  // (dpiX, dpiY), W = page width - 2 dpiX - dpiX / 2, H = 3 W / 4.
  static QRect PictureRect(const QPrinter& printer);

  // Prints the picture stretched into PictureRect as one page of a document
  // named documentName.
  static Result Print(const QImage& picture, const QString& documentName);
};
