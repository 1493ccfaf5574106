#include "output/sheet_layers.h"
#include "base/truncate.h"

#include <algorithm>
#include <new>

#include "seals/trace_pages.h"

namespace zevo::output {

std::string CheckWorkBitmapSize(long long w, long long h) {
  if (w <= 0 || h <= 0) return "the size must be at least 1 x 1 pixel";
  const long long ww = 4 * w, wh = 4 * h;
  if (ww > gfx::Bitmap24::kMaxSide || wh > gfx::Bitmap24::kMaxSide)
    return "the 4x work bitmap would be larger than " + std::to_string(gfx::Bitmap24::kMaxSide) +
           " pixels on a side";
  const unsigned long long bytes =
      static_cast<unsigned long long>(gfx::Bitmap24::StrideFor(int(ww))) *
      static_cast<unsigned long long>(wh);
  if (bytes > kMaxWorkBitmapBytes)
    return "the 4x work bitmap would need " + std::to_string(bytes >> 20) + " MB (at most " +
           std::to_string(kMaxWorkBitmapBytes >> 20) + " MB)";
  return {};
}

void PaintTraceModel(ink::EntryPainter& painter, ink::StrokeDocument& model,
                     base::ProgressRun* run) {
  for (ink::Stroke* e = model.GotoHead(); e != nullptr; e = model.StepForward()) {
    painter.Draw(*e, model.Entry(model.Position()));
    if (run != nullptr) run->Step();
  }
}

void PaintHistory(ink::EntryPainter& painter, ink::StrokeDocument& live, base::ProgressRun* run) {
  // Entries are read by index so the walk cannot move the document's position.
  const int shown = live.Position();
  for (int i = 0; i < shown; ++i) {
    const ink::Stroke* e = live.Entry(i);
    if (e == nullptr) break;
    painter.Draw(*e, i + 1 < shown ? live.Entry(i + 1) : nullptr);
    if (run != nullptr) run->Step();
  }
}

bool TraceModelHoldsFill(const ink::StrokeDocument& model) {
  for (int i = 0; i < model.Count(); ++i) {
    const ink::Stroke* e = model.Entry(i);
    if (e != nullptr && e->kind == ink::StrokeKind::Fill) return true;
  }
  return false;
}

bool HistoryHoldsFill(const ink::StrokeDocument& live) {
  for (int i = 0; i < live.Position(); ++i) {
    const ink::Stroke* e = live.Entry(i);
    if (e == nullptr) break;
    if (e->kind == ink::StrokeKind::Fill) return true;
  }
  return false;
}

bool DrawTraceModelLayer(ink::BrushRenderer& r, ink::StrokeDocument& model, const SheetMapping& map,
                         base::ProgressDisplay* progress) {
  base::ProgressRun run(progress, model.Count(), base::kProgressLineTraceModel);
  ink::EntryPainter painter(r, map, {seals::kTraceColor, true});
  PaintTraceModel(painter, model, &run);
  painter.Finish();
  return !painter.EntriesLeftOut();
}

bool DrawHistoryLayer(ink::BrushRenderer& r, ink::StrokeDocument& live, const SheetMapping& map,
                      base::ProgressDisplay* progress) {
  if (live.Position() <= 0) return true;
  base::ProgressRun run(progress, live.Count(), base::kProgressLineHistory);
  ink::EntryPainter painter(r, map);
  PaintHistory(painter, live, &run);
  painter.Finish();
  return !painter.EntriesLeftOut();
}

std::optional<gfx::Bitmap24> MakeTile(const gfx::Bitmap24& background, int tile_w, int tile_h,
                                      int max_w, int max_h) {
  std::optional<gfx::Bitmap24> tile = gfx::Bitmap24::TryCreate(
      std::clamp(tile_w, 1, std::max(max_w, 1)), std::clamp(tile_h, 1, std::max(max_h, 1)));
  if (!tile) return std::nullopt;
  gfx::Canvas(*tile).StretchCopy(gfx::Rect{0, 0, tile_w, tile_h}, background);
  return tile;
}

void CopyTile(gfx::Canvas& work, gfx::Rect dest, const gfx::Bitmap24& tile, int tile_w,
              int tile_h) {
  work.StretchCopy(dest, tile, gfx::Rect{0, 0, tile_w, tile_h});
}

}  // namespace zevo::output
