#include "control/tessary_type_library.h"

#include <atomic>

#include "control/compressors.h"
#include "control/item_enumerator.h"
#include "control/named_item.h"
#include "control/transitions.h"
#include "control/wmv_profile.h"
#include "control/wmv_profiles.h"
#include "engine/tessary_ids.h"
#include "ole/type_library.h"

namespace {

std::atomic<void (*)(TypeLibraryDescription&)> describeControl{nullptr};

TypeLibraryDescription DescribeLibrary() {
  TypeLibraryDescription d;
  d.libid = LIBID_TESSARYLib;
  d.name = "TESSARYLib";
  d.majorVersion = 1;
  d.minorVersion = 0;
  d.lcid = 1033;
  if (auto describe = describeControl.load()) describe(d);
  const AFX_DISPMAP* item = CNamedItem::GetThisDispatchMap();
  const std::vector<DispatchTable> collectionTypes = {
      DescribeForLibrary(item, IID_IAudioCompressor, "IAudioCompressor"),
      DescribeForLibrary(item, IID_IVideoCompressor, "IVideoCompressor"),
      DescribeForLibrary(item, IID_ITransition, "ITransition"),
      DescribeForLibrary(item, IID_IEffect, "IEffect"),
      DescribeForLibrary(CWMVProfile::GetThisDispatchMap(), IID_IWMVProfile, "IWMVProfile"),
      DescribeForLibrary(CAudioCompressors::GetThisDispatchMap(), IID_IAudioCompressors, "IAudioCompressors"),
      DescribeForLibrary(CVideoCompressors::GetThisDispatchMap(), IID_IVideoCompressors, "IVideoCompressors"),
      DescribeForLibrary(CTransitions::GetThisDispatchMap(), IID_ITransitions, "ITransitions"),
      DescribeForLibrary(CEffects::GetThisDispatchMap(), IID_IEffects, "IEffects"),
      DescribeForLibrary(CWMVProfiles::GetThisDispatchMap(), IID_IWMVProfiles, "IWMVProfiles"),
      DispatchTable(IID_IEnumAudioCompressors, "IEnumAudioCompressors"),
      DispatchTable(IID_IEnumVideoCompressors, "IEnumVideoCompressors"),
      DispatchTable(IID_IEnumTransitions, "IEnumTransitions"),
      DispatchTable(IID_IEnumEffects, "IEnumEffects"),
      DescribeForLibrary(CWMVProfileEnumerator::GetThisDispatchMap(), IID_IEnumWMVProfiles, "IEnumWMVProfiles"),
  };
  d.dispinterfaces.insert(d.dispinterfaces.end(), collectionTypes.begin(), collectionTypes.end());
  const std::vector<TypeLibraryDescription::Coclass> classes = {
      {CLSID_AudioCompressor, "AudioCompressor", {IID_IAudioCompressor}},
      {CLSID_VideoCompressor, "VideoCompressor", {IID_IVideoCompressor}},
      {CLSID_Transition, "Transition", {IID_ITransition}},
      {CLSID_Effect, "Effect", {IID_IEffect}},
      {CLSID_WMVProfile, "WMVProfile", {IID_IWMVProfile}},
      {CLSID_AudioCompressors, "AudioCompressors", {IID_IAudioCompressors}},
      {CLSID_VideoCompressors, "VideoCompressors", {IID_IVideoCompressors}},
      {CLSID_Transitions, "Transitions", {IID_ITransitions}},
      {CLSID_Effects, "Effects", {IID_IEffects}},
      {CLSID_WMVProfiles, "WMVProfiles", {IID_IWMVProfiles}},
  };
  d.coclasses.insert(d.coclasses.end(), classes.begin(), classes.end());
  return d;
}

}  // namespace

DispatchTable DescribeForLibrary(const AFX_DISPMAP* map, const IID& iid, const char* name) {
  const DispatchTable all = mfc::disp::DescribeDispatchMap(map, iid, name);
  DispatchTable listed(iid, name);
  for (const DispatchMember& m : all.Members()) {
    if (m.id == DISPID_NEWENUM) continue;
    if (m.kind == DispatchKind::Method)
      listed.Method(m.id, m.name, m.type, m.params, m.get);
    else
      listed.Property(m.id, m.name, m.type, m.get, m.put, m.params);
  }
  return listed;
}

void SetControlTypeDescription(void (*describe)(TypeLibraryDescription& library)) { describeControl = describe; }

HRESULT GetTessaryTypeLib(LCID, LPTYPELIB* library) {
  if (!library) return E_POINTER;
  // Kept for the life of the process: every object of the library hands it out.
  static ITypeLib* const described = [] {
    ITypeLib* made = nullptr;
    CreateTypeLibrary(DescribeLibrary(), &made);
    return made;
  }();
  *library = described;
  if (!described) return TYPE_E_CANTLOADLIBRARY;
  described->AddRef();
  return S_OK;
}
