#pragma once

#include <algorithm>
#include <array>
#include <cstdint>
#include <memory>
#include <vector>

#include "gfx/bitmap24.h"

namespace zevo::ink {

// Entry kinds; the same codes are the record kinds of the stroke file.
enum class StrokeKind : std::int32_t { Ink = 0, Picture = 1, Stamp = 2, Fill = 3 };

// One pen sample in paper pixels; radius 0 is the pen-up sample that closes a stroke.
struct StrokeSample {
  float x = 0;
  float y = 0;
  float radius = 0;
  friend bool operator==(const StrokeSample&, const StrokeSample&) = default;
};

// One history entry.
class Stroke {
 public:
  StrokeKind kind = StrokeKind::Ink;
  // Ink and Fill: the colour (0x00BBGGRR); Picture and Stamp: the entry attribute.
  std::uint32_t value = 0;

  // Ink: the samples in order.
  std::vector<StrokeSample> samples;
  // Picture: integer position.
  std::int32_t px = 0;
  std::int32_t py = 0;
  // Stamp: the placed rectangle; Fill: the seed point (x, y).
  float x = 0;
  float y = 0;
  float width = 0;
  float height = 0;
  // Picture and Stamp: the owned picture (white is transparent when drawn).
  std::unique_ptr<gfx::Bitmap24> bitmap;

  // Rewinds the sample cursor; the first sample, or nullptr when there is none.
  const StrokeSample* FirstSample();
  // Advances the cursor; nullptr at the end (and when the cursor was never set).
  const StrokeSample* NextSample();
  int SampleCount() const { return int(samples.size()); }

 private:
  std::size_t cursor_ = 0;
  bool cursor_set_ = false;
};

// The in-memory history of one sheet with its single current position.
// Position k (1-based) is the number of entries shown; 0 means none is shown.
class StrokeDocument {
 public:
  static constexpr std::uint32_t kFormatVersion = 0x00010003;
  static constexpr std::size_t kTextSize = 256;
  using Text = std::array<char, kTextSize>;

  StrokeDocument(int paper_width, int paper_height);
  StrokeDocument(const StrokeDocument&) = delete;
  StrokeDocument& operator=(const StrokeDocument&) = delete;

  // Removes entries and background; keeps paper size, ink colour and entry attribute.
  void Clear();
  // Clear, then a new paper size (the page "Clear" command).
  void Reset(int paper_width, int paper_height);

  // Appending. Each truncates the history after the current position (or starts a new
  // chain at position 0) as it links its entry.
  void AddSample(float x, float y, float radius);
  void AddPicture(std::int32_t x, std::int32_t y, std::unique_ptr<gfx::Bitmap24> picture);
  void AddStampEntry(std::unique_ptr<gfx::Bitmap24> bitmap, float x, float y, float width,
                     float height);
  void AddFill(std::uint32_t color, float x, float y);
  // Keeps a copy of the bitmap (nullptr releases the background) with its two placement values.
  void SetBackground(const gfx::Bitmap24* bitmap, std::int32_t a, std::int32_t b);
  void SetInkColor(std::uint32_t color) { ink_color_ = color; }
  void SetEntryAttribute(std::uint32_t value) { entry_attribute_ = value; }

  // Position and traversal: every one of these moves the single current position.
  int Count() const { return int(entries_.size()); }
  int Position() const { return position_; }
  Stroke* GotoHead();
  Stroke* Current();
  Stroke* StepBack();
  Stroke* StepForward();
  Stroke* EntryAt(int index, bool make_current);
  // The first p entries (clamped to the history) shown: entry p-1 current, none at 0.
  void ShowFirst(int p) { position_ = std::clamp(p, 0, Count()); }
  // Read access by 0-based index without moving the position (nullptr out of range).
  Stroke* Entry(int index);
  const Stroke* Entry(int index) const;

  // Every change of the entries takes a new revision number (see base::NextRevision). Whether
  // the first n entries are still those that stood when Revision() was `revision`: none of them
  // changed, replaced or removed since. Constant time, whatever the history's length.
  std::uint64_t Revision() const { return revision_; }
  bool UnchangedSince(int n, std::uint64_t revision) const {
    return n >= 0 && n <= Count() && (n == 0 || changed_[std::size_t(n - 1)] <= revision);
  }

  bool StrokeOpen() const { return stroke_open_; }
  std::uint32_t InkColor() const { return ink_color_; }
  std::uint32_t EntryAttribute() const { return entry_attribute_; }
  int PaperWidth() const { return paper_width_; }
  int PaperHeight() const { return paper_height_; }
  void SetPaperSize(int w, int h) {
    paper_width_ = w;
    paper_height_ = h;
  }

  const gfx::Bitmap24* Background() const { return background_.get(); }
  std::int32_t BackgroundA() const { return background_a_; }
  std::int32_t BackgroundB() const { return background_b_; }
  // For the file reader: takes ownership instead of copying.
  void AdoptBackground(std::unique_ptr<gfx::Bitmap24> bitmap, std::int32_t a, std::int32_t b);

  // Header values carried by the stroke file.
  std::array<char, 4> signature{'Z', 'v', 'r', 'n'};
  std::int32_t byte_size = 0;
  Text author{};
  Text password{};
  std::uint32_t format_version = kFormatVersion;
  std::uint32_t protection = 0xFFFFFFFFu;
  std::array<std::int32_t, 3> grid{0, 0, 0};

 private:
  void LinkEntry(std::unique_ptr<Stroke> entry);
  void ReleaseAll();
  // Entries from index `from` on have changed.
  void Changed(std::size_t from);

  std::vector<std::unique_ptr<Stroke>> entries_;
  // changed_[i]: the latest revision in which any of entries 0..i changed.
  std::vector<std::uint64_t> changed_;
  std::uint64_t revision_;
  int position_ = 0;
  int paper_width_;
  int paper_height_;
  std::uint32_t ink_color_ = 0;
  std::uint32_t entry_attribute_ = 255;
  bool stroke_open_ = false;
  Stroke* open_stroke_ = nullptr;
  std::int32_t background_a_ = 0;
  std::int32_t background_b_ = 0;
  std::unique_ptr<gfx::Bitmap24> background_;
};

}  // namespace zevo::ink
