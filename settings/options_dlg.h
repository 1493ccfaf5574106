#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "gfx/bitmap24.h"
#include "platform/program_folders.h"
#include "platform/settings_backend.h"
#include "platform/ui.h"
#include "settings/dialog_texts.h"

namespace zevo::settings {

// The pressure table the options dialog draws: entries below `minimum` are 0, entries from
// `maximum` on are 1023, and between them (r / n) ^ (1.002 ^ gamma) x 1023, or r x (1023 / n)
// when gamma is 0, truncated, with n = maximum - minimum. Parts of the range outside 0..1023
// fall off the table.
std::array<int, 1024> OptionsCurveTable(std::int32_t minimum, std::int32_t maximum,
                                        std::int32_t gamma);

// The options dialog TFormCfg. It works on its own copy of the stored settings: every showing
// reloads the copy (FormActivate), the controls change only the copy, Accept writes it back and
// Exit leaves the store as it was. The window reads `accepted` and `skin_changed` afterwards.
//
// The view shows the control state below and reports every event to the handler of the same
// name; after a handler it shows the state again (the texts too: choosing a skin folder
// replaces them). Setting a control from the model is no event.
class TFormCfg : public platform::DialogModel {
 public:
  // The folder rows, in the order of their boxes Edit1..Edit5.
  enum Folder { kSkin, kStamp, kSave, kTexture, kImage, kFolderCount };

  // The entries of the two lists and the value each stands for.
  static constexpr std::array<std::int32_t, 6> kReplayRates{1, 2, 3, 4, 6, 10};
  static constexpr std::array<std::int32_t, 7> kExtensionMaxima{0, 25, 50, 75, 100, 150, 200};
  static constexpr std::array<const char*, 7> kExtensionEntries{"0 %",   "25 %",  "50 %", "75 %",
                                                                "100 %", "150 %", "200 %"};

  // The ranges of the three bars.
  static constexpr int kTrackBar1Max = 100;     // extension ratio, 0..100
  static constexpr int kTrackBar2Max = 1023;    // pressure range, 0..1023
  static constexpr int kTrackBar3Limit = 1024;  // gamma, -1024..1024
  static constexpr int kCurveSize = 64;

  // What the author box shows when no author is stored.
  static constexpr char kNoAuthor[] = "Unregisted";
  // What a folder box shows for a folder that is not set.
  static constexpr char kDefaultFolder[] = "<default>";

  // Made once at program start: the texts of "Option01.txt" (at least 48 lines) from the skin
  // folder or the built-in list, then the stored settings with the dialog's defaults, shown.
  TFormCfg(platform::SettingsBackend& store, platform::ProgramFolders folders);

  std::string_view FormName() const override { return "TFormCfg"; }

  // ---- The copy of the settings ----
  struct Values {
    std::string author;    // at most 255 bytes
    std::string password;  // plain, at most 255 bytes
    std::int32_t cursor_style = 1;
    std::int32_t print_scale = 150;
    std::int32_t tablet_reverse = 0;
    std::int32_t replay_rate = 3;
    std::int32_t re_ratio = 0;  // carried through unchanged
    std::int32_t ex_ratio = 0;
    std::int32_t ex_max = 0;
    bool contour = true;
    std::int32_t prs_min = 0;
    std::int32_t prs_max = 1023;
    std::int32_t prs_gamma = 0;
    std::array<std::string, kFolderCount> folders;  // empty: not set
  };
  Values values;

  // ---- Results, read by the window after the dialog closed ----
  bool accepted = false;
  bool skin_changed = false;

  // ---- Handlers ----
  // Each showing: Undo, and the dialog is not accepted yet.
  void FormActivate();
  // The mapping choices (tags 0, 1), cursor choices (0, 1, 2) and print choices (100, 150, 200).
  void RadioButton1Click(int tag);
  void RadioButton5Click(int tag);
  void RadioButton8Click(int tag);
  // The entry chosen in the replay list / the extension list; outside the list: nothing.
  void ComboBox1Change(int index);
  void ComboBox4Change(int index);
  void TrackBar1Change(int position);
  // Moving the pressure-range bar only moves it; Min and Max take its position.
  void TrackBar2Change(int position);
  void TrackBar3Change(int position);
  void CheckBox1Click(bool checked) { values.contour = checked; }
  // Typing into a folder box changes the box only; the folder comes from its button.
  void EditChange(Folder folder, std::string_view text);

  // Folder buttons: skin, stamp, save, texture, background.
  void Button1Click(platform::Ui& ui) { ChooseFolder(kSkin, ui); }
  void Button2Click(platform::Ui& ui) { ChooseFolder(kStamp, ui); }
  void Button3Click(platform::Ui& ui) { ChooseFolder(kSave, ui); }
  void Button7Click(platform::Ui& ui) { ChooseFolder(kTexture, ui); }
  void Button8Click(platform::Ui& ui) { ChooseFolder(kImage, ui); }
  void Button9Click();   // Min
  void Button10Click();  // Max
  void Button11Click();  // Default pressure range and gamma
  // Change...: the author dialog in change mode; what it confirms goes into the copy only.
  void Button12Click(platform::Ui& ui);
  // Accept: writes the copy (the folders only when set) and sets accepted; the view closes.
  void Button4Click();
  // Undo: the copy from the store again.
  void Button5Click();
  // Exit: nothing is written; the view closes.
  void Button6Click() { accepted = false; }

  // ---- Controls, as the view shows them ----
  DialogTexts texts;
  // Hidden groups and rows: the mapping group, the skin, texture and background rows.
  static constexpr bool kMappingVisible = false;
  static constexpr std::array<bool, kFolderCount> kFolderRowVisible{false, true, true, false,
                                                                    false};
  int mapping_choice = 0;                   // RadioButton1, RadioButton3
  int cursor_choice = 1;                    // RadioButton5, 6, 7
  int print_choice = 1;                     // RadioButton8, 9, 10
  std::vector<std::string> replay_entries;  // ComboBox1
  int replay_index = 2;
  int extension_index = 0;  // ComboBox4
  struct TrackBar {
    int position = 0;
    int selection_start = 0;
    int selection_end = 0;
  };
  TrackBar track_bar1, track_bar2, track_bar3;
  std::string static_text1;  // the extension ratio, "0.40 %"
  bool check_box1 = true;
  std::array<std::string, kFolderCount> edits;  // Edit1..Edit5
  std::string edit6;                            // the author, read-only
  gfx::Bitmap24 image1;                         // the pressure curve, 64 x 64

  // The text line of a folder row's label.
  static int LabelLine(Folder folder);

 private:
  void Read(std::string_view skin_default);
  void Refresh();
  void DrawCurve();
  void ShowAuthor();
  void ShowRatio();
  void ApplyReplayEntries();
  void ChooseFolder(Folder folder, platform::Ui& ui);

  platform::SettingsBackend& store_;
  platform::ProgramFolders folders_;
};

// The list entries for a stored value: the replay list (0 or 1 the slowest, 2 to 4 their own,
// 5 or 6 "Faster", anything else "Fastest") and the extension list (the first entry at or above
// the value, 0 only for 0, negative values as 25).
int ReplayEntryOf(std::int32_t rate);
int ExtensionEntryOf(std::int32_t maximum);

}  // namespace zevo::settings
