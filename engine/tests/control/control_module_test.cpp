// The control through its module, as a container drives it: registration, the member table and
// its defaults, persistence, notifications, flags, browsing, run flags, events and the page.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "dispatch_calls.h"
#include "dshow/dshow.h"
#include "engine/tessary_ids.h"
#include "ole/comptr.h"
#include "mfc/afxctl.h"

namespace {

// Every property: id, name, type and the value of a new control.
struct PropertyRow {
  DISPID id;
  const char* name;
  VARTYPE vt;
  double value;         // numbers and flags (VARIANT_TRUE is -1)
  const char* text;     // strings
  const char* key;      // persisted key, or null
};

const PropertyRow kProperties[] = {
    {1, "WMVProfiles", VT_DISPATCH, 0, nullptr, nullptr},
    {2, "WMVProfile", VT_I2, 0, nullptr, "WMVProfile"},
    {3, "VideoCompressor", VT_I2, 0, nullptr, "VideoCompressor"},
    {4, "VideoCompressors", VT_DISPATCH, 0, nullptr, nullptr},
    {5, "UseVideoCompressor", VT_BOOL, 0, nullptr, "UseVideoCompressor"},
    {6, "AudioCompressor", VT_I2, 0, nullptr, "AudioCompressor"},
    {7, "AudioCompressors", VT_DISPATCH, 0, nullptr, nullptr},
    {8, "UseAudioCompressor", VT_BOOL, 0, nullptr, "UseAudioCompressor"},
    {9, "Transition", VT_I2, 0, nullptr, "Transition"},
    {10, "Transitions", VT_DISPATCH, 0, nullptr, nullptr},
    {11, "OutputFileHeight", VT_I2, 240, nullptr, "OutputFileHeight"},
    {12, "OutputFileWidth", VT_I2, 320, nullptr, "OutputFileWidth"},
    {13, "VideoSampleSize", VT_I2, 16, nullptr, "VideoSampleSize"},
    {14, "OutputAudio", VT_BOOL, -1, nullptr, "OutputAudio"},
    {15, "OutputType", VT_I4, 8, nullptr, "OutputType"},
    {16, "FrameRate", VT_R4, 15, nullptr, "FrameRate"},
    {17, "MPEGAudioBitrate", VT_I4, 224000, nullptr, "MPEGAudioBitrate"},
    {18, "EnumTransitions", VT_BOOL, -1, nullptr, "EnumTransitions"},
    {19, "EnumWMVProfiles", VT_BOOL, -1, nullptr, "EnumWMVProfiles"},
    {20, "WMVCustomFileName", VT_BSTR, 0, "", "WMVCustomFileName"},
    {21, "DeleteTmpFiles", VT_BOOL, -1, nullptr, "DeleteTmpFiles"},
    {22, "MPEGAudioSampleRate", VT_I4, 44100, nullptr, "MPEGAudioSample"},
    {24, "AspectRatio", VT_BOOL, -1, nullptr, "AspectRatio"},
    {25, "DvVideoEncoderParam", VT_I2, 0, nullptr, "DvVideoEncoderParam"},
    {26, "QTVideoCompressor", VT_I2, 0, nullptr, "QTVideoComp"},
    {27, "QTAudioCompressor", VT_I2, 0, nullptr, "QTAudioComp"},
    {28, "QTAudioChannels", VT_I2, 1, nullptr, "QTAudioChannels"},
    {29, "QTAudioSampleRate", VT_I4, 44100, nullptr, "QTAudioSampleRate"},
    {30, "ShowImage", VT_BOOL, -1, nullptr, nullptr},
    {31, "TextColor", VT_I4, 0x0000FF, nullptr, nullptr},
    {32, "TextFontName", VT_BSTR, 0, "Arial", nullptr},
    {33, "TextFontSize", VT_I2, 8, nullptr, nullptr},
    {34, "TextStyle", VT_I2, 0, nullptr, nullptr},
    {35, "UseOverlay", VT_BOOL, 0, nullptr, nullptr},
    {36, "TextFontStyle", VT_I2, 0, nullptr, nullptr},
    {37, "ShowText", VT_BOOL, -1, nullptr, nullptr},
    {38, "AudioChannels", VT_I2, 2, nullptr, "AudioChannels"},
    {39, "AudioSample", VT_I2, 1, nullptr, "AudioSample"},
    {40, "RMDllPath", VT_BSTR, 0, "", nullptr},
    {41, "RMProfile", VT_I2, 0, nullptr, nullptr},
    {42, "RMVideoMode", VT_I2, 0, nullptr, nullptr},
    {43, "FLVAudioBitrate", VT_I4, 128000, nullptr, nullptr},
    {44, "FLVAudioChannels", VT_I2, 2, nullptr, nullptr},
    {45, "FLVAudioSampleRate", VT_I4, 44100, nullptr, nullptr},
    {46, "FLVVideoBitrate", VT_I4, 512000, nullptr, nullptr},
    {47, "MPEGAudioChannels", VT_I2, 2, nullptr, nullptr},
    {48, "MPEGVideoBitrate", VT_I4, 4600000, nullptr, "MPEGVideoBitrate"},
    {49, "Video3GPAudioCodec", VT_I4, 0, nullptr, nullptr},
    {50, "Video3GPVideoBitrate", VT_I4, 190000, nullptr, nullptr},
    {51, "Video3GPVideoCodec", VT_I4, 0, nullptr, nullptr},
    {52, "Video3GPAudioSampleRate", VT_I4, 22050, nullptr, nullptr},
    {53, "UseAVILameEncoder", VT_BOOL, 0, nullptr, nullptr},
    {54, "AVILameSampleRate", VT_I4, 44100, nullptr, "AVILameSampleRate"},
    {55, "AVILameBitrate", VT_I2, 320, nullptr, "AVILameBitrate"},
    {56, "SWFAudioBitrate", VT_I4, 128000, nullptr, nullptr},
    {57, "SWFAudioChannels", VT_I2, 2, nullptr, nullptr},
    {58, "SWFAudioSampleRate", VT_I4, 44100, nullptr, nullptr},
    {59, "SWFVideoBitrate", VT_I4, 512000, nullptr, nullptr},
    {60, "AniGIFHeight", VT_I2, 240, nullptr, nullptr},
    {61, "AniGIFLoop", VT_I2, -1, nullptr, nullptr},
    {62, "AniGIFMaxColor", VT_I2, 256, nullptr, nullptr},
    {63, "AniGIFQuantizer", VT_I2, 0, nullptr, nullptr},
    {64, "AniGIFTransColor", VT_I4, 0xFFFFFF, nullptr, nullptr},
    {65, "AniGIFVideoQuality", VT_I2, 1, nullptr, nullptr},
    {66, "AniGIFWidth", VT_I2, 320, nullptr, nullptr},
    {67, "MPEGAspectRatio", VT_I2, 0, nullptr, nullptr},
    {68, "MP4Album", VT_BSTR, 0, "", nullptr},
    {69, "MP4AudioBitrate", VT_I4, 96000, nullptr, nullptr},
    {70, "MP4AudioChannels", VT_I2, 2, nullptr, nullptr},
    {71, "MP4AudioSampleRate", VT_I4, 44100, nullptr, nullptr},
    {72, "MP4Author", VT_BSTR, 0, "", nullptr},
    {73, "MP4Codec", VT_I2, 0, nullptr, nullptr},
    {74, "MP4Comment", VT_BSTR, 0, "", nullptr},
    {75, "MP4Copyright", VT_BSTR, 0, "", nullptr},
    {76, "MP4Framerate", VT_I2, 25, nullptr, nullptr},
    {77, "MP4Title", VT_BSTR, 0, "", nullptr},
    {78, "MP4VideoBitrate", VT_I4, 256000, nullptr, nullptr},
    {79, "MP4Width", VT_I2, 320, nullptr, nullptr},
    {80, "MP4Height", VT_I2, 240, nullptr, nullptr},
    {81, "ParenthWnd", VT_I4, 0, nullptr, nullptr},
    {82, "PrePos", VT_R8, 0, nullptr, nullptr},
    {83, "SetDivx", VT_BOOL, 0, nullptr, nullptr},
    {84, "FLVFrameRate", VT_I2, 25, nullptr, nullptr},
    {85, "SWFFrameRate", VT_I2, 25, nullptr, nullptr},
};

const char* const kMethods[] = {
    "Save", "Cancel", "GetFileDuration", "GetTotalDuration", "Preview", "AddAudio", "AddVideo", "AddBgVideo",
    "AddTransition", "GetFileHeight", "GetFileWidth", "GetFileFrameRate", "InitControl", "Stop", "Save2WMA",
    "MPEGStatus", "Pause", "Play", "Save2Wave", "AddBgAudio", "GetAudioStream", "GetFrame2HBitmap",
    "GetFrame2Picture", "GetFrameBySize2HBitmap", "GetFrameBySize2Picture", "AddEffect", "GetFrame",
    "ReleasePictureBox", "GetFrameBySize", "SetPos", "GetPos", "DrawImage", "DrawText", "SetHashBrushValue",
    "SetTextureBrushImage", "SetOutlineTextBackColor", "SetOutlineTextBorderColor", "Save2MP3", "LoadRmProfiles",
    "GetRMProfilesCount", "GetRMProfileName", "FrameGrabberByTime", "GetFileTotalFrame", "FrameGrabber",
    "FrameGrabber2", "FrameGrabberByTime2", "StopFrameGrabber", "AddAudioWithTran", "AddVideoWithTran",
    "ResizeControl", "IsPause", "ShowFullScreen", "AddVideoWithSlowMotion", "AddAudioWithSlowMotion",
    "AddAudioWithSlowMotionMer", "AddVideoWithSlowMotionMer", "AddVideoSlow2", "AddAudioSlow2", "CheckDivxFile",
};

DISPID IdOfName(IDispatch* d, const char* name) {
  BSTR wide = CString(name).AllocSysString();
  LPOLESTR names[] = {wide};
  DISPID id = 12345;
  HRESULT hr = d->GetIDsOfNames(IID_NULL, names, 1, 0, &id);
  SysFreeString(wide);
  return SUCCEEDED(hr) ? id : DISPID_UNKNOWN;
}

CString RegText(const CString& key) {
  char text[512];
  LONG size = sizeof text;
  if (RegQueryValueA(HKEY_CLASSES_ROOT, key, text, &size) != ERROR_SUCCESS) return "<missing>";
  return CString(text);
}

CString Key(LPCSTR prefix, REFGUID guid, LPCSTR suffix = "") {
  return CString(prefix) + StringFromGUIDA(guid).c_str() + suffix;
}

// The module, loaded and registered into this process's registry once.
class TessaryTest : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    module = LoadLibraryA(TESSARY_MODULE);
    ASSERT_NE(nullptr, module);
    ASSERT_EQ(S_OK, Entry("DllRegisterServer")());
  }
  static HRESULT (*Entry(const char* name))() {
    return reinterpret_cast<HRESULT (*)()>(GetProcAddress(module, name));
  }

  // A new control (its exchange run with the defaults) and its dispatch interface.
  void SetUp() override {
    ASSERT_EQ(S_OK, CoCreateInstance(CLSID_Tessary, nullptr, CLSCTX_INPROC_SERVER, IID_IUnknown,
                                     reinterpret_cast<void**>(&unknown)));
    IPersistStreamInit* persist = Query<IPersistStreamInit>(IID_IPersistStreamInit);
    ASSERT_EQ(S_OK, persist->InitNew());
    persist->Release();
    control = Query<IDispatch>(DIID__DTessary);
  }
  void TearDown() override {
    if (control) control->Release();
    if (unknown) unknown->Release();
  }
  template <class T>
  T* Query(REFIID iid, IUnknown* from = nullptr) {
    T* p = nullptr;
    EXPECT_EQ(S_OK, (from ? from : unknown)->QueryInterface(iid, reinterpret_cast<void**>(&p)));
    return p;
  }
  COleVariant Get(DISPID id) {
    COleVariant v;
    EXPECT_EQ(S_OK, GetProp(control, id, v)) << "member " << id;
    return v;
  }
  LONG Number(DISPID id) {
    COleVariant v = Get(id);
    v.ChangeType(VT_I4);
    return v.lVal;
  }

  static HMODULE module;
  IUnknown* unknown = nullptr;
  IDispatch* control = nullptr;
};
HMODULE TessaryTest::module = nullptr;

TEST_F(TessaryTest, RegistrationWritesTheControlThePageAndTheLibrary) {
  EXPECT_NE(-1, RegText(Key("CLSID\\", CLSID_Tessary, "\\InprocServer32")).Find("Tessary.ocx"));
  EXPECT_EQ(CString("Vorel Converter Control"), RegText(Key("CLSID\\", CLSID_Tessary)));
  EXPECT_EQ(CString(TESSARY_PROGID), RegText(Key("CLSID\\", CLSID_Tessary, "\\ProgID")));
  EXPECT_EQ(CString("131473"), RegText(Key("CLSID\\", CLSID_Tessary, "\\MiscStatus\\1")));
  EXPECT_EQ(CString(StringFromGUIDA(LIBID_TESSARYLib).c_str()), RegText(Key("CLSID\\", CLSID_Tessary, "\\TypeLib")));
  EXPECT_EQ(CString("Vorel Converter Property Page"), RegText(Key("CLSID\\", CLSID_TessaryPropPage)));
  EXPECT_NE(-1, RegText(Key("TypeLib\\", LIBID_TESSARYLib, "\\1.0\\0\\win32")).Find("Tessary.ocx"));

  ASSERT_EQ(S_OK, Entry("DllUnregisterServer")());
  EXPECT_EQ(CString("<missing>"), RegText(Key("CLSID\\", CLSID_Tessary)));
  EXPECT_EQ(CString("<missing>"), RegText(TESSARY_PROGID));
  EXPECT_EQ(CString("<missing>"), RegText(Key("CLSID\\", CLSID_TessaryPropPage)));
  IUnknown* none = nullptr;
  EXPECT_NE(S_OK, CoCreateInstance(CLSID_Tessary, nullptr, CLSCTX_INPROC_SERVER, IID_IUnknown,
                                   reinterpret_cast<void**>(&none)));
  ASSERT_EQ(S_OK, Entry("DllRegisterServer")());
  EXPECT_EQ(CString("Vorel Converter Control"), RegText(Key("CLSID\\", CLSID_Tessary)));
}

TEST_F(TessaryTest, MemberTableHasEveryPropertyMethodAndEventAtItsId) {
  ASSERT_EQ(84u, std::size(kProperties));
  for (const PropertyRow& row : kProperties) EXPECT_EQ(row.id, IdOfName(control, row.name)) << row.name;
  ASSERT_EQ(59u, std::size(kMethods));
  for (size_t i = 0; i < std::size(kMethods); ++i) EXPECT_EQ(DISPID(86 + i), IdOfName(control, kMethods[i])) << kMethods[i];
  EXPECT_EQ(DISPID_ABOUTBOX, IdOfName(control, "AboutBox"));
  COleVariant v;
  EXPECT_EQ(DISP_E_MEMBERNOTFOUND, GetProp(control, 23, v));
  EXPECT_EQ(DISP_E_MEMBERNOTFOUND, GetProp(control, 145, v));
}

TEST_F(TessaryTest, NewControlHasEveryDefault) {
  for (const PropertyRow& row : kProperties) {
    COleVariant v = Get(row.id);
    if (row.vt == VT_DISPATCH) {
      EXPECT_EQ(VT_DISPATCH, v.vt) << row.name;
      EXPECT_NE(nullptr, v.pdispVal) << row.name;
      continue;
    }
    EXPECT_EQ(row.vt, v.vt) << row.name;
    if (row.vt == VT_BSTR) {
      EXPECT_EQ(CString(row.text), Text(v)) << row.name;
    } else {
      v.ChangeType(VT_R8);
      EXPECT_EQ(row.value, v.dblVal) << row.name;
    }
  }
}

TEST_F(TessaryTest, CollectionPropertiesAreReadOnly) {
  for (DISPID id : {dispidWMVProfiles, dispidVideoCompressors, dispidAudioCompressors, dispidTransitions}) {
    EXCEPINFO info = {};
    COleVariant object;
    object.vt = VT_DISPATCH;
    object.pdispVal = nullptr;
    EXPECT_EQ(DISP_E_EXCEPTION, PutProp(control, id, object, &info));
    EXPECT_EQ(CTL_E_SETNOTSUPPORTED, info.scode);
    SysFreeString(info.bstrDescription);
    SysFreeString(info.bstrSource);
    SysFreeString(info.bstrHelpFile);
  }
}

TEST_F(TessaryTest, CollectionHeldByAClientOutlivesTheControl) {
  COleVariant held = Get(dispidTransitions);
  ASSERT_EQ(VT_DISPATCH, held.vt);
  control->Release();
  control = nullptr;
  unknown->Release();
  unknown = nullptr;
  COleVariant count;
  ASSERT_EQ(S_OK, GetProp(held.pdispVal, dispidCollectionCount, count));
  EXPECT_EQ(0, count.iVal);
  held.Clear();
  EXPECT_EQ(S_OK, Entry("DllCanUnloadNow")());
}

TEST_F(TessaryTest, FlagsAndTheWindowHandleReadBackAsStored) {
  ASSERT_EQ(S_OK, PutProp(control, dispidAniGIFVideoQuality, COleVariant(short(5))));
  EXPECT_EQ(1, Number(dispidAniGIFVideoQuality));
  ASSERT_EQ(S_OK, PutProp(control, dispidAniGIFVideoQuality, COleVariant(short(0))));
  EXPECT_EQ(0, Number(dispidAniGIFVideoQuality));
  ASSERT_EQ(S_OK, PutProp(control, dispidSetDivx, COleVariant(short(VARIANT_TRUE), VT_BOOL)));
  COleVariant divx = Get(dispidSetDivx);
  EXPECT_EQ(VT_BOOL, divx.vt);
  EXPECT_EQ(VARIANT_TRUE, divx.boolVal);
  ASSERT_EQ(S_OK, PutProp(control, dispidParenthWnd, COleVariant(LONG(0x12345))));
  EXPECT_EQ(0, Number(dispidParenthWnd));
  // Short properties held in 32 bits.
  ASSERT_EQ(S_OK, PutProp(control, dispidFLVAudioChannels, COleVariant(short(1))));
  EXPECT_EQ(1, Number(dispidFLVAudioChannels));
}

TEST_F(TessaryTest, PersistedPropertiesRoundTripAndOthersReturnToTheirDefaults) {
  ASSERT_EQ(S_OK, PutProp(control, dispidMPEGVideoBitrate, COleVariant(LONG(2000000))));
  ASSERT_EQ(S_OK, PutProp(control, dispidWMVCustomFileName, COleVariant("C:\\profiles\\mine.prx")));
  ASSERT_EQ(S_OK, PutProp(control, dispidFrameRate, COleVariant(29.97f)));
  ASSERT_EQ(S_OK, PutProp(control, dispidOutputAudio, COleVariant(short(0), VT_BOOL)));
  ASSERT_EQ(S_OK, PutProp(control, dispidQTAudioCompressor, COleVariant(short(3))));
  ASSERT_EQ(S_OK, PutProp(control, dispidAVILameBitrate, COleVariant(short(192))));
  ASSERT_EQ(S_OK, PutProp(control, dispidEnumTransitions, COleVariant(short(0), VT_BOOL)));
  ASSERT_EQ(S_OK, PutProp(control, dispidMP4Height, COleVariant(short(480))));
  ASSERT_EQ(S_OK, PutProp(control, dispidTextFontName, COleVariant("Verdana")));
  ASSERT_EQ(S_OK, PutProp(control, dispidPrePos, COleVariant(12.5)));

  IPersistStreamInit* persist = Query<IPersistStreamInit>(IID_IPersistStreamInit);
  EXPECT_EQ(S_OK, persist->IsDirty());
  IStream* stream = nullptr;
  ASSERT_EQ(S_OK, CreateStreamOnHGlobal(nullptr, TRUE, &stream));
  ASSERT_EQ(S_OK, persist->Save(stream, TRUE));
  EXPECT_EQ(S_FALSE, persist->IsDirty());
  persist->Release();
  IPropertyBag* bag = nullptr;
  ASSERT_EQ(S_OK, CreatePropertyBag(&bag));
  IPersistPropertyBag* bagPersist = Query<IPersistPropertyBag>(IID_IPersistPropertyBag);
  ASSERT_EQ(S_OK, bagPersist->Save(bag, TRUE, TRUE));
  bagPersist->Release();

  for (int fromBag = 0; fromBag < 2; ++fromBag) {
    control->Release();
    unknown->Release();
    ASSERT_EQ(S_OK, CoCreateInstance(CLSID_Tessary, nullptr, CLSCTX_INPROC_SERVER, IID_IUnknown,
                                     reinterpret_cast<void**>(&unknown)));
    if (fromBag) {
      IPersistPropertyBag* p = Query<IPersistPropertyBag>(IID_IPersistPropertyBag);
      ASSERT_EQ(S_OK, p->Load(bag, nullptr));
      p->Release();
    } else {
      LARGE_INTEGER zero = {};
      stream->Seek(zero, STREAM_SEEK_SET, nullptr);
      IPersistStreamInit* p = Query<IPersistStreamInit>(IID_IPersistStreamInit);
      ASSERT_EQ(S_OK, p->Load(stream));
      p->Release();
    }
    control = Query<IDispatch>(IID_IDispatch);
    EXPECT_EQ(2000000, Number(dispidMPEGVideoBitrate));
    EXPECT_EQ(CString("C:\\profiles\\mine.prx"), Text(Get(dispidWMVCustomFileName)));
    EXPECT_FLOAT_EQ(29.97f, Get(dispidFrameRate).fltVal);
    EXPECT_EQ(0, Number(dispidOutputAudio));
    EXPECT_EQ(3, Number(dispidQTAudioCompressor));
    EXPECT_EQ(192, Number(dispidAVILameBitrate));
    EXPECT_EQ(0, Number(dispidEnumTransitions));
    // Not persisted: the constructor's values.
    EXPECT_EQ(240, Number(dispidMP4Height));
    EXPECT_EQ(CString("Arial"), Text(Get(dispidTextFontName)));
    EXPECT_EQ(0.0, Get(dispidPrePos).dblVal);
  }
  bag->Release();
  stream->Release();
}

TEST_F(TessaryTest, MethodsWithoutTheirWorkReturnTheirFailureResults) {
  COleVariant r;
  ASSERT_EQ(S_OK, CallMethod(control, dispidSave, r, {COleVariant("C:\\out.avi")}));
  EXPECT_EQ(VARIANT_FALSE, r.boolVal);
  ASSERT_EQ(S_OK, CallMethod(control, dispidInitControl, r));
  ASSERT_EQ(S_OK, CallMethod(control, dispidSave, r, {COleVariant("C:\\out.avi")}));
  EXPECT_EQ(VARIANT_FALSE, r.boolVal);
  ASSERT_EQ(S_OK, CallMethod(control, dispidMPEGStatus, r));
  EXPECT_EQ(CString(""), Text(r));
  ASSERT_EQ(S_OK, CallMethod(control, dispidAddTransition, r,
                             {COleVariant(short(0)), COleVariant(0.0), COleVariant(5.0)}));
  EXPECT_EQ(VT_BOOL, r.vt);
  EXPECT_EQ(VARIANT_FALSE, r.boolVal);
  ASSERT_EQ(S_OK, CallMethod(control, dispidGetRMProfileName, r, {COleVariant(short(0))}));
  EXPECT_EQ(CString(""), Text(r));
  ASSERT_EQ(S_OK, CallMethod(control, dispidGetFrame2Picture, r, {COleVariant("C:\\clip.avi"), COleVariant(1.0)}));
  EXPECT_EQ(nullptr, r.vt == VT_DISPATCH ? r.pdispVal : nullptr);
  EXPECT_EQ(DISP_E_BADPARAMCOUNT, CallMethod(control, dispidAddVideo, r, {COleVariant("C:\\clip.avi")}));
  ASSERT_EQ(S_OK, CallMethod(control, dispidStop, r));
}

TEST_F(TessaryTest, SampleGrabberCallbackIsPartOfTheControl) {
  ISampleGrabberCB* callback = Query<ISampleGrabberCB>(IID_ISampleGrabberCB);
  ASSERT_NE(nullptr, callback);
  EXPECT_EQ(1u, callback->AddRef());
  EXPECT_EQ(2u, callback->Release());
  IUnknown* self = nullptr;
  EXPECT_EQ(S_OK, callback->QueryInterface(IID_IUnknown, reinterpret_cast<void**>(&self)));
  EXPECT_EQ(static_cast<IUnknown*>(callback), self);
  IDispatch* other = reinterpret_cast<IDispatch*>(1);
  EXPECT_EQ(E_NOINTERFACE, callback->QueryInterface(IID_IDispatch, reinterpret_cast<void**>(&other)));
  EXPECT_EQ(nullptr, other);
  EXPECT_EQ(E_POINTER, callback->QueryInterface(IID_IUnknown, nullptr));
  EXPECT_EQ(S_OK, callback->SampleCB(1.0, nullptr));
  // No frame grab is running: nothing is saved.
  EXPECT_EQ(E_FAIL, callback->BufferCB(1.0, nullptr, 0));
}

TEST_F(TessaryTest, BrowsingWithoutAWindowShowsEmptyCollections) {
  IPerPropertyBrowsing* browsing = Query<IPerPropertyBrowsing>(IID_IPerPropertyBrowsing);
  BSTR text = nullptr;
  ASSERT_EQ(S_OK, browsing->GetDisplayString(dispidVideoCompressor, &text));
  EXPECT_EQ(CString(""), CString(text));
  SysFreeString(text);
  VARIANT value;
  VariantInit(&value);
  ASSERT_EQ(S_OK, browsing->GetPredefinedValue(dispidTransition, 4, &value));
  EXPECT_EQ(VT_I2, value.vt);
  EXPECT_EQ(4, value.iVal);
  browsing->Release();

  ISpecifyPropertyPages* pages = Query<ISpecifyPropertyPages>(IID_ISpecifyPropertyPages);
  CAUUID ids;
  ASSERT_EQ(S_OK, pages->GetPages(&ids));
  ASSERT_EQ(1u, ids.cElems);
  EXPECT_EQ(CLSID_TessaryPropPage, ids.pElems[0]);
  CoTaskMemFree(ids.pElems);
  pages->Release();
}

// A container that asks the control for its type information finds the whole library there: the
// control's class with its events, and every collection, item and enumerator with its class.
TEST_F(TessaryTest, TypeInformationLeadsToEveryCollectionItemAndEnumerator) {
  ComPtr<ITypeInfo> info;
  ASSERT_EQ(S_OK, control->GetTypeInfo(0, 0, info.put()));
  TYPEATTR* attr = nullptr;
  ASSERT_EQ(S_OK, info->GetTypeAttr(&attr));
  EXPECT_EQ(DIID__DTessary, attr->guid);
  info->ReleaseTypeAttr(attr);
  ComPtr<ITypeLib> library;
  ASSERT_EQ(S_OK, info->GetContainingTypeLib(library.put(), nullptr));
  TLIBATTR* libAttr = nullptr;
  ASSERT_EQ(S_OK, library->GetLibAttr(&libAttr));
  EXPECT_EQ(LIBID_TESSARYLib, libAttr->guid);
  library->ReleaseTLibAttr(libAttr);

  // Each class leads to its dispinterface.
  const struct {
    const GUID* clsid;
    const IID* iid;
  } classes[] = {{&CLSID_AudioCompressor, &IID_IAudioCompressor},   {&CLSID_VideoCompressor, &IID_IVideoCompressor},
                 {&CLSID_Transition, &IID_ITransition},             {&CLSID_Effect, &IID_IEffect},
                 {&CLSID_WMVProfile, &IID_IWMVProfile},             {&CLSID_AudioCompressors, &IID_IAudioCompressors},
                 {&CLSID_VideoCompressors, &IID_IVideoCompressors}, {&CLSID_Transitions, &IID_ITransitions},
                 {&CLSID_Effects, &IID_IEffects},                   {&CLSID_WMVProfiles, &IID_IWMVProfiles},
                 {&CLSID_Tessary, &DIID__DTessary}};
  for (const auto& c : classes) {
    ComPtr<ITypeInfo> coclass, dispinterface;
    ASSERT_EQ(S_OK, library->GetTypeInfoOfGuid(*c.clsid, coclass.put())) << StringFromGUIDA(*c.clsid);
    HREFTYPE ref = 0;
    ASSERT_EQ(S_OK, coclass->GetRefTypeOfImplType(0, &ref));
    ASSERT_EQ(S_OK, coclass->GetRefTypeInfo(ref, dispinterface.put()));
    ASSERT_EQ(S_OK, dispinterface->GetTypeAttr(&attr));
    EXPECT_EQ(*c.iid, attr->guid) << StringFromGUIDA(*c.clsid);
    EXPECT_EQ(TKIND_DISPATCH, attr->typekind);
    dispinterface->ReleaseTypeAttr(attr);
  }
  // The control's class names its events.
  ComPtr<ITypeInfo> tessary, events;
  ASSERT_EQ(S_OK, library->GetTypeInfoOfGuid(CLSID_Tessary, tessary.put()));
  INT flags = 0;
  ASSERT_EQ(S_OK, tessary->GetImplTypeFlags(1, &flags));
  EXPECT_EQ(IMPLTYPEFLAG_FDEFAULT | IMPLTYPEFLAG_FSOURCE, flags);
  ASSERT_EQ(S_OK, tessary->GetRefTypeInfo(1, events.put()));
  std::u16string processing = u"Processing";
  LPOLESTR names[] = {processing.data()};
  MEMBERID id = MEMBERID_NIL;
  ASSERT_EQ(S_OK, events->GetIDsOfNames(names, 1, &id));
  EXPECT_EQ(2, id);

  // The enumerators' dispinterfaces: four empty ones and the profiles' with its one property.
  for (const IID* iid : {&IID_IEnumAudioCompressors, &IID_IEnumVideoCompressors, &IID_IEnumTransitions,
                         &IID_IEnumEffects, &IID_IEnumWMVProfiles}) {
    ComPtr<ITypeInfo> enumerator;
    ASSERT_EQ(S_OK, library->GetTypeInfoOfGuid(*iid, enumerator.put())) << StringFromGUIDA(*iid);
    ASSERT_EQ(S_OK, enumerator->GetTypeAttr(&attr));
    EXPECT_EQ(TKIND_DISPATCH, attr->typekind);
    EXPECT_EQ(*iid == IID_IEnumWMVProfiles, attr->cFuncs > 0) << StringFromGUIDA(*iid);
    enumerator->ReleaseTypeAttr(attr);
  }

  // A collection handed out by the control is described by its own dispinterface, where
  // _NewEnum is not listed; its enumerator by the enumerator's.
  COleVariant videos;
  ASSERT_EQ(S_OK, GetProp(control, dispidVideoCompressors, videos));
  ComPtr<ITypeInfo> collection;
  ASSERT_EQ(S_OK, videos.pdispVal->GetTypeInfo(0, 0, collection.put()));
  ASSERT_EQ(S_OK, collection->GetTypeAttr(&attr));
  EXPECT_EQ(IID_IVideoCompressors, attr->guid);
  for (UINT i = 0; i < attr->cFuncs; ++i) {
    FUNCDESC* f = nullptr;
    ASSERT_EQ(S_OK, collection->GetFuncDesc(i, &f));
    EXPECT_NE(DISPID_NEWENUM, f->memid);
    collection->ReleaseFuncDesc(f);
  }
  collection->ReleaseTypeAttr(attr);
  COleVariant newEnum;
  ASSERT_EQ(S_OK, GetProp(videos.pdispVal, DISPID_NEWENUM, newEnum));
  ComPtr<IDispatch> enumDispatch;
  ASSERT_EQ(S_OK, newEnum.punkVal->QueryInterface(IID_IDispatch, enumDispatch.putVoid()));
  ComPtr<ITypeInfo> enumInfo;
  ASSERT_EQ(S_OK, enumDispatch->GetTypeInfo(0, 0, enumInfo.put()));
  ASSERT_EQ(S_OK, enumInfo->GetTypeAttr(&attr));
  EXPECT_EQ(IID_IEnumVideoCompressors, attr->guid);
  enumInfo->ReleaseTypeAttr(attr);
}

TEST_F(TessaryTest, PropertyPageIsCaptionedGeneral) {
  IPropertyPage* page = nullptr;
  ASSERT_EQ(S_OK, CoCreateInstance(CLSID_TessaryPropPage, nullptr, CLSCTX_INPROC_SERVER, IID_IPropertyPage,
                                   reinterpret_cast<void**>(&page)));
  PROPPAGEINFO info = {};
  info.cb = sizeof info;
  ASSERT_EQ(S_OK, page->GetPageInfo(&info));
  EXPECT_EQ(CString("General"), CString(info.pszTitle));
  CoTaskMemFree(info.pszTitle);
  CoTaskMemFree(info.pszDocString);
  CoTaskMemFree(info.pszHelpFile);
  page->Release();
}

// ---- Hosted by a container

class CHostWnd : public CWnd {
  DECLARE_EVENTSINK_MAP()
 public:
  void OnComplete() { events.push_back("Complete"); }
  void OnProcessing(double position, double duration) {
    CString text;
    text.Format("Processing %.1f %.1f", position, duration);
    events.push_back(text);
  }
  std::vector<CString> events;
};

BEGIN_EVENTSINK_MAP(CHostWnd, CWnd)
  ON_EVENT(CHostWnd, 1001, eventidComplete, OnComplete, VTS_NONE)
  ON_EVENT(CHostWnd, 1001, eventidProcessing, OnProcessing, VTS_R8 VTS_R8)
END_EVENTSINK_MAP()

class HostedTest : public TessaryTest {
 protected:
  void SetUp() override {
    AfxEnableControlContainer();
    ASSERT_TRUE(host.CreateEx(0, AfxRegisterWndClass(0), "host", WS_POPUP | WS_VISIBLE, 0, 0, 400, 300, nullptr,
                              nullptr));
    ASSERT_TRUE(AfxCreateControl(&wrapper, CLSID_Tessary, "", WS_VISIBLE, CRect(0, 0, 320, 240), &host, 1001));
    site = AfxGetControlSite(&wrapper);
    ASSERT_NE(nullptr, site);
    control = site->GetDispatch();
    control->AddRef();
    unknown = site->GetControlUnknown();
    unknown->AddRef();
  }
  void TearDown() override {
    TessaryTest::TearDown();
    wrapper.DestroyWindow();
    host.DestroyWindow();
    CWnd::DeleteTempMap();
  }
  IDispatch* Collection(DISPID id) {
    COleVariant v = Get(id);
    v.pdispVal->AddRef();
    return v.pdispVal;
  }
  short Count(DISPID collectionId) {
    IDispatch* c = Collection(collectionId);
    COleVariant count;
    GetProp(c, dispidCollectionCount, count);
    c->Release();
    return count.iVal;
  }

  CHostWnd host;
  CWnd wrapper;
  COleControlSite* site = nullptr;
};

TEST_F(HostedTest, WindowCreationFillsTheCollections) {
  EXPECT_GT(Count(dispidVideoCompressors), 0);
  EXPECT_GT(Count(dispidAudioCompressors), 0);
  EXPECT_GT(Count(dispidTransitions), 0);
  EXPECT_GE(Count(dispidWMVProfiles), 8);

  // Turning the profile listing off keeps the list; on again lists each profile once.
  const short profiles = Count(dispidWMVProfiles);
  ASSERT_EQ(S_OK, PutProp(control, dispidEnumWMVProfiles, COleVariant(short(0), VT_BOOL)));
  EXPECT_EQ(profiles, Count(dispidWMVProfiles));
  ASSERT_EQ(S_OK, PutProp(control, dispidEnumWMVProfiles, COleVariant(short(VARIANT_TRUE), VT_BOOL)));
  EXPECT_EQ(profiles, Count(dispidWMVProfiles));
  const short transitions = Count(dispidTransitions);
  ASSERT_EQ(S_OK, PutProp(control, dispidEnumTransitions, COleVariant(short(VARIANT_TRUE), VT_BOOL)));
  EXPECT_EQ(transitions, Count(dispidTransitions));
}

TEST_F(HostedTest, IndexPropertiesAreBrowsedByItemName) {
  IPerPropertyBrowsing* browsing = Query<IPerPropertyBrowsing>(IID_IPerPropertyBrowsing);
  BSTR text = nullptr;
  ASSERT_EQ(S_OK, browsing->GetDisplayString(dispidAudioCompressor, &text));
  EXPECT_EQ(CString("PCM"), CString(text));
  SysFreeString(text);

  CALPOLESTR strings;
  CADWORD cookies;
  ASSERT_EQ(S_OK, browsing->GetPredefinedStrings(dispidWMVProfile, &strings, &cookies));
  ASSERT_EQ(ULONG(Count(dispidWMVProfiles)), strings.cElems);
  IDispatch* profiles = Collection(dispidWMVProfiles);
  COleVariant name;
  CallMethod(profiles, dispidFindWMVProfileName, name, {COleVariant(short(2))});
  profiles->Release();
  EXPECT_EQ(Text(name), CString(strings.pElems[2]));
  EXPECT_EQ(2u, cookies.pElems[2]);
  for (ULONG i = 0; i < strings.cElems; ++i) CoTaskMemFree(strings.pElems[i]);
  CoTaskMemFree(strings.pElems);
  CoTaskMemFree(cookies.pElems);

  // An index past its collection shows nothing.
  ASSERT_EQ(S_OK, PutProp(control, dispidTransition, COleVariant(short(500))));
  ASSERT_EQ(S_OK, browsing->GetDisplayString(dispidTransition, &text));
  EXPECT_EQ(CString(""), CString(text));
  SysFreeString(text);
  ASSERT_EQ(S_OK, PutProp(control, dispidTransition, COleVariant(short(-1))));
  ASSERT_EQ(S_OK, browsing->GetDisplayString(dispidTransition, &text));
  EXPECT_EQ(CString(""), CString(text));
  SysFreeString(text);
  browsing->Release();
}

TEST_F(HostedTest, DesignModeNotifiesEveryPropertyAndRunModeOnlySome) {
  site->SetUserMode(FALSE);
  site->ClearChangedProperties();
  PutProp(control, dispidMP4Height, COleVariant(short(480)));
  PutProp(control, dispidAniGIFTransColor, COleVariant(LONG(0x00FF00)));
  PutProp(control, dispidTextStyle, COleVariant(short(2)));
  PutProp(control, dispidPrePos, COleVariant(3.0));
  PutProp(control, dispidSetDivx, COleVariant(short(VARIANT_TRUE), VT_BOOL));
  PutProp(control, dispidParenthWnd, COleVariant(LONG(5)));
  PutProp(control, dispidEnumWMVProfiles, COleVariant(short(0), VT_BOOL));
  EXPECT_EQ((std::vector<DISPID>{dispidMP4Height, dispidAniGIFTransColor, dispidEnumWMVProfiles}),
            site->ChangedProperties());

  site->SetUserMode(TRUE);
  site->ClearChangedProperties();
  PutProp(control, dispidMP4Height, COleVariant(short(360)));
  PutProp(control, dispidOutputFileHeight, COleVariant(short(480)));
  PutProp(control, dispidTextFontName, COleVariant("Verdana"));
  PutProp(control, dispidTextColor, COleVariant(LONG(0)));
  PutProp(control, dispidAVILameBitrate, COleVariant(short(128)));
  EXPECT_EQ((std::vector<DISPID>{dispidOutputFileHeight, dispidTextFontName, dispidAVILameBitrate}),
            site->ChangedProperties());
}

// Closes the about box as soon as it is initialised, noting its title.
CString g_aboutTitle;
HHOOK g_aboutHook = nullptr;
LRESULT CALLBACK CloseAboutBox(int code, WPARAM wParam, LPARAM lParam) {
  auto* message = reinterpret_cast<CWPSTRUCT*>(lParam);
  if (code >= 0 && message->message == WM_INITDIALOG) {
    char title[128] = {};
    GetWindowTextA(message->hwnd, title, sizeof title);
    g_aboutTitle = title;
    PostMessage(message->hwnd, WM_COMMAND, IDOK, 0);
  }
  return CallNextHookEx(g_aboutHook, code, wParam, lParam);
}

TEST_F(HostedTest, AboutBoxShowsTheControlsNameModally) {
  g_aboutHook = SetWindowsHookExA(WH_CALLWNDPROC, &CloseAboutBox, nullptr, GetCurrentThreadId());
  COleVariant r;
  EXPECT_EQ(S_OK, CallMethod(control, DISPID_ABOUTBOX, r));
  UnhookWindowsHookEx(g_aboutHook);
  EXPECT_NE(-1, g_aboutTitle.Find("Vorel Converter Control"));
}

TEST_F(HostedTest, EventsReachTheContainersSink) {
  HWND window = site->GetControlWindow();
  ASSERT_TRUE(::IsWindow(window));
  ::SendMessage(window, WM_USER + 30, 0, 0);
  EXPECT_EQ(0, ::SendMessage(window, WM_APP + 20, 0, 0));
  ISampleGrabberCB* callback = Query<ISampleGrabberCB>(IID_ISampleGrabberCB);
  callback->BufferCB(2.5, nullptr, 0);
  ASSERT_EQ(2u, host.events.size());
  EXPECT_EQ(CString("Complete"), host.events[0]);
  EXPECT_EQ(CString("Processing 2.5 0.0"), host.events[1]);
}

}  // namespace
