#include "platform/qt/qt_printer.h"

#include <gtest/gtest.h>

#include <QFile>
#include <QRegularExpression>
#include <QTemporaryDir>

#include "gfx/bitmap24.h"
#include "platform/qt/bitmap_image.h"

using zevo::gfx::Bitmap24;
using zevo::gfx::Rgb;
using zevo::platform::qt::QtPrinter;

namespace {

// Page objects of a PDF file ("/Type /Page", not the "/Type /Pages" tree).
int PdfPageCount(const QByteArray& pdf) {
  static const QRegularExpression page(QStringLiteral("/Type\\s*/Page(?![a-zA-Z])"));
  const QString text = QString::fromLatin1(pdf);
  int n = 0;
  for (auto it = page.globalMatch(text); it.hasNext(); it.next()) ++n;
  return n;
}

QByteArray ReadAll(const QString& path) {
  QFile f(path);
  return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

}  // namespace

TEST(Printer, ThePageIsMeasuredInDevicePixelsOfTheResolution) {
  QTemporaryDir dir;
  const QPageSize ten_by_five(QSize(360, 720), QPageSize::Point, QStringLiteral("5 x 10 in"));
  auto landscape =
      QtPrinter::ToPdfFile(dir.filePath("l.pdf"), ten_by_five, QPageLayout::Landscape, 600);
  EXPECT_EQ(landscape->PageWidth(), 6000);
  EXPECT_EQ(landscape->PageHeight(), 3000);
  auto portrait =
      QtPrinter::ToPdfFile(dir.filePath("p.pdf"), ten_by_five, QPageLayout::Portrait, 300);
  EXPECT_EQ(portrait->PageWidth(), 1500);
  EXPECT_EQ(portrait->PageHeight(), 3000);
  // A4 at 600 dpi, within the rounding of whole points.
  auto a4 = QtPrinter::ToPdfFile(dir.filePath("a4.pdf"));
  EXPECT_NEAR(a4->PageWidth(), 7016, 3);
  EXPECT_NEAR(a4->PageHeight(), 4961, 3);
}

TEST(Printer, PrintsOneBitmapOnOnePage) {
  QTemporaryDir dir;
  const QString path = dir.filePath("sheet.pdf");
  auto printer = QtPrinter::ToPdfFile(path, QPageSize(QPageSize::A4), QPageLayout::Landscape, 300);
  const int pw = printer->PageWidth(), ph = printer->PageHeight();

  Bitmap24 sheet(203, 145, Rgb(255, 255, 255));
  sheet.FillRect({10, 10, 60, 40}, Rgb(200, 0, 0));
  std::string error;
  ASSERT_TRUE(printer->BeginJob(error)) << error;
  EXPECT_FALSE(printer->BeginJob(error));  // one job at a time
  ASSERT_TRUE(printer->StretchBitmap(sheet, {0, 0, pw, ph * 145 / 203}, error)) << error;
  ASSERT_TRUE(printer->EndJob(error)) << error;

  const QByteArray pdf = ReadAll(path);
  ASSERT_TRUE(pdf.startsWith("%PDF-"));
  EXPECT_EQ(PdfPageCount(pdf), 1);
  EXPECT_TRUE(pdf.contains("/Image")) << "the bitmap is on the page as a picture";
}

TEST(Printer, RefusalsAreReportedWithAText) {
  QTemporaryDir dir;
  auto nowhere = QtPrinter::ToPdfFile(dir.filePath("missing/folder/x.pdf"));
  std::string error;
  EXPECT_FALSE(nowhere->BeginJob(error));
  EXPECT_FALSE(error.empty());

  auto printer = QtPrinter::ToPdfFile(dir.filePath("y.pdf"));
  Bitmap24 b(4, 4);
  error.clear();
  EXPECT_FALSE(printer->StretchBitmap(b, {0, 0, 4, 4}, error));
  EXPECT_FALSE(error.empty());
  EXPECT_FALSE(printer->EndJob(error));
}

TEST(Printer, TheBitmapIsSeenInItsOwnColoursAndMemory) {
  Bitmap24 b(3, 2, Rgb(255, 255, 255));
  b.SetPixel(2, 1, Rgb(10, 20, 30));
  const Bitmap24& cb = b;
  const QImage view = zevo::platform::qt::WrapBitmap(cb);
  EXPECT_EQ(view.size(), QSize(3, 2));
  EXPECT_EQ(view.pixelColor(2, 1), QColor(10, 20, 30));
  EXPECT_EQ(view.constBits(), b.Data());  // no copy
  QImage writable = zevo::platform::qt::WrapBitmap(b);
  writable.setPixelColor(0, 0, QColor(1, 2, 3));
  EXPECT_EQ(b.Pixel(0, 0), Rgb(1, 2, 3));
}
