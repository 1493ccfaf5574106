#pragma once

// Histories for the navigation and replay tests, written through the real main window.

#include <gtest/gtest.h>

#include <vector>

#include "tests/support/test_window.h"

namespace zevo::history::testing {

// Stroke i of a sheet: a short diagonal stroke in its own cell of a 12 x 8 lattice.
inline void WriteStroke(test::TestWindow& t, int i, gfx::Color color = gfx::kBlack) {
  t.win->pen.ink_color = color;
  const double x = 50 + (i % 12) * 80, y = 50 + ((i / 12) % 8) * 82;
  t.Stroke({{x, y}, {x + 8, y + 5}, {x + 16, y + 12}, {x + 24, y + 20}, {x + 30, y + 28}});
}

inline void WriteStrokes(test::TestWindow& t, int n, gfx::Color color = gfx::kBlack) {
  for (int i = 0; i < n; ++i) WriteStroke(t, i, color);
}

// n ink entries of `samples` samples straight into the document, as an opened file gives them:
// nothing shown, the player's maximum set.
inline void LoadEntries(app::TZevo3Win& w, int n, int samples = 10) {
  for (int i = 0; i < n; ++i) {
    w.Document().SetInkColor(0);
    const float x = 40.0f + float((i * 37) % 900), y = 40.0f + float((i * 53) % 600);
    for (int k = 0; k < samples; ++k)
      w.Document().AddSample(x + 2.0f * float(k), y + float(k), k + 1 == samples ? 0.0f : 4.0f);
  }
  w.player.bar.max = w.Document().Count();
  w.GotoFirstExecute();
}

// The progress panel as a long redraw shows it (the label is repainted at once).
struct ProgressSpy {
  bool shown = false;
  int max = 0;
  std::vector<int> positions;
  void Attach(app::TZevo3Win& w) {
    w.repaint_progress_now = [this, &w] {
      if (w.panels.PanelProgress.panel.visible) {
        shown = true;
        max = w.panels.PanelProgress.max;
        if (w.panels.PanelProgress.position != 0)
          positions.push_back(w.panels.PanelProgress.position);
      }
    };
  }
};

inline bool AllWhite(const gfx::Bitmap24& b) {
  for (int y = 0; y < b.Height(); ++y)
    for (int x = 0; x < b.Width(); ++x)
      if (b.Pixel(x, y) != gfx::kWhite) return false;
  return true;
}

}  // namespace zevo::history::testing
