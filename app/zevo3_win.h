#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "base/result.h"
#include "files/recovery.h"
#include "files/save_stk_dlg.h"
#include "history/history_player.h"
#include "history/navigation.h"
#include "ink/page_views.h"
#include "input/pen_input.h"
#include "output/sheet_layers.h"
#include "platform/program_folders.h"
#include "seals/bg_dialog.h"
#include "seals/sheet_pages.h"
#include "seals/stamp_dlg.h"
#include "settings/app_settings.h"
#include "settings/author_identity.h"
#include "settings/message_texts.h"
#include "settings/options_dlg.h"
#include "workspace/grid_view.h"
#include "workspace/panels.h"
#include "workspace/zoom_view.h"

namespace zevo::platform {
class Ui;
class TextPainter;
class TabletDriver;
class HotKeys;
class LibraryLoader;
class SettingsBackend;
}  // namespace zevo::platform

namespace zevo::files {
class CodecBinding;
}

namespace zevo::app {

// What the operating system gives the main window. None of it is owned.
struct Environment {
  platform::Ui* ui = nullptr;
  platform::TextPainter* text = nullptr;
  platform::TabletDriver* tablet = nullptr;
  platform::HotKeys* hot_keys = nullptr;
  platform::LibraryLoader* loader = nullptr;
  platform::SettingsBackend* settings = nullptr;
  platform::ProgramFolders folders;
  int screen_width = 1024;
  int screen_height = 768;
  std::vector<std::string> arguments;  // the command line without the program name
};

// The main window, free of any toolkit. It composes the parts that each own their state (the
// page views, the history player, the sheet pages, pen input, the panels, settings and
// identity) and exposes the program's handlers by their own names; each handler hands the
// parts it needs to its subsystem's command.
class TZevo3Win {
 public:
  // Construction C1..C30. A failure (codec library, tablet driver, interface texts) is the
  // message to show; the program then ends with a non-zero status.
  static Result<std::unique_ptr<TZevo3Win>> Create(const Environment& env);
  ~TZevo3Win();
  TZevo3Win(const TZevo3Win&) = delete;
  TZevo3Win& operator=(const TZevo3Win&) = delete;

  // Form events.
  // Once after construction: the command line (not read yet) and, without a stroke file on it,
  // the offer to restore the writing an earlier run left unsaved.
  void FormCreate();
  void FormActivate();
  void FormDeactivate();
  void FormResize(int client_width, int client_height);
  // The close-time work: unsaved writing goes to the recovery file. The close is never refused
  // and asks nothing.
  void FormCloseQuery();

  // Timers: the view calls these while the timers are enabled.
  void Timer1Timer();
  // Tells why the settings cannot be read or written, once a run.
  void TellSettingsProblem();
  void Timer2Timer();
  bool timer1_enabled = true;
  bool timer2_enabled = false;

  // Pen input: a tablet packet message for the writing area (number and its two parameters).
  void TabletPanelMessage(std::uint32_t message, std::uint32_t wparam, std::uintptr_t lparam);
  void ImgAMouseMove(int x, int y);
  void ImgTmpClick();
  void HotKey(int id);

  // Commands.
  void WriteClearExecute();
  void WriteCenterCheckExecute();
  void SetCursorStyleExecute(int tag);
  void Button1Click();
  void GotoFirstExecute();
  void GotoPrevExecute();
  void GotoNextExecute();
  void GotoLastExecute();
  void GotoPointExecute(int target);
  void DataPlayExecute();
  void DataStopExecute();
  void ShowControlExecute();
  // The options dialog; after Accept the stored settings are applied again.
  void CallOptionExecute();
  // Paper and background: the dialog, then the new paper under the same history.
  void NewPaperExecute();
  // Rebuilds both views from the blank page up to the current position.
  void FullRedraw();

  // Stroke files (file_commands.cpp).
  // The live history into a stroke file, after the save options dialog.
  void DataSaveExecute();
  // A stroke file's history replaces the sheet's, with its paper, protection and grid.
  void DataOpenExecute();
  // A stroke or sample file becomes the trace model, drawn pale under the writing.
  void OpenWordGNDExecute();
  // The trace model shown or hidden (a hidden model is let go when the pages are rebuilt).
  void TraceToggleExecute();
  // Seals (seal_commands.cpp). The chooser, then the seal carried with the pointer.
  void AddStampExecute();
  // The written marks of the page, cut out as a new seal file in the stamp folder.
  void SaveStampExecute();
  // The pointer over the page while a seal is carried: the seal's centre follows it.
  void CarryStamp(int x, int y);
  // The pointer over the carried seal itself (its own pixels).
  void ImgStampMouseMove(int x, int y);
  // A click on the carried seal presses it: a Stamp entry of the history.
  void ImgStampClick();

  // The sheet as a picture file, at the export size.
  void SavePicExecute();
  // The sheet on one page of the printer the writer picks.
  void PrintPicExecute();
  // What the sheet picture and printing draw: the window's paper, grid, trace model, history.
  output::SheetInputs SheetToRender();
  // The file that holds the paper an opened stroke file carried, so that the background
  // dialog can offer it again.
  std::string TemporaryBackgroundPath() const;

  // Skin and control panel.
  void ControlPanelMouseDown(int x, int y);
  void PlayPanelMouseDown(int x, int y);
  void ImagePWMouseDown(int x, int y);
  void PaletteSwatchClick(int row, int tag);  // ImageB0Click / ImageR0Click / ImageY0Click
  // Zoom panel (workspace/zoom_view.h).
  void ZoomPanelMouseDown(int x, int y);
  // The zoom choices 0 .. 3 (100 % .. 800 %), as the four hidden radio buttons set them.
  void SetZoomExecute(int index);
  void ImgZoomMouseDown(int x, int y, bool shift);
  void ImgZoomMouseMove(int x, int y, bool shift);
  void ImgZoomMouseUp();
  // Grid panel (workspace/grid_view.h).
  void GridShowToggle();
  void GridPanelOpen();
  void GridPanelMouseUp(int x, int y);
  void ImgGridSelectMouseDown(int x, int y);
  void ImgGridSelectMouseMove(int y);
  void ImgGridSelectMouseUp();

  // The left button anywhere in the window (client pixels) but the writing area, which the pen
  // and the mouse write on through the packet path. A press on the overview, the preset list or
  // the grid panel holds the mouse until the release: the moves and the release go there.
  void MouseDown(int x, int y, bool shift = false);
  // Every move of the mouse over the window, the button held or not.
  void MouseMove(int x, int y, bool shift = false);
  void MouseUp(int x, int y);
  // The command a click at (x, y) of a panel runs, with the rules that depend on the state:
  // the trace toggle asks for a model while none is loaded and none is shown.
  workspace::Command CommandAt(workspace::Panel panel, int x, int y) const;
  // What lies under a point of the window.
  workspace::Hit HitTest(int x, int y) const { return workspace::HitTest(panels, x, y); }

  // What the view must bring up to date since the last call.
  unsigned TakeDirty();
  // The rectangles of the window to repaint at once since the last call (the pen's new ink on
  // the page and the overview), besides what TakeDirty says.
  std::vector<gfx::Rect> TakeDirtyRects() { return panels.dirty_area.Take(); }
  void MarkDirty(unsigned bits) { panels.MarkDirty(bits); }
  // Called while a long redraw shows its progress, so that the label is painted at once.
  std::function<void()> repaint_progress_now;
  // Called now and then during work that can be stopped (a replay export): the view paints
  // what waits, holds back every other input, and says whether the writer pressed Esc or
  // clicked to stop.
  std::function<bool()> poll_stop_request;
  // Asks the view to close the window (the control panel's close button).
  std::function<void()> request_close;
  // Moves the mouse pointer to the centre of the screen (after the open hot key).
  std::function<void()> center_pointer;

  // ---- The parts ----
  Environment env;
  settings::AppSettings app_settings;
  settings::AuthorIdentity author;
  settings::MessageTexts messages;
  ink::PageViews views;
  history::HistoryPlayer player;
  seals::SheetPages sheet;
  // Made once at start-up: its last accepted choice stays between showings.
  std::unique_ptr<seals::TBGDialog> bg_dialog;
  std::unique_ptr<files::TSaveStkDlg> save_dlg;
  std::unique_ptr<seals::TStampDlg> stamp_dlg;
  std::unique_ptr<settings::TFormCfg> options_dlg;
  // The titles and filters of the file dialogs, from the interface texts.
  struct FileDialogTexts {
    std::string open_sample_title, open_sample_filter;
    std::string data_open_title, data_open_filter;
    std::string data_save_title, data_save_filter;
    std::string save_pic_title;
  };
  FileDialogTexts file_dialogs;
  // The paper came from an opened stroke file (and is in the temporary background file).
  bool file_background_in_use = false;
  input::PenInput pen;
  workspace::Panels panels;
  workspace::ZoomView zoom;
  workspace::GridView grid_view;
  std::unique_ptr<files::CodecBinding> codec;
  // The live history on the disk while it is not saved, in the user's state folder.
  files::Recovery recovery;
  // Export size and the close-time output of the command line.
  int export_width = ink::kPageWidth;
  int export_height = ink::kPageHeight;
  std::string close_picture_path;
  std::string close_stroke_path;
  // Non-zero once a file the command line asked for could not be written at close: the
  // program's exit status, so that the calling program knows.
  int exit_status = 0;
  bool stamp_dragging = false;

  ink::StrokeDocument& Document() { return player.Document(); }
  const ink::StrokeDocument& Document() const { return player.Document(); }
  history::Navigator Nav() { return {player, views, sheet, progress_.get()}; }

 private:
  // Paints every panel afresh (at start, and after the options) and marks the whole window.
  void RepaintAllPanels();
  explicit TZevo3Win(const Environment& env);
  Result<bool> Construct();
  // Runs a command of a region of the skin.
  void Run(workspace::Command command, int x);
  // After a change of the zoom or of the view origin: the pages and both views anew.
  void ApplyView();
  // The grid shown and Shift not held: the grid a dragged frame snaps to.
  const seals::GridLayout* FrameSnap(bool shift) const;
  workspace::GridPanelView GridPanelParts();
  // The surface that holds the mouse from a press to its release, with its top-left corner in
  // client pixels.
  struct Capture {
    workspace::Surface surface = workspace::Surface::kNone;
    int left = 0, top = 0;
  };
  Capture capture_;
  // After every handler: the player indicator follows the player, the views are repainted.
  void Settle();
  // The pen's new ink, where the page and the overview show it, to be repainted at once.
  void ShowPenChange();
  int StoredReplayRate() const;
  // Asks whether to restore the writing an earlier run left unsaved, and does.
  void OfferRecovery();
  // A recovery file that could not be written is told once; the writing goes on.
  void ShowRecoveryFailure(const std::string& text);
  // C11: at the first start the writer is asked who they are.
  void AskFirstUseIdentity();
  // The message for a stroke file that could not be read, naming the file.
  void ShowReadFailure(int code, const ink::StrokeDocument& d, const std::string& path);
  // The paper an opened file carries (or does not), into the sheet and the background dialog.
  void AdoptFileBackground();
  // Puts a stroke file's history on the sheet with its paper: the open command (with the
  // author check and the grid question) or a file named on the command line. A ReadResult.
  int LoadStrokeFile(const std::string& path, bool as_open_command);
  // The command line, once at start; true when it named a stroke file.
  bool RunCommandLine();
  // The /b switch: an image file as the paper, centred.
  void UseBackgroundFile(const std::string& path);
  // Offers the grid a file recorded; true when it was taken over.
  bool TakeOverFileGrid(const std::array<std::int32_t, 3>& words);

  history::PlayerBar shown_bar_{-1, -1, -1, -1};
  bool stamp_moving_ = false;  // re-entry guard while the carried seal moves
  bool settings_problem_told_ = false;
  std::unique_ptr<base::ProgressDisplay> progress_;
};

}  // namespace zevo::app
