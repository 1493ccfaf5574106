#include "tests/support/test_window.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>

#include <sys/stat.h>
#include <random>

#include "files/codec_binding.h"
#include "settings/password_mask.h"
#include "settings/setting_names.h"
#include "settings/settings_store.h"

namespace zevo::test {

namespace fs = std::filesystem;

void BoxTextPainter::DrawText(gfx::Bitmap24& target, int x, int y, const std::string& text,
                              const platform::TextStyle& style) {
  const platform::TextSize s = MeasureText(text, style);
  target.FillRect({x, y, x + s.width, y + s.height}, style.color);
}

platform::TextSize BoxTextPainter::MeasureText(const std::string& text,
                                               const platform::TextStyle& style) {
  return {int(text.size()) * style.pixel_size / 2, style.pixel_size};
}

TestWindow::TestWindow(const TestWindowOptions& o) : tablet(o.screen_width, o.screen_height) {
  std::random_device rd;
  folder = fs::temp_directory_path() / ("zevo-test-" + std::to_string(rd()) + std::to_string(rd()));
  fs::create_directories(folder / "Skin");
  const fs::path program = ZEVO_PROGRAM_DIR;
  if (o.with_codec)
    fs::copy_file(program / files::CodecBinding::LibraryFileName(),
                  folder / files::CodecBinding::LibraryFileName());
  if (fs::exists(program / "Skin")) {
    for (const auto& e : fs::directory_iterator(program / "Skin"))
      if (e.path().extension() == ".bmp" &&
          (o.with_skin || (o.with_stamp_skin && e.path().filename() == "S_Gnd.bmp")))
        fs::copy_file(e.path(), folder / "Skin" / e.path().filename());
  }
  if (o.message_lines >= 0) {
    std::ofstream m(folder / "Skin" / "Messages.txt", std::ios::binary);
    for (int i = 0; i < o.message_lines; ++i) m << "message " << i << "\r\n";
  }
  tablet.load_ok = o.tablet_ok;
  if (o.settings_fifo) ::mkfifo((folder / "settings").c_str(), 0600);
  settings = std::make_unique<platform::FileSettingsBackend>((folder / "settings").string());
  for (const auto& [name, value] : o.int_settings)
    settings::WriteSettingInt(*settings, name, value);
  if (!o.author.empty()) {
    settings::WriteSettingText(*settings, settings::kAuthor, o.author);
    settings::StorePassword(*settings, o.password);
  }
  loader = platform::MakeSystemLibraryLoader(folder.string());
  state_folder = o.state_folder.empty() ? folder / "state" : o.state_folder;
  if (const char* old = std::getenv("ZEVO3_STATE_DIR")) old_state_dir_ = old;
  ::setenv("ZEVO3_STATE_DIR", state_folder.c_str(), 1);

  app::Environment env;
  env.ui = &ui;
  env.text = &text;
  env.tablet = &tablet;
  env.loader = loader.get();
  env.settings = settings.get();
  env.folders = o.folders ? *o.folders : platform::ProgramFolders(folder.string() + "/");
  env.screen_width = o.screen_width;
  env.screen_height = o.screen_height;
  env.arguments = o.arguments;
  for (const auto& user : o.start_dialogs) ui.QueueDialog(user);
  auto created = app::TZevo3Win::Create(env);
  if (created)
    win = std::move(created).Value();
  else
    error = created.ErrorText();
  if (win) win->FormActivate();
}

TestWindow::~TestWindow() {
  win.reset();
  if (old_state_dir_)
    ::setenv("ZEVO3_STATE_DIR", old_state_dir_->c_str(), 1);
  else
    ::unsetenv("ZEVO3_STATE_DIR");
  std::error_code ec;
  fs::remove_all(folder, ec);
}

void TestWindow::Packet(double screen_x, double screen_y, std::uint32_t pressure) {
  platform::TabletPacket p;
  auto [x, y] = tablet.Geometry().ToCounts(screen_x, screen_y);
  p.x = x;
  p.y = y;
  p.normal_pressure = pressure;
  const std::uint32_t serial = tablet.Push(p);
  win->TabletPanelMessage(platform::WT_PACKET, serial, 0);
}

void TestWindow::Click(std::string_view region) {
  const workspace::Region* r = workspace::RegionNamed(region);
  ASSERT_NE(r, nullptr) << "no region " << region;
  const workspace::Panels& p = win->panels;
  const workspace::PanelControl* panel = &p.PlayPanel;
  if (r->panel == workspace::Panel::kControl) panel = &p.ControlPanel;
  if (r->panel == workspace::Panel::kZoom) panel = &p.ZoomPanel;
  if (r->panel == workspace::Panel::kGrid) panel = &p.GridPanel;
  ASSERT_TRUE(panel->visible) << "the panel of " << region << " is hidden";
  const gfx::Rect b = r->rect.Intersected({0, 0, panel->width, panel->height});
  ASSERT_FALSE(b.Empty()) << region << " lies outside its panel";
  const int x = p.origin.x + panel->left + (b.left + b.right) / 2,
            y = p.origin.y + panel->top + (b.top + b.bottom) / 2;
  win->MouseDown(x, y);
  win->MouseUp(x, y);
}

void TestWindow::Stroke(const std::vector<std::pair<double, double>>& points,
                        std::uint32_t pressure) {
  for (const auto& [x, y] : points) Packet(x, y, pressure);
  const auto& [x, y] = points.back();
  Packet(x, y, 0);
}

}  // namespace zevo::test
