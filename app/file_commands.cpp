// The stroke file commands of the main window: save, open, the trace model, and what an
// opened file brings with it (its paper, its protection, its grid).
#include <filesystem>
#include <initializer_list>
#include <memory>
#include <system_error>

#include "app/zevo3_win.h"
#include "files/recovery_file.h"
#include "files/save_rules.h"
#include "files/stroke_file.h"
#include "gfx/bmp_file.h"
#include "history/replay.h"
#include "platform/ui.h"
#include "settings/login_dlg.h"
#include "settings/text_format.h"

namespace zevo::app {

namespace {

using namespace workspace;

constexpr char kTemporaryBackgroundName[] = "TMP%ZEVO3%GND%IMG.bmp";

void RemoveFile(const std::string& path) {
  std::error_code ec;
  std::filesystem::remove(path, ec);
}

// Looks up every line a command may show before it changes anything, so that a skin short of
// texts abandons the command at its start (with the index error) rather than half way.
void RequireLines(const settings::MessageTexts& messages, std::initializer_list<int> lines) {
  for (int line : lines) messages.At(line);
}

files::FileGrid FileGridOf(const seals::GridLayout& g) {
  return {g.cell_width, g.cell_height, g.left, g.top, g.column_count, g.row_count};
}

}  // namespace

std::string TZevo3Win::TemporaryBackgroundPath() const {
  // In the writer's runtime folder: the program's folder may not be writable once it is
  // installed, and the file lives only while the program runs.
  const std::string folder = files::DefaultTemporaryFolder();
  return (folder.empty() ? env.folders.Writable() : folder) + kTemporaryBackgroundName;
}

void TZevo3Win::AskFirstUseIdentity() {
  if (!author.name.empty() || env.ui == nullptr || env.settings == nullptr) return;
  settings::TLoginDlg dialog(*env.settings, env.folders);
  dialog.mode = settings::TLoginDlg::kFirstUse;
  env.ui->ShowModal(dialog);
  if (!dialog.confirmed) return;
  author.name = settings::IdentityText(dialog.author);
  author.password = settings::IdentityText(dialog.password);
}

void TZevo3Win::DataSaveExecute() {
  if (env.ui == nullptr || !codec || !save_dlg) return;
  platform::Ui& ui = *env.ui;
  RequireLines(messages, {1, 15});
  // Another author's protected history is not saved; from position 0 on, the sheet is the
  // writer's own again.
  if (player.view_only && player.bar.position != 0) {
    ui.MessageBox(messages[15]);
    return;
  }
  const std::string folder = app_settings.save_folder;
  const auto chosen = ui.SaveFileDialog(file_dialogs.data_save_title, file_dialogs.data_save_filter,
                                        folder, files::ProposedSaveName(folder));
  if (!chosen) return;
  const std::string path = files::WithStrokeExtension(*chosen);

  ink::StrokeDocument& d = Document();
  d.grid = sheet.grid_shown ? files::GridWords(FileGridOf(sheet.grid))
                            : std::array<std::int32_t, 3>{0, 0, 0};
  // The dialog shows the file's real size: it encodes the history as it will be written.
  save_dlg->SetDocument(&d, codec.get(), author.password, author.name);
  const bool accepted = ui.ShowModal(*save_dlg) && save_dlg->accepted;
  std::vector<std::uint8_t> bytes = save_dlg->TakeEncoded();
  save_dlg->SetDocument(nullptr, nullptr, {}, {});
  if (!accepted) return;

  d.protection = save_dlg->protection;
  std::string why;
  if (bytes.empty()) {
    auto encoded =
        files::EncodeStrokeFile(d, save_dlg->sampling_step, author.password, author.name, *codec);
    if (encoded)
      bytes = std::move(encoded).Value();
    else
      why = encoded.ErrorText();
  }
  if (why.empty()) {
    const Result<bool> written = files::WriteEncodedStrokeFile(path, bytes);
    if (!written) why = written.ErrorText();
  }
  if (!why.empty()) {
    ui.MessageBox(messages[1] + "\n\n" + why);
    return;
  }
  recovery.Saved();
}

void TZevo3Win::ShowReadFailure(int code, const ink::StrokeDocument& d, const std::string& path) {
  const int line = files::ReadFailureLine(code);
  std::string text;
  if (line == 19) {
    const std::uint32_t v = d.format_version;
    text = settings::FillFormat(messages[19],
                                {settings::FormatVersion(int(v >> 16), int(v & 0xFFFFu))});
  } else if (line >= 0) {
    text = messages[line];
  } else {
    text = "The stroke file is too large for Zevo 3.";
  }
  env.ui->MessageBox(text + "\n\n" + path);
}

void TZevo3Win::AdoptFileBackground() {
  const ink::StrokeDocument& d = Document();
  sheet.background.Release();
  const int mode = d.BackgroundA();
  const bool carried = d.Background() != nullptr && !d.Background()->Empty() &&
                       (mode == seals::kBackgroundTexture || mode == seals::kBackgroundImage);
  const std::string temporary = TemporaryBackgroundPath();
  if (carried) {
    file_background_in_use = true;
    sheet.background.bitmap = std::make_unique<gfx::Bitmap24>(*d.Background());
    sheet.background.mode = mode;
    sheet.background.fit = d.BackgroundB();
    // The dialog refers to the paper by its file. Without the file the paper still shows;
    // only choosing it again in the dialog cannot work.
    std::error_code ec;
    std::filesystem::create_directories(std::filesystem::path(temporary).parent_path(), ec);
    if (gfx::SaveBmpFile(*d.Background(), temporary, nullptr) && bg_dialog)
      bg_dialog->PresetFromFile(mode, d.BackgroundB(), temporary);
  } else if (file_background_in_use) {
    RemoveFile(temporary);
    if (bg_dialog) bg_dialog->PresetWhite();
    file_background_in_use = false;
  } else if (bg_dialog) {
    bg_dialog->RadioButton1Click();
  }
  sheet.RebuildPaperPages(views.Transform(), progress_.get());
}

bool TZevo3Win::TakeOverFileGrid(const std::array<std::int32_t, 3>& words) {
  const files::FileGrid recorded = files::GridFromWords(words);
  if (recorded == FileGridOf(sheet.grid) && sheet.grid_shown) return false;
  if (!env.ui->AskOkCancel(messages[13], messages[14])) return false;
  const files::FileGrid g = files::CompletedGrid(recorded);
  sheet.grid = {g.cell_width, g.cell_height, g.left, g.top, g.columns, g.rows};
  SelectMatchingPreset(grid_view, sheet.grid);
  if (!sheet.grid_shown) ToggleGridShown(panels, sheet);
  RedrawGridPanel(GridPanelParts());
  return true;
}

void TZevo3Win::DataOpenExecute() {
  if (env.ui == nullptr) return;
  RequireLines(messages, {2, 3, 4, 11, 12, 13, 14, 16, 17, 18, 19});
  const auto chosen = env.ui->OpenFileDialog(
      file_dialogs.data_open_title, file_dialogs.data_open_filter, app_settings.save_folder, "");
  if (!chosen) return;
  LoadStrokeFile(*chosen, true);
}

int TZevo3Win::LoadStrokeFile(const std::string& path, bool as_open_command) {
  DataStopExecute();
  player.ClearPartialStroke();
  input::WriteClear(player, views, sheet);
  if (zoom.zoom_index != 0) {
    SetZoom(zoom, 0);
    ApplyZoomView(zoom, views, sheet, progress_.get());
    PaintZoomPanel(panels, zoom);
    MarkDirty(kDirtyZoomPanel);
  }

  ink::StrokeDocument& d = Document();
  const int code = files::ReadStrokeFile(d, path, codec.get());
  if (code != files::kReadOk) ShowReadFailure(code, d, path);
  player.view_only = false;
  // A file named on the command line is the calling program's: no author check.
  if (code == files::kReadOk && as_open_command) {
    switch (files::AccessTo(d, author.name, author.password)) {
      case files::OpenAccess::kRefused:
        d.Clear();
        env.ui->MessageBox(messages[11]);
        break;
      case files::OpenAccess::kViewOnly:
        player.view_only = true;
        env.ui->MessageBox(messages[12]);
        break;
      case files::OpenAccess::kFull:
        break;
    }
  }
  player.bar.min = 0;
  player.bar.max = d.Count();
  player.SetPosition(0);

  AdoptFileBackground();
  if (as_open_command && files::RecordsGrid(d.grid) && TakeOverFileGrid(d.grid))
    sheet.RebuildTracePages(views.Transform(), progress_.get());

  PaintControlPanel(panels, pen, sheet, env.text);
  MarkDirty(kDirtyControlPanel | kDirtyImgA | kDirtyImgZoom);
  history::Navigator n = Nav();
  history::GotoFirst(n);
  history::GotoLast(n);
  // The sheet now holds what the file holds: nothing to recover.
  if (code == files::kReadOk) recovery.Opened(d);
  Settle();
  return code;
}

void TZevo3Win::OpenWordGNDExecute() {
  if (env.ui == nullptr) return;
  RequireLines(messages, {2, 3, 4, 11, 13, 14, 16, 17, 18, 19});
  const auto chosen =
      env.ui->OpenFileDialog(file_dialogs.open_sample_title, file_dialogs.open_sample_filter,
                             app_settings.save_folder, "");
  ink::StrokeDocument& model = sheet.TraceModel();
  if (!chosen) {
    sheet.trace_shown = false;
  } else {
    const int code = files::ReadStrokeFile(model, *chosen, codec.get());
    sheet.trace_shown = code == files::kReadOk;
    if (code != files::kReadOk) ShowReadFailure(code, model, *chosen);
    // Any author's model may be traced unless it may not be opened at all.
    if (sheet.trace_shown &&
        files::AccessTo(model, author.name, author.password) == files::OpenAccess::kRefused) {
      model.Clear();
      sheet.trace_shown = false;
      env.ui->MessageBox(messages[11]);
    }
  }
  sheet.RebuildTracePages(views.Transform(), progress_.get());
  if (files::RecordsGrid(model.grid) && TakeOverFileGrid(model.grid))
    sheet.RebuildGridPages(views.Transform());
  PaintControlPanel(panels, pen, sheet, env.text);
  MarkDirty(kDirtyControlPanel);
  FullRedraw();
}

void TZevo3Win::TraceToggleExecute() {
  RequireLines(messages, {17});
  sheet.trace_shown = !sheet.trace_shown;
  sheet.RebuildPaperPages(views.Transform(), progress_.get());
  PaintControlPanel(panels, pen, sheet, env.text);
  MarkDirty(kDirtyControlPanel);
  FullRedraw();
}

}  // namespace zevo::app
