#include "gfx/flood_region.h"

#include <algorithm>
#include <cstring>

#include "gfx/canvas.h"

namespace zevo::gfx {

namespace {

// Past this many colours around a region it is taken to border every colour.
constexpr std::size_t kMaxBorderColors = 4096;

}  // namespace

bool FloodRegion::Find(const Bitmap24& bm, int x, int y) {
  spans_.clear();
  area_ = 0;
  border_.clear();
  border_overflow_ = false;
  if (width_ != bm.Width() || height_ != bm.Height()) {
    width_ = bm.Width();
    height_ = bm.Height();
    mask_.assign(std::size_t(width_) * std::size_t(height_), 0);
  } else if (mask_bottom_ > mask_top_) {
    std::memset(mask_.data() + std::size_t(mask_top_) * std::size_t(width_), 0,
                std::size_t(mask_bottom_ - mask_top_) * std::size_t(width_));
  }
  mask_top_ = mask_bottom_ = 0;
  if (!bm.Contains(x, y)) return false;
  surface_ = bm.Pixel(x, y);
  const std::uint8_t sb = BlueOf(surface_), sg = GreenOf(surface_), sr = RedOf(surface_);
  auto is_surface = [&](const std::uint8_t* row, int px) {
    const std::uint8_t* p = row + px * 3;
    return p[0] == sb && p[1] == sg && p[2] == sr;
  };
  Color last_border = kInvalidColor;
  auto add_border = [&](const std::uint8_t* row, int px) {
    const std::uint8_t* p = row + px * 3;
    const Color c = Rgb(p[2], p[1], p[0]);
    if (c == last_border || border_overflow_) return;
    last_border = c;
    border_.insert(c);
    if (border_.size() > kMaxBorderColors) border_overflow_ = true;
  };
  int top = y, bottom = y;
  std::vector<Point> seeds{{x, y}};
  while (!seeds.empty()) {
    const Point s = seeds.back();
    seeds.pop_back();
    const std::uint8_t* row = bm.Row(s.y);
    std::uint8_t* mrow = mask_.data() + std::size_t(s.y) * std::size_t(width_);
    if (mrow[s.x] || !is_surface(row, s.x)) continue;
    int l = s.x, r = s.x;
    while (l > 0 && !mrow[l - 1] && is_surface(row, l - 1)) --l;
    while (r + 1 < width_ && !mrow[r + 1] && is_surface(row, r + 1)) ++r;
    std::memset(mrow + l, 1, std::size_t(r - l + 1));
    spans_.push_back({s.y, l, r});
    area_ += std::size_t(r - l + 1);
    top = std::min(top, s.y);
    bottom = std::max(bottom, s.y);
    if (l > 0 && !mrow[l - 1]) add_border(row, l - 1);
    if (r + 1 < width_ && !mrow[r + 1]) add_border(row, r + 1);
    for (int ny : {s.y - 1, s.y + 1}) {
      if (ny < 0 || ny >= height_) continue;
      const std::uint8_t* nrow = bm.Row(ny);
      const std::uint8_t* nmask = mask_.data() + std::size_t(ny) * std::size_t(width_);
      int px = l;
      while (px <= r) {
        if (nmask[px]) {
          ++px;
          continue;
        }
        if (!is_surface(nrow, px)) {
          add_border(nrow, px);
          ++px;
          continue;
        }
        seeds.push_back({px, ny});
        while (px <= r && !nmask[px] && is_surface(nrow, px)) ++px;
      }
    }
  }
  mask_top_ = top;
  mask_bottom_ = bottom + 1;
  return true;
}

bool FloodRegion::Contains(int x, int y) const {
  if (spans_.empty() || x < 0 || y < 0 || x >= width_ || y >= height_) return false;
  return mask_[std::size_t(y) * std::size_t(width_) + std::size_t(x)] != 0;
}

bool FloodRegion::Borders(Color c) const {
  return border_overflow_ || border_.count(c & 0x00FFFFFF) != 0;
}

void FloodRegion::Paint(Bitmap24& bm, Color c) const {
  c &= 0x00FFFFFF;
  if (spans_.empty() || c == surface_ || bm.Width() != width_ || bm.Height() != height_) return;
  Canvas canvas(bm);
  canvas.brush = {c, BrushStyle::Solid};
  for (const Span& s : spans_) canvas.FillRect({s.x0, s.y, s.x1 + 1, s.y + 1});
}

}  // namespace zevo::gfx
