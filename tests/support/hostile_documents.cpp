#include "tests/support/hostile_documents.h"

#include <cmath>

namespace zevo::test {

namespace {

std::unique_ptr<ink::StrokeDocument> NewDoc() {
  return std::make_unique<ink::StrokeDocument>(1024, 718);
}

void Stroke(ink::StrokeDocument& d, std::initializer_list<ink::StrokeSample> samples) {
  for (const ink::StrokeSample& s : samples) d.AddSample(s.x, s.y, s.radius);
}

void Ring(ink::StrokeDocument& d, float cx, float cy, float r, std::uint32_t color) {
  d.SetInkColor(color);
  for (int i = 0; i <= 36; ++i) {
    const float a = float(i) * 6.2831853f / 36;
    d.AddSample(cx + r * std::cos(a), cy + r * std::sin(a), i == 36 ? 0.0f : 3.0f);
  }
}

}  // namespace

std::vector<HostileDocument> HostileDocuments() {
  std::vector<HostileDocument> all;
  {
    auto d = NewDoc();
    Stroke(*d, {{300, 300, 3e8f}, {310, 300, 0}});
    Stroke(*d, {{500, 300, -40}, {600, 320, -3e8f}, {610, 320, 0}});
    all.push_back({"huge_and_negative_radius", std::move(d)});
  }
  for (int segments : {10, 1000}) {
    auto d = NewDoc();
    for (int i = 0; i < segments; ++i) d->AddSample(i % 2 ? 1e9f : -1e9f, float(i % 700), 8.0f);
    d->AddSample(0, 0, 0);
    all.push_back({"segments_far_away_" + std::to_string(segments), std::move(d)});
  }
  {
    auto d = NewDoc();
    Ring(*d, 512, 359, 200, 0);
    for (int i = 0; i < 10000; ++i) d->AddFill(i % 2 ? 0x0000FF : 0x00FF00, 512, 359);
    all.push_back({"fills_alternating_at_one_seed", std::move(d)});
  }
  {
    auto d = NewDoc();
    Ring(*d, 300, 359, 150, 0);
    for (int i = 0; i < 600; ++i)
      d->AddFill(i % 3 ? 0x0000FF : 0x00FF00, i % 2 ? 300.0f : 800.0f, 359);
    all.push_back({"fills_alternating_between_regions", std::move(d)});
  }
  {
    auto d = NewDoc();
    auto seal = std::make_unique<gfx::Bitmap24>(64, 64, 0x000000);
    d->AddStampEntry(std::move(seal), -1e9f, -1e9f, 3e9f, 3e9f);
    auto seal2 = std::make_unique<gfx::Bitmap24>(64, 64, 0x0000FF);
    d->AddStampEntry(std::move(seal2), 5e8f, 10, -1e9f, 1e-30f);
    d->AddPicture(-2000000000, 2000000000, std::make_unique<gfx::Bitmap24>(8, 8, 0x00FF00));
    d->AddPicture(100, 100, std::make_unique<gfx::Bitmap24>(3, 2, 0x00FF00));
    all.push_back({"seals_and_pictures_far_off", std::move(d)});
  }
  {
    auto d = NewDoc();
    Stroke(*d, {{3.4e38f, -3.4e38f, 3.4e38f}, {-3.4e38f, 3.4e38f, 1}, {5, 5, 0}});
    d->AddFill(0x0000FF, 3.4e38f, -3.4e38f);
    Stroke(*d, {{1e-38f, 1e-38f, 1e-38f}, {1e-45f, 0, 0}});
    all.push_back({"extreme_values", std::move(d)});
  }
  return all;
}

}  // namespace zevo::test
