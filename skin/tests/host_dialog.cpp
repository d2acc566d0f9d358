#include "host_dialog.h"

namespace skin_test {

namespace {
const DLGTEMPLATE kHostTemplate = {WS_POPUP, 0, 0, 0, 10, 10, "", nullptr, 0, nullptr, 0, nullptr};
}  // namespace

BEGIN_MESSAGE_MAP(CHostDialog, CDialog)
  ON_WM_ERASEBKGND()
END_MESSAGE_MAP()

void CHostDialog::Open(bool withBackground) {
  CreateIndirect(&kHostTemplate);
  MoveWindow(40, 30, 200, 150);
  if (withBackground) {
    CClientDC dc(this);
    background_.CreateCompatibleDC(&dc);
    picture_.CreateCompatibleBitmap(&dc, 200, 150);
    background_.SelectObject(&picture_);
    for (int y = 0; y < 150; ++y) background_.FillSolidRect(0, y, 200, 1, HostBackground(y));
  }
  ShowWindow(SW_SHOW);
}

BOOL CHostDialog::OnEraseBkgnd(CDC* pDC) {
  CRect client;
  GetClientRect(&client);
  pDC->FillSolidRect(&client, kHostFace);
  return TRUE;
}

}  // namespace skin_test
