#include "seals/bg_dialog.h"

#include <utility>

#include "platform/paths.h"
#include "settings/app_settings.h"
#include "settings/dialog_texts.h"
#include "settings/setting_names.h"
#include "settings/settings_store.h"

namespace zevo::seals {

namespace {

std::string WithoutFolder(const std::string& path) {
  const std::size_t slash = path.find_last_of(platform::kPathSeparator);
  return slash == std::string::npos ? path : path.substr(slash + 1);
}

}  // namespace

TBGDialog::TBGDialog(const platform::SettingsBackend& store, platform::ProgramFolders f)
    : folders(std::move(f)), store_(store) {
  skin_folder = settings::DialogSkinFolder(store_, folders);
  ReadFolders();
  const settings::DialogTexts t =
      settings::LoadDialogTextsFrom(settings::DialogTextFile::Background, skin_folder);
  texts_from_file = t.FromFile();
  texts.caption = t[0];
  texts.group_box1 = t[1];
  for (int i = 0; i < 3; ++i) texts.radio_kind[i] = t[2 + i];
  texts.load = t[5];
  texts.label1 = t[6];
  for (int i = 0; i < 4; ++i) texts.radio_fit[i] = t[7 + i];
  texts.ok = t[11];
  texts.cancel = t[12];
}

void TBGDialog::ReadFolders() {
  texture_folder = settings::ReadSettingText(store_, settings::kTexturePath,
                                             settings::DefaultTextureFolder(folders));
  image_folder = settings::ReadSettingText(store_, settings::kImagePath,
                                           settings::DefaultImageFolder(folders));
}

void TBGDialog::FormActivate() {
  ReadFolders();
}

void TBGDialog::SetKind(int kind) {
  selected_kind = kind;
  kind_button = kind;
  page = kind == kKindTexture ? BGPage::kTabSheet1
         : kind == kKindImage ? BGPage::kTabSheet2
                              : BGPage::kNone;
}

void TBGDialog::Pick(platform::Ui& ui, const std::string& folder, std::string& picked,
                     std::string& shown) {
  // OpenDialog1 has no title of its own: the platform's "Open" serves.
  const auto chosen = ui.OpenFileDialog("", kBackgroundFileFilter, folder, "");
  if (!chosen) return;
  picked = *chosen;
  shown = WithoutFolder(picked);
}

void TBGDialog::Button2Click(platform::Ui& ui) {
  Pick(ui, texture_folder, picked_texture_file, static_text2);
}

void TBGDialog::Button1Click(platform::Ui& ui) {
  Pick(ui, image_folder, picked_image_file, static_text1);
}

void TBGDialog::FitButtonClick(int tag) {
  selected_fit = tag;
  fit_button = tag;
}

void TBGDialog::OKBtnClick() {
  committed_kind = selected_kind;
  if (committed_kind == kKindTexture) {
    committed_texture_file = picked_texture_file;
    if (committed_texture_file.empty()) committed_kind = kKindWhite;
  } else if (committed_kind == kKindImage) {
    committed_image_file = picked_image_file;
    committed_transparency = combo_box1_index;
    committed_fit = selected_fit;
    if (committed_image_file.empty()) committed_kind = kKindWhite;
  }
}

void TBGDialog::CancelBtnClick() {
  SetKind(committed_kind);
  // The full stored names, not just the file names the Load buttons show.
  static_text2 = committed_texture_file;
  static_text1 = committed_image_file;
  combo_box1_index = committed_transparency;
  FitButtonClick(committed_fit >= 0 && committed_fit <= 2 ? committed_fit : 3);
}

void TBGDialog::PresetFromFile(int kind, int fit, const std::string& file) {
  if (kind != kKindTexture && kind != kKindImage) return;
  committed_kind = kind;
  SetKind(kind);
  committed_fit = fit;
  combo_box1_index = 0;
  if (kind == kKindTexture) {
    picked_texture_file = file;
    static_text2 = WithoutFolder(file);
    picked_image_file.clear();
    static_text1.clear();
  } else {
    picked_image_file = file;
    static_text1 = WithoutFolder(file);
    picked_texture_file.clear();
    static_text2.clear();
    // Placements beyond the four are placed as left and top.
    FitButtonClick(fit >= 0 && fit <= 2 ? fit : 3);
  }
}

void TBGDialog::PresetWhite() {
  committed_kind = kKindWhite;
  SetKind(kKindWhite);
  committed_fit = 0;
  FitButtonClick(0);
  combo_box1_index = 0;
  picked_texture_file.clear();
  picked_image_file.clear();
  static_text1.clear();
  static_text2.clear();
}

}  // namespace zevo::seals
