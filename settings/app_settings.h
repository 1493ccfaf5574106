#pragma once

#include <cstdint>
#include <string>

#include "ink/pressure_curve.h"
#include "platform/program_folders.h"
#include "settings/settings_store.h"

namespace zevo::settings {

using platform::ProgramFolders;

// The default folders, with a trailing separator: "Skin", "Texture" and "Background" of the
// shipped data; "Save" and "Stamp" of the writer's folder (the program folder when it is
// portable).
std::string DefaultSkinFolder(const ProgramFolders& folders);
std::string DefaultSaveFolder(const ProgramFolders& folders);
std::string DefaultStampFolder(const ProgramFolders& folders);
std::string DefaultTextureFolder(const ProgramFolders& folders);
std::string DefaultImageFolder(const ProgramFolders& folders);
// The shipped seals offered beside the writer's own; empty when the stamp folder is the
// shipped one.
std::string ShippedStampFolder(const ProgramFolders& folders);
// Makes `folder` when it is one of the writer's default folders (under folders.user) and
// missing: they are made on first use. Any other folder is left as it is.
void MakeUserFolder(const ProgramFolders& folders, const std::string& folder);

// The main window's settings, converted for their users.
struct AppSettings {
  bool tablet_reverse = false;
  std::int32_t cursor_style = 1;
  float print_scale = 1.0f;  // Print_Scale × 0.01
  std::string skin_folder;
  std::string save_folder;
  std::string stamp_folder;
  std::int32_t replay_rate = 3;
  std::int32_t offset_x = 0;  // Tablet_OffsetX / 1024, truncated toward zero
  std::int32_t offset_y = 0;
  float extension_factor = 1.0f;       // F1 = 1 + Pen_ExRatio × 0.0002
  float half_extension_factor = 1.0f;  // F2 = (F1 − 1) × 0.5 + 1
  std::int32_t extension_maximum = 0;  // Pen_ExMax, percent; bounds the brush gain
  bool contour = true;
  std::int32_t pressure_minimum = 0;
  std::int32_t pressure_maximum = 1023;
  std::int32_t pressure_gamma = 0;
  ink::PressureCurve pressure_curve;  // the identity until the first read

  // Everything the main window reads at construction (the author identity is read with it but
  // kept in AuthorIdentity). Missing values give the defaults above and the default folders.
  void ReadAtStart(const SettingsBackend& store, const ProgramFolders& folders);
  // What the main window reads again after the options dialog closed with Accept; the skin
  // folder only when the dialog changed it.
  void ReadAfterOptions(const SettingsBackend& store, const ProgramFolders& folders,
                        bool skin_changed);

  // Reads Tablet_PrsMin, Tablet_PrsMax and Tablet_PrsGamma and rebuilds the curve from them.
  void ReadPressure(const SettingsBackend& store);

  // The gain factors and bound for the brush.
  ink::BrushExtension Extension() const;
};

}  // namespace zevo::settings
