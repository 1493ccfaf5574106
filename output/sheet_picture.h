#pragma once

#include "base/result.h"
#include "gfx/bitmap24.h"
#include "output/sheet_layers.h"

namespace zevo::output {

// The default export size: the paper at 100 %.
inline constexpr int kDefaultExportWidth = 1024;
inline constexpr int kDefaultExportHeight = 718;

// The paper placed in a picture: uniform scale s from paper to picture pixels and the offset
// of the paper's top-left corner, the paper centred in the direction it does not fill.
struct SheetFit {
  float s = 1;
  float ox = 0;
  float oy = 0;
};
SheetFit FitSheet(int picture_width, int picture_height, int paper_width, int paper_height);

// Entries of the paper drawn into a picture with the paper placed at f.
class PictureMapping final : public SheetMapping {
 public:
  explicit PictureMapping(const SheetFit& f) : f_(f) {}
  void Sample(const ink::StrokeSample& s, float& x, float& y, float& r) const override;
  gfx::Point FillSeed(float x, float y) const override;
  gfx::Rect PictureRect(const ink::Stroke& e) const override;
  gfx::Rect StampRect(const ink::Stroke& e) const override;

 private:
  SheetFit f_;
};

// The work-bitmap rectangle a background image of bw x bh takes in the picture, by fit.
gfx::Rect ImageFitRect(int fit, int bw, int bh, const SheetFit& f, int paper_width,
                       int paper_height);

// Renders the whole sheet into a new picture of width x height: white paper, background,
// grid, trace model (left at its last entry), then the live history up to its current
// position, drawn at 4x and averaged once. It is drawn in bands (SheetBandRows), so that the
// memory it takes beyond the picture does not grow with the picture's height; a sheet with a
// flood fill is drawn at once. The live document's position is unchanged. Refused with a message
// for a size of zero or less, one whose whole work bitmap (16 times the picture's pixels) would
// be over the limit, memory that cannot be allocated, or a paper size of zero.
Result<gfx::Bitmap24> RenderSheetPicture(int width, int height, const SheetInputs& inputs);

// The same drawn in bands of band_rows picture rows, one band's work bitmap at a time; the
// picture is the same pixel for pixel whatever the band. A band of the picture's height or more
// draws it at once, as does a sheet that holds a flood fill.
Result<gfx::Bitmap24> RenderSheetPictureInBands(int width, int height, const SheetInputs& inputs,
                                                int band_rows);
// The band RenderSheetPicture takes for a picture width: about kBandWorkBytes of work bitmap.
inline constexpr std::ptrdiff_t kBandWorkBytes = std::ptrdiff_t(4) << 20;
int SheetBandRows(int width);

// The same sheet drawn at once into r, a renderer of the whole picture (not in bands) whose work
// bitmap is white, and averaged into its target: the work bitmap is left holding the sheet, so
// that more entries can be drawn over it as the replay draws them. The picture equals
// RenderSheetPicture's. Empty on success, else the reason.
std::string DrawSheetAtOnce(ink::BrushRenderer& r, const SheetInputs& in);

}  // namespace zevo::output
