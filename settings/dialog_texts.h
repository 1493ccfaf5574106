#pragma once

#include <span>
#include <string>
#include <vector>

#include "platform/program_folders.h"
#include "settings/settings_store.h"
#include "settings/text_file.h"

namespace zevo::settings {

// The four dialogs that carry their own English texts.
enum class DialogTextFile { Options, Author, Background, SaveOptions };

struct DialogTextInfo {
  const char* file_name;  // "Option01.txt", "LoginDlg.txt", "BGDlg.txt", "SaveDlg.txt"
  int needed;             // 48, 13, 13, 8
  std::span<const char* const> built_in;
};

const DialogTextInfo& InfoOf(DialogTextFile file);

// A dialog's texts: the lines of its file, or its built-in list.
class DialogTexts {
 public:
  DialogTexts(std::vector<std::string> lines, bool from_file)
      : lines_(std::move(lines)), from_file_(from_file) {}
  static DialogTexts BuiltIn(DialogTextFile file);

  int Count() const { return int(lines_.size()); }
  bool FromFile() const { return from_file_; }
  // The line as stored; throws TextIndexError when the list has no such line.
  const std::string& At(int line) const;
  const std::string& operator[](int line) const { return At(line); }
  const std::vector<std::string>& Lines() const { return lines_; }

 private:
  std::vector<std::string> lines_;
  bool from_file_ = false;
};

// The folder the dialogs look their files up in: Skin_Path with the default program folder +
// "Skin/", or the empty folder (the current directory) when that folder does not exist.
std::string DialogSkinFolder(const SettingsBackend& store, const platform::ProgramFolders& folders);

// What a dialog's constructor loads: the file from DialogSkinFolder when it exists and has at
// least the needed lines, else the built-in list.
DialogTexts LoadDialogTexts(DialogTextFile file, const SettingsBackend& store,
                            const platform::ProgramFolders& folders);
// The same from a given folder.
DialogTexts LoadDialogTextsFrom(DialogTextFile file, const std::string& folder);

// The options dialog after the writer chose another skin folder: "Option01.txt" from that
// folder only when it has exactly 48 lines, else the built-in list.
DialogTexts ReloadOptionTexts(const std::string& new_skin_folder);

}  // namespace zevo::settings
