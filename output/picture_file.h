#pragma once

#include <functional>
#include <string>

#include "gfx/bitmap24.h"
#include "gfx/png_file.h"

namespace zevo::output {

enum class PictureFormat { Jpeg, Bmp, Png };

// The extension of a file name, from the last "." of its last component on, in upper case;
// empty when the name has none.
std::string UpperExtension(const std::string& path);

// The close-time export: ".JPG" is JPEG, anything else BMP; the name is used as it is.
PictureFormat CloseTimePictureFormat(const std::string& path);

// The SavePic command: ".JPG" is JPEG, ".BMP" BMP and ".PNG" PNG under the chosen name; any
// other name gets ".BMP" appended (an extension it has stays in front of it) and is BMP.
struct PictureTarget {
  std::string path;
  PictureFormat format = PictureFormat::Bmp;
};
PictureTarget SavePicTarget(const std::string& chosen);

// The first free name "Image%02d.JPG" (n = 1, 2, ...) in the folder; empty when every number
// up to kMaxPictureNumber is taken. exists defaults to a look at the file system.
inline constexpr int kMaxPictureNumber = 99999;
std::string ProposePictureName(const std::string& folder,
                               const std::function<bool(const std::string&)>& exists = {});

// JPEG (baseline colour, quality 90), 24-bit BMP or PNG (with png's resolution and
// transparency). An existing file is replaced only when the new one is complete. false with
// *error set on failure.
bool WritePictureFile(const gfx::Bitmap24& picture, const std::string& path, PictureFormat format,
                      std::string* error, const gfx::PngOptions& png = {});

}  // namespace zevo::output
