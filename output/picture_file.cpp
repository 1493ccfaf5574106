#include "output/picture_file.h"

#include "gfx/bmp_file.h"
#include "gfx/jpeg_file.h"
#include "platform/paths.h"

namespace zevo::output {

std::string UpperExtension(const std::string& path) {
  const std::size_t slash = path.find_last_of('/');
  const std::size_t dot = path.find_last_of('.');
  if (dot == std::string::npos || (slash != std::string::npos && dot < slash)) return {};
  std::string ext = path.substr(dot);
  for (char& c : ext)
    if (c >= 'a' && c <= 'z') c = char(c - 'a' + 'A');
  return ext;
}

PictureFormat CloseTimePictureFormat(const std::string& path) {
  return UpperExtension(path) == ".JPG" ? PictureFormat::Jpeg : PictureFormat::Bmp;
}

PictureTarget SavePicTarget(const std::string& chosen) {
  const std::string ext = UpperExtension(chosen);
  if (ext == ".JPG") return {chosen, PictureFormat::Jpeg};
  if (ext == ".BMP") return {chosen, PictureFormat::Bmp};
  if (ext == ".PNG") return {chosen, PictureFormat::Png};
  return {chosen + ".BMP", PictureFormat::Bmp};
}

std::string ProposePictureName(const std::string& folder,
                               const std::function<bool(const std::string&)>& exists) {
  return platform::FirstFreeNumberedName(folder, "Image", ".JPG", kMaxPictureNumber, exists);
}

bool WritePictureFile(const gfx::Bitmap24& picture, const std::string& path, PictureFormat format,
                      std::string* error, const gfx::PngOptions& png) {
  if (format == PictureFormat::Png) return gfx::SavePngFile(picture, path, error, png);
  if (format == PictureFormat::Jpeg) {
    if (picture.Empty()) {
      if (error) *error = "an empty picture cannot be written as JPEG";
      return false;
    }
    return gfx::SaveJpegFile(picture, path, gfx::kJpegQuality, error);
  }
  return gfx::SaveBmpFile(picture, path, error);
}

}  // namespace zevo::output
