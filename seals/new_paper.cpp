#include "seals/new_paper.h"

#include <memory>
#include <string>
#include <utility>

namespace zevo::seals {

namespace {

// The loaders name the file at the start of most of their errors; the message names it once.
std::string PaperError(const std::string& path, std::string why) {
  const std::string prefix = path + ": ";
  if (why.compare(0, prefix.size(), prefix) == 0) why.erase(0, prefix.size());
  return "The paper cannot be made from \"" + path + "\": " + why;
}

}  // namespace

Result<bool> LoadCommittedPaper(const TBGDialog& dialog, BackgroundState& background) {
  background.Release();
  std::string path;
  int mode = kBackgroundNone;
  if (dialog.committed_kind == kKindTexture && !dialog.committed_texture_file.empty()) {
    path = dialog.committed_texture_file;
    mode = kBackgroundTexture;
  } else if (dialog.committed_kind == kKindImage && !dialog.committed_image_file.empty()) {
    path = dialog.committed_image_file;
    mode = kBackgroundImage;
  }
  if (mode == kBackgroundNone) return true;

  Result<gfx::Bitmap24> loaded = LoadBackgroundFile(path);
  if (!loaded) return Result<bool>::Error(PaperError(path, loaded.ErrorText()));
  auto bitmap = std::make_unique<gfx::Bitmap24>(std::move(loaded).Value());
  if (mode == kBackgroundImage) {
    // Only a freshly loaded image is lightened; a texture never is.
    LightenBackground(*bitmap, dialog.committed_transparency);
    background.fit = dialog.committed_fit;
  }
  background.bitmap = std::move(bitmap);
  background.mode = mode;
  return true;
}

bool NewPaper(TBGDialog& dialog, platform::Ui& ui, SheetPages& sheet, ink::StrokeDocument& document,
              ink::PageView view, base::ProgressDisplay* progress) {
  if (!ui.ShowModal(dialog)) return false;

  const Result<bool> loaded = LoadCommittedPaper(dialog, sheet.background);
  if (sheet.background.mode != kBackgroundNone)
    document.SetBackground(sheet.background.bitmap.get(), sheet.background.mode,
                           sheet.background.fit);
  else
    document.SetBackground(nullptr, 0, 0);
  // The trace model pages are rebuilt over the new paper pages, the grid pages over those.
  sheet.RebuildPaperPages(view, progress);
  if (!loaded) ui.ShowError(loaded.ErrorText());
  return true;
}

}  // namespace zevo::seals
