#pragma once

#include <chrono>
#include <cstddef>
#include <cstdint>
#include <functional>

#include "ink/stroke_document.h"

namespace zevo::files {

// Decides when the live history goes to the recovery file: once it has been quiet for a while
// after a change, so that the writing itself is never held up, and never while nothing changed.
class RecoveryKeeper {
 public:
  using Time = std::chrono::steady_clock::time_point;
  using Clock = std::function<Time()>;
  static constexpr std::chrono::milliseconds kQuietPeriod{3000};

  // An empty clock is the real one.
  explicit RecoveryKeeper(Clock clock = {}) { SetClock(std::move(clock)); }
  void SetClock(Clock clock);
  Time Now() const { return clock_(); }

  // Counts a change when d differs from the history last seen: anything that changes its
  // entries or its position. Called after every command, so that each call sees one change.
  void Watch(const ink::StrokeDocument& d);
  // A change now.
  void Changed();
  // d as it stands is what the file holds (after a restore or a save).
  void Adopt(const ink::StrokeDocument& d);

  std::uint64_t Changes() const { return changes_; }
  bool Unwritten() const { return written_ != changes_; }
  // Unwritten, and nothing has changed for the quiet period (nor since a failed write).
  bool Due() const;
  // The changes counted so far are in the file.
  void Written() { written_ = changes_; }
  // The file could not be written: tried again a quiet period later, not at every tick.
  void Failed() { retry_at_ = Now() + kQuietPeriod; }

 private:
  // What a command that changes the history changes: one command moves the position or the
  // count, or adds samples to the last stroke, or replaces the last entry or the background.
  struct Stamp {
    int count = 0;
    int position = 0;
    const void* last = nullptr;
    std::size_t last_samples = 0;
    const void* background = nullptr;
    friend bool operator==(const Stamp&, const Stamp&) = default;
  };
  static Stamp StampOf(const ink::StrokeDocument& d);

  Clock clock_;
  Stamp seen_;  // an empty history to begin with
  std::uint64_t changes_ = 0;
  std::uint64_t written_ = 0;
  Time last_change_{};
  Time retry_at_{};
};

}  // namespace zevo::files
