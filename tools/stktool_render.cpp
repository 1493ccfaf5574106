#include "tools/stktool_render.h"

#include <charconv>
#include <memory>
#include <optional>
#include <vector>

#include "gfx/picture_limits.h"
#include "output/picture_file.h"
#include "output/sheet_picture.h"
#include "seals/background.h"
#include "seals/grid_layout.h"

namespace zevo::tools {

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

bool ParseInt(const std::string& text, long long lo, long long hi, int& value) {
  long long v = 0;
  const char* end = text.data() + text.size();
  const auto [p, ec] = std::from_chars(text.data(), end, v);
  if (ec != std::errc() || p != end || text.empty() || v < lo || v > hi) return false;
  value = int(v);
  return true;
}

bool ParseSize(const std::string& text, int& width, int& height) {
  const std::size_t x = text.find_first_of("xX");
  if (x == std::string::npos) return false;
  return ParseInt(text.substr(0, x), 1, 1000000, width) &&
         ParseInt(text.substr(x + 1), 1, 1000000, height);
}

namespace {

bool ParseGrid(const std::string& text, seals::GridLayout& g) {
  std::vector<int> v;
  std::size_t start = 0;
  while (true) {
    const std::size_t comma = text.find(',', start);
    int n;
    if (!ParseInt(
            text.substr(start, comma == std::string::npos ? std::string::npos : comma - start), 0,
            65535, n))
      return false;
    v.push_back(n);
    if (comma == std::string::npos) break;
    start = comma + 1;
  }
  if (v.size() != 6) return false;
  g = {v[0], v[1], v[2], v[3], v[4], v[5]};
  return true;
}

struct RenderOptions {
  std::string file, out, background, trace;
  int width = output::kDefaultExportWidth, height = output::kDefaultExportHeight;
  std::optional<int> position;
  bool texture = false;
  int fit = seals::kFitPaper;
  int lighten = seals::kLightenNone;
  std::optional<seals::GridLayout> grid;
};

// Empty on success, else the reason.
std::string ParseRenderArgs(std::span<const std::string> a, RenderOptions& o) {
  for (std::size_t i = 0; i < a.size(); ++i) {
    const std::string& w = a[i];
    auto value = [&](std::string& into) {
      if (i + 1 >= a.size()) return false;
      into = a[++i];
      return true;
    };
    std::string v;
    if (w == "-o") {
      if (!value(o.out)) return "-o needs a file name";
    } else if (w == "--size") {
      if (!value(v) || !ParseSize(v, o.width, o.height)) return "--size needs WxH";
    } else if (w == "--position") {
      int n;
      if (!value(v) || !ParseInt(v, 0, 2147483647, n)) return "--position needs a number";
      o.position = n;
    } else if (w == "--background") {
      if (!value(o.background)) return "--background needs a picture file";
    } else if (w == "--texture") {
      o.texture = true;
    } else if (w == "--fit") {
      if (!value(v) || !ParseInt(v, 0, 3, o.fit)) return "--fit needs 0, 1, 2 or 3";
    } else if (w == "--lighten") {
      if (!value(v) || !ParseInt(v, 0, 2, o.lighten)) return "--lighten needs 0, 1 or 2";
    } else if (w == "--grid") {
      seals::GridLayout g;
      if (!value(v) || !ParseGrid(v, g))
        return "--grid needs CW,CH,LEFT,TOP,COLS,ROWS (each 0 to 65535)";
      o.grid = g;
    } else if (w == "--trace") {
      if (!value(o.trace)) return "--trace needs a stroke file";
    } else if (!w.empty() && w[0] == '-') {
      return "unknown option " + w;
    } else if (o.file.empty()) {
      o.file = w;
    } else {
      return "more than one stroke file given";
    }
  }
  if (o.file.empty()) return "no stroke file given";
  if (o.out.empty()) return "no output file given (-o OUT)";
  return {};
}

}  // namespace

int RunRenderCommand(std::span<const std::string> args, const StrokeFileReader& read,
                     std::ostream& /*out*/, std::ostream& err) {
  RenderOptions o;
  if (const std::string why = ParseRenderArgs(args, o); !why.empty()) {
    err << "stktool render: " << why << "\n"
        << "usage: stktool render FILE -o OUT [--size WxH] [--position N] [--background IMG]"
           " [--texture] [--fit 0-3] [--lighten 0-2] [--grid CW,CH,LEFT,TOP,COLS,ROWS]"
           " [--trace MODEL]\n";
    return 1;
  }
  ink::StrokeDocument doc(output::kDefaultExportWidth, output::kDefaultExportHeight);
  if (const int code = read(doc, o.file); code != 0) {
    err << "stktool render: " << o.file << ": " << ReadCodeText(code) << "\n";
    return ExitForRead(code);
  }
  if (o.position) {
    const int n = *o.position;
    if (n > doc.Count()) {
      err << "stktool render: position " << n << " is beyond the " << doc.Count() << " entries of "
          << o.file << "\n";
      return 1;
    }
    if (n == 0) {
      doc.GotoHead();
      doc.StepBack();
    } else {
      doc.EntryAt(n - 1, true);
    }
  }

  output::SheetInputs in;
  in.live = &doc;
  std::unique_ptr<gfx::Bitmap24> background;
  if (!o.background.empty()) {
    Result<gfx::Bitmap24> loaded = seals::LoadBackgroundFile(o.background);
    if (!loaded) {
      err << "stktool render: " << o.background << ": " << loaded.ErrorText() << "\n";
      return gfx::IsTooLarge(loaded.ErrorText()) ? kExitTooLarge : kExitFailure;
    }
    background = std::make_unique<gfx::Bitmap24>(std::move(loaded).Value());
    // Only an image is lightened, never a texture.
    if (!o.texture) seals::LightenBackground(*background, o.lighten);
    in.background = {background.get(),
                     o.texture ? seals::kBackgroundTexture : seals::kBackgroundImage, o.fit};
  } else if (doc.Background() != nullptr) {
    in.background = {doc.Background(), doc.BackgroundA(), doc.BackgroundB()};
  }
  if (o.grid) {
    in.grid = *o.grid;
    in.grid_shown = true;
  }
  ink::StrokeDocument model(output::kDefaultExportWidth, output::kDefaultExportHeight);
  if (!o.trace.empty()) {
    if (const int code = read(model, o.trace); code != 0) {
      err << "stktool render: " << o.trace << ": " << ReadCodeText(code) << "\n";
      return ExitForRead(code);
    }
    in.trace_model = &model;
    in.trace_shown = true;
  }

  Result<gfx::Bitmap24> picture = output::RenderSheetPicture(o.width, o.height, in);
  if (!picture) {
    err << "stktool render: " << picture.ErrorText() << "\n";
    return 1;
  }
  std::string error;
  if (!output::WritePictureFile(picture.Value(), o.out, output::CloseTimePictureFormat(o.out),
                                &error)) {
    err << "stktool render: " << o.out << ": " << error << "\n";
    return 1;
  }
  return 0;
}

}  // namespace zevo::tools
