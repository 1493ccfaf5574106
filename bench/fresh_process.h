#pragma once

// Peak memory measured in a fresh process: the benchmark program started again with a variable
// in its environment, which its child side (run before main) reads to do one job and print how
// many kB its peak resident memory rose, so that no memory the benchmark process holds already
// is reused.

#include <fcntl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

namespace zevo::bench {

// A value of /proc/self/status ("VmHWM", "VmRSS"), in kB.
inline long StatusKb(const char* key) {
  FILE* f = std::fopen("/proc/self/status", "r");
  if (f == nullptr) return 0;
  char line[256];
  long kb = 0;
  const std::size_t n = std::strlen(key);
  while (std::fgets(line, sizeof line, f) != nullptr)
    if (std::strncmp(line, key, n) == 0 && line[n] == ':') kb = std::atol(line + n + 1);
  std::fclose(f);
  return kb;
}

// This program run again with variable=value; what it printed, in kB, as MB. -1 when it failed.
inline double FreshProcessMegabytes(const char* variable, const std::string& value) {
  int fds[2];
  if (pipe(fds) != 0) return -1;
  const pid_t pid = fork();
  if (pid == 0) {
    dup2(fds[1], 1);
    close(fds[0]);
    close(fds[1]);
    setenv(variable, value.c_str(), 1);
    char* const argv[] = {const_cast<char*>("bench"), nullptr};
    execv("/proc/self/exe", argv);
    _exit(3);
  }
  close(fds[1]);
  char buf[64] = {};
  std::size_t got = 0;
  while (got + 1 < sizeof buf) {
    const ssize_t n = read(fds[0], buf + got, sizeof buf - 1 - got);
    if (n <= 0) break;
    got += std::size_t(n);
  }
  close(fds[0]);
  int status = 0;
  if (pid < 0 || waitpid(pid, &status, 0) < 0 || !WIFEXITED(status) || WEXITSTATUS(status) != 0)
    return -1;
  return double(std::atol(buf)) / 1024.0;
}

}  // namespace zevo::bench
