#pragma once
// An edit control that holds one number within a range. It shows the number with as many
// decimals as the values it has shown needed (never fewer), and puts the previous value back when
// a keystroke makes the text something other than a number in range.
#include "mfc/afxwnd.h"

class CNumEdit : public CEdit {
  DECLARE_DYNAMIC(CNumEdit)
 public:
  // What IsValid finds.
  enum Validity { kValid = 0, kOutOfRange = 1, kNotANumber = 2, kUnfinishedSign = 3 };

  CNumEdit() = default;

  // Moves the value by step times the delta, held within the range.
  virtual void ChangeAmount(int step);
  virtual float GetDelta() const { return delta_; }
  virtual void SetDelta(float delta) { delta_ = delta; }
  virtual void GetRange(float& min, float& max) const;
  virtual void SetRange(float min, float max);
  virtual BOOL GetVerbose() const { return verbose_; }
  // With verbose set, refused input is explained in a message box.
  virtual void SetVerbose(BOOL verbose) { verbose_ = verbose; }
  virtual int IsValid(const CString& text) const;
  virtual int IsValid() const;
  // FALSE, and the text unchanged, for a value outside the range.
  virtual BOOL SetValue(float value);
  // The range's minimum when the text is not a valid number.
  virtual float GetValue() const;
  // The value with the decimals this edit shows; widens them when the value needs more.
  virtual CString& ConstructFormat(CString& text, float value);

 protected:
  afx_msg void OnChar(UINT nChar, UINT nRepCnt, UINT nFlags);
  DECLARE_MESSAGE_MAP()

 private:
  int decimals_ = 0;
  BOOL verbose_ = FALSE;
  float delta_ = 1.0f;
  float min_ = -3.4028235e+38f;
  float max_ = 3.4028235e+38f;
};
