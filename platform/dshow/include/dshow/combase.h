#pragma once
// The COM object bases of filters: counted objects, delegating IUnknown for aggregation.
#include <atomic>

#include "ole/ole.h"

// Every object of the filter base classes counts itself, so that a module can tell whether it
// may be unloaded.
class CBaseObject {
 public:
  explicit CBaseObject(const TCHAR* pName);
  virtual ~CBaseObject();
  CBaseObject(const CBaseObject&) = delete;
  CBaseObject& operator=(const CBaseObject&) = delete;
  // Objects of the base classes alive in the process.
  static LONG ObjectsActive();

 protected:
  const TCHAR* m_pName;
};

// The inner, non-delegating IUnknown of an object that may be aggregated.
interface INonDelegatingUnknown {
  virtual HRESULT STDMETHODCALLTYPE NonDelegatingQueryInterface(REFIID, LPVOID*) = 0;
  virtual ULONG STDMETHODCALLTYPE NonDelegatingAddRef() = 0;
  virtual ULONG STDMETHODCALLTYPE NonDelegatingRelease() = 0;
};
typedef INonDelegatingUnknown* PNDUNKNOWN;

// Reference counting and QueryInterface for IUnknown; the count starts at 0. Without an outer
// unknown the owner is the object's own non-delegating IUnknown, which is also what
// QueryInterface(IID_IUnknown) answers. The last NonDelegatingRelease deletes the object.
class CUnknown : public INonDelegatingUnknown, public CBaseObject {
 public:
  CUnknown(const TCHAR* pName, LPUNKNOWN pUnk, HRESULT* phr = nullptr);
  virtual ~CUnknown() = default;

  LPUNKNOWN GetOwner() const { return m_pUnknown; }
  STDMETHODIMP NonDelegatingQueryInterface(REFIID, void**) override;
  STDMETHODIMP_(ULONG) NonDelegatingAddRef() override;
  STDMETHODIMP_(ULONG) NonDelegatingRelease() override;

 protected:
  std::atomic<LONG> m_cRef{0};

 private:
  // The non-delegating methods seen as an IUnknown (the identity of the object).
  struct Inner : public IUnknown {
    CUnknown* self;
    STDMETHODIMP QueryInterface(REFIID riid, void** ppv) override {
      return self->NonDelegatingQueryInterface(riid, ppv);
    }
    STDMETHODIMP_(ULONG) AddRef() override { return self->NonDelegatingAddRef(); }
    STDMETHODIMP_(ULONG) Release() override { return self->NonDelegatingRelease(); }
  };
  Inner m_inner;
  const LPUNKNOWN m_pUnknown;
};

// Hands out an interface pointer with a reference added.
HRESULT GetInterface(LPUNKNOWN pUnk, void** ppv);

// The outer IUnknown methods of a class derived from CUnknown: they go to the owner.
#define DECLARE_IUNKNOWN                                             \
  STDMETHODIMP QueryInterface(REFIID riid, void** ppv) override {    \
    return GetOwner()->QueryInterface(riid, ppv);                    \
  }                                                                  \
  STDMETHODIMP_(ULONG) AddRef() override { return GetOwner()->AddRef(); } \
  STDMETHODIMP_(ULONG) Release() override { return GetOwner()->Release(); }

// A class factory's creation function: the new object (reference count 0) or NULL with *phr set.
typedef CUnknown* (*LPFNNewCOMObject)(LPUNKNOWN pUnkOuter, HRESULT* phr);
typedef void (*LPFNInitRoutine)(BOOL bLoading, const CLSID* rclsid);

// The built-in class table's creation function for a class made by `create`: the new object hands
// out riid, as a class factory does. An outer unknown is only taken with IID_IUnknown.
template <LPFNNewCOMObject create>
HRESULT CreateComInstance(IUnknown* outer, REFIID riid, void** ppv) {
  if (!ppv) return E_POINTER;
  *ppv = nullptr;
  if (outer && riid != IID_IUnknown) return CLASS_E_NOAGGREGATION;
  HRESULT hr = S_OK;
  CUnknown* object = create(outer, &hr);
  if (!object) return FAILED(hr) ? hr : E_OUTOFMEMORY;
  object->NonDelegatingAddRef();
  if (SUCCEEDED(hr)) hr = object->NonDelegatingQueryInterface(riid, ppv);
  object->NonDelegatingRelease();
  return hr;
}
