#pragma once

#include "base/result.h"
#include "gfx/bitmap24.h"

namespace zevo::output {

// a * b / d with a 64-bit product, rounded to the nearest integer, halves away from zero.
// -1 when d is 0 or the result does not fit in 32 bits, as the platform's MulDiv.
int MulDiv(int a, int b, int d);

// The Print_Scale values the options dialog offers, and the range a stored value may take
// before printing refuses it.
inline constexpr int kPrintScaleMin = 25;
inline constexpr int kPrintScaleMax = 400;

// The numbers of one printed page. The sheet's width runs along the page's longer side:
// upright on a landscape page, turned a quarter turn on a portrait or square page.
struct PrintLayout {
  bool turned = false;
  int page_width = 0;   // PW, device pixels
  int page_height = 0;  // PH
  int paper_width = 1024;
  int paper_height = 718;
  double k = 1;          // enlargement step; 1 when the sheet fits the page's proportions
  float ps = 1;          // print-bitmap pixels per paper pixel
  float ps4 = 4;         // work pixels per paper pixel
  int sheet_width = 0;   // W: the sheet's width in print-bitmap pixels
  int sheet_height = 0;  // H
  int other_side = 0;    // hb (upright) or wb (turned): the bitmap's side across the sheet
  int g = 4;             // background scale: work pixels per paper pixel, whole
  int bitmap_width = 0;  // the print bitmap: W x hb upright, wb x W turned
  int bitmap_height = 0;
  gfx::Rect page;  // where the work bitmap is stretched on the printer's canvas
};

// The layout for a page of page_width x page_height device pixels and a Print_Scale value.
// Refused with a message for an empty or degenerate page, a scale outside
// kPrintScaleMin .. kPrintScaleMax, or a work bitmap the renderer may not have.
Result<PrintLayout> ComputePrintLayout(int page_width, int page_height, int print_scale,
                                       int paper_width = 1024, int paper_height = 718);

}  // namespace zevo::output
