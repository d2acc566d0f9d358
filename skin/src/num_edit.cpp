#include "skin/num_edit.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>

IMPLEMENT_DYNAMIC(CNumEdit, CEdit)

BEGIN_MESSAGE_MAP(CNumEdit, CEdit)
  ON_WM_CHAR()
END_MESSAGE_MAP()

namespace {

// The text as a finite number with nothing but blanks after it. Hexadecimal numbers, infinities
// and NaN are not numbers a user types here.
bool ParseNumber(const CString& text, float& value) {
  const char* s = text;
  if (std::strpbrk(s, "xXiInN")) return false;
  char* end = nullptr;
  value = std::strtof(s, &end);
  if (end == s || !std::isfinite(value)) return false;
  while (*end == ' ' || *end == '\t') ++end;
  return *end == '\0';
}

}  // namespace

void CNumEdit::GetRange(float& min, float& max) const {
  min = min_;
  max = max_;
}

void CNumEdit::SetRange(float min, float max) {
  min_ = min;
  max_ = max;
}

int CNumEdit::IsValid(const CString& text) const {
  if (text == "+" || text == "-") return kUnfinishedSign;
  float value = 0;
  int result = kValid;
  if (!ParseNumber(text, value))
    result = kNotANumber;
  else if (value > max_ || value < min_)
    result = kOutOfRange;
  if (verbose_ && result != kValid)
    AfxMessageBox(result == kOutOfRange ? "Given value is out of range.\n" : "Characters must be a number.\n",
                  MB_ICONSTOP);
  return result;
}

int CNumEdit::IsValid() const {
  CString text;
  GetWindowText(text);
  return IsValid(text);
}

float CNumEdit::GetValue() const {
  CString text;
  GetWindowText(text);
  float value = 0;
  if (!ParseNumber(text, value) || value > max_ || value < min_) return min_;
  return value;
}

BOOL CNumEdit::SetValue(float value) {
  if (value > max_ || value < min_) return FALSE;
  CString text;
  SetWindowText(ConstructFormat(text, value));
  return TRUE;
}

void CNumEdit::ChangeAmount(int step) {
  const float value = std::max(std::min(GetValue() + float(step) * delta_, max_), min_);
  SetValue(value);
}

CString& CNumEdit::ConstructFormat(CString& text, float value) {
  text.Format("%G", double(value));
  if (const int point = text.Find('.'); point >= 0) decimals_ = std::max(decimals_, text.GetLength() - point - 1);
  text.Format("%.*f", decimals_, double(value));
  return text;
}

void CNumEdit::OnChar(UINT nChar, UINT, UINT) {
  if (nChar == ' ') return;
  const float old = GetValue();
  Default();
  CString text;
  GetWindowText(text);
  switch (IsValid(text)) {
    case kValid: {
      // Remember the decimals the user typed without reformatting the text under the caret.
      float value = 0;
      ParseNumber(text, value);
      CString scratch;
      ConstructFormat(scratch, value);
      return;
    }
    case kUnfinishedSign:
      return;
    default: {
      SetValue(old);
      SetSel(0, -1);
      // Characters typed ahead would build on the refused text.
      MSG pending;
      while (::PeekMessageA(&pending, m_hWnd, WM_CHAR, WM_CHAR, PM_REMOVE)) {
      }
      return;
    }
  }
}
