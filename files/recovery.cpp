#include "files/recovery.h"

#include <exception>

#include "files/stroke_layout.h"
#include "ink/page_views.h"

namespace zevo::files {

int Recovery::FindWriting(const CodecBinding& codec) {
  found_.clear();
  platform::FileError why = platform::FileError::kNone;
  auto bytes = file.Load(&why);
  if (!bytes) {
    owned_ = why == platform::FileError::kNotFound;
    return 0;
  }
  ink::StrokeDocument found(ink::kPageWidth, ink::kPageHeight);
  if (RecoveryFile::Decode(bytes.Value(), found, codec) != kReadOk) return 0;
  if (found.Count() == 0) {
    owned_ = true;
    return 0;
  }
  found_ = std::move(bytes).Value();
  return found.Count();
}

int Recovery::Restore(ink::StrokeDocument& d, const CodecBinding& codec) {
  const int result = RecoveryFile::Decode(found_, d, codec);
  if (result != kReadOk) return result;
  found_.clear();
  owned_ = true;
  keeper.Adopt(d);
  return result;
}

Result<bool> Recovery::SetAside() {
  auto moved = file.SetAside();
  if (moved) {
    found_.clear();
    owned_ = true;
  }
  return moved;
}

std::string Recovery::Write(ink::StrokeDocument& d, const CodecBinding& codec) {
  Result<bool> written = true;
  try {
    if (!owned_) {
      written = file.SetAside();
      owned_ = written.Ok();
    }
    if (owned_) written = file.Write(d, codec);
  } catch (const std::exception& e) {
    written = Result<bool>::Error(e.what());
  }
  if (written) {
    keeper.Written();
    return {};
  }
  keeper.Failed();
  if (failure_shown_) return {};
  failure_shown_ = true;
  return kRecoveryWriteFailed + written.ErrorText();
}

std::string Recovery::Tick(ink::StrokeDocument& d, const CodecBinding& codec) {
  keeper.Watch(d);
  return keeper.Due() ? Write(d, codec) : std::string();
}

std::string Recovery::WriteNow(ink::StrokeDocument& d, const CodecBinding& codec) {
  keeper.Watch(d);
  return keeper.Unwritten() ? Write(d, codec) : std::string();
}

void Recovery::Saved() {
  keeper.Written();
  found_.clear();
  // A file this run has not taken over holds an earlier run's writing, which this save does
  // not contain.
  if (owned_) file.Discard();
  file.DiscardSetAside();
}

}  // namespace zevo::files
