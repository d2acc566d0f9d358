// Makes the built-in filters creatable by class id, gives the graph its converter and fills the
// compressor categories.
#include <array>
#include <utility>

#include "asf_writer.h"
#include "avi_mux.h"
#include "builtin_registration.h"
#include "colour_converter.h"
#include "dshow/compressor_catalog.h"
#include "compressor_filter.h"
#include "file_source.h"
#include "file_writer.h"
#include "null_renderer.h"
#include "ole/oleauto.h"
#include "sample_grabber.h"
#include "tee_filter.h"

namespace dshow::filters {
namespace {

GUID CompressorClass(size_t index) {
  const CompressorEntry& e = AllCompressors()[index];
  if (std::string(e.encoder) == "dvvideo") return CLSID_DVVideoEnc;
  GUID g = CLSID_CorvaneCompressorBase;
  g.Data2 = WORD(index);
  return g;
}

template <size_t Index>
CUnknown* CreateCompressor(LPUNKNOWN outer, HRESULT* phr) {
  return CompressorFilter::Create(&AllCompressors()[Index], outer, phr);
}

template <size_t... Index>
constexpr std::array<LPFNCREATEINSTANCE, sizeof...(Index)> CompressorCreators(std::index_sequence<Index...>) {
  return {&CreateComInstance<&CreateCompressor<Index>>...};
}

constexpr size_t kCatalogueSize = 15;
constexpr auto kCompressorCreators = CompressorCreators(std::make_index_sequence<kCatalogueSize>());

HRESULT Write(IPropertyBag* bag, const char16_t* name, const std::u16string& value) {
  VARIANT v;
  VariantInit(&v);
  v.vt = VT_BSTR;
  v.bstrVal = SysAllocString(value.c_str());
  HRESULT hr = bag->Write(name, &v);
  VariantClear(&v);
  return hr;
}

std::u16string Wide(const std::string& text) { return std::u16string(text.begin(), text.end()); }

HRESULT EnumerateCompressors(bool video, IEnumMoniker** ppEnum) {
  if (!ppEnum) return E_POINTER;
  *ppEnum = nullptr;
  std::vector<ComPtr<IMoniker>> monikers;
  const auto& all = AllCompressors();
  const std::string category = StringFromGUIDA(video ? CLSID_VideoCompressorCategory : CLSID_AudioCompressorCategory);
  HRESULT hr = S_OK;
  for (const CompressorEntry* e : InstalledCompressors(video)) {
    const GUID clsid = CompressorClass(size_t(e - all.data()));
    ComPtr<IPropertyBag> bag;
    if (FAILED(hr = CreatePropertyBag(bag.put()))) break;
    Write(bag.get(), u"FriendlyName", Wide(e->friendlyName));
    Write(bag.get(), u"CLSID", Wide(StringFromGUIDA(clsid)));
    if (video) Write(bag.get(), u"FccHandler", Wide(std::string(reinterpret_cast<const char*>(&e->fourcc), 4)));
    const std::u16string display = Wide("@device:cm:" + category + "\\" + e->friendlyName);
    ComPtr<IMoniker> moniker;
    hr = CreateDeviceMoniker(clsid, bag.get(), display.c_str(), moniker.put());
    if (FAILED(hr)) break;
    monikers.push_back(std::move(moniker));
  }
  if (SUCCEEDED(hr) && !monikers.empty()) {
    std::vector<IMoniker*> list;
    for (const ComPtr<IMoniker>& m : monikers) list.push_back(m.get());
    hr = CreateEnumMoniker(list.data(), ULONG(list.size()), ppEnum);
  }
  if (FAILED(hr)) return hr;
  return *ppEnum ? S_OK : S_FALSE;
}

HRESULT EnumerateVideoCompressors(IEnumMoniker** ppEnum) { return EnumerateCompressors(true, ppEnum); }
HRESULT EnumerateAudioCompressors(IEnumMoniker** ppEnum) { return EnumerateCompressors(false, ppEnum); }

}  // namespace

void RegisterBuiltinFilters() {
  RegisterBuiltinClass(CLSID_CorvaneFileSource, &CreateComInstance<&FileSource::CreateInstance>);
  RegisterBuiltinClass(CLSID_Colour, &CreateComInstance<&ColourConverter::CreateInstance>);
  RegisterBuiltinClass(CLSID_InfTee, &CreateComInstance<&TeeFilter::CreateInfTee>);
  RegisterBuiltinClass(CLSID_SmartTee, &CreateComInstance<&TeeFilter::CreateSmartTee>);
  RegisterBuiltinClass(CLSID_NullRenderer, &CreateComInstance<&NullRenderer::CreateInstance>);
  RegisterBuiltinClass(CLSID_SampleGrabber, &CreateComInstance<&SampleGrabber::CreateInstance>);
  RegisterBuiltinClass(CLSID_FileWriter, &CreateComInstance<&FileWriter::CreateInstance>);
  RegisterBuiltinClass(CLSID_AviDest, &CreateComInstance<&AviMux::CreateInstance>);
  RegisterBuiltinClass(CLSID_WMAsfWriter, &CreateComInstance<&AsfWriter::CreateInstance>);
  for (size_t i = 0; i < kCatalogueSize && i < AllCompressors().size(); ++i)
    RegisterBuiltinClass(CompressorClass(i), kCompressorCreators[i]);
  // Decoding happens inside the source; what Connect may need between our pins is a change of
  // picture format.
  DShowAddGraphCandidate(CLSID_Colour, u"Color Space Converter", MERIT_NORMAL, DSHOW_CANDIDATE_TRANSFORM);
  DShowSetDeviceCategoryProvider(CLSID_VideoCompressorCategory, &EnumerateVideoCompressors);
  DShowSetDeviceCategoryProvider(CLSID_AudioCompressorCategory, &EnumerateAudioCompressors);
}

}  // namespace dshow::filters
