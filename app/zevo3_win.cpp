#include "app/zevo3_win.h"

#include <chrono>
#include <filesystem>
#include <system_error>
#include <thread>
#include <utility>

#include "files/codec_binding.h"
#include "files/stroke_layout.h"
#include "gfx/canvas.h"
#include "history/replay.h"
#include "platform/hot_keys.h"
#include "platform/settings_backend.h"
#include "platform/tablet_driver.h"
#include "platform/text_painter.h"
#include "platform/ui.h"
#include "seals/new_paper.h"
#include "settings/setting_names.h"
#include "settings/settings_store.h"
#include "settings/text_format.h"

namespace zevo::app {

namespace {

using namespace workspace;

// PanelProgress driven by the long redraws, its label from the message list.
class WindowProgress : public base::ProgressDisplay {
 public:
  explicit WindowProgress(TZevo3Win& w) : w_(w) {}
  void Show(int maximum, int message_line) override {
    ShowText(maximum, w_.messages.At(message_line));
  }
  void ShowText(int maximum, const std::string& label) override {
    ProgressState& p = w_.panels.PanelProgress;
    p.max = maximum;
    p.text = label;
    p.panel.visible = true;
    Changed();
  }
  void SetPosition(int position) override {
    w_.panels.PanelProgress.position = position;
    Changed();
  }
  void Hide() override {
    ProgressState& p = w_.panels.PanelProgress;
    p.panel.visible = false;
    p.text.clear();
    p.position = p.max = 0;
    w_.MarkDirty(kDirtyProgress);
  }
  // Asks the view at most every 50 ms: it paints what waits and tells whether the writer
  // pressed Esc or clicked.
  bool StopRequested() override {
    if (!w_.poll_stop_request) return false;
    const auto now = std::chrono::steady_clock::now();
    if (now - last_poll_ < std::chrono::milliseconds(50)) return false;
    last_poll_ = now;
    return w_.poll_stop_request();
  }

 private:
  void Changed() {
    w_.MarkDirty(kDirtyProgress);
    if (w_.repaint_progress_now) w_.repaint_progress_now();
  }
  TZevo3Win& w_;
  std::chrono::steady_clock::time_point last_poll_{};
};

// The calibration target: a red frame and cross with the instruction.
void DrawCalibrationTarget(gfx::Bitmap24& target, platform::TextPainter* text,
                           const std::string& instruction) {
  gfx::Canvas c(target);
  c.pen = {gfx::Rgb(255, 0, 0), 1, gfx::PenMode::Copy};
  c.brush = {gfx::kWhite, gfx::BrushStyle::Solid};
  const int last = kTargetSize - 1, half = kTargetSize / 2;
  c.MoveTo(0, 0);
  c.LineTo(last, 0);
  c.LineTo(last, last);
  c.LineTo(0, last);
  c.LineTo(0, 0);
  c.MoveTo(0, half);
  c.LineTo(kTargetSize, half);
  c.MoveTo(half, 0);
  c.LineTo(half, kTargetSize);
  if (!text) return;
  // The instruction goes in the lower right quarter, clear of the cross and the frame; one too
  // wide for it keeps to the right edge.
  const platform::TextStyle style{gfx::kBlack, false, 12};
  const platform::TextSize size = text->MeasureText(instruction, style);
  constexpr int kGap = 8;
  const int x = std::min(half + kGap, kTargetSize - kGap - size.width);
  text->DrawText(target, std::max(x, 2), half + kGap, instruction, style);
}

}  // namespace

TZevo3Win::TZevo3Win(const Environment& e)
    : env(e), player(ink::kPageWidth, ink::kPageHeight), recovery(files::DefaultStateFolder()) {
  // One processor gains nothing from drawing the view's rows on two threads.
  player.split_redraws = std::thread::hardware_concurrency() != 1;
}

TZevo3Win::~TZevo3Win() {
  // The tablet goes first; the parts release the rest, the codec last.
  if (env.tablet) {
    env.tablet->Close();
    env.tablet->Unload();
  }
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
  panels.Layout(env.screen_width, env.screen_height);

  // C2: the codec library.
  auto loaded = files::CodecBinding::Load(*env.loader);
  if (!loaded) return Result<bool>::Error(loaded.ErrorText());
  codec = std::make_unique<files::CodecBinding>(std::move(loaded).Value());

  // C3..C6.
  pen.tablet.SetScreen(env.screen_width, env.screen_height);
  views.SetTransform({});
  zoom = {};
  sheet.background = {};
  pen.tool_mode = input::kToolBrush;

  // C7: the background dialog reads its folders and texts now.
  bg_dialog = std::make_unique<seals::TBGDialog>(store, env.folders);
  // The dialogs made once with the program's forms, in their order: the seal chooser (which
  // imports Zevo3.ini), the options and the save options.
  auto chooser = seals::TStampDlg::Create(*env.settings, env.folders, env.text);
  if (!chooser) return Result<bool>::Error(chooser.ErrorText());
  stamp_dlg = std::move(chooser).Value();
  options_dlg = std::make_unique<settings::TFormCfg>(*env.settings, env.folders);
  // The save options dialog, made once: its check boxes keep their ticks between saves.
  save_dlg = std::make_unique<files::TSaveStkDlg>(store, env.folders);

  // C8..C12: texts list, settings, identity, pressure curve.
  app_settings.ReadAtStart(store, env.folders);
  // An installed program's writer gets folders of their own for saves and seals.
  settings::MakeUserFolder(env.folders, app_settings.save_folder);
  settings::MakeUserFolder(env.folders, app_settings.stamp_folder);
  author = settings::AuthorIdentity::Read(store);
  AskFirstUseIdentity();
  pen.tablet.reversed = app_settings.tablet_reverse;
  pen.tablet.offset_x = app_settings.offset_x;
  pen.tablet.offset_y = app_settings.offset_y;

  // C13..C15: palettes, brush picker, cursor.
  panels.palette_row = panels.palette_column = 0;
  BuildPalettes(panels);
  DrawBrushPicker(panels, env.text);
  panels.tablet_panel_cursor = 100 + app_settings.cursor_style;

  // C19: the interface texts; the window cannot be made without them.
  messages = settings::MessageTexts::Load(app_settings.skin_folder);
  if (messages.Count() < settings::kMessageLinesToStart)
    return Result<bool>::Error("The interface texts \"" + app_settings.skin_folder +
                               settings::kMessagesFile + "\" are missing or have fewer than " +
                               std::to_string(settings::kMessageLinesToStart) + " lines.");

  file_dialogs.open_sample_filter = settings::FillFormat("%s|*.stk;*smp|%s|*.stk|%s|*.*",
                                                         {messages[7], messages[8], messages[9]});
  file_dialogs.open_sample_title = messages[5];
  file_dialogs.data_open_filter =
      settings::FillFormat("%s|*.stk|%s|*.*", {messages[8], messages[9]});
  file_dialogs.data_open_title = messages[6];
  file_dialogs.data_save_filter = settings::FillFormat("%s|*.stk", {messages[8]});
  file_dialogs.data_save_title = messages[10];
  file_dialogs.save_pic_title = messages[10];

  // C20: the skin bitmaps. C23: the calibration target.
  panels.skin.Load(app_settings.skin_folder);
  DrawCalibrationTarget(panels.ImgTmp.picture, env.text, messages.At(0));

  // C24: the pen's brush and ink.
  pen.brush_size = 10.0f;
  pen.ink_color = 0;

  // C25, C26: the tablet driver and its context over the writing area.
  std::string error;
  if (!env.tablet || !env.tablet->Load(error))
    return Result<bool>::Error(error.empty() ? "The tablet driver is not available." : error);
  pen.tablet.PrepareContext(env.tablet->DefaultContext());
  const gfx::Rect area = panels.WritingAreaOnScreen();
  pen.tablet.UpdateArea(area.left, area.top, area.right, area.bottom);

  // C27..C29.
  pen.enabled = true;
  player.replaying = stamp_dragging = sheet.trace_shown = sheet.grid_shown = false;
  zoom.zoom_panel_expanded = true;
  sheet.grid = seals::LayoutFromPreset(seals::kGridPresets[seals::kInitialGridPreset], true, true);
  export_width = ink::kPageWidth;
  export_height = ink::kPageHeight;
  panels.ControlPanel.visible = false;
  sheet.RebuildGridPages(views.Transform());

  // C30.
  env.tablet->Open(pen.tablet.context);
  player.view_only = false;

  progress_ = std::make_unique<WindowProgress>(*this);
  RepaintAllPanels();
  return true;
}

unsigned TZevo3Win::TakeDirty() {
  Settle();
  const unsigned d = panels.dirty;
  panels.dirty = 0;
  return d;
}

void TZevo3Win::Settle() {
  if (player.bar != shown_bar_) {
    DrawPlayerIndicator(panels, player.bar, env.text);
    shown_bar_ = player.bar;
  }
  if (views.TakeChanged()) MarkDirty(kDirtyImgA | kDirtyImgZoom);
  recovery.Watch(Document());
}

int TZevo3Win::StoredReplayRate() const {
  if (env.settings == nullptr) return history::kDefaultReplayRate;
  return settings::ReadSettingInt(*env.settings, settings::kReplayRate,
                                  history::kDefaultReplayRate);
}

void TZevo3Win::FormCreate() {
  // A settings file that could not be used (a FIFO or a folder in its place, a file too large
  // to be ours): the program runs on the defaults, and says so once.
  TellSettingsProblem();
  // A skin picture missing or damaged: said once, naming it; the window runs on without it.
  if (env.ui && !panels.skin.problem.empty()) env.ui->MessageBox(panels.skin.problem);
  // A program that names a stroke file to continue has its own writing to offer.
  if (!RunCommandLine()) OfferRecovery();
}

void TZevo3Win::OfferRecovery() {
  if (!codec || Document().Count() != 0) return;
  if (recovery.FindWriting(*codec) == 0) return;
  if (env.ui == nullptr) return;
  if (!env.ui->AskOkCancel(files::kRecoveryCaption, files::kRestoreQuestion)) {
    recovery.SetAside();
    return;
  }
  if (recovery.Restore(Document(), *codec) != files::kReadOk) {
    // The bytes were read a moment ago; only memory can fail here. The file stays.
    env.ui->MessageBox(files::kRestoreFailed);
    return;
  }
  player.ClearPartialStroke();
  player.bar.min = 0;
  player.bar.max = Document().Count();
  player.SetPosition(Document().Position());
  FullRedraw();
}

void TZevo3Win::ShowRecoveryFailure(const std::string& text) {
  if (!text.empty() && env.ui) env.ui->MessageBox(text);
}

void TZevo3Win::FormActivate() {
  player.replaying = false;
  stamp_dragging = false;
  panels.ControlPanel.visible = panels.ZoomPanel.visible = panels.GridPanel.visible = false;
  pen.enabled = true;
  timer1_enabled = true;
  if (env.hot_keys) env.hot_keys->RegisterProgramHotKeys();
  MarkDirty(kDirtyLayout);
}

void TZevo3Win::FormDeactivate() {
  // The timer stops until the window is active again: what it would write goes now.
  if (codec) ShowRecoveryFailure(recovery.WriteNow(Document(), *codec));
  pen.enabled = false;
  timer1_enabled = false;
  if (env.hot_keys) env.hot_keys->UnregisterProgramHotKeys();
}

void TZevo3Win::FormResize(int width, int height) {
  // The workspace keeps its size and moves to its place in the window; the tablet area follows
  // the writing area.
  panels.Place(width, height);
  PanelControl& progress = panels.PanelProgress.panel;
  progress.left = (kWorkspaceWidth - progress.width) / 2;
  progress.top = (kWorkspaceHeight - progress.height) / 2;
  const gfx::Rect a = panels.WritingAreaOnScreen();
  pen.tablet.UpdateArea(a.left, a.top, a.right, a.bottom);
  MarkDirty(kDirtyLayout);
}

void TZevo3Win::TellSettingsProblem() {
  if (settings_problem_told_ || env.settings == nullptr || env.ui == nullptr) return;
  const std::string why = env.settings->ErrorText();
  if (why.empty()) return;
  settings_problem_told_ = true;
  env.ui->MessageBox(why);
}

void TZevo3Win::Timer1Timer() {
  if (views.TakePending()) MarkDirty(kDirtyImgA | kDirtyImgZoom);
  // A settings write that failed since (read-only, a folder in its place, a full disk) is told
  // once, at the tick after it; the program runs on.
  TellSettingsProblem();
  if (codec) ShowRecoveryFailure(recovery.Tick(Document(), *codec));
}

void TZevo3Win::Timer2Timer() {
  history::Navigator n = Nav();
  if (history::ReplayTick(n)) DataStopExecute();
  Settle();
}

void TZevo3Win::TabletPanelMessage(std::uint32_t message, std::uint32_t wparam, std::uintptr_t) {
  if (message != platform::WT_PACKET || !env.tablet) return;
  auto packet = env.tablet->ReadPacket(wparam);
  if (!packet) return;
  input::HandlePacket(pen, {player, views, app_settings, {panels.ImgA.left, panels.ImgA.top}},
                      *packet);
  ShowPenChange();
  Settle();
}

void TZevo3Win::ShowPenChange() {
  const ink::PageViews::Change c = views.TakePenChange();
  auto add = [&](const gfx::Rect& r, int left, int top, const gfx::Bitmap24& shown,
                 const gfx::Rect& within) {
    const gfx::Rect image{left, top, left + shown.Width(), top + shown.Height()};
    panels.dirty_area.Add(r.Translated(left, top).Intersected(image).Intersected(within));
  };
  const PanelControl& tp = panels.TabletPanel;
  if (panels.ImgA.visible && !c.page.Empty())
    add(c.page, tp.left + panels.ImgA.left, tp.top + panels.ImgA.top, views.Page(), tp.Bounds());
  const PanelControl& zp = panels.ZoomPanel;
  if (zp.visible && zoom.zoom_panel_expanded && !c.overview.Empty())
    add(c.overview, zp.left + panels.ImgZoom.left, zp.top + panels.ImgZoom.top, views.Overview(),
        zp.Bounds());
}

void TZevo3Win::ImgAMouseMove(int, int y) {
  // Moving back up from the panels returns to writing. (A seal being placed follows the
  // mouse instead once seals can be placed.)
  if (stamp_dragging) return;
  if (!pen.enabled && y < 400) {
    HideWorkPanels(panels);
    if (!player.replaying) pen.enabled = true;
  }
}

void TZevo3Win::ImgTmpClick() {
  if (!pen.tablet.calibrating) return;
  pen.tablet.FinishCalibration();
  settings::WriteSettingInt(*env.settings, settings::kTabletOffsetX, pen.tablet.StoredOffsetX());
  settings::WriteSettingInt(*env.settings, settings::kTabletOffsetY, pen.tablet.StoredOffsetY());
  panels.ImgTmp.visible = false;
  panels.ImgA.visible = true;
  MarkDirty(kDirtyLayout | kDirtyImgA);
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
      if (player.replaying)
        DataStopExecute();
      else
        DataPlayExecute();
      break;
    case 4:
      GotoLastExecute();
      break;
    case 5:
      DataOpenExecute();
      if (center_pointer) center_pointer();
      break;
    case 6:
      history::ChangeReplayRate(player, -1);
      break;
    case 7:
      history::ChangeReplayRate(player, +1);
      break;
    default:
      break;
  }
}

void TZevo3Win::WriteClearExecute() {
  if (pen.tablet.calibrating) {
    WriteCenterCheckExecute();
    return;
  }
  input::WriteClear(player, views, sheet);
  // Clearing returns to 100 %, and the pages are made anew for it.
  if (zoom.zoom_index != 0) {
    SetZoomExecute(0);
    PaintZoomPanel(panels, zoom);
  }
  Settle();
}

void TZevo3Win::WriteCenterCheckExecute() {
  panels.ImgA.visible = false;
  ImageControl& target = panels.ImgTmp;
  target.left = panels.TabletPanel.width / 2 - kTargetSize / 2;
  target.top = panels.TabletPanel.height / 2 - kTargetSize / 2;
  target.visible = true;
  const gfx::Rect a = panels.WritingAreaOnScreen();
  pen.tablet.UpdateArea(a.left, a.top, a.right, a.bottom);
  HideWorkPanels(panels);
  pen.enabled = true;
  pen.tablet.calibrating = true;
  MarkDirty(kDirtyLayout | kDirtyImgTmp);
}

void TZevo3Win::SetCursorStyleExecute(int tag) {
  panels.tablet_panel_cursor = 100 + tag;
  MarkDirty(kDirtyLayout);
}

void TZevo3Win::Button1Click() {
  pen.tool_mode = pen.tool_mode == input::kToolBrush ? input::kToolFill : input::kToolBrush;
  panels.button1_caption = pen.tool_mode == input::kToolBrush ? "筆" : "填";
  DrawToolButtons(panels, pen, env.text);
  MarkDirty(kDirtyLayout | kDirtyControlPanel);
}

void TZevo3Win::GotoFirstExecute() {
  history::Navigator n = Nav();
  history::GotoFirst(n);
  Settle();
}
void TZevo3Win::GotoPrevExecute() {
  history::Navigator n = Nav();
  history::GotoPrev(n);
  Settle();
}
void TZevo3Win::GotoNextExecute() {
  history::Navigator n = Nav();
  history::GotoNext(n);
  Settle();
}
void TZevo3Win::GotoLastExecute() {
  history::Navigator n = Nav();
  history::GotoLast(n);
  Settle();
}
void TZevo3Win::GotoPointExecute(int target) {
  history::Navigator n = Nav();
  history::GotoPoint(n, target);
  Settle();
}

void TZevo3Win::FullRedraw() {
  PaintTraceToggle(panels, sheet.trace_shown);
  history::Navigator n = Nav();
  history::FullRedraw(n);
  Settle();
}

void TZevo3Win::DataPlayExecute() {
  history::Navigator n = Nav();
  history::DataPlay(n, StoredReplayRate());
  timer2_enabled = true;
  panels.ControlPanel.visible = panels.ZoomPanel.visible = panels.GridPanel.visible = false;
  MarkDirty(kDirtyLayout);
  Settle();
}

void TZevo3Win::DataStopExecute() {
  timer2_enabled = false;
  history::DataStop(player, StoredReplayRate());
  history::Navigator n = Nav();
  history::ClearTipMarker(n);
  if (!panels.ControlPanel.visible) pen.enabled = true;
}

void TZevo3Win::ShowControlExecute() {
  if (pen.enabled)
    pen.enabled = false;
  else if (!player.replaying && !stamp_dragging)
    return;
  panels.ControlPanel.visible = panels.ZoomPanel.visible = true;
  PaintControlPanel(panels, pen, sheet, env.text);
  PaintZoomPanel(panels, zoom);
  MarkDirty(kDirtyLayout | kDirtyZoomPanel);
}

void TZevo3Win::CallOptionExecute() {
  if (env.ui == nullptr || !options_dlg || env.settings == nullptr) return;
  env.ui->ShowModal(*options_dlg);
  if (!options_dlg->accepted) return;
  const platform::SettingsBackend& store = *env.settings;
  const bool skin_changed = options_dlg->skin_changed;
  app_settings.ReadAfterOptions(store, env.folders, skin_changed);
  // The interface texts stay as they were read at start; the skin pictures follow the folder.
  if (skin_changed && panels.skin.Load(app_settings.skin_folder) < workspace::kSkinImageCount)
    env.ui->MessageBox(panels.skin.problem);
  author = settings::AuthorIdentity::Read(store);
  panels.tablet_panel_cursor = 100 + app_settings.cursor_style;
  RepaintAllPanels();
}

void TZevo3Win::RepaintAllPanels() {
  PaintControlPanel(panels, pen, sheet, env.text);
  PaintPlayPanel(panels, player.bar, env.text);
  PaintZoomPanel(panels, zoom);
  RedrawGridPanel(GridPanelParts());
  shown_bar_ = player.bar;
  MarkDirty(kDirtyAll);
}

void TZevo3Win::NewPaperExecute() {
  if (env.ui == nullptr || !bg_dialog) return;
  if (seals::NewPaper(*bg_dialog, *env.ui, sheet, Document(), views.Transform(), progress_.get()))
    FullRedraw();
}

void TZevo3Win::Run(Command command, int x) {
  switch (command) {
    case Command::kBrushPicker:
      panels.PenWPanel.visible = !panels.PenWPanel.visible;
      MarkDirty(kDirtyLayout);
      break;
    case Command::kPaletteBlack:
    case Command::kPaletteRed:
    case Command::kPaletteYellow:
      ChoosePaletteRow(panels, pen, int(command) - int(Command::kPaletteBlack), env.text);
      break;
    case Command::kToolButton:
      Button1Click();
      break;
    case Command::kClear:
      WriteClearExecute();
      break;
    case Command::kClose:
      if (request_close) request_close();
      break;
    case Command::kCenterCheck:
      WriteCenterCheckExecute();
      break;
    case Command::kGotoFirst:
      GotoFirstExecute();
      break;
    case Command::kDataPlay:
      DataPlayExecute();
      break;
    case Command::kDataStop:
      DataStopExecute();
      break;
    case Command::kGotoPoint:
      GotoPointExecute(int(std::int64_t(x - kTrackLeft) * player.Document().Count() / kTrackWidth));
      break;
    case Command::kGotoPrev:
      GotoPrevExecute();
      break;
    case Command::kGotoNext:
      GotoNextExecute();
      break;
    case Command::kGotoLast:
      GotoLastExecute();
      break;
    case Command::kShowControl:
      ShowControlExecute();
      break;
    case Command::kNewPaper:
      NewPaperExecute();
      break;
    case Command::kGridToggle:
      GridShowToggle();
      break;
    case Command::kGridPanel:
      GridPanelOpen();
      break;
    case Command::kZoomTitle:
      FlipZoomPanel(zoom, panels.ZoomPanel);
      PaintZoomPanel(panels, zoom);
      MarkDirty(kDirtyLayout);
      break;
    case Command::kZoom100:
    case Command::kZoom200:
    case Command::kZoom400:
    case Command::kZoom800:
      SetZoomExecute(int(command) - int(Command::kZoom100));
      PaintZoomPanel(panels, zoom);
      break;
    case Command::kGridVertical:
      FlipVerticalLines(grid_view);
      RedrawGridPanel(GridPanelParts());
      break;
    case Command::kGridHorizontal:
      FlipHorizontalLines(grid_view);
      RedrawGridPanel(GridPanelParts());
      break;
    case Command::kGridPrevious:
      PreviousPreset(grid_view);
      RedrawGridPanel(GridPanelParts());
      break;
    case Command::kGridNext:
      NextPreset(grid_view);
      RedrawGridPanel(GridPanelParts());
      break;
    case Command::kDataSave:
      DataSaveExecute();
      break;
    case Command::kDataOpen:
      DataOpenExecute();
      break;
    case Command::kOpenTrace:
      OpenWordGNDExecute();
      break;
    case Command::kTraceToggle:
      TraceToggleExecute();
      break;
    case Command::kOptions:
      CallOptionExecute();
      break;
    case Command::kAddStamp:
      AddStampExecute();
      break;
    case Command::kCaptureStamp:
      SaveStampExecute();
      AddStampExecute();
      break;
    case Command::kSavePic:
      SavePicExecute();
      break;
    case Command::kPrintPic:
      PrintPicExecute();
      break;
    case Command::kGridApply:
      ApplyGridPreset(panels, grid_view, sheet, views.Transform());
      FullRedraw();
      break;
    case Command::kNone:
      break;
  }
}

Command TZevo3Win::CommandAt(Panel panel, int x, int y) const {
  const Region* r = RegionAt(panel, x, y);
  if (r == nullptr) return Command::kNone;
  if (r->command == Command::kTraceToggle && !sheet.trace_shown && sheet.TraceModel().Count() == 0)
    return Command::kOpenTrace;
  return r->command;
}

void TZevo3Win::ControlPanelMouseDown(int x, int y) {
  Run(CommandAt(Panel::kControl, x, y), x);
  Settle();
}

void TZevo3Win::PlayPanelMouseDown(int x, int y) {
  Run(CommandAt(Panel::kPlay, x, y), x);
  DrawPlayerIndicator(panels, player.bar, env.text);
  Settle();
}

void TZevo3Win::ImagePWMouseDown(int x, int y) {
  workspace::ImagePWMouseDown(panels, pen, x, y, env.text);
}

void TZevo3Win::PaletteSwatchClick(int row, int tag) {
  workspace::PaletteSwatchClick(panels, pen, row, tag, env.text);
}

void TZevo3Win::ZoomPanelMouseDown(int x, int y) {
  Run(CommandAt(Panel::kZoom, x, y), x);
  Settle();
}

void TZevo3Win::SetZoomExecute(int index) {
  if (SetZoom(zoom, index)) ApplyView();
}

void TZevo3Win::ApplyView() {
  ApplyZoomView(zoom, views, sheet, progress_.get());
  FullRedraw();
  MarkDirty(kDirtyZoomPanel);
}

const seals::GridLayout* TZevo3Win::FrameSnap(bool shift) const {
  return sheet.grid_shown && !shift ? &sheet.grid : nullptr;
}

void TZevo3Win::ImgZoomMouseDown(int x, int y, bool shift) {
  OverviewPress(zoom, FrameSnap(shift), x, y);
  MarkDirty(kDirtyZoomPanel);
}

void TZevo3Win::ImgZoomMouseMove(int x, int y, bool shift) {
  if (!zoom.dragging) return;
  OverviewMove(zoom, FrameSnap(shift), x, y);
  MarkDirty(kDirtyZoomPanel);
}

void TZevo3Win::ImgZoomMouseUp() {
  if (OverviewRelease(zoom)) ApplyView();
  MarkDirty(kDirtyZoomPanel);
}

GridPanelView TZevo3Win::GridPanelParts() {
  return {panels, grid_view, views.Overview(), sheet, env.text};
}

void TZevo3Win::GridShowToggle() {
  ToggleGridShown(panels, sheet);
  FullRedraw();
}

void TZevo3Win::GridPanelOpen() {
  OpenGridPanel(GridPanelParts());
}

void TZevo3Win::GridPanelMouseUp(int x, int y) {
  Run(CommandAt(Panel::kGrid, x, y), x);
  Settle();
}

void TZevo3Win::ImgGridSelectMouseDown(int x, int y) {
  GridListPress(GridPanelParts(), x, y);
}

void TZevo3Win::ImgGridSelectMouseMove(int y) {
  GridListMove(GridPanelParts(), y);
}

void TZevo3Win::ImgGridSelectMouseUp() {
  GridListRelease(grid_view);
}

void TZevo3Win::MouseDown(int x, int y, bool shift) {
  const Hit h = HitTest(x, y);
  capture_ = {};
  if (h.surface == Surface::kOverview || h.surface == Surface::kGridList ||
      h.surface == Surface::kGridPanel)
    capture_ = {h.surface, x - h.x, y - h.y};
  switch (h.surface) {
    case Surface::kZoomPanel:
      ZoomPanelMouseDown(h.x, h.y);
      break;
    case Surface::kOverview:
      ImgZoomMouseDown(h.x, h.y, shift);
      break;
    case Surface::kGridList:
      ImgGridSelectMouseDown(h.x, h.y);
      break;
    case Surface::kCalibrationTarget:
      ImgTmpClick();
      break;
    case Surface::kStampImage:
      ImgStampClick();
      break;
    case Surface::kPlayPanel:
      PlayPanelMouseDown(h.x, h.y);
      break;
    case Surface::kControlPanel:
      ControlPanelMouseDown(h.x, h.y);
      break;
    case Surface::kPalette:
      PaletteSwatchClick(h.index, h.x / kSwatchSize);
      break;
    case Surface::kBrushPicker:
      ImagePWMouseDown(h.x, h.y);
      break;
    default:
      break;
  }
}

void TZevo3Win::MouseMove(int x, int y, bool shift) {
  if (capture_.surface != Surface::kNone) {
    const int cx = x - capture_.left, cy = y - capture_.top;
    if (capture_.surface == Surface::kOverview) ImgZoomMouseMove(cx, cy, shift);
    if (capture_.surface == Surface::kGridList) ImgGridSelectMouseMove(cy);
    return;
  }
  const Hit h = HitTest(x, y);
  switch (h.surface) {
    case Surface::kWritingArea:
      if (stamp_dragging)
        CarryStamp(h.x, h.y);
      else
        ImgAMouseMove(h.x, h.y);
      break;
    case Surface::kStampImage:
      ImgStampMouseMove(h.x, h.y);
      break;
    case Surface::kOverview:
      ImgZoomMouseMove(h.x, h.y, shift);
      break;
    case Surface::kGridList:
      ImgGridSelectMouseMove(h.y);
      break;
    default:
      break;
  }
}

void TZevo3Win::MouseUp(int x, int y) {
  const Capture c = std::exchange(capture_, {});
  switch (c.surface) {
    case Surface::kOverview:
      ImgZoomMouseUp();
      break;
    case Surface::kGridList:
      ImgGridSelectMouseUp();
      break;
    case Surface::kGridPanel:
      GridPanelMouseUp(x - c.left, y - c.top);
      break;
    default:
      break;
  }
}

}  // namespace zevo::app
