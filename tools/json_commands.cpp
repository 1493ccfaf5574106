// stktool export FILE -o OUT.json and stktool import IN.json -o OUT [--plain]: a stroke file
// as the open JSON form of docs/stroke-json.md and back. The password never goes into the
// JSON, so an imported file has none. Exit 0, 64 for wrong arguments, 7 when a file is too
// large for Zevo 3, or 1 with a message.
#include <cstdio>
#include <fstream>
#include <iostream>
#include <new>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "files/stroke_file.h"
#include "files/stroke_json.h"
#include "files/stroke_layout.h"
#include "platform/file_system.h"
#include "tools/commands.h"
#include "tools/stktool_render.h"

namespace zevo::tools {
namespace {

constexpr const char* kExportHelp =
    "usage: stktool export FILE -o OUT.json\n"
    "Reads the stroke file FILE and writes every entry, the header values (not the password)\n"
    "and the background as JSON (docs/stroke-json.md). OUT must end in .json, or be - for the\n"
    "standard output; it is replaced only when the whole text is written.\n"
    "  -o OUT       the JSON file to write\n"
    "  -h, --help   show this help\n";

constexpr const char* kImportHelp =
    "usage: stktool import IN.json -o OUT [--plain]\n"
    "Reads the JSON text IN (docs/stroke-json.md; - for the standard input) and writes the\n"
    "stroke file OUT as the program saves it (encoded), or as the plain layout. The file has\n"
    "the author of the JSON and no password. OUT is replaced only when the whole file is\n"
    "written. A text that is not a stroke document is refused with the place of the error\n"
    "(entries[3].samples[7].radius: ...).\n"
    "  -o OUT       the stroke file to write\n"
    "  --plain      write the plain layout instead of the encoded one\n"
    "  -h, --help   show this help\n";

struct Options {
  std::string in, out;
  bool plain = false;
};

// nullopt with a message on err when the arguments are wrong.
std::optional<Options> Parse(const char* command, CommandArgs args, bool plain_allowed,
                             std::ostream& err) {
  Options o;
  bool have_in = false, have_out = false;
  for (std::size_t i = 0; i < args.size(); ++i) {
    const std::string& a = args[i];
    if (a == "-o") {
      if (i + 1 >= args.size() || args[i + 1].empty()) {
        err << "stktool " << command << ": -o needs a file name\n";
        return std::nullopt;
      }
      if (have_out) {
        err << "stktool " << command << ": -o given twice\n";
        return std::nullopt;
      }
      o.out = args[++i], have_out = true;
    } else if (a == "--plain" && plain_allowed) {
      o.plain = true;
    } else if (a.size() > 1 && a[0] == '-') {
      err << "stktool " << command << ": unknown option " << a << "\n";
      return std::nullopt;
    } else if (!have_in) {
      if (a.empty()) {
        err << "stktool " << command << ": the file name is empty\n";
        return std::nullopt;
      }
      o.in = a, have_in = true;
    } else {
      err << "stktool " << command << ": give one input file\n";
      return std::nullopt;
    }
  }
  if (!have_in || !have_out) {
    err << "stktool " << command << ": " << (!have_in ? "no input file given" : "no -o OUT given")
        << "\n";
    return std::nullopt;
  }
  return o;
}

bool HelpAsked(CommandArgs args, const char* help, std::ostream& out) {
  for (const std::string& a : args) {
    if (IsHelp(a)) {
      out << help;
      return true;
    }
  }
  return false;
}

}  // namespace

int RunExport(CommandArgs args, std::ostream& out, std::ostream& err) {
  if (HelpAsked(args, kExportHelp, out)) return 0;
  const std::optional<Options> o = Parse("export", args, false, err);
  const bool json_name = o && (o->out == "-" || !ExtensionAmong(o->out, {".JSON"}).empty());
  if (o && !json_name)
    err << "stktool export: " << o->out << ": the output must be a .json file (or -)\n";
  if (!json_name) {
    err << "(stktool export --help shows the usage)\n";
    return kExitUsage;
  }
  ink::StrokeDocument d(1024, 718);
  const int read = files::ReadStrokeFile(d, o->in, ToolCodec(err));
  if (read != files::kReadOk) {
    err << "stktool export: cannot read " << o->in << ": " << ReadFailureText(read, o->in)
        << " (result " << read << ")\n";
    return ExitForRead(read);
  }
  const std::string json = files::StrokeDocumentToJson(d);
  if (o->out == "-") {
    out << json;
    out.flush();
    if (!out) {
      err << "stktool export: cannot write the standard output\n";
      return kExitFailure;
    }
    return 0;
  }
  const Result<bool> written = platform::DefaultFileSystem().ReplaceFileAtomically(
      o->out, std::span(reinterpret_cast<const std::uint8_t*>(json.data()), json.size()));
  if (!written) {
    err << "stktool export: " << written.ErrorText() << "\n";
    return kExitFailure;
  }
  return 0;
}

int RunImport(CommandArgs args, std::ostream& out, std::ostream& err) {
  if (HelpAsked(args, kImportHelp, out)) return 0;
  const std::optional<Options> o = Parse("import", args, true, err);
  if (!o) {
    err << "(stktool import --help shows the usage)\n";
    return kExitUsage;
  }
  // The text is held whole while it is read; one larger than the document budget is refused
  // as soon as that much has been read (a pipe or device has no size to look at first).
  std::string text;
  std::ifstream file;
  if (o->in != "-") {
    file.open(o->in, std::ios::binary);
    if (!file) {
      err << "stktool import: cannot read " << o->in << ": " << CannotOpenReason(o->in) << "\n";
      return kExitFailure;
    }
  }
  std::istream& in = o->in == "-" ? std::cin : file;
  std::vector<char> chunk(1 << 16);
  while (in) {
    in.read(chunk.data(), std::streamsize(chunk.size()));
    text.append(chunk.data(), std::size_t(in.gcount()));
    if (text.size() > files::kMaxDocumentBytes) {
      err << "stktool import: " << o->in << " is " << TooLargeText() << "\n";
      return kExitTooLarge;
    }
  }
  if (in.bad()) {
    err << "stktool import: cannot read " << o->in
        << (o->in == "-" ? std::string() : ": " + CannotOpenReason(o->in)) << "\n";
    return kExitFailure;
  }
  ink::StrokeDocument d(1024, 718);
  files::DocumentBudget budget;
  const files::StrokeJsonResult r = files::StrokeDocumentFromJson(text, d, budget);
  text = {};
  if (!r) {
    err << "stktool import: " << o->in << ": " << r.message << "\n";
    return r.code == files::StrokeJsonResult::kTooLarge ? kExitTooLarge : kExitFailure;
  }
  const std::string author = FieldText(d.author);
  std::string why;
  if (o->plain) {
    // The layout as the program builds it, written whole or not at all; the error says why.
    std::vector<std::uint8_t> plain;
    try {
      plain = files::BuildStrokeLayout(d, 1);
    } catch (const std::bad_alloc&) {
      err << "stktool import: not enough memory to write " << o->out << "\n";
      return kExitFailure;
    }
    if (const Result<bool> written =
            platform::DefaultFileSystem().ReplaceFileAtomically(o->out, plain);
        !written)
      why = written.ErrorText();
  } else if (const files::CodecBinding* codec = ToolCodec(err)) {
    if (files::WriteStrokeFile(d, o->out, 1, std::nullopt, author, *codec, &why) != 0 &&
        why.empty())
      why = "cannot write " + o->out;
  } else {
    err << "stktool import: cannot encode " << o->out
        << " without the codec library (--plain writes the plain layout)\n";
    return kExitFailure;
  }
  if (!why.empty()) {
    err << "stktool import: " << why << "\n";
    return kExitFailure;
  }
  return 0;
}

}  // namespace zevo::tools
