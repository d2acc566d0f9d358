#pragma once
// Window creation shared by the frame classes.
#include "mfc/afxframe.h"

namespace mfc::frame {

// Creates the frame's window. On failure the frame is deleted, whether the window was never made
// or was made and destroyed again (a WM_CREATE that failed), and a menu that outlived it is
// destroyed.
BOOL CreateFrameWindow(CFrameWnd* frame, DWORD dwExStyle, LPCTSTR lpszClassName, LPCTSTR lpszWindowName,
                       DWORD dwStyle, const RECT& rect, HWND hWndParent, HMENU hMenu, CCreateContext* pContext);

// Called as a frame deletes itself.
void NoteFrameDeleted(CFrameWnd* frame);

}  // namespace mfc::frame
