// stktool info FILE: the file as ReadStrokeFile sees it, as one JSON object; the exit code is
// the read's result code (7: too large for Zevo 3). A file that cannot be opened gives only a
// message, 64 wrong arguments.
#include <string>

#include "files/stroke_file.h"
#include "tools/commands.h"
#include "tools/json_writer.h"
#include "tools/stktool_render.h"

namespace zevo::tools {
namespace {

constexpr const char* kInfoHelp =
    "usage: stktool info FILE\n"
    "Reads the stroke file FILE and prints it as one JSON object: the read's result, the\n"
    "header, every entry and the background. The exit status is the read's result: 0 read,\n"
    "1 cannot be opened (a message only, no JSON), 2 damaged, 3 not a stroke file, 4 cannot\n"
    "be decoded, 5 major version not 1, 6 written by a newer version, 7 too large for Zevo 3.\n"
    "  -h, --help   show this help\n";

void WriteEntry(JsonWriter& j, const ink::Stroke& e) {
  j.BeginObject();
  switch (e.kind) {
    case ink::StrokeKind::Ink:
      j.Key("kind").String("ink").Key("color").Int(e.value).Key("samples").BeginArray();
      for (const ink::StrokeSample& s : e.samples) {
        j.BeginArray().Float(s.x).Float(s.y).Float(s.radius).EndArray();
      }
      j.EndArray();
      break;
    case ink::StrokeKind::Picture:
      j.Key("kind").String("picture").Key("attr").Int(e.value);
      j.Key("x").Int(e.px).Key("y").Int(e.py);
      j.Key("width").Int(e.bitmap ? e.bitmap->Width() : 0);
      j.Key("height").Int(e.bitmap ? e.bitmap->Height() : 0);
      break;
    case ink::StrokeKind::Stamp:
      j.Key("kind").String("stamp").Key("attr").Int(e.value);
      j.Key("x").Float(e.x).Key("y").Float(e.y);
      j.Key("width").Float(e.width).Key("height").Float(e.height);
      j.Key("bitmap").BeginArray();
      j.Int(e.bitmap ? e.bitmap->Width() : 0).Int(e.bitmap ? e.bitmap->Height() : 0);
      j.EndArray();
      break;
    case ink::StrokeKind::Fill:
      j.Key("kind").String("fill").Key("color").Int(e.value);
      j.Key("x").Float(e.x).Key("y").Float(e.y);
      break;
  }
  j.EndObject();
}

}  // namespace

int RunInfo(CommandArgs args, std::ostream& out, std::ostream& err) {
  if (args.size() == 1 && IsHelp(args[0])) {
    out << kInfoHelp;
    return 0;
  }
  if (args.size() != 1 || args[0].empty() || args[0][0] == '-') {
    err << "stktool info: "
        << (args.empty()      ? std::string("no stroke file given")
            : args.size() > 1 ? std::string("give one stroke file")
            : args[0].empty() ? std::string("the file name is empty")
                              : "unknown option " + args[0])
        << "\n(stktool info --help shows the usage)\n";
    return kExitUsage;
  }
  ink::StrokeDocument d(1024, 718);
  files::StrokeFileDetails details;
  const int result = files::ReadStrokeFile(d, args[0], ToolCodec(err), &details);
  if (result == files::kReadCannotOpen) {
    // Nothing was read: no object to show.
    err << "stktool info: " << args[0] << ": " << ReadFailureText(result, args[0]) << "\n";
    return result;
  }

  JsonWriter j;
  j.BeginObject();
  j.Key("result").Int(result);
  j.Key("magic").String(std::string(d.signature.data(), 4));
  j.Key("version").Int(d.format_version);
  j.Key("paper").BeginArray().Int(d.PaperWidth()).Int(d.PaperHeight()).EndArray();
  j.Key("author").String(FieldText(d.author));
  j.Key("protection").Int(d.protection);
  j.Key("step").Int(details.step);
  j.Key("grid").BeginArray().Int(d.grid[0]).Int(d.grid[1]).Int(d.grid[2]).EndArray();
  j.Key("count").Int(d.Count());
  j.Key("position").Int(d.Position());
  j.Key("entries").BeginArray();
  for (int i = 0; i < d.Count(); ++i) WriteEntry(j, *d.Entry(i));
  j.EndArray();
  j.Key("background");
  if (const gfx::Bitmap24* b = d.Background()) {
    j.BeginObject().Key("a").Int(d.BackgroundA()).Key("b").Int(d.BackgroundB());
    j.Key("width").Int(b->Width()).Key("height").Int(b->Height()).EndObject();
  } else {
    j.Null();
  }
  j.EndObject();
  out << j.Text() << "\n";
  if (result != 0) {
    err << "stktool info: " << args[0] << ": " << ReadResultText(result) << " (result " << result
        << ")\n";
  }
  return result;
}

}  // namespace zevo::tools
