// The video transitions category: the transitions the editing services install.
#include <string>
#include <vector>

#include "ole/comptr.h"
#include "transitions_category.h"

namespace des {
namespace {

struct TransitionEntry {
  const char16_t* friendlyName;
  const GUID* clsid;
};

// Fixed order: clients keep positions in this list.
constexpr TransitionEntry kTransitions[] = {
    {u"3D Transitions", &CLSID_Transitions3D},
    {u"Barn", &CLSID_DXTBarn},
    {u"Blinds", &CLSID_DXTBlinds},
    {u"Checkerboard", &CLSID_DXTCheckerBoard},
    {u"Fade", &CLSID_DXFade},
    {u"Gradient Wipe", &CLSID_DXTGradientWipe},
    {u"Inset", &CLSID_DXTInset},
    {u"Iris", &CLSID_DXTIris},
    {u"Pixelate", &CLSID_Pixelate},
    {u"Radial Wipe", &CLSID_DXTRadialWipe},
    {u"Random Bars", &CLSID_DXTRandomBars},
    {u"Random Dissolve", &CLSID_DXTRandomDissolve},
    {u"SMPTE Wipe", &CLSID_DxtJpeg},
    {u"Slide", &CLSID_DXTSlide},
    {u"Spiral", &CLSID_DXTSpiral},
    {u"Stretch", &CLSID_DXTStretch},
    {u"Strips", &CLSID_DXTStrips},
    {u"Wheel", &CLSID_DXTWheel},
    {u"Zigzag", &CLSID_DXTZigzag},
};

HRESULT WriteString(IPropertyBag* bag, const char16_t* name, const std::u16string& value) {
  VARIANT v;
  VariantInit(&v);
  v.vt = VT_BSTR;
  v.bstrVal = SysAllocString(value.c_str());
  HRESULT hr = v.bstrVal ? bag->Write(name, &v) : E_OUTOFMEMORY;
  VariantClear(&v);
  return hr;
}

std::u16string GuidText(const GUID& guid) {
  OLECHAR text[40];
  StringFromGUID2(guid, text, 40);
  return text;
}

HRESULT MakeMoniker(const TransitionEntry& entry, IMoniker** moniker) {
  ComPtr<IPropertyBag> bag;
  HRESULT hr = CreatePropertyBag(bag.put());
  if (FAILED(hr)) return hr;
  const std::u16string clsid = GuidText(*entry.clsid);
  hr = WriteString(bag.get(), u"FriendlyName", entry.friendlyName);
  if (SUCCEEDED(hr)) hr = WriteString(bag.get(), u"guid", clsid);
  if (SUCCEEDED(hr)) hr = WriteString(bag.get(), u"CLSID", clsid);
  if (SUCCEEDED(hr)) {
    const std::u16string display = u"@device:sw:" + GuidText(CLSID_VideoEffects2Category) + u"\\" + clsid;
    hr = CreateDeviceMoniker(*entry.clsid, bag.get(), display.c_str(), moniker);
  }
  return hr;
}

}  // namespace

HRESULT EnumerateTransitions(IEnumMoniker** ppEnum) {
  if (!ppEnum) return E_POINTER;
  *ppEnum = nullptr;
  std::vector<ComPtr<IMoniker>> monikers;
  for (const TransitionEntry& entry : kTransitions) {
    ComPtr<IMoniker> m;
    if (HRESULT hr = MakeMoniker(entry, m.put()); FAILED(hr)) return hr;
    monikers.push_back(std::move(m));
  }
  std::vector<IMoniker*> items;
  for (const ComPtr<IMoniker>& m : monikers) items.push_back(m.get());
  return CreateEnumMoniker(items.data(), ULONG(items.size()), ppEnum);
}

}  // namespace des
