#pragma once

#include <string>
#include <string_view>

#include "platform/program_folders.h"
#include "platform/settings_backend.h"
#include "platform/ui.h"

namespace zevo::seals {

// The kinds of paper the dialog offers (the background modes of background.h).
inline constexpr int kKindWhite = 0;
inline constexpr int kKindTexture = 1;
inline constexpr int kKindImage = 2;

// The option page PageControl1 shows.
enum class BGPage { kNone, kTabSheet1, kTabSheet2 };

// The filter of OpenDialog1.
inline constexpr char kBackgroundFileFilter[] =
    "All Image (*.bmp;*.jpg;*.jpeg)|*.bmp;*.jpg;*.jpeg|Bitmaps (*.bmp)|*.bmp|"
    "JPEG Image File (*.jpg;*.jpeg)|*.jpg;*.jpeg|All File (*.*)|*.*";

// The background style dialog TBGDialog: which paper the writer wants (white, a texture file,
// or an image file with its lightening and fit). Made once at start-up; the values of the last
// OK stay between showings and Cancel returns the controls to them. The view binds the
// controls below and calls the handlers; NewPaper reads the committed values.
class TBGDialog : public platform::DialogModel {
 public:
  // Creation: folders from the settings, texts from "BGDlg.txt" in the skin folder when it
  // has at least 13 lines, else the built-in English texts.
  TBGDialog(const platform::SettingsBackend& store, platform::ProgramFolders folders);

  std::string_view FormName() const override { return "TBGDialog"; }

  // ---- Handlers ----
  // Each showing: the texture and image folders are read again.
  void FormActivate();
  void RadioButton1Click() { SetKind(kKindWhite); }
  void RadioButton2Click() { SetKind(kKindTexture); }
  void RadioButton3Click() { SetKind(kKindImage); }
  // Texture "Load...": the open dialog in the texture folder.
  void Button2Click(platform::Ui& ui);
  // Image "Load...": the open dialog in the image folder.
  void Button1Click(platform::Ui& ui);
  // RadioButton4..RadioButton7, tags 0..3.
  void FitButtonClick(int tag);
  void ComboBox1Change(int index) { combo_box1_index = index; }
  // Accepts the choice; the view closes the dialog with OK afterwards.
  void OKBtnClick();
  // Returns the controls to the last accepted choice; the view closes with Cancel afterwards.
  void CancelBtnClick();

  // ---- Presets by the stroke file commands ----
  // An opened file carried its paper, kept in `file`: a later OK applies that file again (it is
  // already lightened). The committed choice and file names stay as they are.
  void PresetFromFile(int kind, int fit, const std::string& file);
  // The opened file carried none after one that did: white paper, nothing picked.
  void PresetWhite();

  // ---- Controls, as the view shows them ----
  struct Texts {
    std::string caption;        // the window
    std::string group_box1;     // "Background style"
    std::string radio_kind[3];  // RadioButton1..3: "White", "Texture", "Image"
    std::string load;           // Button1 and Button2
    std::string label1;         // "Transparent"
    std::string radio_fit[4];   // RadioButton4..7: "Fit paper", "Full", "Center", "Left && Top"
    std::string ok, cancel;
  };
  Texts texts;
  bool texts_from_file = false;
  int kind_button = kKindWhite;  // the checked one of RadioButton1..3
  BGPage page = BGPage::kNone;
  int fit_button = 0;        // the tag of the checked one of RadioButton4..7
  std::string static_text1;  // the image file shown on TabSheet2
  std::string static_text2;  // the texture file shown on TabSheet1
  int combo_box1_index = 0;  // "0 %", "50 %", "75 %"

  // ---- State ----
  platform::ProgramFolders folders;
  std::string skin_folder;  // empty when the folder does not exist
  std::string texture_folder;
  std::string image_folder;
  int committed_kind = kKindWhite;
  int selected_kind = kKindWhite;
  int selected_fit = 0;
  std::string picked_texture_file, picked_image_file;
  std::string committed_texture_file, committed_image_file;
  int committed_fit = 0;
  int committed_transparency = 0;

 private:
  void SetKind(int kind);
  void ReadFolders();
  // The open dialog in `folder`; the chosen file becomes `picked` and `shown` its name.
  void Pick(platform::Ui& ui, const std::string& folder, std::string& picked, std::string& shown);

  const platform::SettingsBackend& store_;
};

// The three items of ComboBox1.
inline constexpr const char* kTransparencyItems[] = {"0 %", "50 %", "75 %"};

}  // namespace zevo::seals
