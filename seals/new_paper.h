#pragma once

#include "base/progress.h"
#include "ink/page_views.h"
#include "ink/stroke_document.h"
#include "platform/ui.h"
#include "seals/bg_dialog.h"
#include "seals/sheet_pages.h"

namespace zevo::seals {

// The NewPaper command up to the redraw: shows the background dialog and, when it closes with
// OK, loads the chosen paper into the sheet's background (an image lightened as chosen),
// records it in the document and rebuilds the paper, trace model and grid pages. The history
// is kept. A file that cannot be read or decoded is shown as an error and leaves white paper.
// Returns whether the pages changed, so that the caller redraws both views from the history.
bool NewPaper(TBGDialog& dialog, platform::Ui& ui, SheetPages& sheet, ink::StrokeDocument& document,
              ink::PageView view, base::ProgressDisplay* progress);

// Loads the dialog's committed choice into `background` (released first). On a file that
// cannot be used the background stays none and the error, naming the file, is returned.
Result<bool> LoadCommittedPaper(const TBGDialog& dialog, BackgroundState& background);

}  // namespace zevo::seals
