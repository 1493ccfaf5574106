#include <QApplication>
#include <QIcon>
#include <QScreen>

#include <cstdio>
#include <cstring>
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

namespace {

// What "zevo3 --help" prints: the command line the program reads.
constexpr char kUsage[] =
    "usage: zevo3 [FILE.stk ...] [/b:PICTURE] [/c:COLOUR] [/p:TENTHS] [/w:WIDTH] [/h:HEIGHT]\n"
    "             [/o:PICTURE] [/s:STROKEFILE]\n"
    "       zevo3 --version | --help\n"
    "\n"
    "Opens the stroke files named, then takes the switches in their order:\n"
    "  /b:PICTURE     the paper's background picture (BMP or JPEG)\n"
    "  /c:COLOUR      the ink colour (a number, 0x00BBGGRR)\n"
    "  /p:TENTHS      the brush size in tenths of a pixel (1..1000)\n"
    "  /w:WIDTH, /h:HEIGHT  the size of exported pictures\n"
    "  /o:PICTURE     when the window closes, write the sheet picture there\n"
    "  /s:STROKEFILE  when the window closes, write the stroke file there\n"
    "See zevo3(1) for the settings file and the folders.\n";

}  // namespace

int main(int argc, char** argv) {
  using namespace zevo;
  // Asked of the program without a window (and without a display).
  if (argc == 2 && std::strcmp(argv[1], "--version") == 0) {
    std::printf("zevo3 %s\n", ZEVO_VERSION);
    return 0;
  }
  if (argc == 2 && (std::strcmp(argv[1], "--help") == 0 || std::strcmp(argv[1], "-h") == 0)) {
    std::fputs(kUsage, stdout);
    return 0;
  }
  platform::qt::QtTabletSource::DisableEventCompression();
  QApplication application(argc, argv);
  const QString title = QString::fromUtf8("Zevo 題字系統");
  application.setApplicationDisplayName(title);
  // The installed menu entry and icon (a portable program folder has no icon theme entry).
  QGuiApplication::setDesktopFileName(QStringLiteral("com.dravlab.Zevo3"));
  QGuiApplication::setWindowIcon(QIcon::fromTheme(QStringLiteral("com.dravlab.Zevo3")));

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
  env.folders = platform::FindProgramFolders(folder, ZEVO_INSTALLED_DATA);
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
