#pragma once

// A main window for tests: a temporary program folder with the codec library and a skin, a
// settings file of its own, a scripted Ui and a tablet driver whose packets the test writes.

#include <filesystem>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "app/zevo3_win.h"
#include "platform/library_loader.h"
#include "platform/posix/settings_file.h"
#include "platform/scripted_ui.h"
#include "platform/tablet_driver.h"
#include "platform/text_painter.h"
#include "platform/virtual_tablet.h"

namespace zevo::test {

// A tablet on a 1024 x 768 screen (or as given) at 1024 counts per pixel, origin lower left.
class FakeTabletDriver : public platform::TabletDriver {
 public:
  explicit FakeTabletDriver(int screen_w = 1024, int screen_h = 768)
      : geometry_(screen_w, screen_h) {}
  bool load_ok = true;
  std::string load_error = "Wintab32.DLL not found.";
  bool opened = false;

  bool Load(std::string& error_text) override {
    if (!load_ok) error_text = load_error;
    return load_ok;
  }
  void Unload() override {}
  platform::TabletContext DefaultContext() override { return geometry_.DefaultContext(); }
  bool Open(const platform::TabletContext&) override { return opened = true; }
  void Close() override { opened = false; }
  std::optional<platform::TabletPacket> ReadPacket(std::uint32_t serial) override {
    return queue_.Read(serial);
  }
  std::uint32_t Push(const platform::TabletPacket& p) { return queue_.Push(p); }
  const platform::VirtualTabletGeometry& Geometry() const { return geometry_; }

 private:
  platform::VirtualTabletGeometry geometry_;
  platform::PacketQueue queue_;
};

// Text drawn as small filled boxes: enough for layout, no fonts needed.
class BoxTextPainter : public platform::TextPainter {
 public:
  void DrawText(gfx::Bitmap24& target, int x, int y, const std::string& text,
                const platform::TextStyle& style) override;
  platform::TextSize MeasureText(const std::string& text,
                                 const platform::TextStyle& style) override;
};

struct TestWindowOptions {
  bool with_codec = true;
  bool with_skin = true;  // the default skin of the build
  // The seal chooser's window picture, without which the program does not start; kept when
  // with_skin is off.
  bool with_stamp_skin = true;
  int message_lines = 20;  // lines written to Messages.txt; -1 writes no file
  bool tablet_ok = true;
  std::vector<std::pair<std::string, std::int32_t>> int_settings;
  // The stored identity; an empty author makes the window ask for one as it starts.
  std::string author = "Test Writer";
  std::string password = "brush";
  // Plays the dialogs the window shows while it starts (the author dialog at the first start).
  std::vector<platform::ScriptedUi::DialogUser> start_dialogs = {};
  // The state folder (ZEVO3_STATE_DIR) the window keeps its recovery file in; empty gives it
  // one of its own inside the program folder. Another window's folder is its next start.
  std::filesystem::path state_folder = {};
  // The command line (the window reads it in FormCreate, which the test calls).
  std::vector<std::string> arguments = {};
  // A FIFO where the settings file should be.
  bool settings_fifo = false;
  // The screen (and the window over it) the program starts on; the tablet covers it.
  int screen_width = 1024;
  int screen_height = 768;
  // The program's folders; unset, the temporary program folder is a portable one.
  std::optional<platform::ProgramFolders> folders = {};
};

// Owns everything the window refers to; the window itself is `win` (null when Create failed,
// with the message in `error`). ZEVO3_STATE_DIR names its state folder while it lives.
struct TestWindow {
  explicit TestWindow(const TestWindowOptions& options = {});
  ~TestWindow();

  std::filesystem::path folder;  // the temporary program folder
  std::filesystem::path state_folder;
  platform::ScriptedUi ui;
  BoxTextPainter text;
  FakeTabletDriver tablet;
  std::unique_ptr<platform::LibraryLoader> loader;
  std::unique_ptr<platform::FileSettingsBackend> settings;
  std::unique_ptr<app::TZevo3Win> win;
  std::string error;

  // The recovery file in the state folder.
  std::filesystem::path RecoveryPath() const { return state_folder / "recovery.stk"; }
  // Pen packets at screen pixel positions (fractions allowed) with raw pressure 0..1023; each
  // goes through the real message path of the writing area.
  void Packet(double screen_x, double screen_y, std::uint32_t pressure);
  // A click (press and release) in the middle of a named region of the skin
  // (workspace/skin_layout.h), at its place in the window, through the window's own
  // hit-testing as the view forwards it.
  void Click(std::string_view region);
  // A pen stroke along the points at the given pressure, then the lift.
  void Stroke(const std::vector<std::pair<double, double>>& points, std::uint32_t pressure = 700);

 private:
  std::optional<std::string> old_state_dir_;
};

}  // namespace zevo::test
