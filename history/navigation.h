#pragma once

#include "base/progress.h"
#include "history/history_player.h"
#include "ink/page_views.h"
#include "seals/sheet_pages.h"

namespace zevo::history {

// What stepping through the history works on: the live history and its player, the two page
// views it redraws, the sheet pages it starts from, and the progress display of long redraws.
struct Navigator {
  HistoryPlayer& player;
  ink::PageViews& views;
  const seals::SheetPages& sheet;
  base::ProgressDisplay* progress = nullptr;
};

// The blank page of the sheet on both views.
void ShowBlankPage(Navigator& n);
// Rebuilds both views from the blank page up to the current position (after a change of the
// pages: paper, trace model, grid, zoom).
void FullRedraw(Navigator& n);

void GotoFirst(Navigator& n);
void GotoPrev(Navigator& n);
void GotoNext(Navigator& n);
void GotoLast(Navigator& n);
// To a position (clamped to the history), as a click on the player track asks.
void GotoPoint(Navigator& n, int target);

}  // namespace zevo::history
