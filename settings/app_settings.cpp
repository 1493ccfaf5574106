#include "settings/app_settings.h"

#include <filesystem>
#include <system_error>

#include "platform/paths.h"
#include "settings/setting_names.h"

namespace zevo::settings {
namespace {

std::string Folder(const std::string& parent, const char* name) {
  return parent + name + platform::kPathSeparator;
}

void ReadExtension(AppSettings& s, const SettingsBackend& store) {
  const ink::BrushExtension x =
      ink::BrushExtension::FromSettings(ReadSettingInt(store, kPenExRatio, 0), 0);
  s.extension_factor = x.full;
  s.half_extension_factor = x.half;
  s.extension_maximum = ReadSettingInt(store, kPenExMax, 0);
}

}  // namespace

std::string DefaultSkinFolder(const ProgramFolders& f) {
  return Folder(f.data, "Skin");
}
std::string DefaultSaveFolder(const ProgramFolders& f) {
  return Folder(f.Writable(), "Save");
}
std::string DefaultStampFolder(const ProgramFolders& f) {
  return Folder(f.Writable(), "Stamp");
}
std::string DefaultTextureFolder(const ProgramFolders& f) {
  return Folder(f.data, "Texture");
}
std::string DefaultImageFolder(const ProgramFolders& f) {
  return Folder(f.data, "Background");
}
std::string ShippedStampFolder(const ProgramFolders& f) {
  return f.user.empty() ? std::string() : Folder(f.data, "Stamp");
}

void MakeUserFolder(const ProgramFolders& f, const std::string& folder) {
  if (f.user.empty() || folder.compare(0, f.user.size(), f.user) != 0) return;
  // A folder that cannot be made is reported where it is used, as any missing folder is.
  std::error_code ec;
  std::filesystem::create_directories(folder, ec);
}

void AppSettings::ReadPressure(const SettingsBackend& store) {
  pressure_minimum = ReadSettingInt(store, kTabletPrsMin, 0);
  pressure_maximum = ReadSettingInt(store, kTabletPrsMax, 1023);
  pressure_gamma = ReadSettingInt(store, kTabletPrsGamma, 0);
  pressure_curve.Build(pressure_minimum, pressure_maximum, pressure_gamma);
}

void AppSettings::ReadAtStart(const SettingsBackend& store, const ProgramFolders& folders) {
  tablet_reverse = ReadSettingInt(store, kTabletReverse, 0) != 0;
  cursor_style = ReadSettingInt(store, kCursorStyle, 1);
  print_scale = float(ReadSettingInt(store, kPrintScale, 100) * 0.01);
  skin_folder = ReadSettingText(store, kSkinPath, DefaultSkinFolder(folders));
  save_folder = ReadSettingText(store, kSavePath, DefaultSaveFolder(folders));
  stamp_folder = ReadSettingText(store, kStampPath, DefaultStampFolder(folders));
  replay_rate = ReadSettingInt(store, kReplayRate, 3);
  offset_x = ReadSettingInt(store, kTabletOffsetX, 0) / 1024;
  offset_y = ReadSettingInt(store, kTabletOffsetY, 0) / 1024;
  ReadExtension(*this, store);
  contour = ReadSettingInt(store, kPenContour, 1) != 0;
  ReadPressure(store);
}

void AppSettings::ReadAfterOptions(const SettingsBackend& store, const ProgramFolders& folders,
                                   bool skin_changed) {
  if (skin_changed) skin_folder = ReadSettingText(store, kSkinPath, DefaultSkinFolder(folders));
  print_scale = float(ReadSettingInt(store, kPrintScale, 100) * 0.01);
  save_folder = ReadSettingText(store, kSavePath, DefaultSaveFolder(folders));
  cursor_style = ReadSettingInt(store, kCursorStyle, 1);
  replay_rate = ReadSettingInt(store, kReplayRate, 3);
  ReadExtension(*this, store);
  contour = ReadSettingInt(store, kPenContour, 1) != 0;
  ReadPressure(store);
}

ink::BrushExtension AppSettings::Extension() const {
  ink::BrushExtension x;
  x.full = extension_factor;
  x.half = half_extension_factor;
  x.maximum = ink::BrushExtension::FromSettings(0, extension_maximum).maximum;
  return x;
}

}  // namespace zevo::settings
