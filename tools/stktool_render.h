#pragma once

#include <functional>
#include <initializer_list>
#include <memory>
#include <optional>
#include <ostream>
#include <span>
#include <string>

#include "files/stroke_file.h"
#include "gfx/bitmap24.h"
#include "ink/stroke_document.h"
#include "output/sheet_layers.h"
#include "seals/background.h"
#include "seals/grid_layout.h"
#include "tools/commands.h"

namespace zevo::tools {

// Reads a stroke file into a document and returns the reader's code (0 = read); the dispatcher
// binds it to the codec it has loaded.
using StrokeFileReader = std::function<int(ink::StrokeDocument& doc, const std::string& path)>;

// The reader's code as a message.
std::string ReadCodeText(int code);

// The reader's code as a message, with the reason when the file cannot be opened at all
// ("cannot open it: no such file or directory").
std::string ReadFailureText(int code, const std::string& path);
// Why path cannot be opened for reading, from the system ("no such file or directory",
// "permission denied", "it is a folder").
std::string CannotOpenReason(const std::string& path);

// The value of option as a whole decimal number within [lo, hi]. Empty on success, else what
// is wrong: "--position must be 0 or more", "--size must be a whole number, not \"a\"".
std::string ParseInt(const std::string& option, const std::string& text, long long lo, long long hi,
                     int& value);
// "WxH" with both sides from 1 to 1 000 000; empty on success, else what is wrong.
std::string ParseSize(const std::string& option, const std::string& text, int& width, int& height);

// A command's words taken in turn: each option, then the value it takes.
class OptionWords {
 public:
  explicit OptionWords(std::span<const std::string> words) : words_(words) {}
  bool Done() const { return at_ >= words_.size(); }
  // The next word (an option or the file).
  const std::string& Next() { return words_[at_++]; }
  // The value after the option just taken; false when there is none.
  bool Value(std::string& into) {
    if (Done()) return false;
    into = words_[at_++];
    return true;
  }
  // The value as a whole number within [lo, hi] (ParseInt), or why not.
  std::string Number(const std::string& option, long long lo, long long hi, int& into) {
    std::string v;
    if (!Value(v)) return option + " needs a number";
    return ParseInt(option, v, lo, hi, into);
  }
  // The value as "WxH" (ParseSize), or why not.
  std::string Size(const std::string& option, int& width, int& height) {
    std::string v;
    if (!Value(v)) return option + " needs WIDTHxHEIGHT";
    return ParseSize(option, v, width, height);
  }

 private:
  std::span<const std::string> words_;
  std::size_t at_ = 0;
};

// A command's own option: takes the word (and its value from words) and returns true, setting
// why when the value is wrong; false when the word is not one of its options.
using OwnOption =
    std::function<bool(const std::string& word, OptionWords& words, std::string& why)>;

// The words of a command that reads one stroke file and writes one output file. "-h" or
// "--help" sets help and ends; "-o OUT" and the stroke file are taken here, every other word
// is offered to `own`. Empty on success, else what is wrong: an option's value, an unknown
// option, two stroke files or none, no output.
std::string ParseFileAndOutput(std::span<const std::string> args, std::string& file,
                               std::string& out, bool& help, const OwnOption& own);

// The paper under the history that render and animate take options for, and its help lines.
struct SheetOptions {
  std::string background, trace;
  bool texture = false;
  int fit = seals::kFitPaper;
  int lighten = seals::kLightenNone;
  std::optional<seals::GridLayout> grid;
  bool Any() const { return !background.empty() || grid || !trace.empty(); }
};
extern const char* const kSheetOptionsHelp;
// Takes the option w (and its value) when it is one of the sheet's: true when taken, with why
// telling a bad value.
bool TakeSheetOption(const std::string& w, OptionWords& words, SheetOptions& o, std::string& why);
// What the options name, loaded: the background picture and the tracing model.
struct LoadedSheet {
  std::unique_ptr<gfx::Bitmap24> background;
  std::unique_ptr<ink::StrokeDocument> model;
};
// Puts the sheet the options describe into `in` for the history `doc` (the file's own
// background unless another is given, or none when `own_background` is false). 0 on success,
// else the exit code, with the reason written to err.
int LoadSheetOptions(const std::string& command, const SheetOptions& o,
                     const ink::StrokeDocument& doc, bool own_background,
                     const StrokeFileReader& read, output::SheetInputs& in, LoadedSheet& loaded,
                     std::ostream& err);

// "-h" or "--help", in a command's arguments.
inline bool IsHelp(const std::string& word) {
  return word == "-h" || word == "--help";
}

// The upper-case extension of path when it is one of the given ones, else empty.
std::string ExtensionAmong(const std::string& path, std::initializer_list<const char*> allowed);

// stktool render FILE -o OUT [--size WxH] [--position N] [--background IMG] [--texture]
//   [--fit 0-3] [--lighten 0-2] [--grid CW,CH,LEFT,TOP,COLS,ROWS] [--trace MODEL] [--dpi N]
//   [--transparent] [--page-mm WxH | --page-pt WxH] [--paper-scale N]
// args are the words after "render"; -h or --help writes the usage to out. OUT must end in
// .jpg or .jpeg (JPEG), .bmp (BMP), .png (PNG), .pdf (PDF) or .svg (SVG), in any case; --dpi
// and --transparent go with PNG only, --page-mm, --page-pt and --paper-scale with PDF and SVG. Exit
// code 0, kExitUsage for wrong arguments, 7 when FILE, MODEL or IMG is too large for Zevo 3, or 1
// with a message on err.
int RunRenderCommand(std::span<const std::string> args, const StrokeFileReader& read,
                     std::ostream& out, std::ostream& err);

// Reads plain files, and encoded ones when stktool's codec library loads.
inline StrokeFileReader ToolStrokeReader(std::ostream& err) {
  return [&err](ink::StrokeDocument& doc, const std::string& path) {
    return files::ReadStrokeFile(doc, path, ToolCodec(err));
  };
}

// The dispatcher's entry.
inline int RunRender(CommandArgs args, std::ostream& out, std::ostream& err) {
  return RunRenderCommand(args, ToolStrokeReader(err), out, err);
}

// stktool thumbnail IN OUT SIZE, with the reader given.
int RunThumbnailCommand(std::span<const std::string> args, const StrokeFileReader& read,
                        std::ostream& out, std::ostream& err);
inline int RunThumbnail(CommandArgs args, std::ostream& out, std::ostream& err) {
  return RunThumbnailCommand(args, ToolStrokeReader(err), out, err);
}

}  // namespace zevo::tools
