#include "settings/dialog_texts.h"

#include <filesystem>

#include "settings/app_settings.h"
#include "settings/setting_names.h"

namespace zevo::settings {
namespace {

constexpr const char* kOptionTexts[] = {
    "Zevo 3.0 Option",
    "Pen tablet setting",
    "Cursor mapping",
    "turn 0 deg.",
    "turn 90 deg.",
    "turn 180 deg.",
    "turn 270 deg.",
    "Pen cursor style",
    "None",
    "Point",
    "Pen",
    "Output pixels",
    "1600% (<= A4)",
    "3600% (<= A1)",
    "6400% (>= A1)",
    "Stroke replay rate",
    "Slowest",
    "Slower",
    "Normal",
    "Fast",
    "Faster",
    "Fastest",
    "Directories setting",
    "Skin",
    "Stamp",
    "Stroke",
    "Select...",
    "Accept",
    "Undo",
    "Exit",
    "Pen brush setting",
    "Extend ratio",
    "Extend maxinum",
    "Show brush contour",
    "Texture",
    "Background",
    "Prs. Mapping",
    "Prs. Senstive",
    "High",
    "Low",
    "Min",
    "Max",
    "Prs. Gamma",
    "High",
    "Low",
    "Default",
    "Author Information",
    "Change...",
};

constexpr const char* kAuthorTexts[] = {
    "Author information",
    "Author",
    "Password",
    "Check",
    "Remember my password",
    "OK",
    "Cancel",
    "/*Change password*/",
    "/*Check password*/",
    "Please input author",
    "Please input password",
    "Using first time",
    "Change author information",
};

constexpr const char* kBackgroundTexts[] = {
    "Select Background Style",
    "Background style",
    "White",
    "Texture",
    "Image",
    "Load...",
    "Transparent",
    "Fit paper",
    "Full",
    "Center",
    "Left && Top",
    "OK",
    "Cancel",
};

constexpr const char* kSaveOptionTexts[] = {
    "Save Options",
    "Quality of Sampling (Size:%s - %s)",
    "Data Protected",
    "Allow other user to open this file",
    "Allow other user to edit this file",
    "No author information to protect this file",
    "OK",
    "Cancel",
};

const DialogTextInfo kInfo[] = {
    {"Option01.txt", 48, kOptionTexts},
    {"LoginDlg.txt", 13, kAuthorTexts},
    {"BGDlg.txt", 13, kBackgroundTexts},
    {"SaveDlg.txt", 8, kSaveOptionTexts},
};

static_assert(std::size(kOptionTexts) == 48 && std::size(kAuthorTexts) == 13 &&
              std::size(kBackgroundTexts) == 13 && std::size(kSaveOptionTexts) == 8);

// The file's lines when it exists, can be read and its line count passes `accept`.
template <class Accept>
DialogTexts FromFileOr(DialogTextFile file, const std::string& folder, Accept accept) {
  auto lines = ReadTextFile(folder + InfoOf(file).file_name);
  if (lines && accept(int(lines.Value().size()))) return {std::move(lines).Value(), true};
  return DialogTexts::BuiltIn(file);
}

}  // namespace

const DialogTextInfo& InfoOf(DialogTextFile file) {
  return kInfo[int(file)];
}

DialogTexts DialogTexts::BuiltIn(DialogTextFile file) {
  const auto& b = InfoOf(file).built_in;
  return {std::vector<std::string>(b.begin(), b.end()), false};
}

const std::string& DialogTexts::At(int line) const {
  if (line < 0 || line >= Count()) throw TextIndexError(line, Count());
  return lines_[std::size_t(line)];
}

std::string DialogSkinFolder(const SettingsBackend& store,
                             const platform::ProgramFolders& folders) {
  std::string folder = ReadSettingText(store, kSkinPath, DefaultSkinFolder(folders));
  std::error_code ec;
  return std::filesystem::is_directory(folder, ec) ? folder : std::string();
}

DialogTexts LoadDialogTextsFrom(DialogTextFile file, const std::string& folder) {
  const int needed = InfoOf(file).needed;
  return FromFileOr(file, folder, [&](int count) { return count >= needed; });
}

DialogTexts LoadDialogTexts(DialogTextFile file, const SettingsBackend& store,
                            const platform::ProgramFolders& folders) {
  return LoadDialogTextsFrom(file, DialogSkinFolder(store, folders));
}

DialogTexts ReloadOptionTexts(const std::string& new_skin_folder) {
  const int needed = InfoOf(DialogTextFile::Options).needed;
  return FromFileOr(DialogTextFile::Options, new_skin_folder,
                    [&](int count) { return count == needed; });
}

}  // namespace zevo::settings
