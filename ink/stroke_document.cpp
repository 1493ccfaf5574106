#include "ink/stroke_document.h"

#include "base/revision.h"

namespace zevo::ink {

const StrokeSample* Stroke::FirstSample() {
  cursor_ = 0;
  cursor_set_ = !samples.empty();
  return cursor_set_ ? &samples[0] : nullptr;
}

const StrokeSample* Stroke::NextSample() {
  if (!cursor_set_) return nullptr;
  if (cursor_ + 1 >= samples.size()) {
    cursor_set_ = false;
    cursor_ = samples.size();
    return nullptr;
  }
  ++cursor_;
  return &samples[cursor_];
}

StrokeDocument::StrokeDocument(int paper_width, int paper_height)
    : revision_(base::NextRevision()), paper_width_(paper_width), paper_height_(paper_height) {}

void StrokeDocument::Changed(std::size_t from) {
  revision_ = base::NextRevision();
  changed_.resize(entries_.size());
  for (std::size_t i = from; i < changed_.size(); ++i) changed_[i] = revision_;
}

void StrokeDocument::ReleaseAll() {
  entries_.clear();
  Changed(0);
  position_ = 0;
  stroke_open_ = false;
  open_stroke_ = nullptr;
  background_.reset();
  background_a_ = background_b_ = 0;
}

void StrokeDocument::Clear() {
  ReleaseAll();
  byte_size = 0;
  author.fill(0);
  password.fill(0);
  protection = 0xFFFFFFFFu;
  grid[0] = 0;
}

void StrokeDocument::Reset(int paper_width, int paper_height) {
  Clear();
  paper_width_ = paper_width;
  paper_height_ = paper_height;
}

void StrokeDocument::LinkEntry(std::unique_ptr<Stroke> entry) {
  if (position_ > 0) {
    // Writing after a step back discards the entries after the current one.
    entries_.resize(std::size_t(position_));
  } else if (!entries_.empty()) {
    // Writing at position 0 starts a fresh sheet; the identity, protection and grid stay.
    entries_.clear();
    background_.reset();
    background_a_ = background_b_ = 0;
  }
  entries_.push_back(std::move(entry));
  Changed(entries_.size() - 1);
  position_ = int(entries_.size());
}

void StrokeDocument::AddSample(float x, float y, float radius) {
  if (stroke_open_ && open_stroke_ != nullptr) {
    open_stroke_->samples.push_back({x, y, radius});
    // The open stroke is the last entry unless the position moved since it was opened.
    std::size_t i = entries_.size();
    while (i > 0 && entries_[i - 1].get() != open_stroke_) --i;
    Changed(i > 0 ? i - 1 : 0);
    if (radius == 0.0f) {
      stroke_open_ = false;
      open_stroke_ = nullptr;
    }
    return;
  }
  auto entry = std::make_unique<Stroke>();
  entry->kind = StrokeKind::Ink;
  entry->value = ink_color_;
  entry->samples.push_back({x, y, radius});
  open_stroke_ = entry.get();
  // A first sample of radius 0 does not close the stroke it opens.
  stroke_open_ = true;
  LinkEntry(std::move(entry));
}

void StrokeDocument::AddPicture(std::int32_t x, std::int32_t y,
                                std::unique_ptr<gfx::Bitmap24> picture) {
  auto entry = std::make_unique<Stroke>();
  entry->kind = StrokeKind::Picture;
  entry->value = entry_attribute_;
  entry->px = x;
  entry->py = y;
  entry->bitmap = std::move(picture);
  stroke_open_ = false;
  open_stroke_ = nullptr;
  LinkEntry(std::move(entry));
}

void StrokeDocument::AddStampEntry(std::unique_ptr<gfx::Bitmap24> bitmap, float x, float y,
                                   float width, float height) {
  auto entry = std::make_unique<Stroke>();
  entry->kind = StrokeKind::Stamp;
  entry->value = entry_attribute_;
  entry->x = x;
  entry->y = y;
  entry->width = width;
  entry->height = height;
  entry->bitmap = std::move(bitmap);
  stroke_open_ = false;
  open_stroke_ = nullptr;
  LinkEntry(std::move(entry));
}

void StrokeDocument::AddFill(std::uint32_t color, float x, float y) {
  auto entry = std::make_unique<Stroke>();
  entry->kind = StrokeKind::Fill;
  entry->value = color;
  entry->x = x;
  entry->y = y;
  stroke_open_ = false;
  open_stroke_ = nullptr;
  LinkEntry(std::move(entry));
}

void StrokeDocument::SetBackground(const gfx::Bitmap24* bitmap, std::int32_t a, std::int32_t b) {
  background_ = bitmap ? std::make_unique<gfx::Bitmap24>(*bitmap) : nullptr;
  background_a_ = a;
  background_b_ = b;
}

void StrokeDocument::AdoptBackground(std::unique_ptr<gfx::Bitmap24> bitmap, std::int32_t a,
                                     std::int32_t b) {
  background_ = std::move(bitmap);
  background_a_ = a;
  background_b_ = b;
}

Stroke* StrokeDocument::GotoHead() {
  if (entries_.empty()) return nullptr;
  position_ = 1;
  return entries_[0].get();
}

Stroke* StrokeDocument::Current() {
  return position_ > 0 ? entries_[std::size_t(position_ - 1)].get() : nullptr;
}

Stroke* StrokeDocument::StepBack() {
  if (position_ == 0) return nullptr;
  --position_;
  return Current();
}

Stroke* StrokeDocument::StepForward() {
  if (position_ >= Count()) return nullptr;
  ++position_;
  return Current();
}

Stroke* StrokeDocument::EntryAt(int index, bool make_current) {
  if (index < 0 || index > Count()) return nullptr;
  if (make_current) position_ = index < Count() ? index + 1 : 0;
  return index < Count() ? entries_[std::size_t(index)].get() : nullptr;
}

Stroke* StrokeDocument::Entry(int index) {
  return index >= 0 && index < Count() ? entries_[std::size_t(index)].get() : nullptr;
}

const Stroke* StrokeDocument::Entry(int index) const {
  return index >= 0 && index < Count() ? entries_[std::size_t(index)].get() : nullptr;
}

}  // namespace zevo::ink
