#include "testing/xvfb_server.h"

#include <fcntl.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>

XvfbServer::XvfbServer() {
  int fds[2];
  if (pipe(fds) != 0) return;
  // Everything the child needs is made before fork: after it only exec and _exit.
  const std::string fdText = std::to_string(fds[1]);
  const char* argv[] = {"Xvfb", "-displayfd", fdText.c_str(), "-screen", "0", "1024x768x24",
                        "-nolisten", "tcp", "-noreset", nullptr};
  pid_ = fork();
  if (pid_ == 0) {
    close(fds[0]);
    const int quiet = open("/dev/null", O_RDWR);
    dup2(quiet, 0);
    dup2(quiet, 1);
    dup2(quiet, 2);
    execvp(argv[0], const_cast<char* const*>(argv));
    _exit(127);
  }
  close(fds[1]);
  if (pid_ < 0) {
    close(fds[0]);
    return;
  }
  // The server writes its display number once it listens; end of file means it died.
  std::string number;
  char c;
  for (;;) {
    const ssize_t n = read(fds[0], &c, 1);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0 || c == '\n') break;
    number += c;
  }
  close(fds[0]);
  if (!number.empty()) name_ = ":" + number;
}

XvfbServer::~XvfbServer() {
  if (pid_ <= 0) return;
  kill(pid_, SIGTERM);
  int status = 0;
  while (waitpid(pid_, &status, 0) < 0 && errno == EINTR) {
  }
}
