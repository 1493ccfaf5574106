#pragma once

#include <optional>
#include <vector>

#include "gfx/bitmap24.h"
#include "gfx/canvas.h"
#include "gfx/flood_region.h"
#include "ink/brush_renderer.h"
#include "ink/stroke_document.h"

namespace zevo::ink {

// The overview is driven at a quarter of paper coordinates, so that its 4x work bitmap is the
// page at paper resolution.
inline constexpr float kOverviewScale = 0.25f;

// The view of the main page: zoom factor z (1, 2, 4, 8) and the paper point (ox, oy) shown at
// the view's top-left corner.
struct PageView {
  float z = 1;
  float ox = 0;
  float oy = 0;
  friend bool operator==(const PageView&, const PageView&) = default;
};

// How one renderer maps the paper coordinates of history entries onto its target: the page
// view, the overview, an exported picture and a printed page each have their own.
class EntryMapping {
 public:
  virtual ~EntryMapping() = default;
  // A sample in target pixels (x, y, radius).
  virtual void Sample(const StrokeSample& s, float& x, float& y, float& r) const = 0;
  // The seed of a flood fill at a paper point, in work pixels.
  virtual gfx::Point FillSeed(float x, float y) const = 0;
  // Where a Picture or Stamp entry's bitmap is stretched to, in work pixels.
  virtual gfx::Rect PictureRect(const Stroke& entry) const = 0;
  virtual gfx::Rect StampRect(const Stroke& entry) const = 0;
  // Draws a picture or seal into that rectangle, white being transparent; a mapping that
  // turns the sheet turns the picture too.
  virtual void StretchPicture(gfx::Canvas& work, const gfx::Bitmap24& picture,
                              const gfx::Rect& to) const {
    work.StretchDrawTransparent(to, picture, gfx::kWhite);
  }
};

// The page view: paper minus the view origin, times the zoom.
class ViewMapping final : public EntryMapping {
 public:
  explicit ViewMapping(PageView v = {}) : v_(v) {}
  void Sample(const StrokeSample& s, float& x, float& y, float& r) const override;
  gfx::Point FillSeed(float x, float y) const override;
  gfx::Rect PictureRect(const Stroke& e) const override;
  gfx::Rect StampRect(const Stroke& e) const override;

 private:
  PageView v_;
};

// The overview: the whole paper at a quarter.
class OverviewMapping final : public EntryMapping {
 public:
  void Sample(const StrokeSample& s, float& x, float& y, float& r) const override;
  gfx::Point FillSeed(float x, float y) const override;
  gfx::Rect PictureRect(const Stroke& e) const override;
  gfx::Rect StampRect(const Stroke& e) const override;
};

// How entries are drawn: in their own colours, or (the trace model) all in one colour with
// only the pen strokes and fills.
struct EntryStyle {
  std::optional<gfx::Color> color;
  bool strokes_and_fills_only = false;
};

// Draws history entries into one renderer's work bitmap and keeps the target rectangle they
// touched, so that a run of entries is averaged into the target once at the end.
class EntryPainter {
 public:
  EntryPainter(BrushRenderer& renderer, const EntryMapping& mapping, EntryStyle style = {})
      : r_(renderer),
        map_(mapping),
        style_(style),
        written_at_start_(renderer.WorkCanvas().PixelsWritten()) {}
  EntryPainter(const EntryPainter&) = delete;
  EntryPainter& operator=(const EntryPainter&) = delete;

  // One entry of any kind; kinds without a drawing draw nothing. The samples are read by
  // index, not with the entry's cursor, so that two painters may walk one entry at once.
  // `next`, the entry drawn after it if the caller knows it, lets a run of fills into one
  // region be painted once.
  void Draw(const Stroke& entry, const Stroke* next = nullptr);
  // Completes the drawing on the work bitmap (a fill held back to join the next one).
  void Finish();
  // Finish, and average what was drawn since the last flush into the target.
  void Flush();

  // Drawing in bands (a renderer that holds a band of rows): every band draws the same entries
  // in the same order between BeginBand and EndBand. Strokes, and runs of a stroke's samples,
  // that cannot reach the band are passed over; their boxes are found in the first band and
  // kept. The work spent counts across all bands against the whole work bitmap, as if drawn at
  // once. EndBand gives the target rectangle drawn on in the band.
  void BeginBand();
  gfx::Rect EndBand();
  // Whether entries were left out because the painter had spent the work it may: a stroke of
  // discs that each cover the page, or fills that each flood most of it, cost the whole page
  // every time, and a hostile file can ask for far more of them than any writer would. Fills
  // may write kFillWorkPerPixel times the work bitmap's pixels, and all drawing together
  // kWorkPerPixel times (a long history written by hand writes a few times each pixel).
  bool EntriesLeftOut() const { return left_out_; }
  // The drawing work spent so far, counted in pixels written.
  std::uint64_t Spent() const {
    return r_.WorkCanvas().PixelsWritten() - written_at_start_ + charged_;
  }
  // How many more pixels may be written before entries are left out.
  std::uint64_t Headroom() const {
    const std::uint64_t allowed = std::uint64_t(kWorkPerPixel) * r_.WorkArea();
    return Spent() < allowed ? allowed - Spent() : 0;
  }
  // Takes on the work a painter of a part of its renderer did on its behalf, and whether it
  // left anything out.
  void Absorb(const EntryPainter& part) {
    charged_ += part.Spent();
    left_out_ = left_out_ || part.left_out_;
  }
  static constexpr std::size_t kFillWorkPerPixel = 128;
  static constexpr std::size_t kWorkPerPixel = 512;

 private:
  void DrawFill(const Stroke& e, gfx::Color color, const Stroke* next);
  void Touch(const gfx::Rect& target_rect) { dirty_ = dirty_.United(target_rect); }
  void TouchWork(const gfx::Rect& work_rect);

  // A stroke's samples in runs of kRun: the work pixels each run's segments (from the sample
  // before the run to its last) can reach, with a margin, and of the whole stroke.
  static constexpr std::size_t kRun = 16;
  struct StrokeBoxes {
    bool known = false;
    gfx::Rect whole;
    std::vector<gfx::Rect> runs;
  };
  const StrokeBoxes& BoxesOf(const Stroke& e, std::size_t index);
  bool MissesBand(const gfx::Rect& work_box) const;

  BrushRenderer& r_;
  const EntryMapping& map_;
  EntryStyle style_;
  gfx::Rect dirty_;
  // A fill not painted yet: the region it paints, and the colour the last fill of the run into
  // that region gives it. A fill whose seed lies in the region, when the region's colour does
  // not join it to a neighbour, paints exactly that region again, so only its colour counts.
  gfx::FloodRegion held_;
  gfx::Color held_color_ = 0;
  bool holding_ = false;
  // Whether the work so far leaves room for more; false (and left_out_) once it does not.
  bool WithinWork(std::size_t per_pixel, std::uint64_t spent);
  std::uint64_t written_at_start_;
  std::uint64_t charged_ = 0;
  // What was spent in the bands before this one, the entry's place in the band and the boxes.
  std::uint64_t spent_before_band_ = 0;
  std::size_t band_index_ = 0;
  std::vector<StrokeBoxes> boxes_;
  std::uint64_t fill_work_ = 0;
  bool left_out_ = false;
};

}  // namespace zevo::ink
