// Accelerator tables: copies of their entries behind a handle, and the translation of key
// messages into commands.
#include <memory>
#include <vector>

#include "handle_table.h"
#include "win32/windows.h"

namespace win32::user {
namespace {

class AcceleratorTable : public HandleObject {
 public:
  explicit AcceleratorTable(std::vector<ACCEL> entries) : entries_(std::move(entries)) {}
  const std::vector<ACCEL>& Entries() const { return entries_; }

 private:
  std::vector<ACCEL> entries_;
};

HACCEL MakeTable(std::vector<ACCEL> entries) {
  if (entries.empty()) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return nullptr;
  }
  return ToHandle<HACCEL>(AllocateHandle(HandleKind::Accelerator, std::make_shared<AcceleratorTable>(std::move(entries))));
}

bool Down(int key) { return (GetKeyState(key) & 0x8000) != 0; }

}  // namespace
}  // namespace win32::user

using namespace win32;
using win32::user::AcceleratorTable;

HACCEL CreateAcceleratorTableA(LPACCEL paccel, int cAccel) {
  if (!paccel || cAccel <= 0) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return nullptr;
  }
  return user::MakeTable(std::vector<ACCEL>(paccel, paccel + cAccel));
}

HACCEL LoadAcceleratorsA(HINSTANCE hInstance, LPCSTR lpTableName) {
  HRSRC info = FindResourceA(hInstance, lpTableName, RT_ACCELERATOR);
  if (!info) return nullptr;
  HGLOBAL data = LoadResource(hInstance, info);
  const auto* entry = static_cast<const ACCELTABLEENTRY*>(LockResource(data));
  const size_t count = SizeofResource(hInstance, info) / sizeof(ACCELTABLEENTRY);
  std::vector<ACCEL> entries;
  for (size_t i = 0; entry && i < count; ++i) {
    entries.push_back(ACCEL{BYTE(entry[i].fFlags & ~ACCEL_LAST_ENTRY), entry[i].wAnsi, entry[i].wId});
    if (entry[i].fFlags & ACCEL_LAST_ENTRY) return user::MakeTable(std::move(entries));
  }
  // A table without its end mark is cut short: refuse it rather than guess.
  SetLastError(ERROR_RESOURCE_DATA_NOT_FOUND);
  return nullptr;
}

BOOL DestroyAcceleratorTable(HACCEL hAccel) {
  return ReleaseHandle(reinterpret_cast<uintptr_t>(hAccel), HandleKind::Accelerator);
}

int TranslateAcceleratorA(HWND hWnd, HACCEL hAccTable, LPMSG lpMsg) {
  auto table = LookupHandle<AcceleratorTable>(hAccTable, HandleKind::Accelerator);
  if (!table || !lpMsg || !IsWindow(hWnd)) return FALSE;
  const UINT message = lpMsg->message;
  const bool virtualKey = message == WM_KEYDOWN || message == WM_SYSKEYDOWN;
  const bool character = message == WM_CHAR || message == WM_SYSCHAR;
  if (!virtualKey && !character) return FALSE;
  for (const ACCEL& entry : table->Entries()) {
    if (bool(entry.fVirt & FVIRTKEY) != virtualKey || entry.key != WORD(lpMsg->wParam)) continue;
    if (virtualKey) {
      if (bool(entry.fVirt & FSHIFT) != user::Down(VK_SHIFT) || bool(entry.fVirt & FCONTROL) != user::Down(VK_CONTROL) ||
          bool(entry.fVirt & FALT) != user::Down(VK_MENU))
        continue;
    } else if (bool(entry.fVirt & FALT) != (message == WM_SYSCHAR)) {
      continue;
    }
    SendMessageA(hWnd, WM_COMMAND, MAKEWPARAM(entry.cmd, 1), 0);
    return TRUE;
  }
  return FALSE;
}
