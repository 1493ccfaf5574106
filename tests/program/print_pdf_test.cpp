// Printing from the window to a PDF file, looked at as the page comes out: the PDF is rendered
// with pdftoppm and the ink found where the sheet puts it, on an upright and a turned page.

#include <gtest/gtest.h>

#include <QApplication>
#include <QTemporaryDir>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <string>

#include "platform/qt/qt_printer.h"
#include "platform/scripted_ui.h"
#include "tests/support/test_window.h"

namespace zevo {
namespace {

struct Gray {
  int width = 0, height = 0;
  std::string pixels;
};

// A binary PGM as pdftoppm -gray writes it.
Gray ReadPgm(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::string magic;
  int maxval = 0;
  Gray g;
  in >> magic >> g.width >> g.height >> maxval;
  in.get();
  g.pixels.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
  if (magic != "P5" || maxval != 255 || g.pixels.size() != std::size_t(g.width) * g.height)
    return {};
  return g;
}

// The centre of the dark pixels, or (-1, -1) when there are none.
std::pair<double, double> InkCentre(const Gray& g) {
  double sx = 0, sy = 0;
  long n = 0;
  for (int y = 0; y < g.height; ++y)
    for (int x = 0; x < g.width; ++x)
      if (static_cast<unsigned char>(g.pixels[std::size_t(y) * g.width + x]) < 100) {
        sx += x;
        sy += y;
        ++n;
      }
  return n == 0 ? std::pair{-1.0, -1.0} : std::pair{sx / double(n), sy / double(n)};
}

class PrintToPdf : public ::testing::Test {
 protected:
  void SetUp() override {
    if (std::system("pdftoppm -v >/dev/null 2>&1") != 0) GTEST_SKIP() << "pdftoppm is missing";
    ASSERT_TRUE(t.win) << t.error;
    // One dot of ink at paper (250, 200).
    t.Stroke({{240, 200}, {250, 200}, {260, 200}}, 1023);
  }
  // Prints the window's sheet on an A4 page at 100 dpi and renders it at the same resolution.
  Gray Print(QPageLayout::Orientation orientation) {
    const QString pdf = dir.filePath(orientation == QPageLayout::Landscape ? "l.pdf" : "p.pdf");
    t.ui.QueuePrinter(
        platform::qt::QtPrinter::ToPdfFile(pdf, QPageSize(QPageSize::A4), orientation, 100));
    t.win->PrintPicExecute();
    EXPECT_TRUE(t.ui.Errors().empty());
    const std::string out = (dir.path() + "/page").toStdString();
    const std::string command =
        "pdftoppm -r 100 -gray -singlefile '" + pdf.toStdString() + "' '" + out + "' 2>/dev/null";
    if (std::system(command.c_str()) != 0) return {};
    return ReadPgm(out + ".pgm");
  }
  test::TestWindow t;
  QTemporaryDir dir;
};

TEST_F(PrintToPdf, UprightOnALandscapePage) {
  const Gray page = Print(QPageLayout::Landscape);
  ASSERT_GT(page.width, page.height);
  // The sheet spans the page's width from its top-left corner.
  const double s = page.width / 1024.0;
  const auto [x, y] = InkCentre(page);
  EXPECT_NEAR(x, 250 * s, 4);
  EXPECT_NEAR(y, 200 * s, 4);
}

TEST_F(PrintToPdf, TurnedOnAPortraitPage) {
  const Gray page = Print(QPageLayout::Portrait);
  ASSERT_LT(page.width, page.height);
  // The sheet's top runs up the page's left side: paper (x, y) lands at (y, 1024 - x) scaled
  // to the page's height.
  const double s = page.height / 1024.0;
  const auto [x, y] = InkCentre(page);
  EXPECT_NEAR(x, 200 * s, 4);
  EXPECT_NEAR(y, (1024 - 250) * s, 4);
}

}  // namespace
}  // namespace zevo

int main(int argc, char** argv) {
  qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication app(argc, argv);
  ::testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}
