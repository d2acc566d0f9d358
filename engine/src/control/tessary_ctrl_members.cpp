// The member table of _DTessary and _DTessaryEvents.
#include <cstring>

#include "control/tessary_ctrl.h"
#include "engine/tessary_ids.h"

// A property kept in a field of a group of the control's settings.
template <auto group, auto field>
struct GroupedProperty;
template <class Group, Group CTessaryCtrl::*group, class Field, Field Group::*field>
struct GroupedProperty<group, field> {
  static Group& Of(CCmdTarget* target) { return static_cast<CTessaryCtrl*>(target)->*group; }
  static HRESULT Get(CCmdTarget* target, const AFX_DISPMAP_ENTRY& entry, VARIANT**, UINT, VARIANT* result) {
    Field value = Of(target).*field;
    return mfc::disp::StoreResult(result, std::move(value), entry.vt);
  }
  static HRESULT Put(CCmdTarget* target, const AFX_DISPMAP_ENTRY&, VARIANT** inputs, UINT count, VARIANT*) {
    if (count < 1) return DISP_E_BADPARAMCOUNT;
    return mfc::disp::LoadMember(&Of(target), field, inputs[count - 1]) == S_OK ? S_OK : DISP_E_TYPEMISMATCH;
  }
};

// A property the control keeps: the put stores it, marks the control modified and notifies.
#define TESSARY_STORED(name, member, vt, mode)                                                        \
  {#name, dispid##name, afxDispProperty, vt, VTS_NONE, &mfc::disp::MemberProperty<&CTessaryCtrl::member>::Get, \
   &CTessaryCtrl::StoredPut<mfc::disp::MemberProperty<&CTessaryCtrl::member>, CTessaryCtrl::Notify::mode>},
// The same for a property kept in the output settings.
#define TESSARY_SETTING(name, field, vt, mode)                                                              \
  {#name, dispid##name, afxDispProperty, vt, VTS_NONE,                                                    \
   &GroupedProperty<&CTessaryCtrl::settings_, &OutputSettings::field>::Get,                                \
   &CTessaryCtrl::StoredPut<GroupedProperty<&CTessaryCtrl::settings_, &OutputSettings::field>,             \
                            CTessaryCtrl::Notify::mode>},
#define TESSARY_PROPERTY(name, get, set, vt) DISP_PROPERTY_EX_ID(CTessaryCtrl, #name, dispid##name, get, set, vt)
#define TESSARY_METHOD(name, vt, params) DISP_FUNCTION_ID(CTessaryCtrl, #name, dispid##name, name, vt, params)
// A method whose work is done elsewhere in the engine and not available here.
#define TESSARY_UNAVAILABLE(name, vt, params) \
  {#name, dispid##name, afxDispMethod, vt, params, &CTessaryCtrl::UnavailableCall, nullptr},

template <class Property, CTessaryCtrl::Notify mode>
HRESULT CTessaryCtrl::StoredPut(CCmdTarget* target, const AFX_DISPMAP_ENTRY& entry, VARIANT** inputs, UINT count,
                                VARIANT* result) {
  HRESULT hr = Property::Put(target, entry, inputs, count, result);
  if (FAILED(hr)) return hr;
  auto* control = static_cast<CTessaryCtrl*>(target);
  control->PropertyStored(entry.lDispID, mode);
  control->OverlayPropertyStored(entry.lDispID);
  return hr;
}

HRESULT CTessaryCtrl::UnavailableCall(CCmdTarget*, const AFX_DISPMAP_ENTRY& entry, VARIANT**, UINT count,
                                      VARIANT* result) {
  if (count < std::strlen(entry.lpszParams)) return DISP_E_BADPARAMCOUNT;
  if (!result || entry.vt == VT_EMPTY) return S_OK;
  if (entry.vt == VT_BSTR) return mfc::disp::StoreText(result, "");
  if (entry.vt == VT_DISPATCH) {
    VariantClear(result);
    result->vt = VT_DISPATCH;
    result->pdispVal = nullptr;
    return S_OK;
  }
  return mfc::disp::StoreNumber(result, 0.0, entry.vt);
}

BEGIN_DISPATCH_MAP(CTessaryCtrl, COleControl)
  TESSARY_PROPERTY(WMVProfiles, GetWMVProfiles, SetNotSupported, VT_DISPATCH)
  TESSARY_SETTING(WMVProfile, wmvProfile, VT_I2, DesignMode)
  TESSARY_SETTING(VideoCompressor, videoCompressor, VT_I2, DesignMode)
  TESSARY_PROPERTY(VideoCompressors, GetVideoCompressors, SetNotSupported, VT_DISPATCH)
  TESSARY_SETTING(UseVideoCompressor, useVideoCompressor, VT_BOOL, DesignMode)
  TESSARY_SETTING(AudioCompressor, audioCompressor, VT_I2, DesignMode)
  TESSARY_PROPERTY(AudioCompressors, GetAudioCompressors, SetNotSupported, VT_DISPATCH)
  TESSARY_SETTING(UseAudioCompressor, useAudioCompressor, VT_BOOL, DesignMode)
  TESSARY_STORED(Transition, transition_, VT_I2, DesignMode)
  TESSARY_PROPERTY(Transitions, GetTransitions, SetNotSupported, VT_DISPATCH)
  TESSARY_SETTING(OutputFileHeight, outputFileHeight, VT_I2, Always)
  TESSARY_SETTING(OutputFileWidth, outputFileWidth, VT_I2, Always)
  TESSARY_SETTING(VideoSampleSize, videoSampleSize, VT_I2, Always)
  TESSARY_SETTING(OutputAudio, outputAudio, VT_BOOL, Always)
  TESSARY_SETTING(OutputType, outputType, VT_I4, DesignMode)
  TESSARY_SETTING(FrameRate, frameRate, VT_R4, DesignMode)
  TESSARY_SETTING(MPEGAudioBitrate, mpegAudioBitrate, VT_I4, DesignMode)
  TESSARY_PROPERTY(EnumTransitions, GetEnumTransitions, SetEnumTransitions, VT_BOOL)
  TESSARY_PROPERTY(EnumWMVProfiles, GetEnumWMVProfiles, SetEnumWMVProfiles, VT_BOOL)
  TESSARY_SETTING(WMVCustomFileName, wmvCustomFileName, VT_BSTR, DesignMode)
  TESSARY_SETTING(DeleteTmpFiles, deleteTmpFiles, VT_BOOL, DesignMode)
  TESSARY_SETTING(MPEGAudioSampleRate, mpegAudioSampleRate, VT_I4, DesignMode)
  TESSARY_PROPERTY(AspectRatio, GetAspectRatio, SetAspectRatio, VT_BOOL)
  TESSARY_SETTING(DvVideoEncoderParam, dvVideoEncoderParam, VT_I2, DesignMode)
  TESSARY_SETTING(QTVideoCompressor, qtVideoCompressor, VT_I2, DesignMode)
  TESSARY_SETTING(QTAudioCompressor, qtAudioCompressor, VT_I2, DesignMode)
  TESSARY_SETTING(QTAudioChannels, qtAudioChannels, VT_I2, DesignMode)
  TESSARY_SETTING(QTAudioSampleRate, qtAudioSampleRate, VT_I4, DesignMode)
  TESSARY_SETTING(ShowImage, showImage, VT_BOOL, Always)
  TESSARY_SETTING(TextColor, textColor, VT_I4, DesignMode)
  TESSARY_SETTING(TextFontName, textFontName, VT_BSTR, Always)
  TESSARY_SETTING(TextFontSize, textFontSize, VT_I2, DesignMode)
  TESSARY_SETTING(TextStyle, textStyle, VT_I2, Never)
  TESSARY_SETTING(UseOverlay, useOverlay, VT_BOOL, Always)
  TESSARY_SETTING(TextFontStyle, textFontStyle, VT_I2, Always)
  TESSARY_SETTING(ShowText, showText, VT_BOOL, Always)
  TESSARY_SETTING(AudioChannels, audioChannels, VT_I2, Always)
  TESSARY_SETTING(AudioSample, audioSample, VT_I2, DesignMode)
  TESSARY_SETTING(RMDllPath, rmDllPath, VT_BSTR, DesignMode)
  TESSARY_SETTING(RMProfile, rmProfile, VT_I2, DesignMode)
  TESSARY_SETTING(RMVideoMode, rmVideoMode, VT_I2, DesignMode)
  TESSARY_SETTING(FLVAudioBitrate, flvAudioBitrate, VT_I4, DesignMode)
  TESSARY_SETTING(FLVAudioChannels, flvAudioChannels, VT_I2, DesignMode)
  TESSARY_SETTING(FLVAudioSampleRate, flvAudioSampleRate, VT_I4, DesignMode)
  TESSARY_SETTING(FLVVideoBitrate, flvVideoBitrate, VT_I4, DesignMode)
  TESSARY_SETTING(MPEGAudioChannels, mpegAudioChannels, VT_I2, DesignMode)
  TESSARY_SETTING(MPEGVideoBitrate, mpegVideoBitrate, VT_I4, DesignMode)
  TESSARY_SETTING(Video3GPAudioCodec, video3GPAudioCodec, VT_I4, DesignMode)
  TESSARY_SETTING(Video3GPVideoBitrate, video3GPVideoBitrate, VT_I4, DesignMode)
  TESSARY_SETTING(Video3GPVideoCodec, video3GPVideoCodec, VT_I4, DesignMode)
  TESSARY_SETTING(Video3GPAudioSampleRate, video3GPAudioSampleRate, VT_I4, DesignMode)
  TESSARY_SETTING(UseAVILameEncoder, useAVILameEncoder, VT_BOOL, Always)
  TESSARY_SETTING(AVILameSampleRate, aviLameSampleRate, VT_I4, Always)
  TESSARY_SETTING(AVILameBitrate, aviLameBitrate, VT_I2, Always)
  TESSARY_SETTING(SWFAudioBitrate, swfAudioBitrate, VT_I4, DesignMode)
  TESSARY_SETTING(SWFAudioChannels, swfAudioChannels, VT_I2, DesignMode)
  TESSARY_SETTING(SWFAudioSampleRate, swfAudioSampleRate, VT_I4, DesignMode)
  TESSARY_SETTING(SWFVideoBitrate, swfVideoBitrate, VT_I4, DesignMode)
  TESSARY_SETTING(AniGIFHeight, aniGIFHeight, VT_I2, DesignMode)
  TESSARY_SETTING(AniGIFLoop, aniGIFLoop, VT_I2, DesignMode)
  TESSARY_SETTING(AniGIFMaxColor, aniGIFMaxColor, VT_I2, DesignMode)
  TESSARY_SETTING(AniGIFQuantizer, aniGIFQuantizer, VT_I2, DesignMode)
  TESSARY_SETTING(AniGIFTransColor, aniGIFTransColor, VT_I4, DesignMode)
  TESSARY_PROPERTY(AniGIFVideoQuality, GetAniGIFVideoQuality, SetAniGIFVideoQuality, VT_I2)
  TESSARY_SETTING(AniGIFWidth, aniGIFWidth, VT_I2, DesignMode)
  TESSARY_SETTING(MPEGAspectRatio, mpegAspectRatio, VT_I2, DesignMode)
  TESSARY_SETTING(MP4Album, mp4Album, VT_BSTR, DesignMode)
  TESSARY_SETTING(MP4AudioBitrate, mp4AudioBitrate, VT_I4, DesignMode)
  TESSARY_SETTING(MP4AudioChannels, mp4AudioChannels, VT_I2, DesignMode)
  TESSARY_SETTING(MP4AudioSampleRate, mp4AudioSampleRate, VT_I4, DesignMode)
  TESSARY_SETTING(MP4Author, mp4Author, VT_BSTR, DesignMode)
  TESSARY_SETTING(MP4Codec, mp4Codec, VT_I2, DesignMode)
  TESSARY_SETTING(MP4Comment, mp4Comment, VT_BSTR, DesignMode)
  TESSARY_SETTING(MP4Copyright, mp4Copyright, VT_BSTR, DesignMode)
  TESSARY_SETTING(MP4Framerate, mp4Framerate, VT_I2, DesignMode)
  TESSARY_SETTING(MP4Title, mp4Title, VT_BSTR, DesignMode)
  TESSARY_SETTING(MP4VideoBitrate, mp4VideoBitrate, VT_I4, DesignMode)
  TESSARY_SETTING(MP4Width, mp4Width, VT_I2, DesignMode)
  TESSARY_SETTING(MP4Height, mp4Height, VT_I2, DesignMode)
  TESSARY_PROPERTY(ParenthWnd, GetParenthWnd, SetParenthWnd, VT_I4)
  TESSARY_STORED(PrePos, prePos_, VT_R8, Never)
  TESSARY_PROPERTY(SetDivx, GetSetDivx, SetSetDivx, VT_BOOL)
  TESSARY_SETTING(FLVFrameRate, flvFrameRate, VT_I2, DesignMode)
  TESSARY_SETTING(SWFFrameRate, swfFrameRate, VT_I2, DesignMode)

  TESSARY_METHOD(Save, VT_BOOL, VTS_BSTR)
  TESSARY_METHOD(Cancel, VT_EMPTY, VTS_NONE)
  TESSARY_METHOD(GetFileDuration, VT_R8, VTS_BSTR)
  TESSARY_METHOD(GetTotalDuration, VT_R8, VTS_NONE)
  TESSARY_METHOD(Preview, VT_BOOL, VTS_NONE)
  TESSARY_METHOD(AddAudio, VT_BOOL, VTS_BSTR VTS_R8 VTS_R8)
  TESSARY_METHOD(AddVideo, VT_BOOL, VTS_BSTR VTS_R8 VTS_R8 VTS_I2)
  TESSARY_METHOD(AddBgVideo, VT_BOOL, VTS_BSTR VTS_R8 VTS_R8 VTS_I2)
  TESSARY_METHOD(AddTransition, VT_BOOL, VTS_I2 VTS_R8 VTS_R8)
  TESSARY_METHOD(GetFileHeight, VT_I2, VTS_BSTR)
  TESSARY_METHOD(GetFileWidth, VT_I2, VTS_BSTR)
  TESSARY_METHOD(GetFileFrameRate, VT_R8, VTS_BSTR)
  TESSARY_METHOD(InitControl, VT_EMPTY, VTS_NONE)
  TESSARY_METHOD(Stop, VT_EMPTY, VTS_NONE)
  TESSARY_METHOD(Save2WMA, VT_BOOL, VTS_BSTR)
  TESSARY_METHOD(MPEGStatus, VT_BSTR, VTS_NONE)
  TESSARY_METHOD(Pause, VT_EMPTY, VTS_NONE)
  TESSARY_METHOD(Play, VT_EMPTY, VTS_NONE)
  TESSARY_METHOD(Save2Wave, VT_BOOL, VTS_BSTR VTS_I2 VTS_I4 VTS_I2)
  TESSARY_METHOD(AddBgAudio, VT_BOOL, VTS_BSTR VTS_R8 VTS_R8)
  TESSARY_METHOD(GetAudioStream, VT_BOOL, VTS_BSTR)
  TESSARY_METHOD(GetFrame2HBitmap, VT_I4, VTS_BSTR VTS_R8)
  TESSARY_METHOD(GetFrame2Picture, VT_DISPATCH, VTS_BSTR VTS_R8)
  TESSARY_METHOD(GetFrameBySize2HBitmap, VT_I4, VTS_BSTR VTS_R8 VTS_I4 VTS_I4)
  TESSARY_METHOD(GetFrameBySize2Picture, VT_DISPATCH, VTS_BSTR VTS_R8 VTS_I4 VTS_I4)
  TESSARY_METHOD(AddEffect, VT_BOOL, VTS_I4 VTS_R8 VTS_R8 VTS_BSTR VTS_BSTR VTS_BSTR VTS_BSTR)
  TESSARY_METHOD(GetFrame, VT_BOOL, VTS_BSTR VTS_R8 VTS_BSTR VTS_I2)
  TESSARY_METHOD(ReleasePictureBox, VT_EMPTY, VTS_DISPATCH)
  TESSARY_METHOD(GetFrameBySize, VT_BOOL, VTS_BSTR VTS_R8 VTS_BSTR VTS_I4 VTS_I4 VTS_I2)
  TESSARY_METHOD(SetPos, VT_EMPTY, VTS_R8)
  TESSARY_METHOD(GetPos, VT_R8, VTS_NONE)
  TESSARY_METHOD(DrawImage, VT_EMPTY, VTS_I2 VTS_I2 VTS_BSTR VTS_COLOR VTS_I2)
  TESSARY_METHOD(DrawText, VT_I2, VTS_I2 VTS_I2 VTS_BSTR)
  TESSARY_METHOD(SetHashBrushValue, VT_EMPTY, VTS_I2 VTS_COLOR VTS_COLOR)
  TESSARY_METHOD(SetTextureBrushImage, VT_EMPTY, VTS_BSTR)
  TESSARY_METHOD(SetOutlineTextBackColor, VT_EMPTY, VTS_COLOR)
  TESSARY_METHOD(SetOutlineTextBorderColor, VT_EMPTY, VTS_COLOR)
  TESSARY_METHOD(Save2MP3, VT_BOOL, VTS_BSTR VTS_I4 VTS_I2)
  TESSARY_METHOD(LoadRmProfiles, VT_EMPTY, VTS_NONE)
  TESSARY_METHOD(GetRMProfilesCount, VT_I2, VTS_NONE)
  TESSARY_METHOD(GetRMProfileName, VT_BSTR, VTS_I2)
  TESSARY_UNAVAILABLE(FrameGrabberByTime, VT_BOOL, VTS_BSTR VTS_R8 VTS_R8 VTS_I2 VTS_BSTR)
  TESSARY_METHOD(GetFileTotalFrame, VT_R8, VTS_BSTR)
  TESSARY_UNAVAILABLE(FrameGrabber, VT_BOOL, VTS_BSTR VTS_I4 VTS_I4 VTS_I2 VTS_BSTR)
  TESSARY_UNAVAILABLE(FrameGrabber2, VT_BOOL, VTS_BSTR VTS_I4 VTS_I4 VTS_I2 VTS_BSTR VTS_I2 VTS_I2)
  TESSARY_UNAVAILABLE(FrameGrabberByTime2, VT_BOOL, VTS_BSTR VTS_R8 VTS_R8 VTS_I2 VTS_BSTR VTS_I2 VTS_I2)
  TESSARY_METHOD(StopFrameGrabber, VT_EMPTY, VTS_NONE)
  TESSARY_METHOD(AddAudioWithTran, VT_BOOL, VTS_BSTR VTS_R8 VTS_R8 VTS_R8)
  TESSARY_METHOD(AddVideoWithTran, VT_BOOL, VTS_BSTR VTS_R8 VTS_R8 VTS_I2 VTS_I2 VTS_R8)
  TESSARY_METHOD(ResizeControl, VT_EMPTY, VTS_I2 VTS_I2 VTS_I2 VTS_I2)
  TESSARY_METHOD(IsPause, VT_BOOL, VTS_NONE)
  TESSARY_METHOD(ShowFullScreen, VT_EMPTY, VTS_BOOL)
  TESSARY_METHOD(AddVideoWithSlowMotion, VT_BOOL, VTS_BSTR VTS_R8 VTS_R8 VTS_I2 VTS_R8)
  TESSARY_METHOD(AddAudioWithSlowMotion, VT_BOOL, VTS_BSTR VTS_R8 VTS_R8 VTS_R8)
  TESSARY_METHOD(AddAudioWithSlowMotionMer, VT_BOOL, VTS_BSTR VTS_R8 VTS_I2 VTS_R8)
  TESSARY_METHOD(AddVideoWithSlowMotionMer, VT_BOOL, VTS_BSTR VTS_R8 VTS_R8 VTS_I2 VTS_R8)
  TESSARY_METHOD(AddVideoSlow2, VT_BOOL, VTS_BSTR VTS_R8 VTS_R8 VTS_I2 VTS_R8)
  TESSARY_METHOD(AddAudioSlow2, VT_BOOL, VTS_BSTR VTS_R8 VTS_R8 VTS_R8)
  TESSARY_METHOD(CheckDivxFile, VT_BOOL, VTS_BSTR)
  DISP_FUNCTION_ID(CTessaryCtrl, "AboutBox", DISPID_ABOUTBOX, AboutBox, VT_EMPTY, VTS_NONE)
END_DISPATCH_MAP()

BEGIN_EVENT_MAP(CTessaryCtrl, COleControl)
  EVENT_CUSTOM_ID("Complete", eventidComplete, FireComplete, VTS_NONE)
  EVENT_CUSTOM_ID("Processing", eventidProcessing, FireProcessing, VTS_R8 VTS_R8)
  EVENT_CUSTOM_ID("OnPlaying", eventidOnPlaying, FireOnPlaying, VTS_R8)
  EVENT_CUSTOM_ID("PreviewComplete", eventidPreviewComplete, FirePreviewComplete, VTS_NONE)
  EVENT_STOCK_DBLCLICK()
END_EVENT_MAP()
