#include "tessary.h"

#include "engine/tessary_ids.h"

namespace {
const BYTE* Params(const char* types) { return reinterpret_cast<const BYTE*>(types); }
}  // namespace

IMPLEMENT_DYNCREATE(CTessary, CWnd)

CLSID CTessary::GetClsid() { return CLSID_Tessary; }

BOOL CTessary::Create(LPCTSTR windowName, DWORD style, const RECT& rect, CWnd* parent, UINT id) {
  return AfxCreateControl(this, GetClsid(), windowName, style, rect, parent, id);
}

CWMVProfilesDriver CTessary::GetWMVProfiles() {
  LPDISPATCH collection = nullptr;
  AfxControlGetProperty(this, dispidWMVProfiles, VT_DISPATCH, &collection);
  return CWMVProfilesDriver(collection);
}

short CTessary::GetWMVProfile() {
  short result{};
  AfxControlGetProperty(this, dispidWMVProfile, VT_I2, &result);
  return result;
}

void CTessary::SetWMVProfile(short value) { AfxControlSetProperty(this, dispidWMVProfile, VT_I2, int(value)); }

short CTessary::GetVideoCompressor() {
  short result{};
  AfxControlGetProperty(this, dispidVideoCompressor, VT_I2, &result);
  return result;
}

void CTessary::SetVideoCompressor(short value) { AfxControlSetProperty(this, dispidVideoCompressor, VT_I2, int(value)); }

CVideoCompressorsDriver CTessary::GetVideoCompressors() {
  LPDISPATCH collection = nullptr;
  AfxControlGetProperty(this, dispidVideoCompressors, VT_DISPATCH, &collection);
  return CVideoCompressorsDriver(collection);
}

BOOL CTessary::GetUseVideoCompressor() {
  BOOL result{};
  AfxControlGetProperty(this, dispidUseVideoCompressor, VT_BOOL, &result);
  return result;
}

void CTessary::SetUseVideoCompressor(BOOL value) { AfxControlSetProperty(this, dispidUseVideoCompressor, VT_BOOL, int(value)); }

short CTessary::GetAudioCompressor() {
  short result{};
  AfxControlGetProperty(this, dispidAudioCompressor, VT_I2, &result);
  return result;
}

void CTessary::SetAudioCompressor(short value) { AfxControlSetProperty(this, dispidAudioCompressor, VT_I2, int(value)); }

CAudioCompressorsDriver CTessary::GetAudioCompressors() {
  LPDISPATCH collection = nullptr;
  AfxControlGetProperty(this, dispidAudioCompressors, VT_DISPATCH, &collection);
  return CAudioCompressorsDriver(collection);
}

BOOL CTessary::GetUseAudioCompressor() {
  BOOL result{};
  AfxControlGetProperty(this, dispidUseAudioCompressor, VT_BOOL, &result);
  return result;
}

void CTessary::SetUseAudioCompressor(BOOL value) { AfxControlSetProperty(this, dispidUseAudioCompressor, VT_BOOL, int(value)); }

short CTessary::GetTransition() {
  short result{};
  AfxControlGetProperty(this, dispidTransition, VT_I2, &result);
  return result;
}

void CTessary::SetTransition(short value) { AfxControlSetProperty(this, dispidTransition, VT_I2, int(value)); }

CTransitionsDriver CTessary::GetTransitions() {
  LPDISPATCH collection = nullptr;
  AfxControlGetProperty(this, dispidTransitions, VT_DISPATCH, &collection);
  return CTransitionsDriver(collection);
}

short CTessary::GetOutputFileHeight() {
  short result{};
  AfxControlGetProperty(this, dispidOutputFileHeight, VT_I2, &result);
  return result;
}

void CTessary::SetOutputFileHeight(short value) { AfxControlSetProperty(this, dispidOutputFileHeight, VT_I2, int(value)); }

short CTessary::GetOutputFileWidth() {
  short result{};
  AfxControlGetProperty(this, dispidOutputFileWidth, VT_I2, &result);
  return result;
}

void CTessary::SetOutputFileWidth(short value) { AfxControlSetProperty(this, dispidOutputFileWidth, VT_I2, int(value)); }

short CTessary::GetVideoSampleSize() {
  short result{};
  AfxControlGetProperty(this, dispidVideoSampleSize, VT_I2, &result);
  return result;
}

void CTessary::SetVideoSampleSize(short value) { AfxControlSetProperty(this, dispidVideoSampleSize, VT_I2, int(value)); }

BOOL CTessary::GetOutputAudio() {
  BOOL result{};
  AfxControlGetProperty(this, dispidOutputAudio, VT_BOOL, &result);
  return result;
}

void CTessary::SetOutputAudio(BOOL value) { AfxControlSetProperty(this, dispidOutputAudio, VT_BOOL, int(value)); }

long CTessary::GetOutputType() {
  LONG result{};
  AfxControlGetProperty(this, dispidOutputType, VT_I4, &result);
  return static_cast<long>(result);
}

void CTessary::SetOutputType(long value) { AfxControlSetProperty(this, dispidOutputType, VT_I4, LONG(value)); }

float CTessary::GetFrameRate() {
  float result{};
  AfxControlGetProperty(this, dispidFrameRate, VT_R4, &result);
  return result;
}

void CTessary::SetFrameRate(float value) { AfxControlSetProperty(this, dispidFrameRate, VT_R4, double(value)); }

long CTessary::GetMPEGAudioBitrate() {
  LONG result{};
  AfxControlGetProperty(this, dispidMPEGAudioBitrate, VT_I4, &result);
  return static_cast<long>(result);
}

void CTessary::SetMPEGAudioBitrate(long value) { AfxControlSetProperty(this, dispidMPEGAudioBitrate, VT_I4, LONG(value)); }

BOOL CTessary::GetEnumTransitions() {
  BOOL result{};
  AfxControlGetProperty(this, dispidEnumTransitions, VT_BOOL, &result);
  return result;
}

void CTessary::SetEnumTransitions(BOOL value) { AfxControlSetProperty(this, dispidEnumTransitions, VT_BOOL, int(value)); }

BOOL CTessary::GetEnumWMVProfiles() {
  BOOL result{};
  AfxControlGetProperty(this, dispidEnumWMVProfiles, VT_BOOL, &result);
  return result;
}

void CTessary::SetEnumWMVProfiles(BOOL value) { AfxControlSetProperty(this, dispidEnumWMVProfiles, VT_BOOL, int(value)); }

CString CTessary::GetWMVCustomFileName() {
  CString result{};
  AfxControlGetProperty(this, dispidWMVCustomFileName, VT_BSTR, &result);
  return result;
}

void CTessary::SetWMVCustomFileName(LPCTSTR value) { AfxControlSetProperty(this, dispidWMVCustomFileName, VT_BSTR, value); }

BOOL CTessary::GetDeleteTmpFiles() {
  BOOL result{};
  AfxControlGetProperty(this, dispidDeleteTmpFiles, VT_BOOL, &result);
  return result;
}

void CTessary::SetDeleteTmpFiles(BOOL value) { AfxControlSetProperty(this, dispidDeleteTmpFiles, VT_BOOL, int(value)); }

long CTessary::GetMPEGAudioSampleRate() {
  LONG result{};
  AfxControlGetProperty(this, dispidMPEGAudioSampleRate, VT_I4, &result);
  return static_cast<long>(result);
}

void CTessary::SetMPEGAudioSampleRate(long value) { AfxControlSetProperty(this, dispidMPEGAudioSampleRate, VT_I4, LONG(value)); }

BOOL CTessary::GetAspectRatio() {
  BOOL result{};
  AfxControlGetProperty(this, dispidAspectRatio, VT_BOOL, &result);
  return result;
}

void CTessary::SetAspectRatio(BOOL value) { AfxControlSetProperty(this, dispidAspectRatio, VT_BOOL, int(value)); }

short CTessary::GetDvVideoEncoderParam() {
  short result{};
  AfxControlGetProperty(this, dispidDvVideoEncoderParam, VT_I2, &result);
  return result;
}

void CTessary::SetDvVideoEncoderParam(short value) { AfxControlSetProperty(this, dispidDvVideoEncoderParam, VT_I2, int(value)); }

short CTessary::GetQTVideoCompressor() {
  short result{};
  AfxControlGetProperty(this, dispidQTVideoCompressor, VT_I2, &result);
  return result;
}

void CTessary::SetQTVideoCompressor(short value) { AfxControlSetProperty(this, dispidQTVideoCompressor, VT_I2, int(value)); }

short CTessary::GetQTAudioCompressor() {
  short result{};
  AfxControlGetProperty(this, dispidQTAudioCompressor, VT_I2, &result);
  return result;
}

void CTessary::SetQTAudioCompressor(short value) { AfxControlSetProperty(this, dispidQTAudioCompressor, VT_I2, int(value)); }

short CTessary::GetQTAudioChannels() {
  short result{};
  AfxControlGetProperty(this, dispidQTAudioChannels, VT_I2, &result);
  return result;
}

void CTessary::SetQTAudioChannels(short value) { AfxControlSetProperty(this, dispidQTAudioChannels, VT_I2, int(value)); }

long CTessary::GetQTAudioSampleRate() {
  LONG result{};
  AfxControlGetProperty(this, dispidQTAudioSampleRate, VT_I4, &result);
  return static_cast<long>(result);
}

void CTessary::SetQTAudioSampleRate(long value) { AfxControlSetProperty(this, dispidQTAudioSampleRate, VT_I4, LONG(value)); }

BOOL CTessary::GetShowImage() {
  BOOL result{};
  AfxControlGetProperty(this, dispidShowImage, VT_BOOL, &result);
  return result;
}

void CTessary::SetShowImage(BOOL value) { AfxControlSetProperty(this, dispidShowImage, VT_BOOL, int(value)); }

long CTessary::GetTextColor() {
  LONG result{};
  AfxControlGetProperty(this, dispidTextColor, VT_I4, &result);
  return static_cast<long>(result);
}

void CTessary::SetTextColor(long value) { AfxControlSetProperty(this, dispidTextColor, VT_I4, LONG(value)); }

CString CTessary::GetTextFontName() {
  CString result{};
  AfxControlGetProperty(this, dispidTextFontName, VT_BSTR, &result);
  return result;
}

void CTessary::SetTextFontName(LPCTSTR value) { AfxControlSetProperty(this, dispidTextFontName, VT_BSTR, value); }

short CTessary::GetTextFontSize() {
  short result{};
  AfxControlGetProperty(this, dispidTextFontSize, VT_I2, &result);
  return result;
}

void CTessary::SetTextFontSize(short value) { AfxControlSetProperty(this, dispidTextFontSize, VT_I2, int(value)); }

short CTessary::GetTextStyle() {
  short result{};
  AfxControlGetProperty(this, dispidTextStyle, VT_I2, &result);
  return result;
}

void CTessary::SetTextStyle(short value) { AfxControlSetProperty(this, dispidTextStyle, VT_I2, int(value)); }

BOOL CTessary::GetUseOverlay() {
  BOOL result{};
  AfxControlGetProperty(this, dispidUseOverlay, VT_BOOL, &result);
  return result;
}

void CTessary::SetUseOverlay(BOOL value) { AfxControlSetProperty(this, dispidUseOverlay, VT_BOOL, int(value)); }

short CTessary::GetTextFontStyle() {
  short result{};
  AfxControlGetProperty(this, dispidTextFontStyle, VT_I2, &result);
  return result;
}

void CTessary::SetTextFontStyle(short value) { AfxControlSetProperty(this, dispidTextFontStyle, VT_I2, int(value)); }

BOOL CTessary::GetShowText() {
  BOOL result{};
  AfxControlGetProperty(this, dispidShowText, VT_BOOL, &result);
  return result;
}

void CTessary::SetShowText(BOOL value) { AfxControlSetProperty(this, dispidShowText, VT_BOOL, int(value)); }

short CTessary::GetAudioChannels() {
  short result{};
  AfxControlGetProperty(this, dispidAudioChannels, VT_I2, &result);
  return result;
}

void CTessary::SetAudioChannels(short value) { AfxControlSetProperty(this, dispidAudioChannels, VT_I2, int(value)); }

short CTessary::GetAudioSample() {
  short result{};
  AfxControlGetProperty(this, dispidAudioSample, VT_I2, &result);
  return result;
}

void CTessary::SetAudioSample(short value) { AfxControlSetProperty(this, dispidAudioSample, VT_I2, int(value)); }

CString CTessary::GetRMDllPath() {
  CString result{};
  AfxControlGetProperty(this, dispidRMDllPath, VT_BSTR, &result);
  return result;
}

void CTessary::SetRMDllPath(LPCTSTR value) { AfxControlSetProperty(this, dispidRMDllPath, VT_BSTR, value); }

short CTessary::GetRMProfile() {
  short result{};
  AfxControlGetProperty(this, dispidRMProfile, VT_I2, &result);
  return result;
}

void CTessary::SetRMProfile(short value) { AfxControlSetProperty(this, dispidRMProfile, VT_I2, int(value)); }

short CTessary::GetRMVideoMode() {
  short result{};
  AfxControlGetProperty(this, dispidRMVideoMode, VT_I2, &result);
  return result;
}

void CTessary::SetRMVideoMode(short value) { AfxControlSetProperty(this, dispidRMVideoMode, VT_I2, int(value)); }

long CTessary::GetFLVAudioBitrate() {
  LONG result{};
  AfxControlGetProperty(this, dispidFLVAudioBitrate, VT_I4, &result);
  return static_cast<long>(result);
}

void CTessary::SetFLVAudioBitrate(long value) { AfxControlSetProperty(this, dispidFLVAudioBitrate, VT_I4, LONG(value)); }

short CTessary::GetFLVAudioChannels() {
  short result{};
  AfxControlGetProperty(this, dispidFLVAudioChannels, VT_I2, &result);
  return result;
}

void CTessary::SetFLVAudioChannels(short value) { AfxControlSetProperty(this, dispidFLVAudioChannels, VT_I2, int(value)); }

long CTessary::GetFLVAudioSampleRate() {
  LONG result{};
  AfxControlGetProperty(this, dispidFLVAudioSampleRate, VT_I4, &result);
  return static_cast<long>(result);
}

void CTessary::SetFLVAudioSampleRate(long value) { AfxControlSetProperty(this, dispidFLVAudioSampleRate, VT_I4, LONG(value)); }

long CTessary::GetFLVVideoBitrate() {
  LONG result{};
  AfxControlGetProperty(this, dispidFLVVideoBitrate, VT_I4, &result);
  return static_cast<long>(result);
}

void CTessary::SetFLVVideoBitrate(long value) { AfxControlSetProperty(this, dispidFLVVideoBitrate, VT_I4, LONG(value)); }

short CTessary::GetMPEGAudioChannels() {
  short result{};
  AfxControlGetProperty(this, dispidMPEGAudioChannels, VT_I2, &result);
  return result;
}

void CTessary::SetMPEGAudioChannels(short value) { AfxControlSetProperty(this, dispidMPEGAudioChannels, VT_I2, int(value)); }

long CTessary::GetMPEGVideoBitrate() {
  LONG result{};
  AfxControlGetProperty(this, dispidMPEGVideoBitrate, VT_I4, &result);
  return static_cast<long>(result);
}

void CTessary::SetMPEGVideoBitrate(long value) { AfxControlSetProperty(this, dispidMPEGVideoBitrate, VT_I4, LONG(value)); }

long CTessary::GetVideo3GPAudioCodec() {
  LONG result{};
  AfxControlGetProperty(this, dispidVideo3GPAudioCodec, VT_I4, &result);
  return static_cast<long>(result);
}

void CTessary::SetVideo3GPAudioCodec(long value) { AfxControlSetProperty(this, dispidVideo3GPAudioCodec, VT_I4, LONG(value)); }

long CTessary::GetVideo3GPVideoBitrate() {
  LONG result{};
  AfxControlGetProperty(this, dispidVideo3GPVideoBitrate, VT_I4, &result);
  return static_cast<long>(result);
}

void CTessary::SetVideo3GPVideoBitrate(long value) { AfxControlSetProperty(this, dispidVideo3GPVideoBitrate, VT_I4, LONG(value)); }

long CTessary::GetVideo3GPVideoCodec() {
  LONG result{};
  AfxControlGetProperty(this, dispidVideo3GPVideoCodec, VT_I4, &result);
  return static_cast<long>(result);
}

void CTessary::SetVideo3GPVideoCodec(long value) { AfxControlSetProperty(this, dispidVideo3GPVideoCodec, VT_I4, LONG(value)); }

long CTessary::GetVideo3GPAudioSampleRate() {
  LONG result{};
  AfxControlGetProperty(this, dispidVideo3GPAudioSampleRate, VT_I4, &result);
  return static_cast<long>(result);
}

void CTessary::SetVideo3GPAudioSampleRate(long value) { AfxControlSetProperty(this, dispidVideo3GPAudioSampleRate, VT_I4, LONG(value)); }

BOOL CTessary::GetUseAVILameEncoder() {
  BOOL result{};
  AfxControlGetProperty(this, dispidUseAVILameEncoder, VT_BOOL, &result);
  return result;
}

void CTessary::SetUseAVILameEncoder(BOOL value) { AfxControlSetProperty(this, dispidUseAVILameEncoder, VT_BOOL, int(value)); }

long CTessary::GetAVILameSampleRate() {
  LONG result{};
  AfxControlGetProperty(this, dispidAVILameSampleRate, VT_I4, &result);
  return static_cast<long>(result);
}

void CTessary::SetAVILameSampleRate(long value) { AfxControlSetProperty(this, dispidAVILameSampleRate, VT_I4, LONG(value)); }

short CTessary::GetAVILameBitrate() {
  short result{};
  AfxControlGetProperty(this, dispidAVILameBitrate, VT_I2, &result);
  return result;
}

void CTessary::SetAVILameBitrate(short value) { AfxControlSetProperty(this, dispidAVILameBitrate, VT_I2, int(value)); }

long CTessary::GetSWFAudioBitrate() {
  LONG result{};
  AfxControlGetProperty(this, dispidSWFAudioBitrate, VT_I4, &result);
  return static_cast<long>(result);
}

void CTessary::SetSWFAudioBitrate(long value) { AfxControlSetProperty(this, dispidSWFAudioBitrate, VT_I4, LONG(value)); }

short CTessary::GetSWFAudioChannels() {
  short result{};
  AfxControlGetProperty(this, dispidSWFAudioChannels, VT_I2, &result);
  return result;
}

void CTessary::SetSWFAudioChannels(short value) { AfxControlSetProperty(this, dispidSWFAudioChannels, VT_I2, int(value)); }

long CTessary::GetSWFAudioSampleRate() {
  LONG result{};
  AfxControlGetProperty(this, dispidSWFAudioSampleRate, VT_I4, &result);
  return static_cast<long>(result);
}

void CTessary::SetSWFAudioSampleRate(long value) { AfxControlSetProperty(this, dispidSWFAudioSampleRate, VT_I4, LONG(value)); }

long CTessary::GetSWFVideoBitrate() {
  LONG result{};
  AfxControlGetProperty(this, dispidSWFVideoBitrate, VT_I4, &result);
  return static_cast<long>(result);
}

void CTessary::SetSWFVideoBitrate(long value) { AfxControlSetProperty(this, dispidSWFVideoBitrate, VT_I4, LONG(value)); }

short CTessary::GetAniGIFHeight() {
  short result{};
  AfxControlGetProperty(this, dispidAniGIFHeight, VT_I2, &result);
  return result;
}

void CTessary::SetAniGIFHeight(short value) { AfxControlSetProperty(this, dispidAniGIFHeight, VT_I2, int(value)); }

short CTessary::GetAniGIFLoop() {
  short result{};
  AfxControlGetProperty(this, dispidAniGIFLoop, VT_I2, &result);
  return result;
}

void CTessary::SetAniGIFLoop(short value) { AfxControlSetProperty(this, dispidAniGIFLoop, VT_I2, int(value)); }

short CTessary::GetAniGIFMaxColor() {
  short result{};
  AfxControlGetProperty(this, dispidAniGIFMaxColor, VT_I2, &result);
  return result;
}

void CTessary::SetAniGIFMaxColor(short value) { AfxControlSetProperty(this, dispidAniGIFMaxColor, VT_I2, int(value)); }

short CTessary::GetAniGIFQuantizer() {
  short result{};
  AfxControlGetProperty(this, dispidAniGIFQuantizer, VT_I2, &result);
  return result;
}

void CTessary::SetAniGIFQuantizer(short value) { AfxControlSetProperty(this, dispidAniGIFQuantizer, VT_I2, int(value)); }

long CTessary::GetAniGIFTransColor() {
  LONG result{};
  AfxControlGetProperty(this, dispidAniGIFTransColor, VT_I4, &result);
  return static_cast<long>(result);
}

void CTessary::SetAniGIFTransColor(long value) { AfxControlSetProperty(this, dispidAniGIFTransColor, VT_I4, LONG(value)); }

short CTessary::GetAniGIFVideoQuality() {
  short result{};
  AfxControlGetProperty(this, dispidAniGIFVideoQuality, VT_I2, &result);
  return result;
}

void CTessary::SetAniGIFVideoQuality(short value) { AfxControlSetProperty(this, dispidAniGIFVideoQuality, VT_I2, int(value)); }

short CTessary::GetAniGIFWidth() {
  short result{};
  AfxControlGetProperty(this, dispidAniGIFWidth, VT_I2, &result);
  return result;
}

void CTessary::SetAniGIFWidth(short value) { AfxControlSetProperty(this, dispidAniGIFWidth, VT_I2, int(value)); }

short CTessary::GetMPEGAspectRatio() {
  short result{};
  AfxControlGetProperty(this, dispidMPEGAspectRatio, VT_I2, &result);
  return result;
}

void CTessary::SetMPEGAspectRatio(short value) { AfxControlSetProperty(this, dispidMPEGAspectRatio, VT_I2, int(value)); }

CString CTessary::GetMP4Album() {
  CString result{};
  AfxControlGetProperty(this, dispidMP4Album, VT_BSTR, &result);
  return result;
}

void CTessary::SetMP4Album(LPCTSTR value) { AfxControlSetProperty(this, dispidMP4Album, VT_BSTR, value); }

long CTessary::GetMP4AudioBitrate() {
  LONG result{};
  AfxControlGetProperty(this, dispidMP4AudioBitrate, VT_I4, &result);
  return static_cast<long>(result);
}

void CTessary::SetMP4AudioBitrate(long value) { AfxControlSetProperty(this, dispidMP4AudioBitrate, VT_I4, LONG(value)); }

short CTessary::GetMP4AudioChannels() {
  short result{};
  AfxControlGetProperty(this, dispidMP4AudioChannels, VT_I2, &result);
  return result;
}

void CTessary::SetMP4AudioChannels(short value) { AfxControlSetProperty(this, dispidMP4AudioChannels, VT_I2, int(value)); }

long CTessary::GetMP4AudioSampleRate() {
  LONG result{};
  AfxControlGetProperty(this, dispidMP4AudioSampleRate, VT_I4, &result);
  return static_cast<long>(result);
}

void CTessary::SetMP4AudioSampleRate(long value) { AfxControlSetProperty(this, dispidMP4AudioSampleRate, VT_I4, LONG(value)); }

CString CTessary::GetMP4Author() {
  CString result{};
  AfxControlGetProperty(this, dispidMP4Author, VT_BSTR, &result);
  return result;
}

void CTessary::SetMP4Author(LPCTSTR value) { AfxControlSetProperty(this, dispidMP4Author, VT_BSTR, value); }

short CTessary::GetMP4Codec() {
  short result{};
  AfxControlGetProperty(this, dispidMP4Codec, VT_I2, &result);
  return result;
}

void CTessary::SetMP4Codec(short value) { AfxControlSetProperty(this, dispidMP4Codec, VT_I2, int(value)); }

CString CTessary::GetMP4Comment() {
  CString result{};
  AfxControlGetProperty(this, dispidMP4Comment, VT_BSTR, &result);
  return result;
}

void CTessary::SetMP4Comment(LPCTSTR value) { AfxControlSetProperty(this, dispidMP4Comment, VT_BSTR, value); }

CString CTessary::GetMP4Copyright() {
  CString result{};
  AfxControlGetProperty(this, dispidMP4Copyright, VT_BSTR, &result);
  return result;
}

void CTessary::SetMP4Copyright(LPCTSTR value) { AfxControlSetProperty(this, dispidMP4Copyright, VT_BSTR, value); }

short CTessary::GetMP4Framerate() {
  short result{};
  AfxControlGetProperty(this, dispidMP4Framerate, VT_I2, &result);
  return result;
}

void CTessary::SetMP4Framerate(short value) { AfxControlSetProperty(this, dispidMP4Framerate, VT_I2, int(value)); }

CString CTessary::GetMP4Title() {
  CString result{};
  AfxControlGetProperty(this, dispidMP4Title, VT_BSTR, &result);
  return result;
}

void CTessary::SetMP4Title(LPCTSTR value) { AfxControlSetProperty(this, dispidMP4Title, VT_BSTR, value); }

long CTessary::GetMP4VideoBitrate() {
  LONG result{};
  AfxControlGetProperty(this, dispidMP4VideoBitrate, VT_I4, &result);
  return static_cast<long>(result);
}

void CTessary::SetMP4VideoBitrate(long value) { AfxControlSetProperty(this, dispidMP4VideoBitrate, VT_I4, LONG(value)); }

short CTessary::GetMP4Width() {
  short result{};
  AfxControlGetProperty(this, dispidMP4Width, VT_I2, &result);
  return result;
}

void CTessary::SetMP4Width(short value) { AfxControlSetProperty(this, dispidMP4Width, VT_I2, int(value)); }

short CTessary::GetMP4Height() {
  short result{};
  AfxControlGetProperty(this, dispidMP4Height, VT_I2, &result);
  return result;
}

void CTessary::SetMP4Height(short value) { AfxControlSetProperty(this, dispidMP4Height, VT_I2, int(value)); }

long CTessary::GetParenthWnd() {
  LONG result{};
  AfxControlGetProperty(this, dispidParenthWnd, VT_I4, &result);
  return static_cast<long>(result);
}

void CTessary::SetParenthWnd(long value) { AfxControlSetProperty(this, dispidParenthWnd, VT_I4, LONG(value)); }

double CTessary::GetPrePos() {
  double result{};
  AfxControlGetProperty(this, dispidPrePos, VT_R8, &result);
  return result;
}

void CTessary::SetPrePos(double value) { AfxControlSetProperty(this, dispidPrePos, VT_R8, value); }

BOOL CTessary::GetSetDivx() {
  BOOL result{};
  AfxControlGetProperty(this, dispidSetDivx, VT_BOOL, &result);
  return result;
}

void CTessary::SetSetDivx(BOOL value) { AfxControlSetProperty(this, dispidSetDivx, VT_BOOL, int(value)); }

short CTessary::GetFLVFrameRate() {
  short result{};
  AfxControlGetProperty(this, dispidFLVFrameRate, VT_I2, &result);
  return result;
}

void CTessary::SetFLVFrameRate(short value) { AfxControlSetProperty(this, dispidFLVFrameRate, VT_I2, int(value)); }

short CTessary::GetSWFFrameRate() {
  short result{};
  AfxControlGetProperty(this, dispidSWFFrameRate, VT_I2, &result);
  return result;
}

void CTessary::SetSWFFrameRate(short value) { AfxControlSetProperty(this, dispidSWFFrameRate, VT_I2, int(value)); }

BOOL CTessary::Save(LPCTSTR arg1) {
  BOOL result{};
  AfxControlInvokeHelper(this, dispidSave, DISPATCH_METHOD, VT_BOOL, &result, Params(VTS_BSTR), arg1);
  return result;
}

void CTessary::Cancel() {
  AfxControlInvokeHelper(this, dispidCancel, DISPATCH_METHOD, VT_EMPTY, nullptr, Params(VTS_NONE));
}

double CTessary::GetFileDuration(LPCTSTR arg1) {
  double result{};
  AfxControlInvokeHelper(this, dispidGetFileDuration, DISPATCH_METHOD, VT_R8, &result, Params(VTS_BSTR), arg1);
  return result;
}

double CTessary::GetTotalDuration() {
  double result{};
  AfxControlInvokeHelper(this, dispidGetTotalDuration, DISPATCH_METHOD, VT_R8, &result, Params(VTS_NONE));
  return result;
}

BOOL CTessary::Preview() {
  BOOL result{};
  AfxControlInvokeHelper(this, dispidPreview, DISPATCH_METHOD, VT_BOOL, &result, Params(VTS_NONE));
  return result;
}

BOOL CTessary::AddAudio(LPCTSTR arg1, double arg2, double arg3) {
  BOOL result{};
  AfxControlInvokeHelper(this, dispidAddAudio, DISPATCH_METHOD, VT_BOOL, &result, Params(VTS_BSTR VTS_R8 VTS_R8), arg1, arg2, arg3);
  return result;
}

BOOL CTessary::AddVideo(LPCTSTR arg1, double arg2, double arg3, short arg4) {
  BOOL result{};
  AfxControlInvokeHelper(this, dispidAddVideo, DISPATCH_METHOD, VT_BOOL, &result, Params(VTS_BSTR VTS_R8 VTS_R8 VTS_I2), arg1, arg2, arg3, int(arg4));
  return result;
}

BOOL CTessary::AddBgVideo(LPCTSTR arg1, double arg2, double arg3, short arg4) {
  BOOL result{};
  AfxControlInvokeHelper(this, dispidAddBgVideo, DISPATCH_METHOD, VT_BOOL, &result, Params(VTS_BSTR VTS_R8 VTS_R8 VTS_I2), arg1, arg2, arg3, int(arg4));
  return result;
}

BOOL CTessary::AddTransition(short arg1, double arg2, double arg3) {
  BOOL result{};
  AfxControlInvokeHelper(this, dispidAddTransition, DISPATCH_METHOD, VT_BOOL, &result, Params(VTS_I2 VTS_R8 VTS_R8), int(arg1), arg2, arg3);
  return result;
}

short CTessary::GetFileHeight(LPCTSTR arg1) {
  short result{};
  AfxControlInvokeHelper(this, dispidGetFileHeight, DISPATCH_METHOD, VT_I2, &result, Params(VTS_BSTR), arg1);
  return result;
}

short CTessary::GetFileWidth(LPCTSTR arg1) {
  short result{};
  AfxControlInvokeHelper(this, dispidGetFileWidth, DISPATCH_METHOD, VT_I2, &result, Params(VTS_BSTR), arg1);
  return result;
}

double CTessary::GetFileFrameRate(LPCTSTR arg1) {
  double result{};
  AfxControlInvokeHelper(this, dispidGetFileFrameRate, DISPATCH_METHOD, VT_R8, &result, Params(VTS_BSTR), arg1);
  return result;
}

void CTessary::InitControl() {
  AfxControlInvokeHelper(this, dispidInitControl, DISPATCH_METHOD, VT_EMPTY, nullptr, Params(VTS_NONE));
}

void CTessary::Stop() {
  AfxControlInvokeHelper(this, dispidStop, DISPATCH_METHOD, VT_EMPTY, nullptr, Params(VTS_NONE));
}

BOOL CTessary::Save2WMA(LPCTSTR arg1) {
  BOOL result{};
  AfxControlInvokeHelper(this, dispidSave2WMA, DISPATCH_METHOD, VT_BOOL, &result, Params(VTS_BSTR), arg1);
  return result;
}

CString CTessary::MPEGStatus() {
  CString result{};
  AfxControlInvokeHelper(this, dispidMPEGStatus, DISPATCH_METHOD, VT_BSTR, &result, Params(VTS_NONE));
  return result;
}

void CTessary::Pause() {
  AfxControlInvokeHelper(this, dispidPause, DISPATCH_METHOD, VT_EMPTY, nullptr, Params(VTS_NONE));
}

void CTessary::Play() {
  AfxControlInvokeHelper(this, dispidPlay, DISPATCH_METHOD, VT_EMPTY, nullptr, Params(VTS_NONE));
}

BOOL CTessary::Save2Wave(LPCTSTR arg1, short arg2, long arg3, short arg4) {
  BOOL result{};
  AfxControlInvokeHelper(this, dispidSave2Wave, DISPATCH_METHOD, VT_BOOL, &result, Params(VTS_BSTR VTS_I2 VTS_I4 VTS_I2), arg1, int(arg2), LONG(arg3), int(arg4));
  return result;
}

BOOL CTessary::AddBgAudio(LPCTSTR arg1, double arg2, double arg3) {
  BOOL result{};
  AfxControlInvokeHelper(this, dispidAddBgAudio, DISPATCH_METHOD, VT_BOOL, &result, Params(VTS_BSTR VTS_R8 VTS_R8), arg1, arg2, arg3);
  return result;
}

BOOL CTessary::GetAudioStream(LPCTSTR arg1) {
  BOOL result{};
  AfxControlInvokeHelper(this, dispidGetAudioStream, DISPATCH_METHOD, VT_BOOL, &result, Params(VTS_BSTR), arg1);
  return result;
}

long CTessary::GetFrame2HBitmap(LPCTSTR arg1, double arg2) {
  LONG result{};
  AfxControlInvokeHelper(this, dispidGetFrame2HBitmap, DISPATCH_METHOD, VT_I4, &result, Params(VTS_BSTR VTS_R8), arg1, arg2);
  return static_cast<long>(result);
}

COleDispatchDriver CTessary::GetFrame2Picture(LPCTSTR arg1, double arg2) {
  LPDISPATCH result = nullptr;
  AfxControlInvokeHelper(this, dispidGetFrame2Picture, DISPATCH_METHOD, VT_DISPATCH, &result, Params(VTS_BSTR VTS_R8), arg1, arg2);
  return COleDispatchDriver(result);
}

long CTessary::GetFrameBySize2HBitmap(LPCTSTR arg1, double arg2, long arg3, long arg4) {
  LONG result{};
  AfxControlInvokeHelper(this, dispidGetFrameBySize2HBitmap, DISPATCH_METHOD, VT_I4, &result, Params(VTS_BSTR VTS_R8 VTS_I4 VTS_I4), arg1, arg2, LONG(arg3), LONG(arg4));
  return static_cast<long>(result);
}

COleDispatchDriver CTessary::GetFrameBySize2Picture(LPCTSTR arg1, double arg2, long arg3, long arg4) {
  LPDISPATCH result = nullptr;
  AfxControlInvokeHelper(this, dispidGetFrameBySize2Picture, DISPATCH_METHOD, VT_DISPATCH, &result, Params(VTS_BSTR VTS_R8 VTS_I4 VTS_I4), arg1, arg2, LONG(arg3), LONG(arg4));
  return COleDispatchDriver(result);
}

BOOL CTessary::AddEffect(long arg1, double arg2, double arg3, LPCTSTR arg4, LPCTSTR arg5, LPCTSTR arg6, LPCTSTR arg7) {
  BOOL result{};
  AfxControlInvokeHelper(this, dispidAddEffect, DISPATCH_METHOD, VT_BOOL, &result, Params(VTS_I4 VTS_R8 VTS_R8 VTS_BSTR VTS_BSTR VTS_BSTR VTS_BSTR), LONG(arg1), arg2, arg3, arg4, arg5, arg6, arg7);
  return result;
}

BOOL CTessary::GetFrame(LPCTSTR arg1, double arg2, LPCTSTR arg3, short arg4) {
  BOOL result{};
  AfxControlInvokeHelper(this, dispidGetFrame, DISPATCH_METHOD, VT_BOOL, &result, Params(VTS_BSTR VTS_R8 VTS_BSTR VTS_I2), arg1, arg2, arg3, int(arg4));
  return result;
}

void CTessary::ReleasePictureBox(LPDISPATCH arg1) {
  AfxControlInvokeHelper(this, dispidReleasePictureBox, DISPATCH_METHOD, VT_EMPTY, nullptr, Params(VTS_DISPATCH), arg1);
}

BOOL CTessary::GetFrameBySize(LPCTSTR arg1, double arg2, LPCTSTR arg3, long arg4, long arg5, short arg6) {
  BOOL result{};
  AfxControlInvokeHelper(this, dispidGetFrameBySize, DISPATCH_METHOD, VT_BOOL, &result, Params(VTS_BSTR VTS_R8 VTS_BSTR VTS_I4 VTS_I4 VTS_I2), arg1, arg2, arg3, LONG(arg4), LONG(arg5), int(arg6));
  return result;
}

void CTessary::SetPos(double arg1) {
  AfxControlInvokeHelper(this, dispidSetPos, DISPATCH_METHOD, VT_EMPTY, nullptr, Params(VTS_R8), arg1);
}

double CTessary::GetPos() {
  double result{};
  AfxControlInvokeHelper(this, dispidGetPos, DISPATCH_METHOD, VT_R8, &result, Params(VTS_NONE));
  return result;
}

void CTessary::DrawImage(short arg1, short arg2, LPCTSTR arg3, OLE_COLOR arg4, short arg5) {
  AfxControlInvokeHelper(this, dispidDrawImage, DISPATCH_METHOD, VT_EMPTY, nullptr, Params(VTS_I2 VTS_I2 VTS_BSTR VTS_COLOR VTS_I2), int(arg1), int(arg2), arg3, LONG(arg4), int(arg5));
}

short CTessary::DrawText(short arg1, short arg2, LPCTSTR arg3) {
  short result{};
  AfxControlInvokeHelper(this, dispidDrawText, DISPATCH_METHOD, VT_I2, &result, Params(VTS_I2 VTS_I2 VTS_BSTR), int(arg1), int(arg2), arg3);
  return result;
}

void CTessary::SetHashBrushValue(short arg1, OLE_COLOR arg2, OLE_COLOR arg3) {
  AfxControlInvokeHelper(this, dispidSetHashBrushValue, DISPATCH_METHOD, VT_EMPTY, nullptr, Params(VTS_I2 VTS_COLOR VTS_COLOR), int(arg1), LONG(arg2), LONG(arg3));
}

void CTessary::SetTextureBrushImage(LPCTSTR arg1) {
  AfxControlInvokeHelper(this, dispidSetTextureBrushImage, DISPATCH_METHOD, VT_EMPTY, nullptr, Params(VTS_BSTR), arg1);
}

void CTessary::SetOutlineTextBackColor(OLE_COLOR arg1) {
  AfxControlInvokeHelper(this, dispidSetOutlineTextBackColor, DISPATCH_METHOD, VT_EMPTY, nullptr, Params(VTS_COLOR), LONG(arg1));
}

void CTessary::SetOutlineTextBorderColor(OLE_COLOR arg1) {
  AfxControlInvokeHelper(this, dispidSetOutlineTextBorderColor, DISPATCH_METHOD, VT_EMPTY, nullptr, Params(VTS_COLOR), LONG(arg1));
}

BOOL CTessary::Save2MP3(LPCTSTR arg1, long arg2, short arg3) {
  BOOL result{};
  AfxControlInvokeHelper(this, dispidSave2MP3, DISPATCH_METHOD, VT_BOOL, &result, Params(VTS_BSTR VTS_I4 VTS_I2), arg1, LONG(arg2), int(arg3));
  return result;
}

void CTessary::LoadRmProfiles() {
  AfxControlInvokeHelper(this, dispidLoadRmProfiles, DISPATCH_METHOD, VT_EMPTY, nullptr, Params(VTS_NONE));
}

short CTessary::GetRMProfilesCount() {
  short result{};
  AfxControlInvokeHelper(this, dispidGetRMProfilesCount, DISPATCH_METHOD, VT_I2, &result, Params(VTS_NONE));
  return result;
}

CString CTessary::GetRMProfileName(short arg1) {
  CString result{};
  AfxControlInvokeHelper(this, dispidGetRMProfileName, DISPATCH_METHOD, VT_BSTR, &result, Params(VTS_I2), int(arg1));
  return result;
}

BOOL CTessary::FrameGrabberByTime(LPCTSTR arg1, double arg2, double arg3, short arg4, LPCTSTR arg5) {
  BOOL result{};
  AfxControlInvokeHelper(this, dispidFrameGrabberByTime, DISPATCH_METHOD, VT_BOOL, &result, Params(VTS_BSTR VTS_R8 VTS_R8 VTS_I2 VTS_BSTR), arg1, arg2, arg3, int(arg4), arg5);
  return result;
}

double CTessary::GetFileTotalFrame(LPCTSTR arg1) {
  double result{};
  AfxControlInvokeHelper(this, dispidGetFileTotalFrame, DISPATCH_METHOD, VT_R8, &result, Params(VTS_BSTR), arg1);
  return result;
}

BOOL CTessary::FrameGrabber(LPCTSTR arg1, long arg2, long arg3, short arg4, LPCTSTR arg5) {
  BOOL result{};
  AfxControlInvokeHelper(this, dispidFrameGrabber, DISPATCH_METHOD, VT_BOOL, &result, Params(VTS_BSTR VTS_I4 VTS_I4 VTS_I2 VTS_BSTR), arg1, LONG(arg2), LONG(arg3), int(arg4), arg5);
  return result;
}

BOOL CTessary::FrameGrabber2(LPCTSTR arg1, long arg2, long arg3, short arg4, LPCTSTR arg5, short arg6, short arg7) {
  BOOL result{};
  AfxControlInvokeHelper(this, dispidFrameGrabber2, DISPATCH_METHOD, VT_BOOL, &result, Params(VTS_BSTR VTS_I4 VTS_I4 VTS_I2 VTS_BSTR VTS_I2 VTS_I2), arg1, LONG(arg2), LONG(arg3), int(arg4), arg5, int(arg6), int(arg7));
  return result;
}

BOOL CTessary::FrameGrabberByTime2(LPCTSTR arg1, double arg2, double arg3, short arg4, LPCTSTR arg5, short arg6, short arg7) {
  BOOL result{};
  AfxControlInvokeHelper(this, dispidFrameGrabberByTime2, DISPATCH_METHOD, VT_BOOL, &result, Params(VTS_BSTR VTS_R8 VTS_R8 VTS_I2 VTS_BSTR VTS_I2 VTS_I2), arg1, arg2, arg3, int(arg4), arg5, int(arg6), int(arg7));
  return result;
}

void CTessary::StopFrameGrabber() {
  AfxControlInvokeHelper(this, dispidStopFrameGrabber, DISPATCH_METHOD, VT_EMPTY, nullptr, Params(VTS_NONE));
}

BOOL CTessary::AddAudioWithTran(LPCTSTR arg1, double arg2, double arg3, double arg4) {
  BOOL result{};
  AfxControlInvokeHelper(this, dispidAddAudioWithTran, DISPATCH_METHOD, VT_BOOL, &result, Params(VTS_BSTR VTS_R8 VTS_R8 VTS_R8), arg1, arg2, arg3, arg4);
  return result;
}

BOOL CTessary::AddVideoWithTran(LPCTSTR arg1, double arg2, double arg3, short arg4, short arg5, double arg6) {
  BOOL result{};
  AfxControlInvokeHelper(this, dispidAddVideoWithTran, DISPATCH_METHOD, VT_BOOL, &result, Params(VTS_BSTR VTS_R8 VTS_R8 VTS_I2 VTS_I2 VTS_R8), arg1, arg2, arg3, int(arg4), int(arg5), arg6);
  return result;
}

void CTessary::ResizeControl(short arg1, short arg2, short arg3, short arg4) {
  AfxControlInvokeHelper(this, dispidResizeControl, DISPATCH_METHOD, VT_EMPTY, nullptr, Params(VTS_I2 VTS_I2 VTS_I2 VTS_I2), int(arg1), int(arg2), int(arg3), int(arg4));
}

BOOL CTessary::IsPause() {
  BOOL result{};
  AfxControlInvokeHelper(this, dispidIsPause, DISPATCH_METHOD, VT_BOOL, &result, Params(VTS_NONE));
  return result;
}

void CTessary::ShowFullScreen(BOOL arg1) {
  AfxControlInvokeHelper(this, dispidShowFullScreen, DISPATCH_METHOD, VT_EMPTY, nullptr, Params(VTS_BOOL), int(arg1));
}

BOOL CTessary::AddVideoWithSlowMotion(LPCTSTR arg1, double arg2, double arg3, short arg4, double arg5) {
  BOOL result{};
  AfxControlInvokeHelper(this, dispidAddVideoWithSlowMotion, DISPATCH_METHOD, VT_BOOL, &result, Params(VTS_BSTR VTS_R8 VTS_R8 VTS_I2 VTS_R8), arg1, arg2, arg3, int(arg4), arg5);
  return result;
}

BOOL CTessary::AddAudioWithSlowMotion(LPCTSTR arg1, double arg2, double arg3, double arg4) {
  BOOL result{};
  AfxControlInvokeHelper(this, dispidAddAudioWithSlowMotion, DISPATCH_METHOD, VT_BOOL, &result, Params(VTS_BSTR VTS_R8 VTS_R8 VTS_R8), arg1, arg2, arg3, arg4);
  return result;
}

BOOL CTessary::AddAudioWithSlowMotionMer(LPCTSTR arg1, double arg2, short arg3, double arg4) {
  BOOL result{};
  AfxControlInvokeHelper(this, dispidAddAudioWithSlowMotionMer, DISPATCH_METHOD, VT_BOOL, &result, Params(VTS_BSTR VTS_R8 VTS_I2 VTS_R8), arg1, arg2, int(arg3), arg4);
  return result;
}

BOOL CTessary::AddVideoWithSlowMotionMer(LPCTSTR arg1, double arg2, double arg3, short arg4, double arg5) {
  BOOL result{};
  AfxControlInvokeHelper(this, dispidAddVideoWithSlowMotionMer, DISPATCH_METHOD, VT_BOOL, &result, Params(VTS_BSTR VTS_R8 VTS_R8 VTS_I2 VTS_R8), arg1, arg2, arg3, int(arg4), arg5);
  return result;
}

BOOL CTessary::AddVideoSlow2(LPCTSTR arg1, double arg2, double arg3, short arg4, double arg5) {
  BOOL result{};
  AfxControlInvokeHelper(this, dispidAddVideoSlow2, DISPATCH_METHOD, VT_BOOL, &result, Params(VTS_BSTR VTS_R8 VTS_R8 VTS_I2 VTS_R8), arg1, arg2, arg3, int(arg4), arg5);
  return result;
}

BOOL CTessary::AddAudioSlow2(LPCTSTR arg1, double arg2, double arg3, double arg4) {
  BOOL result{};
  AfxControlInvokeHelper(this, dispidAddAudioSlow2, DISPATCH_METHOD, VT_BOOL, &result, Params(VTS_BSTR VTS_R8 VTS_R8 VTS_R8), arg1, arg2, arg3, arg4);
  return result;
}

BOOL CTessary::CheckDivxFile(LPCTSTR arg1) {
  BOOL result{};
  AfxControlInvokeHelper(this, dispidCheckDivxFile, DISPATCH_METHOD, VT_BOOL, &result, Params(VTS_BSTR), arg1);
  return result;
}

void CTessary::AboutBox() {
  AfxControlInvokeHelper(this, DISPID_ABOUTBOX, DISPATCH_METHOD, VT_EMPTY, nullptr, Params(VTS_NONE));
}
