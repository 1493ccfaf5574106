#pragma once

#include <ostream>
#include <span>
#include <string>
#include <string_view>

#include "files/codec_binding.h"
#include "files/document_budget.h"
#include "files/stroke_layout.h"
#include "gfx/picture_limits.h"
#include "ink/stroke_document.h"

namespace zevo::tools {

// Exit codes the commands share (stktool --help lists them). info exits with the read's
// result code instead, whose kReadTooLarge is the same 7.
inline constexpr int kExitFailure = 1;
// A stroke file or picture too large for Zevo 3: it would need more memory than the program
// gives one (files/document_budget.h, gfx/picture_limits.h).
inline constexpr int kExitTooLarge = 7;
static_assert(kExitTooLarge == files::kReadTooLarge);
// Wrong arguments: no command or an unknown one, a bad option or value, an output name the
// command does not write. (2 would be read as info's "damaged" result.)
inline constexpr int kExitUsage = 64;

// The exit code of a command that could not read its stroke file (code: a ReadResult).
inline int ExitForRead(int code) {
  return code == files::kReadTooLarge ? kExitTooLarge : kExitFailure;
}

// A command's wrong arguments: tells why and where the usage is, and gives kExitUsage.
inline int UsageError(std::string_view command, std::string_view why, std::ostream& err) {
  err << "stktool " << command << ": " << why << "\n(stktool " << command
      << " --help shows the usage)\n";
  return kExitUsage;
}

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
int RunExport(CommandArgs args, std::ostream& out, std::ostream& err);
int RunImport(CommandArgs args, std::ostream& out, std::ostream& err);

// The codec library from stktool's own folder, loaded once. nullptr when it cannot be loaded;
// the reason is written to err the first time.
const files::CodecBinding* ToolCodec(std::ostream& err);

// What a ReadStrokeFile result code means, for messages.
const char* ReadResultText(int code);
// "too large for Zevo 3", with the budget it is over.
inline std::string TooLargeText() {
  return std::string(gfx::kTooLargeText) + " (it would need more than " +
         std::to_string(files::kMaxDocumentBytes >> 20) + " MiB of memory)";
}

// The text of a 256-byte field up to its first zero byte.
std::string FieldText(const ink::StrokeDocument::Text& field);

}  // namespace zevo::tools
