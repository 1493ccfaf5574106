// Seals: pressing a chosen seal onto the sheet, and cutting the written marks out as a new one.
#include <memory>

#include "app/zevo3_win.h"
#include "base/truncate.h"
#include "gfx/bmp_file.h"
#include "platform/paths.h"
#include "platform/ui.h"
#include "seals/stamp_dlg.h"

namespace zevo::app {

namespace {

using namespace workspace;

constexpr int kMaxStampNumber = 99999;

// The smallest rectangle (right and bottom exclusive) around every pixel that is not pure
// white; the whole bitmap when every pixel is.
gfx::Rect MarkedRect(const gfx::Bitmap24& b) {
  const int w = b.Width(), h = b.Height();
  auto row_marked = [&](int y) {
    for (int x = 0; x < w; ++x)
      if (b.Pixel(x, y) != gfx::kWhite) return true;
    return false;
  };
  int top = 0;
  while (top < h && !row_marked(top)) ++top;
  if (top == h) return {0, 0, w, h};
  int bottom = h - 1;
  while (bottom > top && !row_marked(bottom)) --bottom;
  int left = w, right = -1;
  for (int y = top; y <= bottom; ++y) {
    for (int x = 0; x < left; ++x)
      if (b.Pixel(x, y) != gfx::kWhite) {
        left = x;
        break;
      }
    for (int x = w - 1; x > right; --x)
      if (b.Pixel(x, y) != gfx::kWhite) {
        right = x;
        break;
      }
  }
  return {left, top, right + 1, bottom + 1};
}

}  // namespace

void TZevo3Win::AddStampExecute() {
  if (env.ui == nullptr || !stamp_dlg) return;
  messages.At(15);
  if (player.view_only && player.bar.position != 0) {
    env.ui->MessageBox(messages[15]);
    return;
  }
  stamp_dlg->result = nullptr;
  env.ui->ShowModal(*stamp_dlg);
  StretchedImage& seal = panels.ImgStamp;
  MarkDirty(kDirtyImgStamp);
  if (stamp_dlg->result == nullptr || stamp_dlg->result->Empty()) {
    stamp_dragging = false;
    seal.visible = false;
    return;
  }
  stamp_dragging = true;
  seal.picture = *stamp_dlg->result;
  seal.width = std::max(1, base::TruncToInt(stamp_dlg->placed_width));
  seal.height = std::max(1, base::TruncToInt(stamp_dlg->placed_height));
  seal.visible = true;
  panels.ControlPanel.visible = panels.ZoomPanel.visible = panels.GridPanel.visible = false;
  MarkDirty(kDirtyLayout);
}

void TZevo3Win::CarryStamp(int x, int y) {
  StretchedImage& seal = panels.ImgStamp;
  seal.left = x - seal.width / 2;
  seal.top = y - seal.height / 2;
  MarkDirty(kDirtyImgStamp);
}

void TZevo3Win::ImgStampMouseMove(int x, int y) {
  if (stamp_moving_) return;
  stamp_moving_ = true;
  StretchedImage& seal = panels.ImgStamp;
  seal.left += x - seal.width / 2;
  seal.top += y - seal.height / 2;
  stamp_moving_ = false;
  MarkDirty(kDirtyImgStamp);
}

void TZevo3Win::ImgStampClick() {
  StretchedImage& seal = panels.ImgStamp;
  if (!seal.visible || seal.picture.Empty()) return;
  const ink::PageView v = views.Transform();
  const float L = float(seal.left), T = float(seal.top);
  const float Wd = float(seal.width), Ht = float(seal.height);
  ink::StrokeDocument& d = Document();
  d.AddStampEntry(std::make_unique<gfx::Bitmap24>(seal.picture), L / v.z + v.ox, T / v.z + v.oy,
                  Wd / v.z, Ht / v.z);
  // Drawn as every redraw draws it: its white is paper, on the screen as on paper.
  if (const ink::Stroke* entry = d.Current()) views.DrawEntry(*entry);
  views.MarkPending();
  player.ShowWhole();
  stamp_dragging = false;
  seal.visible = false;
  pen.enabled = true;
  player.view_only = false;
  MarkDirty(kDirtyImgStamp | kDirtyImgA | kDirtyImgZoom);
  Settle();
}

void TZevo3Win::SaveStampExecute() {
  const gfx::Bitmap24& work = views.ViewRenderer().Work();
  const gfx::Rect r = MarkedRect(work);
  gfx::Bitmap24 seal(r.Width(), r.Height(), gfx::kWhite);
  for (int y = 0; y < r.Height(); ++y)
    for (int x = 0; x < r.Width(); ++x) seal.SetPixel(x, y, work.Pixel(r.left + x, r.top + y));
  settings::MakeUserFolder(env.folders, app_settings.stamp_folder);
  const std::string path =
      platform::FirstFreeNumberedName(app_settings.stamp_folder, "Stamp", ".BMP", kMaxStampNumber);
  std::string error = path.empty() ? "every name up to Stamp99999.BMP is taken" : "";
  if ((path.empty() || !gfx::SaveBmpFile(seal, path, &error)) && env.ui)
    env.ui->ShowError("The seal cannot be saved: " + error);
}

}  // namespace zevo::app
