#include "options_dlg.h"

#include "app_resources.h"
#include "dialog_buttons.h"

namespace {

// The rows follow the full-screen size table, index for index.
const char* const kSizeRows[] = {"320x240", "352x288", "480x480", "480x576",  "640x480",
                                 "704x576", "720x480", "720x576", "1024x768", "1280x720"};
const char* const kDepthRows[] = {"16 bit", "24 bit", "32 bit"};

void Fill(CWnd* combo, const char* const* rows, size_t count, int selected) {
  for (size_t i = 0; i < count; ++i) combo->SendMessage(CB_ADDSTRING, 0, LPARAM(rows[i]));
  // An index outside the rows selects nothing.
  combo->SendMessage(CB_SETCURSEL, WPARAM(selected));
}

}  // namespace

COptionsDlg::COptionsDlg(CWnd* parent) : CDialog(IDD, parent) { LinkProgramResources(); }

BOOL COptionsDlg::OnInitDialog() {
  CDialog::OnInitDialog();
  ShadeWithIcon(okButton_, IDI_CHECK);
  ShadeWithIcon(cancelButton_, IDI_CROSS);
  Fill(GetDlgItem(kSizeId), kSizeRows, std::size(kSizeRows), sizeIndex);
  Fill(GetDlgItem(kDepthId), kDepthRows, std::size(kDepthRows), depthIndex);
  return TRUE;
}

void COptionsDlg::DoDataExchange(CDataExchange* pDX) {
  CDialog::DoDataExchange(pDX);
  DDX_Control(pDX, IDOK, okButton_);
  DDX_Control(pDX, IDCANCEL, cancelButton_);
  DDX_CBIndex(pDX, kSizeId, sizeIndex);
  DDX_CBIndex(pDX, kDepthId, depthIndex);
  DDX_Text(pDX, kPrefixId, prefix);
}
