#pragma once
// The per-process configuration of the platform layer, read once from the environment on first
// use. Safe to call during static initialisation; never destroyed.
//
//   CORVANE_WINVER     "major.minor" reported by GetVersion(Ex), default "5.1"
//   CORVANE_SCREEN     "WIDTHxHEIGHT" or "WIDTHxHEIGHTxDEPTH", default 1024x768x32
//   CORVANE_SYSCOLORS  system colour overrides, read by the window layer
//   CORVANE_FLATMENUS  "0" or "1", default 1 (the flat menus of the default XP theme)
//   CORVANE_REMOTESESSION  "1" when the process acts as if it ran on a remote desktop
//   CORVANE_ABSENT_MODULES  module file names that the process acts as if it lacked, separated
//                      by ';' or ','
//   CORVANE_REGISTRY   the registry file, else $XDG_CONFIG_HOME/corvane/registry, else
//                      $HOME/.config/corvane/registry
//   CORVANE_CDRIVE     the folder drive C: names, else $HOME, else "/"
//   CORVANE_CLOCK      "virtual" or "real" (default)
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "win32/wintypes.h"

namespace platform_config {

enum class ClockKind { Real, Virtual };

struct PlatformConfig {
  uint32_t versionMajor = 5;
  uint32_t versionMinor = 1;
  int screenWidth = 1024;
  int screenHeight = 768;
  int screenDepth = 32;
  std::string systemColors;
  bool flatMenus = true;
  bool remoteSession = false;
  std::vector<std::string> absentModules;  // as given; compare without regard to case
  std::string registryFile;                // POSIX path
  std::string cDriveFolder;                // POSIX path, no trailing slash (except "/")
  ClockKind clock = ClockKind::Real;

  // True when the module file name (without folder) is listed as absent, ignoring case.
  bool IsModuleAbsent(const std::string& moduleFileName) const;
};

// The process's configuration.
const PlatformConfig& Config();

// Builds a configuration from a lookup that returns the variable's value or null.
PlatformConfig ReadConfig(const std::function<const char*(const char*)>& getVariable);

// Test hook: moves the virtual clock forward (no effect on the real clock). Wakes waits whose
// timeout has passed.
void AdvanceVirtualClock(uint32_t milliseconds);

// Waits until the event is signalled or the process clock reaches the tick (a GetTickCount
// value): WAIT_OBJECT_0, WAIT_TIMEOUT or WAIT_FAILED. For loops that keep pace with the clock: a
// deadline taken from the clock as the loop last read it stays where it is when the clock moves
// before the wait begins, where a wait of a number of milliseconds would count them from the move
// (and on the virtual clock wait for a move that may never come).
DWORD WaitForEventUntil(HANDLE event, DWORD tick);

}  // namespace platform_config
