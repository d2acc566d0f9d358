// The folder browser: the sub-folders of the folder shown, a double-click opens one, a click
// makes it the choice; the choice can also be typed. Starts at the current directory.
#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "comdlg/folder_view.h"
#include "win32/commdlg.h"
#include "win32/shlobj.h"

namespace win32::comdlg {
namespace {

// One item per folder name; task memory, like every id list the shell hands out.
LPITEMIDLIST IdListOf(const std::string& posixFolder) {
  std::vector<std::string> parts;
  size_t at = 1;
  while (at < posixFolder.size()) {
    size_t end = posixFolder.find('/', at);
    if (end == std::string::npos) end = posixFolder.size();
    if (end > at) parts.push_back(posixFolder.substr(at, end - at));
    at = end + 1;
  }
  size_t bytes = sizeof(USHORT);
  for (const std::string& p : parts) bytes += sizeof(USHORT) + p.size();
  auto* list = static_cast<BYTE*>(std::malloc(bytes));
  if (!list) return nullptr;
  BYTE* out = list;
  for (const std::string& p : parts) {
    const USHORT cb = static_cast<USHORT>(sizeof(USHORT) + p.size());
    std::memcpy(out, &cb, sizeof cb);
    std::memcpy(out + sizeof cb, p.data(), p.size());
    out += cb;
  }
  const USHORT end = 0;
  std::memcpy(out, &end, sizeof end);
  return reinterpret_cast<LPITEMIDLIST>(list);
}

class FolderBrowser {
 public:
  explicit FolderBrowser(BROWSEINFOA& info) : info_(info) {}

  INT_PTR Run() {
    static const DLGITEMTEMPLATE kItems[] = {
        {"STATIC", "", -1, SS_LEFT | SS_NOPREFIX | WS_VISIBLE, 7, 6, 198, 18},
        {"STATIC", "", stc1, SS_LEFTNOWORDWRAP | SS_NOPREFIX | WS_VISIBLE, 7, 27, 198, 9},
        {"LISTBOX", "", lst1, LBS_NOTIFY | LBS_NOINTEGRALHEIGHT | WS_VSCROLL | WS_BORDER | WS_VISIBLE | WS_TABSTOP,
         7, 39, 198, 110},
        {"STATIC", "&Folder:", -1, SS_LEFT | WS_VISIBLE, 7, 156, 30, 9},
        {"EDIT", "", edt1, ES_AUTOHSCROLL | WS_BORDER | WS_VISIBLE | WS_TABSTOP, 40, 154, 165, 12},
        {"BUTTON", "OK", IDOK, BS_DEFPUSHBUTTON | WS_VISIBLE | WS_TABSTOP, 105, 173, 48, 14},
        {"BUTTON", "Cancel", IDCANCEL, BS_PUSHBUTTON | WS_VISIBLE | WS_TABSTOP, 157, 173, 48, 14},
    };
    const DLGTEMPLATE t = {DS_SETFONT | DS_MODALFRAME | DS_CENTER | WS_POPUP | WS_CAPTION | WS_SYSMENU,
                           0, 0, 0, 212, 194, "Browse for Folder", kDialogFont, 8, kItems, std::size(kItems), nullptr};
    return DialogBoxIndirectParamA(nullptr, &t, info_.hwndOwner, Proc, reinterpret_cast<LPARAM>(this));
  }

  const std::string& Chosen() const { return chosen_; }

 private:
  static INT_PTR CALLBACK Proc(HWND dlg, UINT msg, WPARAM wParam, LPARAM lParam) {
    if (msg == WM_INITDIALOG) {
      SetWindowLongPtrA(dlg, DWLP_USER, lParam);
      reinterpret_cast<FolderBrowser*>(lParam)->Init(dlg);
      return FALSE;
    }
    auto* self = reinterpret_cast<FolderBrowser*>(GetWindowLongPtrA(dlg, DWLP_USER));
    if (msg == WM_COMMAND && self) {
      self->OnCommand(LOWORD(wParam), HIWORD(wParam));
      return TRUE;
    }
    return FALSE;
  }

  void Init(HWND dlg) {
    dlg_ = dlg;
    // The title is the first child: the only one without an id of its own.
    HWND title = GetWindow(dlg, GW_CHILD);
    SetWindowTextA(title, info_.lpszTitle ? info_.lpszTitle : "");
    Navigate(PosixPathFromPlatform("."));
    SendMessageA(dlg, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(GetDlgItem(dlg, lst1)), TRUE);
  }

  void Navigate(const std::string& folder) {
    folder_ = folder;
    ShowFolder(dlg_, folder_, {}, false);
    SetDlgItemTextA(dlg_, edt1, PlatformPathFromPosix(folder_).c_str());
  }


  void OnCommand(int id, int code) {
    if (id == IDCANCEL) {
      EndDialog(dlg_, IDCANCEL);
    } else if (id == IDOK) {
      if (Accept()) EndDialog(dlg_, IDOK);
    } else if (id == lst1) {
      const int row = static_cast<int>(SendDlgItemMessageA(dlg_, lst1, LB_GETCURSEL, 0, 0));
      if (row < 0) return;
      const std::string path = PathOfRow(dlg_, folder_, row);
      if (code == LBN_SELCHANGE) SetDlgItemTextA(dlg_, edt1, PlatformPathFromPosix(path).c_str());
      if (code == LBN_DBLCLK) Navigate(path);
    }
  }

  bool Accept() {
    char buffer[4096] = {};
    GetDlgItemTextA(dlg_, edt1, buffer, sizeof buffer);
    std::string path = *buffer ? ResolveTyped(folder_, buffer) : folder_;
    if (path.size() > 1 && path.back() == '/') path.pop_back();
    if (!IsFolder(path)) {
      const std::string text = std::string(buffer) + "\nThe folder does not exist.";
      MessageBoxA(dlg_, text.c_str(), "Browse for Folder", MB_OK | MB_ICONEXCLAMATION);
      return false;
    }
    chosen_ = path;
    return true;
  }

  BROWSEINFOA& info_;
  std::string folder_;
  std::string chosen_;
  HWND dlg_ = nullptr;
};

}  // namespace
}  // namespace win32::comdlg

using namespace win32::comdlg;

LPITEMIDLIST SHBrowseForFolderA(LPBROWSEINFOA lpbi) {
  if (!lpbi) return nullptr;
  FolderBrowser browser(*lpbi);
  if (browser.Run() != IDOK) return nullptr;
  if (lpbi->pszDisplayName) {
    const std::string name = browser.Chosen() == "/" ? "\\" : NamePart(browser.Chosen());
    const size_t n = std::min<size_t>(name.size(), MAX_PATH - 1);
    std::memcpy(lpbi->pszDisplayName, name.data(), n);
    lpbi->pszDisplayName[n] = '\0';
  }
  return IdListOf(browser.Chosen());
}

BOOL SHGetPathFromIDListA(LPCITEMIDLIST pidl, LPSTR pszPath) {
  if (!pidl || !pszPath) return FALSE;
  std::string path;
  const BYTE* at = reinterpret_cast<const BYTE*>(pidl);
  for (;;) {
    USHORT cb;
    std::memcpy(&cb, at, sizeof cb);
    if (cb == 0) break;
    if (cb < sizeof cb) return FALSE;
    path.push_back('\\');
    path.append(reinterpret_cast<const char*>(at + sizeof cb), cb - sizeof cb);
    at += cb;
  }
  if (path.empty()) path.push_back('\\');  // the root
  if (path.size() >= MAX_PATH) {
    pszPath[0] = '\0';
    return FALSE;
  }
  std::memcpy(pszPath, path.c_str(), path.size() + 1);
  return TRUE;
}

void ILFree(LPITEMIDLIST pidl) { std::free(pidl); }
