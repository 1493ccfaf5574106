#pragma once

#include <string>

#include "gfx/bitmap24.h"

namespace zevo::workspace {

// The main window's components are plain data: the Qt layer shows them as they stand.

// An image control: its picture, its place in its parent and whether it is shown.
struct ImageControl {
  gfx::Bitmap24 picture;
  int left = 0;
  int top = 0;
  bool visible = true;

  int Width() const { return picture.Width(); }
  int Height() const { return picture.Height(); }
};

// An image shown stretched to a size of its own (the seal being carried over the page).
struct StretchedImage {
  gfx::Bitmap24 picture;
  int left = 0;
  int top = 0;
  int width = 105;
  int height = 105;
  bool visible = false;

  gfx::Rect Bounds() const { return {left, top, left + width, top + height}; }
};

// Where an image that another part owns is shown: its place in its parent and visibility.
struct ImagePlace {
  int left = 0;
  int top = 0;
  bool visible = true;
};

// A panel: place, size, visibility.
struct PanelControl {
  int left = 0;
  int top = 0;
  int width = 0;
  int height = 0;
  bool visible = true;

  gfx::Rect Bounds() const { return {left, top, left + width, top + height}; }
  bool Shows(int x, int y) const { return visible && Bounds().Contains(x, y); }
};

// The progress display of long redraws.
struct ProgressState {
  PanelControl panel{0, 0, 425, 77, false};
  std::string text;
  int position = 0;
  int max = 100;
};

// Everything the Qt layer must bring up to date; the core sets bits, the view takes them.
enum Dirty : unsigned {
  kDirtyImgA = 1u << 0,
  kDirtyImgZoom = 1u << 1,
  kDirtyControlPanel = 1u << 2,
  kDirtyPlayPanel = 1u << 3,
  kDirtyZoomPanel = 1u << 4,
  kDirtyGridPanel = 1u << 5,
  kDirtyLayout = 1u << 6,  // visibility, places, cursor, captions
  kDirtyProgress = 1u << 7,
  kDirtyPalettes = 1u << 8,
  kDirtyImgTmp = 1u << 9,
  kDirtyImgStamp = 1u << 10,  // the carried seal moved, appeared or went
  kDirtyAll = 0xFFFFFFFFu,
};

}  // namespace zevo::workspace
