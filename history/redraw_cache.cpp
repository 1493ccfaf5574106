#include "history/redraw_cache.h"

#include "base/worker.h"

#include <cstdlib>
#include <cstring>
#include <new>
#include <optional>

namespace zevo::history {

namespace {

bool CopyInto(gfx::Bitmap24& to, const gfx::Bitmap24& from) {
  if (to.Width() != from.Width() || to.Height() != from.Height()) {
    auto b = gfx::Bitmap24::TryCreate(from.Width(), from.Height());
    if (!b) return false;
    to = std::move(*b);
  }
  std::memcpy(to.Data(), from.Data(), from.ByteSize());
  return true;
}

}  // namespace

bool RedrawCache::TakeReference(const Basis& basis, ink::BrushRenderer& view,
                                ink::BrushRenderer& overview) {
  if (HasReference(basis)) return true;
  copies_.clear();
  copy_bytes_ = 0;
  have_reference_ = false;
  // A work bitmap is loaded from its page: told against the page widened, it differs where
  // the page was drawn on. (Any reference gives back exactly what was kept; a close one keeps
  // it small.)
  const auto widened = [](ink::BrushRenderer& r) {
    return r.Work().Width() == kWorkScale * r.Target().Width() &&
           r.Work().Height() == kWorkScale * r.Target().Height();
  };
  if (!widened(view) || !widened(overview) || !CopyInto(view_page_, view.Target()) ||
      !CopyInto(overview_page_, overview.Target()))
    return false;
  basis_ = basis;
  have_reference_ = true;
  return true;
}

void RedrawCache::FitSpacing(int count) {
  int s = kSpreadSpacing;
  while (s < budget_spacing_ || (s < (1 << 29) && s * kCopiesPerHistory < count)) s *= 2;
  spacing_ = s;
}

bool RedrawCache::Wants(int p, int end) const {
  if (!have_reference_ || p <= 0 || p % kMinSpacing != 0 || copies_.count(p) != 0) return false;
  // The close copy: the last multiple of kMinSpacing before the end.
  return p % spacing_ == 0 || p == ((end - 1) / kMinSpacing) * kMinSpacing;
}

int RedrawCache::Nearest(const Basis& basis, const ink::StrokeDocument& doc, int n) {
  if (!HasReference(basis)) return 0;
  auto it = copies_.upper_bound(n);
  while (it != copies_.begin()) {
    --it;
    if (doc.UnchangedSince(it->first, it->second.revision)) return it->first;
    // Entries before it changed since: it can never be used again.
    copy_bytes_ -= it->second.Bytes();
    it = copies_.erase(it);
  }
  return 0;
}

void RedrawCache::Restore(int p, ink::BrushRenderer& view, ink::BrushRenderer& overview) const {
  const Copy& c = copies_.at(p);
  c.view_work.Apply(WorkReference(false), view.Work());
  c.view_page.Apply(PageReference(false), view.Target());
  c.overview_work.Apply(WorkReference(true), overview.Work());
  c.overview_page.Apply(PageReference(true), overview.Target());
}

gfx::DeltaReference RedrawCache::WorkReference(bool overview) const {
  return gfx::DeltaReference::Scaled(overview ? overview_page_ : view_page_, kWorkScale);
}

void RedrawCache::Save(const Basis& basis, const ink::StrokeDocument& doc, int p,
                       ink::BrushRenderer& view, ink::BrushRenderer& overview) {
  if (!HasReference(basis) || p <= 0 || p > doc.Count()) return;
  // The overview's copy is told on a thread of its own while this one tells the view's.
  CopyDeltas d;
  base::Worker overview_copy([&] {
    d.overview_work = gfx::BitmapDelta::Make(overview.Work(), WorkReference(true));
    d.overview_page = gfx::BitmapDelta::Make(overview.Target(), PageReference(true));
  });
  d.view_work = gfx::BitmapDelta::Make(view.Work(), WorkReference(false));
  d.view_page = gfx::BitmapDelta::Make(view.Target(), PageReference(false));
  overview_copy.Join();
  Keep(basis, doc, p, std::move(d));
}

void RedrawCache::Keep(const Basis& basis, const ink::StrokeDocument& doc, int p,
                       CopyDeltas deltas) {
  if (!HasReference(basis) || p <= 0 || p > doc.Count()) return;
  // A part of the rows only (one whose other parts were not had) is no copy.
  const auto whole = [](const std::optional<gfx::BitmapDelta>& d) { return d && d->Whole(); };
  if (!whole(deltas.view_work) || !whole(deltas.view_page) || !whole(deltas.overview_work) ||
      !whole(deltas.overview_page))
    return;
  try {
    Copy& c = copies_[p];
    copy_bytes_ -= c.Bytes();
    c.revision = doc.Revision();
    c.view_work = std::move(*deltas.view_work);
    c.view_page = std::move(*deltas.view_page);
    c.overview_work = std::move(*deltas.overview_work);
    c.overview_page = std::move(*deltas.overview_page);
    copy_bytes_ += c.Bytes();
  } catch (const std::bad_alloc&) {
    return;
  }
  Thin(p);
}

void RedrawCache::Thin(int near) {
  while (Bytes() > budget_ && !copies_.empty()) {
    auto farthest = copies_.end();
    for (auto it = copies_.begin(); it != copies_.end(); ++it) {
      if (it->first % spacing_ == 0) continue;
      if (farthest == copies_.end() ||
          std::abs(it->first - near) > std::abs(farthest->first - near))
        farthest = it;
    }
    if (farthest != copies_.end()) {
      copy_bytes_ -= farthest->second.Bytes();
      copies_.erase(farthest);
      continue;
    }
    if (spacing_ >= (1 << 29)) return;
    spacing_ *= 2;
    budget_spacing_ = spacing_;
  }
}

void RedrawCache::Forget() {
  copies_.clear();
  copy_bytes_ = 0;
  have_reference_ = false;
  spacing_ = budget_spacing_ = kSpreadSpacing;
}

std::vector<int> RedrawCache::Positions() const {
  std::vector<int> p;
  for (const auto& [at, copy] : copies_) p.push_back(at);
  return p;
}

std::size_t RedrawCache::Bytes() const {
  // The reference's bitmaps stay allocated for the next one, kept or not.
  return view_page_.ByteSize() + overview_page_.ByteSize() + copy_bytes_;
}

}  // namespace zevo::history
