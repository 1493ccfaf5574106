#pragma once

#include <ostream>
#include <span>
#include <string>

#include "tools/stktool_render.h"

namespace zevo::tools {

// stktool animate FILE -o OUT [--size WxH] [--samples-per-frame N] [--fps N] [--pause S]
//   [--from P] [--to P] [--tip]
// args are the words after "animate"; -h or --help writes the usage to out. OUT must end in
// .gif, .webp or .mp4, in any case. Exit code 0, kExitUsage for wrong arguments, 7 when FILE
// is too large for Zevo 3, or 1 with a message on err (the unfinished OUT is removed).
int RunAnimateCommand(std::span<const std::string> args, const StrokeFileReader& read,
                      std::ostream& out, std::ostream& err);

// The dispatcher's entry.
inline int RunAnimate(CommandArgs args, std::ostream& out, std::ostream& err) {
  return RunAnimateCommand(args, ToolStrokeReader(err), out, err);
}

}  // namespace zevo::tools
