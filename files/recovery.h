#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "files/codec_binding.h"
#include "files/recovery_file.h"
#include "files/recovery_keeper.h"
#include "ink/stroke_document.h"

namespace zevo::files {

inline constexpr char kRecoveryCaption[] = "Zevo 3";
inline constexpr char kRestoreQuestion[] =
    "Zevo 3 found writing that was not saved when it last closed. Restore it?";
inline constexpr char kRestoreFailed[] =
    "Zevo 3 could not restore the unsaved writing; its file is kept.";
// Shown once per run, before the reason.
inline constexpr char kRecoveryWriteFailed[] =
    "Zevo 3 cannot keep a recovery copy of the writing; you can go on writing, and it will keep "
    "trying. ";

// The window's part that keeps the live history safe: it offers at start what an earlier run
// left unsaved, writes the recovery file when the keeper says so and at close, and lets the
// file go once the writing is saved.
//
// A recovery file an earlier run left is only ever replaced after this run took it over
// (restored it, set it aside, or found none or an empty one); otherwise the first write sets it
// aside first, so that writing a run did not offer (or could not read) is not overwritten.
class Recovery {
 public:
  // folder: where the recovery file lives; empty keeps nothing.
  explicit Recovery(std::string folder = {}) : file(std::move(folder)) {}

  RecoveryFile file;
  RecoveryKeeper keeper;

  // ---- At start ----
  // The number of entries of the writing an earlier run left unsaved; 0 when there is none,
  // the file holds no entries, or it cannot be read (it then stays as it is).
  int FindWriting(const CodecBinding& codec);
  // Puts the writing found into d: every entry and the position it had. A ReadResult code.
  int Restore(ink::StrokeDocument& d, const CodecBinding& codec);
  // The writer declined it: the file is kept aside until the next save.
  Result<bool> SetAside();

  // ---- While writing ----
  void Watch(const ink::StrokeDocument& d) { keeper.Watch(d); }
  // Writes the history once the keeper finds it due. The text to show when the file could not
  // be written, the first time in a run only; else empty.
  std::string Tick(ink::StrokeDocument& d, const CodecBinding& codec);
  // Writes any change not written yet, at once (close).
  std::string WriteNow(ink::StrokeDocument& d, const CodecBinding& codec);

  // The save command calls this once the history is saved: the recovery file and the one set
  // aside are no longer needed.
  void Saved();
  // The open command calls this once d holds a file's history: what the sheet shows is on the
  // disk already.
  void Opened(const ink::StrokeDocument& d) {
    keeper.Adopt(d);
    Saved();
  }

 private:
  std::string Write(ink::StrokeDocument& d, const CodecBinding& codec);

  std::vector<std::uint8_t> found_;
  bool owned_ = false;  // the recovery file on the disk is this run's to replace
  bool failure_shown_ = false;
};

}  // namespace zevo::files
