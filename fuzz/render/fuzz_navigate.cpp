// A stroke file that parses can still be hostile: what it read is stepped through and
// replayed as the window does it, on small page views.
#include <cstdint>

#include "files/stroke_file.h"
#include "history/navigation.h"
#include "history/replay.h"

namespace {

using namespace zevo;

void CheckPlayer(const history::HistoryPlayer& p) {
  const int count = p.Document().Count();
  if (p.bar.position < 0 || p.bar.position > count) __builtin_trap();
  if (p.PartialStroke() == nullptr && p.bar.position != p.Document().Position()) __builtin_trap();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size > (1u << 20)) return 0;
  history::HistoryPlayer player(1024, 718);
  if (files::ReadStrokeData(player.Document(), {data, size}, nullptr) != 0) return 0;
  ink::PageViews views(48, 34, 12, 9);
  views.SetTransform({size % 3 == 0 ? 2.0f : 1.0f, float(size % 200), float(size % 150)});
  seals::SheetPages sheet(48, 34, 12, 9);
  sheet.grid_shown = (size & 1) != 0;
  sheet.RebuildGridPages(views.Transform());
  history::Navigator n{player, views, sheet, nullptr};
  player.bar.max = player.Document().Count();
  player.SetPosition(player.Document().Position());

  history::GotoLast(n);
  CheckPlayer(player);
  for (int i = 0; i < 3; ++i) {
    history::GotoPrev(n);
    CheckPlayer(player);
  }
  history::GotoNext(n);
  history::GotoPoint(n, player.Document().Count() / 2);
  CheckPlayer(player);
  history::GotoFirst(n);
  // Replay to the end at the fastest rate, as far as a bounded number of ticks goes.
  history::DataPlay(n, history::kMaxReplayRate);
  for (int tick = 0; tick < 4096 && player.replaying; ++tick) {
    if (history::ReplayTick(n)) history::DataStop(player, history::kMaxReplayRate);
    CheckPlayer(player);
  }
  return 0;
}
