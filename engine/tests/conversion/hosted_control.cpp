#include "hosted_control.h"

BEGIN_EVENTSINK_MAP(CEventHost, CWnd)
  ON_EVENT(CEventHost, 1001, eventidComplete, OnComplete, VTS_NONE)
  ON_EVENT(CEventHost, 1001, eventidProcessing, OnProcessing, VTS_R8 VTS_R8)
  ON_EVENT(CEventHost, 1001, DISPID_DBLCLICK, OnDblClick, VTS_NONE)
  ON_EVENT(CEventHost, 1001, eventidOnPlaying, OnPlaying, VTS_R8)
  ON_EVENT(CEventHost, 1001, eventidPreviewComplete, OnPreviewComplete, VTS_NONE)
END_EVENTSINK_MAP()

HMODULE HostedControl::module = nullptr;

void HostedControl::SetUpTestSuite() {
  if (module) return;
  module = LoadLibraryA(TESSARY_MODULE);
  ASSERT_NE(nullptr, module);
  auto registerServer = reinterpret_cast<HRESULT (*)()>(GetProcAddress(module, "DllRegisterServer"));
  ASSERT_EQ(S_OK, registerServer());
}

void HostedControl::SetUp() {
  AfxEnableControlContainer();
  ASSERT_TRUE(host.CreateEx(0, AfxRegisterWndClass(0), "host", WS_POPUP | WS_VISIBLE, 0, 0, 400, 300, nullptr,
                            nullptr));
  ASSERT_TRUE(AfxCreateControl(&wrapper, CLSID_Tessary, "", WS_VISIBLE, CRect(0, 0, 320, 240), &host, 1001));
  site = AfxGetControlSite(&wrapper);
  ASSERT_NE(nullptr, site);
  control = site->GetDispatch();
  control->AddRef();
}

void HostedControl::TearDown() {
  if (control) control->Release();
  wrapper.DestroyWindow();
  host.DestroyWindow();
  CWnd::DeleteTempMap();
}

COleVariant HostedControl::Call(DISPID id, std::initializer_list<COleVariant> args) {
  COleVariant result;
  EXPECT_EQ(S_OK, CallMethod(control, id, result, args)) << "member " << id;
  return result;
}

void HostedControl::Put(DISPID id, const COleVariant& value) {
  EXPECT_EQ(S_OK, PutProp(control, id, value)) << "member " << id;
}

COleVariant HostedControl::Get(DISPID id) {
  COleVariant result;
  EXPECT_EQ(S_OK, GetProp(control, id, result)) << "member " << id;
  return result;
}

short HostedControl::IndexOf(DISPID collection, const char* name) {
  COleVariant items = Get(collection);
  COleVariant position;
  EXPECT_EQ(S_OK, CallMethod(items.pdispVal, dispidCollectionFind, position, {COleVariant(name)}));
  return position.iVal;
}
