// The test control module: self-registration, creation by class id, persistence, browsing, and
// containment (in-place activation, properties through the site, events into a sink map,
// property-change notifications, dialog templates naming the control).
#include <gtest/gtest.h>

#include "mfc/afxctl.h"
#include "testing/ui_driver.h"
#include "test_control.h"

namespace {

CString RegText(LPCSTR key) {
  char text[512];
  LONG size = sizeof text;
  if (RegQueryValueA(HKEY_CLASSES_ROOT, key, text, &size) != ERROR_SUCCESS) return "<missing>";
  return CString(text);
}

CString Key(LPCSTR prefix, REFGUID guid, LPCSTR suffix = "") {
  return CString(prefix) + StringFromGUIDA(guid).c_str() + suffix;
}

// A class of the program itself. Its registration ends in a tail call of the framework's helper,
// as an optimised build compiles a page's UpdateRegistry.
DEFINE_GUID(CLSID_ProgramPage, 0x6A1C2E15, 0x4B7D, 0x4E21, 0x9A, 0x33, 0x10, 0x2F, 0x4C, 0x5D, 0x6E, 0x71);
class ProgramPageFactory : public COleObjectFactory {
 public:
  ProgramPageFactory() : COleObjectFactory(CLSID_ProgramPage, nullptr, FALSE, nullptr) {}
  BOOL UpdateRegistry(BOOL bRegister) override {
    if (!bRegister) return AfxOleUnregisterClass(m_clsid, nullptr);
    return AfxOleRegisterPropertyPageClass(AfxGetInstanceHandle(), m_clsid, 0);
  }
};
ProgramPageFactory programPageFactory;

// The module, registered into this process's registry once.
class ModuleTest : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    module = LoadLibraryA(TEST_CONTROL_MODULE);
    ASSERT_NE(nullptr, module);
    auto registerServer = reinterpret_cast<HRESULT (*)()>(GetProcAddress(module, "DllRegisterServer"));
    ASSERT_NE(nullptr, registerServer);
    ASSERT_EQ(S_OK, registerServer());
  }
  static HMODULE module;

  static IUnknown* CreateControl() {
    IUnknown* unknown = nullptr;
    EXPECT_EQ(S_OK, CoCreateInstance(CLSID_TestCtl, nullptr, CLSCTX_INPROC_SERVER, IID_IUnknown,
                                     reinterpret_cast<void**>(&unknown)));
    return unknown;
  }
  template <class T>
  static T* Query(IUnknown* unknown, REFIID iid) {
    T* p = nullptr;
    EXPECT_EQ(S_OK, unknown->QueryInterface(iid, reinterpret_cast<void**>(&p)));
    return p;
  }
};
HMODULE ModuleTest::module = nullptr;

TEST_F(ModuleTest, RegistrationWritesTheControlPageAndLibraryEntries) {
  const CString modulePath = RegText(Key("CLSID\\", CLSID_TestCtl, "\\InprocServer32"));
  EXPECT_NE(-1, modulePath.Find("TestCtl.ocx"));
  EXPECT_EQ(CString("Test Control"), RegText(Key("CLSID\\", CLSID_TestCtl)));
  EXPECT_EQ(CString(TESTCTL_PROGID), RegText(Key("CLSID\\", CLSID_TestCtl, "\\ProgID")));
  EXPECT_EQ(CString(StringFromGUIDA(CLSID_TestCtl).c_str()), RegText(TESTCTL_PROGID "\\CLSID"));
  EXPECT_EQ(CString("131473"), RegText(Key("CLSID\\", CLSID_TestCtl, "\\MiscStatus\\1")));
  EXPECT_EQ(CString(StringFromGUIDA(LIBID_TestCtl).c_str()), RegText(Key("CLSID\\", CLSID_TestCtl, "\\TypeLib")));
  EXPECT_EQ(CString(""), RegText(Key("CLSID\\", CLSID_TestCtl, "\\Control")));
  EXPECT_EQ(CString("Test Control Property Page"), RegText(Key("CLSID\\", CLSID_TestCtlPage)));
  EXPECT_EQ(modulePath, RegText(Key("TypeLib\\", LIBID_TestCtl, "\\1.0\\0\\win32")));
  // Addresses of the program itself belong to the program's module.
  EXPECT_EQ(GetModuleHandleA(nullptr), AfxGetModuleOf(&module));
}

TEST_F(ModuleTest, UnregistrationRemovesEveryEntryAndRegisteringAgainRestoresThem) {
  auto unregisterServer = reinterpret_cast<HRESULT (*)()>(GetProcAddress(module, "DllUnregisterServer"));
  ASSERT_EQ(S_OK, unregisterServer());
  EXPECT_EQ(CString("<missing>"), RegText(Key("CLSID\\", CLSID_TestCtl)));
  EXPECT_EQ(CString("<missing>"), RegText(TESTCTL_PROGID));
  EXPECT_EQ(CString("<missing>"), RegText(Key("CLSID\\", CLSID_TestCtlPage)));
  EXPECT_EQ(CString("<missing>"), RegText(Key("TypeLib\\", LIBID_TestCtl, "\\1.0\\0\\win32")));
  auto registerServer = reinterpret_cast<HRESULT (*)()>(GetProcAddress(module, "DllRegisterServer"));
  ASSERT_EQ(S_OK, registerServer());
  EXPECT_EQ(CString("Test Control"), RegText(Key("CLSID\\", CLSID_TestCtl)));
}

TEST_F(ModuleTest, EachModuleRegistersItsOwnFactoriesUnderItsOwnFile) {
  char program[MAX_PATH * 4];
  ASSERT_NE(0u, GetModuleFileNameA(nullptr, program, sizeof program));
  auto unregisterServer = reinterpret_cast<HRESULT (*)()>(GetProcAddress(module, "DllUnregisterServer"));
  ASSERT_EQ(S_OK, unregisterServer());

  // The program's registration covers the program's factories only.
  ASSERT_TRUE(COleObjectFactory::UpdateRegistryAll(TRUE));
  EXPECT_EQ(CString(program), RegText(Key("CLSID\\", CLSID_ProgramPage, "\\InprocServer32")));
  EXPECT_EQ(CString("<missing>"), RegText(Key("CLSID\\", CLSID_TestCtlPage)));

  // The module's covers the module's only, each under the module's own file.
  auto registerServer = reinterpret_cast<HRESULT (*)()>(GetProcAddress(module, "DllRegisterServer"));
  ASSERT_TRUE(COleObjectFactory::UpdateRegistryAll(FALSE));
  ASSERT_EQ(S_OK, registerServer());
  EXPECT_EQ(CString("<missing>"), RegText(Key("CLSID\\", CLSID_ProgramPage)));
  const CString modulePath = RegText(Key("CLSID\\", CLSID_TestCtlPage, "\\InprocServer32"));
  EXPECT_NE(-1, modulePath.Find("TestCtl.ocx")) << modulePath.GetString();
  EXPECT_EQ(modulePath, RegText(Key("CLSID\\", CLSID_TestCtl, "\\InprocServer32")));
}

TEST_F(ModuleTest, NewControlTakesItsExchangeDefaultsAndRefusesSetsOfReadOnlyProperties) {
  IUnknown* unknown = CreateControl();
  ASSERT_NE(nullptr, unknown);
  auto* persist = Query<IPersistStreamInit>(unknown, IID_IPersistStreamInit);
  ASSERT_EQ(S_OK, persist->InitNew());
  EXPECT_EQ(S_FALSE, persist->IsDirty());
  CLSID clsid;
  EXPECT_EQ(S_OK, persist->GetClassID(&clsid));
  EXPECT_EQ(CLSID_TestCtl, clsid);

  COleDispatchDriver control(Query<IDispatch>(unknown, IID_DTestCtl));
  COleDispatchDriver byName;
  ASSERT_TRUE(byName.CreateDispatch(TESTCTL_PROGID));
  COleException error;
  EXPECT_FALSE(byName.CreateDispatch("NO.SuchControl.1", &error));
  EXPECT_EQ(CO_E_CLASSSTRING, error.m_sc);
  EXPECT_EQ(nullptr, byName.m_lpDispatch);
  short width = 0;
  control.GetProperty(dispidWidth, VT_I2, &width);
  EXPECT_EQ(320, width);
  CString title;
  control.GetProperty(dispidTitle, VT_BSTR, &title);
  EXPECT_EQ(CString("Clip"), title);
  float rate = 0;
  control.GetProperty(dispidRate, VT_R4, &rate);
  EXPECT_EQ(15.0f, rate);
  CString described;
  control.InvokeHelper(dispidDescribe, DISPATCH_METHOD, VT_BSTR, &described,
                       reinterpret_cast<const BYTE*>(VTS_BSTR VTS_I2 VTS_R8), "clip", 3, 2.5);
  EXPECT_EQ(CString("clip x3 @2.5"), described);
  try {
    control.SetProperty(dispidItems, VT_I4, LONG(5));
    ADD_FAILURE() << "a read-only property was set";
  } catch (COleDispatchException* e) {
    EXPECT_EQ(CTL_E_SETNOTSUPPORTED, e->m_scError);
    e->Delete();
  }
  control.SetProperty(dispidTitle, VT_BSTR, "Movie");
  EXPECT_EQ(S_OK, persist->IsDirty());
  persist->Release();
  control.ReleaseDispatch();
  unknown->Release();
}

TEST_F(ModuleTest, StreamAndPropertyBagKeepTheExchangedPropertiesOnly) {
  IUnknown* unknown = CreateControl();
  auto* persist = Query<IPersistStreamInit>(unknown, IID_IPersistStreamInit);
  persist->InitNew();
  {
    COleDispatchDriver control(Query<IDispatch>(unknown, IID_IDispatch));
    control.SetProperty(dispidWidth, VT_I2, 640);
    control.SetProperty(dispidTitle, VT_BSTR, "Movie \xC3\xA9t\xC3\xA9");
    control.SetProperty(dispidColor, VT_I4, LONG(0x00FF00));
  }
  IStream* stream = nullptr;
  ASSERT_EQ(S_OK, CreateStreamOnHGlobal(nullptr, TRUE, &stream));
  ASSERT_EQ(S_OK, persist->Save(stream, TRUE));
  EXPECT_EQ(S_FALSE, persist->IsDirty());
  IPropertyBag* bag = nullptr;
  ASSERT_EQ(S_OK, CreatePropertyBag(&bag));
  auto* bagPersist = Query<IPersistPropertyBag>(unknown, IID_IPersistPropertyBag);
  ASSERT_EQ(S_OK, bagPersist->Save(bag, TRUE, TRUE));
  bagPersist->Release();
  persist->Release();
  unknown->Release();

  for (int fromBag = 0; fromBag < 2; ++fromBag) {
    IUnknown* copy = CreateControl();
    if (fromBag) {
      auto* p = Query<IPersistPropertyBag>(copy, IID_IPersistPropertyBag);
      EXPECT_EQ(S_OK, p->Load(bag, nullptr));
      p->Release();
    } else {
      LARGE_INTEGER zero = {};
      stream->Seek(zero, STREAM_SEEK_SET, nullptr);
      auto* p = Query<IPersistStreamInit>(copy, IID_IPersistStreamInit);
      EXPECT_EQ(S_OK, p->Load(stream));
      p->Release();
    }
    COleDispatchDriver control(Query<IDispatch>(copy, IID_IDispatch));
    short width = 0;
    control.GetProperty(dispidWidth, VT_I2, &width);
    EXPECT_EQ(640, width);
    CString title;
    control.GetProperty(dispidTitle, VT_BSTR, &title);
    EXPECT_EQ(CString("Movie \xC3\xA9t\xC3\xA9"), title);
    LONG color = 0;
    control.GetProperty(dispidColor, VT_I4, &color);
    EXPECT_EQ(0x0000FF, color);  // not persisted: the constructor's value
    control.ReleaseDispatch();
    copy->Release();
  }
  bag->Release();
  stream->Release();
}

TEST_F(ModuleTest, TruncatedStreamFailsAndLeavesTheUnreadPropertiesAtTheirDefaults) {
  IStream* stream = nullptr;
  ASSERT_EQ(S_OK, CreateStreamOnHGlobal(nullptr, TRUE, &stream));
  // Version, then Width = 500, then a title whose length runs past the end.
  const BYTE data[] = {0x13, 0, 0, 0, 1, 0, 0x02, 0, 0xF4, 0x01, 0x08, 0, 0xFF, 0xFF, 0, 0, 'a'};
  stream->Write(data, sizeof data, nullptr);
  LARGE_INTEGER zero = {};
  stream->Seek(zero, STREAM_SEEK_SET, nullptr);
  IUnknown* unknown = CreateControl();
  auto* persist = Query<IPersistStreamInit>(unknown, IID_IPersistStreamInit);
  EXPECT_EQ(E_FAIL, persist->Load(stream));
  COleDispatchDriver control(Query<IDispatch>(unknown, IID_IDispatch));
  short width = 0;
  control.GetProperty(dispidWidth, VT_I2, &width);
  EXPECT_EQ(500, width);
  CString title;
  control.GetProperty(dispidTitle, VT_BSTR, &title);
  EXPECT_EQ(CString("Clip"), title);
  float rate = 0;
  control.GetProperty(dispidRate, VT_R4, &rate);
  EXPECT_EQ(15.0f, rate);
  control.ReleaseDispatch();
  persist->Release();
  unknown->Release();
  stream->Release();
}

TEST_F(ModuleTest, BrowsingHooksNameIndexPropertiesAndPagesAreListed) {
  IUnknown* unknown = CreateControl();
  auto* browsing = Query<IPerPropertyBrowsing>(unknown, IID_IPerPropertyBrowsing);
  BSTR text = nullptr;
  ASSERT_EQ(S_OK, browsing->GetDisplayString(dispidIndex, &text));
  EXPECT_EQ(CString("Alpha"), CString(text));
  SysFreeString(text);
  // Without a hook the property's value is shown as text.
  ASSERT_EQ(S_OK, browsing->GetDisplayString(dispidColor, &text));
  EXPECT_EQ(CString("255"), CString(text));
  SysFreeString(text);

  CALPOLESTR strings;
  CADWORD cookies;
  ASSERT_EQ(S_OK, browsing->GetPredefinedStrings(dispidIndex, &strings, &cookies));
  ASSERT_EQ(3u, strings.cElems);
  EXPECT_EQ(CString("Gamma"), CString(strings.pElems[2]));
  EXPECT_EQ(2u, cookies.pElems[2]);
  for (ULONG i = 0; i < strings.cElems; ++i) CoTaskMemFree(strings.pElems[i]);
  CoTaskMemFree(strings.pElems);
  CoTaskMemFree(cookies.pElems);
  EXPECT_EQ(E_NOTIMPL, browsing->GetPredefinedStrings(dispidWidth, &strings, &cookies));
  VARIANT value;
  ASSERT_EQ(S_OK, browsing->GetPredefinedValue(dispidIndex, 1, &value));
  EXPECT_EQ(VT_I2, value.vt);
  EXPECT_EQ(1, value.iVal);
  browsing->Release();

  auto* pages = Query<ISpecifyPropertyPages>(unknown, IID_ISpecifyPropertyPages);
  CAUUID ids;
  ASSERT_EQ(S_OK, pages->GetPages(&ids));
  ASSERT_EQ(1u, ids.cElems);
  EXPECT_EQ(CLSID_TestCtlPage, ids.pElems[0]);
  CoTaskMemFree(ids.pElems);
  pages->Release();
  unknown->Release();
  EXPECT_EQ(S_OK, reinterpret_cast<HRESULT (*)()>(GetProcAddress(module, "DllCanUnloadNow"))());
}

// ---- Containment

class CHostWnd : public CWnd {
  DECLARE_EVENTSINK_MAP()
 public:
  void OnDone() { events.push_back("Done"); }
  void OnProgress(double position, LPCTSTR label) {
    CString text;
    text.Format("Progress %.2f %s", position, label);
    events.push_back(text);
  }
  std::vector<CString> events;
};

BEGIN_EVENTSINK_MAP(CHostWnd, CWnd)
  ON_EVENT(CHostWnd, 1004, eventidDone, OnDone, VTS_NONE)
  ON_EVENT(CHostWnd, 1004, eventidProgress, OnProgress, VTS_R8 VTS_BSTR)
END_EVENTSINK_MAP()

class ContainerTest : public ModuleTest {
 protected:
  void SetUp() override {
    AfxEnableControlContainer();
    ASSERT_TRUE(host.CreateEx(0, AfxRegisterWndClass(0), "host", WS_POPUP | WS_VISIBLE, 0, 0, 400, 300, nullptr,
                              nullptr));
  }
  void TearDown() override {
    host.DestroyWindow();
    CWnd::DeleteTempMap();
  }
  CHostWnd host;
};

TEST_F(ContainerTest, InPlaceActivationMakesTheControlWindowAChildOfTheSite) {
  CWnd wrapper;
  ASSERT_TRUE(AfxCreateControl(&wrapper, CLSID_TestCtl, "", WS_VISIBLE, CRect(10, 20, 170, 140), &host, 1004));
  COleControlSite* site = AfxGetControlSite(&wrapper);
  ASSERT_NE(nullptr, site);
  EXPECT_EQ(host.m_hWnd, ::GetParent(wrapper.m_hWnd));
  EXPECT_EQ(1004, wrapper.GetDlgCtrlID());
  HWND control = site->GetControlWindow();
  ASSERT_NE(nullptr, control);
  EXPECT_EQ(wrapper.m_hWnd, ::GetParent(control));
  CRect rc;
  ::GetClientRect(control, &rc);
  EXPECT_EQ(CRect(0, 0, 160, 120), rc);
  wrapper.MoveWindow(10, 20, 200, 100);
  ::GetClientRect(control, &rc);
  EXPECT_EQ(CRect(0, 0, 200, 100), rc);

  short width = 0;
  AfxControlGetProperty(&wrapper, dispidWidth, VT_I2, &width);
  EXPECT_EQ(320, width);
  wrapper.DestroyWindow();
  EXPECT_FALSE(::IsWindow(control));
  EXPECT_EQ(S_OK, reinterpret_cast<HRESULT (*)()>(GetProcAddress(module, "DllCanUnloadNow"))());
}

TEST_F(ContainerTest, EventsReachTheContainersSinkMapWithTheirArguments) {
  CWnd wrapper;
  ASSERT_TRUE(AfxCreateControl(&wrapper, CLSID_TestCtl, "", WS_VISIBLE, CRect(0, 0, 100, 100), &host, 1004));
  AfxControlInvokeHelper(&wrapper, dispidFire, DISPATCH_METHOD, VT_EMPTY, nullptr,
                         reinterpret_cast<const BYTE*>(VTS_R8), 1.5);
  ASSERT_EQ(2u, host.events.size());
  EXPECT_EQ(CString("Progress 1.50 step"), host.events[0]);
  EXPECT_EQ(CString("Done"), host.events[1]);

  // A control under another id is not heard by the handlers of 1004.
  CWnd other;
  ASSERT_TRUE(AfxCreateControl(&other, CLSID_TestCtl, "", WS_VISIBLE, CRect(0, 0, 100, 100), &host, 1005));
  AfxControlInvokeHelper(&other, dispidFire, DISPATCH_METHOD, VT_EMPTY, nullptr,
                         reinterpret_cast<const BYTE*>(VTS_R8), 2.0);
  EXPECT_EQ(2u, host.events.size());
  other.DestroyWindow();
  wrapper.DestroyWindow();
}

// A container whose progress handler fails the way automation calls fail.
class CFailingHostWnd : public CHostWnd {
  DECLARE_EVENTSINK_MAP()
 public:
  void OnProgressFails(double, LPCTSTR) { AfxThrowOleDispatchException(0, "The preview cannot start"); }
};

BEGIN_EVENTSINK_MAP(CFailingHostWnd, CHostWnd)
  ON_EVENT(CFailingHostWnd, 1004, eventidProgress, OnProgressFails, VTS_R8 VTS_BSTR)
END_EVENTSINK_MAP()

TEST_F(ContainerTest, AHandlersAutomationErrorIsShownAndTheNextEventStillArrives) {
  CFailingHostWnd failing;
  ASSERT_TRUE(failing.CreateEx(0, AfxRegisterWndClass(0), "failing", WS_POPUP | WS_VISIBLE, 0, 0, 300, 200, nullptr,
                               nullptr));
  CWnd wrapper;
  ASSERT_TRUE(AfxCreateControl(&wrapper, CLSID_TestCtl, "", WS_VISIBLE, CRect(0, 0, 100, 100), &failing, 1004));
  testing_ui::UiDriver ui;
  ui.AnswerMessageBox(IDOK, "The preview cannot start");
  AfxControlInvokeHelper(&wrapper, dispidFire, DISPATCH_METHOD, VT_EMPTY, nullptr,
                         reinterpret_cast<const BYTE*>(VTS_R8), 1.5);
  EXPECT_EQ(0u, ui.PendingAnswers());
  ASSERT_EQ(1u, failing.events.size());
  EXPECT_EQ(CString("Done"), failing.events[0]);
  wrapper.DestroyWindow();
  failing.DestroyWindow();
}

TEST_F(ContainerTest, PropertyChangesAreNotifiedInDesignModeOnly) {
  CWnd wrapper;
  ASSERT_TRUE(AfxCreateControl(&wrapper, CLSID_TestCtl, "", WS_VISIBLE, CRect(0, 0, 100, 100), &host, 1004));
  COleControlSite* site = AfxGetControlSite(&wrapper);
  AfxControlSetProperty(&wrapper, dispidWidth, VT_I2, 100);
  EXPECT_TRUE(site->ChangedProperties().empty());
  site->SetUserMode(FALSE);
  AfxControlSetProperty(&wrapper, dispidWidth, VT_I2, 200);
  ASSERT_EQ(1u, site->ChangedProperties().size());
  EXPECT_EQ(dispidWidth, site->ChangedProperties()[0]);
  site->SetAmbientDisplayName("Engine1");
  CString name;
  AfxControlInvokeHelper(&wrapper, dispidAmbientName, DISPATCH_METHOD, VT_BSTR, &name,
                         reinterpret_cast<const BYTE*>(VTS_NONE));
  EXPECT_EQ(CString("Engine1"), name);
  wrapper.DestroyWindow();
}

TEST_F(ContainerTest, StockPropertiesReachTheControlAndItsWindow) {
  CWnd wrapper;
  ASSERT_TRUE(AfxCreateControl(&wrapper, CLSID_TestCtl, "", WS_VISIBLE, CRect(0, 0, 100, 100), &host, 1004));
  COleControlSite* site = AfxGetControlSite(&wrapper);
  LONG hwnd = 0;
  AfxControlGetProperty(&wrapper, DISPID_HWND, VT_I4, &hwnd);
  EXPECT_EQ(site->GetControlWindow(), reinterpret_cast<HWND>(static_cast<INT_PTR>(hwnd)));
  LONG color = 0;
  AfxControlGetProperty(&wrapper, DISPID_BACKCOLOR, VT_I4, &color);
  EXPECT_EQ(LONG(0x80000000 | COLOR_WINDOW), color);
  AfxControlSetProperty(&wrapper, DISPID_BACKCOLOR, VT_I4, LONG(0x00336699));
  AfxControlGetProperty(&wrapper, DISPID_BACKCOLOR, VT_I4, &color);
  EXPECT_EQ(0x00336699, color);
  AfxControlSetProperty(&wrapper, DISPID_ENABLED, VT_BOOL, FALSE);
  EXPECT_FALSE(::IsWindowEnabled(site->GetControlWindow()));
  // Stock properties notify in both modes.
  ASSERT_EQ(2u, site->ChangedProperties().size());
  EXPECT_EQ(DISPID_BACKCOLOR, site->ChangedProperties()[0]);
  EXPECT_EQ(DISPID_ENABLED, site->ChangedProperties()[1]);
  wrapper.DestroyWindow();
}

TEST_F(ContainerTest, SavedStateCreatesTheControlAgain) {
  CWnd wrapper;
  ASSERT_TRUE(AfxCreateControl(&wrapper, CLSID_TestCtl, "", WS_VISIBLE, CRect(0, 0, 100, 100), &host, 1004));
  AfxControlSetProperty(&wrapper, dispidTitle, VT_BSTR, "Saved");
  IStream* stream = nullptr;
  ASSERT_EQ(S_OK, CreateStreamOnHGlobal(nullptr, TRUE, &stream));
  ASSERT_EQ(S_OK, AfxGetControlSite(&wrapper)->SaveState(stream));
  wrapper.DestroyWindow();
  LARGE_INTEGER zero = {};
  stream->Seek(zero, STREAM_SEEK_SET, nullptr);
  CWnd again;
  ASSERT_TRUE(AfxCreateControl(&again, CLSID_TestCtl, "", WS_VISIBLE, CRect(0, 0, 100, 100), &host, 1004, stream));
  CString title;
  AfxControlGetProperty(&again, dispidTitle, VT_BSTR, &title);
  EXPECT_EQ(CString("Saved"), title);
  again.DestroyWindow();
  stream->Release();
}

TEST_F(ContainerTest, WrapperWithoutSiteRaisesInsteadOfCalling) {
  CWnd plain;
  short width = 0;
  try {
    AfxControlGetProperty(&plain, dispidWidth, VT_I2, &width);
    ADD_FAILURE() << "a call without a control went through";
  } catch (COleException* e) {
    EXPECT_EQ(E_UNEXPECTED, e->m_sc);
    e->Delete();
  }
}

TEST_F(ContainerTest, PropertiesVerbShowsTheControlsPagesInAModalFrame) {
  CWnd wrapper;
  ASSERT_TRUE(AfxCreateControl(&wrapper, CLSID_TestCtl, "", WS_VISIBLE, CRect(0, 0, 100, 100), &host, 1004));
  IOleObject* object = nullptr;
  ASSERT_EQ(S_OK, AfxGetControlSite(&wrapper)->GetControlUnknown()->QueryInterface(
                      IID_IOleObject, reinterpret_cast<void**>(&object)));
  testing_ui::UiDriver ui;
  CString tab;
  bool pageShown = false;
  ui.AnswerModal(
      [&](testing_ui::UiDriver& driver, HWND frame) {
        char text[64] = {};
        GetWindowTextA(GetDlgItem(frame, PROPFRAME_ID_FIRSTTAB), text, sizeof text);
        tab = text;
        EXPECT_EQ(nullptr, GetDlgItem(frame, PROPFRAME_ID_FIRSTTAB + 1));
        EXPECT_FALSE(IsWindowEnabled(GetDlgItem(frame, PROPFRAME_ID_APPLY)));
        // The page is a child dialog of the frame besides the tab and the three buttons.
        int children = 0;
        for (HWND c = GetWindow(frame, GW_CHILD); c; c = GetWindow(c, GW_HWNDNEXT)) ++children;
        pageShown = children == 5;
        driver.ClickWindow(GetDlgItem(frame, IDCANCEL));
      },
      "Properties");
  EXPECT_EQ(S_OK, object->DoVerb(OLEIVERB_PROPERTIES, nullptr, nullptr, 0, nullptr, nullptr));
  EXPECT_EQ(CString("General"), tab);
  EXPECT_TRUE(pageShown);
  object->Release();
  wrapper.DestroyWindow();
}

// A dialog whose template names the control by its class id and binds it by data exchange.
class CHostDialog : public CDialog {
  DECLARE_EVENTSINK_MAP()
 public:
  CWnd engine;
  int done = 0;
  void OnDone() { ++done; }

 protected:
  void DoDataExchange(CDataExchange* pDX) override {
    CDialog::DoDataExchange(pDX);
    DDX_Control(pDX, 1004, engine);
  }
};

BEGIN_EVENTSINK_MAP(CHostDialog, CDialog)
  ON_EVENT(CHostDialog, 1004, eventidDone, OnDone, VTS_NONE)
END_EVENTSINK_MAP()

TEST_F(ContainerTest, DialogTemplateItemNamingTheClassIdHostsTheControl) {
  ASSERT_EQ(1, AfxRegisterControlSiteClasses());
  static const std::string clsidText = StringFromGUIDA(CLSID_TestCtl);
  static const DLGITEMTEMPLATE items[] = {{clsidText.c_str(), nullptr, 1004, WS_VISIBLE, 10, 10, 100, 60}};
  static const DLGTEMPLATE dialogTemplate = {WS_POPUP | WS_CAPTION, 0, 0, 0, 200, 120, "Host", nullptr, 0, items, 1};
  CHostDialog dialog;
  ASSERT_TRUE(dialog.CreateIndirect(&dialogTemplate, &host));
  ASSERT_NE(nullptr, dialog.engine.m_hWnd);
  COleControlSite* site = AfxGetControlSite(&dialog.engine);
  ASSERT_NE(nullptr, site);
  EXPECT_TRUE(::IsWindow(site->GetControlWindow()));
  AfxControlInvokeHelper(&dialog.engine, dispidFire, DISPATCH_METHOD, VT_EMPTY, nullptr,
                         reinterpret_cast<const BYTE*>(VTS_R8), 0.0);
  EXPECT_EQ(1, dialog.done);
  dialog.DestroyWindow();
}

}  // namespace
