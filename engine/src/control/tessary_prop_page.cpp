#include "control/tessary_prop_page.h"

#include "control/tessary_resources.h"
#include "engine/tessary_ids.h"

IMPLEMENT_DYNCREATE(CTessaryPropPage, COlePropertyPage)
IMPLEMENT_OLECREATE_EX(CTessaryPropPage, TESSARY_PAGE_PROGID, 0x2EEC36B3, 0x5255, 0x4F5A, 0x9B, 0x0B, 0xEC, 0x64,
                       0x43, 0x26, 0x47, 0x7B)

BOOL CTessaryPropPage::CTessaryPropPageFactory::UpdateRegistry(BOOL bRegister) {
  if (!bRegister) return AfxOleUnregisterClass(m_clsid, nullptr);
  return AfxOleRegisterPropertyPageClass(AfxGetInstanceHandle(), m_clsid, IDS_TESSARY_PPG);
}

CTessaryPropPage::CTessaryPropPage() : COlePropertyPage(IDD_PROPPAGE_TESSARY, IDS_TESSARY_PPG_CAPTION) {}

void CTessaryPropPage::DoDataExchange(CDataExchange* pDX) { DDP_PostProcessing(pDX); }
