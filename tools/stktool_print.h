#pragma once

#include <ostream>
#include <span>
#include <string>

#include "tools/stktool_render.h"

namespace zevo::tools {

// stktool print FILE -o OUT --page PWxPH [--scale 100|150|200]
// Writes the print renderer's work bitmap as a BMP file and prints the page rectangle it is
// stretched onto as "x0 y0 x1 y1"; a work bitmap over 64 MiB is announced on err first. -h or
// --help writes the usage to out. Exit code 0, kExitUsage for wrong arguments (OUT not a .bmp
// name among them), 7 when FILE is too large for Zevo 3, or 1 with a message on err.
int RunPrintCommand(std::span<const std::string> args, const StrokeFileReader& read,
                    std::ostream& out, std::ostream& err);

// The dispatcher's entry.
inline int RunPrint(CommandArgs args, std::ostream& out, std::ostream& err) {
  return RunPrintCommand(args, ToolStrokeReader(err), out, err);
}

}  // namespace zevo::tools
