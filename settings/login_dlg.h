#pragma once

#include <string>
#include <string_view>

#include "platform/program_folders.h"
#include "platform/settings_backend.h"
#include "platform/ui.h"
#include "settings/dialog_texts.h"

namespace zevo::settings {

// The author dialog TLoginDlg: enters the writer's name and password. In first-use mode (0) a
// confirmed OK stores both; in change mode (1) it only hands them to the caller (the options
// dialog stores them on Accept). Each use makes a fresh dialog.
//
// The password box shows a placeholder until a key reaches it; only then are the password and
// its check replaced, so that OK without touching the box keeps the stored password. The view
// calls the Enter/Exit handlers as the focus moves and the key handlers for every key that
// reaches a box (not those that move the focus away).
class TLoginDlg : public platform::DialogModel {
 public:
  static constexpr int kFirstUse = 0;
  static constexpr int kChange = 1;

  // Creation: texts from "LoginDlg.txt" in the skin folder when it has at least 13 lines, else
  // the built-in English texts; first-use mode.
  TLoginDlg(platform::SettingsBackend& store, const platform::ProgramFolders& folders);

  std::string_view FormName() const override { return "TLoginDlg"; }

  int mode = kFirstUse;

  // ---- Handlers ----
  void FormActivate();
  void Edit1Change(std::string_view text) { edit1 = text; }
  void Edit2Enter();
  // A key reached the password box; the box's text as it is afterwards.
  void Edit2KeyDown();
  void Edit2Change(std::string_view text) { edit2 = text; }
  void Edit2Exit();
  void Edit3Enter();
  void Edit3KeyDown();
  void Edit3Change(std::string_view text) { edit3 = text; }
  void Edit3Exit();
  // True when the dialog closes; otherwise a message was shown and it stays open. A box that
  // still has the focus (Enter pressed in it) gives its text first, as if it was left.
  bool OKBtnClick(platform::Ui& ui);
  void CancelBtnClick() { confirmed = false; }

  // ---- Controls, as the view shows them ----
  DialogTexts texts;
  std::string memo2;  // the information box
  std::string edit1;  // author
  std::string edit2;  // password box
  bool edit2_masked = false;
  std::string edit3;  // check box
  bool edit3_masked = false;
  bool edit3_enabled = false;
  enum class Focus { kNone, kEdit1, kEdit2, kEdit3 };
  Focus focus = Focus::kNone;

  // ---- Results ----
  bool confirmed = false;
  std::string author;    // at most 255 bytes
  std::string password;  // at most 255 bytes; the check must equal it

 private:
  platform::SettingsBackend& store_;
  std::string check_;
};

// A name or password as the identity keeps it: at most 255 bytes, cut between characters, and
// ending at a zero byte.
std::string IdentityText(std::string_view text);

}  // namespace zevo::settings
