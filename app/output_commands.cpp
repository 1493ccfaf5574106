// The sheet leaving the program: exported as a picture file and printed.
#include <cmath>
#include <filesystem>
#include <memory>
#include <optional>

#include "app/zevo3_win.h"
#include "base/progress.h"
#include "output/animation.h"
#include "output/animation_file.h"
#include "output/picture_file.h"
#include "output/print_layout.h"
#include "output/print_sheet.h"
#include "output/sheet_picture.h"
#include "platform/printer.h"
#include "platform/ui.h"
#include "settings/setting_names.h"
#include "settings/settings_store.h"

namespace zevo::app {

namespace {

constexpr char kPictureFilter[] =
    "JPEG Image (*.jpg;*.jpeg)|*.jpg;*.jpeg|Bitmap Image (*.bmp)|*.bmp|PNG Image (*.png)|*.png|"
    "Export replay\u2026 (*.gif;*.webp;*.mp4)|*.gif;*.webp;*.mp4";

// The label of the progress panel while a replay is written.
constexpr char kReplayProgressLabel[] = "Writing the replay\u2026 Esc or a click stops it.";

// Hands the frames on, and stops the animation when the writer asks it to.
class StoppableSink : public output::AnimationSink {
 public:
  StoppableSink(output::AnimationSink& sink, base::ProgressRun& run) : sink_(sink), run_(run) {}
  std::string Frame(const gfx::Bitmap24& picture, const gfx::Rect& changed,
                    std::int64_t at_ms) override {
    if (run_.StopRequested()) {
      stopped = true;
      return output::kAnimationCancelled;
    }
    return sink_.Frame(picture, changed, at_ms);
  }
  std::string End(std::int64_t end_ms) override { return sink_.End(end_ms); }
  bool stopped = false;

 private:
  output::AnimationSink& sink_;
  base::ProgressRun& run_;
};

// The history up to the player position written as an animation of the export size, at the
// replay's rate, with the brush tip. The progress panel counts the entries; Esc or a click
// stops the writing and leaves no file.
void ExportReplay(platform::Ui& ui, const std::string& path, output::AnimationFormat format,
                  const output::SheetInputs& in, int width, int height, int rate,
                  base::ProgressDisplay* progress) {
  output::AnimationOptions o;
  o.width = width;
  o.height = height;
  o.samples_per_frame = std::max(rate, 1);
  o.to = in.live->Position();
  o.tip = true;
  auto failed = [&](const std::string& why) {
    std::error_code ec;
    std::filesystem::remove(path, ec);
    if (!why.empty()) ui.ShowError("The replay " + path + " cannot be made: " + why);
  };
  output::AnimationFileOptions file{width, height, o.fps, nullptr};
  // The GIF's palette: the colours of the last frame, the sheet picture.
  std::optional<gfx::Bitmap24> last;
  if (format == output::AnimationFormat::Gif) {
    Result<gfx::Bitmap24> picture = output::RenderSheetPicture(width, height, in);
    if (!picture) return failed(picture.ErrorText());
    last = std::move(picture).Value();
    file.palette_source = &*last;
  }
  Result<std::unique_ptr<output::AnimationSink>> sink =
      output::OpenAnimationFile(path, format, file);
  if (!sink) return ui.ShowError("The replay " + path + " cannot be made: " + sink.ErrorText());
  last.reset();
  bool stopped = false;
  Result<output::AnimationTotals> done = [&] {
    base::ProgressRun run(progress, o.to, kReplayProgressLabel);
    StoppableSink stoppable(*sink.Value(), run);
    auto result = output::RenderAnimation(in, o, stoppable, [&run](int done, int) {
      run.MoveTo(done);
      return true;
    });
    stopped = stoppable.stopped;
    return result;
  }();
  sink.Value().reset();
  // A stop the writer asked for is no failure: the partial file goes without a message.
  if (!done) failed(stopped ? std::string() : done.ErrorText());
}

}  // namespace

output::SheetInputs TZevo3Win::SheetToRender() {
  output::SheetInputs in;
  in.background = sheet.background.View();
  in.grid = sheet.grid;
  in.grid_shown = sheet.grid_shown;
  in.trace_model = &sheet.TraceModel();
  in.trace_shown = sheet.trace_shown;
  in.live = &Document();
  in.paper_width = ink::kPageWidth;
  in.paper_height = ink::kPageHeight;
  return in;
}

void TZevo3Win::SavePicExecute() {
  if (env.ui == nullptr) return;
  platform::Ui& ui = *env.ui;
  const std::string folder = app_settings.save_folder;
  const auto chosen = ui.SaveFileDialog(file_dialogs.save_pic_title, kPictureFilter, folder,
                                        output::ProposePictureName(folder));
  if (!chosen) return;
  if (const std::optional<output::AnimationFormat> replay = output::AnimationFormatOf(*chosen)) {
    ExportReplay(ui, *chosen, *replay, SheetToRender(), export_width, export_height,
                 StoredReplayRate(), progress_.get());
    return;
  }
  const output::PictureTarget target = output::SavePicTarget(*chosen);
  const Result<gfx::Bitmap24> picture =
      output::RenderSheetPicture(export_width, export_height, SheetToRender());
  if (!picture) {
    ui.ShowError("The picture " + target.path + " cannot be made: " + picture.ErrorText());
    return;
  }
  std::string error;
  if (!output::WritePictureFile(picture.Value(), target.path, target.format, &error))
    ui.ShowError("The picture cannot be saved: " + error);
}

void TZevo3Win::PrintPicExecute() {
  if (env.ui == nullptr) return;
  platform::Ui& ui = *env.ui;
  // The progress texts of the long loops, looked up before anything is drawn.
  messages.At(16);
  messages.At(17);
  std::unique_ptr<platform::Printer> printer = ui.ChoosePrinter();
  if (!printer) return;
  const int scale =
      env.settings ? settings::ReadSettingInt(*env.settings, settings::kPrintScale, 100) : 100;
  const Result<output::PrintLayout> layout =
      output::ComputePrintLayout(printer->PageWidth(), printer->PageHeight(), scale);
  if (!layout) {
    ui.ShowError("The sheet cannot be printed: " + layout.ErrorText());
    return;
  }
  const Result<output::PrintedSheet> printed =
      output::RenderPrintSheet(layout.Value(), SheetToRender(), progress_.get());
  if (!printed) {
    ui.ShowError("The sheet cannot be printed: " + printed.ErrorText());
    return;
  }
  std::string error;
  if (!printer->BeginJob(error) ||
      !printer->StretchBitmap(printed.Value().work, printed.Value().page, error) ||
      !printer->EndJob(error))
    ui.ShowError("The sheet cannot be printed: " + error);
}

}  // namespace zevo::app
