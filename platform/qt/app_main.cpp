#include <QApplication>
#include <QScreen>

#include <memory>
#include <string>
#include <vector>

#include "app/zevo3_win.h"
#include "platform/library_loader.h"
#include "platform/posix/program_folder.h"
#include "platform/qt/bg_dialog_view.h"
#include "platform/qt/login_dlg_view.h"
#include "platform/qt/main_window_view.h"
#include "platform/qt/options_dlg_view.h"
#include "platform/qt/qt_hot_keys.h"
#include "platform/qt/qt_tablet_driver.h"
#include "platform/qt/qt_tablet_source.h"
#include "platform/qt/qt_text_painter.h"
#include "platform/qt/qt_ui.h"
#include "platform/qt/save_stk_dlg_view.h"
#include "platform/qt/stamp_dlg_view.h"
#include "platform/settings_backend.h"

int main(int argc, char** argv) {
  using namespace zevo;
  platform::qt::QtTabletSource::DisableEventCompression();
  QApplication application(argc, argv);
  const QString title = QString::fromUtf8("Zevo 題字系統");
  application.setApplicationDisplayName(title);

  platform::qt::QtUi ui(nullptr, title);
  platform::qt::RegisterBGDialogView(ui);
  platform::qt::RegisterLoginDlgView(ui);
  platform::qt::RegisterOptionsDlgView(ui);
  platform::qt::RegisterSaveStkDlgView(ui);
  platform::qt::RegisterStampDlgView(ui);
  platform::qt::QtTextPainter text;
  platform::qt::QtTabletDriver tablet;
  platform::qt::QtHotKeys hot_keys;
  auto settings = platform::MakeDefaultSettingsBackend();
  const std::string folder = platform::ExecutableFolder();
  auto loader = platform::MakeSystemLibraryLoader(folder);

  app::Environment env;
  env.ui = &ui;
  env.text = &text;
  env.tablet = &tablet;
  env.hot_keys = &hot_keys;
  env.loader = loader.get();
  env.settings = settings.get();
  env.program_folder = folder;
  if (QScreen* screen = QGuiApplication::primaryScreen()) {
    env.screen_width = screen->geometry().width();
    env.screen_height = screen->geometry().height();
  }
  for (int i = 1; i < argc; ++i) env.arguments.emplace_back(argv[i]);

  auto created = app::TZevo3Win::Create(env);
  if (!created) {
    // A failed start is reported as one: a calling program must not collect missing output.
    ui.MessageBox(created.ErrorText());
    return 1;
  }
  std::unique_ptr<app::TZevo3Win> win = std::move(created).Value();
  platform::qt::MainWindowView view(*win, tablet);
  ui.SetParent(&view);
  hot_keys.SetCallback([&](int id) {
    // No command starts in the middle of work that lets the event loop run.
    if (view.InWork()) return;
    win->HotKey(id);
    view.Sync();
  });
  win->FormCreate();
  // Borderless and over the whole screen; the geometry also holds where no window manager
  // honours the full-screen request.
  if (QScreen* screen = QGuiApplication::primaryScreen()) view.setGeometry(screen->geometry());
  view.showFullScreen();
  view.Sync();
  const int status = application.exec();
  // Non-zero when a file the command line asked for could not be written at close: the calling
  // program must not collect a missing or partial file. The window owns what the view shows;
  // the view goes first.
  return status != 0 ? status : win->exit_status;
}
