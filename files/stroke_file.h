#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "base/result.h"
#include "files/codec_binding.h"
#include "files/document_budget.h"
#include "files/stroke_layout.h"
#include "ink/stroke_document.h"

namespace zevo::files {

// Writes d as an encoded stroke file: the "Zvr3" layout of the entries up to the current
// position and the background, with sampling step s (1..4), author and password (none = all
// zero; at most 256 bytes each). Returns 0, or 1 on any failure (invalid step, codec failure,
// the target not writable).
//
// Nothing plain reaches the disk: the layout is encoded in memory, written to a temporary file
// in the target's folder, flushed, and renamed over the target, so the target is untouched
// unless the whole write succeeded. Sets d's signature, version, author, password and byte size.
// why, when given, receives what went wrong for the writer: it names the file and the reason
// (no space left, no permission, the folder missing) and never holds the password.
int WriteStrokeFile(ink::StrokeDocument& d, const std::string& path, int s,
                    std::optional<std::string_view> password,
                    std::optional<std::string_view> author, const CodecBinding& codec,
                    std::string* why = nullptr);

// The bytes of an encoded stroke file, made in memory as WriteStrokeFile makes them (and
// setting the same header values of d), so that their size can be shown before they are
// written with WriteEncodedStrokeFile. An error text when the step is invalid, memory ran out
// or the codec failed.
Result<std::vector<std::uint8_t>> EncodeStrokeFile(ink::StrokeDocument& d, int s,
                                                   std::optional<std::string_view> password,
                                                   std::optional<std::string_view> author,
                                                   const CodecBinding& codec);

// Replaces the file at path with encoded bytes, whole or not at all; the error names the file
// and the reason.
Result<bool> WriteEncodedStrokeFile(const std::string& path, std::span<const std::uint8_t> bytes);

// Writes the plain layout itself (tools and tests); the same replace-on-success as above.
int WritePlainStrokeFile(ink::StrokeDocument& d, const std::string& path, int s,
                         std::optional<std::string_view> password,
                         std::optional<std::string_view> author);

// Decodes an encoded file into its plain layout, whose size is taken from the budget: kReadOk,
// kReadCannotDecode, or kReadTooLarge when the layout would not fit what remains of it.
int DecodeWithinBudget(std::span<const std::uint8_t> file, const CodecBinding& codec,
                       DocumentBudget& budget, std::vector<std::uint8_t>& plain);

// Clears d and reads the file at path, plain or encoded, into it. Returns a ReadResult code;
// after any failure d holds no entries and no background. codec may be null, in which case
// encoded files give kReadCannotDecode. The decoded layout stays in memory. A file that would
// need more memory than kMaxDocumentBytes (document_budget.h) is refused with kReadTooLarge
// before that memory is taken.
int ReadStrokeFile(ink::StrokeDocument& d, const std::string& path, const CodecBinding* codec,
                   StrokeFileDetails* details = nullptr);

// The same on the bytes of a file already in memory.
int ReadStrokeData(ink::StrokeDocument& d, std::span<const std::uint8_t> file,
                   const CodecBinding* codec, StrokeFileDetails* details = nullptr);

}  // namespace zevo::files
