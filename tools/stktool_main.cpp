// stktool: headless work on stroke files. The dispatcher only; each subcommand is a file.
#include <iostream>
#include <string>
#include <vector>

#include "files/document_budget.h"
#include "gfx/picture_limits.h"
#include "tools/animate_command.h"
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
    {"export", "FILE -o OUT.json",
     "write every entry, the header values (never the password) and the background of FILE\n"
     "      as JSON (docs/stroke-json.md); OUT - writes the standard output",
     RunExport},
    {"import", "IN.json -o OUT [--plain]",
     "write the stroke file OUT (encoded, or the plain layout) from the JSON text IN; bad\n"
     "      input is refused naming the place of the error",
     RunImport},
    {"render",
     "FILE -o OUT [--size WxH] [--position N] [--background IMG] [--texture] [--fit 0-3]"
     " [--lighten 0-2] [--grid CW,CH,LEFT,TOP,COLS,ROWS] [--trace MODEL] [--dpi N]"
     " [--transparent] [--page-mm WxH | --page-pt WxH] [--paper-scale N]",
     "render the sheet picture to OUT, a .jpg or .jpeg (JPEG), .bmp (BMP), .png (PNG), .pdf\n"
     "      (PDF) or .svg (SVG) file; PNG only: --dpi records a resolution, --transparent the\n"
     "      ink alone; PDF and SVG hold the ink as shapes, on a page of any size",
     RunRender},
    {"print", "FILE -o OUT --page PWxPH [--scale 100|150|200]",
     "write the print work bitmap to OUT, a .bmp file, and print the page rectangle\n"
     "      x0 y0 x1 y1",
     RunPrint},
    {"animate",
     "FILE -o OUT [--size WxH] [--samples-per-frame N] [--fps N] [--pause S] [--from P]"
     " [--to P] [--tip]",
     "render the history being written, as the replay draws it, to OUT, a .gif (animated\n"
     "      GIF), .webp (animated WebP) or .mp4 (H.264) file",
     RunAnimate},
    {"thumbnail", "IN OUT SIZE",
     "write the sheet picture of IN within SIZE x SIZE pixels (1..4096) as a PNG file OUT,\n"
     "      for file managers",
     RunThumbnail},
};

void PrintHelp(std::ostream& out) {
  out << "usage: stktool COMMAND ARGUMENTS\n\ncommands:\n";
  for (const Command& c : kCommands) {
    out << "  " << c.name << " " << c.usage << "\n      " << c.summary << "\n";
  }
  out << "\nexit status:\n"
         "  0    done\n"
         "  1    failed, with a message (info: the file cannot be opened)\n"
         "  2-6  info only: the read's result (2 damaged, 3 not a stroke file, 4 cannot be\n"
         "       decoded, 5 major version not 1, 6 written by a newer version)\n"
         "  7    a stroke file or picture is too large for Zevo 3 (it would need more than "
      << (files::kMaxDocumentBytes >> 20) << " MiB,\n       or a picture more than "
      << (gfx::kMaxPictureBytes >> 20)
      << " MiB, of memory)\n"
         "  64   wrong arguments: no command or an unknown one, a bad option or value, an\n"
         "       output name the command does not write\n"
         "\nstktool COMMAND --help (or stktool help COMMAND) shows one command's usage;\n"
         "stktool --version shows the version.\n";
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
  if (args[0] == "--version" && args.size() == 1) {
    std::cout << "stktool " << ZEVO_VERSION << "\n";
    return 0;
  }
  if (args[0] == "--help" || args[0] == "-h" || (args[0] == "help" && args.size() == 1)) {
    PrintHelp(std::cout);
    return 0;
  }
  if (args[0] == "help") {
    for (const Command& c : kCommands) {
      if (args[1] == c.name) {
        const std::string help[] = {"--help"};
        return c.run(CommandArgs(help), std::cout, std::cerr);
      }
    }
  }
  for (const Command& c : kCommands) {
    if (args[0] == c.name) {
      return c.run(CommandArgs(args).subspan(1), std::cout, std::cerr);
    }
  }
  const std::string& name = args[0] == "help" ? args[1] : args[0];
  std::cerr << "stktool: unknown command \"" << name << "\"\n\n";
  PrintHelp(std::cerr);
  return kExitUsage;
}
