#pragma once
// The class factory the built-in class table hands out: it calls the class's creation function.
#include "ole/com_object.h"
#include "ole/objbase.h"

namespace ole {

class BuiltinFactory final : public ComObject<BuiltinFactory, IClassFactory, IID_IClassFactory> {
 public:
  explicit BuiltinFactory(LPFNCREATEINSTANCE create) : create_(create) {}

  STDMETHOD(CreateInstance)(IUnknown* pUnkOuter, REFIID riid, void** ppvObject) override;
  STDMETHOD(LockServer)(BOOL fLock) override;

 private:
  LPFNCREATEINSTANCE create_;
};

}  // namespace ole
