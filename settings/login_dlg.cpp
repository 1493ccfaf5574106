#include "settings/login_dlg.h"

#include "platform/utf8.h"
#include "settings/password_mask.h"
#include "settings/setting_names.h"
#include "settings/settings_store.h"

namespace zevo::settings {

std::string IdentityText(std::string_view text) {
  text = text.substr(0, text.find('\0'));
  return std::string(platform::CutAtCharacter(text, kPasswordMaxLength));
}

TLoginDlg::TLoginDlg(platform::SettingsBackend& store, const platform::ProgramFolders& folders)
    : texts(LoadDialogTexts(DialogTextFile::Author, store, folders)), store_(store) {}

void TLoginDlg::FormActivate() {
  if (!memo2.empty()) memo2 += "\n";
  memo2 += texts[mode == kChange ? 12 : 11];
  author = IdentityText(ReadSettingText(store_, kAuthor, ""));
  password = IdentityText(ReadStoredPassword(store_));
  check_ = password;
  edit1 = author;
  edit2 = texts[7];
  edit2_masked = false;
  edit3.clear();
  edit3_enabled = false;
  edit3_masked = false;
  confirmed = false;
  focus = Focus::kEdit1;
}

void TLoginDlg::Edit2Enter() {
  focus = Focus::kEdit2;
  edit2.clear();
}

void TLoginDlg::Edit2KeyDown() {
  edit2_masked = true;
  edit3_enabled = true;
  edit3 = texts[8];
  edit3_masked = false;
  password.clear();
  check_.clear();
}

void TLoginDlg::Edit2Exit() {
  if (focus == Focus::kEdit2) focus = Focus::kNone;
  if (!edit2.empty()) password = IdentityText(edit2);
  edit2 = texts[7];
  edit2_masked = false;
}

void TLoginDlg::Edit3Enter() {
  focus = Focus::kEdit3;
  edit3.clear();
}

void TLoginDlg::Edit3KeyDown() {
  edit3_masked = true;
}

void TLoginDlg::Edit3Exit() {
  if (focus == Focus::kEdit3) focus = Focus::kNone;
  if (!edit3.empty()) check_ = IdentityText(edit3);
  edit3 = texts[8];
  edit3_masked = false;
}

bool TLoginDlg::OKBtnClick(platform::Ui& ui) {
  if (focus == Focus::kEdit2) Edit2Exit();
  if (focus == Focus::kEdit3) Edit3Exit();
  if (edit1.empty()) {
    ui.MessageBox(texts[9]);
    return false;
  }
  if (password != check_) {
    ui.MessageBox(texts[10]);
    return false;
  }
  author = IdentityText(edit1);
  if (mode == kFirstUse) {
    WriteSettingText(store_, kAuthor, author);
    StorePassword(store_, password);
  }
  confirmed = true;
  return true;
}

}  // namespace zevo::settings
