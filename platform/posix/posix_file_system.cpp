#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <cstring>
#include <new>

#include "platform/file_system.h"
#include "platform/posix/resolve_links.h"

namespace zevo::platform {
namespace {

using Bytes = std::vector<std::uint8_t>;

// The same limit the kernel puts on a path.
constexpr int kMaxLinks = 40;
// A temporary name made from a longer file name could pass the length a name may have.
constexpr std::size_t kMaxNameForTemp = 200;

std::string Reason(int e) {
  switch (e) {
    case ENOENT:
      return "no such file or folder";
    case ENOTDIR:
      return "a part of the path is not a folder";
    case EACCES:
    case EPERM:
      return "permission denied";
    case ENOSPC:
      return "the disk is full";
    case EDQUOT:
      return "the disk quota is used up";
    case EROFS:
      return "the file system is read-only";
    case EISDIR:
      return "it is a folder";
    case ELOOP:
      return "too many symbolic links";
    default:
      return std::strerror(e);
  }
}

std::string WhatItIs(mode_t mode) {
  if (S_ISDIR(mode)) return "it is a folder, not a file";
  if (S_ISFIFO(mode)) return "it is a FIFO, not a file";
  if (S_ISCHR(mode) || S_ISBLK(mode)) return "it is a device, not a file";
  if (S_ISSOCK(mode)) return "it is a socket, not a file";
  return "not a regular file";
}

class Fd {
 public:
  explicit Fd(int fd) : fd_(fd) {}
  ~Fd() {
    if (fd_ >= 0) ::close(fd_);
  }
  Fd(const Fd&) = delete;
  Fd& operator=(const Fd&) = delete;
  int get() const { return fd_; }

 private:
  int fd_;
};

// The folder part of path with its trailing slash; empty for a bare name.
std::string FolderPrefix(const std::string& path) {
  const std::size_t slash = path.find_last_of('/');
  return slash == std::string::npos ? std::string() : path.substr(0, slash + 1);
}

// The temporary file of a replacement; removed again unless it was renamed into place.
class TempFile {
 public:
  ~TempFile() {
    if (fd_ >= 0) ::close(fd_);
    if (!path_.empty()) ::unlink(path_.c_str());
  }

  // Creates a new file beside target; false with errno set when none can be made.
  bool Create(const std::string& target, mode_t mode) {
    static std::atomic<unsigned> counter{0};
    const std::size_t slash = target.find_last_of('/');
    const std::size_t name_length = target.size() - (slash == std::string::npos ? 0 : slash + 1);
    const std::string stem =
        name_length > kMaxNameForTemp ? FolderPrefix(target) + ".zevo" : target;
    for (int attempt = 0; attempt < 100; ++attempt) {
      std::string name =
          stem + "." + std::to_string(::getpid()) + "-" + std::to_string(counter++) + ".tmp";
      fd_ = ::open(name.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, mode);
      if (fd_ >= 0) {
        path_ = std::move(name);
        return true;
      }
      if (errno != EEXIST) return false;
    }
    return false;
  }

  int fd() const { return fd_; }
  const std::string& path() const { return path_; }

  // Closes the file; errno is set when that fails.
  bool Close() {
    const int fd = fd_;
    fd_ = -1;
    return ::close(fd) == 0;
  }
  // The file is in place under another name: nothing to remove any more.
  void Keep() { path_.clear(); }

 private:
  int fd_ = -1;
  std::string path_;
};

class PosixFileSystem final : public FileSystem {
 private:
  Result<Bytes> Read(const std::string& path, std::size_t max_bytes, bool at_most,
                     FileError* why) override {
    auto fail = [&](FileError kind, std::string text) {
      if (why) *why = kind;
      return Result<Bytes>::Error(std::move(text));
    };
    if (why) *why = FileError::kNone;
    // O_NONBLOCK: opening a FIFO must not wait for a writer; it is refused below.
    const Fd fd(::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK | O_NOCTTY));
    if (fd.get() < 0) {
      const int e = errno;
      if (e == ENOENT || e == ENOTDIR) {
        return fail(FileError::kNotFound, "cannot open " + path + ": " + Reason(e));
      }
      if (e == ENXIO) {  // a socket, or a device without its driver
        return fail(FileError::kNotRegular, "cannot read " + path + ": not a regular file");
      }
      return fail(FileError::kCannotOpen, "cannot open " + path + ": " + Reason(e));
    }
    struct stat st {};
    if (::fstat(fd.get(), &st) != 0) {
      return fail(FileError::kReadFailed, "cannot read " + path + ": " + Reason(errno));
    }
    if (!S_ISREG(st.st_mode)) {
      return fail(FileError::kNotRegular, "cannot read " + path + ": " + WhatItIs(st.st_mode));
    }
    const auto size = std::uint64_t(st.st_size);
    const std::string too_large =
        "cannot read " + path + ": larger than " + std::to_string(max_bytes) + " bytes";
    if (!at_most && size > max_bytes) return fail(FileError::kTooLarge, too_large);

    Bytes bytes;
    try {
      bytes.resize(std::size_t(std::min<std::uint64_t>(size, max_bytes)));
    } catch (const std::bad_alloc&) {
      return fail(FileError::kReadFailed, "cannot read " + path + ": not enough memory");
    }
    // The size fstat gave is a first guess: a file may shrink or grow while it is read, and
    // some files report no size at all. Past the guess the rest comes in pieces, up to the
    // limit, until the end.
    std::size_t done = 0;
    for (;;) {
      std::uint8_t more[4096];
      const bool past_guess = done == bytes.size();
      if (past_guess && at_most && done == max_bytes) break;
      const ssize_t n = past_guess ? ::read(fd.get(), more, sizeof more)
                                   : ::read(fd.get(), bytes.data() + done, bytes.size() - done);
      if (n < 0 && errno == EINTR) continue;
      if (n < 0) return fail(FileError::kReadFailed, "cannot read " + path + ": " + Reason(errno));
      if (n == 0) break;
      std::size_t got = std::size_t(n);
      if (past_guess) {
        if (got > max_bytes - done) {
          if (!at_most) return fail(FileError::kTooLarge, too_large);
          got = max_bytes - done;
        }
        try {
          bytes.insert(bytes.end(), more, more + got);
        } catch (const std::bad_alloc&) {
          return fail(FileError::kReadFailed, "cannot read " + path + ": not enough memory");
        }
      }
      done += got;
    }
    bytes.resize(done);
    return bytes;
  }

  Result<bool> Replace(const std::string& path, const FileWriter& write, int mode) override {
    using R = Result<bool>;
    Result<std::string> resolved = ResolveLinks(path);
    if (!resolved) return R::Error(resolved.ErrorText());
    const std::string& target = resolved.Value();

    struct stat old {};
    const bool exists = ::stat(target.c_str(), &old) == 0;
    // A folder, FIFO, device or socket is never swapped for a file.
    if (exists && !S_ISREG(old.st_mode))
      return R::Error("cannot replace " + path + ": " + WhatItIs(old.st_mode));
    const bool replaces = exists;
    // A file meant to be private must not be opened by others while it is more open than its
    // final bits; a new file with the default bits has nothing stricter to wait for.
    const bool private_first = mode >= 0 || replaces;
    TempFile temp;
    if (!temp.Create(target, private_first ? 0600 : 0666)) {
      const int e = errno;
      const std::string folder = FolderPrefix(target);
      if (e == ENOENT) {
        return R::Error("cannot create a file beside " + path + ": the folder " +
                        (folder.empty() ? std::string(".") : folder) + " does not exist");
      }
      return R::Error("cannot create a file beside " + path + ": " + Reason(e));
    }
    if (mode >= 0) {
      if (::fchmod(temp.fd(), mode_t(mode) & 07777) != 0) {
        return R::Error("cannot set the permissions of " + path + ": " + Reason(errno));
      }
    } else if (replaces) {
      // Some file systems have no permissions to set; the file is written all the same.
      (void)::fchmod(temp.fd(), old.st_mode & 07777);
    }

    int write_errno = 0;
    const base::ByteSink sink = [&temp, &write_errno](const std::uint8_t* data, std::size_t n) {
      while (n > 0 && write_errno == 0) {
        const ssize_t w = ::write(temp.fd(), data, n);
        if (w < 0 && errno == EINTR) continue;
        if (w <= 0) {
          write_errno = w < 0 ? errno : EIO;
          return;
        }
        data += w;
        n -= std::size_t(w);
      }
    };
    std::string write_error;
    if (!write(sink, write_error)) {
      return R::Error(write_error.empty() ? "cannot write " + path : write_error);
    }
    if (write_errno != 0) return R::Error("cannot write " + path + ": " + Reason(write_errno));
    if (::fsync(temp.fd()) != 0) return R::Error("cannot write " + path + ": " + Reason(errno));
    if (!temp.Close()) return R::Error("cannot write " + path + ": " + Reason(errno));
    if (::rename(temp.path().c_str(), target.c_str()) != 0) {
      return R::Error("cannot replace " + path + ": " + Reason(errno));
    }
    temp.Keep();

    // Make the rename itself durable; a failure here no longer endangers either file.
    const std::string folder = FolderPrefix(target);
    const Fd dir(::open(folder.empty() ? "." : folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (dir.get() >= 0) (void)::fsync(dir.get());
    return true;
  }
};

}  // namespace

Result<std::string> ResolveLinks(const std::string& path) {
  std::string target = path;
  for (int hops = 0;; ++hops) {
    struct stat st {};
    if (::lstat(target.c_str(), &st) != 0 || !S_ISLNK(st.st_mode)) return target;
    if (hops == kMaxLinks) {
      return Result<std::string>::Error("cannot replace " + path + ": " + Reason(ELOOP));
    }
    std::string link(std::size_t(st.st_size > 0 ? st.st_size + 1 : 256), '\0');
    for (;;) {
      const ssize_t n = ::readlink(target.c_str(), link.data(), link.size());
      if (n < 0) {
        return Result<std::string>::Error("cannot replace " + path + ": " + Reason(errno));
      }
      if (std::size_t(n) < link.size()) {
        link.resize(std::size_t(n));
        break;
      }
      link.resize(link.size() * 2);  // the link changed since lstat
    }
    target = link.starts_with('/') ? link : FolderPrefix(target) + link;
  }
}

FileSystem& DefaultFileSystem() {
  static PosixFileSystem file_system;
  return file_system;
}

}  // namespace zevo::platform
