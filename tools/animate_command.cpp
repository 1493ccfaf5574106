#include "tools/animate_command.h"

#include <charconv>
#include <cmath>
#include <filesystem>
#include <optional>

#include "history/replay.h"
#include "output/animation.h"
#include "output/animation_file.h"
#include "output/sheet_picture.h"

namespace zevo::tools {
namespace {

constexpr const char* kAnimateHelp =
    "usage: stktool animate FILE -o OUT [options]\n"
    "Renders the history of the stroke file FILE being written, entry by entry and a stroke\n"
    "sample by sample as the replay draws it, over the sheet picture's paper and background,\n"
    "into OUT: a name ending in .gif is written as an animated GIF, .webp as an animated\n"
    "lossless WebP, .mp4 as H.264 video (in any case); other names are refused.\n"
    "  -o OUT                 the animation file to write\n"
    "  --size WxH             its size in pixels, each side 1 to 1000000 (default 1024x718;\n"
    "                         a GIF at most 65535, a WebP 16383, an MP4 even sides)\n"
    "  --samples-per-frame N  stroke samples drawn each frame, 1 to 100000 (default 3, the\n"
    "                         replay's rate)\n"
    "  --fps N                frames a second, 1 to 100 (default 25)\n"
    "  --pause S              seconds the last frame is held, 0 to 3600 (default 2)\n"
    "  --from P               entries shown on the first frame (default 0)\n"
    "  --to P                 entries shown on the last frame (default: where the file was\n"
    "                         left)\n"
    "  --tip                  draw the brush-tip circle as the replay does\n"
    "  -h, --help             show this help\n"
    "The sheet under the history, as render draws it:\n";

struct AnimateOptions {
  std::string file, out;
  int width = output::kDefaultExportWidth, height = output::kDefaultExportHeight;
  int samples_per_frame = history::kDefaultReplayRate;
  int fps = 25;
  int pause_ms = 2000;
  std::optional<int> from, to;
  bool tip = false;
  SheetOptions sheet;
};

// Seconds as a decimal number from 0 to 3600, to milliseconds.
std::string ParseSeconds(const std::string& option, const std::string& text, int& ms) {
  double v = 0;
  const char* end = text.data() + text.size();
  const auto [p, ec] = std::from_chars(text.data(), end, v, std::chars_format::fixed);
  if (text.empty() || p != end || ec != std::errc() || !std::isfinite(v))
    return option + " must be a number of seconds, not \"" + text + "\"";
  if (v < 0 || v > 3600) return option + " must be from 0 to 3600 seconds";
  ms = int(std::lround(v * 1000));
  return {};
}

// Empty on success, else the reason; help is set by -h or --help.
std::string ParseAnimateArgs(std::span<const std::string> a, AnimateOptions& o, bool& help) {
  const std::string why = ParseFileAndOutput(
      a, o.file, o.out, help, [&](const std::string& w, OptionWords& words, std::string& why) {
        if (w == "--size") {
          why = words.Size(w, o.width, o.height);
        } else if (w == "--samples-per-frame") {
          why = words.Number(w, 1, 100000, o.samples_per_frame);
        } else if (w == "--fps") {
          why = words.Number(w, 1, 100, o.fps);
        } else if (w == "--pause") {
          std::string v;
          why =
              words.Value(v) ? ParseSeconds(w, v, o.pause_ms) : "--pause needs a number of seconds";
        } else if (w == "--from" || w == "--to") {
          int n = 0;
          why = words.Number(w, 0, 2147483647, n);
          (w == "--from" ? o.from : o.to) = n;
        } else if (w == "--tip") {
          o.tip = true;
        } else if (!TakeSheetOption(w, words, o.sheet, why)) {
          return false;
        }
        return true;
      });
  if (!why.empty() || help) return why;
  const std::optional<output::AnimationFormat> format = output::AnimationFormatOf(o.out);
  if (!format)
    return "cannot write \"" + o.out +
           "\": it writes .gif (animated GIF), .webp (animated WebP) or .mp4 (H.264) files";
  if (o.from && o.to && *o.from > *o.to)
    return "--from " + std::to_string(*o.from) + " comes after --to " + std::to_string(*o.to);
  if (*format == output::AnimationFormat::Gif && (o.width > 65535 || o.height > 65535))
    return "--size: a GIF is at most 65535 pixels on a side";
  if (*format == output::AnimationFormat::WebP && (o.width > 16383 || o.height > 16383))
    return "--size: a WebP is at most 16383 pixels on a side";
  if (*format == output::AnimationFormat::Mp4 && (o.width % 2 != 0 || o.height % 2 != 0))
    return "--size: an MP4 needs an even width and height";
  return {};
}

}  // namespace

int RunAnimateCommand(std::span<const std::string> args, const StrokeFileReader& read,
                      std::ostream& out, std::ostream& err) {
  AnimateOptions o;
  bool help = false;
  const std::string why = ParseAnimateArgs(args, o, help);
  if (help) {
    out << kAnimateHelp << kSheetOptionsHelp;
    return 0;
  }
  if (!why.empty()) return UsageError("animate", why, err);
  ink::StrokeDocument doc(output::kDefaultExportWidth, output::kDefaultExportHeight);
  if (const int code = read(doc, o.file); code != 0) {
    err << "stktool animate: " << o.file << ": " << ReadFailureText(code, o.file) << "\n";
    return ExitForRead(code);
  }
  for (const auto& [name, p] : {std::pair{"--from", o.from}, std::pair{"--to", o.to}}) {
    if (p && *p > doc.Count()) {
      err << "stktool animate: " << name << " must be at most " << doc.Count() << " for " << o.file
          << " (it has " << doc.Count() << " entries)\n";
      return kExitUsage;
    }
  }
  const int to = o.to.value_or(doc.Position());
  const int from = o.from.value_or(0);
  if (from > to) {
    err << "stktool animate: --from " << from << " comes after the last position " << to
        << " (--to)\n";
    return kExitUsage;
  }

  output::SheetInputs in;
  in.live = &doc;
  LoadedSheet loaded;
  if (const int code = LoadSheetOptions("animate", o.sheet, doc, true, read, in, loaded, err);
      code != 0)
    return code;

  const output::AnimationFormat format = *output::AnimationFormatOf(o.out);
  output::AnimationFileOptions file_options{o.width, o.height, o.fps, nullptr};
  // The GIF's palette comes from the colours of the last frame: the sheet picture at `to`.
  std::optional<gfx::Bitmap24> last;
  if (format == output::AnimationFormat::Gif) {
    doc.ShowFirst(to);
    Result<gfx::Bitmap24> picture = output::RenderSheetPicture(o.width, o.height, in);
    if (!picture) {
      err << "stktool animate: " << picture.ErrorText() << "\n";
      return kExitFailure;
    }
    last = std::move(picture).Value();
    file_options.palette_source = &*last;
  }

  auto fail = [&](const std::string& text) {
    err << "stktool animate: " << text << "\n";
    std::error_code ec;
    std::filesystem::remove(o.out, ec);
    return kExitFailure;
  };
  Result<std::unique_ptr<output::AnimationSink>> sink =
      output::OpenAnimationFile(o.out, format, file_options);
  if (!sink) {
    err << "stktool animate: " << o.out << ": " << sink.ErrorText() << "\n";
    return kExitFailure;
  }
  last.reset();
  output::AnimationOptions ao;
  ao.width = o.width;
  ao.height = o.height;
  ao.samples_per_frame = o.samples_per_frame;
  ao.fps = o.fps;
  ao.pause_ms = o.pause_ms;
  ao.from = from;
  ao.to = to;
  ao.tip = o.tip;
  Result<output::AnimationTotals> done = output::RenderAnimation(in, ao, *sink.Value());
  if (!done) return fail(done.ErrorText());
  sink.Value().reset();
  return 0;
}

}  // namespace zevo::tools
