// The member table of _DTessary and _DTessaryEvents.
#include <cstring>

#include "control/tessary_ctrl.h"
#include "engine/tessary_ids.h"

// A property kept in a member: the put stores it, marks the control modified and notifies.
#define TESSARY_STORED(name, member, vt, mode)                                                        \
  {#name, dispid##name, afxDispProperty, vt, VTS_NONE, &afx_disp::MemberProperty<&CTessaryCtrl::member>::Get, \
   &CTessaryCtrl::StoredPut<&CTessaryCtrl::member, CTessaryCtrl::Notify::mode>},
#define TESSARY_PROPERTY(name, get, set, vt) DISP_PROPERTY_EX_ID(CTessaryCtrl, #name, dispid##name, get, set, vt)
#define TESSARY_METHOD(name, vt, params) DISP_FUNCTION_ID(CTessaryCtrl, #name, dispid##name, name, vt, params)
// A method whose work is done elsewhere in the engine and not available here.
#define TESSARY_UNAVAILABLE(name, vt, params) \
  {#name, dispid##name, afxDispMethod, vt, params, &CTessaryCtrl::UnavailableCall, nullptr},

template <auto member, CTessaryCtrl::Notify mode>
HRESULT CTessaryCtrl::StoredPut(CCmdTarget* target, const AFX_DISPMAP_ENTRY& entry, VARIANT** inputs, UINT count,
                                VARIANT* result) {
  HRESULT hr = afx_disp::MemberProperty<member>::Put(target, entry, inputs, count, result);
  if (SUCCEEDED(hr)) static_cast<CTessaryCtrl*>(target)->PropertyStored(entry.lDispID, mode);
  return hr;
}

HRESULT CTessaryCtrl::UnavailableCall(CCmdTarget*, const AFX_DISPMAP_ENTRY& entry, VARIANT**, UINT count,
                                      VARIANT* result) {
  if (count < std::strlen(entry.lpszParams)) return DISP_E_BADPARAMCOUNT;
  if (!result || entry.vt == VT_EMPTY) return S_OK;
  if (entry.vt == VT_BSTR) return afx_disp::StoreText(result, "");
  if (entry.vt == VT_DISPATCH) {
    VariantClear(result);
    result->vt = VT_DISPATCH;
    result->pdispVal = nullptr;
    return S_OK;
  }
  return afx_disp::StoreNumber(result, 0.0, entry.vt);
}

BEGIN_DISPATCH_MAP(CTessaryCtrl, COleControl)
  TESSARY_PROPERTY(WMVProfiles, GetWMVProfiles, SetNotSupported, VT_DISPATCH)
  TESSARY_STORED(WMVProfile, m_nWMVProfile, VT_I2, DesignMode)
  TESSARY_STORED(VideoCompressor, m_nVideoCompressor, VT_I2, DesignMode)
  TESSARY_PROPERTY(VideoCompressors, GetVideoCompressors, SetNotSupported, VT_DISPATCH)
  TESSARY_STORED(UseVideoCompressor, m_bUseVideoCompressor, VT_BOOL, DesignMode)
  TESSARY_STORED(AudioCompressor, m_nAudioCompressor, VT_I2, DesignMode)
  TESSARY_PROPERTY(AudioCompressors, GetAudioCompressors, SetNotSupported, VT_DISPATCH)
  TESSARY_STORED(UseAudioCompressor, m_bUseAudioCompressor, VT_BOOL, DesignMode)
  TESSARY_STORED(Transition, m_nTransition, VT_I2, DesignMode)
  TESSARY_PROPERTY(Transitions, GetTransitions, SetNotSupported, VT_DISPATCH)
  TESSARY_STORED(OutputFileHeight, m_nOutputFileHeight, VT_I2, Always)
  TESSARY_STORED(OutputFileWidth, m_nOutputFileWidth, VT_I2, Always)
  TESSARY_STORED(VideoSampleSize, m_nVideoSampleSize, VT_I2, Always)
  TESSARY_STORED(OutputAudio, m_bOutputAudio, VT_BOOL, Always)
  TESSARY_STORED(OutputType, m_nOutputType, VT_I4, DesignMode)
  TESSARY_STORED(FrameRate, m_fFrameRate, VT_R4, DesignMode)
  TESSARY_STORED(MPEGAudioBitrate, m_nMPEGAudioBitrate, VT_I4, DesignMode)
  TESSARY_PROPERTY(EnumTransitions, GetEnumTransitions, SetEnumTransitions, VT_BOOL)
  TESSARY_PROPERTY(EnumWMVProfiles, GetEnumWMVProfiles, SetEnumWMVProfiles, VT_BOOL)
  TESSARY_STORED(WMVCustomFileName, m_strWMVCustomFileName, VT_BSTR, DesignMode)
  TESSARY_STORED(DeleteTmpFiles, m_bDeleteTmpFiles, VT_BOOL, DesignMode)
  TESSARY_STORED(MPEGAudioSampleRate, m_nMPEGAudioSampleRate, VT_I4, DesignMode)
  // The video window is fitted again here once preview places one.
  TESSARY_STORED(AspectRatio, m_bAspectRatio, VT_BOOL, DesignMode)
  TESSARY_STORED(DvVideoEncoderParam, m_nDvVideoEncoderParam, VT_I2, DesignMode)
  TESSARY_STORED(QTVideoCompressor, m_nQTVideoCompressor, VT_I2, DesignMode)
  TESSARY_STORED(QTAudioCompressor, m_nQTAudioCompressor, VT_I2, DesignMode)
  TESSARY_STORED(QTAudioChannels, m_nQTAudioChannels, VT_I2, DesignMode)
  TESSARY_STORED(QTAudioSampleRate, m_nQTAudioSampleRate, VT_I4, DesignMode)
  TESSARY_STORED(ShowImage, m_bShowImage, VT_BOOL, Always)
  TESSARY_STORED(TextColor, m_clrTextColor, VT_I4, DesignMode)
  TESSARY_STORED(TextFontName, m_strTextFontName, VT_BSTR, Always)
  TESSARY_STORED(TextFontSize, m_nTextFontSize, VT_I2, DesignMode)
  TESSARY_STORED(TextStyle, m_nTextStyle, VT_I2, Never)
  TESSARY_STORED(UseOverlay, m_bUseOverlay, VT_BOOL, Always)
  TESSARY_STORED(TextFontStyle, m_nTextFontStyle, VT_I2, Always)
  TESSARY_STORED(ShowText, m_bShowText, VT_BOOL, Always)
  TESSARY_STORED(AudioChannels, m_nAudioChannels, VT_I2, Always)
  TESSARY_STORED(AudioSample, m_nAudioSample, VT_I2, DesignMode)
  TESSARY_STORED(RMDllPath, m_strRMDllPath, VT_BSTR, DesignMode)
  TESSARY_STORED(RMProfile, m_nRMProfile, VT_I2, DesignMode)
  TESSARY_STORED(RMVideoMode, m_nRMVideoMode, VT_I2, DesignMode)
  TESSARY_STORED(FLVAudioBitrate, m_nFLVAudioBitrate, VT_I4, DesignMode)
  TESSARY_STORED(FLVAudioChannels, m_nFLVAudioChannels, VT_I2, DesignMode)
  TESSARY_STORED(FLVAudioSampleRate, m_nFLVAudioSampleRate, VT_I4, DesignMode)
  TESSARY_STORED(FLVVideoBitrate, m_nFLVVideoBitrate, VT_I4, DesignMode)
  TESSARY_STORED(MPEGAudioChannels, m_nMPEGAudioChannels, VT_I2, DesignMode)
  TESSARY_STORED(MPEGVideoBitrate, m_nMPEGVideoBitrate, VT_I4, DesignMode)
  TESSARY_STORED(Video3GPAudioCodec, m_nVideo3GPAudioCodec, VT_I4, DesignMode)
  TESSARY_STORED(Video3GPVideoBitrate, m_nVideo3GPVideoBitrate, VT_I4, DesignMode)
  TESSARY_STORED(Video3GPVideoCodec, m_nVideo3GPVideoCodec, VT_I4, DesignMode)
  TESSARY_STORED(Video3GPAudioSampleRate, m_nVideo3GPAudioSampleRate, VT_I4, DesignMode)
  TESSARY_STORED(UseAVILameEncoder, m_bUseAVILameEncoder, VT_BOOL, Always)
  TESSARY_STORED(AVILameSampleRate, m_nAVILameSampleRate, VT_I4, Always)
  TESSARY_STORED(AVILameBitrate, m_nAVILameBitrate, VT_I2, Always)
  TESSARY_STORED(SWFAudioBitrate, m_nSWFAudioBitrate, VT_I4, DesignMode)
  TESSARY_STORED(SWFAudioChannels, m_nSWFAudioChannels, VT_I2, DesignMode)
  TESSARY_STORED(SWFAudioSampleRate, m_nSWFAudioSampleRate, VT_I4, DesignMode)
  TESSARY_STORED(SWFVideoBitrate, m_nSWFVideoBitrate, VT_I4, DesignMode)
  TESSARY_STORED(AniGIFHeight, m_nAniGIFHeight, VT_I2, DesignMode)
  TESSARY_STORED(AniGIFLoop, m_nAniGIFLoop, VT_I2, DesignMode)
  TESSARY_STORED(AniGIFMaxColor, m_nAniGIFMaxColor, VT_I2, DesignMode)
  TESSARY_STORED(AniGIFQuantizer, m_nAniGIFQuantizer, VT_I2, DesignMode)
  TESSARY_STORED(AniGIFTransColor, m_clrAniGIFTransColor, VT_I4, DesignMode)
  TESSARY_PROPERTY(AniGIFVideoQuality, GetAniGIFVideoQuality, SetAniGIFVideoQuality, VT_I2)
  TESSARY_STORED(AniGIFWidth, m_nAniGIFWidth, VT_I2, DesignMode)
  TESSARY_STORED(MPEGAspectRatio, m_nMPEGAspectRatio, VT_I2, DesignMode)
  TESSARY_STORED(MP4Album, m_strMP4Album, VT_BSTR, DesignMode)
  TESSARY_STORED(MP4AudioBitrate, m_nMP4AudioBitrate, VT_I4, DesignMode)
  TESSARY_STORED(MP4AudioChannels, m_nMP4AudioChannels, VT_I2, DesignMode)
  TESSARY_STORED(MP4AudioSampleRate, m_nMP4AudioSampleRate, VT_I4, DesignMode)
  TESSARY_STORED(MP4Author, m_strMP4Author, VT_BSTR, DesignMode)
  TESSARY_STORED(MP4Codec, m_nMP4Codec, VT_I2, DesignMode)
  TESSARY_STORED(MP4Comment, m_strMP4Comment, VT_BSTR, DesignMode)
  TESSARY_STORED(MP4Copyright, m_strMP4Copyright, VT_BSTR, DesignMode)
  TESSARY_STORED(MP4Framerate, m_nMP4Framerate, VT_I2, DesignMode)
  TESSARY_STORED(MP4Title, m_strMP4Title, VT_BSTR, DesignMode)
  TESSARY_STORED(MP4VideoBitrate, m_nMP4VideoBitrate, VT_I4, DesignMode)
  TESSARY_STORED(MP4Width, m_nMP4Width, VT_I2, DesignMode)
  TESSARY_STORED(MP4Height, m_nMP4Height, VT_I2, DesignMode)
  TESSARY_PROPERTY(ParenthWnd, GetParenthWnd, SetParenthWnd, VT_I4)
  TESSARY_STORED(PrePos, m_dPrePos, VT_R8, Never)
  TESSARY_PROPERTY(SetDivx, GetSetDivx, SetSetDivx, VT_BOOL)
  TESSARY_STORED(FLVFrameRate, m_nFLVFrameRate, VT_I2, DesignMode)
  TESSARY_STORED(SWFFrameRate, m_nSWFFrameRate, VT_I2, DesignMode)

  TESSARY_METHOD(Save, VT_BOOL, VTS_BSTR)
  TESSARY_METHOD(Cancel, VT_EMPTY, VTS_NONE)
  TESSARY_UNAVAILABLE(GetFileDuration, VT_R8, VTS_BSTR)
  TESSARY_METHOD(GetTotalDuration, VT_R8, VTS_NONE)
  TESSARY_UNAVAILABLE(Preview, VT_BOOL, VTS_NONE)
  TESSARY_METHOD(AddAudio, VT_BOOL, VTS_BSTR VTS_R8 VTS_R8)
  TESSARY_METHOD(AddVideo, VT_BOOL, VTS_BSTR VTS_R8 VTS_R8 VTS_I2)
  TESSARY_METHOD(AddBgVideo, VT_BOOL, VTS_BSTR VTS_R8 VTS_R8 VTS_I2)
  TESSARY_UNAVAILABLE(AddTransition, VT_BOOL, VTS_I2 VTS_R8 VTS_R8)
  TESSARY_UNAVAILABLE(GetFileHeight, VT_I2, VTS_BSTR)
  TESSARY_UNAVAILABLE(GetFileWidth, VT_I2, VTS_BSTR)
  TESSARY_UNAVAILABLE(GetFileFrameRate, VT_R8, VTS_BSTR)
  TESSARY_METHOD(InitControl, VT_EMPTY, VTS_NONE)
  TESSARY_METHOD(Stop, VT_EMPTY, VTS_NONE)
  TESSARY_UNAVAILABLE(Save2WMA, VT_BOOL, VTS_BSTR)
  TESSARY_METHOD(MPEGStatus, VT_BSTR, VTS_NONE)
  TESSARY_UNAVAILABLE(Pause, VT_EMPTY, VTS_NONE)
  TESSARY_UNAVAILABLE(Play, VT_EMPTY, VTS_NONE)
  TESSARY_UNAVAILABLE(Save2Wave, VT_BOOL, VTS_BSTR VTS_I2 VTS_I4 VTS_I2)
  TESSARY_METHOD(AddBgAudio, VT_BOOL, VTS_BSTR VTS_R8 VTS_R8)
  TESSARY_UNAVAILABLE(GetAudioStream, VT_BOOL, VTS_BSTR)
  TESSARY_UNAVAILABLE(GetFrame2HBitmap, VT_I4, VTS_BSTR VTS_R8)
  TESSARY_UNAVAILABLE(GetFrame2Picture, VT_DISPATCH, VTS_BSTR VTS_R8)
  TESSARY_UNAVAILABLE(GetFrameBySize2HBitmap, VT_I4, VTS_BSTR VTS_R8 VTS_I4 VTS_I4)
  TESSARY_UNAVAILABLE(GetFrameBySize2Picture, VT_DISPATCH, VTS_BSTR VTS_R8 VTS_I4 VTS_I4)
  TESSARY_UNAVAILABLE(AddEffect, VT_BOOL, VTS_I4 VTS_R8 VTS_R8 VTS_BSTR VTS_BSTR VTS_BSTR VTS_BSTR)
  TESSARY_UNAVAILABLE(GetFrame, VT_BOOL, VTS_BSTR VTS_R8 VTS_BSTR VTS_I2)
  TESSARY_UNAVAILABLE(ReleasePictureBox, VT_EMPTY, VTS_DISPATCH)
  TESSARY_UNAVAILABLE(GetFrameBySize, VT_BOOL, VTS_BSTR VTS_R8 VTS_BSTR VTS_I4 VTS_I4 VTS_I2)
  TESSARY_UNAVAILABLE(SetPos, VT_EMPTY, VTS_R8)
  TESSARY_UNAVAILABLE(GetPos, VT_R8, VTS_NONE)
  TESSARY_UNAVAILABLE(DrawImage, VT_EMPTY, VTS_I2 VTS_I2 VTS_BSTR VTS_COLOR VTS_I2)
  TESSARY_UNAVAILABLE(DrawText, VT_I2, VTS_I2 VTS_I2 VTS_BSTR)
  TESSARY_UNAVAILABLE(SetHashBrushValue, VT_EMPTY, VTS_I2 VTS_COLOR VTS_COLOR)
  TESSARY_UNAVAILABLE(SetTextureBrushImage, VT_EMPTY, VTS_BSTR)
  TESSARY_UNAVAILABLE(SetOutlineTextBackColor, VT_EMPTY, VTS_COLOR)
  TESSARY_UNAVAILABLE(SetOutlineTextBorderColor, VT_EMPTY, VTS_COLOR)
  TESSARY_UNAVAILABLE(Save2MP3, VT_BOOL, VTS_BSTR VTS_I4 VTS_I2)
  TESSARY_UNAVAILABLE(LoadRmProfiles, VT_EMPTY, VTS_NONE)
  TESSARY_UNAVAILABLE(GetRMProfilesCount, VT_I2, VTS_NONE)
  TESSARY_UNAVAILABLE(GetRMProfileName, VT_BSTR, VTS_I2)
  TESSARY_UNAVAILABLE(FrameGrabberByTime, VT_BOOL, VTS_BSTR VTS_R8 VTS_R8 VTS_I2 VTS_BSTR)
  TESSARY_UNAVAILABLE(GetFileTotalFrame, VT_R8, VTS_BSTR)
  TESSARY_UNAVAILABLE(FrameGrabber, VT_BOOL, VTS_BSTR VTS_I4 VTS_I4 VTS_I2 VTS_BSTR)
  TESSARY_UNAVAILABLE(FrameGrabber2, VT_BOOL, VTS_BSTR VTS_I4 VTS_I4 VTS_I2 VTS_BSTR VTS_I2 VTS_I2)
  TESSARY_UNAVAILABLE(FrameGrabberByTime2, VT_BOOL, VTS_BSTR VTS_R8 VTS_R8 VTS_I2 VTS_BSTR VTS_I2 VTS_I2)
  TESSARY_UNAVAILABLE(StopFrameGrabber, VT_EMPTY, VTS_NONE)
  TESSARY_METHOD(AddAudioWithTran, VT_BOOL, VTS_BSTR VTS_R8 VTS_R8 VTS_R8)
  TESSARY_METHOD(AddVideoWithTran, VT_BOOL, VTS_BSTR VTS_R8 VTS_R8 VTS_I2 VTS_I2 VTS_R8)
  TESSARY_UNAVAILABLE(ResizeControl, VT_EMPTY, VTS_I2 VTS_I2 VTS_I2 VTS_I2)
  TESSARY_UNAVAILABLE(IsPause, VT_BOOL, VTS_NONE)
  TESSARY_UNAVAILABLE(ShowFullScreen, VT_EMPTY, VTS_BOOL)
  TESSARY_METHOD(AddVideoWithSlowMotion, VT_BOOL, VTS_BSTR VTS_R8 VTS_R8 VTS_I2 VTS_R8)
  TESSARY_METHOD(AddAudioWithSlowMotion, VT_BOOL, VTS_BSTR VTS_R8 VTS_R8 VTS_R8)
  TESSARY_METHOD(AddAudioWithSlowMotionMer, VT_BOOL, VTS_BSTR VTS_R8 VTS_I2 VTS_R8)
  TESSARY_METHOD(AddVideoWithSlowMotionMer, VT_BOOL, VTS_BSTR VTS_R8 VTS_R8 VTS_I2 VTS_R8)
  TESSARY_METHOD(AddVideoSlow2, VT_BOOL, VTS_BSTR VTS_R8 VTS_R8 VTS_I2 VTS_R8)
  TESSARY_METHOD(AddAudioSlow2, VT_BOOL, VTS_BSTR VTS_R8 VTS_R8 VTS_R8)
  TESSARY_UNAVAILABLE(CheckDivxFile, VT_BOOL, VTS_BSTR)
  DISP_FUNCTION_ID(CTessaryCtrl, "AboutBox", DISPID_ABOUTBOX, AboutBox, VT_EMPTY, VTS_NONE)
END_DISPATCH_MAP()

BEGIN_EVENT_MAP(CTessaryCtrl, COleControl)
  EVENT_CUSTOM_ID("Complete", eventidComplete, FireComplete, VTS_NONE)
  EVENT_CUSTOM_ID("Processing", eventidProcessing, FireProcessing, VTS_R8 VTS_R8)
  EVENT_CUSTOM_ID("OnPlaying", eventidOnPlaying, FireOnPlaying, VTS_R8)
  EVENT_CUSTOM_ID("PreviewComplete", eventidPreviewComplete, FirePreviewComplete, VTS_NONE)
  EVENT_STOCK_DBLCLICK()
END_EVENT_MAP()
