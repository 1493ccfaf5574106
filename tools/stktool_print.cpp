#include "tools/stktool_print.h"

#include <cstdint>

#include "gfx/bmp_file.h"
#include "output/print_layout.h"
#include "output/print_sheet.h"
#include "output/sheet_picture.h"

namespace zevo::tools {

namespace {

constexpr const char* kPrintHelp =
    "usage: stktool print FILE -o OUT --page PWxPH [--scale N]\n"
    "Prints the stroke file FILE as the program prints it on a page of PW x PH device pixels:\n"
    "writes the work bitmap to OUT (a .bmp file) and prints on stdout the rectangle of the page\n"
    "it is stretched onto, as x0 y0 x1 y1. The work bitmap is four times the printed sheet\n"
    "(about 35 MB at scale 100, 800 MB at 400) whatever the page; when it is over 64 MiB its\n"
    "size is told on stderr before it is written.\n"
    "  -o OUT         the BMP file to write\n"
    "  --page PWxPH   the printer's page in device pixels, each side 1 to 1000000\n"
    "  --scale N      the print scale in percent: 100, 150 or 200 (25 to 400 accepted;\n"
    "                 default 100)\n"
    "  -h, --help     show this help\n";

// Work bitmaps larger than this are announced before they are written.
constexpr std::uint64_t kAnnouncedBytes = std::uint64_t(64) << 20;

}  // namespace

int RunPrintCommand(std::span<const std::string> a, const StrokeFileReader& read, std::ostream& out,
                    std::ostream& err) {
  std::string file, out_path;
  int pw = 0, ph = 0, scale = 100;
  bool have_page = false, help = false;
  std::string why = ParseFileAndOutput(
      a, file, out_path, help, [&](const std::string& w, OptionWords& words, std::string& why) {
        std::string v;
        if (w == "--page") {
          why = words.Value(v) ? ParseSize(w, v, pw, ph) : "--page needs PWxPH in device pixels";
          have_page = why.empty();
        } else if (w == "--scale") {
          why = words.Value(v)
                    ? ParseInt(w, v, output::kPrintScaleMin, output::kPrintScaleMax, scale)
                    : "--scale needs 100, 150 or 200";
        } else {
          return false;
        }
        return true;
      });
  if (help) {
    out << kPrintHelp;
    return 0;
  }
  if (why.empty() && !have_page) why = "no page size given (--page PWxPH)";
  if (why.empty() && ExtensionAmong(out_path, {".BMP"}).empty())
    why = "cannot write \"" + out_path + "\": it writes .bmp files only";
  if (!why.empty()) return UsageError("print", why, err);

  Result<output::PrintLayout> layout = output::ComputePrintLayout(pw, ph, scale);
  if (!layout) {
    err << "stktool print: " << layout.ErrorText() << "\n";
    return 1;
  }
  ink::StrokeDocument doc(output::kDefaultExportWidth, output::kDefaultExportHeight);
  if (const int code = read(doc, file); code != 0) {
    err << "stktool print: " << file << ": " << ReadFailureText(code, file) << "\n";
    return ExitForRead(code);
  }
  output::SheetInputs in;
  in.live = &doc;
  if (doc.Background() != nullptr)
    in.background = {doc.Background(), doc.BackgroundA(), doc.BackgroundB()};
  Result<output::PrintedSheet> sheet = output::RenderPrintSheet(layout.Value(), in);
  if (!sheet) {
    err << "stktool print: " << sheet.ErrorText() << "\n";
    return 1;
  }
  const gfx::Bitmap24& work = sheet.Value().work;
  const std::uint64_t bytes = std::uint64_t(work.Width()) * std::uint64_t(work.Height()) * 3;
  if (bytes > kAnnouncedBytes) {
    err << "stktool print: writing a " << work.Width() << " x " << work.Height() << " work bitmap ("
        << (bytes >> 20) << " MiB) to " << out_path << "\n";
  }
  std::string error;
  if (!gfx::SaveBmpFile(sheet.Value().work, out_path, &error)) {
    err << "stktool print: " << out_path << ": " << error << "\n";
    return 1;
  }
  const gfx::Rect& r = sheet.Value().page;
  out << r.left << ' ' << r.top << ' ' << r.right << ' ' << r.bottom << "\n";
  return 0;
}

}  // namespace zevo::tools
