#pragma once

// What the render fuzz targets do with one input, shared with the test that replays their
// corpora: a stroke file that parses can still be hostile, so what it holds is rendered as a
// sheet picture and stepped through and replayed on small page views. A broken promise traps.

#include <cstdint>
#include <span>

#include "files/stroke_file.h"
#include "history/navigation.h"
#include "history/replay.h"
#include "output/sheet_picture.h"

namespace zevo::fuzz {

// The reader on a plain layout, then the sheet picture of what it read with its background, a
// grid and the document drawn again as the trace model.
inline void RenderSheet(std::span<const std::uint8_t> data) {
  ink::StrokeDocument d(1024, 718);
  if (files::ReadStrokeData(d, data, nullptr) != 0) return;
  ink::StrokeDocument model(1024, 718);
  files::ReadStrokeData(model, data, nullptr);
  output::SheetInputs in;
  in.background = {d.Background(), int(d.BackgroundA() & 3), int(d.BackgroundB() & 3)};
  in.grid = {d.grid[0], d.grid[1], d.grid[2], d.grid[2], 3, 2};
  in.grid_shown = (data.size() & 1) != 0;
  in.trace_model = &model;
  in.trace_shown = (data.size() & 2) != 0;
  in.live = &d;
  const int position = d.Position();
  auto picture = output::RenderSheetPicture(61, 43, in);
  if (picture && (picture.Value().Width() != 61 || picture.Value().Height() != 43))
    __builtin_trap();
  // Rendering reads the history; it never moves the writer's place in it.
  if (d.Position() != position) __builtin_trap();
}

inline void CheckPlayer(const history::HistoryPlayer& p) {
  const int count = p.Document().Count();
  if (p.bar.position < 0 || p.bar.position > count) __builtin_trap();
  if (p.PartialStroke() == nullptr && p.bar.position != p.Document().Position()) __builtin_trap();
}

// The reader on a plain layout, then every way of stepping through what it read and a replay
// to the end at the fastest rate (as far as a bounded number of ticks goes).
inline void Navigate(std::span<const std::uint8_t> data) {
  history::HistoryPlayer player(1024, 718);
  if (files::ReadStrokeData(player.Document(), data, nullptr) != 0) return;
  const std::size_t size = data.size();
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
  history::DataPlay(n, history::kMaxReplayRate);
  for (int tick = 0; tick < 4096 && player.replaying; ++tick) {
    if (history::ReplayTick(n)) history::DataStop(player, history::kMaxReplayRate);
    CheckPlayer(player);
  }
}

}  // namespace zevo::fuzz
