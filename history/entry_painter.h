#pragma once

#include "gfx/bitmap24.h"
#include "ink/brush_renderer.h"
#include "ink/stroke_document.h"
#include "seals/paper_pages.h"

namespace zevo::history {

// Draws history entries into the work bitmaps of the view and overview renderers and keeps
// the target rectangles they touched, so that a run of entries is averaged into the page
// images once at the end instead of segment by segment.
class EntryPainter {
 public:
  // Which of the two renderers a painter draws into: the two are independent, so a long
  // redraw may paint them side by side.
  enum Targets { kBoth, kViewOnly, kOverviewOnly };
  EntryPainter(ink::BrushRenderer& view_renderer, ink::BrushRenderer& overview_renderer,
               seals::PageView view, Targets targets = kBoth)
      : view_(view_renderer),
        overview_(overview_renderer),
        z_(view),
        draw_view_(targets != kOverviewOnly),
        draw_overview_(targets != kViewOnly) {}
  EntryPainter(const EntryPainter&) = delete;
  EntryPainter& operator=(const EntryPainter&) = delete;

  // One entry of any kind; kinds without a drawing draw nothing.
  void Draw(ink::Stroke& entry);
  // Averages what was drawn since the last flush into the two page images.
  void Flush();

  // The page view position of a paper sample (radius too).
  void ToView(const ink::StrokeSample& s, float& x, float& y, float& r) const;

 private:
  struct Dirty {
    int left = 0, top = 0, right = 0, bottom = 0;
    bool any = false;
    void Add(int l, int t, int r, int b);
  };
  void DrawInk(ink::Stroke& e);
  void DrawPicture(const ink::Stroke& e);
  void DrawStamp(const ink::Stroke& e);
  void DrawFill(const ink::Stroke& e);

  ink::BrushRenderer& view_;
  ink::BrushRenderer& overview_;
  seals::PageView z_;
  bool draw_view_;
  bool draw_overview_;
  Dirty view_dirty_;
  Dirty overview_dirty_;
};

// Float to integer toward zero, held in a range where the arithmetic on the result stays
// defined whatever a damaged file put into an entry.
int TruncCoord(double v);

}  // namespace zevo::history
