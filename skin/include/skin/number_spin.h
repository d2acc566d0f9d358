#pragma once
// An up-down control that moves a CNumEdit buddy by the buddy's delta per click, in either
// direction without end: its own position stays near the middle of 0..1000 and the value lives
// in the buddy. Every operation does nothing (or answers 0) unless the buddy is a CNumEdit.
#include "mfc/afxcmn.h"

class CNumEdit;

class CNumberSpinCtrl : public CSpinButtonCtrl {
  DECLARE_DYNAMIC(CNumberSpinCtrl)
 public:
  CNumberSpinCtrl() = default;

  void SetPos(float value);
  float GetPos() const;
  void SetRange(float min, float max);
  void GetRange(float& min, float& max) const;
  virtual void SetDelta(float delta);
  virtual float GetDelta() const;
  // A CNumEdit buddy starts at 0.
  CWnd* SetBuddy(CWnd* buddy);
  CWnd* GetBuddy() const { return CSpinButtonCtrl::GetBuddy(); }

 protected:
  afx_msg void OnDeltaPos(NMHDR* header, LRESULT* result);
  DECLARE_MESSAGE_MAP()

 private:
  static constexpr int kMiddle = 500;
  static constexpr int kEnd = 1000;
  CNumEdit* NumBuddy() const;
};
