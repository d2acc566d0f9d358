#pragma once
// An in-memory IPropertyBag: names without case, values kept as variant copies.
#include <mutex>
#include <string>
#include <vector>

#include "ole/com_object.h"
#include "ole/ocidl.h"

namespace ole {

class PropertyBag final : public ComObject<PropertyBag, IPropertyBag, IID_IPropertyBag> {
 public:
  PropertyBag() = default;
  ~PropertyBag();
  PropertyBag(const PropertyBag&) = delete;
  PropertyBag& operator=(const PropertyBag&) = delete;

  STDMETHOD(Read)(LPCOLESTR pszPropName, VARIANT* pVar, IErrorLog* pErrorLog) override;
  STDMETHOD(Write)(LPCOLESTR pszPropName, VARIANT* pVar) override;

 private:
  struct Entry {
    std::u16string name;
    VARIANT value;
  };
  Entry* Find(LPCOLESTR name);

  std::mutex mutex_;
  std::vector<Entry> entries_;
};

}  // namespace ole
