#include "control/named_item.h"

CNamedItem::CNamedItem(REFIID iidDispatch, LPCTSTR name, REFCLSID clsid) : m_name(name), m_clsid(clsid) {
  EnableAutomation();
  mfc::disp::SetDispatchIID(this, iidDispatch);
}

BEGIN_DISPATCH_MAP(CNamedItem, CCmdTarget)
  DISP_PROPERTY_EX_ID(CNamedItem, "Name", dispidItemName, GetName, SetNotSupported, VT_BSTR)
END_DISPATCH_MAP()
