#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "files/codec_binding.h"
#include "ink/stroke_document.h"
#include "platform/program_folders.h"
#include "platform/settings_backend.h"
#include "platform/ui.h"
#include "settings/dialog_texts.h"

namespace zevo::files {

// The save options dialog TSaveStkDlg: how many pen samples the file keeps (the sampling
// step) and whether other authors may open or edit it. Made once at start-up; the check boxes
// keep their ticks between showings. The view binds the controls below and calls the handlers.
//
// The size shown is the file's real size: the dialog encodes the history at the chosen step
// (once per step and showing) and keeps the bytes, so that the save that follows writes them
// instead of encoding again.
class TSaveStkDlg : public platform::DialogModel {
 public:
  // Creation: texts from "SaveDlg.txt" in the skin folder when it has at least 8 lines, else
  // the built-in English texts; protection all bits set.
  TSaveStkDlg(const platform::SettingsBackend& store, const platform::ProgramFolders& folders);

  std::string_view FormName() const override { return "TSaveStkDlg"; }

  // ---- Set by the caller before showing ----
  // The history to be saved and how it is to be encoded; none gives a size of 0.
  void SetDocument(ink::StrokeDocument* document, const CodecBinding* codec, std::string password,
                   std::string author);

  // ---- Handlers ----
  // Each showing: the stored author decides whether protection is offered.
  void FormActivate();
  void TrackBar1Change(int position);
  void CheckBox1Click(bool ticked);
  void CheckBox2Click(bool ticked);
  void OKBtnClick();
  void CancelBtnClick() { accepted = false; }

  // ---- Controls, as the view shows them ----
  struct Texts {
    std::string caption, size_format, group_box2, check_box1, check_box2, label1, ok, cancel;
  };
  Texts texts;
  bool texts_from_file = false;
  std::string group_box1;  // the sampling group's caption, with the size
  int track_bar1 = 3;      // 0..3: "25%", "33%", "50%", "100%"
  bool check_box1 = true;  // others may open
  bool check_box2 = true;  // others may edit
  bool check_boxes_enabled = true;
  bool label1_visible = false;  // no author to protect the file with

  // ---- Results ----
  int sampling_step = 1;  // 4 − track bar position
  std::uint32_t protection = 0xFFFFFFFFu;
  bool accepted = false;

  // The encoded file for the accepted step and protection, when the dialog made it; the
  // caller writes these bytes. Empty when it must encode itself.
  std::vector<std::uint8_t> TakeEncoded();

  // The file's size in bytes at step s (1..4), 0 without a document or when it cannot be
  // encoded.
  std::int64_t FileSize(int s);

 private:
  void UpdateSize();
  std::uint32_t ProtectionOfBoxes() const;

  const platform::SettingsBackend& store_;
  ink::StrokeDocument* document_ = nullptr;
  const CodecBinding* codec_ = nullptr;
  std::string password_, author_;
  // The sizes found per step this showing (-1: not yet), and the last file made: only one is
  // kept, as a history can be large.
  std::array<std::int64_t, 4> sizes_{-1, -1, -1, -1};
  struct Made {
    int step = 0;
    std::uint32_t protection = 0;
    std::vector<std::uint8_t> bytes;
  };
  std::optional<Made> made_;
};

// The position labels of TrackBar1.
inline constexpr const char* kSamplingLabels[] = {"25%", "33%", "50%", "100%"};

}  // namespace zevo::files
