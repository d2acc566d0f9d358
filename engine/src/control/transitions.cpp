#include "control/transitions.h"

#include "control/device_category.h"
#include "control/item_enumerator.h"
#include "control/named_item.h"
#include "des/qedit.h"
#include "engine/tessary_ids.h"

// ---- Transitions --------------------------------------------------------------------------------

CTransitions::CTransitions() {
  EnableAutomation();
  mfc::disp::SetDispatchIID(this, IID_ITransitions);
}

void CTransitions::AddTransitionItem(LPCTSTR name, REFCLSID clsid) {
  m_list->Append(new CTransition(name, clsid));
}

void CTransitions::GetTransitionClsid(short position, CLSID& clsid) const {
  if (CCmdTarget* item = position < 0 ? nullptr : m_list->At(size_t(position)))
    clsid = static_cast<CNamedItem*>(item)->ClassId();
}

const CString& CTransitions::NameOf(CCmdTarget* item) const { return static_cast<CNamedItem*>(item)->Name(); }

LPUNKNOWN CTransitions::GetNewEnum() { return CItemEnumerator::Create(m_list, IID_IEnumTransitions); }

namespace {

CString ReadText(IPropertyBag* bag, LPCOLESTR key) {
  CString text;
  VARIANT value;
  VariantInit(&value);
  if (SUCCEEDED(bag->Read(key, &value, nullptr))) mfc::disp::ToText(value, text);
  VariantClear(&value);
  return text;
}

}  // namespace

HRESULT CTransitions::EnumCategoryDevices() {
  RemoveAllItems();
  ComPtr<IEnumMoniker> monikers;
  const HRESULT hr = OpenDeviceCategory(CLSID_VideoEffects2Category, &monikers);
  if (hr != S_OK) return hr;
  ComPtr<IMoniker> moniker;
  while (monikers->Next(1, moniker.put(), nullptr) == S_OK) {
    ComPtr<IPropertyBag> bag;
    if (FAILED(moniker->BindToStorage(nullptr, nullptr, IID_IPropertyBag, bag.putVoid()))) continue;
    CString name = ReadText(bag.get(), u"FriendlyName");
    CString guidText = ReadText(bag.get(), u"guid");
    CLSID clsid = GUID_NULL;
    BSTR wide = guidText.AllocSysString();
    CLSIDFromString(wide, &clsid);
    SysFreeString(wide);
    AddTransitionItem(name, clsid);
  }
  return S_OK;
}

BEGIN_DISPATCH_MAP(CTransitions, CCmdTarget)
  DISP_PROPERTY_EX_ID(CTransitions, "Count", dispidCollectionCount, GetCount, SetNotSupported, VT_I2)
  DISP_FUNCTION_ID(CTransitions, "FindTransition", dispidCollectionFind, FindTransition, VT_I2, VTS_BSTR)
  DISP_FUNCTION_ID(CTransitions, "FindTransitionName", dispidCollectionFindName, FindTransitionName, VT_BSTR, VTS_I2)
  DISP_PROPERTY_PARAM_ID(CTransitions, "Item", kItemIdTransitions, GetItem, SetNotSupported, VT_DISPATCH,
                         VTS_VARIANT)
  DISP_PROPERTY_EX_ID(CTransitions, "_NewEnum", DISPID_NEWENUM, GetNewEnum, SetNotSupported, VT_UNKNOWN)
END_DISPATCH_MAP()

// ---- Effects ------------------------------------------------------------------------------------

CEffects::CEffects() {
  EnableAutomation();
  mfc::disp::SetDispatchIID(this, IID_IEffects);
}

void CEffects::AddEffectItem(LPCTSTR name, REFCLSID clsid) { m_list->Append(new CEffect(name, clsid)); }

const CString& CEffects::NameOf(CCmdTarget* item) const { return static_cast<CNamedItem*>(item)->Name(); }

LPUNKNOWN CEffects::GetNewEnum() { return CItemEnumerator::Create(m_list, IID_IEnumEffects); }

BEGIN_DISPATCH_MAP(CEffects, CCmdTarget)
  DISP_PROPERTY_EX_ID(CEffects, "Count", dispidCollectionCount, GetCount, SetNotSupported, VT_I2)
  DISP_FUNCTION_ID(CEffects, "FindEffect", dispidCollectionFind, FindEffect, VT_I2, VTS_BSTR)
  DISP_FUNCTION_ID(CEffects, "FindEffectName", dispidCollectionFindName, FindEffectName, VT_BSTR, VTS_I2)
  DISP_PROPERTY_PARAM_ID(CEffects, "Item", kItemIdEffects, GetItem, SetNotSupported, VT_DISPATCH, VTS_VARIANT)
  DISP_PROPERTY_EX_ID(CEffects, "_NewEnum", DISPID_NEWENUM, GetNewEnum, SetNotSupported, VT_UNKNOWN)
END_DISPATCH_MAP()
