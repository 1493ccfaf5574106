#pragma once

#include <array>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "base/result.h"
#include "gfx/bitmap24.h"
#include "platform/program_folders.h"
#include "platform/settings_backend.h"
#include "platform/text_painter.h"
#include "platform/ui.h"

namespace zevo::seals {

// The skin picture the chooser is painted with; its buttons are hot areas of it.
inline constexpr char kStampSkinFile[] = "S_Gnd.bmp";
inline constexpr char kStampCaption[] = "選取印章";

// The window's client size and the places of its parts, in client pixels.
inline constexpr int kStampDlgWidth = 488;
inline constexpr int kStampDlgHeight = 427;
inline constexpr gfx::Rect kScrollBox1{13, 38, 13 + 367, 38 + 199};    // the thumbnails
inline constexpr gfx::Rect kScrollBox2{13, 243, 13 + 367, 243 + 169};  // the preview
inline constexpr gfx::Rect kImageStamp{394, 49, 394 + 75, 49 + 75};    // the turn indicator

// Thumbnails: the longer side is this long.
inline constexpr int kThumbnailSide = 50;
// The preview's longer side: starts at 40, steps of 10 between 20 and 150.
inline constexpr int kPreviewSizeStart = 40;
inline constexpr int kPreviewSizeMin = 20;
inline constexpr int kPreviewSizeMax = 150;
inline constexpr int kPreviewSizeStep = 10;
// Where the preview lies in ScrollBox2.
inline constexpr int kPreviewLeft = 8;
inline constexpr int kPreviewTop = 8;
// The side of the four turn indicators.
inline constexpr int kIndicatorSide = 80;

// The seal stamp chooser TStampDlg: thumbnails of every BMP of the stamp folder, a preview of
// the picked one at an adjustable size, and the turn the seal will be placed with. Made once at
// start-up; the turn, the preview size and the preview stay between showings, the thumbnails are
// read again at each. The caller sets `result` to nullptr before each showing and reads it, with
// the placed size, after.
class TStampDlg : public platform::DialogModel {
 public:
  // One stamp file of the folder.
  struct Thumbnail {
    std::string path;
    gfx::Bitmap24 picture;  // full size; the view stretches it
    int left = 0, top = 0;  // in ScrollBox1
    int width = 0, height = 0;
  };
  // The stamp picked for placing, shown at (kPreviewLeft, kPreviewTop) in ScrollBox2.
  struct Preview {
    gfx::Bitmap24 picture;  // full size
    int width = 0, height = 0;
  };
  // A file of the stamp folder that was skipped, or the folder itself when it cannot be listed.
  struct LoadError {
    std::string name;    // the file name (the folder's path for the folder)
    std::string reason;  // why
  };

  // Reads Stamp_Path and Skin_Path (default: the folders "Stamp" and "Skin" of the program
  // folder), then takes "Zevo3.ini" of the program folder: a "Path_Stamp" line sets the stamp
  // folder and writes Stamp_Path, a "Path_Skin" line the skin folder and Skin_Path. Loads
  // S_Gnd.bmp from the skin folder; without it the program cannot start, and the error says so.
  // `text` draws the character on the turn indicators; without one a plain mark stands for it.
  static Result<std::unique_ptr<TStampDlg>> Create(platform::SettingsBackend& store,
                                                   const platform::ProgramFolders& folders,
                                                   platform::TextPainter* text);

  std::string_view FormName() const override { return "TStampDlg"; }

  // ---- Handlers ----
  // Each showing: Stamp_Path is read again and the thumbnails rebuilt from that folder.
  void FormActivate();
  // That thumbnail's stamp becomes the preview, at the preview size.
  void ThumbnailClick(int index);
  // Chooses the preview: `result` points at it, turned; the dialog closes.
  void PreviewClick();
  // The seal turns a quarter counter-clockwise.
  void ImageStampClick();
  // A mouse release at (x, y) of the window: the hot areas of the skin's buttons (choose, close,
  // larger, smaller). True when the dialog closes.
  bool FormMouseUp(int x, int y);

  // ---- Read by the caller ----
  const gfx::Bitmap24* result = nullptr;  // the chosen stamp, owned here until the next choice
  float placed_width = 0, placed_height = 0;
  bool closed = false;  // the dialog should close (a stamp was chosen, or the close area)

  // ---- State the view draws ----
  int turn = 0;  // quarter turns counter-clockwise, 0..3
  int preview_size = kPreviewSizeStart;
  std::vector<Thumbnail> thumbnails;
  std::optional<Preview> preview;
  gfx::Bitmap24 skin;
  std::array<gfx::Bitmap24, 4> indicators;  // the indicator of each turn
  std::vector<LoadError> errors;            // of the last activation

  // The folders as last read.
  platform::ProgramFolders folders;
  std::string skin_folder;
  std::string stamp_folder;

  // The errors of the last activation as one message for the writer; empty without errors.
  std::string ErrorMessage() const;

 private:
  explicit TStampDlg(platform::SettingsBackend& store) : store_(store) {}
  void ReadStampFolder();
  void SizePreview();
  void Choose();

  platform::SettingsBackend& store_;
  gfx::Bitmap24 chosen_;
};

// The thumbnail size of a w x h picture: the longer side becomes `side`, the other scaled with
// it and truncated; a square counts as taller than wide.
struct ScaledSize {
  int width = 0, height = 0;
  friend bool operator==(const ScaledSize&, const ScaledSize&) = default;
};
ScaledSize ScaleLongerSide(int width, int height, int side);

// The four indicators: a red square seal bearing a white 印 (a white mark without a painter),
// turned 0, 1, 2 and 3 quarter turns counter-clockwise.
std::array<gfx::Bitmap24, 4> DrawTurnIndicators(platform::TextPainter* text);

}  // namespace zevo::seals
