#pragma once

// Runs a piece of a test in a forked child whose address space is limited, and reports what
// it returned and how much memory it took at its peak.
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdint>
#include <fstream>
#include <string>

namespace zevo::test_support {

// AddressSanitizer reserves terabytes of shadow memory: no address space limit can hold it.
#if defined(__SANITIZE_ADDRESS__)
inline constexpr bool kAddressSpaceLimitWorks = false;
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
inline constexpr bool kAddressSpaceLimitWorks = false;
#else
inline constexpr bool kAddressSpaceLimitWorks = true;
#endif
#else
inline constexpr bool kAddressSpaceLimitWorks = true;
#endif

struct LimitedRun {
  bool finished = false;  // the child came back from the body rather than dying
  std::int64_t result = -1;
  // Bytes of address space and of resident memory the body added at its peak.
  std::uint64_t peak_growth = 0;
  std::uint64_t resident_growth = 0;
};

// A "Vm..." line of /proc/self/status in bytes; 0 when it is not there.
inline std::uint64_t ProcessStatusBytes(const std::string& field) {
  std::ifstream status("/proc/self/status");
  std::string line;
  while (std::getline(status, line)) {
    if (line.compare(0, field.size() + 1, field + ":") == 0) {
      return std::stoull(line.substr(field.size() + 1)) * 1024;  // given in kB
    }
  }
  return 0;
}

// Runs body() (which returns an integer) in a child process limited to limit bytes of address
// space. The child's peaks start at fork, so the growth is the body's own.
template <class Body>
LimitedRun RunWithAddressSpaceLimit(std::uint64_t limit, Body&& body) {
  LimitedRun run;
  int pipe_fds[2];
  if (::pipe(pipe_fds) != 0) return run;
  const pid_t child = ::fork();
  if (child == 0) {
    ::close(pipe_fds[0]);
    const rlimit r{rlim_t(limit), rlim_t(limit)};
    std::int64_t report[3] = {-1, 0, 0};
    if (::setrlimit(RLIMIT_AS, &r) == 0) {
      const std::uint64_t size = ProcessStatusBytes("VmSize");
      const std::uint64_t resident = ProcessStatusBytes("VmRSS");
      report[0] = std::int64_t(body());
      report[1] = std::int64_t(ProcessStatusBytes("VmPeak") - size);
      report[2] = std::int64_t(ProcessStatusBytes("VmHWM") - resident);
    }
    const bool sent = ::write(pipe_fds[1], report, sizeof report) == ssize_t(sizeof report);
    ::_exit(sent ? 0 : 1);
  }
  ::close(pipe_fds[1]);
  std::int64_t report[3] = {};
  const bool received =
      child > 0 && ::read(pipe_fds[0], report, sizeof report) == ssize_t(sizeof report);
  ::close(pipe_fds[0]);
  int status = 0;
  if (child > 0) ::waitpid(child, &status, 0);
  run.finished = received && WIFEXITED(status) && WEXITSTATUS(status) == 0;
  run.result = report[0];
  run.peak_growth = std::uint64_t(report[1]);
  run.resident_growth = std::uint64_t(report[2]);
  return run;
}

}  // namespace zevo::test_support
