// The common dialogs the main window asks: files to add, the batch output folder and the merge
// output file.
#include <cstring>
#include <vector>

#include "converter_dlg.h"
#include "win32/shlobj.h"
#include "skin/skin_list_box.h"

namespace {

constexpr DWORD kNameBufferSize = 32768;
constexpr DWORD kFileFlags = OFN_EXPLORER | OFN_FILEMUSTEXIST | OFN_ALLOWMULTISELECT | OFN_HIDEREADONLY;
constexpr char kAddFilter[] =
    "All Supported Files\0*.dat;*.rm;*.rmvb;*.vob;*.avi;*.mpeg;*.mpg;*.mov;*.3g2;*.3gp;*.wmv;*.flv;*.mp4\0"
    "All Files\0*.*\0";
constexpr char kMergeFilter[] = "AVI File\0*.avi\0";
constexpr char kFolderTitle[] = "Please select an output directory for ";

// The names of a multiple selection: one full path, or a folder followed by names, each ended by
// a NUL and the list by an empty name.
std::vector<CString> SelectedPaths(const char* buffer) {
  std::vector<CString> parts;
  for (const char* at = buffer; *at; at += std::strlen(at) + 1) parts.emplace_back(at);
  if (parts.size() <= 1) return parts;
  std::vector<CString> paths;
  for (size_t i = 1; i < parts.size(); ++i) paths.push_back(parts[0] + "\\" + parts[i]);
  return paths;
}

}  // namespace

void CConverterDlg::AddFiles() {
  std::vector<char> names(kNameBufferSize, '\0');
  OPENFILENAME ofn{};
  ofn.lStructSize = sizeof ofn;
  // Owned, so that it stays above the main window, which waits for it.
  ofn.hwndOwner = m_hWnd;
  ofn.lpstrFilter = kAddFilter;
  ofn.lpstrFile = names.data();
  ofn.nMaxFile = kNameBufferSize;
  ofn.Flags = kFileFlags;
  if (!GetOpenFileName(&ofn)) return;
  CSkinListBoxCtrl* list = FileList();
  if (!list) return;
  for (const CString& path : SelectedPaths(names.data())) {
    list->AddRow(path, "0", "0");
    const int last = list->GetItemCount() - 1;
    if (last > 0) list->SetItemState(last - 1, 0, LVIS_SELECTED);
    list->SetFocus();
    SelectRow(last);
  }
}

bool CConverterDlg::ChooseMergeFile() {
  std::vector<char> name(kNameBufferSize, '\0');
  OPENFILENAME ofn{};
  ofn.lStructSize = sizeof ofn;
  ofn.hwndOwner = m_hWnd;
  ofn.lpstrFilter = kMergeFilter;
  ofn.lpstrDefExt = outputExtension_;
  ofn.lpstrFile = name.data();
  ofn.nMaxFile = kNameBufferSize;
  ofn.Flags = kFileFlags;
  if (!GetSaveFileName(&ofn)) return false;
  settings_.mergeFile = name.data();
  SetOutputText(settings_.mergeFile);
  return true;
}

CString CConverterDlg::BrowseOutputFolder() {
  BROWSEINFO info{};
  info.hwndOwner = m_hWnd;
  info.lpszTitle = kFolderTitle;
  info.ulFlags = BIF_RETURNONLYFSDIRS;
  LPITEMIDLIST chosen = SHBrowseForFolder(&info);
  if (!chosen) return "";
  char path[MAX_PATH * 4] = "";
  SHGetPathFromIDList(chosen, path);
  ILFree(chosen);
  return path;
}
