// The colour chooser. The colour is typed as red, green and blue (0 to 255; more is taken as
// 255) or taken from a custom colour; the custom colours reach the caller only on OK, so a
// cancelled dialog changes nothing.
#include <algorithm>
#include <array>
#include <iterator>

#include "comdlg/folder_view.h"
#include "win32/commdlg.h"

namespace win32::comdlg {
namespace {

constexpr int kCustomCount = 16;
constexpr int kFixedItems = 11;  // the controls before the custom colour cells

class ColourDialog {
 public:
  explicit ColourDialog(CHOOSECOLORA& cc) : cc_(cc) {
    colour_ = (cc.Flags & CC_RGBINIT) ? cc.rgbResult & 0xFFFFFF : 0;
    if (cc.lpCustColors) std::copy_n(cc.lpCustColors, kCustomCount, custom_.begin());
  }

  INT_PTR Run() {
    std::array<DLGITEMTEMPLATE, kFixedItems + kCustomCount> items = {{
        {"STATIC", "&Custom colors:", -1, SS_LEFT | WS_VISIBLE, 7, 6, 120, 9},
        {"STATIC", "&Red:", -1, SS_LEFT | WS_VISIBLE, 7, 70, 30, 9},
        {"EDIT", "", COLOR_RED, ES_NUMBER | WS_BORDER | WS_VISIBLE | WS_TABSTOP, 40, 68, 30, 12},
        {"STATIC", "&Green:", -1, SS_LEFT | WS_VISIBLE, 7, 86, 30, 9},
        {"EDIT", "", COLOR_GREEN, ES_NUMBER | WS_BORDER | WS_VISIBLE | WS_TABSTOP, 40, 84, 30, 12},
        {"STATIC", "Bl&ue:", -1, SS_LEFT | WS_VISIBLE, 7, 102, 30, 9},
        {"EDIT", "", COLOR_BLUE, ES_NUMBER | WS_BORDER | WS_VISIBLE | WS_TABSTOP, 40, 100, 30, 12},
        {"BUTTON", "", COLOR_CURRENT, BS_OWNERDRAW | WS_VISIBLE | WS_DISABLED, 80, 68, 60, 44},
        {"BUTTON", "&Add to Custom Colors", COLOR_ADD, BS_PUSHBUTTON | WS_VISIBLE | WS_TABSTOP, 7, 118, 133, 14},
        {"BUTTON", "OK", IDOK, BS_DEFPUSHBUTTON | WS_VISIBLE | WS_TABSTOP, 7, 138, 64, 14},
        {"BUTTON", "Cancel", IDCANCEL, BS_PUSHBUTTON | WS_VISIBLE | WS_TABSTOP, 76, 138, 64, 14},
    }};
    for (int i = 0; i < kCustomCount; ++i) {
      items[kFixedItems + i] = {"BUTTON", "", COLOR_CUSTOM1 + i, BS_OWNERDRAW | WS_VISIBLE | WS_TABSTOP,
                       static_cast<short>(7 + (i % 8) * 17), static_cast<short>(18 + (i / 8) * 20), 14, 16};
    }
    DLGTEMPLATE t = {DS_SETFONT | DS_MODALFRAME | DS_CENTER | WS_POPUP | WS_CAPTION | WS_SYSMENU,
                     0, 0, 0, 147, 159, "Color", kDialogFont, 8, items.data(), items.size(), nullptr};
    return DialogBoxIndirectParamA(nullptr, &t, cc_.hwndOwner, Proc, reinterpret_cast<LPARAM>(this));
  }

 private:
  static INT_PTR CALLBACK Proc(HWND dlg, UINT msg, WPARAM wParam, LPARAM lParam) {
    if (msg == WM_INITDIALOG) {
      SetWindowLongPtrA(dlg, DWLP_USER, lParam);
      reinterpret_cast<ColourDialog*>(lParam)->Init(dlg);
      return TRUE;
    }
    auto* self = reinterpret_cast<ColourDialog*>(GetWindowLongPtrA(dlg, DWLP_USER));
    if (!self) return FALSE;
    if (msg == WM_COMMAND) {
      self->OnCommand(LOWORD(wParam), HIWORD(wParam));
      return TRUE;
    }
    if (msg == WM_DRAWITEM) {
      self->DrawCell(*reinterpret_cast<const DRAWITEMSTRUCT*>(lParam));
      return TRUE;
    }
    return FALSE;
  }

  void Init(HWND dlg) {
    dlg_ = dlg;
    ShowColour();
  }

  void ShowColour() {
    showing_ = true;
    SetDlgItemInt(dlg_, COLOR_RED, GetRValue(colour_), FALSE);
    SetDlgItemInt(dlg_, COLOR_GREEN, GetGValue(colour_), FALSE);
    SetDlgItemInt(dlg_, COLOR_BLUE, GetBValue(colour_), FALSE);
    showing_ = false;
    InvalidateRect(GetDlgItem(dlg_, COLOR_CURRENT), nullptr, TRUE);
  }

  BYTE Channel(int box) const {
    return static_cast<BYTE>(std::min<UINT>(GetDlgItemInt(dlg_, box, nullptr, FALSE), 255));
  }

  void OnCommand(int id, int code) {
    if (id == IDOK) {
      cc_.rgbResult = colour_;
      if (cc_.lpCustColors) std::copy(custom_.begin(), custom_.end(), cc_.lpCustColors);
      EndDialog(dlg_, IDOK);
    } else if (id == IDCANCEL) {
      EndDialog(dlg_, IDCANCEL);
    } else if ((id == COLOR_RED || id == COLOR_GREEN || id == COLOR_BLUE) && code == EN_CHANGE && !showing_) {
      colour_ = RGB(Channel(COLOR_RED), Channel(COLOR_GREEN), Channel(COLOR_BLUE));
      InvalidateRect(GetDlgItem(dlg_, COLOR_CURRENT), nullptr, TRUE);
    } else if (id == COLOR_ADD) {
      custom_[nextCustom_] = colour_;
      InvalidateRect(GetDlgItem(dlg_, COLOR_CUSTOM1 + nextCustom_), nullptr, TRUE);
      nextCustom_ = (nextCustom_ + 1) % kCustomCount;
    } else if (id >= COLOR_CUSTOM1 && id < COLOR_CUSTOM1 + kCustomCount && code == BN_CLICKED) {
      colour_ = custom_[id - COLOR_CUSTOM1] & 0xFFFFFF;
      ShowColour();
    }
  }

  void DrawCell(const DRAWITEMSTRUCT& item) {
    const COLORREF c = item.CtlID == COLOR_CURRENT ? colour_ : custom_[item.CtlID - COLOR_CUSTOM1] & 0xFFFFFF;
    HBRUSH brush = CreateSolidBrush(c);
    FillRect(item.hDC, &item.rcItem, brush);
    DeleteObject(brush);
    FrameRect(item.hDC, &item.rcItem, GetSysColorBrush((item.itemState & ODS_FOCUS) ? COLOR_HIGHLIGHT : COLOR_BTNSHADOW));
  }

  CHOOSECOLORA& cc_;
  HWND dlg_ = nullptr;
  COLORREF colour_;
  std::array<COLORREF, kCustomCount> custom_;
  int nextCustom_ = 0;
  bool showing_ = false;  // the boxes are being filled from the colour, not typed into
};

}  // namespace
}  // namespace win32::comdlg

BOOL ChooseColorA(LPCHOOSECOLORA lpcc) {
  using win32::comdlg::lastError;
  lastError = 0;
  if (!lpcc || lpcc->lStructSize != sizeof(CHOOSECOLORA)) {
    lastError = CDERR_STRUCTSIZE;
    return FALSE;
  }
  win32::comdlg::ColourDialog dialog(*lpcc);
  const INT_PTR result = dialog.Run();
  if (result == -1) lastError = CDERR_INITIALIZATION;
  return result == IDOK;
}
