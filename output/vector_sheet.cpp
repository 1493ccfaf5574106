#include "output/vector_sheet.h"

#include <algorithm>
#include <cmath>

#include "output/sheet_picture.h"

namespace zevo::output {

namespace {

// Coordinates beyond this lie far outside any sheet (and outside what vector files hold exactly).
constexpr float kFar = float(1 << 22);

bool Sane(float x, float y, float r) {
  return std::fabs(x) < kFar && std::fabs(y) < kFar && std::fabs(r) < kFar;
}

double ShoelaceArea(const VectorQuad& q) {
  double a = 0;
  for (int i = 0; i < 4; ++i) {
    const int j = (i + 1) % 4;
    a += double(q.x[i]) * q.y[j] - double(q.x[j]) * q.y[i];
  }
  return a / 2;
}

// The quadrilateral of the outer common tangents from disc (x0, y0, r0) to disc (x1, y1, r1),
// the corners worked out as the brush renderer works them out; false when there is none.
bool JoinQuad(float x0, float y0, float r0, float x1, float y1, float r1, VectorQuad& q) {
  const float dr = r0 - r1;
  const float dx = x1 - x0;
  const float dy = y1 - y0;
  const float d2 = dx * dx + dy * dy;
  const float d = std::sqrt(d2);
  // One disc inside the other, or both at one point: the discs are the whole shape.
  if (std::fabs(dr) > d || d2 < 0.005f) return false;
  float k = 0, t = 0;
  if (d > 0.5f) {
    k = dr / d2;
    t = k * d;
  }
  auto tangents = [&](float px, float py, float r, int minus, int plus) {
    const float a = r * t;
    float h2 = r * r - a * a;
    if (h2 < 0) h2 = 0;
    const float m = r * k;
    const float bx = px + m * dx;
    const float by = py + m * dy;
    const float s = std::sqrt(h2 / d2);
    q.x[minus] = bx - dy * s;
    q.y[minus] = by + dx * s;
    q.x[plus] = bx + dy * s;
    q.y[plus] = by - dx * s;
  };
  tangents(x0, y0, r0, 0, 3);
  tangents(x1, y1, r1, 1, 2);
  const double area = ShoelaceArea(q);
  if (area == 0) return false;
  if (area < 0) {
    std::swap(q.x[1], q.x[3]);
    std::swap(q.y[1], q.y[3]);
  }
  return true;
}

}  // namespace

VectorStroke StrokeShapes(const ink::Stroke& e, const ink::EntryMapping& map, gfx::Color color) {
  VectorStroke v;
  v.color = color & 0x00FFFFFF;
  bool have_last = false;
  float lx = 0, ly = 0, lr = 0;
  for (const ink::StrokeSample& s : e.samples) {
    float x, y, r;
    map.Sample(s, x, y, r);
    if (!Sane(x, y, r)) {
      have_last = false;
      continue;
    }
    VectorQuad q;
    if (have_last && JoinQuad(lx, ly, lr, x, y, r, q)) v.quads.push_back(q);
    // A disc of negative radius covers what one of its size does.
    if (r != 0) v.discs.push_back({x, y, std::fabs(r)});
    have_last = true;
    lx = x, ly = y, lr = r;
  }
  return v;
}

Result<VectorSheet> BuildVectorSheet(int width, int height, const SheetInputs& in,
                                     int underlay_scale) {
  using R = Result<VectorSheet>;
  const std::string size_text = std::to_string(width) + " x " + std::to_string(height);
  if (const std::string why = CheckWorkBitmapSize(width, height); !why.empty())
    return R::Error("cannot render a picture of " + size_text + ": " + why);
  VectorSheet sheet;
  sheet.width = width;
  sheet.height = height;
  if (in.live != nullptr && HistoryHoldsFill(*in.live)) {
    Result<gfx::Bitmap24> whole = RenderSheetPicture(width, height, in);
    if (!whole) return R::Error(whole.ErrorText());
    sheet.underlay = std::move(whole).Value();
    sheet.whole_raster = true;
    return sheet;
  }
  const int k = std::clamp(underlay_scale, 1, 16);
  SheetInputs under = in;
  under.live = nullptr;
  Result<gfx::Bitmap24> paper = RenderSheetPicture(width * k, height * k, under);
  if (!paper) return R::Error(paper.ErrorText());
  sheet.underlay = std::move(paper).Value();
  if (in.live == nullptr) return sheet;

  const PictureMapping map(FitSheet(width, height, in.paper_width, in.paper_height));
  const int shown = in.live->Position();
  for (int i = 0; i < shown; ++i) {
    const ink::Stroke* e = in.live->Entry(i);
    if (e == nullptr) break;
    switch (e->kind) {
      case ink::StrokeKind::Ink: {
        VectorStroke v = StrokeShapes(*e, map, e->value);
        if (!v.discs.empty() || !v.quads.empty()) sheet.items.emplace_back(std::move(v));
        break;
      }
      case ink::StrokeKind::Picture:
      case ink::StrokeKind::Stamp: {
        if (!e->bitmap || e->bitmap->Empty()) break;
        const gfx::Rect to =
            e->kind == ink::StrokeKind::Picture ? map.PictureRect(*e) : map.StampRect(*e);
        if (to.left == to.right || to.top == to.bottom) break;
        sheet.items.emplace_back(VectorImage{e->bitmap.get(), to.left / 4.0f, to.top / 4.0f,
                                             to.right / 4.0f, to.bottom / 4.0f});
        break;
      }
      case ink::StrokeKind::Fill:
        break;
    }
  }
  return sheet;
}

}  // namespace zevo::output
