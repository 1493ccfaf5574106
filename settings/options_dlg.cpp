#include "settings/options_dlg.h"

#include <algorithm>
#include <cmath>
#include <filesystem>

#include "gfx/canvas.h"
#include "platform/paths.h"
#include "settings/app_settings.h"
#include "settings/login_dlg.h"
#include "settings/password_mask.h"
#include "settings/setting_names.h"
#include "settings/settings_store.h"
#include "settings/text_format.h"

namespace zevo::settings {
namespace {

constexpr const char* kFolderNames[TFormCfg::kFolderCount] = {kSkinPath, kStampPath, kSavePath,
                                                              kTexturePath, kImagePath};

constexpr gfx::Color kCurveRed = gfx::Rgb(255, 0, 0);

int Clamp(std::int32_t value, int low, int high) {
  return int(std::clamp<std::int32_t>(value, low, high));
}

std::string FolderShown(const std::string& folder) {
  return folder.empty() ? std::string(TFormCfg::kDefaultFolder) : folder;
}

std::string DefaultFolder(TFormCfg::Folder folder, const platform::ProgramFolders& folders) {
  switch (folder) {
    case TFormCfg::kSkin:
      return DefaultSkinFolder(folders);
    case TFormCfg::kStamp:
      return DefaultStampFolder(folders);
    case TFormCfg::kSave:
      return DefaultSaveFolder(folders);
    case TFormCfg::kTexture:
      return DefaultTextureFolder(folders);
    default:
      return DefaultImageFolder(folders);
  }
}

}  // namespace

std::array<int, 1024> OptionsCurveTable(std::int32_t minimum, std::int32_t maximum,
                                        std::int32_t gamma) {
  std::array<int, 1024> table{};  // below the minimum: 0
  // 64-bit: stored values may be anything, and their difference must not overflow.
  const std::int64_t m = minimum;
  const std::int64_t n = std::int64_t(maximum) - m;
  const double exponent = std::pow(1.002, double(gamma));
  for (std::int64_t i = std::max<std::int64_t>(m, 0); i < 1024 && i - m < n; ++i) {
    const double r = double(i - m);
    const double v =
        gamma != 0 ? std::pow(r / double(n), exponent) * 1023.0 : r * (1023.0 / double(n));
    table[std::size_t(i)] = int(std::clamp(v, 0.0, 1023.0));
  }
  for (std::int64_t i = std::max<std::int64_t>(maximum, 0); i < 1024; ++i)
    table[std::size_t(i)] = 1023;
  return table;
}

int ReplayEntryOf(std::int32_t rate) {
  if (rate == 0 || rate == 1) return 0;
  if (rate >= 2 && rate <= 4) return rate - 1;
  if (rate == 5 || rate == 6) return 4;
  return 5;
}

int ExtensionEntryOf(std::int32_t maximum) {
  if (maximum == 0) return 0;
  for (int i = 1; i < 6; ++i)
    if (maximum <= TFormCfg::kExtensionMaxima[std::size_t(i)]) return i;
  return 6;
}

int TFormCfg::LabelLine(Folder folder) {
  constexpr int kLines[kFolderCount] = {23, 24, 25, 34, 35};
  return kLines[folder];
}

TFormCfg::TFormCfg(platform::SettingsBackend& store, platform::ProgramFolders folders)
    : texts(LoadDialogTexts(DialogTextFile::Options, store, folders)),
      image1(kCurveSize, kCurveSize, gfx::kWhite),
      store_(store),
      folders_(std::move(folders)) {
  ApplyReplayEntries();
  // At creation the skin folder defaults to the program's own, when it has one.
  std::string skin_default = DefaultSkinFolder(folders_);
  std::error_code ec;
  if (!std::filesystem::is_directory(skin_default, ec)) skin_default.clear();
  Read(skin_default);
  Refresh();
}

void TFormCfg::Read(std::string_view skin_default) {
  Values v;
  v.author = IdentityText(ReadSettingText(store_, kAuthor, ""));
  v.password = IdentityText(ReadStoredPassword(store_));
  v.cursor_style = ReadSettingInt(store_, kCursorStyle, 1);
  v.print_scale = ReadSettingInt(store_, kPrintScale, 150);
  v.tablet_reverse = ReadSettingInt(store_, kTabletReverse, 0);
  v.replay_rate = ReadSettingInt(store_, kReplayRate, 3);
  v.ex_ratio = ReadSettingInt(store_, kPenExRatio, 0);
  v.re_ratio = ReadSettingInt(store_, kPenReRatio, 0);
  v.ex_max = ReadSettingInt(store_, kPenExMax, 0);
  v.contour = ReadSettingInt(store_, kPenContour, 1) != 0;
  for (int f = 0; f < kFolderCount; ++f)
    v.folders[std::size_t(f)] =
        ReadSettingText(store_, kFolderNames[f], f == kSkin ? skin_default : "");
  v.prs_min = ReadSettingInt(store_, kTabletPrsMin, 0);
  v.prs_max = ReadSettingInt(store_, kTabletPrsMax, 1023);
  v.prs_gamma = ReadSettingInt(store_, kTabletPrsGamma, 0);
  values = std::move(v);
  ShowAuthor();
}

// The copy in the controls. A stored value outside a bar's range puts the bar at its end but
// stays in the copy as it is until the writer moves the bar.
void TFormCfg::Refresh() {
  DrawCurve();
  mapping_choice = values.tablet_reverse != 0 ? 1 : 0;
  cursor_choice = values.cursor_style == 0 ? 0 : (values.cursor_style == 1 ? 1 : 2);
  print_choice = values.print_scale == 100 ? 0 : (values.print_scale == 150 ? 1 : 2);
  replay_index = ReplayEntryOf(values.replay_rate);
  track_bar1.position = Clamp(values.ex_ratio, 0, kTrackBar1Max);
  ShowRatio();
  track_bar2.position = Clamp(values.prs_min, 0, kTrackBar2Max);
  track_bar2.selection_start = Clamp(values.prs_min, 0, kTrackBar2Max);
  track_bar2.selection_end = Clamp(values.prs_max, 0, kTrackBar2Max);
  track_bar3.position = Clamp(values.prs_gamma, -kTrackBar3Limit, kTrackBar3Limit);
  extension_index = ExtensionEntryOf(values.ex_max);
  for (int f = 0; f < kFolderCount; ++f)
    edits[std::size_t(f)] = FolderShown(values.folders[std::size_t(f)]);
  check_box1 = values.contour;
}

void TFormCfg::DrawCurve() {
  const std::array<int, 1024> table =
      OptionsCurveTable(values.prs_min, values.prs_max, values.prs_gamma);
  gfx::Canvas canvas(image1);
  canvas.brush = {gfx::kWhite, gfx::BrushStyle::Solid};
  canvas.FillRect({0, 0, kCurveSize, kCurveSize});
  canvas.pen = {kCurveRed, 1, gfx::PenMode::Copy};
  canvas.MoveTo(0, kCurveSize - 1);
  for (int i = 0; i < kCurveSize; ++i)
    canvas.LineTo(i, kCurveSize - 1 - table[std::size_t(16 * i)] / 16);
}

void TFormCfg::ShowAuthor() {
  edit6 = values.author.empty() ? std::string(kNoAuthor) : values.author;
}

void TFormCfg::ShowRatio() {
  track_bar1.selection_end = track_bar1.position;
  static_text1 = FormatPercent(values.ex_ratio * 0.02);
}

void TFormCfg::ApplyReplayEntries() {
  replay_entries.assign(texts.Lines().begin() + 16, texts.Lines().begin() + 22);
}

void TFormCfg::FormActivate() {
  Button5Click();
  accepted = false;
}

void TFormCfg::Button5Click() {
  skin_changed = false;
  Read("");
  Refresh();
}

void TFormCfg::RadioButton1Click(int tag) {
  values.tablet_reverse = tag;
  mapping_choice = tag != 0 ? 1 : 0;
}

void TFormCfg::RadioButton5Click(int tag) {
  values.cursor_style = tag;
  cursor_choice = tag == 0 ? 0 : (tag == 1 ? 1 : 2);
}

void TFormCfg::RadioButton8Click(int tag) {
  values.print_scale = tag;
  print_choice = tag == 100 ? 0 : (tag == 150 ? 1 : 2);
}

void TFormCfg::ComboBox1Change(int index) {
  if (index < 0 || index >= int(kReplayRates.size())) return;
  replay_index = index;
  values.replay_rate = kReplayRates[std::size_t(index)];
}

void TFormCfg::ComboBox4Change(int index) {
  if (index < 0 || index >= int(kExtensionMaxima.size())) return;
  extension_index = index;
  values.ex_max = kExtensionMaxima[std::size_t(index)];
}

void TFormCfg::TrackBar1Change(int position) {
  track_bar1.position = Clamp(position, 0, kTrackBar1Max);
  values.ex_ratio = track_bar1.position;
  ShowRatio();
}

void TFormCfg::TrackBar2Change(int position) {
  track_bar2.position = Clamp(position, 0, kTrackBar2Max);
}

void TFormCfg::TrackBar3Change(int position) {
  track_bar3.position = Clamp(position, -kTrackBar3Limit, kTrackBar3Limit);
  values.prs_gamma = track_bar3.position;
  DrawCurve();
}

void TFormCfg::EditChange(Folder folder, std::string_view text) {
  if (folder >= 0 && folder < kFolderCount) edits[std::size_t(folder)] = text;
}

void TFormCfg::Button9Click() {
  const int position = track_bar2.position;
  values.prs_min = position == kTrackBar2Max ? kTrackBar2Max - 1 : position;
  if (values.prs_max < values.prs_min) {
    values.prs_max = values.prs_min + 1;
    track_bar2.selection_end = values.prs_max;
  }
  track_bar2.selection_start = values.prs_min;
  DrawCurve();
}

void TFormCfg::Button10Click() {
  const int position = track_bar2.position;
  values.prs_max = position == 0 ? 1 : position;
  if (values.prs_max < values.prs_min) {
    values.prs_min = values.prs_max - 1;
    track_bar2.selection_start = values.prs_min;
  }
  track_bar2.selection_end = values.prs_max;
  DrawCurve();
}

void TFormCfg::Button11Click() {
  values.prs_min = 0;
  values.prs_max = kTrackBar2Max;
  values.prs_gamma = 0;
  track_bar2 = {0, 0, kTrackBar2Max};
  track_bar3.position = 0;
  DrawCurve();
}

void TFormCfg::ChooseFolder(Folder folder, platform::Ui& ui) {
  const std::string& current = values.folders[std::size_t(folder)];
  const std::string initial = current.empty() ? DefaultFolder(folder, folders_) : current;
  std::optional<std::string> chosen = ui.BrowseFolder(texts[LabelLine(folder)], initial);
  // Cancelled, or nothing with a path: nothing changes.
  if (!chosen || chosen->empty()) return;
  std::string path = std::move(*chosen);
  if (path.back() != platform::kPathSeparator) path += platform::kPathSeparator;
  values.folders[std::size_t(folder)] = path;
  edits[std::size_t(folder)] = path;
  if (folder != kSkin) return;
  // The dialog speaks the new skin's language at once, when its file fits exactly.
  skin_changed = true;
  texts = ReloadOptionTexts(path);
  ApplyReplayEntries();
  replay_index = ReplayEntryOf(values.replay_rate);
}

void TFormCfg::Button12Click(platform::Ui& ui) {
  TLoginDlg login(store_, folders_);
  login.mode = TLoginDlg::kChange;
  ui.ShowModal(login);
  if (!login.confirmed) return;
  values.author = IdentityText(login.author);
  values.password = IdentityText(login.password);
  ShowAuthor();
}

void TFormCfg::Button4Click() {
  WriteSettingText(store_, kAuthor, values.author);
  StorePassword(store_, values.password);
  WriteSettingInt(store_, kCursorStyle, values.cursor_style);
  WriteSettingInt(store_, kPrintScale, values.print_scale);
  WriteSettingInt(store_, kTabletReverse, values.tablet_reverse);
  WriteSettingInt(store_, kReplayRate, values.replay_rate);
  WriteSettingInt(store_, kPenReRatio, values.re_ratio);
  WriteSettingInt(store_, kPenExRatio, values.ex_ratio);
  WriteSettingInt(store_, kPenExMax, values.ex_max);
  WriteSettingInt(store_, kPenContour, values.contour ? 1 : 0);
  WriteSettingInt(store_, kTabletPrsMin, values.prs_min);
  WriteSettingInt(store_, kTabletPrsMax, values.prs_max);
  WriteSettingInt(store_, kTabletPrsGamma, values.prs_gamma);
  for (int f = 0; f < kFolderCount; ++f)
    if (!values.folders[std::size_t(f)].empty())
      WriteSettingText(store_, kFolderNames[f], values.folders[std::size_t(f)]);
  accepted = true;
}

}  // namespace zevo::settings
