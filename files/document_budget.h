#pragma once

#include <cstdint>
#include <memory>

#include "ink/stroke_document.h"

namespace zevo::files {

// A stroke file of a few kilobytes can decode to gigabytes: its layout is compressed, its
// pictures are RLE, its stamps and sampling step multiply what it stores. Reading one file
// may hold at most this much at once: the file's bytes, the plain layout the codec gives back,
// and the document built from it, counting samples and entries at their in-memory size and
// pictures and stamps at their bitmap size (each also within gfx::kMaxPictureBytes). Every
// record is checked against what remains before its memory is taken; a file that needs more
// is refused with kReadTooLarge. The codec's own working copies while it decodes are not
// counted.
inline constexpr std::uint64_t kMaxDocumentBytes = std::uint64_t(512) << 20;

// What the reader counts for one sample and for one entry besides its samples and bitmap.
inline constexpr std::uint64_t kSampleBytes = sizeof(ink::StrokeSample);
inline constexpr std::uint64_t kEntryBytes =
    sizeof(ink::Stroke) + sizeof(std::unique_ptr<ink::Stroke>);

// What remains of the budget while one file is read.
class DocumentBudget {
 public:
  explicit DocumentBudget(std::uint64_t total = kMaxDocumentBytes) : left_(total) {}

  // Takes bytes from what remains; false, taking nothing, when less remains.
  bool Take(std::uint64_t bytes) {
    if (bytes > left_) return false;
    left_ -= bytes;
    return true;
  }
  // Gives back bytes taken earlier and let go since.
  void Give(std::uint64_t bytes) { left_ += bytes; }
  std::uint64_t Left() const { return left_; }

 private:
  std::uint64_t left_;
};

}  // namespace zevo::files
