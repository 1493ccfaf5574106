#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "app/commands.h"
#include "app/components.h"
#include "gfx/bitmap24.h"
#include "ink/brush_renderer.h"
#include "ink/pressure_curve.h"
#include "ink/stroke_document.h"
#include "input/tablet_binding.h"
#include "output/progress.h"
#include "seals/background.h"
#include "seals/paper_pages.h"
#include "settings/app_settings.h"
#include "settings/author_identity.h"
#include "settings/message_texts.h"
#include "workspace/grid_layout.h"
#include "workspace/skin.h"

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

namespace zevo::history {
class RedrawCache;
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
  std::string program_folder;  // with a trailing separator
  int screen_width = 1024;
  int screen_height = 768;
  std::vector<std::string> arguments;  // the command line without the program name
};

// The pen state of the packet handler: lives as long as the process.
struct PenState {
  bool down = false;
  float sx = 0, sy = 0, p = 0;     // previous accepted packet
  float bsx = 0, bsy = 0, bp = 0;  // the one before it
  ink::BrushGain gain;
};

// The main window: the whole workspace, free of any toolkit. It owns the shared objects and
// exposes the program's handlers by their own names; each subsystem's commands live in the
// subsystem's folder and work on this state.
class TZevo3Win {
 public:
  // Construction C1..C30. A failure (codec library, tablet driver, interface texts) is the
  // message to show; the program then ends with a non-zero status.
  static Result<std::unique_ptr<TZevo3Win>> Create(const Environment& env);
  ~TZevo3Win();
  TZevo3Win(const TZevo3Win&) = delete;
  TZevo3Win& operator=(const TZevo3Win&) = delete;

  // Form events.
  void FormCreate();  // the command line, once after construction
  void FormActivate();
  void FormDeactivate();
  void FormResize(int client_width, int client_height);
  void FormCloseQuery();  // the close-time work; the close is never refused

  // Timers: the view calls these while the timers are enabled.
  void Timer1Timer();
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
  void GotoPointExecute();
  void DataPlayExecute();
  void DataStopExecute();
  void ShowControlExecute();

  // Skin and control panel.
  void ControlPanelMouseDown(int x, int y);
  void PlayPanelMouseDown(int x, int y);
  void ImagePWMouseDown(int x, int y);
  void PaletteSwatchClick(int row, int tag);  // ImageB0Click / ImageR0Click / ImageY0Click

  // What the view must bring up to date since the last call.
  unsigned TakeDirty() {
    const unsigned d = dirty_;
    dirty_ = 0;
    return d;
  }
  void MarkDirty(unsigned bits) { dirty_ |= bits; }
  // Called while a long redraw shows its progress, so that the label is painted at once.
  std::function<void()> repaint_progress_now;
  // Asks the view to close the window (the control panel's close button).
  std::function<void()> request_close;
  // Moves the mouse pointer to the centre of the screen (after the open hot key).
  std::function<void()> center_pointer;

  // ---- Shared state (the other subsystems work on it) ----
  Environment env;
  Commands commands;

  // The writing area's rectangle on the screen (the window is borderless and maximised).
  gfx::Rect WritingAreaOnScreen() const {
    return {window_left + TabletPanel.left, window_top + TabletPanel.top,
            window_left + TabletPanel.left + TabletPanel.width,
            window_top + TabletPanel.top + TabletPanel.height};
  }
  int window_left = 0;
  int window_top = 0;

  // Components.
  PanelControl TabletPanel;  // the writing area; ImgA, ImgTmp live inside it
  ImageControl ImgA;         // the paper, 1024 x 718
  ImageControl ImgTmp;       // the calibration target, 256 x 256
  PanelControl PlayPanel;    // 52 high, below the writing area
  gfx::Bitmap24 play_panel_canvas;
  PlayerBarState PlayerBar;
  PanelControl ControlPanel;  // 1024 x 130 at (0, 638)
  gfx::Bitmap24 control_panel_canvas;
  std::array<PanelControl, 3> palette_panels;  // PanelBlack, PanelRed, PanelYellow
  std::array<std::vector<ImageControl>, 3> palette_swatches;
  PanelControl PenWPanel;
  ImageControl ImagePW;  // 180 x 315
  PanelControl ZoomPanel;
  gfx::Bitmap24 zoom_panel_canvas;
  ImageControl ImgZoom;  // the overview, 256 x 180
  PanelControl GridPanel;
  gfx::Bitmap24 grid_panel_canvas;
  ProgressState PanelProgress;
  std::string button1_caption = "筆";
  int tablet_panel_cursor = 101;
  int client_width = 1024;
  int client_height = 768;

  // Settings, identity, texts, skin.
  settings::AppSettings app_settings;
  settings::AuthorIdentity author;
  settings::MessageTexts messages;
  workspace::Skin skin;
  float brush_size = 10.0f;
  std::uint32_t ink_color = 0;
  int palette_row = 0;
  int palette_column = 0;
  int tool_mode = 0;  // 0 brush, 1 fill
  int export_width = 1024;
  int export_height = 718;
  std::string close_picture_path;
  std::string close_stroke_path;

  // Documents, renderers, pages.
  std::unique_ptr<ink::StrokeDocument> doc;          // the live history
  std::unique_ptr<ink::StrokeDocument> trace_model;  // the model sheet
  std::unique_ptr<ink::BrushRenderer> view_renderer;
  std::unique_ptr<ink::BrushRenderer> overview_renderer;
  gfx::Bitmap24 paper_page, paper_overview;
  gfx::Bitmap24 trace_page, trace_overview;
  gfx::Bitmap24 grid_page, grid_overview;
  std::unique_ptr<ink::BrushRenderer> trace_page_renderer;
  std::unique_ptr<ink::BrushRenderer> trace_overview_renderer;
  seals::BackgroundState background;

  // Zoom and grid.
  seals::PageView view;  // z, ox, oy
  int zoom_index = 0;
  gfx::Rect zoom_frame{0, 0, 256, 180};
  bool zoom_panel_expanded = true;
  workspace::GridLayout grid;
  bool grid_shown = false;
  bool trace_shown = false;

  // Flags.
  bool pen_input_enabled = true;
  bool repaint_pending = false;
  bool replaying = false;
  bool stamp_dragging = false;
  bool view_only = false;
  bool partial_stroke = false;
  int target_position = 0;
  int samples_per_tick = 3;
  ink::Stroke* replayed_stroke = nullptr;
  // Navigation's copy of the renderers part way through the history (history/redraw_cache.h).
  std::shared_ptr<history::RedrawCache> redraw_cache;

  // Pen input.
  input::TabletBinding tablet;
  PenState pen;
  std::unique_ptr<files::CodecBinding> codec;

  // Progress display bound to PanelProgress and the message list.
  output::ProgressDisplay& Progress() { return *progress_; }

 private:
  explicit TZevo3Win(const Environment& env);
  Result<bool> Construct();
  unsigned dirty_ = kDirtyAll;
  std::unique_ptr<output::ProgressDisplay> progress_;
};

}  // namespace zevo::app
