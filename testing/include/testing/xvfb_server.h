#pragma once
// A virtual X server of the test's own on a display number the server picks, so that tests
// running side by side never share one.
#include <sys/types.h>

#include <string>

class XvfbServer {
 public:
  // Starts Xvfb with one 1024x768 true-colour screen and waits until it accepts clients.
  XvfbServer();
  ~XvfbServer();
  XvfbServer(const XvfbServer&) = delete;
  XvfbServer& operator=(const XvfbServer&) = delete;

  // ":N", empty when the server could not be started.
  const std::string& Name() const { return name_; }

 private:
  pid_t pid_ = -1;
  std::string name_;
};
