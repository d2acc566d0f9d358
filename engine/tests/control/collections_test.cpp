// The automation collections: look-ups by position and name, their enumerators, and items and
// enumerators that outlive a refill or the collection itself.
#include <gtest/gtest.h>

#include "control/compressors.h"
#include "control/transitions.h"
#include "control/wmv_profiles.h"
#include "des/qedit.h"
#include "dispatch_calls.h"
#include "engine/tessary_ids.h"
#include "ole/comptr.h"

namespace {

IEnumVARIANT* NewEnum(IDispatch* collection) {
  COleVariant result;
  EXPECT_EQ(S_OK, GetProp(collection, DISPID_NEWENUM, result));
  EXPECT_EQ(VT_UNKNOWN, result.vt);
  IEnumVARIANT* e = nullptr;
  EXPECT_EQ(S_OK, result.punkVal->QueryInterface(IID_IEnumVARIANT, reinterpret_cast<void**>(&e)));
  return e;
}

CString ItemName(IDispatch* item) {
  COleVariant name;
  EXPECT_EQ(S_OK, GetProp(item, dispidItemName, name));
  return Text(name);
}

class CompressorsTest : public ::testing::Test {
 protected:
  void SetUp() override {
    for (LPCTSTR name : {"Alpha", "Beta", "Gamma"}) audio->AddCompressor(name);
    dispatch = audio->GetIDispatch(FALSE);
  }
  void TearDown() override {
    if (audio) audio->ExternalRelease();
  }
  CAudioCompressors* audio = new CAudioCompressors;
  IDispatch* dispatch = nullptr;
};

TEST_F(CompressorsTest, PositionsAndNamesAgreeAndUnknownNamesAreNotFound) {
  COleVariant result;
  ASSERT_EQ(S_OK, GetProp(dispatch, dispidCollectionCount, result));
  EXPECT_EQ(3, result.iVal);
  ASSERT_EQ(S_OK, CallMethod(dispatch, dispidCollectionFind, result, {COleVariant("Gamma")}));
  EXPECT_EQ(2, result.iVal);
  // A name that is not listed is not taken for the first compressor.
  ASSERT_EQ(S_OK, CallMethod(dispatch, dispidCollectionFind, result, {COleVariant("gamma")}));
  EXPECT_EQ(-1, result.iVal);
  ASSERT_EQ(S_OK, CallMethod(dispatch, dispidCollectionFindName, result, {COleVariant(short(0))}));
  EXPECT_EQ(CString("Alpha"), Text(result));
  ASSERT_EQ(S_OK, CallMethod(dispatch, dispidCollectionFindName, result, {COleVariant(short(3))}));
  EXPECT_EQ(CString(""), Text(result));
  ASSERT_EQ(S_OK, CallMethod(dispatch, dispidCollectionFindName, result, {COleVariant(short(-1))}));
  EXPECT_EQ(CString(""), Text(result));

  // Item counts from 1; by name it needs the exact name.
  ASSERT_EQ(S_OK, GetProp(dispatch, kItemIdAudioCompressors, result, {COleVariant(LONG(1))}));
  ASSERT_EQ(VT_DISPATCH, result.vt);
  EXPECT_EQ(CString("Alpha"), ItemName(result.pdispVal));
  ASSERT_EQ(S_OK, GetProp(dispatch, kItemIdAudioCompressors, result, {COleVariant("Beta")}));
  ASSERT_NE(nullptr, result.pdispVal);
  EXPECT_EQ(CString("Beta"), ItemName(result.pdispVal));
  IDispatch* typed = nullptr;
  EXPECT_EQ(S_OK, result.pdispVal->QueryInterface(IID_IAudioCompressor, reinterpret_cast<void**>(&typed)));
  if (typed) typed->Release();
  for (const COleVariant& key : {COleVariant(LONG(0)), COleVariant(LONG(4)), COleVariant("BETA"), COleVariant("x")}) {
    ASSERT_EQ(S_OK, GetProp(dispatch, kItemIdAudioCompressors, result, {key}));
    EXPECT_TRUE(result.vt == VT_EMPTY || (result.vt == VT_DISPATCH && !result.pdispVal));
  }
}

// Each item is described by the dispinterface of its own kind.
TEST(CollectionsTest, ItemsOfEachKindAreDescribedByTheirOwnDispinterface) {
  CVideoCompressors* video = new CVideoCompressors;
  CAudioCompressors* audio = new CAudioCompressors;
  CTransitions* transitions = new CTransitions;
  CEffects* effects = new CEffects;
  CWMVProfiles* profiles = new CWMVProfiles;
  video->AddCompressor("Video");
  audio->AddCompressor("Audio");
  transitions->AddTransitionItem("Wipe", CLSID_NULL);
  effects->AddEffectItem("Blur", CLSID_NULL);
  profiles->AddProfile("Profile", "About it", GUID_NULL, FALSE);
  const struct {
    CCmdTarget* collection;
    DISPID itemId;
    const IID* item;
  } kinds[] = {{video, kItemIdVideoCompressors, &IID_IVideoCompressor},
               {audio, kItemIdAudioCompressors, &IID_IAudioCompressor},
               {transitions, kItemIdTransitions, &IID_ITransition},
               {effects, kItemIdEffects, &IID_IEffect},
               {profiles, kItemIdWMVProfiles, &IID_IWMVProfile}};
  for (const auto& kind : kinds) {
    COleVariant item;
    ASSERT_EQ(S_OK, GetProp(mfc::disp::GetIDispatch(kind.collection, FALSE), kind.itemId, item,
                            {COleVariant(short(1))}));
    ASSERT_EQ(VT_DISPATCH, item.vt);
    ComPtr<ITypeInfo> info;
    ASSERT_EQ(S_OK, item.pdispVal->GetTypeInfo(0, 0, info.put()));
    TYPEATTR* attr = nullptr;
    ASSERT_EQ(S_OK, info->GetTypeAttr(&attr));
    EXPECT_EQ(*kind.item, attr->guid) << StringFromGUIDA(*kind.item);
    info->ReleaseTypeAttr(attr);
  }
  for (const auto& kind : kinds) mfc::disp::InternalRelease(kind.collection);
}

TEST_F(CompressorsTest, ReadOnlyMembersRefuseAPut) {
  EXCEPINFO info = {};
  EXPECT_EQ(DISP_E_EXCEPTION, PutProp(dispatch, dispidCollectionCount, COleVariant(short(1)), &info));
  EXPECT_EQ(CTL_E_SETNOTSUPPORTED, info.scode);
  SysFreeString(info.bstrDescription);
  SysFreeString(info.bstrSource);
  SysFreeString(info.bstrHelpFile);
}

TEST_F(CompressorsTest, EnumeratorWalksSkipsResetsAndClones) {
  IEnumVARIANT* e = NewEnum(dispatch);
  ASSERT_NE(nullptr, e);
  VARIANT items[4];
  ULONG fetched = 99;
  EXPECT_EQ(E_INVALIDARG, e->Next(2, items, nullptr));
  ASSERT_EQ(S_OK, e->Skip(1));
  ASSERT_EQ(S_FALSE, e->Next(3, items, &fetched));
  ASSERT_EQ(2u, fetched);
  EXPECT_EQ(CString("Beta"), ItemName(items[0].pdispVal));
  EXPECT_EQ(CString("Gamma"), ItemName(items[1].pdispVal));
  EXPECT_EQ(VT_EMPTY, items[2].vt);
  for (ULONG i = 0; i < fetched; ++i) VariantClear(&items[i]);
  EXPECT_EQ(S_FALSE, e->Skip(1));

  EXPECT_EQ(S_OK, e->Reset());
  ASSERT_EQ(S_OK, e->Next(1, items, nullptr));
  VariantClear(&items[0]);
  IEnumVARIANT* clone = nullptr;
  ASSERT_EQ(S_OK, e->Clone(&clone));
  e->Release();
  ASSERT_EQ(S_OK, clone->Next(1, items, &fetched));
  EXPECT_EQ(CString("Beta"), ItemName(items[0].pdispVal));
  VariantClear(&items[0]);
  clone->Release();
}

TEST_F(CompressorsTest, HeldItemsAndEnumeratorsOutliveARefillAndTheCollection) {
  COleVariant held;
  ASSERT_EQ(S_OK, GetProp(dispatch, kItemIdAudioCompressors, held, {COleVariant(LONG(3))}));
  IEnumVARIANT* e = NewEnum(dispatch);
  audio->RemoveAllItems();
  audio->AddCompressor("Delta");
  COleVariant count;
  GetProp(dispatch, dispidCollectionCount, count);
  EXPECT_EQ(1, count.iVal);
  audio->ExternalRelease();
  audio = nullptr;

  EXPECT_EQ(CString("Gamma"), ItemName(held.pdispVal));
  // The enumerator goes on over what it was made over.
  VARIANT items[3];
  ULONG fetched = 0;
  EXPECT_EQ(S_OK, e->Next(3, items, &fetched));
  EXPECT_EQ(CString("Alpha"), ItemName(items[0].pdispVal));
  for (ULONG i = 0; i < fetched; ++i) VariantClear(&items[i]);
  e->Release();
}

TEST(CollectionsTest, EmptyCollectionCountsZeroAndItsEnumeratorEndsAtOnce) {
  auto* effects = new CEffects;
  COleVariant result;
  ASSERT_EQ(S_OK, GetProp(effects->GetIDispatch(FALSE), dispidCollectionCount, result));
  EXPECT_EQ(0, result.iVal);
  IEnumVARIANT* e = NewEnum(effects->GetIDispatch(FALSE));
  VARIANT item;
  ULONG fetched = 7;
  EXPECT_EQ(S_FALSE, e->Next(1, &item, &fetched));
  EXPECT_EQ(0u, fetched);
  e->Release();
  effects->AddEffectItem("Blur", GUID_NULL);
  ASSERT_EQ(S_OK, CallMethod(effects->GetIDispatch(FALSE), dispidCollectionFind, result, {COleVariant("Sharpen")}));
  EXPECT_EQ(-1, result.iVal);
  effects->ExternalRelease();
}

TEST(CollectionsTest, CompressorsComeFromTheDeviceCategoriesInOrder) {
  RegisterDShowClasses();
  auto* video = new CVideoCompressors;
  auto* audio = new CAudioCompressors;
  CString firstVideo, firstAudio;
  FillCompressorCollections(*video, *audio, firstVideo, firstAudio);
  ASSERT_GT(video->Size(), 0u);
  ASSERT_GT(audio->Size(), 0u);
  EXPECT_EQ(CString("DV Video Encoder"), firstVideo);
  EXPECT_EQ(CString("PCM"), firstAudio);
  COleVariant result;
  ASSERT_EQ(S_OK, CallMethod(audio->GetIDispatch(FALSE), dispidCollectionFind, result, {COleVariant("MPEG Layer-3")}));
  EXPECT_GT(result.iVal, 0);

  // The video compressors' configuration goes to the codec of the same description.
  ASSERT_EQ(S_OK, CallMethod(video->GetIDispatch(FALSE), dispidShowPropertyPage, result, {COleVariant(short(0))}));
  EXPECT_EQ(VARIANT_TRUE, result.boolVal);
  ASSERT_EQ(S_OK, CallMethod(video->GetIDispatch(FALSE), dispidShowPropertyPage, result,
                             {COleVariant(short(video->Size()))}));
  EXPECT_EQ(VARIANT_FALSE, result.boolVal);
  video->AddCompressor("No Such Codec");
  ASSERT_EQ(S_OK, CallMethod(video->GetIDispatch(FALSE), dispidShowPropertyPage, result,
                             {COleVariant(short(video->Size() - 1))}));
  EXPECT_EQ(VARIANT_FALSE, result.boolVal);
  video->ExternalRelease();
  audio->ExternalRelease();
}

TEST(CollectionsTest, TransitionsAreListedWithTheirClassIdsAndRelistedOnce) {
  RegisterDesClasses();
  auto* transitions = new CTransitions;
  ASSERT_EQ(S_OK, transitions->EnumCategoryDevices());
  const size_t count = transitions->Size();
  ASSERT_GT(count, 0u);
  ASSERT_EQ(S_OK, transitions->EnumCategoryDevices());
  EXPECT_EQ(count, transitions->Size());

  CLSID clsid = GUID_NULL;
  transitions->GetTransitionClsid(0, clsid);
  EXPECT_EQ(CLSID_Transitions3D, clsid);
  CLSID unchanged = CLSID_DXFade;
  transitions->GetTransitionClsid(short(count), unchanged);
  EXPECT_EQ(CLSID_DXFade, unchanged);

  COleVariant name, position;
  IDispatch* d = transitions->GetIDispatch(FALSE);
  ASSERT_EQ(S_OK, CallMethod(d, dispidCollectionFindName, name, {COleVariant(short(1))}));
  ASSERT_EQ(S_OK, CallMethod(d, dispidCollectionFind, position, {name}));
  EXPECT_EQ(1, position.iVal);
  ASSERT_EQ(S_OK, CallMethod(d, dispidCollectionFind, position, {COleVariant("No Such Wipe")}));
  EXPECT_EQ(-1, position.iVal);
  transitions->ExternalRelease();
}

TEST(CollectionsTest, ProfileEnumeratorAnswersItsPropertyWithNoObject) {
  auto* profiles = new CWMVProfiles;
  profiles->AddProfile("Low", "Low quality", GUID_NULL, TRUE);
  IEnumVARIANT* e = NewEnum(profiles->GetIDispatch(FALSE));
  IDispatch* d = nullptr;
  ASSERT_EQ(S_OK, e->QueryInterface(IID_IDispatch, reinterpret_cast<void**>(&d)));
  COleVariant result;
  ASSERT_EQ(S_OK, GetProp(d, 1, result));
  EXPECT_TRUE(result.vt == VT_EMPTY || (result.vt == VT_DISPATCH && !result.pdispVal));
  d->Release();
  IEnumVARIANT* clone = nullptr;
  ASSERT_EQ(S_OK, e->Clone(&clone));
  ASSERT_EQ(S_OK, clone->QueryInterface(IID_IDispatch, reinterpret_cast<void**>(&d)));
  d->Release();
  clone->Release();
  e->Release();

  IDispatch* pd = profiles->GetIDispatch(FALSE);
  ASSERT_EQ(S_OK, CallMethod(pd, dispidCollectionFindName, result, {COleVariant(short(0))}));
  EXPECT_EQ(CString("Low quality"), Text(result));
  ASSERT_EQ(S_OK, CallMethod(pd, dispidFindWMVProfileName, result, {COleVariant(short(0))}));
  EXPECT_EQ(CString("Low"), Text(result));
  ASSERT_EQ(S_OK, CallMethod(pd, dispidIsAudioOnly, result, {COleVariant(short(0))}));
  EXPECT_EQ(VARIANT_TRUE, result.boolVal);
  ASSERT_EQ(S_OK, CallMethod(pd, dispidIsAudioOnly, result, {COleVariant(short(1))}));
  EXPECT_EQ(VARIANT_FALSE, result.boolVal);
  ASSERT_EQ(S_OK, GetProp(pd, kItemIdWMVProfiles, result, {COleVariant("Low")}));
  COleVariant description;
  ASSERT_EQ(S_OK, GetProp(result.pdispVal, dispidWMVProfileDescription, description));
  EXPECT_EQ(CString("Low quality"), Text(description));
  profiles->ExternalRelease();
}

}  // namespace
