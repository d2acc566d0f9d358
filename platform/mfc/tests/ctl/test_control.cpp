// A small control module: one control and its property page, registered through the module's own
// entry points.
#include "mfc/afxctl.h"
#include "test_control.h"

namespace {

const char* const kNames[] = {"Alpha", "Beta", "Gamma"};

const StringEntry kStrings[] = {{1, "Test Control"}, {2, "Test Control Property Page"}, {200, "General"}};
// The property page: a child dialog without controls.
const DLGTEMPLATE kPage = {WS_CHILD | DS_CONTROL, 0, 0, 0, 150, 80, "", nullptr, 0};
const ResourceEntry kEntries[] = {{RT_DIALOG, MAKEINTRESOURCE(200), &kPage, sizeof kPage}};
const ModuleResources kResources(kEntries, kStrings);

class CTestCtrl : public COleControl {
  DECLARE_DYNCREATE(CTestCtrl)
  DECLARE_OLECREATE_EX(CTestCtrl)
  DECLARE_DISPATCH_MAP()
  DECLARE_EVENT_MAP()
  DECLARE_PROPPAGEIDS(CTestCtrl)

 public:
  CTestCtrl() { InitializeIIDs(&IID_DTestCtl, &IID_DTestCtlEvents); }

  void DoPropExchange(CPropExchange* pPX) override {
    ExchangeVersion(pPX, MAKELONG_VERSION(1, 0));
    COleControl::DoPropExchange(pPX);
    PX_Short(pPX, "Width", m_width, 320);
    PX_String(pPX, "Title", m_title, "Clip");
    PX_Float(pPX, "Rate", m_rate, 15.0f);
  }

  BOOL OnGetDisplayString(DISPID dispid, CString& strValue) override {
    if (dispid != dispidIndex) return COleControl::OnGetDisplayString(dispid, strValue);
    if (m_index >= 0 && m_index < 3) strValue = kNames[m_index];
    return TRUE;
  }
  BOOL OnGetPredefinedStrings(DISPID dispid, CStringArray* strings, CDWordArray* cookies) override {
    if (dispid != dispidIndex) return COleControl::OnGetPredefinedStrings(dispid, strings, cookies);
    for (DWORD i = 0; i < 3; ++i) {
      strings->Add(kNames[i]);
      cookies->Add(i);
    }
    return TRUE;
  }
  BOOL OnGetPredefinedValue(DISPID dispid, DWORD cookie, VARIANT* out) override {
    if (dispid != dispidIndex) return COleControl::OnGetPredefinedValue(dispid, cookie, out);
    out->vt = VT_I2;
    out->iVal = SHORT(cookie);
    return TRUE;
  }

  void OnDraw(CDC* pdc, const CRect& rcBounds, const CRect&) override {
    pdc->FillSolidRect(rcBounds, RGB(0, 0, 0));
  }

 protected:
  void OnWidthChanged() {
    SetModifiedFlag();
    if (!AmbientUserMode()) BoundPropertyChanged(dispidWidth);
  }
  BSTR GetTitle() { return m_title.AllocSysString(); }
  void SetTitle(LPCTSTR title) {
    m_title = title;
    SetModifiedFlag();
  }
  float GetRate() { return m_rate; }
  void SetRate(float rate) { m_rate = rate; }
  LONG GetItems() { return 3; }
  BSTR Describe(LPCTSTR name, short count, double seconds) {
    CString text;
    text.Format("%s x%d @%.1f", name, count, seconds);
    return text.AllocSysString();
  }
  void Fire(double position) {
    FireEvent(eventidProgress, EVENT_PARAM(VTS_R8 VTS_BSTR), position, "step");
    FireEvent(eventidDone, EVENT_PARAM(VTS_NONE));
  }

  short m_width = 0;
  CString m_title;
  float m_rate = 0;
  OLE_COLOR m_color = 0x0000FF;
  short m_index = 0;
};

IMPLEMENT_DYNCREATE(CTestCtrl, COleControl)
IMPLEMENT_OLECREATE_EX(CTestCtrl, TESTCTL_PROGID, 0x6A1C2E10, 0x4B7D, 0x4E21, 0x9A, 0x33, 0x10, 0x2F, 0x4C, 0x5D,
                       0x6E, 0x71)

BEGIN_DISPATCH_MAP(CTestCtrl, COleControl)
  DISP_PROPERTY_NOTIFY(CTestCtrl, "Width", m_width, OnWidthChanged, VT_I2)
  DISP_PROPERTY_EX(CTestCtrl, "Title", GetTitle, SetTitle, VT_BSTR)
  DISP_PROPERTY_EX(CTestCtrl, "Rate", GetRate, SetRate, VT_R4)
  DISP_PROPERTY(CTestCtrl, "Color", m_color, VT_I4)
  DISP_PROPERTY_EX(CTestCtrl, "Items", GetItems, SetNotSupported, VT_I4)
  DISP_FUNCTION(CTestCtrl, "Describe", Describe, VT_BSTR, VTS_BSTR VTS_I2 VTS_R8)
  DISP_FUNCTION(CTestCtrl, "Fire", Fire, VT_EMPTY, VTS_R8)
  DISP_PROPERTY(CTestCtrl, "Index", m_index, VT_I2)
  DISP_FUNCTION(CTestCtrl, "AmbientName", AmbientDisplayName, VT_BSTR, VTS_NONE)
  DISP_STOCKPROP_BACKCOLOR()
  DISP_STOCKPROP_ENABLED()
  DISP_STOCKPROP_HWND()
END_DISPATCH_MAP()

BEGIN_EVENT_MAP(CTestCtrl, COleControl)
  EVENT_CUSTOM("Done", FireDone, VTS_NONE)
  EVENT_CUSTOM("Progress", FireProgress, VTS_R8 VTS_BSTR)
  EVENT_STOCK_DBLCLICK()
END_EVENT_MAP()

BEGIN_PROPPAGEIDS(CTestCtrl, 1)
  PROPPAGEID(CLSID_TestCtlPage)
END_PROPPAGEIDS(CTestCtrl)

BOOL CTestCtrl::CTestCtrlFactory::UpdateRegistry(BOOL bRegister) {
  if (!bRegister) return AfxOleUnregisterClass(m_clsid, m_lpszProgID);
  return AfxOleRegisterControlClass(AfxGetInstanceHandle(), m_clsid, m_lpszProgID, 1, 1, afxRegApartmentThreading,
                                    0x20191, LIBID_TestCtl, 1, 0);
}

class CTestPropPage : public COlePropertyPage {
  DECLARE_DYNCREATE(CTestPropPage)
  DECLARE_OLECREATE_EX(CTestPropPage)

 public:
  CTestPropPage() : COlePropertyPage(200, 200) {}

 protected:
  void DoDataExchange(CDataExchange* pDX) override { DDP_PostProcessing(pDX); }
};

IMPLEMENT_DYNCREATE(CTestPropPage, COlePropertyPage)
IMPLEMENT_OLECREATE_EX(CTestPropPage, TESTCTL_PAGE_PROGID, 0x6A1C2E11, 0x4B7D, 0x4E21, 0x9A, 0x33, 0x10, 0x2F, 0x4C,
                       0x5D, 0x6E, 0x71)

BOOL CTestPropPage::CTestPropPageFactory::UpdateRegistry(BOOL bRegister) {
  if (!bRegister) return AfxOleUnregisterClass(m_clsid, nullptr);
  return AfxOleRegisterPropertyPageClass(AfxGetInstanceHandle(), m_clsid, 2);
}

}  // namespace

extern "C" __attribute__((visibility("default"))) HRESULT DllRegisterServer() {
  if (!AfxOleRegisterTypeLib(AfxGetInstanceHandle(), LIBID_TestCtl)) return SELFREG_E_TYPELIB;
  if (!COleObjectFactoryEx::UpdateRegistryAll(TRUE)) return SELFREG_E_CLASS;
  return S_OK;
}

extern "C" __attribute__((visibility("default"))) HRESULT DllUnregisterServer() {
  if (!AfxOleUnregisterTypeLib(LIBID_TestCtl, 1, 0, 0)) return SELFREG_E_TYPELIB;
  if (!COleObjectFactoryEx::UpdateRegistryAll(FALSE)) return SELFREG_E_CLASS;
  return S_OK;
}

extern "C" __attribute__((visibility("default"))) HRESULT DllGetClassObject(REFCLSID rclsid, REFIID riid, LPVOID* ppv) {
  return AfxDllGetClassObject(rclsid, riid, ppv);
}

extern "C" __attribute__((visibility("default"))) HRESULT DllCanUnloadNow() { return AfxDllCanUnloadNow(); }
