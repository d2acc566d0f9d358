#include "comdlg/folder_view.h"

#include <sys/stat.h>

#include <algorithm>

#include "path_mapping.h"
#include "win32/commdlg.h"

namespace win32::comdlg {

std::vector<std::string> SplitPatterns(std::string_view patterns) {
  std::vector<std::string> out;
  size_t start = 0;
  while (start <= patterns.size()) {
    size_t end = patterns.find(';', start);
    if (end == std::string_view::npos) end = patterns.size();
    std::string_view one = patterns.substr(start, end - start);
    while (!one.empty() && one.front() == ' ') one.remove_prefix(1);
    while (!one.empty() && one.back() == ' ') one.remove_suffix(1);
    if (!one.empty()) out.emplace_back(one);
    start = end + 1;
  }
  return out;
}

namespace {

bool Matches(const std::vector<std::string>& patterns, const std::string& name) {
  for (const std::string& p : patterns) {
    // "*.*" means every file, names without a dot too.
    if (p == "*.*" || MatchesPattern(p, name)) return true;
  }
  return false;
}

bool CaseOrder(const std::string& a, const std::string& b) {
  const int c = CompareIgnoreCase(a, b);
  return c != 0 ? c < 0 : a < b;
}

std::string ChildPath(const std::string& posixFolder, const std::string& name) {
  std::string path = posixFolder;
  if (path != "/") path += '/';
  path += name;
  return path;
}

}  // namespace

void ShowFolder(HWND dlg, const std::string& posixFolder, const std::vector<std::string>& patterns, bool withFiles) {
  SetDlgItemTextA(dlg, stc1, PlatformPathFromPosix(posixFolder).c_str());
  std::vector<std::string> names, folders, files;
  ListDirectory(posixFolder, names);
  for (const std::string& name : names) {
    if (name.empty() || name[0] == '.') continue;
    if (IsFolder(ChildPath(posixFolder, name))) {
      folders.push_back(name);
    } else if (withFiles && Matches(patterns, name)) {
      files.push_back(name);
    }
  }
  std::sort(folders.begin(), folders.end(), CaseOrder);
  std::sort(files.begin(), files.end(), CaseOrder);
  HWND list = GetDlgItem(dlg, lst1);
  SendMessageA(list, LB_RESETCONTENT, 0, 0);
  auto add = [list](const std::string& text, EntryKind kind) {
    const LRESULT row = SendMessageA(list, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(text.c_str()));
    SendMessageA(list, LB_SETITEMDATA, static_cast<WPARAM>(row), static_cast<LPARAM>(kind));
  };
  if (posixFolder != "/") add("..", EntryKind::Parent);
  for (const std::string& f : folders) add(f + "\\", EntryKind::Folder);
  for (const std::string& f : files) add(f, EntryKind::File);
}

EntryKind KindOfRow(HWND dlg, int row) {
  return static_cast<EntryKind>(SendDlgItemMessageA(dlg, lst1, LB_GETITEMDATA, static_cast<WPARAM>(row), 0));
}

std::string NameOfRow(HWND dlg, int row) {
  const LRESULT n = SendDlgItemMessageA(dlg, lst1, LB_GETTEXTLEN, static_cast<WPARAM>(row), 0);
  if (n <= 0) return {};
  std::string text(static_cast<size_t>(n), '\0');
  SendDlgItemMessageA(dlg, lst1, LB_GETTEXT, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(text.data()));
  if (KindOfRow(dlg, row) == EntryKind::Folder && !text.empty()) text.pop_back();
  return text;
}

std::string PathOfRow(HWND dlg, const std::string& posixFolder, int row) {
  if (KindOfRow(dlg, row) == EntryKind::Parent) return ParentFolder(posixFolder);
  return ChildPath(posixFolder, NameOfRow(dlg, row));
}

std::string ResolveTyped(const std::string& posixFolder, std::string_view typed) {
  const bool absolute = (!typed.empty() && (typed[0] == '\\' || typed[0] == '/')) ||
                        (typed.size() >= 2 && typed[1] == ':');
  if (absolute) return PosixPathFromPlatform(typed);
  return PosixPathFromPlatform(PlatformPathFromPosix(posixFolder) + "\\" + std::string(typed));
}

std::string ParentFolder(const std::string& posixFolder) {
  const size_t cut = posixFolder.find_last_of('/');
  return cut == 0 || cut == std::string::npos ? "/" : posixFolder.substr(0, cut);
}

bool IsFolder(const std::string& posixPath) {
  struct stat st;
  return stat(posixPath.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

bool IsFile(const std::string& posixPath) {
  struct stat st;
  return stat(posixPath.c_str(), &st) == 0 && !S_ISDIR(st.st_mode);
}

std::string NamePart(const std::string& posixPath) {
  const size_t cut = posixPath.find_last_of('/');
  return cut == std::string::npos ? posixPath : posixPath.substr(cut + 1);
}

}  // namespace win32::comdlg
