// What another program asks of Zevo 3 when it starts it as an inscription tool: the command
// line read once at start, and the files delivered when the window closes.
#include <cctype>
#include <filesystem>
#include <memory>
#include <system_error>

#include "app/zevo3_win.h"
#include "files/stroke_file.h"
#include "history/navigation.h"
#include "output/picture_file.h"
#include "output/sheet_picture.h"
#include "platform/ui.h"
#include "seals/background.h"
#include "settings/text_format.h"

namespace zevo::app {

namespace {

using namespace workspace;

// Brush sizes /p may set, in tenths of a pixel: beyond them a packet would cover the sheet.
constexpr int kMinBrushTenths = 1;
constexpr int kMaxBrushTenths = 1000;

// Whether an argument is a switch ("/w:2048") rather than a file. Here paths begin with "/"
// too, so a switch's separator (its third character) must be one no path would have there:
// not a letter or digit, nor "/", ".", "_" or "-". Anything shorter than a switch is one.
bool IsSwitch(const std::string& arg) {
  if (arg.empty() || arg[0] != '/') return false;
  if (arg.size() < 4) return true;
  const unsigned char sep = static_cast<unsigned char>(arg[2]);
  return !std::isalnum(sep) && sep != '/' && sep != '.' && sep != '_' && sep != '-';
}

}  // namespace

bool TZevo3Win::RunCommandLine() {
  bool opened = false;
  for (const std::string& arg : env.arguments) {
    if (!IsSwitch(arg)) {
      LoadStrokeFile(arg, false);
      opened = true;
      continue;
    }
    // A switch is "/" a letter, one separator and its value: anything shorter ends the line.
    if (arg.size() < 4) break;
    const char letter = arg[1];
    const std::string value = arg.substr(3);
    try {
      switch (letter) {
        case 'b':
          UseBackgroundFile(value);
          break;
        case 'c':
          pen.ink_color = std::uint32_t(settings::StrToInt(value));
          PaintControlPanel(panels, pen, sheet, env.text);
          MarkDirty(kDirtyControlPanel);
          break;
        case 'p': {
          const int tenths = settings::StrToInt(value);
          if (tenths < kMinBrushTenths || tenths > kMaxBrushTenths) {
            if (env.ui)
              env.ui->ShowError("The brush size /p:" + value +
                                " is not 1 to 1000 (tenths of a pixel); it is left as it was.");
            break;
          }
          pen.brush_size = float(tenths) * 0.1f;
          PaintControlPanel(panels, pen, sheet, env.text);
          MarkDirty(kDirtyControlPanel);
          break;
        }
        case 'w':
          export_width = settings::StrToInt(value);
          break;
        case 'h':
          export_height = settings::StrToInt(value);
          break;
        case 'o':
          close_picture_path = value;
          break;
        case 's':
          close_stroke_path = value;
          break;
        default:
          break;  // not a switch of ours
      }
    } catch (const settings::ConversionError& e) {
      // The number is shown as wrong and the rest of the line is not read.
      if (env.ui) env.ui->ShowError(e.what());
      break;
    }
  }
  return opened;
}

void TZevo3Win::UseBackgroundFile(const std::string& path) {
  sheet.background.Release();
  if (bg_dialog) {
    bg_dialog->PresetFromFile(seals::kKindImage, seals::kFitCentre, path);
    bg_dialog->committed_transparency = 0;
  }
  Result<gfx::Bitmap24> loaded = seals::LoadBackgroundFile(path);
  if (loaded) {
    sheet.background.bitmap = std::make_unique<gfx::Bitmap24>(std::move(loaded).Value());
    sheet.background.mode = seals::kBackgroundImage;
    sheet.background.fit = seals::kFitCentre;
    Document().SetBackground(sheet.background.bitmap.get(), seals::kBackgroundImage,
                             seals::kFitCentre);
  } else if (env.ui) {
    env.ui->ShowError("The paper cannot be made from \"" + path + "\": " + loaded.ErrorText());
  }
  sheet.RebuildPaperPages(views.Transform(), progress_.get());
  history::Navigator n = Nav();
  history::FullRedraw(n);
  history::GotoFirst(n);
  history::GotoLast(n);
  Settle();
}

void TZevo3Win::FormCloseQuery() {
  std::error_code ec;
  std::filesystem::remove(TemporaryBackgroundPath(), ec);

  // The files the calling program asked for. Each is written whole or not at all; one that
  // cannot be written is told, and the exit status says so.
  std::string failures;
  bool stroke_delivered = false;
  if (!close_stroke_path.empty()) {
    std::string why;
    if (!codec) {
      why = "the codec library is not loaded";
    } else if (files::WriteStrokeFile(Document(), close_stroke_path, 1, std::nullopt, std::nullopt,
                                      *codec, &why) == 0) {
      stroke_delivered = true;
    }
    if (!stroke_delivered)
      failures += "The writing could not be saved to " + close_stroke_path + ": " + why + "\n";
  }
  if (!close_picture_path.empty()) {
    const Result<gfx::Bitmap24> picture =
        output::RenderSheetPicture(export_width, export_height, SheetToRender());
    std::string why = picture ? std::string() : picture.ErrorText();
    if (picture &&
        !output::WritePictureFile(picture.Value(), close_picture_path,
                                  output::CloseTimePictureFormat(close_picture_path), &why) &&
        why.empty())
      why = "it could not be written";
    if (!why.empty())
      failures += "The picture could not be saved to " + close_picture_path + ": " + why + "\n";
  }
  if (!failures.empty()) {
    exit_status = 1;
    if (env.ui) env.ui->MessageBox(failures);
  }

  // Nothing else is asked while the window closes (the session may be ending); a recovery
  // failure was told when the timer met it. Writing the calling program has collected is
  // delivered, not lost.
  if (stroke_delivered)
    recovery.Saved();
  else if (codec)
    recovery.WriteNow(Document(), *codec);
}

}  // namespace zevo::app
