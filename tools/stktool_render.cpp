#include "tools/stktool_render.h"

#include <cerrno>
#include <charconv>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <memory>
#include <optional>
#include <vector>

#include "gfx/picture_limits.h"
#include "output/picture_file.h"
#include "output/sheet_picture.h"
#include "output/vector_sheet.h"
#include "seals/background.h"
#include "seals/grid_layout.h"
#include "tools/vector_file.h"

namespace zevo::tools {
namespace {

std::string LowerFirst(std::string text) {
  if (!text.empty() && text[0] >= 'A' && text[0] <= 'Z') text[0] = char(text[0] - 'A' + 'a');
  return text;
}

}  // namespace

std::string ReadCodeText(int code) {
  switch (code) {
    case 0:
      return "read";
    case 1:
      return "cannot open the file";
    case 2:
      return "the file's size does not match its contents";
    case 3:
      return "not a stroke file (too short or unknown magic)";
    case 4:
      return "the file cannot be decoded";
    case 5:
      return "a working file, or a major version other than 1";
    case 6:
      return "written by a newer version";
    case 7:
      return TooLargeText();
    default:
      return "read error " + std::to_string(code);
  }
}

std::string CannotOpenReason(const std::string& path) {
  std::error_code ec;
  const std::filesystem::file_status st = std::filesystem::status(path, ec);
  if (ec) return LowerFirst(ec.message());
  if (std::filesystem::is_directory(st)) return "it is a folder";
  if (std::FILE* f = std::fopen(path.c_str(), "rb")) {
    std::fclose(f);
    return "it cannot be opened";
  }
  return LowerFirst(std::strerror(errno));
}

std::string ReadFailureText(int code, const std::string& path) {
  if (code == files::kReadCannotOpen) return "cannot open it: " + CannotOpenReason(path);
  return ReadCodeText(code);
}

std::string ParseInt(const std::string& option, const std::string& text, long long lo, long long hi,
                     int& value) {
  long long v = 0;
  const char* end = text.data() + text.size();
  const auto [p, ec] = std::from_chars(text.data(), end, v);
  if (text.empty() || p != end || (ec != std::errc() && ec != std::errc::result_out_of_range))
    return option + " must be a whole number, not \"" + text + "\"";
  const bool below = ec == std::errc::result_out_of_range ? text[0] == '-' : v < lo;
  const bool above = ec == std::errc::result_out_of_range ? text[0] != '-' : v > hi;
  const std::string range = " from " + std::to_string(lo) + " to " + std::to_string(hi);
  // A short range is named whole; a long one by the side that was passed.
  const bool short_range = hi - lo <= 1000;
  if (below) {
    if (short_range || lo > 1) return option + " must be" + range;
    return option + (lo == 0 ? " must be 0 or more" : " must be positive");
  }
  if (above) return option + " must be" + (short_range ? range : " at most " + std::to_string(hi));
  value = int(v);
  return {};
}

std::string ParseSize(const std::string& option, const std::string& text, int& width, int& height) {
  const std::size_t x = text.find_first_of("xX");
  if (x == std::string::npos)
    return option + " must be WIDTHxHEIGHT, e.g. 1024x718, not \"" + text + "\"";
  int w = 0, h = 0;
  std::string why = ParseInt(option, text.substr(0, x), 1, 1000000, w);
  if (why.empty()) why = ParseInt(option, text.substr(x + 1), 1, 1000000, h);
  if (!why.empty()) return why;
  width = w, height = h;
  return {};
}

std::string ExtensionAmong(const std::string& path, std::initializer_list<const char*> allowed) {
  const std::string ext = output::UpperExtension(path);
  for (const char* a : allowed)
    if (ext == a) return ext;
  return {};
}

namespace {

constexpr const char* kRenderHelp =
    "usage: stktool render FILE -o OUT [options]\n"
    "Renders the sheet picture of the stroke file FILE into OUT: a name ending in .jpg or .jpeg\n"
    "is written as JPEG, .bmp as BMP, .png as PNG, .pdf as PDF and .svg as SVG (in any case);\n"
    "other names are refused. PDF and SVG hold the ink as shapes, one filled path a stroke,\n"
    "over the paper, background, grid and tracing model as one picture; pictures and seals\n"
    "are pictures placed at their rectangles. A sheet with a flood fill is one picture whole.\n"
    "  -o OUT              the picture file to write\n"
    "  --size WxH          its size in pixels, each side 1 to 1000000 (default 1024x718);\n"
    "                      PDF and SVG: the picture's size, one pixel to a point\n"
    "  --position N        show the first N entries, 0 or more (default: where the file was\n"
    "                      left)\n";
// The options after the sheet's.
constexpr const char* kRenderHelpRest =
    "  --dpi N             PNG: the resolution it records, 1 to 100000 dots per inch\n"
    "                      (default 72, as a BMP records)\n"
    "  --transparent       PNG: the ink alone on a transparent background (no background,\n"
    "                      grid or tracing model)\n"
    "  --page-mm WxH       PDF and SVG: the page's size in millimetres (decimals allowed),\n"
    "                      the picture scaled to fit it and centred\n"
    "  --page-pt WxH       the same in points (1/72 inch)\n"
    "  --paper-scale N     PDF and SVG: the picture under the ink at N times --size, 1 to 16\n"
    "                      (default 1), for a finer paper in print\n"
    "  -h, --help          show this help\n";

std::string ParseGrid(const std::string& text, seals::GridLayout& g) {
  std::vector<int> v;
  std::size_t start = 0;
  while (true) {
    const std::size_t comma = text.find(',', start);
    int n = 0;
    const std::string part =
        text.substr(start, comma == std::string::npos ? std::string::npos : comma - start);
    if (std::string why = ParseInt("--grid", part, 0, 65535, n); !why.empty()) return why;
    v.push_back(n);
    if (comma == std::string::npos) break;
    start = comma + 1;
  }
  if (v.size() != 6)
    return "--grid must be six whole numbers CW,CH,LEFT,TOP,COLS,ROWS, not " +
           std::to_string(v.size());
  g = {v[0], v[1], v[2], v[3], v[4], v[5]};
  return {};
}

// "WxH" in decimal numbers (a decimal point, no exponent), each side above 0 and at most max.
std::string ParsePageSize(const std::string& option, const std::string& text, double max,
                          VectorPage& page) {
  const std::size_t x = text.find_first_of("xX");
  const std::string example = " e.g. 210x297";
  if (x == std::string::npos)
    return option + " must be WIDTHxHEIGHT," + example + ", not \"" + text + "\"";
  double v[2] = {};
  const std::string parts[2] = {text.substr(0, x), text.substr(x + 1)};
  for (int i = 0; i < 2; ++i) {
    const std::string& t = parts[i];
    const char* end = t.data() + t.size();
    const auto [p, ec] = std::from_chars(t.data(), end, v[i], std::chars_format::fixed);
    if (t.empty() || p != end || ec != std::errc())
      return option + " must be two numbers WIDTHxHEIGHT," + example + ", not \"" + text + "\"";
    if (!(v[i] > 0) || v[i] > max) {
      std::string m = std::to_string(max);
      m.erase(m.find('.'));
      return option + " must be above 0 and at most " + m + " on each side";
    }
  }
  page = {v[0], v[1]};
  return {};
}

}  // namespace

const char* const kSheetOptionsHelp =
    "  --background IMG    this BMP or JPEG picture as the background, not the file's own\n"
    "  --texture           repeat IMG as a texture instead of placing it once\n"
    "  --fit 0-3           how IMG is placed: 0 on the paper, 1 full, 2 centred, 3 top left\n"
    "                      (default 0)\n"
    "  --lighten 0-2       lighten IMG: 0 not, 1 by half, 2 by three quarters (default 0)\n"
    "  --grid CW,CH,LEFT,TOP,COLS,ROWS\n"
    "                      draw a grid of COLS x ROWS cells of CW x CH pixels from LEFT,TOP\n"
    "                      (each 0 to 65535)\n"
    "  --trace MODEL       show the stroke file MODEL as the tracing model\n";

std::string ParseFileAndOutput(std::span<const std::string> args, std::string& file,
                               std::string& out, bool& help, const OwnOption& own) {
  OptionWords words(args);
  while (!words.Done()) {
    const std::string& w = words.Next();
    std::string why;
    if (IsHelp(w)) {
      help = true;
      return {};
    } else if (w == "-o") {
      if (!words.Value(out)) return "-o needs a file name";
    } else if (own(w, words, why)) {
      if (!why.empty()) return why;
    } else if (!w.empty() && w[0] == '-') {
      return "unknown option " + w;
    } else if (file.empty()) {
      file = w;
    } else {
      return "more than one stroke file given";
    }
  }
  if (file.empty()) return "no stroke file given";
  if (out.empty()) return "no output file given (-o OUT)";
  return {};
}

bool TakeSheetOption(const std::string& w, OptionWords& words, SheetOptions& o, std::string& why) {
  std::string v;
  if (w == "--background") {
    if (!words.Value(o.background)) why = "--background needs a picture file";
  } else if (w == "--texture") {
    o.texture = true;
  } else if (w == "--fit") {
    why = words.Number(w, 0, 3, o.fit);
  } else if (w == "--lighten") {
    why = words.Number(w, 0, 2, o.lighten);
  } else if (w == "--grid") {
    seals::GridLayout g;
    if (!words.Value(v)) {
      why = "--grid needs CW,CH,LEFT,TOP,COLS,ROWS";
    } else {
      why = ParseGrid(v, g);
      o.grid = g;
    }
  } else if (w == "--trace") {
    if (!words.Value(o.trace)) why = "--trace needs a stroke file";
  } else {
    return false;
  }
  return true;
}

int LoadSheetOptions(const std::string& command, const SheetOptions& o,
                     const ink::StrokeDocument& doc, bool own_background,
                     const StrokeFileReader& read, output::SheetInputs& in, LoadedSheet& loaded,
                     std::ostream& err) {
  if (!o.background.empty()) {
    Result<gfx::Bitmap24> picture = seals::LoadBackgroundFile(o.background);
    if (!picture) {
      err << "stktool " << command << ": " << o.background << ": " << picture.ErrorText() << "\n";
      return gfx::IsTooLarge(picture.ErrorText()) ? kExitTooLarge : kExitFailure;
    }
    loaded.background = std::make_unique<gfx::Bitmap24>(std::move(picture).Value());
    // Only an image is lightened, never a texture.
    if (!o.texture) seals::LightenBackground(*loaded.background, o.lighten);
    in.background = {loaded.background.get(),
                     o.texture ? seals::kBackgroundTexture : seals::kBackgroundImage, o.fit};
  } else if (doc.Background() != nullptr && own_background) {
    in.background = {doc.Background(), doc.BackgroundA(), doc.BackgroundB()};
  }
  if (o.grid) {
    in.grid = *o.grid;
    in.grid_shown = true;
  }
  if (!o.trace.empty()) {
    loaded.model = std::make_unique<ink::StrokeDocument>(output::kDefaultExportWidth,
                                                         output::kDefaultExportHeight);
    if (const int code = read(*loaded.model, o.trace); code != 0) {
      err << "stktool " << command << ": " << o.trace << ": " << ReadFailureText(code, o.trace)
          << "\n";
      return ExitForRead(code);
    }
    in.trace_model = loaded.model.get();
    in.trace_shown = true;
  }
  return 0;
}

namespace {

struct RenderOptions {
  std::string file, out;
  int width = output::kDefaultExportWidth, height = output::kDefaultExportHeight;
  std::optional<int> position;
  SheetOptions sheet;
  std::optional<int> dpi;
  bool transparent = false;
  std::optional<VectorPage> page;
  std::optional<int> paper_scale;
};

// Empty on success, else the reason; help is set by -h or --help.
std::string ParseRenderArgs(std::span<const std::string> a, RenderOptions& o, bool& help) {
  const std::string why = ParseFileAndOutput(
      a, o.file, o.out, help, [&](const std::string& w, OptionWords& words, std::string& why) {
        std::string v;
        if (w == "--size") {
          why = words.Size(w, o.width, o.height);
        } else if (w == "--position") {
          int n = 0;
          why = words.Number(w, 0, 2147483647, n);
          o.position = n;
        } else if (TakeSheetOption(w, words, o.sheet, why)) {
          // the paper under the history
        } else if (w == "--dpi") {
          int n = 0;
          why = words.Number(w, 1, 100000, n);
          o.dpi = n;
        } else if (w == "--transparent") {
          o.transparent = true;
        } else if (w == "--page-mm" || w == "--page-pt") {
          // Five metres a side: more than any press prints.
          const bool mm = w == "--page-mm";
          VectorPage page;
          if (!words.Value(v)) {
            why = w + " needs WIDTHxHEIGHT";
            return true;
          }
          why = ParsePageSize(w, v, mm ? 5000 : 5000 * kPointsPerMillimetre, page);
          if (mm) page = {page.width * kPointsPerMillimetre, page.height * kPointsPerMillimetre};
          o.page = page;
        } else if (w == "--paper-scale") {
          int n = 0;
          why = words.Number(w, 1, 16, n);
          o.paper_scale = n;
        } else {
          return false;
        }
        return true;
      });
  if (!why.empty() || help) return why;
  if (ExtensionAmong(o.out, {".JPG", ".JPEG", ".BMP", ".PNG", ".PDF", ".SVG"}).empty())
    return "cannot write \"" + o.out +
           "\": it writes .jpg, .jpeg (JPEG), .bmp (BMP), .png (PNG), .pdf (PDF) or .svg (SVG) "
           "files";
  const bool png = !ExtensionAmong(o.out, {".PNG"}).empty();
  if ((o.dpi || o.transparent) && !png)
    return std::string(o.dpi ? "--dpi" : "--transparent") + " goes with a .png output";
  const bool vector = !ExtensionAmong(o.out, {".PDF", ".SVG"}).empty();
  if ((o.page || o.paper_scale) && !vector)
    return std::string(o.page ? "--page-mm and --page-pt go" : "--paper-scale goes") +
           " with a .pdf or .svg output";
  if (o.transparent && o.sheet.Any())
    return "--transparent draws the ink alone: it takes no --background, --grid or --trace";
  return {};
}

}  // namespace

int RunRenderCommand(std::span<const std::string> args, const StrokeFileReader& read,
                     std::ostream& out, std::ostream& err) {
  RenderOptions o;
  bool help = false;
  const std::string why = ParseRenderArgs(args, o, help);
  if (help) {
    out << kRenderHelp << kSheetOptionsHelp << kRenderHelpRest;
    return 0;
  }
  if (!why.empty()) return UsageError("render", why, err);
  ink::StrokeDocument doc(output::kDefaultExportWidth, output::kDefaultExportHeight);
  if (const int code = read(doc, o.file); code != 0) {
    err << "stktool render: " << o.file << ": " << ReadFailureText(code, o.file) << "\n";
    return ExitForRead(code);
  }
  if (o.position) {
    const int n = *o.position;
    if (n > doc.Count()) {
      err << "stktool render: --position must be at most " << doc.Count() << " for " << o.file
          << " (it has " << doc.Count() << " entries)\n";
      return kExitUsage;
    }
    doc.ShowFirst(n);
  }

  output::SheetInputs in;
  in.live = &doc;
  LoadedSheet loaded;
  if (const int code =
          LoadSheetOptions("render", o.sheet, doc, !o.transparent, read, in, loaded, err);
      code != 0)
    return code;

  if (const std::string vector = ExtensionAmong(o.out, {".PDF", ".SVG"}); !vector.empty()) {
    Result<output::VectorSheet> sheet =
        output::BuildVectorSheet(o.width, o.height, in, o.paper_scale.value_or(1));
    if (!sheet) {
      err << "stktool render: " << sheet.ErrorText() << "\n";
      return 1;
    }
    if (sheet.Value().whole_raster)
      err << "stktool render: " << o.file
          << ": the history holds a flood fill, which has no shape of its own: " << o.out
          << " holds the whole sheet as one picture, the ink included\n";
    std::string error;
    if (!WriteVectorFile(sheet.Value(), o.out,
                         vector == ".PDF" ? VectorFormat::Pdf : VectorFormat::Svg, o.page,
                         &error)) {
      err << "stktool render: " << o.out << ": " << error << "\n";
      return 1;
    }
    return 0;
  }
  Result<gfx::Bitmap24> picture = output::RenderSheetPicture(o.width, o.height, in);
  if (!picture) {
    err << "stktool render: " << picture.ErrorText() << "\n";
    return 1;
  }
  std::string error;
  const std::string ext = ExtensionAmong(o.out, {".BMP", ".PNG"});
  const output::PictureFormat format = ext == ".BMP"   ? output::PictureFormat::Bmp
                                       : ext == ".PNG" ? output::PictureFormat::Png
                                                       : output::PictureFormat::Jpeg;
  gfx::PngOptions png;
  if (o.dpi) png.pixels_per_metre = gfx::PixelsPerMetre(std::uint32_t(*o.dpi));
  png.white_transparent = o.transparent;
  if (!output::WritePictureFile(picture.Value(), o.out, format, &error, png)) {
    err << "stktool render: " << o.out << ": " << error << "\n";
    return 1;
  }
  return 0;
}

}  // namespace zevo::tools
