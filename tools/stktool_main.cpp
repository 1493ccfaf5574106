// stktool: headless work on stroke files. The dispatcher only; each subcommand is a file.
#include <iostream>
#include <string>
#include <vector>

#include "files/document_budget.h"
#include "gfx/picture_limits.h"
#include "tools/commands.h"
#include "tools/stktool_print.h"
#include "tools/stktool_render.h"

namespace zevo::tools {
namespace {

const Command kCommands[] = {
    {"info", "FILE", "print the file as read, as one JSON object; exit code = read result",
     RunInfo},
    {"convert", "IN OUT [--plain [--keep-password]] [--step N]",
     "read IN and write OUT encoded (or the plain layout, its password blanked unless\n"
     "      --keep-password writes it in clear) with sampling step N (1..4)",
     RunConvert},
    {"render",
     "FILE -o OUT [--size WxH] [--position N] [--background IMG] [--texture] [--fit 0-3]"
     " [--lighten 0-2] [--grid CW,CH,LEFT,TOP,COLS,ROWS] [--trace MODEL]",
     "render the sheet picture; OUT ending in .JPG is JPEG, anything else BMP", RunRender},
    {"print", "FILE -o OUT --page PWxPH [--scale 100|150|200]",
     "write the print work bitmap as BMP and print the page rectangle x0 y0 x1 y1", RunPrint},
};

void PrintHelp(std::ostream& out) {
  out << "usage: stktool COMMAND ARGUMENTS\n\ncommands:\n";
  for (const Command& c : kCommands) {
    out << "  " << c.name << " " << c.usage << "\n      " << c.summary << "\n";
  }
  out << "\nexit status:\n"
         "  0    done\n"
         "  1    failed, with a message; also wrong arguments to convert, render and print\n"
         "       (info: the file cannot be opened)\n"
         "  2-6  info only: the read's result (2 damaged, 3 not a stroke file, 4 cannot be\n"
         "       decoded, 5 major version not 1, 6 written by a newer version)\n"
         "  7    a stroke file or picture is too large for Zevo 3 (it would need more than "
      << (files::kMaxDocumentBytes >> 20) << " MiB,\n       or a picture more than "
      << (gfx::kMaxPictureBytes >> 20)
      << " MiB, of memory)\n"
         "  64   no command or an unknown one, or wrong arguments to info\n"
         "\nstktool COMMAND --help shows one command's usage.\n";
}

}  // namespace
}  // namespace zevo::tools

int main(int argc, char** argv) {
  using namespace zevo::tools;
  const std::vector<std::string> args(argv + (argc > 0 ? 1 : 0), argv + argc);
  if (args.empty()) {
    PrintHelp(std::cerr);
    return kExitUsage;
  }
  if (args[0] == "--help" || args[0] == "-h" || args[0] == "help") {
    PrintHelp(std::cout);
    return 0;
  }
  for (const Command& c : kCommands) {
    if (args[0] == c.name) {
      return c.run(CommandArgs(args).subspan(1), std::cout, std::cerr);
    }
  }
  std::cerr << "stktool: unknown command \"" << args[0] << "\"\n\n";
  PrintHelp(std::cerr);
  return kExitUsage;
}
