#pragma once

#include "base/progress.h"
#include "base/result.h"
#include "gfx/bitmap24.h"
#include "output/print_layout.h"
#include "output/sheet_layers.h"

namespace zevo::output {

// What goes to the printer: the print renderer's 4x work bitmap, not averaged down, and the
// rectangle of the printer's canvas it is stretched onto.
struct PrintedSheet {
  gfx::Bitmap24 work;
  gfx::Rect page;
};

// Renders the sheet for one page: the layers of the sheet picture at the layout's scale,
// upright or turned. The trace model and history loops drive the progress display (shown for
// more than 16 entries). The live document's position is unchanged; the trace model is left
// at its last entry. Refused with a message when the bitmaps cannot be allocated.
Result<PrintedSheet> RenderPrintSheet(const PrintLayout& layout, const SheetInputs& inputs,
                                      base::ProgressDisplay* progress = nullptr);

}  // namespace zevo::output
