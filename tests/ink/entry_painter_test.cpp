#include "ink/entry_painter.h"

#include <gtest/gtest.h>

#include <cmath>
#include <memory>
#include <random>
#include <thread>
#include <vector>

#include "ink/page_views.h"

namespace zevo::ink {
namespace {

std::unique_ptr<Stroke> Ring(float cx, float cy, float radius, float width, gfx::Color c) {
  auto s = std::make_unique<Stroke>();
  s->kind = StrokeKind::Ink;
  s->value = c;
  for (int i = 0; i <= 40; ++i) {
    const float a = float(i) * 6.2831853f / 40;
    s->samples.push_back({cx + radius * std::cos(a), cy + radius * std::sin(a), width});
  }
  return s;
}

std::unique_ptr<Stroke> Fill(float x, float y, gfx::Color c) {
  auto s = std::make_unique<Stroke>();
  s->kind = StrokeKind::Fill;
  s->value = c;
  s->x = x;
  s->y = y;
  return s;
}

// Draws the entries with one painter; with `hints` the painter is told each next entry.
gfx::Bitmap24 Paint(const std::vector<std::unique_ptr<Stroke>>& entries, bool hints) {
  gfx::Bitmap24 target(80, 60, gfx::kWhite);
  BrushRenderer r(target);
  r.ClearWhite();
  const ViewMapping map;
  EntryPainter painter(r, map);
  for (std::size_t i = 0; i < entries.size(); ++i)
    painter.Draw(*entries[i], hints && i + 1 < entries.size() ? entries[i + 1].get() : nullptr);
  painter.Flush();
  return r.Work();
}

// A run of fills into one region is painted once; the pixels must be those of every fill in
// turn, whatever the colours (a fill may join its region to a neighbour of its colour, after
// which the next fill reaches further).
TEST(EntryPainter, RunsOfFillsGiveThePixelsOfEveryFillInTurn) {
  std::mt19937 rng(7);
  const std::vector<gfx::Color> colors{0x000000, 0x0000FF, 0x00FF00, 0xFFFFFF, 0x0000FF};
  auto pick = [&](int n) { return int(rng() % unsigned(n)); };
  for (int trial = 0; trial < 60; ++trial) {
    std::vector<std::unique_ptr<Stroke>> entries;
    for (int i = 0; i < 3; ++i)
      entries.push_back(Ring(float(10 + pick(60)), float(10 + pick(40)), float(4 + pick(14)),
                             float(1 + pick(2)), colors[std::size_t(pick(5))]));
    for (int i = 0; i < 12; ++i) {
      if (pick(6) == 0) {
        entries.push_back(Ring(float(pick(80)), float(pick(60)), float(3 + pick(10)), 1.5f,
                               colors[std::size_t(pick(5))]));
        continue;
      }
      entries.push_back(Fill(float(pick(80)), float(pick(60)), colors[std::size_t(pick(5))]));
    }
    EXPECT_TRUE(Paint(entries, true).SamePixels(Paint(entries, false))) << "trial " << trial;
  }
}

TEST(EntryPainter, TenThousandFillsAtOneSeedEndInTheLastColour) {
  std::vector<std::unique_ptr<Stroke>> entries;
  entries.push_back(Ring(40, 30, 15, 2, 0x000000));
  for (int i = 0; i < 10000; ++i) entries.push_back(Fill(40, 30, i % 2 ? 0x0000FF : 0x00FF00));
  const gfx::Bitmap24 work = Paint(entries, true);
  EXPECT_EQ(work.Pixel(160, 120), 0x0000FFu);  // inside the ring
  EXPECT_EQ(work.Pixel(2, 2), gfx::kWhite);    // outside it
}

// Whatever a damaged history holds, drawing it ends, throws nothing, and leaves the page
// alone where nothing reaches it.
// Parts of one renderer's rows, each with its own painter on its own thread, draw exactly what
// one painter of the whole draws, and together count the same work: strokes across the parts'
// edge, wide and thin, partly off the page, and pictures and seals over the edge.
TEST(EntryPainter, PartsOfTheRowsDrawnAtOnceGiveThePixelsOfTheWhole) {
  std::mt19937 rng(17);
  std::vector<std::unique_ptr<Stroke>> entries;
  for (int i = 0; i < 40; ++i) {
    auto s = std::make_unique<Stroke>();
    s->value = rng() & 0x00FFFFFF;
    float x = float(rng() % 140) - 10, y = float(rng() % 110) - 10;
    for (int k = 0; k < 30; ++k) {
      s->samples.push_back({x, y, k == 29 ? 0.0f : float(rng() % 90) / 10.0f});
      x += float(int(rng() % 9) - 4);
      y += float(int(rng() % 9) - 4);
    }
    entries.push_back(std::move(s));
  }
  entries.push_back(Ring(60, 45, 30, 6, 0x00202020));
  for (const StrokeKind kind : {StrokeKind::Picture, StrokeKind::Stamp}) {
    auto e = std::make_unique<Stroke>();
    e->kind = kind;
    e->bitmap = std::make_unique<gfx::Bitmap24>(7, 9, 0x000000C0);
    e->bitmap->SetPixel(3, 4, gfx::kWhite);
    e->px = 30;
    e->py = 40;
    e->x = 50;
    e->y = 38;
    e->width = 17;
    e->height = 13;
    entries.push_back(std::move(e));
  }
  const ViewMapping map;
  gfx::Bitmap24 whole_page(120, 90, gfx::kWhite);
  BrushRenderer whole(whole_page);
  whole.ClearWhite();
  EntryPainter one(whole, map);
  for (const auto& e : entries) one.Draw(*e);
  one.Flush();

  for (const int edge : {1, 45, 46, 89}) {
    gfx::Bitmap24 page(120, 90, gfx::kWhite);
    BrushRenderer r(page);
    r.ClearWhite();
    BrushRenderer upper(r, 0, edge), lower(r, edge, 90);
    EntryPainter up(upper, map), low(lower, map);
    std::thread second([&] {
      for (const auto& e : entries) low.Draw(*e);
      low.Flush();
    });
    for (const auto& e : entries) up.Draw(*e);
    up.Flush();
    second.join();
    EXPECT_TRUE(r.Work().SamePixels(whole.Work())) << "edge " << edge;
    EXPECT_TRUE(page.SamePixels(whole_page)) << "edge " << edge;
    EXPECT_EQ(up.Spent() + low.Spent(), one.Spent()) << "edge " << edge;
    // The whole's painter takes on what its parts spent.
    EntryPainter taking(r, map);
    taking.Absorb(up);
    taking.Absorb(low);
    EXPECT_EQ(taking.Spent(), one.Spent());
    EXPECT_FALSE(taking.EntriesLeftOut());
  }
}

TEST(EntryPainter, AbsurdSamplesAreDrawnWithoutHarm) {
  PageViews views(120, 90, 30, 23);
  auto huge_disc = std::make_unique<Stroke>();
  huge_disc->samples = {{60, 45, 3e8f}, {61, 45, -3e8f}};
  auto far = std::make_unique<Stroke>();
  for (int i = 0; i < 10; ++i) far->samples.push_back({i % 2 ? 1e9f : -1e9f, float(i * 10), 5});
  auto wild = std::make_unique<Stroke>();
  wild->samples = {{NAN, 5, 5}, {INFINITY, -INFINITY, 2}, {30, 30, NAN}, {1e38f, 1e38f, 1e38f}};
  auto seal = std::make_unique<Stroke>();
  seal->kind = StrokeKind::Stamp;
  seal->bitmap = std::make_unique<gfx::Bitmap24>(4, 4, gfx::kBlack);
  seal->x = -1e9f;
  seal->y = 2e9f;
  seal->width = 4e9f;
  seal->height = -3e9f;
  for (const auto* e : {huge_disc.get(), far.get(), wild.get(), seal.get()})
    EXPECT_NO_THROW(views.DrawEntry(*e));
  views.DrawEntry(*Fill(1e30f, -1e30f, 0x0000FF));
}

}  // namespace
}  // namespace zevo::ink
