#pragma once

#include <atomic>
#include <cstdint>

namespace zevo::base {

// The next number of one count shared by everything that keeps revisions: a number is never
// handed out twice in a process, so a revision taken from one object is never mistaken for a
// state of another made later at the same address.
inline std::uint64_t NextRevision() {
  static std::atomic<std::uint64_t> last{0};
  return last.fetch_add(1, std::memory_order_relaxed) + 1;
}

}  // namespace zevo::base
