#pragma once
// The property setter (CLSID_PropertySetter): named, timed values for a transition or effect.
#include <string>
#include <vector>

#include "des/timeline.h"

namespace des {

// A value as text, the way the setter prints it; "" for one without a text form.
std::string ValueText(const VARIANT& v);

class PropertySetter : public CUnknown, public IPropertySetter {
 public:
  PropertySetter();
  ~PropertySetter() override;

  DECLARE_IUNKNOWN
  STDMETHODIMP NonDelegatingQueryInterface(REFIID riid, void** ppv) override;

  STDMETHODIMP LoadXML(IUnknown* pxml) override;
  STDMETHODIMP PrintXML(char* pszXML, int cbXML, int* pcbPrinted, int indent) override;
  STDMETHODIMP CloneProps(IPropertySetter** ppSetter, REFERENCE_TIME rtStart, REFERENCE_TIME rtStop) override;
  STDMETHODIMP AddProp(DEXTER_PARAM Param, DEXTER_VALUE* paValue) override;
  STDMETHODIMP GetProps(LONG* pcParams, DEXTER_PARAM** paParam, DEXTER_VALUE** paValue) override;
  STDMETHODIMP FreeProps(LONG cParams, DEXTER_PARAM* paParam, DEXTER_VALUE* paValue) override;
  STDMETHODIMP ClearProps() override;
  STDMETHODIMP SaveToBlob(LONG* pcSize, BYTE** ppb) override;
  STDMETHODIMP LoadFromBlob(LONG cSize, BYTE* pb) override;
  STDMETHODIMP SetProps(IUnknown* pTarget, REFERENCE_TIME rtNow) override;

 private:
  struct Value {
    VARIANT v;
    REFERENCE_TIME rt;
    DWORD interp;
  };
  struct Param {
    std::u16string name;
    DISPID dispID;
    std::vector<Value> values;
  };

  static void ClearValues(Param* p);
  // The value of p at time t (VT_EMPTY when it has none).
  static HRESULT ValueAt(const Param& p, REFERENCE_TIME t, VARIANT* out);

  std::vector<Param> params_;
};

}  // namespace des
