// stktool convert IN OUT [--plain [--keep-password]] [--step N]: reads IN and writes OUT as the
// program saves (encoded), or as the plain layout itself. The plain layout is not sealed, so
// its password field is left blank unless --keep-password asks for it in clear. Exit 0, 7 when IN
// is too large for Zevo 3, or 1 with a message.
#include <charconv>
#include <optional>
#include <string>
#include <string_view>

#include "files/stroke_file.h"
#include "tools/commands.h"

namespace zevo::tools {
namespace {

constexpr const char* kUsage =
    "usage: stktool convert IN OUT [--plain [--keep-password]] [--step N]\n";

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
        err << "stktool: --step needs a value from 1 to 4\n";
        return std::nullopt;
      }
      const std::string& v = args[++i];
      const auto r = std::from_chars(v.data(), v.data() + v.size(), o.step);
      if (r.ec != std::errc() || r.ptr != v.data() + v.size() || o.step < files::kMinStep ||
          o.step > files::kMaxStep) {
        err << "stktool: the step must be a number from 1 to 4, not \"" << v << "\"\n";
        return std::nullopt;
      }
    } else if (a.size() > 1 && a[0] == '-' && a[1] == '-') {
      err << "stktool: unknown option " << a << "\n";
      return std::nullopt;
    } else if (files == 0) {
      o.in = a, ++files;
    } else if (files == 1) {
      o.out = a, ++files;
    } else {
      err << "stktool: too many files\n";
      return std::nullopt;
    }
  }
  if (files != 2) {
    err << kUsage;
    return std::nullopt;
  }
  if (o.keep_password && !o.plain) {
    err << "stktool: --keep-password goes with --plain (an encoded file always keeps the "
           "password, sealed)\n";
    return std::nullopt;
  }
  return o;
}

}  // namespace

int RunConvert(CommandArgs args, std::ostream& out, std::ostream& err) {
  if (args.size() == 1 && args[0] == "--help") {
    out << kUsage;
    return 0;
  }
  const std::optional<ConvertOptions> o = Parse(args, err);
  if (!o) return 1;

  ink::StrokeDocument d(1024, 718);
  const int read = files::ReadStrokeFile(d, o->in, ToolCodec(err));
  if (read != files::kReadOk) {
    err << "stktool: cannot read " << o->in << ": " << ReadResultText(read) << " (result " << read
        << ")\n";
    return ExitForRead(read);
  }
  // The file keeps the identity it was read with.
  const std::string author = FieldText(d.author), password = FieldText(d.password);
  int written = 1;
  if (o->plain) {
    written = files::WritePlainStrokeFile(
        d, o->out, o->step,
        o->keep_password ? std::optional<std::string_view>(password) : std::nullopt, author);
  } else if (const files::CodecBinding* codec = ToolCodec(err)) {
    written = files::WriteStrokeFile(d, o->out, o->step, password, author, *codec);
  } else {
    err << "stktool: cannot encode " << o->out << " without the codec library\n";
    return 1;
  }
  if (written != 0) {
    err << "stktool: cannot write " << o->out << "\n";
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
