#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "base/result.h"
#include "files/codec_binding.h"
#include "ink/stroke_document.h"
#include "platform/file_system.h"

namespace zevo::files {

inline constexpr char kRecoveryFileName[] = "recovery.stk";
inline constexpr char kSetAsideFileName[] = "recovery-set-aside.stk";

// The folder the program keeps its own state in, with a trailing separator: $ZEVO3_STATE_DIR
// when set, else $XDG_STATE_HOME/Zevo3/ (an absolute path), else ~/.local/state/Zevo3/. Empty
// when there is no home.
std::string DefaultStateFolder();

// The folder for files that live only while the program runs (the background a stroke file
// carried), with a trailing separator: $ZEVO3_STATE_DIR when set, else $XDG_RUNTIME_DIR/Zevo3/,
// else $XDG_CACHE_HOME/Zevo3/, else ~/.cache/Zevo3/ (the variables only when absolute). Empty
// when there is no home.
std::string DefaultTemporaryFolder();

// The live history kept on the disk while the writer works, so that a crash or a kill loses
// nothing. It is a stroke file sealed with the codec that holds every entry (those after a
// step back too) and the position, which a record of its own right after the header carries
// (readers of stroke files skip it as a kind they do not know). Plain layouts are refused: the
// program never writes one here, so one found here was not written by it.
class RecoveryFile {
 public:
  // folder: where the files live, with or without a trailing separator; empty keeps nothing.
  explicit RecoveryFile(std::string folder = {});

  bool Enabled() const { return !folder_.empty(); }
  const std::string& Folder() const { return folder_; }
  std::string Path() const { return folder_ + kRecoveryFileName; }
  std::string SetAsidePath() const { return folder_ + kSetAsideFileName; }

  // Replaces the file atomically with the whole history of d (mode 0600, the folder made with
  // mode 0700 when it is missing); an empty history removes it instead. d is left as it was,
  // position included.
  Result<bool> Write(ink::StrokeDocument& d, const CodecBinding& codec) const;

  // The bytes of the file; why tells a missing file from one that cannot be read.
  Result<std::vector<std::uint8_t>> Load(platform::FileError* why = nullptr) const;
  // Clears d and puts the history the bytes of a recovery file hold into it: every entry, and
  // the position as it was. A ReadResult code; after a failure d holds nothing.
  static int Decode(std::span<const std::uint8_t> file, ink::StrokeDocument& d,
                    const CodecBinding& codec);

  // Renames the file to the set-aside name, replacing an older one there. True when there is
  // no file.
  Result<bool> SetAside() const;
  // Removes the file (true when there is none).
  Result<bool> Discard() const;
  Result<bool> DiscardSetAside() const;

 private:
  Result<bool> MakeFolder() const;
  std::string folder_;
};

}  // namespace zevo::files
