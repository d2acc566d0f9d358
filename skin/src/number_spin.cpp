#include "skin/number_spin.h"

#include <cstdlib>

#include "skin/num_edit.h"

IMPLEMENT_DYNAMIC(CNumberSpinCtrl, CSpinButtonCtrl)

BEGIN_MESSAGE_MAP(CNumberSpinCtrl, CSpinButtonCtrl)
  ON_NOTIFY_REFLECT(UDN_DELTAPOS, OnDeltaPos)
END_MESSAGE_MAP()

CNumEdit* CNumberSpinCtrl::NumBuddy() const {
  CWnd* buddy = CWnd::FromHandlePermanent(HWND(SendMessage(UDM_GETBUDDY)));
  return buddy && buddy->IsKindOf(RUNTIME_CLASS(CNumEdit)) ? static_cast<CNumEdit*>(buddy) : nullptr;
}

void CNumberSpinCtrl::SetPos(float value) {
  CNumEdit* buddy = NumBuddy();
  if (!buddy) return;
  SetPos32(kMiddle);
  buddy->SetValue(value);
}

float CNumberSpinCtrl::GetPos() const {
  CNumEdit* buddy = NumBuddy();
  return buddy ? buddy->GetValue() : 0;
}

void CNumberSpinCtrl::SetRange(float min, float max) {
  CNumEdit* buddy = NumBuddy();
  if (!buddy) return;
  SetRange32(0, kEnd);
  buddy->SetRange(min, max);
}

void CNumberSpinCtrl::GetRange(float& min, float& max) const {
  if (CNumEdit* buddy = NumBuddy()) buddy->GetRange(min, max);
}

void CNumberSpinCtrl::SetDelta(float delta) {
  if (CNumEdit* buddy = NumBuddy()) buddy->SetDelta(delta);
}

float CNumberSpinCtrl::GetDelta() const {
  CNumEdit* buddy = NumBuddy();
  return buddy ? buddy->GetDelta() : 0;
}

CWnd* CNumberSpinCtrl::SetBuddy(CWnd* buddy) {
  CWnd* previous = CSpinButtonCtrl::SetBuddy(buddy);
  if (CNumEdit* edit = NumBuddy()) edit->SetValue(0);
  return previous;
}

void CNumberSpinCtrl::OnDeltaPos(NMHDR* header, LRESULT* result) {
  *result = 0;
  CNumEdit* buddy = NumBuddy();
  if (!buddy) return;
  auto* updown = reinterpret_cast<NMUPDOWN*>(header);
  // Near either end the position goes back to the middle, so clicks never run out.
  const int reach = std::abs(updown->iDelta);
  if (updown->iPos <= reach || updown->iPos >= kEnd - reach) SetPos32(kMiddle);
  buddy->ChangeAmount(updown->iDelta);
}
