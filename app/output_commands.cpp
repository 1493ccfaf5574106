// The sheet leaving the program: exported as a picture file and printed.
#include <cmath>
#include <memory>

#include "app/zevo3_win.h"
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
    "JPEG Image (*.jpg;*.jpeg)|*.jpg;*.jpeg|Bitmap Image (*.bmp)|*.bmp|PNG Image (*.png)|*.png";

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
