#pragma once

#include <ostream>
#include <span>
#include <string>

#include "files/codec_binding.h"
#include "ink/stroke_document.h"

namespace zevo::tools {

// Exit code for a command line that cannot be understood (commands may define their own).
inline constexpr int kExitUsage = 64;

using CommandArgs = std::span<const std::string>;

// One subcommand of stktool. A new one is a file with its Run function, a declaration below
// and a row in the table in stktool_main.cpp.
struct Command {
  const char* name;
  const char* usage;    // the arguments, as shown by --help
  const char* summary;  // one line
  int (*run)(CommandArgs args, std::ostream& out, std::ostream& err);
};

int RunInfo(CommandArgs args, std::ostream& out, std::ostream& err);
int RunConvert(CommandArgs args, std::ostream& out, std::ostream& err);

// The codec library from stktool's own folder, loaded once. nullptr when it cannot be loaded;
// the reason is written to err the first time.
const files::CodecBinding* ToolCodec(std::ostream& err);

// What a ReadStrokeFile result code means, for messages.
const char* ReadResultText(int code);

// The text of a 256-byte field up to its first zero byte.
std::string FieldText(const ink::StrokeDocument::Text& field);

}  // namespace zevo::tools
