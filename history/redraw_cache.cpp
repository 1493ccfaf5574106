#include "history/redraw_cache.h"

#include <cstring>

namespace zevo::history {

namespace {

// A fast 64-bit mix over 8-byte words; only equality of contents matters here.
std::uint64_t HashBytes(const void* data, std::size_t n, std::uint64_t h) {
  const auto* p = static_cast<const unsigned char*>(data);
  constexpr std::uint64_t kMul = 0x9E3779B97F4A7C15ull;
  while (n >= 8) {
    std::uint64_t v;
    std::memcpy(&v, p, 8);
    h = (h ^ v) * kMul;
    h ^= h >> 29;
    p += 8;
    n -= 8;
  }
  std::uint64_t v = 0;
  std::memcpy(&v, p, n);
  h = (h ^ v ^ (std::uint64_t(n) << 56)) * kMul;
  return h ^ (h >> 31);
}

template <class T>
std::uint64_t HashValue(const T& v, std::uint64_t h) {
  return HashBytes(&v, sizeof v, h);
}

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

std::uint64_t RedrawCache::HashBitmap(const gfx::Bitmap24& b, std::uint64_t h) {
  h = HashValue(b.Width(), HashValue(b.Height(), h));
  return b.Empty() ? h : HashBytes(b.Data(), b.ByteSize(), h);
}

std::uint64_t RedrawCache::HashEntries(const ink::StrokeDocument& doc, int n) {
  std::uint64_t h = 0x243F6A8885A308D3ull;
  for (int i = 0; i < n; ++i) {
    const ink::Stroke* e = doc.Entry(i);
    if (e == nullptr) return h ^ 1;
    h = HashValue(e->kind, h);
    h = HashValue(e->value, h);
    switch (e->kind) {
      case ink::StrokeKind::Ink:
        h = HashValue(e->samples.size(), h);
        if (!e->samples.empty())
          h = HashBytes(e->samples.data(), e->samples.size() * sizeof(ink::StrokeSample), h);
        break;
      case ink::StrokeKind::Picture:
      case ink::StrokeKind::Stamp:
        h = HashValue(e->px, HashValue(e->py, h));
        h = HashValue(e->x, HashValue(e->y, HashValue(e->width, HashValue(e->height, h))));
        h = e->bitmap ? HashBitmap(*e->bitmap, h) : h ^ 2;
        break;
      case ink::StrokeKind::Fill:
        h = HashValue(e->x, HashValue(e->y, h));
        break;
    }
  }
  return h;
}

bool RedrawCache::Matches(const Basis& basis, const ink::StrokeDocument& doc,
                          ink::BrushRenderer& view, ink::BrushRenderer& overview) const {
  auto same_size = [](const gfx::Bitmap24& a, const gfx::Bitmap24& b) {
    return a.Width() == b.Width() && a.Height() == b.Height();
  };
  return entries_ > 0 && entries_ <= doc.Count() && basis == basis_ &&
         same_size(view.Work(), view_work_) && same_size(view.Target(), view_page_) &&
         same_size(overview.Work(), overview_work_) &&
         same_size(overview.Target(), overview_page_) &&
         HashEntries(doc, entries_) == entries_hash_;
}

bool RedrawCache::Save(const Basis& basis, const ink::StrokeDocument& doc, int n,
                       ink::BrushRenderer& view, ink::BrushRenderer& overview) {
  entries_ = 0;
  if (n <= 0) return false;
  if (!CopyInto(view_work_, view.Work()) || !CopyInto(view_page_, view.Target()) ||
      !CopyInto(overview_work_, overview.Work()) || !CopyInto(overview_page_, overview.Target()))
    return false;
  basis_ = basis;
  entries_hash_ = HashEntries(doc, n);
  entries_ = n;
  return true;
}

void RedrawCache::Restore(ink::BrushRenderer& view, ink::BrushRenderer& overview) const {
  std::memcpy(view.Work().Data(), view_work_.Data(), view_work_.ByteSize());
  std::memcpy(view.Target().Data(), view_page_.Data(), view_page_.ByteSize());
  std::memcpy(overview.Work().Data(), overview_work_.Data(), overview_work_.ByteSize());
  std::memcpy(overview.Target().Data(), overview_page_.Data(), overview_page_.ByteSize());
}

}  // namespace zevo::history
