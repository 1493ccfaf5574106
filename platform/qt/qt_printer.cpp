#include "platform/qt/qt_printer.h"

#include <QMarginsF>

#include "platform/qt/bitmap_image.h"

namespace zevo::platform::qt {

QtPrinter::QtPrinter(std::unique_ptr<QPrinter> printer) : printer_(std::move(printer)) {}

QtPrinter::~QtPrinter() {
  // A job left open (a command abandoned by an error) is ended rather than leaked.
  if (painter_ && painter_->isActive()) painter_->end();
}

std::unique_ptr<QtPrinter> QtPrinter::ToPdfFile(const QString& path, const QPageSize& size,
                                                QPageLayout::Orientation orientation, int dpi) {
  auto printer = std::make_unique<QPrinter>(QPrinter::HighResolution);
  printer->setOutputFormat(QPrinter::PdfFormat);
  printer->setOutputFileName(path);
  printer->setResolution(dpi);
  printer->setPageLayout(QPageLayout(size, orientation, QMarginsF(0, 0, 0, 0)));
  return std::make_unique<QtPrinter>(std::move(printer));
}

// The printable area, in device pixels; the painter's origin is its top-left corner.
int QtPrinter::PageWidth() const {
  return printer_->isValid() ? printer_->width() : 0;
}
int QtPrinter::PageHeight() const {
  return printer_->isValid() ? printer_->height() : 0;
}

bool QtPrinter::BeginJob(std::string& error_text) {
  if (painter_ && painter_->isActive()) {
    error_text = "A print job is already running.";
    return false;
  }
  painter_ = std::make_unique<QPainter>();
  if (!painter_->begin(printer_.get())) {
    painter_.reset();
    error_text = "The printer could not start the print job.";
    if (printer_->outputFormat() == QPrinter::PdfFormat)
      error_text += " Cannot write " + printer_->outputFileName().toStdString() + ".";
    return false;
  }
  return true;
}

bool QtPrinter::StretchBitmap(const gfx::Bitmap24& bitmap, gfx::Rect page,
                              std::string& error_text) {
  if (!painter_ || !painter_->isActive()) {
    error_text = "No print job is running.";
    return false;
  }
  if (bitmap.Empty() || page.Empty()) return true;
  painter_->setRenderHint(QPainter::SmoothPixmapTransform);
  painter_->drawImage(QRect(page.left, page.top, page.Width(), page.Height()), WrapBitmap(bitmap));
  return true;
}

bool QtPrinter::EndJob(std::string& error_text) {
  if (!painter_ || !painter_->isActive()) {
    error_text = "No print job is running.";
    return false;
  }
  const bool ended = painter_->end();
  painter_.reset();
  if (!ended || printer_->printerState() == QPrinter::Error) {
    error_text = "The printer could not finish the print job.";
    return false;
  }
  return true;
}

}  // namespace zevo::platform::qt
