#include <memory>
#include <string>

#include "files/stroke_layout.h"
#include "platform/library_loader.h"
#include "tools/commands.h"

namespace zevo::tools {

const files::CodecBinding* ToolCodec(std::ostream& err) {
  static std::unique_ptr<platform::LibraryLoader> loader = platform::MakeSystemLibraryLoader();
  static Result<files::CodecBinding> codec = files::CodecBinding::Load(*loader);
  static bool told = false;
  if (!codec) {
    if (!told) err << "stktool: " << codec.ErrorText() << "\n";
    told = true;
    return nullptr;
  }
  return &codec.Value();
}

const char* ReadResultText(int code) {
  switch (code) {
    case files::kReadOk:
      return "read completely";
    case files::kReadCannotOpen:
      return "the file cannot be opened";
    case files::kReadSizeMismatch:
      return "the stored size does not match the data (truncated or damaged)";
    case files::kReadUnknown:
      return "too short or not a stroke file";
    case files::kReadCannotDecode:
      return "the file cannot be decoded";
    case files::kReadMajorVersion:
      return "the format's major version is not 1";
    case files::kReadNewerMinor:
      return "written by a newer version";
    case files::kReadTooLarge: {
      static const std::string text = TooLargeText();
      return text.c_str();
    }
    default:
      return "unknown result";
  }
}

std::string FieldText(const ink::StrokeDocument::Text& field) {
  std::size_t n = 0;
  while (n < field.size() && field[n] != '\0') ++n;
  return std::string(field.data(), n);
}

}  // namespace zevo::tools
