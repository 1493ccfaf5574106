#pragma once

// What the render fuzz targets do with one input, shared with the test that replays their
// corpora: a stroke file that parses can still be hostile, so what it holds is rendered as a
// sheet picture, stepped through and replayed on small page views, and taken onto the sheet's
// pages as opening it does. A broken promise traps.

#include <algorithm>
#include <cstdint>
#include <memory>
#include <span>

#include "files/save_rules.h"
#include "files/stroke_file.h"
#include "history/navigation.h"
#include "history/replay.h"
#include "output/sheet_picture.h"
#include "seals/sheet_pages.h"

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
  // Small pictures of every size up to a large thumbnail's, as the file manager asks for.
  const int w = 1 + int(data.size() % 128), h = std::max(1, w * 718 / 1024);
  auto picture = output::RenderSheetPicture(w, h, in);
  if (picture && (picture.Value().Width() != w || picture.Value().Height() != h))
    __builtin_trap();
  // Rendering reads the history; it never moves the writer's place in it.
  if (d.Position() != position) __builtin_trap();
  // Drawn in bands of a few rows it is the same picture, whenever both are drawn (a history at
  // the edge of the work it may ask for can be refused by one and not the other).
  auto banded = output::RenderSheetPictureInBands(w, h, in, 1 + int(data.size() % 8));
  if (picture && banded && !banded.Value().SamePixels(picture.Value())) __builtin_trap();
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

// What opening a stroke file brings onto the sheet, as the main window takes it over: the
// file's background with its mode and fit as they are, its grid completed and shown, and the
// file itself as the shown trace model, all drawn on the pages at a zoom and origin chosen from
// the input's size. Every input goes onto small pages; one in 32 also onto pages of the real
// size, which take the fuzzer far longer.
inline void OpenOntoPages(const ink::StrokeDocument& d, std::span<const std::uint8_t> data,
                          int page_width, int page_height, int overview_width,
                          int overview_height) {
  seals::SheetPages sheet(page_width, page_height, overview_width, overview_height);
  if (d.Background() != nullptr)
    sheet.background.bitmap = std::make_unique<gfx::Bitmap24>(*d.Background());
  sheet.background.mode = d.BackgroundA();
  sheet.background.fit = d.BackgroundB();
  if (files::RecordsGrid(d.grid)) {
    const files::FileGrid g = files::CompletedGrid(files::GridFromWords(d.grid));
    sheet.grid = {g.cell_width, g.cell_height, g.left, g.top, g.columns, g.rows};
  }
  sheet.grid_shown = true;
  ink::StrokeDocument& model = sheet.TraceModel();
  if (files::ReadStrokeData(model, data, nullptr) != 0) __builtin_trap();
  sheet.trace_shown = true;
  const int entries = model.Count();

  const std::size_t size = data.size();
  const ink::PageView view{float(1 << (size / 32 % 4)), float((size * 37) % 1024),
                           float((size * 53) % 718)};
  const seals::GridLayout grid = sheet.grid;
  sheet.RebuildPaperPages(view, nullptr);

  // The pages keep the sheet's sizes, whatever the background and the grid.
  auto same = [](const gfx::Bitmap24& b, int w, int h) {
    return b.Width() == w && b.Height() == h;
  };
  if (!same(sheet.PaperPage(), page_width, page_height) ||
      !same(sheet.TracePage(), page_width, page_height) ||
      !same(sheet.GridPage(), page_width, page_height) ||
      !same(sheet.PaperOverview(), overview_width, overview_height) ||
      !same(sheet.TraceOverview(), overview_width, overview_height) ||
      !same(sheet.GridOverview(), overview_width, overview_height)) {
    __builtin_trap();
  }
  // A shown model keeps its entries and is left at the last one; drawing reads the
  // background and the grid without changing them.
  if (model.Count() != entries || model.Position() != entries) __builtin_trap();
  if (sheet.background.mode != d.BackgroundA() || sheet.background.fit != d.BackgroundB() ||
      (sheet.background.bitmap == nullptr) != (d.Background() == nullptr) ||
      !(sheet.grid == grid)) {
    __builtin_trap();
  }
  // With the grid shown, navigation starts from the grid pages.
  const seals::BlankPage blank = sheet.Blank();
  if (blank.page != &sheet.GridPage() || blank.overview != &sheet.GridOverview()) __builtin_trap();
}

inline void OpenIntoSheet(std::span<const std::uint8_t> data) {
  ink::StrokeDocument d(1024, 718);
  if (files::ReadStrokeData(d, data, nullptr) != 0) return;
  OpenOntoPages(d, data, 48, 34, 12, 9);
  if (data.size() % 32 == 0)
    OpenOntoPages(d, data, ink::kPageWidth, ink::kPageHeight, ink::kOverviewWidth,
                  ink::kOverviewHeight);
}

}  // namespace zevo::fuzz
