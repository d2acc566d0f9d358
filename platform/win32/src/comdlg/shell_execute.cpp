// The shell's "open": the desktop's opener gets the document's POSIX path or the address.
#include <spawn.h>
#include <strings.h>
#include <sys/stat.h>
#include <sys/wait.h>

#include <cctype>
#include <cstdlib>
#include <string>
#include <thread>

#include "win32/paths.h"
#include "win32/shellapi.h"
#include "win32/winbase.h"
#include "win32/winerror.h"

extern char** environ;

namespace win32::shell {
namespace {

// "scheme:rest" with a scheme of two or more letters; "c:\..." is a path.
bool IsAddress(const std::string& text) {
  const size_t colon = text.find(':');
  if (colon == std::string::npos || colon < 2) return false;
  for (size_t i = 0; i < colon; ++i)
    if (!std::isalnum(static_cast<unsigned char>(text[i])) && text[i] != '+' && text[i] != '-' && text[i] != '.')
      return false;
  return true;
}

BOOL Fail(SHELLEXECUTEINFOA* info, DWORD error, int code) {
  info->hInstApp = reinterpret_cast<HINSTANCE>(static_cast<INT_PTR>(code));
  SetLastError(error);
  return FALSE;
}

}  // namespace
}  // namespace win32::shell

BOOL ShellExecuteExA(SHELLEXECUTEINFOA* info) {
  using namespace win32::shell;
  if (!info || info->cbSize != sizeof(SHELLEXECUTEINFOA)) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return FALSE;
  }
  info->hProcess = nullptr;
  if (info->lpVerb && *info->lpVerb && strcasecmp(info->lpVerb, "open") != 0)
    return Fail(info, ERROR_NO_ASSOCIATION, SE_ERR_NOASSOC);
  const std::string file = info->lpFile ? info->lpFile : "";
  std::string target = file;
  if (!IsAddress(file)) {
    target = PosixPathFromPlatform(file);
    struct stat st;
    if (file.empty() || stat(target.c_str(), &st) != 0) return Fail(info, ERROR_FILE_NOT_FOUND, SE_ERR_FNF);
  }
  const char* named = std::getenv("CORVANE_OPENER");
  const std::string opener = named && *named ? named : "xdg-open";
  char* argv[] = {const_cast<char*>(opener.c_str()), const_cast<char*>(target.c_str()), nullptr};
  pid_t pid = 0;
  if (posix_spawnp(&pid, opener.c_str(), nullptr, nullptr, argv, environ) != 0)
    return Fail(info, ERROR_NO_ASSOCIATION, SE_ERR_NOASSOC);
  // The opener is not waited for, but it is reaped.
  std::thread([pid] { waitpid(pid, nullptr, 0); }).detach();
  info->hInstApp = reinterpret_cast<HINSTANCE>(static_cast<INT_PTR>(33));
  return TRUE;
}
