// A stroke file that parses can still be hostile: the reader on plain layouts, then the sheet
// picture rendered from what it read, with its background, a grid and the document drawn
// again as the trace model.
#include <cstdint>

#include "files/stroke_file.h"
#include "output/sheet_picture.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size > (1u << 20)) return 0;
  zevo::ink::StrokeDocument d(1024, 718);
  if (zevo::files::ReadStrokeData(d, {data, size}, nullptr) != 0) return 0;
  zevo::ink::StrokeDocument model(1024, 718);
  zevo::files::ReadStrokeData(model, {data, size}, nullptr);

  zevo::output::SheetInputs in;
  in.background = {d.Background(), int(d.BackgroundA() & 3), int(d.BackgroundB() & 3)};
  in.grid = {d.grid[0], d.grid[1], d.grid[2], d.grid[2], 3, 2};
  in.grid_shown = (size & 1) != 0;
  in.trace_model = &model;
  in.trace_shown = (size & 2) != 0;
  in.live = &d;
  const int position = d.Position();
  auto picture = zevo::output::RenderSheetPicture(61, 43, in);
  if (picture && (picture.Value().Width() != 61 || picture.Value().Height() != 43))
    __builtin_trap();
  // Rendering reads the history; it never moves the writer's place in it.
  if (d.Position() != position) __builtin_trap();
  return 0;
}
