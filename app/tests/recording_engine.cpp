#include "recording_engine.h"

#include <cstdio>

#include "engine/tessary_ids.h"
#include "win32/utf.h"

namespace app_test {

namespace {
CRecordingEngine* current = nullptr;
}

std::string FormatValue(const VARIANT& value) {
  char text[64];
  switch (value.vt) {
    case VT_BSTR:
      return value.bstrVal ? win32::Utf16ToUtf8(std::u16string_view(value.bstrVal, SysStringLen(value.bstrVal))) : "";
    case VT_BOOL: return value.boolVal ? "TRUE" : "FALSE";
    case VT_I2: return std::to_string(value.iVal);
    case VT_I4: return std::to_string(value.lVal);
    case VT_R4: std::snprintf(text, sizeof text, "%g", value.fltVal); return text;
    case VT_R8: std::snprintf(text, sizeof text, "%g", value.dblVal); return text;
    case VT_DISPATCH: return value.pdispVal ? "<object>" : "<null>";
    default: std::snprintf(text, sizeof text, "<%d>", value.vt); return text;
  }
}

CRecordingCollection::CRecordingCollection(CRecordingEngine* engine, const char* findName)
    : engine_(engine), findName_(findName) {
  EnableAutomation();
}

short CRecordingCollection::GetCount() { return static_cast<short>(indices.size()); }

short CRecordingCollection::Find(LPCTSTR name) {
  engine_->Record(findName_ + "(" + name + ")");
  auto it = indices.find(name);
  return it == indices.end() ? -1 : it->second;
}

BSTR CRecordingCollection::FindName(short index) {
  for (const auto& [name, at] : indices)
    if (at == index) return CString(name.c_str()).AllocSysString();
  return CString().AllocSysString();
}

BEGIN_DISPATCH_MAP(CRecordingCollection, CCmdTarget)
  DISP_PROPERTY_EX_ID(CRecordingCollection, "Count", dispidCollectionCount, GetCount, SetNotSupported, VT_I2)
  DISP_FUNCTION_ID(CRecordingCollection, "Find", dispidCollectionFind, Find, VT_I2, VTS_BSTR)
  DISP_FUNCTION_ID(CRecordingCollection, "FindName", dispidCollectionFindName, FindName, VT_BSTR, VTS_I2)
END_DISPATCH_MAP()

IMPLEMENT_DYNCREATE(CRecordingEngine, COleControl)

CRecordingEngine::CRecordingEngine()
    : videoCompressors(this, "FindVideoCompressor"), audioCompressors(this, "FindAudioCompressor") {
  InitializeIIDs(&DIID__DTessary, &DIID__DTessaryEvents);
  current = this;
}

CRecordingEngine::~CRecordingEngine() {
  if (current == this) current = nullptr;
}

HRESULT CRecordingEngine::GetClassID(LPCLSID clsid) {
  *clsid = CLSID_Tessary;
  return S_OK;
}

CRecordingEngine* CRecordingEngine::Current() { return current; }

void CRecordingEngine::Register() {
  static COleObjectFactory factory(CLSID_Tessary, RUNTIME_CLASS(CRecordingEngine), FALSE, nullptr);
  static const BOOL registered = factory.Register();
  (void)registered;
}

std::vector<std::string> CRecordingEngine::CallsStartingWith(const std::string& prefix) {
  std::vector<std::string> found;
  for (const std::string& call : calls)
    if (call.rfind(prefix, 0) == 0) found.push_back(call);
  return found;
}

HRESULT CRecordingEngine::GetMember(CCmdTarget* target, const AFX_DISPMAP_ENTRY& entry, VARIANT**, UINT,
                                   VARIANT* result) {
  auto* engine = static_cast<CRecordingEngine*>(target);
  if (entry.lDispID == dispidVideoCompressors || entry.lDispID == dispidAudioCompressors) {
    CRecordingCollection& collection =
        entry.lDispID == dispidVideoCompressors ? engine->videoCompressors : engine->audioCompressors;
    VariantClear(result);
    result->vt = VT_DISPATCH;
    result->pdispVal = collection.GetIDispatch(TRUE);
    return S_OK;
  }
  if (entry.vt == VT_DISPATCH) {
    VariantClear(result);
    result->vt = VT_DISPATCH;
    result->pdispVal = nullptr;
    return S_OK;
  }
  auto it = engine->values_.find(entry.lDispID);
  const std::string value = it == engine->values_.end() ? "" : it->second;
  if (entry.vt == VT_BSTR) return mfc::disp::StoreText(result, value.c_str());
  if (entry.vt == VT_BOOL) return mfc::disp::StoreNumber(result, value == "TRUE" ? 1 : 0, VT_BOOL);
  return mfc::disp::StoreNumber(result, std::atof(value.c_str()), entry.vt);
}

HRESULT CRecordingEngine::PutMember(CCmdTarget* target, const AFX_DISPMAP_ENTRY& entry, VARIANT** inputs, UINT count,
                                   VARIANT*) {
  if (count < 1) return DISP_E_BADPARAMCOUNT;
  auto* engine = static_cast<CRecordingEngine*>(target);
  VARIANT value;
  VariantInit(&value);
  if (FAILED(VariantChangeType(&value, inputs[count - 1], 0, entry.vt))) return DISP_E_TYPEMISMATCH;
  const std::string text = FormatValue(value);
  VariantClear(&value);
  engine->values_[entry.lDispID] = text;
  engine->Record(std::string(entry.lpszName) + "=" + text);
  return S_OK;
}

HRESULT CRecordingEngine::CallMember(CCmdTarget* target, const AFX_DISPMAP_ENTRY& entry, VARIANT** inputs, UINT count,
                                    VARIANT* result) {
  auto* engine = static_cast<CRecordingEngine*>(target);
  std::string call = std::string(entry.lpszName) + "(";
  std::vector<std::string> args;
  for (UINT i = 0; i < count; ++i) {
    args.push_back(FormatValue(*inputs[i]));
    call += (i ? "," : "") + args.back();
  }
  engine->Record(call + ")");
  if (!result || entry.vt == VT_EMPTY) return S_OK;
  const std::string name = entry.lpszName;
  double answer = 0;
  if (name == "GetFileDuration") {
    auto it = engine->durations.find(args.empty() ? "" : args[0]);
    answer = it == engine->durations.end() ? 0 : it->second;
  } else if (name == "IsPause") {
    answer = engine->paused;
  } else if (name == "GetPos") {
    answer = engine->position;
  } else if (name == "Save") {
    answer = engine->saveResult;
  } else if (entry.vt == VT_BOOL) {
    answer = name != "CheckDivxFile";
  }
  if (entry.vt == VT_BSTR) return mfc::disp::StoreText(result, "");
  if (entry.vt == VT_DISPATCH) {
    VariantClear(result);
    result->vt = VT_DISPATCH;
    result->pdispVal = nullptr;
    return S_OK;
  }
  return mfc::disp::StoreNumber(result, answer, entry.vt);
}

void CRecordingEngine::FireComplete() { FireEvent(eventidComplete, EVENT_PARAM(VTS_NONE)); }
void CRecordingEngine::FireProcessing(double at, double duration) {
  FireEvent(eventidProcessing, EVENT_PARAM(VTS_R8 VTS_R8), at, duration);
}
void CRecordingEngine::FireOnPlaying(double at) { FireEvent(eventidOnPlaying, EVENT_PARAM(VTS_R8), at); }
void CRecordingEngine::FirePreviewComplete() { FireEvent(eventidPreviewComplete, EVENT_PARAM(VTS_NONE)); }
void CRecordingEngine::FireDblClick() { FireEvent(DISPID_DBLCLICK, EVENT_PARAM(VTS_NONE)); }

#define RECORDED_PROPERTY(name, vt) \
  {#name, dispid##name, afxDispProperty, vt, VTS_NONE, &CRecordingEngine::GetMember, &CRecordingEngine::PutMember},
#define RECORDED_METHOD(name, vt, params) \
  {#name, dispid##name, afxDispMethod, vt, params, &CRecordingEngine::CallMember, nullptr},

BEGIN_DISPATCH_MAP(CRecordingEngine, COleControl)
  RECORDED_PROPERTY(WMVProfiles, VT_DISPATCH)
  RECORDED_PROPERTY(WMVProfile, VT_I2)
  RECORDED_PROPERTY(VideoCompressor, VT_I2)
  RECORDED_PROPERTY(VideoCompressors, VT_DISPATCH)
  RECORDED_PROPERTY(UseVideoCompressor, VT_BOOL)
  RECORDED_PROPERTY(AudioCompressor, VT_I2)
  RECORDED_PROPERTY(AudioCompressors, VT_DISPATCH)
  RECORDED_PROPERTY(UseAudioCompressor, VT_BOOL)
  RECORDED_PROPERTY(Transition, VT_I2)
  RECORDED_PROPERTY(Transitions, VT_DISPATCH)
  RECORDED_PROPERTY(OutputFileHeight, VT_I2)
  RECORDED_PROPERTY(OutputFileWidth, VT_I2)
  RECORDED_PROPERTY(VideoSampleSize, VT_I2)
  RECORDED_PROPERTY(OutputAudio, VT_BOOL)
  RECORDED_PROPERTY(OutputType, VT_I4)
  RECORDED_PROPERTY(FrameRate, VT_R4)
  RECORDED_PROPERTY(MPEGAudioBitrate, VT_I4)
  RECORDED_PROPERTY(EnumTransitions, VT_BOOL)
  RECORDED_PROPERTY(EnumWMVProfiles, VT_BOOL)
  RECORDED_PROPERTY(WMVCustomFileName, VT_BSTR)
  RECORDED_PROPERTY(DeleteTmpFiles, VT_BOOL)
  RECORDED_PROPERTY(MPEGAudioSampleRate, VT_I4)
  RECORDED_PROPERTY(AspectRatio, VT_BOOL)
  RECORDED_PROPERTY(DvVideoEncoderParam, VT_I2)
  RECORDED_PROPERTY(QTVideoCompressor, VT_I2)
  RECORDED_PROPERTY(QTAudioCompressor, VT_I2)
  RECORDED_PROPERTY(QTAudioChannels, VT_I2)
  RECORDED_PROPERTY(QTAudioSampleRate, VT_I4)
  RECORDED_PROPERTY(ShowImage, VT_BOOL)
  RECORDED_PROPERTY(TextColor, VT_I4)
  RECORDED_PROPERTY(TextFontName, VT_BSTR)
  RECORDED_PROPERTY(TextFontSize, VT_I2)
  RECORDED_PROPERTY(TextStyle, VT_I2)
  RECORDED_PROPERTY(UseOverlay, VT_BOOL)
  RECORDED_PROPERTY(TextFontStyle, VT_I2)
  RECORDED_PROPERTY(ShowText, VT_BOOL)
  RECORDED_PROPERTY(AudioChannels, VT_I2)
  RECORDED_PROPERTY(AudioSample, VT_I2)
  RECORDED_PROPERTY(RMDllPath, VT_BSTR)
  RECORDED_PROPERTY(RMProfile, VT_I2)
  RECORDED_PROPERTY(RMVideoMode, VT_I2)
  RECORDED_PROPERTY(FLVAudioBitrate, VT_I4)
  RECORDED_PROPERTY(FLVAudioChannels, VT_I2)
  RECORDED_PROPERTY(FLVAudioSampleRate, VT_I4)
  RECORDED_PROPERTY(FLVVideoBitrate, VT_I4)
  RECORDED_PROPERTY(MPEGAudioChannels, VT_I2)
  RECORDED_PROPERTY(MPEGVideoBitrate, VT_I4)
  RECORDED_PROPERTY(Video3GPAudioCodec, VT_I4)
  RECORDED_PROPERTY(Video3GPVideoBitrate, VT_I4)
  RECORDED_PROPERTY(Video3GPVideoCodec, VT_I4)
  RECORDED_PROPERTY(Video3GPAudioSampleRate, VT_I4)
  RECORDED_PROPERTY(UseAVILameEncoder, VT_BOOL)
  RECORDED_PROPERTY(AVILameSampleRate, VT_I4)
  RECORDED_PROPERTY(AVILameBitrate, VT_I2)
  RECORDED_PROPERTY(SWFAudioBitrate, VT_I4)
  RECORDED_PROPERTY(SWFAudioChannels, VT_I2)
  RECORDED_PROPERTY(SWFAudioSampleRate, VT_I4)
  RECORDED_PROPERTY(SWFVideoBitrate, VT_I4)
  RECORDED_PROPERTY(AniGIFHeight, VT_I2)
  RECORDED_PROPERTY(AniGIFLoop, VT_I2)
  RECORDED_PROPERTY(AniGIFMaxColor, VT_I2)
  RECORDED_PROPERTY(AniGIFQuantizer, VT_I2)
  RECORDED_PROPERTY(AniGIFTransColor, VT_I4)
  RECORDED_PROPERTY(AniGIFVideoQuality, VT_I2)
  RECORDED_PROPERTY(AniGIFWidth, VT_I2)
  RECORDED_PROPERTY(MPEGAspectRatio, VT_I2)
  RECORDED_PROPERTY(MP4Album, VT_BSTR)
  RECORDED_PROPERTY(MP4AudioBitrate, VT_I4)
  RECORDED_PROPERTY(MP4AudioChannels, VT_I2)
  RECORDED_PROPERTY(MP4AudioSampleRate, VT_I4)
  RECORDED_PROPERTY(MP4Author, VT_BSTR)
  RECORDED_PROPERTY(MP4Codec, VT_I2)
  RECORDED_PROPERTY(MP4Comment, VT_BSTR)
  RECORDED_PROPERTY(MP4Copyright, VT_BSTR)
  RECORDED_PROPERTY(MP4Framerate, VT_I2)
  RECORDED_PROPERTY(MP4Title, VT_BSTR)
  RECORDED_PROPERTY(MP4VideoBitrate, VT_I4)
  RECORDED_PROPERTY(MP4Width, VT_I2)
  RECORDED_PROPERTY(MP4Height, VT_I2)
  RECORDED_PROPERTY(ParenthWnd, VT_I4)
  RECORDED_PROPERTY(PrePos, VT_R8)
  RECORDED_PROPERTY(SetDivx, VT_BOOL)
  RECORDED_PROPERTY(FLVFrameRate, VT_I2)
  RECORDED_PROPERTY(SWFFrameRate, VT_I2)
  RECORDED_METHOD(Save, VT_BOOL, VTS_BSTR)
  RECORDED_METHOD(Cancel, VT_EMPTY, VTS_NONE)
  RECORDED_METHOD(GetFileDuration, VT_R8, VTS_BSTR)
  RECORDED_METHOD(GetTotalDuration, VT_R8, VTS_NONE)
  RECORDED_METHOD(Preview, VT_BOOL, VTS_NONE)
  RECORDED_METHOD(AddAudio, VT_BOOL, VTS_BSTR VTS_R8 VTS_R8)
  RECORDED_METHOD(AddVideo, VT_BOOL, VTS_BSTR VTS_R8 VTS_R8 VTS_I2)
  RECORDED_METHOD(AddBgVideo, VT_BOOL, VTS_BSTR VTS_R8 VTS_R8 VTS_I2)
  RECORDED_METHOD(AddTransition, VT_BOOL, VTS_I2 VTS_R8 VTS_R8)
  RECORDED_METHOD(GetFileHeight, VT_I2, VTS_BSTR)
  RECORDED_METHOD(GetFileWidth, VT_I2, VTS_BSTR)
  RECORDED_METHOD(GetFileFrameRate, VT_R8, VTS_BSTR)
  RECORDED_METHOD(InitControl, VT_EMPTY, VTS_NONE)
  RECORDED_METHOD(Stop, VT_EMPTY, VTS_NONE)
  RECORDED_METHOD(Save2WMA, VT_BOOL, VTS_BSTR)
  RECORDED_METHOD(MPEGStatus, VT_BSTR, VTS_NONE)
  RECORDED_METHOD(Pause, VT_EMPTY, VTS_NONE)
  RECORDED_METHOD(Play, VT_EMPTY, VTS_NONE)
  RECORDED_METHOD(Save2Wave, VT_BOOL, VTS_BSTR VTS_I2 VTS_I4 VTS_I2)
  RECORDED_METHOD(AddBgAudio, VT_BOOL, VTS_BSTR VTS_R8 VTS_R8)
  RECORDED_METHOD(GetAudioStream, VT_BOOL, VTS_BSTR)
  RECORDED_METHOD(GetFrame2HBitmap, VT_I4, VTS_BSTR VTS_R8)
  RECORDED_METHOD(GetFrame2Picture, VT_DISPATCH, VTS_BSTR VTS_R8)
  RECORDED_METHOD(GetFrameBySize2HBitmap, VT_I4, VTS_BSTR VTS_R8 VTS_I4 VTS_I4)
  RECORDED_METHOD(GetFrameBySize2Picture, VT_DISPATCH, VTS_BSTR VTS_R8 VTS_I4 VTS_I4)
  RECORDED_METHOD(AddEffect, VT_BOOL, VTS_I4 VTS_R8 VTS_R8 VTS_BSTR VTS_BSTR VTS_BSTR VTS_BSTR)
  RECORDED_METHOD(GetFrame, VT_BOOL, VTS_BSTR VTS_R8 VTS_BSTR VTS_I2)
  RECORDED_METHOD(ReleasePictureBox, VT_EMPTY, VTS_DISPATCH)
  RECORDED_METHOD(GetFrameBySize, VT_BOOL, VTS_BSTR VTS_R8 VTS_BSTR VTS_I4 VTS_I4 VTS_I2)
  RECORDED_METHOD(SetPos, VT_EMPTY, VTS_R8)
  RECORDED_METHOD(GetPos, VT_R8, VTS_NONE)
  RECORDED_METHOD(DrawImage, VT_EMPTY, VTS_I2 VTS_I2 VTS_BSTR VTS_COLOR VTS_I2)
  RECORDED_METHOD(DrawText, VT_I2, VTS_I2 VTS_I2 VTS_BSTR)
  RECORDED_METHOD(SetHashBrushValue, VT_EMPTY, VTS_I2 VTS_COLOR VTS_COLOR)
  RECORDED_METHOD(SetTextureBrushImage, VT_EMPTY, VTS_BSTR)
  RECORDED_METHOD(SetOutlineTextBackColor, VT_EMPTY, VTS_COLOR)
  RECORDED_METHOD(SetOutlineTextBorderColor, VT_EMPTY, VTS_COLOR)
  RECORDED_METHOD(Save2MP3, VT_BOOL, VTS_BSTR VTS_I4 VTS_I2)
  RECORDED_METHOD(LoadRmProfiles, VT_EMPTY, VTS_NONE)
  RECORDED_METHOD(GetRMProfilesCount, VT_I2, VTS_NONE)
  RECORDED_METHOD(GetRMProfileName, VT_BSTR, VTS_I2)
  RECORDED_METHOD(FrameGrabberByTime, VT_BOOL, VTS_BSTR VTS_R8 VTS_R8 VTS_I2 VTS_BSTR)
  RECORDED_METHOD(GetFileTotalFrame, VT_R8, VTS_BSTR)
  RECORDED_METHOD(FrameGrabber, VT_BOOL, VTS_BSTR VTS_I4 VTS_I4 VTS_I2 VTS_BSTR)
  RECORDED_METHOD(FrameGrabber2, VT_BOOL, VTS_BSTR VTS_I4 VTS_I4 VTS_I2 VTS_BSTR VTS_I2 VTS_I2)
  RECORDED_METHOD(FrameGrabberByTime2, VT_BOOL, VTS_BSTR VTS_R8 VTS_R8 VTS_I2 VTS_BSTR VTS_I2 VTS_I2)
  RECORDED_METHOD(StopFrameGrabber, VT_EMPTY, VTS_NONE)
  RECORDED_METHOD(AddAudioWithTran, VT_BOOL, VTS_BSTR VTS_R8 VTS_R8 VTS_R8)
  RECORDED_METHOD(AddVideoWithTran, VT_BOOL, VTS_BSTR VTS_R8 VTS_R8 VTS_I2 VTS_I2 VTS_R8)
  RECORDED_METHOD(ResizeControl, VT_EMPTY, VTS_I2 VTS_I2 VTS_I2 VTS_I2)
  RECORDED_METHOD(IsPause, VT_BOOL, VTS_NONE)
  RECORDED_METHOD(ShowFullScreen, VT_EMPTY, VTS_BOOL)
  RECORDED_METHOD(AddVideoWithSlowMotion, VT_BOOL, VTS_BSTR VTS_R8 VTS_R8 VTS_I2 VTS_R8)
  RECORDED_METHOD(AddAudioWithSlowMotion, VT_BOOL, VTS_BSTR VTS_R8 VTS_R8 VTS_R8)
  RECORDED_METHOD(AddAudioWithSlowMotionMer, VT_BOOL, VTS_BSTR VTS_R8 VTS_I2 VTS_R8)
  RECORDED_METHOD(AddVideoWithSlowMotionMer, VT_BOOL, VTS_BSTR VTS_R8 VTS_R8 VTS_I2 VTS_R8)
  RECORDED_METHOD(AddVideoSlow2, VT_BOOL, VTS_BSTR VTS_R8 VTS_R8 VTS_I2 VTS_R8)
  RECORDED_METHOD(AddAudioSlow2, VT_BOOL, VTS_BSTR VTS_R8 VTS_R8 VTS_R8)
  RECORDED_METHOD(CheckDivxFile, VT_BOOL, VTS_BSTR)
END_DISPATCH_MAP()

BEGIN_EVENT_MAP(CRecordingEngine, COleControl)
  EVENT_CUSTOM_ID("Complete", eventidComplete, FireComplete, VTS_NONE)
  EVENT_CUSTOM_ID("Processing", eventidProcessing, FireProcessing, VTS_R8 VTS_R8)
  EVENT_CUSTOM_ID("OnPlaying", eventidOnPlaying, FireOnPlaying, VTS_R8)
  EVENT_CUSTOM_ID("PreviewComplete", eventidPreviewComplete, FirePreviewComplete, VTS_NONE)
  EVENT_STOCK_DBLCLICK()
END_EVENT_MAP()

}  // namespace app_test
