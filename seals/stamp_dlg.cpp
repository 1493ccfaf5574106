#include "seals/stamp_dlg.h"

#include <algorithm>
#include <filesystem>
#include <system_error>
#include <utility>

#include "gfx/bitmap_turn.h"
#include "gfx/bmp_file.h"
#include "settings/app_settings.h"
#include "settings/setting_names.h"
#include "settings/settings_store.h"
#include "settings/startup_file.h"

namespace zevo::seals {

namespace {

constexpr gfx::Color kSealRed = gfx::Rgb(200, 30, 24);

// Thumbnails are laid in rows from (4, 4), 6 pixels apart; a row ends where the next one would
// pass this right edge.
constexpr int kThumbnailMargin = 4;
constexpr int kThumbnailGap = 6;
constexpr int kThumbnailRowEnd = 351;

// The hot areas of the skin, for x in kHotLeft..kHotRight (both included).
constexpr int kHotLeft = 389;
constexpr int kHotRight = 478;
struct HotRows {
  int top, bottom;  // both included
};
constexpr HotRows kChooseArea{150, 192};
constexpr HotRows kCloseArea{193, 236};
constexpr HotRows kLargerArea{320, 357};
constexpr HotRows kSmallerArea{358, 395};

bool In(int y, HotRows rows) {
  return y >= rows.top && y <= rows.bottom;
}

bool EndsWithBmp(const std::string& name) {
  constexpr std::string_view kExtension = ".BMP";
  if (name.size() < kExtension.size()) return false;
  const std::string_view tail = std::string_view(name).substr(name.size() - kExtension.size());
  for (std::size_t i = 0; i < kExtension.size(); ++i) {
    char c = tail[i];
    if (c >= 'a' && c <= 'z') c = char(c - 'a' + 'A');
    if (c != kExtension[i]) return false;
  }
  return true;
}

// Adds the BMP files of `folder` to `files` (name, path), sorted by name: the platform's order
// means nothing, and the error list follows the same. False when the folder cannot be read.
bool ListStamps(const std::string& folder, std::vector<std::pair<std::string, std::string>>& files,
                std::vector<TStampDlg::LoadError>& errors) {
  namespace fs = std::filesystem;
  std::error_code ec;
  fs::directory_iterator it(fs::path(folder), ec);
  if (ec) {
    errors.push_back({folder, "the stamp folder cannot be read: " + ec.message()});
    return false;
  }
  const std::size_t first = files.size();
  for (; it != fs::directory_iterator(); it.increment(ec)) {
    std::error_code kind_error;
    if (it->is_directory(kind_error)) continue;
    const std::string name = it->path().filename().string();
    if (EndsWithBmp(name)) files.emplace_back(name, it->path().string());
  }
  if (ec)
    errors.push_back({folder, "the stamp folder could not be read to its end: " + ec.message()});
  std::sort(files.begin() + std::ptrdiff_t(first), files.end());
  return true;
}

// The loader's messages begin with the path; the error list names the file on its own.
std::string WithoutPathPrefix(const std::string& reason, const std::string& path) {
  const std::string prefix = path + ": ";
  if (reason.compare(0, prefix.size(), prefix) == 0) return reason.substr(prefix.size());
  return reason;
}

// side × (the other / longer) with the ratio as a 32-bit float and the product exact, truncated.
int Scaled(int other, int side, int longer) {
  const float ratio = float(side) / float(longer);
  return int(double(other) * double(ratio));
}

// A plain mark in place of the character: a white frame on the left with a bar and a hook on
// the right, so that each turn looks different.
void DrawPlainMark(gfx::Bitmap24& seal) {
  seal.FillRect({18, 18, 38, 22}, gfx::kWhite);
  seal.FillRect({18, 18, 22, 60}, gfx::kWhite);
  seal.FillRect({18, 38, 36, 42}, gfx::kWhite);
  seal.FillRect({18, 56, 38, 60}, gfx::kWhite);
  seal.FillRect({44, 18, 62, 22}, gfx::kWhite);
  seal.FillRect({58, 18, 62, 50}, gfx::kWhite);
  seal.FillRect({44, 18, 48, 64}, gfx::kWhite);
}

}  // namespace

ScaledSize ScaleLongerSide(int width, int height, int side) {
  if (width <= 0 || height <= 0) return {};
  if (width > height) return {side, Scaled(height, side, width)};
  return {Scaled(width, side, height), side};
}

std::array<gfx::Bitmap24, 4> DrawTurnIndicators(platform::TextPainter* text) {
  gfx::Bitmap24 seal(kIndicatorSide, kIndicatorSide, gfx::kWhite);
  // A red square with a thin white line inside its edge, as a seal prints.
  seal.FillRect({4, 4, kIndicatorSide - 4, kIndicatorSide - 4}, kSealRed);
  seal.FillRect({8, 8, kIndicatorSide - 8, 10}, gfx::kWhite);
  seal.FillRect({8, kIndicatorSide - 10, kIndicatorSide - 8, kIndicatorSide - 8}, gfx::kWhite);
  seal.FillRect({8, 8, 10, kIndicatorSide - 8}, gfx::kWhite);
  seal.FillRect({kIndicatorSide - 10, 8, kIndicatorSide - 8, kIndicatorSide - 8}, gfx::kWhite);
  if (text != nullptr) {
    platform::TextStyle style;
    style.color = gfx::kWhite;
    style.bold = true;
    style.pixel_size = 50;
    const std::string character = "印";
    const platform::TextSize size = text->MeasureText(character, style);
    text->DrawText(seal, (kIndicatorSide - size.width) / 2, (kIndicatorSide - size.height) / 2,
                   character, style);
  } else {
    DrawPlainMark(seal);
  }
  std::array<gfx::Bitmap24, 4> turned;
  turned[1] = gfx::TurnQuarterCounterClockwise(seal);
  turned[2] = gfx::TurnHalf(seal);
  turned[3] = gfx::TurnQuarterClockwise(seal);
  turned[0] = std::move(seal);
  return turned;
}

Result<std::unique_ptr<TStampDlg>> TStampDlg::Create(platform::SettingsBackend& store,
                                                     const platform::ProgramFolders& folders,
                                                     platform::TextPainter* text) {
  std::unique_ptr<TStampDlg> d(new TStampDlg(store));
  d->folders = folders;
  d->stamp_folder =
      settings::ReadSettingText(store, settings::kStampPath, settings::DefaultStampFolder(folders));
  d->skin_folder =
      settings::ReadSettingText(store, settings::kSkinPath, settings::DefaultSkinFolder(folders));
  const settings::StartupOptions startup = settings::ReadStartupFile(folders.program);
  if (startup.stamp_folder) {
    d->stamp_folder = *startup.stamp_folder;
    settings::WriteSettingText(store, settings::kStampPath, d->stamp_folder);
  }
  if (startup.skin_folder) {
    d->skin_folder = *startup.skin_folder;
    settings::WriteSettingText(store, settings::kSkinPath, d->skin_folder);
  }

  Result<gfx::Bitmap24> skin = gfx::LoadBmpFile(d->skin_folder + kStampSkinFile);
  if (!skin) {
    return Result<std::unique_ptr<TStampDlg>>::Error(
        "The stamp chooser's skin picture " + std::string(kStampSkinFile) +
        " cannot be loaded from the skin folder " + d->skin_folder + ": " + skin.ErrorText());
  }
  d->skin = std::move(skin).Value();
  d->indicators = DrawTurnIndicators(text);
  return d;
}

void TStampDlg::ReadStampFolder() {
  stamp_folder = settings::ReadSettingText(store_, settings::kStampPath,
                                           settings::DefaultStampFolder(folders));
}

void TStampDlg::FormActivate() {
  ReadStampFolder();
  closed = false;
  thumbnails.clear();
  errors.clear();

  // The writer's own seals, then the shipped ones of an installed program.
  settings::MakeUserFolder(folders, stamp_folder);
  std::vector<std::pair<std::string, std::string>> files;  // name, path
  if (!ListStamps(stamp_folder, files, errors)) return;
  const std::string shipped = settings::ShippedStampFolder(folders);
  if (!shipped.empty() && shipped != stamp_folder) ListStamps(shipped, files, errors);

  int left = kThumbnailMargin, top = kThumbnailMargin, row_height = 0;
  for (auto& [name, path] : files) {
    Result<gfx::Bitmap24> picture = gfx::LoadBmpFile(path);
    if (!picture) {
      errors.push_back({name, WithoutPathPrefix(picture.ErrorText(), path)});
      continue;
    }
    Thumbnail t;
    t.path = std::move(path);
    t.picture = std::move(picture).Value();
    const ScaledSize size = ScaleLongerSide(t.picture.Width(), t.picture.Height(), kThumbnailSide);
    t.width = size.width;
    t.height = size.height;
    if (left != kThumbnailMargin && kThumbnailRowEnd < t.width + left) {
      left = kThumbnailMargin;
      top += row_height + kThumbnailGap;
      row_height = 0;
    }
    t.left = left;
    t.top = top;
    row_height = std::max(row_height, t.height);
    left += t.width + kThumbnailGap;
    thumbnails.push_back(std::move(t));
  }
  if (!preview && !thumbnails.empty()) ThumbnailClick(0);
}

void TStampDlg::ThumbnailClick(int index) {
  if (index < 0 || std::size_t(index) >= thumbnails.size()) return;
  preview = Preview{thumbnails[std::size_t(index)].picture, 0, 0};
  SizePreview();
}

void TStampDlg::SizePreview() {
  if (!preview) return;
  const int w = preview->picture.Width();
  const int h = preview->picture.Height();
  if (w > h) {
    preview->width = preview_size;
    preview->height = Scaled(h, preview_size, w);
  } else {
    preview->height = preview_size;
    preview->width = Scaled(w, preview_size, h);
  }
}

void TStampDlg::PreviewClick() {
  if (!preview) return;
  Choose();
}

void TStampDlg::Choose() {
  const gfx::Bitmap24& picture = preview->picture;
  switch (turn) {
    case 1:
      chosen_ = gfx::TurnQuarterCounterClockwise(picture);
      break;
    case 2:
      chosen_ = gfx::TurnHalf(picture);
      break;
    case 3:
      chosen_ = gfx::TurnQuarterClockwise(picture);
      break;
    default:
      chosen_ = picture;
      break;
  }
  const bool sideways = turn == 1 || turn == 3;
  placed_width = float(sideways ? preview->height : preview->width);
  placed_height = float(sideways ? preview->width : preview->height);
  result = &chosen_;
  closed = true;
}

void TStampDlg::ImageStampClick() {
  turn = (turn + 1) % 4;
}

bool TStampDlg::FormMouseUp(int x, int y) {
  if (x < kHotLeft || x > kHotRight) return false;
  if (In(y, kChooseArea)) {
    if (!preview) return false;
    Choose();
    return true;
  }
  if (In(y, kCloseArea)) {
    closed = true;
    return true;
  }
  if (In(y, kLargerArea)) {
    if (preview_size < kPreviewSizeMax) preview_size += kPreviewSizeStep;
    SizePreview();
  } else if (In(y, kSmallerArea)) {
    if (preview_size > kPreviewSizeMin) preview_size -= kPreviewSizeStep;
    SizePreview();
  }
  return false;
}

std::string TStampDlg::ErrorMessage() const {
  if (errors.empty()) return {};
  std::string text = "Some stamps could not be loaded and are not shown:";
  for (const LoadError& e : errors) text += "\n" + e.name + ": " + e.reason;
  return text;
}

}  // namespace zevo::seals
