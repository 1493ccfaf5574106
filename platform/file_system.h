#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <span>
#include <string>
#include <vector>

#include "base/byte_io.h"
#include "base/result.h"

namespace zevo::platform {

// Why a read gave no bytes, for callers that answer each case with a code of their own. The
// error text of the result says the same for a person.
enum class FileError {
  kNone,
  kNotFound,    // the file, or a folder on its way, does not exist
  kNotRegular,  // a folder, FIFO, device or socket
  kTooLarge,    // more bytes than the caller accepts
  kCannotOpen,  // no permission, or any other reason it cannot be opened
  kReadFailed,  // opened, but reading it failed
};

// Produces the new content of a file into sink; returns false with a reason in error to
// abandon the replacement.
using FileWriter = std::function<bool(const base::ByteSink& sink, std::string& error)>;

// The permission bits a replaced file keeps: those of the file it replaces, or for a new file
// 0666 less the process's umask.
inline constexpr int kKeepFileMode = -1;

// What the program asks of the file system. Messages name the path and say why.
class FileSystem {
 public:
  virtual ~FileSystem() = default;

  // The content of the regular file at path. Folders, FIFOs, devices and sockets are refused
  // without waiting for a writer, and so is a file of more than max_bytes. why, when given,
  // receives the kind of failure (kNone on success).
  Result<std::vector<std::uint8_t>> ReadWholeFile(const std::string& path, std::size_t max_bytes,
                                                  FileError* why = nullptr) {
    return Read(path, max_bytes, false, why);
  }

  // The first count bytes of the regular file at path (all of it when it is shorter), with the
  // same refusals but of any size.
  Result<std::vector<std::uint8_t>> ReadFileStart(const std::string& path, std::size_t count,
                                                  FileError* why = nullptr) {
    return Read(path, count, true, why);
  }

  // Replaces the file at path so that it holds either its old content or all of the new one,
  // whatever happens: the new content goes to a temporary file in the same folder, is flushed
  // to the disk and renamed over the target. When path is a symbolic link, the file it points
  // to is replaced and the link stays. A folder, FIFO, device or socket at path is refused, not
  // replaced. mode is the permission bits the file gets, as they are (the umask does not
  // apply), or kKeepFileMode. On failure the temporary file is removed and the old file is
  // untouched.
  Result<bool> ReplaceFileAtomically(const std::string& path, std::span<const std::uint8_t> bytes,
                                     int mode = kKeepFileMode) {
    return Replace(
        path,
        [bytes](const base::ByteSink& sink, std::string&) {
          sink(bytes.data(), bytes.size());
          return true;
        },
        mode);
  }

  // The same with the content written into a sink as it is produced, so that a large file is
  // not held in memory twice. A write error of the sink is reported after write returns.
  Result<bool> ReplaceFileAtomically(const std::string& path, const FileWriter& write,
                                     int mode = kKeepFileMode) {
    return Replace(path, write, mode);
  }

 private:
  // at_most: read only the first max_bytes bytes instead of refusing a larger file.
  virtual Result<std::vector<std::uint8_t>> Read(const std::string& path, std::size_t max_bytes,
                                                 bool at_most, FileError* why) = 0;
  virtual Result<bool> Replace(const std::string& path, const FileWriter& write, int mode) = 0;
};

// The file system of the platform the program runs on; lives as long as the process.
FileSystem& DefaultFileSystem();

}  // namespace zevo::platform
