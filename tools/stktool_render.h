#pragma once

#include <functional>
#include <ostream>
#include <span>
#include <string>

#include "files/stroke_file.h"
#include "ink/stroke_document.h"
#include "tools/commands.h"

namespace zevo::tools {

// Reads a stroke file into a document and returns the reader's code (0 = read); the dispatcher
// binds it to the codec it has loaded.
using StrokeFileReader = std::function<int(ink::StrokeDocument& doc, const std::string& path)>;

// The reader's code as a message.
std::string ReadCodeText(int code);

// "WxH" with both sides from 1 to 1 000 000; false otherwise.
bool ParseSize(const std::string& text, int& width, int& height);
// A whole decimal number within [lo, hi]; false otherwise.
bool ParseInt(const std::string& text, long long lo, long long hi, int& value);

// stktool render FILE -o OUT [--size WxH] [--position N] [--background IMG] [--texture]
//   [--fit 0-3] [--lighten 0-2] [--grid CW,CH,LEFT,TOP,COLS,ROWS] [--trace MODEL]
// args are the words after "render". Exit code 0, 7 when FILE, MODEL or IMG is too large for
// Zevo 3, or 1 with a message on err.
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

}  // namespace zevo::tools
