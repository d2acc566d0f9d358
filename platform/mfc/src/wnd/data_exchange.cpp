// Dialog data exchange and validation.
#include <cerrno>
#include <climits>
#include <cmath>
#include <cstdlib>

#include "mfc/afxwnd.h"

IMPLEMENT_DYNAMIC(CUserException, CException)

void AfxThrowUserException() { throw new CUserException; }

HWND CDataExchange::PrepareCtrl(int nIDC) {
  HWND hWndCtrl = ::GetDlgItem(m_pDlgWnd->m_hWnd, nIDC);
  // A missing control is a programming error in the dialog's exchange.
  if (!hWndCtrl) AfxThrowNotSupportedException();
  m_hWndLastControl = hWndCtrl;
  m_bEditLastControl = FALSE;
  return hWndCtrl;
}

HWND CDataExchange::PrepareEditCtrl(int nIDC) {
  HWND hWndCtrl = PrepareCtrl(nIDC);
  m_bEditLastControl = TRUE;
  return hWndCtrl;
}

void CDataExchange::Fail() {
  if (!m_bSaveAndValidate) AfxThrowUserException();
  if (m_hWndLastControl) {
    // Back to the control that was refused, its text selected for retyping.
    ::SendMessageA(m_pDlgWnd->m_hWnd, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(m_hWndLastControl), TRUE);
    if (m_bEditLastControl) ::SendMessageA(m_hWndLastControl, EM_SETSEL, 0, -1);
  }
  AfxThrowUserException();
}

namespace {

CString ControlText(HWND hWnd) {
  CString text;
  int length = ::GetWindowTextLengthA(hWnd);
  ::GetWindowTextA(hWnd, text.GetBufferSetLength(length), length + 1);
  text.ReleaseBuffer();
  return text;
}

bool OnlyBlanks(const char* p) {
  while (*p == ' ' || *p == '\t') ++p;
  return *p == '\0';
}

// A whole number with optional blanks around it, within [low, high].
bool ParseInteger(const CString& text, long long low, long long high, long long& value) {
  const char* begin = text;
  char* end = nullptr;
  errno = 0;
  long long parsed = std::strtoll(begin, &end, 10);
  if (end == begin || errno == ERANGE || !OnlyBlanks(end) || parsed < low || parsed > high) return false;
  value = parsed;
  return true;
}

bool ParseReal(const CString& text, double& value) {
  const char* begin = text;
  char* end = nullptr;
  errno = 0;
  double parsed = std::strtod(begin, &end);
  if (end == begin || errno == ERANGE || !OnlyBlanks(end) || !std::isfinite(parsed)) return false;
  value = parsed;
  return true;
}

[[noreturn]] void FailWith(CDataExchange* pDX, LPCTSTR prompt) {
  AfxMessageBox(prompt, MB_ICONEXCLAMATION);
  pDX->Fail();
}

template <class Int>
void ExchangeInteger(CDataExchange* pDX, int nIDC, Int& value, long long low, long long high) {
  HWND hWndCtrl = pDX->PrepareEditCtrl(nIDC);
  if (pDX->m_bSaveAndValidate) {
    long long parsed = 0;
    if (!ParseInteger(ControlText(hWndCtrl), low, high, parsed)) FailWith(pDX, "Please enter an integer.");
    value = Int(parsed);
  } else {
    CString text;
    text.Format("%lld", static_cast<long long>(value));
    ::SetWindowTextA(hWndCtrl, text);
  }
}

void ExchangeReal(CDataExchange* pDX, int nIDC, double& value, int digits) {
  HWND hWndCtrl = pDX->PrepareEditCtrl(nIDC);
  if (pDX->m_bSaveAndValidate) {
    if (!ParseReal(ControlText(hWndCtrl), value)) FailWith(pDX, "Please enter a number.");
  } else {
    // The shortest text that reads back as the same value at the type's precision.
    CString text;
    text.Format("%.*g", digits, value);
    ::SetWindowTextA(hWndCtrl, text);
  }
}

}  // namespace

void DDX_Text(CDataExchange* pDX, int nIDC, CString& value) {
  HWND hWndCtrl = pDX->PrepareEditCtrl(nIDC);
  if (pDX->m_bSaveAndValidate) {
    value = ControlText(hWndCtrl);
  } else {
    ::SetWindowTextA(hWndCtrl, value);
  }
}

void DDX_Text(CDataExchange* pDX, int nIDC, int& value) { ExchangeInteger(pDX, nIDC, value, INT_MIN, INT_MAX); }
void DDX_Text(CDataExchange* pDX, int nIDC, UINT& value) { ExchangeInteger(pDX, nIDC, value, 0, UINT_MAX); }
void DDX_Text(CDataExchange* pDX, int nIDC, long& value) { ExchangeInteger(pDX, nIDC, value, LONG_MIN, LONG_MAX); }

void DDX_Text(CDataExchange* pDX, int nIDC, double& value) { ExchangeReal(pDX, nIDC, value, 15); }

void DDX_Text(CDataExchange* pDX, int nIDC, float& value) {
  double wide = value;
  ExchangeReal(pDX, nIDC, wide, 6);
  if (pDX->m_bSaveAndValidate) {
    if (std::fabs(wide) > 3.402823466e38) FailWith(pDX, "Please enter a number.");
    value = float(wide);
  }
}

void DDX_Check(CDataExchange* pDX, int nIDC, int& value) {
  HWND hWndCtrl = pDX->PrepareCtrl(nIDC);
  if (pDX->m_bSaveAndValidate) {
    value = int(::SendMessageA(hWndCtrl, BM_GETCHECK, 0, 0));
  } else {
    ::SendMessageA(hWndCtrl, BM_SETCHECK, WPARAM(value), 0);
  }
}

void DDX_Radio(CDataExchange* pDX, int nIDC, int& value) {
  HWND hWndCtrl = pDX->PrepareCtrl(nIDC);
  if (pDX->m_bSaveAndValidate) value = -1;
  // The group runs from nIDC to the next control with WS_GROUP; radio buttons count.
  int index = 0;
  do {
    if (::SendMessageA(hWndCtrl, WM_GETDLGCODE, 0, 0) & DLGC_RADIOBUTTON) {
      if (pDX->m_bSaveAndValidate) {
        if (::SendMessageA(hWndCtrl, BM_GETCHECK, 0, 0) != BST_UNCHECKED) value = index;
      } else {
        ::SendMessageA(hWndCtrl, BM_SETCHECK, index == value ? BST_CHECKED : BST_UNCHECKED, 0);
      }
      ++index;
    }
    hWndCtrl = ::GetWindow(hWndCtrl, GW_HWNDNEXT);
  } while (hWndCtrl && !(::GetWindowLongA(hWndCtrl, GWL_STYLE) & WS_GROUP));
}

void DDX_CBIndex(CDataExchange* pDX, int nIDC, int& index) {
  HWND hWndCtrl = pDX->PrepareCtrl(nIDC);
  if (pDX->m_bSaveAndValidate) {
    index = int(::SendMessageA(hWndCtrl, CB_GETCURSEL, 0, 0));
  } else {
    ::SendMessageA(hWndCtrl, CB_SETCURSEL, WPARAM(index), 0);
  }
}

void DDX_LBIndex(CDataExchange* pDX, int nIDC, int& index) {
  HWND hWndCtrl = pDX->PrepareCtrl(nIDC);
  if (pDX->m_bSaveAndValidate) {
    index = int(::SendMessageA(hWndCtrl, LB_GETCURSEL, 0, 0));
  } else {
    ::SendMessageA(hWndCtrl, LB_SETCURSEL, WPARAM(index), 0);
  }
}

void DDX_CBString(CDataExchange* pDX, int nIDC, CString& value) {
  HWND hWndCtrl = pDX->PrepareCtrl(nIDC);
  if (pDX->m_bSaveAndValidate) {
    value = ControlText(hWndCtrl);
  } else if (::SendMessageA(hWndCtrl, CB_SELECTSTRING, WPARAM(-1), reinterpret_cast<LPARAM>(LPCTSTR(value))) == CB_ERR) {
    // Not in the list: the edit field of a drop-down shows it anyway.
    ::SetWindowTextA(hWndCtrl, value);
  }
}

void DDX_Control(CDataExchange* pDX, int nIDC, CWnd& rControl) {
  if (rControl.m_hWnd) return;
  HWND hWndCtrl = pDX->PrepareCtrl(nIDC);
  if (!rControl.SubclassWindow(hWndCtrl)) AfxThrowNotSupportedException();
}

void DDV_MinMaxInt(CDataExchange* pDX, int value, int minVal, int maxVal) {
  if (!pDX->m_bSaveAndValidate || (value >= minVal && value <= maxVal)) return;
  CString prompt;
  prompt.Format("Please enter an integer between %d and %d.", minVal, maxVal);
  FailWith(pDX, prompt);
}

void DDV_MinMaxDouble(CDataExchange* pDX, double const& value, double minVal, double maxVal) {
  if (!pDX->m_bSaveAndValidate || (value >= minVal && value <= maxVal)) return;
  CString prompt;
  prompt.Format("Please enter a number between %g and %g.", minVal, maxVal);
  FailWith(pDX, prompt);
}

void DDV_MaxChars(CDataExchange* pDX, CString const& value, int nChars) {
  if (pDX->m_bSaveAndValidate) {
    if (value.GetLength() <= nChars) return;
    CString prompt;
    prompt.Format("Enter no more than %d characters.", nChars);
    FailWith(pDX, prompt);
  }
  if (pDX->m_hWndLastControl && pDX->m_bEditLastControl) ::SendMessageA(pDX->m_hWndLastControl, EM_LIMITTEXT, WPARAM(nChars), 0);
}
