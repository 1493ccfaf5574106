#pragma once

#include <QPageLayout>
#include <QPageSize>
#include <QPainter>
#include <QPrinter>
#include <QString>
#include <memory>

#include "platform/printer.h"

namespace zevo::platform::qt {

// A Printer over a QPrinter that the print dialog set up (or one printing to a PDF file).
// Device pixels are the printer's resolution; the page is its printable area.
class QtPrinter : public Printer {
 public:
  explicit QtPrinter(std::unique_ptr<QPrinter> printer);
  ~QtPrinter() override;

  // A printer that writes a PDF file: the page size, orientation and resolution (dots per
  // inch) of a real printer, with no margins. PDF pages measure whole points, so A4 at
  // 600 dpi is 7017 × 4958 device pixels here where a printer driver may say 7016 × 4961.
  static std::unique_ptr<QtPrinter> ToPdfFile(
      const QString& path, const QPageSize& size = QPageSize(QPageSize::A4),
      QPageLayout::Orientation orientation = QPageLayout::Landscape, int dpi = 600);

  int PageWidth() const override;
  int PageHeight() const override;
  bool BeginJob(std::string& error_text) override;
  bool StretchBitmap(const gfx::Bitmap24& bitmap, gfx::Rect page, std::string& error_text) override;
  bool EndJob(std::string& error_text) override;

  QPrinter& Device() { return *printer_; }

 private:
  std::unique_ptr<QPrinter> printer_;
  std::unique_ptr<QPainter> painter_;
};

}  // namespace zevo::platform::qt
