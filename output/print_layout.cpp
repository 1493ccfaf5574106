#include "output/print_layout.h"

#include <cmath>
#include <cstdint>
#include <limits>
#include <string>

#include "output/sheet_layers.h"

namespace zevo::output {

int MulDiv(int a, int b, int d) {
  if (d == 0) return -1;
  const std::int64_t p = std::int64_t(a) * b;
  const bool negative = (p < 0) != (d < 0);
  const std::uint64_t up = p < 0 ? std::uint64_t(-p) : std::uint64_t(p);
  const std::uint64_t ud = d < 0 ? std::uint64_t(-std::int64_t(d)) : std::uint64_t(d);
  const std::uint64_t q = (up + ud / 2) / ud;
  if (q > std::uint64_t(std::numeric_limits<int>::max())) return -1;
  return negative ? -int(q) : int(q);
}

Result<PrintLayout> ComputePrintLayout(int pw, int ph, int print_scale, int ppw, int pph) {
  using R = Result<PrintLayout>;
  if (print_scale < kPrintScaleMin || print_scale > kPrintScaleMax)
    return R::Error("the print scale " + std::to_string(print_scale) + " is outside " +
                    std::to_string(kPrintScaleMin) + " .. " + std::to_string(kPrintScaleMax) +
                    " (the choices are 100, 150 and 200)");
  if (pw <= 0 || ph <= 0)
    return R::Error("the printer's page size " + std::to_string(pw) + " x " + std::to_string(ph) +
                    " is empty");
  if (ppw <= 0 || pph <= 0) return R::Error("the paper size is empty");

  PrintLayout L;
  L.page_width = pw;
  L.page_height = ph;
  L.paper_width = ppw;
  L.paper_height = pph;
  L.turned = !(pw > ph);
  L.ps = float(print_scale) / 100.0f;
  L.ps4 = L.ps * 4;
  int w = int(float(ppw) * L.ps), h = int(float(pph) * L.ps);
  // The bitmap's other side gives it the page's proportions.
  int other = L.turned ? MulDiv(pw, w, ph) : MulDiv(ph, w, pw);
  if (other <= 0)
    return R::Error("the printer's page " + std::to_string(pw) + " x " + std::to_string(ph) +
                    " is too narrow to print on");
  if (h > other) {
    // Raise the resolution so that the cut-off sheet still has enough rows on the page.
    L.k = std::sqrt(double(h) / double(other));
    w = int(w * L.k);
    h = int(h * L.k);
    other = int(other * L.k);
    L.ps = float(L.ps * L.k);
    L.ps4 = L.ps * 4;
  }
  L.sheet_width = w;
  L.sheet_height = h;
  L.other_side = other;
  L.g = int((4LL * w) / ppw);
  if (L.turned) {
    L.bitmap_width = other;
    L.bitmap_height = w;
  } else {
    L.bitmap_width = w;
    L.bitmap_height = other;
  }
  if (const std::string why = CheckWorkBitmapSize(L.bitmap_width, L.bitmap_height); !why.empty())
    return R::Error("cannot print on a page of " + std::to_string(pw) + " x " + std::to_string(ph) +
                    " at scale " + std::to_string(print_scale) + ": " + why);
  if (L.turned)
    L.page = {0, 0, MulDiv(other, ph, w), ph};
  else
    L.page = {0, 0, pw, MulDiv(other, pw, w)};
  return L;
}

}  // namespace zevo::output
