#pragma once
// Runs the win32_probe helper as a second process (with extra environment variables) and returns
// what it printed, without the final newline.
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <string>
#include <vector>

extern char** environ;

namespace win32_test {

// Starts the probe; returns its pid and the read end of its output in *out.
inline pid_t StartProbe(const std::vector<std::string>& args, const std::vector<std::string>& env,
                        int* out) {
  int fds[2];
  if (pipe(fds) != 0) return -1;
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_adddup2(&actions, fds[1], STDOUT_FILENO);
  posix_spawn_file_actions_addclose(&actions, fds[0]);
  std::vector<std::string> argStrings = {WIN32_PROBE};
  argStrings.insert(argStrings.end(), args.begin(), args.end());
  std::vector<char*> argv;
  for (std::string& a : argStrings) argv.push_back(a.data());
  argv.push_back(nullptr);
  std::vector<std::string> envStrings = env;
  for (char** e = environ; *e; ++e) envStrings.emplace_back(*e);  // earlier entries win
  std::vector<char*> envp;
  for (std::string& e : envStrings) envp.push_back(e.data());
  envp.push_back(nullptr);
  pid_t pid = -1;
  if (posix_spawn(&pid, WIN32_PROBE, &actions, nullptr, argv.data(), envp.data()) != 0) pid = -1;
  posix_spawn_file_actions_destroy(&actions);
  close(fds[1]);
  *out = fds[0];
  return pid;
}

inline std::string FinishProbe(pid_t pid, int out) {
  std::string text;
  char buffer[256];
  ssize_t n;
  while ((n = read(out, buffer, sizeof buffer)) > 0) text.append(buffer, static_cast<size_t>(n));
  close(out);
  int status = 0;
  if (pid > 0) waitpid(pid, &status, 0);
  if (pid <= 0 || !WIFEXITED(status) || WEXITSTATUS(status) != 0) return "probe failed";
  if (!text.empty() && text.back() == '\n') text.pop_back();
  return text;
}

inline std::string RunProbe(const std::vector<std::string>& args, const std::vector<std::string>& env = {}) {
  int out = -1;
  pid_t pid = StartProbe(args, env, &out);
  return FinishProbe(pid, out);
}

}  // namespace win32_test
