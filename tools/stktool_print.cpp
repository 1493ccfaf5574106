#include "tools/stktool_print.h"

#include "gfx/bmp_file.h"
#include "output/print_layout.h"
#include "output/print_sheet.h"
#include "output/sheet_picture.h"

namespace zevo::tools {

int RunPrintCommand(std::span<const std::string> a, const StrokeFileReader& read, std::ostream& out,
                    std::ostream& err) {
  std::string file, out_path, why;
  int pw = 0, ph = 0, scale = 100;
  bool have_page = false;
  for (std::size_t i = 0; i < a.size() && why.empty(); ++i) {
    const std::string& w = a[i];
    const bool has_value = i + 1 < a.size();
    if (w == "-o") {
      if (has_value)
        out_path = a[++i];
      else
        why = "-o needs a file name";
    } else if (w == "--page") {
      have_page = has_value && ParseSize(a[++i], pw, ph);
      if (!have_page) why = "--page needs PWxPH in device pixels";
    } else if (w == "--scale") {
      if (!has_value || !ParseInt(a[++i], output::kPrintScaleMin, output::kPrintScaleMax, scale))
        why = "--scale needs 100, 150 or 200 (" + std::to_string(output::kPrintScaleMin) + " to " +
              std::to_string(output::kPrintScaleMax) + " accepted)";
    } else if (!w.empty() && w[0] == '-') {
      why = "unknown option " + w;
    } else if (file.empty()) {
      file = w;
    } else {
      why = "more than one stroke file given";
    }
  }
  if (why.empty() && file.empty()) why = "no stroke file given";
  if (why.empty() && out_path.empty()) why = "no output file given (-o OUT)";
  if (why.empty() && !have_page) why = "no page size given (--page PWxPH)";
  if (!why.empty()) {
    err << "stktool print: " << why << "\n"
        << "usage: stktool print FILE -o OUT --page PWxPH [--scale 100|150|200]\n";
    return 1;
  }

  Result<output::PrintLayout> layout = output::ComputePrintLayout(pw, ph, scale);
  if (!layout) {
    err << "stktool print: " << layout.ErrorText() << "\n";
    return 1;
  }
  ink::StrokeDocument doc(output::kDefaultExportWidth, output::kDefaultExportHeight);
  if (const int code = read(doc, file); code != 0) {
    err << "stktool print: " << file << ": " << ReadCodeText(code) << "\n";
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
