// stktool convert IN OUT [--plain [--keep-password]] [--step N]: reads IN and writes OUT as the
// program saves (encoded), or as the plain layout itself. The plain layout is not sealed, so
// its password field is left blank unless --keep-password asks for it in clear. Exit 0, 64 for
// wrong arguments, 7 when IN is too large for Zevo 3, or 1 with a message.
#include <algorithm>
#include <cstdint>
#include <cstring>
#include <new>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "files/stroke_file.h"
#include "files/stroke_layout.h"
#include "platform/file_system.h"
#include "tools/commands.h"
#include "tools/stktool_render.h"

namespace zevo::tools {
namespace {

constexpr const char* kHelp =
    "usage: stktool convert IN OUT [--plain [--keep-password]] [--step N]\n"
    "Reads the stroke file IN and writes it to OUT as the program saves it (encoded), or as\n"
    "the plain layout. OUT is replaced only when the whole file is written.\n"
    "  --plain           write the plain layout; its password is blanked\n"
    "  --keep-password   with --plain: write the password, in clear\n"
    "  --step N          keep every Nth sample of a stroke, N from 1 to 4 (default 1)\n"
    "  -h, --help        show this help\n";

struct ConvertOptions {
  std::string in, out;
  bool plain = false;
  bool keep_password = false;
  int step = 1;
};

// nullopt with a message on err when the arguments are wrong.
std::optional<ConvertOptions> Parse(CommandArgs args, std::ostream& err) {
  ConvertOptions o;
  int files = 0;
  for (std::size_t i = 0; i < args.size(); ++i) {
    const std::string& a = args[i];
    if (a == "--plain") {
      o.plain = true;
    } else if (a == "--keep-password") {
      o.keep_password = true;
    } else if (a == "--step") {
      if (i + 1 >= args.size()) {
        err << "stktool convert: --step needs a number from 1 to 4\n";
        return std::nullopt;
      }
      if (const std::string why =
              ParseInt("--step", args[++i], files::kMinStep, files::kMaxStep, o.step);
          !why.empty()) {
        err << "stktool convert: " << why << "\n";
        return std::nullopt;
      }
    } else if (a.size() > 1 && a[0] == '-' && a[1] == '-') {
      err << "stktool convert: unknown option " << a << "\n";
      return std::nullopt;
    } else if (files == 0) {
      o.in = a, ++files;
    } else if (files == 1) {
      o.out = a, ++files;
    } else {
      err << "stktool convert: too many files (give IN and OUT)\n";
      return std::nullopt;
    }
  }
  if (files != 2) {
    err << "stktool convert: " << (files == 0 ? "no files given" : "no output file given")
        << " (give IN and OUT)\n";
    return std::nullopt;
  }
  if (o.keep_password && !o.plain) {
    err << "stktool convert: --keep-password goes with --plain (an encoded file always keeps the "
           "password, sealed)\n";
    return std::nullopt;
  }
  return o;
}

// Writes d's plain layout to path, whole or not at all, with password in its header (author
// stays as read). Empty on success, else what went wrong, naming the file.
std::string WritePlain(ink::StrokeDocument& d, const std::string& path, int step,
                       std::string_view password) {
  d.password.fill(0);
  // An empty view may hold no pointer at all: nothing to copy then.
  if (!password.empty())
    std::memcpy(d.password.data(), password.data(), std::min(password.size(), d.password.size()));
  std::vector<std::uint8_t> plain;
  try {
    plain = files::BuildStrokeLayout(d, step);
  } catch (const std::bad_alloc&) {
    return "not enough memory to write " + path;
  }
  // Its size word could not hold more.
  if (plain.size() > std::size_t(INT32_MAX)) return "cannot write " + path + ": too large";
  Result<bool> written = platform::DefaultFileSystem().ReplaceFileAtomically(path, plain);
  return written ? std::string() : written.ErrorText();
}

}  // namespace

int RunConvert(CommandArgs args, std::ostream& out, std::ostream& err) {
  for (const std::string& a : args) {
    if (IsHelp(a)) {
      out << kHelp;
      return 0;
    }
  }
  const std::optional<ConvertOptions> o = Parse(args, err);
  if (!o) {
    err << "(stktool convert --help shows the usage)\n";
    return kExitUsage;
  }

  ink::StrokeDocument d(1024, 718);
  const int read = files::ReadStrokeFile(d, o->in, ToolCodec(err));
  if (read != files::kReadOk) {
    err << "stktool convert: cannot read " << o->in << ": "
        << (read == files::kReadCannotOpen ? ReadFailureText(read, o->in) : ReadResultText(read))
        << " (result " << read << ")\n";
    return ExitForRead(read);
  }
  // The file keeps the identity it was read with.
  const std::string author = FieldText(d.author), password = FieldText(d.password);
  std::string why;
  if (o->plain) {
    why = WritePlain(d, o->out, o->step,
                     o->keep_password ? std::string_view(password) : std::string_view());
  } else if (const files::CodecBinding* codec = ToolCodec(err)) {
    if (files::WriteStrokeFile(d, o->out, o->step, password, author, *codec, &why) != 0 &&
        why.empty())
      why = "cannot write " + o->out;
  } else {
    err << "stktool convert: cannot encode " << o->out << " without the codec library\n";
    return 1;
  }
  if (!why.empty()) {
    err << "stktool convert: " << why << "\n";
    return 1;
  }
  if (o->plain && !password.empty()) {
    if (o->keep_password) {
      err << "stktool: warning: " << o->out << " holds the password in clear\n";
    } else {
      out << "stktool: the password was blanked in " << o->out
          << " (--keep-password keeps it, in clear)\n";
    }
  }
  return 0;
}

}  // namespace zevo::tools
