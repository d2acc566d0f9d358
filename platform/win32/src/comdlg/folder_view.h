#pragma once
// What the file dialogs and the folder browser share: a folder shown as a list of its entries,
// and names typed by the user resolved against the folder shown.
#include <string>
#include <string_view>
#include <vector>

#include "win32/windows.h"

namespace win32::comdlg {

// Item data of the list's rows.
enum class EntryKind : LPARAM { File = 0, Folder = 1, Parent = 2 };

// "*.avi;*.mpg" as single patterns.
std::vector<std::string> SplitPatterns(std::string_view patterns);

// Shows a folder in the dialog: its platform path in stc1, and in lst1 ".." (below the root), the
// sub-folders ("name\"), then, with withFiles, the files matching a pattern; hidden names are
// left out and each group is in case-insensitive order.
void ShowFolder(HWND dlg, const std::string& posixFolder, const std::vector<std::string>& patterns, bool withFiles);

// The list row's kind and its name (a folder's without the trailing separator).
EntryKind KindOfRow(HWND dlg, int row);
std::string NameOfRow(HWND dlg, int row);
// The path a row leads to from the folder shown: its parent for "..", else the entry in it.
std::string PathOfRow(HWND dlg, const std::string& posixFolder, int row);

// A name typed in the dialog as a POSIX path: an absolute platform path as it is, anything else
// inside the folder shown.
std::string ResolveTyped(const std::string& posixFolder, std::string_view typed);

std::string ParentFolder(const std::string& posixFolder);
bool IsFolder(const std::string& posixPath);
bool IsFile(const std::string& posixPath);
std::string NamePart(const std::string& posixPath);

// A dialog template's box: the font the file dialogs use.
constexpr const char* kDialogFont = "MS Shell Dlg";

// Why the last common dialog on this thread failed (0: cancelled or succeeded).
extern thread_local DWORD lastError;

}  // namespace win32::comdlg
