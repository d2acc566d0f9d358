#pragma once
// Runs one side of a benchmark in a child process, so that its peak memory is its own.
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <functional>

namespace bench {

struct Result {
  double seconds = 0;
  double cpuSeconds = 0;  // user and system time of the child's threads
  long peakKiB = 0;
  int status = -1;
};

inline Result InChild(const std::function<int()>& work) {
  const auto start = std::chrono::steady_clock::now();
  const pid_t pid = fork();
  if (pid == 0) std::_Exit(work());
  int status = 0;
  rusage usage{};
  wait4(pid, &status, 0, &usage);
  Result r;
  r.seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  r.cpuSeconds = double(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) +
                 double(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
  r.peakKiB = usage.ru_maxrss;
  r.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  return r;
}

}  // namespace bench
