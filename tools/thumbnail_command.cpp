// stktool thumbnail: the picture a file manager shows for a stroke file.
#include <algorithm>
#include <string>

#include "gfx/png_file.h"
#include "output/picture_file.h"
#include "output/sheet_picture.h"
#include "tools/stktool_render.h"

namespace zevo::tools {
namespace {

constexpr int kMaxThumbnailSide = 4096;

constexpr const char* kThumbnailHelp =
    "usage: stktool thumbnail IN OUT SIZE\n"
    "Writes the sheet picture of the stroke file IN, its whole history on its paper and\n"
    "background, as a PNG file OUT whatever its name, within SIZE x SIZE pixels (1..4096) in the\n"
    "sheet's proportions. File managers run it to show stroke files and model sheets.\n";

}  // namespace

int RunThumbnailCommand(std::span<const std::string> args, const StrokeFileReader& read,
                        std::ostream& out, std::ostream& err) {
  if (!args.empty() && (args[0] == "--help" || args[0] == "-h")) {
    out << kThumbnailHelp;
    return 0;
  }
  if (args.size() != 3) return UsageError("thumbnail", "it takes IN, OUT and SIZE", err);
  int side = 0;
  if (std::string why = ParseInt("SIZE", args[2], 1, kMaxThumbnailSide, side); !why.empty())
    return UsageError("thumbnail", why, err);

  const std::string& file = args[0];
  ink::StrokeDocument doc(output::kDefaultExportWidth, output::kDefaultExportHeight);
  if (const int code = read(doc, file); code != 0) {
    err << "stktool thumbnail: " << file << ": " << ReadFailureText(code, file) << "\n";
    return ExitForRead(code);
  }
  // The longer side of the paper becomes SIZE; the other keeps the proportions.
  const int pw = output::kDefaultExportWidth, ph = output::kDefaultExportHeight;
  const int width = pw >= ph ? side : std::max(1, int((long long)side * pw / ph));
  const int height = pw >= ph ? std::max(1, int((long long)side * ph / pw)) : side;

  output::SheetInputs in;
  in.live = &doc;
  if (doc.Background() != nullptr)
    in.background = {doc.Background(), doc.BackgroundA(), doc.BackgroundB()};
  Result<gfx::Bitmap24> picture = output::RenderSheetPicture(width, height, in);
  if (!picture) {
    err << "stktool thumbnail: " << file << ": " << picture.ErrorText() << "\n";
    return kExitFailure;
  }
  std::string error;
  if (!output::WritePictureFile(picture.Value(), args[1], output::PictureFormat::Png, &error)) {
    err << "stktool thumbnail: " << args[1] << ": " << error << "\n";
    return kExitFailure;
  }
  return 0;
}

}  // namespace zevo::tools
