// stktool info FILE: the file as ReadStrokeFile sees it, as one JSON object; the exit code is
// the read's result code (7: too large for Zevo 3).
#include <string>

#include "files/stroke_file.h"
#include "tools/commands.h"
#include "tools/json_writer.h"

namespace zevo::tools {
namespace {

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
  if (args.size() != 1 || args[0].empty() || args[0] == "--help") {
    (args.size() == 1 && args[0] == "--help" ? out : err) << "usage: stktool info FILE\n";
    return args.size() == 1 && args[0] == "--help" ? 0 : kExitUsage;
  }
  ink::StrokeDocument d(1024, 718);
  files::StrokeFileDetails details;
  const int result = files::ReadStrokeFile(d, args[0], ToolCodec(err), &details);

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
    err << "stktool: " << args[0] << ": " << ReadResultText(result) << " (result " << result
        << ")\n";
  }
  return result;
}

}  // namespace zevo::tools
