// The open and save dialogs: a folder's entries, folder navigation, a file name edit, a filter
// combo box and OK/Cancel. The current directory is left as it is: the program's own relative
// paths must not move because the user looked elsewhere for a file.
#include <algorithm>
#include <cstring>
#include <string>
#include <vector>

#include "comdlg/folder_view.h"
#include "win32/commdlg.h"

namespace win32::comdlg {

thread_local DWORD lastError = 0;

namespace {

struct Filter {
  std::string description;
  std::vector<std::string> patterns;
};

std::vector<Filter> ParseFilters(LPCSTR text) {
  std::vector<Filter> filters;
  while (text && *text) {
    Filter f;
    f.description = text;
    text += f.description.size() + 1;
    f.patterns = SplitPatterns(text);
    text += std::strlen(text) + (*text ? 1 : 0);
    filters.push_back(std::move(f));
  }
  return filters;
}

// The names in the edit: each quoted run, or the whole text when nothing is quoted.
std::vector<std::string> ParseNames(const std::string& text) {
  std::vector<std::string> names;
  if (text.find('"') == std::string::npos) {
    if (!text.empty()) names.push_back(text);
    return names;
  }
  size_t at = 0;
  while ((at = text.find('"', at)) != std::string::npos) {
    const size_t end = text.find('"', at + 1);
    std::string name = text.substr(at + 1, end == std::string::npos ? std::string::npos : end - at - 1);
    if (!name.empty()) names.push_back(std::move(name));
    if (end == std::string::npos) break;
    at = end + 1;
  }
  return names;
}

std::string Trimmed(std::string s) {
  const size_t first = s.find_first_not_of(' ');
  if (first == std::string::npos) return {};
  return s.substr(first, s.find_last_not_of(' ') - first + 1);
}

// The deepest folder that holds every one of the files.
std::string CommonFolder(const std::vector<std::string>& posixPaths) {
  std::string folder = ParentFolder(posixPaths.front());
  auto holds = [&folder](const std::string& path) {
    return folder == "/" || (path.size() > folder.size() && path.compare(0, folder.size(), folder) == 0 &&
                             path[folder.size()] == '/');
  };
  while (!std::all_of(posixPaths.begin(), posixPaths.end(), holds)) folder = ParentFolder(folder);
  return folder;
}

class FileDialog {
 public:
  FileDialog(OPENFILENAMEA& ofn, bool save) : ofn_(ofn), save_(save), filters_(ParseFilters(ofn.lpstrFilter)) {}

  INT_PTR Run() {
    static const DLGITEMTEMPLATE kItems[] = {
        {"STATIC", "Look &in:", -1, SS_LEFT | WS_VISIBLE, 7, 8, 40, 9},
        {"STATIC", "", stc1, SS_LEFTNOWORDWRAP | SS_NOPREFIX | WS_VISIBLE, 48, 8, 180, 9},
        {"BUTTON", "&Up", psh1, BS_PUSHBUTTON | WS_VISIBLE | WS_TABSTOP, 233, 5, 40, 14},
        {"LISTBOX", "", lst1, LBS_NOTIFY | LBS_NOINTEGRALHEIGHT | WS_VSCROLL | WS_BORDER | WS_VISIBLE | WS_TABSTOP,
         7, 23, 266, 112},
        {"STATIC", "File &name:", -1, SS_LEFT | WS_VISIBLE, 7, 143, 50, 9},
        {"EDIT", "", edt1, ES_AUTOHSCROLL | WS_BORDER | WS_VISIBLE | WS_TABSTOP, 60, 141, 162, 12},
        {"STATIC", "Files of &type:", -1, SS_LEFT | WS_VISIBLE, 7, 160, 50, 9},
        {"COMBOBOX", "", cmb1, CBS_DROPDOWNLIST | WS_VSCROLL | WS_VISIBLE | WS_TABSTOP, 60, 158, 162, 80},
        {"BUTTON", "&Open", IDOK, BS_DEFPUSHBUTTON | WS_VISIBLE | WS_TABSTOP, 228, 140, 45, 14},
        {"BUTTON", "Cancel", IDCANCEL, BS_PUSHBUTTON | WS_VISIBLE | WS_TABSTOP, 228, 157, 45, 14},
    };
    DLGTEMPLATE t = {DS_SETFONT | DS_MODALFRAME | DS_CENTER | WS_POPUP | WS_CAPTION | WS_SYSMENU,
                     0, 0, 0, 280, 178, nullptr, kDialogFont, 8, kItems, std::size(kItems), nullptr};
    t.title = ofn_.lpstrTitle ? ofn_.lpstrTitle : save_ ? "Save As" : "Open";
    return DialogBoxIndirectParamA(nullptr, &t, ofn_.hwndOwner, Proc, reinterpret_cast<LPARAM>(this));
  }

 private:
  static INT_PTR CALLBACK Proc(HWND dlg, UINT msg, WPARAM wParam, LPARAM lParam) {
    if (msg == WM_INITDIALOG) {
      SetWindowLongPtrA(dlg, DWLP_USER, lParam);
      reinterpret_cast<FileDialog*>(lParam)->Init(dlg);
      return FALSE;
    }
    auto* self = reinterpret_cast<FileDialog*>(GetWindowLongPtrA(dlg, DWLP_USER));
    if (msg == WM_COMMAND && self) {
      self->OnCommand(LOWORD(wParam), HIWORD(wParam));
      return TRUE;
    }
    return FALSE;
  }

  void Init(HWND dlg) {
    dlg_ = dlg;
    if (save_) SetDlgItemTextA(dlg, IDOK, "&Save");
    for (const Filter& f : filters_) {
      SendDlgItemMessageA(dlg, cmb1, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(f.description.c_str()));
    }
    if (filters_.empty()) {
      EnableWindow(GetDlgItem(dlg, cmb1), FALSE);
    } else {
      filter_ = ofn_.nFilterIndex >= 1 && ofn_.nFilterIndex <= filters_.size() ? ofn_.nFilterIndex - 1 : 0;
      SendDlgItemMessageA(dlg, cmb1, CB_SETCURSEL, filter_, 0);
    }
    patterns_ = filters_.empty() ? std::vector<std::string>{"*"} : filters_[filter_].patterns;

    std::string folder = PosixPathFromPlatform(".");
    if (ofn_.lpstrInitialDir && *ofn_.lpstrInitialDir && IsFolder(PosixPathFromPlatform(ofn_.lpstrInitialDir))) {
      folder = PosixPathFromPlatform(ofn_.lpstrInitialDir);
    }
    // A name given in the buffer is offered again; with a folder, that folder is shown.
    const std::string given = ofn_.lpstrFile ? ofn_.lpstrFile : "";
    if (!given.empty()) {
      const std::string path = ResolveTyped(folder, given);
      if (IsFolder(path)) {
        folder = path;
      } else {
        if (IsFolder(ParentFolder(path))) folder = ParentFolder(path);
        SetDlgItemTextA(dlg, edt1, NamePart(path).c_str());
      }
    }
    Navigate(folder);
    SendMessageA(dlg, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(GetDlgItem(dlg, edt1)), TRUE);
  }

  void Navigate(const std::string& folder) {
    folder_ = folder;
    ShowFolder(dlg_, folder_, patterns_, true);
    EnableWindow(GetDlgItem(dlg_, psh1), folder_ != "/");
  }

  void OnCommand(int id, int code) {
    switch (id) {
      case IDOK:
        if (Accept()) EndDialog(dlg_, IDOK);
        break;
      case IDCANCEL: EndDialog(dlg_, IDCANCEL); break;
      case psh1: Navigate(ParentFolder(folder_)); break;
      case cmb1:
        if (code == CBN_SELCHANGE) {
          filter_ = static_cast<DWORD>(std::max<LRESULT>(0, SendDlgItemMessageA(dlg_, cmb1, CB_GETCURSEL, 0, 0)));
          patterns_ = filters_[filter_].patterns;
          Navigate(folder_);
        }
        break;
      case lst1: {
        const int row = static_cast<int>(SendDlgItemMessageA(dlg_, lst1, LB_GETCURSEL, 0, 0));
        if (row < 0) break;
        const EntryKind kind = KindOfRow(dlg_, row);
        if (code == LBN_SELCHANGE && kind == EntryKind::File) {
          SetDlgItemTextA(dlg_, edt1, NameOfRow(dlg_, row).c_str());
        } else if (code == LBN_DBLCLK) {
          if (kind == EntryKind::File) {
            SetDlgItemTextA(dlg_, edt1, NameOfRow(dlg_, row).c_str());
            if (Accept()) EndDialog(dlg_, IDOK);
          } else {
            EnterRow(row);
          }
        }
        break;
      }
    }
  }

  void EnterRow(int row) { Navigate(PathOfRow(dlg_, folder_, row)); }

  void Warn(const std::string& text) {
    char caption[256] = {};
    GetWindowTextA(dlg_, caption, sizeof caption);
    MessageBoxA(dlg_, text.c_str(), caption, MB_OK | MB_ICONEXCLAMATION);
  }

  // What OK does with the edit's text: true when the dialog has its answer.
  bool Accept() {
    char buffer[4096] = {};
    GetDlgItemTextA(dlg_, edt1, buffer, sizeof buffer);
    const std::string text = Trimmed(buffer);
    if (text.empty()) {
      // OK on a selected folder opens it.
      const int row = static_cast<int>(SendDlgItemMessageA(dlg_, lst1, LB_GETCURSEL, 0, 0));
      if (row >= 0 && KindOfRow(dlg_, row) != EntryKind::File) EnterRow(row);
      return false;
    }
    const std::vector<std::string> names = ParseNames(text);
    if (names.size() == 1) return AcceptOne(names[0]);
    if (save_ || !(ofn_.Flags & OFN_ALLOWMULTISELECT)) {
      Warn(text + "\nThe file name is not valid.");
      return false;
    }
    // Each name may be a path of its own, in any folder.
    std::vector<std::string> paths;
    for (const std::string& name : names) {
      const std::string path = ResolveTyped(folder_, name);
      if (!IsFolder(ParentFolder(path))) {
        Warn(name + "\nThe path does not exist.\nCheck the path and try again.");
        return false;
      }
      if ((ofn_.Flags & OFN_FILEMUSTEXIST) && !IsFile(path)) {
        Warn(name + "\nFile not found.\nCheck the file name and try again.");
        return false;
      }
      paths.push_back(path);
    }
    return Finish(paths);
  }

  bool AcceptOne(const std::string& name) {
    const std::string lastPart = name.substr(name.find_last_of("\\/") + 1);
    if (lastPart.find_first_of("*?") != std::string::npos) {
      // A pattern filters the list instead of naming a file.
      patterns_ = SplitPatterns(lastPart);
      const std::string typedFolder = name.substr(0, name.size() - lastPart.size());
      std::string folder = typedFolder.empty() ? folder_ : ResolveTyped(folder_, typedFolder);
      if (folder.size() > 1 && folder.back() == '/') folder.pop_back();
      Navigate(IsFolder(folder) ? folder : folder_);
      return false;
    }
    std::string path = ResolveTyped(folder_, name);
    if (path.size() > 1 && path.back() == '/') path.pop_back();
    if (IsFolder(path)) {
      Navigate(path);
      SetDlgItemTextA(dlg_, edt1, "");
      return false;
    }
    if (save_ && ofn_.lpstrDefExt && *ofn_.lpstrDefExt && NamePart(path).find('.') == std::string::npos) {
      path += std::string(".") + ofn_.lpstrDefExt;
    }
    if (!IsFolder(ParentFolder(path))) {
      Warn(name + "\nThe path does not exist.\nCheck the path and try again.");
      return false;
    }
    // A file to be written need not exist: the must-exist rule is the open dialog's.
    if (!save_ && (ofn_.Flags & OFN_FILEMUSTEXIST) && !IsFile(path)) {
      Warn(name + "\nFile not found.\nCheck the file name and try again.");
      return false;
    }
    if (save_ && (ofn_.Flags & OFN_OVERWRITEPROMPT) && IsFile(path)) {
      char caption[256] = {};
      GetWindowTextA(dlg_, caption, sizeof caption);
      const std::string question = PlatformPathFromPosix(path) + " already exists.\nDo you want to replace it?";
      if (MessageBoxA(dlg_, question.c_str(), caption, MB_YESNO | MB_ICONEXCLAMATION) != IDYES) return false;
    }
    return Finish({path});
  }

  // Writes the answer into the caller's buffer; a buffer too small ends the dialog with
  // FNERR_BUFFERTOOSMALL and the size needed in its first two bytes.
  bool Finish(const std::vector<std::string>& paths) {
    std::string result;
    WORD nameOffset = 0, extensionOffset = 0;
    if (paths.size() == 1) {
      result = PlatformPathFromPosix(paths[0]);
      const size_t slash = result.find_last_of('\\');
      nameOffset = static_cast<WORD>(slash + 1);
      const size_t dot = result.find_last_of('.');
      extensionOffset = static_cast<WORD>(dot != std::string::npos && dot > slash ? dot + 1 : result.size());
      result.push_back('\0');
      // A reader of the several-files form stops at an empty name, not at what an earlier answer
      // left in the buffer.
      if (ofn_.Flags & OFN_ALLOWMULTISELECT) result.push_back('\0');
    } else {
      // The folder every file lies in, then each file below it: the folder joined to a name with
      // a separator is the file, also when the names came from several folders.
      const std::string folder = CommonFolder(paths);
      const size_t below = folder == "/" ? 1 : folder.size() + 1;
      result = PlatformPathFromPosix(folder);
      result.push_back('\0');
      nameOffset = static_cast<WORD>(result.size());
      for (const std::string& p : paths) result.append(PlatformPathFromPosix(p.substr(below))).push_back('\0');
      result.push_back('\0');
    }
    ofn_.nFilterIndex = filters_.empty() ? 0 : filter_ + 1;
    if (!ofn_.lpstrFile || result.size() > ofn_.nMaxFile) {
      if (ofn_.lpstrFile && ofn_.nMaxFile >= 2) {
        const WORD needed = static_cast<WORD>(std::min<size_t>(result.size(), 0xFFFF));
        std::memcpy(ofn_.lpstrFile, &needed, sizeof needed);
      }
      lastError = FNERR_BUFFERTOOSMALL;
      EndDialog(dlg_, IDABORT);
      return false;
    }
    std::memcpy(ofn_.lpstrFile, result.data(), result.size());
    ofn_.nFileOffset = nameOffset;
    ofn_.nFileExtension = extensionOffset;
    if (ofn_.lpstrFileTitle && ofn_.nMaxFileTitle > 0) {
      const std::string title = paths.size() == 1 ? NamePart(paths[0]) : std::string();
      const size_t n = std::min<size_t>(title.size(), ofn_.nMaxFileTitle - 1);
      std::memcpy(ofn_.lpstrFileTitle, title.data(), n);
      ofn_.lpstrFileTitle[n] = '\0';
    }
    return true;
  }

  OPENFILENAMEA& ofn_;
  const bool save_;
  const std::vector<Filter> filters_;
  DWORD filter_ = 0;
  std::vector<std::string> patterns_;
  std::string folder_;
  HWND dlg_ = nullptr;
};

BOOL RunFileDialog(LPOPENFILENAMEA ofn, bool save) {
  lastError = 0;
  if (!ofn || ofn->lStructSize != sizeof(OPENFILENAMEA)) {
    lastError = CDERR_STRUCTSIZE;
    return FALSE;
  }
  if (!ofn->lpstrFile || ofn->nMaxFile == 0) {
    lastError = CDERR_INITIALIZATION;
    return FALSE;
  }
  FileDialog dialog(*ofn, save);
  const INT_PTR result = dialog.Run();
  if (result == -1) lastError = CDERR_INITIALIZATION;
  return result == IDOK;
}

}  // namespace
}  // namespace win32::comdlg

BOOL GetOpenFileNameA(LPOPENFILENAMEA lpofn) { return win32::comdlg::RunFileDialog(lpofn, false); }

BOOL GetSaveFileNameA(LPOPENFILENAMEA lpofn) { return win32::comdlg::RunFileDialog(lpofn, true); }

DWORD CommDlgExtendedError() { return win32::comdlg::lastError; }
