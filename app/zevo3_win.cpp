#include "app/zevo3_win.h"

#include <filesystem>

#include "files/codec_binding.h"
#include "gfx/canvas.h"
#include "history/navigation.h"
#include "history/replay.h"
#include "input/pen_input.h"
#include "platform/hot_keys.h"
#include "platform/settings_backend.h"
#include "platform/tablet_driver.h"
#include "platform/text_painter.h"
#include "settings/setting_names.h"
#include "settings/settings_store.h"
#include "workspace/control_panel.h"
#include "workspace/grid_pages.h"

namespace zevo::app {

namespace {

constexpr int kPageWidth = 1024;
constexpr int kPageHeight = 718;
constexpr int kOverviewWidth = 256;
constexpr int kOverviewHeight = 180;

// PanelProgress driven by the long redraws, its label from the message list.
class WindowProgress : public output::ProgressDisplay {
 public:
  explicit WindowProgress(TZevo3Win& w) : w_(w) {}
  void Show(int maximum, int message_line) override {
    w_.PanelProgress.max = maximum;
    w_.PanelProgress.text = w_.messages.At(message_line);
    w_.PanelProgress.panel.visible = true;
    w_.MarkDirty(kDirtyProgress);
    if (w_.repaint_progress_now) w_.repaint_progress_now();
  }
  void SetPosition(int position) override {
    w_.PanelProgress.position = position;
    w_.MarkDirty(kDirtyProgress);
    if (w_.repaint_progress_now) w_.repaint_progress_now();
  }
  void Hide() override {
    w_.PanelProgress.panel.visible = false;
    w_.PanelProgress.text.clear();
    w_.PanelProgress.position = w_.PanelProgress.max = 0;
    w_.MarkDirty(kDirtyProgress);
  }

 private:
  TZevo3Win& w_;
};

}  // namespace

TZevo3Win::TZevo3Win(const Environment& e) : env(e) {}

TZevo3Win::~TZevo3Win() {
  // Released in order: tablet, renderers and documents, texts, codec.
  if (env.tablet) {
    env.tablet->Close();
    env.tablet->Unload();
  }
  view_renderer.reset();
  overview_renderer.reset();
  doc.reset();
  trace_page_renderer.reset();
  trace_overview_renderer.reset();
  trace_model.reset();
  codec.reset();
}

Result<std::unique_ptr<TZevo3Win>> TZevo3Win::Create(const Environment& env) {
  std::unique_ptr<TZevo3Win> w(new TZevo3Win(env));
  auto built = w->Construct();
  if (!built) return Result<std::unique_ptr<TZevo3Win>>::Error(built.ErrorText());
  return w;
}

Result<bool> TZevo3Win::Construct() {
  const platform::SettingsBackend& store = *env.settings;
  // C1: the form layout.
  client_width = env.screen_width;
  client_height = env.screen_height;
  TabletPanel = {0, 0, client_width, kPageHeight, true};
  ImgA = {gfx::Bitmap24(kPageWidth, kPageHeight, gfx::kWhite), 0, 0, true};
  ImgTmp = {gfx::Bitmap24(256, 256, gfx::kWhite), 0, 0, false};
  PlayPanel = {0, kPageHeight, client_width, 52, true};
  play_panel_canvas = gfx::Bitmap24(kPageWidth, 52, gfx::kWhite);
  ZoomPanel = {480, 248, 277, 228, false};
  ImgZoom = {gfx::Bitmap24(kOverviewWidth, kOverviewHeight, gfx::kWhite), 11, 23, true};
  GridPanel = {200, 256, 400, 224, false};
  PenWPanel = {0, 0, 180, 315, false};
  ImagePW = {gfx::Bitmap24(180, 315, gfx::kWhite), 0, 0, true};

  // C2: the codec library.
  auto loaded = files::CodecBinding::Load(*env.loader);
  if (!loaded) return Result<bool>::Error(loaded.ErrorText());
  codec = std::make_unique<files::CodecBinding>(std::move(loaded).Value());

  // C3..C6.
  tablet.SetScreen(env.screen_width, env.screen_height);
  view = {};
  zoom_frame = {0, 0, kOverviewWidth, kOverviewHeight};
  background = {};
  zoom_index = 0;
  tool_mode = 0;
  ControlPanel = {0, 638, kPageWidth, 130, false};

  // C8..C12: texts list, settings, identity, pressure curve.
  app_settings.ReadAtStart(store, env.program_folder);
  author = settings::AuthorIdentity::Read(store);
  tablet.reversed = app_settings.tablet_reverse;
  tablet.offset_x = app_settings.offset_x;
  tablet.offset_y = app_settings.offset_y;

  // C13..C15: palettes, brush picker, cursor.
  palette_row = palette_column = 0;
  workspace::BuildPalettes(*this);
  workspace::DrawBrushPicker(*this);
  tablet_panel_cursor = 100 + app_settings.cursor_style;

  // C16..C18: panels and their canvases.
  ControlPanel = {0, 638, kPageWidth, 130, false};
  ZoomPanel = {1022 - 277, 638 - 228, 277, 228, false};
  GridPanel = {1022 - 400, 638 - 224, 400, 224, false};
  control_panel_canvas = gfx::Bitmap24(kPageWidth, 130, gfx::kWhite);
  zoom_panel_canvas = gfx::Bitmap24(277, 228, gfx::kWhite);
  grid_panel_canvas = gfx::Bitmap24(400, 224, gfx::kWhite);

  // C19: the interface texts; the window cannot be made without them.
  messages = settings::MessageTexts::Load(app_settings.skin_folder);
  if (messages.Count() < settings::kMessageLinesToStart)
    return Result<bool>::Error("The interface texts \"" + app_settings.skin_folder +
                               settings::kMessagesFile + "\" are missing or have fewer than " +
                               std::to_string(settings::kMessageLinesToStart) + " lines.");

  // C20: the skin bitmaps.
  skin.Load(app_settings.skin_folder);

  // C23: the calibration target.
  {
    gfx::Canvas c(ImgTmp.picture);
    c.pen = {gfx::Rgb(255, 0, 0), 1, gfx::PenMode::Copy};
    c.brush = {gfx::kWhite, gfx::BrushStyle::Solid};
    c.MoveTo(0, 0);
    c.LineTo(255, 0);
    c.LineTo(255, 255);
    c.LineTo(0, 255);
    c.LineTo(0, 0);
    c.MoveTo(0, 128);
    c.LineTo(256, 128);
    c.MoveTo(128, 0);
    c.LineTo(128, 256);
    if (env.text)
      env.text->DrawText(ImgTmp.picture, 100, 100, messages.At(0), {gfx::kBlack, false, 12});
  }

  // C24: renderers, page images, documents.
  repaint_pending = false;
  brush_size = 10.0f;
  ink_color = 0;
  view_renderer = std::make_unique<ink::BrushRenderer>(ImgA.picture);
  overview_renderer = std::make_unique<ink::BrushRenderer>(ImgZoom.picture);
  view_renderer->ClearWhite();
  overview_renderer->ClearWhite();
  paper_page = trace_page = grid_page = ImgA.picture;
  paper_overview = trace_overview = grid_overview = ImgZoom.picture;
  doc = std::make_unique<ink::StrokeDocument>(ImgA.Width(), ImgA.Height());
  trace_page_renderer = std::make_unique<ink::BrushRenderer>(trace_page);
  trace_overview_renderer = std::make_unique<ink::BrushRenderer>(trace_overview);
  trace_page_renderer->ClearWhite();
  trace_overview_renderer->ClearWhite();
  trace_model = std::make_unique<ink::StrokeDocument>(ImgA.Width(), ImgA.Height());

  // C25, C26: the tablet driver and its context over the writing area.
  std::string error;
  if (!env.tablet || !env.tablet->Load(error))
    return Result<bool>::Error(error.empty() ? "The tablet driver is not available." : error);
  tablet.PrepareContext(env.tablet->DefaultContext());
  const gfx::Rect area = WritingAreaOnScreen();
  tablet.UpdateArea(area.left, area.top, area.right, area.bottom);

  // C27..C29.
  pen_input_enabled = true;
  replaying = stamp_dragging = trace_shown = grid_shown = false;
  zoom_panel_expanded = true;
  grid = workspace::LayoutFromPreset(workspace::kGridPresets[workspace::kInitialGridPreset], true,
                                     true);
  export_width = kPageWidth;
  export_height = kPageHeight;
  ControlPanel.visible = false;
  workspace::BuildGridPages(paper_page, paper_overview, grid, view, grid_page, grid_overview);

  // C30.
  env.tablet->Open(tablet.context);
  view_only = false;

  progress_ = std::make_unique<WindowProgress>(*this);
  workspace::PaintControlPanel(*this);
  workspace::PaintPlayPanel(*this);
  workspace::PaintZoomPanel(*this);
  workspace::PaintGridPanel(*this);
  MarkDirty(kDirtyAll);
  return true;
}

void TZevo3Win::FormCreate() {}

void TZevo3Win::FormActivate() {
  replaying = false;
  stamp_dragging = false;
  ControlPanel.visible = ZoomPanel.visible = GridPanel.visible = false;
  pen_input_enabled = true;
  timer1_enabled = true;
  if (env.hot_keys) env.hot_keys->RegisterProgramHotKeys();
  MarkDirty(kDirtyLayout);
}

void TZevo3Win::FormDeactivate() {
  pen_input_enabled = false;
  timer1_enabled = false;
  if (env.hot_keys) env.hot_keys->UnregisterProgramHotKeys();
}

void TZevo3Win::FormResize(int width, int height) {
  client_width = width;
  client_height = height;
  TabletPanel.width = width;
  PlayPanel.width = width;
  PanelProgress.panel.left = (width - PanelProgress.panel.width) / 2;
  PanelProgress.panel.top = (height - PanelProgress.panel.height) / 2;
  const gfx::Rect a = WritingAreaOnScreen();
  tablet.UpdateArea(a.left, a.top, a.right, a.bottom);
  MarkDirty(kDirtyLayout);
}

void TZevo3Win::FormCloseQuery() {}

void TZevo3Win::Timer1Timer() {
  if (!repaint_pending) return;
  repaint_pending = false;
  MarkDirty(kDirtyImgA | kDirtyImgZoom);
}

void TZevo3Win::Timer2Timer() {
  history::ReplayTick(*this);
}

void TZevo3Win::TabletPanelMessage(std::uint32_t message, std::uint32_t wparam, std::uintptr_t) {
  if (message != platform::WT_PACKET || !env.tablet) return;
  auto packet = env.tablet->ReadPacket(wparam);
  if (!packet) return;
  input::HandlePacket(*this, *packet);
}

void TZevo3Win::ImgAMouseMove(int x, int y) {
  input::MouseOverPage(*this, x, y);
}
void TZevo3Win::ImgTmpClick() {
  input::CalibrationTap(*this);
}

void TZevo3Win::HotKey(int id) {
  switch (id) {
    case 1:
      GotoPrevExecute();
      break;
    case 2:
      GotoNextExecute();
      break;
    case 3:
      if (replaying)
        DataStopExecute();
      else
        DataPlayExecute();
      break;
    case 4:
      GotoLastExecute();
      break;
    case 5:
      if (commands.data_open) {
        commands.data_open();
        if (center_pointer) center_pointer();
      }
      break;
    case 6:
      history::ChangeReplayRate(*this, -1);
      break;
    case 7:
      history::ChangeReplayRate(*this, +1);
      break;
    default:
      break;
  }
}

void TZevo3Win::WriteClearExecute() {
  input::WriteClear(*this);
}
void TZevo3Win::WriteCenterCheckExecute() {
  input::WriteCenterCheck(*this);
}

void TZevo3Win::SetCursorStyleExecute(int tag) {
  tablet_panel_cursor = 100 + tag;
  MarkDirty(kDirtyLayout);
}

void TZevo3Win::Button1Click() {
  tool_mode = tool_mode == 0 ? 1 : 0;
  button1_caption = tool_mode == 0 ? "筆" : "填";
  MarkDirty(kDirtyLayout | kDirtyControlPanel);
}

void TZevo3Win::GotoFirstExecute() {
  history::GotoFirst(*this);
}
void TZevo3Win::GotoPrevExecute() {
  history::GotoPrev(*this);
}
void TZevo3Win::GotoNextExecute() {
  history::GotoNext(*this);
}
void TZevo3Win::GotoLastExecute() {
  history::GotoLast(*this);
}
void TZevo3Win::GotoPointExecute() {
  history::GotoPoint(*this);
}
void TZevo3Win::DataPlayExecute() {
  history::DataPlay(*this);
}
void TZevo3Win::DataStopExecute() {
  history::DataStop(*this);
}
void TZevo3Win::ShowControlExecute() {
  workspace::ShowControl(*this);
}

void TZevo3Win::ControlPanelMouseDown(int x, int y) {
  workspace::ControlPanelMouseDown(*this, x, y);
}
void TZevo3Win::PlayPanelMouseDown(int x, int y) {
  workspace::PlayPanelMouseDown(*this, x, y);
}
void TZevo3Win::ImagePWMouseDown(int x, int y) {
  workspace::ImagePWMouseDown(*this, x, y);
}
void TZevo3Win::PaletteSwatchClick(int row, int tag) {
  workspace::PaletteSwatchClick(*this, row, tag);
}

}  // namespace zevo::app
