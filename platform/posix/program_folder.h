#pragma once

#include <string>

#include "platform/paths.h"
#include "platform/program_folders.h"

namespace zevo::platform {

// The folder of the running program with a trailing separator ("/opt/Zevo3/"); the current
// folder ("./") when it cannot be found.
std::string ExecutableFolder();

// The writer's documents folder with a trailing separator: $XDG_DOCUMENTS_DIR, else the one
// user-dirs.dirs of the configuration folder names, else ~/Documents/. Empty without a home.
std::string DocumentsFolder();

// The folders of the program running from `program_folder`. A portable program folder (one
// with a Skin folder of its own that the writer may write in) keeps everything itself. An
// installed program finds what it ships at `installed_data` (relative to the program folder,
// "../../share/zevo3/"), or beside itself when that has no Skin folder, and keeps the writer's
// saves and seals under "Zevo3/" of the documents folder.
ProgramFolders FindProgramFolders(const std::string& program_folder,
                                  const std::string& installed_data);

// True when `path` names an existing folder (a trailing separator is allowed).
bool FolderExists(const std::string& path);

// True when `path` names an existing file that is not a folder.
bool FileExists(const std::string& path);

}  // namespace zevo::platform
