// Class factories of command targets and the entry points of a module that serves them.
#include <atomic>
#include <mutex>

#include "mfc/afxctl.h"
#include "module_lookup.h"

namespace {

std::mutex& ListLock() {
  static std::mutex* lock = new std::mutex;
  return *lock;
}
COleObjectFactory*& ListHead() {
  static COleObjectFactory* head = nullptr;
  return head;
}
std::atomic<LONG>& LockCount() {
  static std::atomic<LONG> count{0};
  return count;
}

}  // namespace

void AfxOleLockApp() { ++LockCount(); }
void AfxOleUnlockApp() { --LockCount(); }

class COleObjectFactory::Factory final : public IClassFactory {
 public:
  explicit Factory(COleObjectFactory* owner) : owner_(owner) {}
  STDMETHOD(QueryInterface)(REFIID riid, void** ppv) override {
    if (!ppv) return E_POINTER;
    if (riid == IID_IUnknown || riid == IID_IClassFactory) {
      *ppv = static_cast<IClassFactory*>(this);
      AddRef();
      return S_OK;
    }
    *ppv = nullptr;
    return E_NOINTERFACE;
  }
  // The factory is a static object of its module; holding it does not keep the module loaded
  // (LockServer does).
  STDMETHOD_(ULONG, AddRef)() override { return ++refs_; }
  STDMETHOD_(ULONG, Release)() override { return --refs_; }
  STDMETHOD(CreateInstance)(IUnknown* pUnkOuter, REFIID riid, void** ppv) override {
    if (!ppv) return E_POINTER;
    *ppv = nullptr;
    if (pUnkOuter) return CLASS_E_NOAGGREGATION;
    CCmdTarget* object = nullptr;
    try {
      object = owner_->OnCreateObject();
    } catch (CException* e) {
      e->Delete();
      return E_OUTOFMEMORY;
    }
    if (!object) return E_OUTOFMEMORY;
    HRESULT hr = mfc::disp::InternalQueryInterface(object, &riid, ppv);
    mfc::disp::InternalRelease(object);  // the creation reference; a failed query frees the object
    return hr;
  }
  STDMETHOD(LockServer)(BOOL fLock) override {
    if (fLock) AfxOleLockApp();
    else AfxOleUnlockApp();
    return S_OK;
  }

 private:
  COleObjectFactory* owner_;
  std::atomic<ULONG> refs_{0};
};

IMPLEMENT_DYNAMIC(COleObjectFactory, CCmdTarget)

COleObjectFactory::COleObjectFactory(REFCLSID clsid, CRuntimeClass* pRuntimeClass, BOOL bMultiInstance,
                                     LPCTSTR lpszProgID)
    : m_clsid(clsid), m_pRuntimeClass(pRuntimeClass), m_bMultiInstance(bMultiInstance), m_lpszProgID(lpszProgID),
      m_pFactory(new Factory(this)) {
  std::lock_guard<std::mutex> guard(ListLock());
  m_pNextFactory = ListHead();
  ListHead() = this;
}

COleObjectFactory::~COleObjectFactory() {
  Revoke();
  {
    std::lock_guard<std::mutex> guard(ListLock());
    for (COleObjectFactory** p = &ListHead(); *p; p = &(*p)->m_pNextFactory) {
      if (*p == this) {
        *p = m_pNextFactory;
        break;
      }
    }
  }
  delete m_pFactory;
}

CCmdTarget* COleObjectFactory::OnCreateObject() {
  if (!m_pRuntimeClass) return nullptr;
  CObject* object = m_pRuntimeClass->CreateObject();
  auto* target = dynamic_cast<CCmdTarget*>(object);
  if (!target) delete object;
  return target;
}

IClassFactory* COleObjectFactory::GetClassFactory() {
  m_pFactory->AddRef();
  return m_pFactory;
}

BOOL COleObjectFactory::UpdateRegistry(BOOL bRegister) {
  if (!bRegister) return AfxOleUnregisterClass(m_clsid, m_lpszProgID);
  return SUCCEEDED(RegisterInprocServer(m_clsid, m_lpszProgID, mfc::ctl::ModulePath(mfc::ctl::ModuleOf(this)),
                                        "Apartment"));
}

BOOL PASCAL COleObjectFactory::UpdateRegistryOf(HINSTANCE module, BOOL bRegister) {
  std::vector<COleObjectFactory*> factories;
  {
    std::lock_guard<std::mutex> guard(ListLock());
    for (COleObjectFactory* f = ListHead(); f; f = f->m_pNextFactory)
      if (mfc::ctl::ModuleOf(f) == module) factories.push_back(f);
  }
  BOOL ok = TRUE;
  for (COleObjectFactory* f : factories)
    if (!f->UpdateRegistry(bRegister)) ok = FALSE;
  return ok;
}

BOOL COleObjectFactory::Register() {
  if (m_dwRegister) return TRUE;
  return SUCCEEDED(CoRegisterClassObject(m_clsid, m_pFactory, CLSCTX_INPROC_SERVER,
                                         m_bMultiInstance ? REGCLS_SINGLEUSE : REGCLS_MULTIPLEUSE, &m_dwRegister));
}

void COleObjectFactory::Revoke() {
  if (!m_dwRegister) return;
  CoRevokeClassObject(m_dwRegister);
  m_dwRegister = 0;
}

BOOL PASCAL COleObjectFactory::RegisterAll() {
  std::vector<COleObjectFactory*> factories;
  {
    std::lock_guard<std::mutex> guard(ListLock());
    for (COleObjectFactory* f = ListHead(); f; f = f->m_pNextFactory) factories.push_back(f);
  }
  BOOL ok = TRUE;
  for (COleObjectFactory* f : factories)
    if (!f->Register()) ok = FALSE;
  return ok;
}

void PASCAL COleObjectFactory::RevokeAll() {
  std::lock_guard<std::mutex> guard(ListLock());
  for (COleObjectFactory* f = ListHead(); f; f = f->m_pNextFactory) f->Revoke();
}

LONG PASCAL COleObjectFactory::ObjectCount() { return LockCount().load(); }

COleObjectFactory* PASCAL COleObjectFactory::FindFactory(REFCLSID clsid) {
  std::lock_guard<std::mutex> guard(ListLock());
  for (COleObjectFactory* f = ListHead(); f; f = f->m_pNextFactory)
    if (f->m_clsid == clsid) return f;
  return nullptr;
}

HRESULT AfxDllGetClassObject(REFCLSID rclsid, REFIID riid, LPVOID* ppv) {
  if (!ppv) return E_POINTER;
  *ppv = nullptr;
  COleObjectFactory* f = COleObjectFactory::FindFactory(rclsid);
  if (!f) return CLASS_E_CLASSNOTAVAILABLE;
  return ComPtr<IClassFactory>::Adopt(f->GetClassFactory())->QueryInterface(riid, ppv);
}

HRESULT AfxDllCanUnloadNow() { return LockCount().load() == 0 ? S_OK : S_FALSE; }
