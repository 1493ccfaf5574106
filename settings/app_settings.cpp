#include "settings/app_settings.h"

#include "platform/paths.h"
#include "settings/setting_names.h"

namespace zevo::settings {
namespace {

std::string Folder(const std::string& program_folder, const char* name) {
  return program_folder + name + platform::kPathSeparator;
}

void ReadExtension(AppSettings& s, const SettingsBackend& store) {
  const ink::BrushExtension x =
      ink::BrushExtension::FromSettings(ReadSettingInt(store, kPenExRatio, 0), 0);
  s.extension_factor = x.full;
  s.half_extension_factor = x.half;
  s.extension_maximum = ReadSettingInt(store, kPenExMax, 0);
}

}  // namespace

std::string DefaultSkinFolder(const std::string& p) {
  return Folder(p, "Skin");
}
std::string DefaultSaveFolder(const std::string& p) {
  return Folder(p, "Save");
}
std::string DefaultStampFolder(const std::string& p) {
  return Folder(p, "Stamp");
}
std::string DefaultTextureFolder(const std::string& p) {
  return Folder(p, "Texture");
}
std::string DefaultImageFolder(const std::string& p) {
  return Folder(p, "Background");
}

void AppSettings::ReadPressure(const SettingsBackend& store) {
  pressure_minimum = ReadSettingInt(store, kTabletPrsMin, 0);
  pressure_maximum = ReadSettingInt(store, kTabletPrsMax, 1023);
  pressure_gamma = ReadSettingInt(store, kTabletPrsGamma, 0);
  pressure_curve.Build(pressure_minimum, pressure_maximum, pressure_gamma);
}

void AppSettings::ReadAtStart(const SettingsBackend& store, const std::string& program_folder) {
  tablet_reverse = ReadSettingInt(store, kTabletReverse, 0) != 0;
  cursor_style = ReadSettingInt(store, kCursorStyle, 1);
  print_scale = float(ReadSettingInt(store, kPrintScale, 100) * 0.01);
  skin_folder = ReadSettingText(store, kSkinPath, DefaultSkinFolder(program_folder));
  save_folder = ReadSettingText(store, kSavePath, DefaultSaveFolder(program_folder));
  stamp_folder = ReadSettingText(store, kStampPath, DefaultStampFolder(program_folder));
  replay_rate = ReadSettingInt(store, kReplayRate, 3);
  offset_x = ReadSettingInt(store, kTabletOffsetX, 0) / 1024;
  offset_y = ReadSettingInt(store, kTabletOffsetY, 0) / 1024;
  ReadExtension(*this, store);
  contour = ReadSettingInt(store, kPenContour, 1) != 0;
  ReadPressure(store);
}

void AppSettings::ReadAfterOptions(const SettingsBackend& store, const std::string& program_folder,
                                   bool skin_changed) {
  if (skin_changed)
    skin_folder = ReadSettingText(store, kSkinPath, DefaultSkinFolder(program_folder));
  print_scale = float(ReadSettingInt(store, kPrintScale, 100) * 0.01);
  save_folder = ReadSettingText(store, kSavePath, DefaultSaveFolder(program_folder));
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
