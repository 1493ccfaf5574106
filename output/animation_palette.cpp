#include "output/animation_palette.h"

#include <algorithm>
#include <array>

namespace zevo::output {

namespace {

struct Counted {
  gfx::Color color;
  std::uint64_t count;
};

int Channel(gfx::Color c, int k) {
  return int((c >> (8 * k)) & 0xFF);
}

// The colours [begin, end) of the counted list.
struct Box {
  std::size_t begin, end;
  int longest_channel = 0;
  int range = 0;
};

void Measure(const std::vector<Counted>& colors, Box& b) {
  std::array<int, 3> lo{255, 255, 255}, hi{0, 0, 0};
  for (std::size_t i = b.begin; i < b.end; ++i)
    for (int k = 0; k < 3; ++k) {
      lo[k] = std::min(lo[k], Channel(colors[i].color, k));
      hi[k] = std::max(hi[k], Channel(colors[i].color, k));
    }
  b.range = -1;
  for (int k = 0; k < 3; ++k)
    if (hi[k] - lo[k] > b.range) {
      b.range = hi[k] - lo[k];
      b.longest_channel = k;
    }
}

gfx::Color MeanOf(const std::vector<Counted>& colors, const Box& b) {
  std::array<std::uint64_t, 3> sum{};
  std::uint64_t n = 0;
  for (std::size_t i = b.begin; i < b.end; ++i) {
    for (int k = 0; k < 3; ++k)
      sum[k] += std::uint64_t(Channel(colors[i].color, k)) * colors[i].count;
    n += colors[i].count;
  }
  gfx::Color c = 0;
  for (int k = 0; k < 3; ++k) c |= gfx::Color((sum[k] + n / 2) / n) << (8 * k);
  return c;
}

}  // namespace

std::vector<gfx::Color> BuildPalette(const gfx::Bitmap24& picture, int max_colors) {
  std::unordered_map<gfx::Color, std::uint64_t> counts;
  for (int y = 0; y < picture.Height(); ++y) {
    const std::uint8_t* p = picture.Row(y);
    for (int x = 0; x < picture.Width(); ++x, p += 3) ++counts[gfx::Rgb(p[2], p[1], p[0])];
  }
  std::vector<Counted> colors;
  colors.reserve(counts.size());
  for (const auto& [c, n] : counts) colors.push_back({c, n});
  std::sort(colors.begin(), colors.end(), [](const Counted& a, const Counted& b) {
    return a.count != b.count ? a.count > b.count : a.color < b.color;
  });
  std::vector<gfx::Color> palette;
  if (max_colors <= 0 || colors.empty()) return palette;
  if (colors.size() <= std::size_t(max_colors)) {
    for (const Counted& c : colors) palette.push_back(c.color);
    return palette;
  }
  std::vector<Box> boxes{{0, colors.size()}};
  Measure(colors, boxes[0]);
  while (boxes.size() < std::size_t(max_colors)) {
    auto widest = std::max_element(boxes.begin(), boxes.end(),
                                   [](const Box& a, const Box& b) { return a.range < b.range; });
    if (widest->range <= 0) break;
    Box b = *widest;
    const int k = b.longest_channel;
    std::sort(colors.begin() + std::ptrdiff_t(b.begin), colors.begin() + std::ptrdiff_t(b.end),
              [k](const Counted& x, const Counted& y) {
                return Channel(x.color, k) < Channel(y.color, k);
              });
    // Split at the middle of the side, so that the box's far ends get entries of their own.
    const int middle =
        (Channel(colors[b.begin].color, k) + Channel(colors[b.end - 1].color, k) + 1) / 2;
    std::size_t split = b.begin + 1;
    while (split < b.end - 1 && Channel(colors[split].color, k) < middle) ++split;
    Box first{b.begin, split}, second{split, b.end};
    Measure(colors, first);
    Measure(colors, second);
    *widest = first;
    boxes.push_back(second);
  }
  for (const Box& b : boxes) palette.push_back(MeanOf(colors, b));
  return palette;
}

std::uint8_t PaletteIndex::Of(gfx::Color c) {
  if (const auto it = known_.find(c); it != known_.end()) return it->second;
  int best = 0;
  long best_d = -1;
  for (std::size_t i = 0; i < palette_.size(); ++i) {
    long d = 0;
    for (int k = 0; k < 3; ++k) {
      const long e = long(Channel(c, k)) - Channel(palette_[i], k);
      d += e * e;
    }
    if (best_d < 0 || d < best_d) {
      best_d = d;
      best = int(i);
    }
  }
  known_.emplace(c, std::uint8_t(best));
  return std::uint8_t(best);
}

}  // namespace zevo::output
