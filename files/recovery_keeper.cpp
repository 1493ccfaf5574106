#include "files/recovery_keeper.h"

namespace zevo::files {

void RecoveryKeeper::SetClock(Clock clock) {
  clock_ = clock ? std::move(clock) : Clock([] { return std::chrono::steady_clock::now(); });
}

RecoveryKeeper::Stamp RecoveryKeeper::StampOf(const ink::StrokeDocument& d) {
  Stamp s;
  s.count = d.Count();
  s.position = d.Position();
  if (const ink::Stroke* last = d.Entry(d.Count() - 1)) {
    s.last = last;
    s.last_samples = last->samples.size();
  }
  s.background = d.Background();
  return s;
}

void RecoveryKeeper::Watch(const ink::StrokeDocument& d) {
  const Stamp now = StampOf(d);
  if (now == seen_) return;
  seen_ = now;
  Changed();
}

void RecoveryKeeper::Changed() {
  ++changes_;
  last_change_ = Now();
}

void RecoveryKeeper::Adopt(const ink::StrokeDocument& d) {
  seen_ = StampOf(d);
  written_ = changes_;
}

bool RecoveryKeeper::Due() const {
  if (!Unwritten()) return false;
  const Time now = Now();
  return now - last_change_ >= kQuietPeriod && now >= retry_at_;
}

}  // namespace zevo::files
