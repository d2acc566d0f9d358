#include "control/tessary_ctrl.h"

#include "gdiplus/gdiplus.h"

#include "control/compressors.h"
#include "control/tessary_resources.h"
#include "control/transitions.h"
#include "control/wmv_profile.h"
#include "control/wmv_profiles.h"
#include "engine/tessary_ids.h"

IMPLEMENT_DYNCREATE(CTessaryCtrl, COleControl)
IMPLEMENT_OLECREATE_EX(CTessaryCtrl, TESSARY_PROGID, 0x3AAED2B6, 0x8834, 0x4F17, 0x8B, 0x62, 0xAC, 0xAB, 0x5B, 0xD3,
                       0x98, 0xFF)

BOOL CTessaryCtrl::CTessaryCtrlFactory::UpdateRegistry(BOOL bRegister) {
  if (!bRegister) return AfxOleUnregisterClass(m_clsid, m_lpszProgID);
  return AfxOleRegisterControlClass(AfxGetInstanceHandle(), m_clsid, m_lpszProgID, IDS_TESSARY, IDB_TESSARY,
                                    afxRegApartmentThreading, 0x20191, LIBID_TESSARYLib, 1, 0);
}

BEGIN_PROPPAGEIDS(CTessaryCtrl, 1)
  PROPPAGEID(CLSID_TessaryPropPage)
END_PROPPAGEIDS(CTessaryCtrl)

// The control's identity stays the base's first interface; the callback only answers for itself.
BEGIN_INTERFACE_MAP(CTessaryCtrl, COleControl)
  INTERFACE_PART(CTessaryCtrl, IID_IOleObject, OleObject)
  INTERFACE_PART(CTessaryCtrl, IID_ISampleGrabberCB, SampleGrabberCB)
END_INTERFACE_MAP()

BEGIN_MESSAGE_MAP(CTessaryCtrl, COleControl)
  ON_WM_CREATE()
  ON_WM_DESTROY()
  ON_WM_TIMER()
  ON_MESSAGE(kGraphNotifyMessage, OnGraphNotify)
  ON_MESSAGE(kPreviewNotifyMessage, OnPreviewGraphNotify)
  ON_MESSAGE(kFrameGrabDoneMessage, OnConversionDone)
  ON_MESSAGE(kAppNotifyMessage, OnAppNotify)
END_MESSAGE_MAP()

CTessaryCtrl::CTessaryCtrl()
    : wmvProfiles_(new CWMVProfiles),
      videoCompressors_(new CVideoCompressors),
      audioCompressors_(new CAudioCompressors),
      transitions_(new CTransitions) {
  InitializeIIDs(&DIID__DTessary, &DIID__DTessaryEvents);
  SetMiscStatus(0x20191);
  Gdiplus::GdiplusStartupInput startup;
  Gdiplus::GdiplusStartup(&gdiplusToken_, &startup, nullptr);
}

CTessaryCtrl::~CTessaryCtrl() {
  TearDownEditing();
  Gdiplus::GdiplusShutdown(gdiplusToken_);
}

void CTessaryCtrl::DoPropExchange(CPropExchange* pPX) {
  ExchangeVersion(pPX, MAKELONG_VERSION(1, 0));
  COleControl::DoPropExchange(pPX);
  PX_Short(pPX, "WMVProfile", settings_.wmvProfile, 0);
  PX_Short(pPX, "VideoCompressor", settings_.videoCompressor, 0);
  PX_Short(pPX, "AudioCompressor", settings_.audioCompressor, 0);
  PX_Short(pPX, "Transition", transition_, 0);
  PX_Short(pPX, "Effect", effect_, 0);
  PX_Short(pPX, "OutputFileWidth", settings_.outputFileWidth, 320);
  PX_Short(pPX, "OutputFileHeight", settings_.outputFileHeight, 240);
  PX_Float(pPX, "FrameRate", settings_.frameRate, 15.0f);
  PX_Bool(pPX, "OutputAudio", settings_.outputAudio, TRUE);
  PX_Bool(pPX, "UseVideoCompressor", settings_.useVideoCompressor, FALSE);
  PX_Bool(pPX, "UseAudioCompressor", settings_.useAudioCompressor, FALSE);
  PX_Short(pPX, "VideoSampleSize", settings_.videoSampleSize, 16);
  PX_Long(pPX, "OutputType", settings_.outputType, 8);
  PX_Long(pPX, "MPEGAudioBitrate", settings_.mpegAudioBitrate, 224000);
  PX_Long(pPX, "MPEGVideoBitrate", settings_.mpegVideoBitrate, 4600000);
  PX_Bool(pPX, "EnumTransitions", enumTransitions_, TRUE);
  PX_Bool(pPX, "EnumWMVProfiles", enumWMVProfiles_, TRUE);
  PX_String(pPX, "WMVCustomFileName", settings_.wmvCustomFileName, "");
  PX_Bool(pPX, "DeleteTmpFiles", settings_.deleteTmpFiles, TRUE);
  PX_Short(pPX, "MPEGCodec", settings_.mpegCodec, 0);
  PX_Long(pPX, "MPEGAudioSample", settings_.mpegAudioSampleRate, 44100);
  PX_Bool(pPX, "AspectRatio", aspectRatio_, TRUE);
  PX_Short(pPX, "DvVideoEncoderParam", settings_.dvVideoEncoderParam, 0);
  PX_Short(pPX, "QTAudioComp", settings_.qtAudioCompressor, 0);
  PX_Short(pPX, "QTVideoComp", settings_.qtVideoCompressor, 0);
  PX_Short(pPX, "QTAudioChannels", settings_.qtAudioChannels, 1);
  PX_Long(pPX, "QTAudioSampleRate", settings_.qtAudioSampleRate, 44100);
  PX_Short(pPX, "AudioChannels", settings_.audioChannels, 2);
  PX_Short(pPX, "AudioSample", settings_.audioSample, 1);
  PX_Long(pPX, "AVILameSampleRate", settings_.aviLameSampleRate, 44100);
  PX_Short(pPX, "AVILameBitrate", settings_.aviLameBitrate, 320);
}

void CTessaryCtrl::OnDraw(CDC* pdc, const CRect& rcBounds, const CRect&) {
  CBrush black(RGB(0, 0, 0));
  pdc->FillRect(rcBounds, &black);
}

// ---- Window -------------------------------------------------------------------------------------

int CTessaryCtrl::OnCreate(LPCREATESTRUCT lpCreateStruct) {
  if (COleControl::OnCreate(lpCreateStruct) == -1) return -1;
  videoCompressors_->SetOwnerWindow(GetContainerWindow());
  if (enumWMVProfiles_) EnumSystemProfiles(*wmvProfiles_);
  FillCompressorCollections(*videoCompressors_, *audioCompressors_, firstVideoCompressor_, firstAudioCompressor_);
  if (enumTransitions_) transitions_->EnumCategoryDevices();
  return 0;
}

void CTessaryCtrl::OnDestroy() {
  COleControl::OnDestroy();
  StopProcessing();
  StopFrameGrabber();
  rmProfileNames_.clear();
}

LRESULT CTessaryCtrl::OnConversionDone(WPARAM, LPARAM) {
  FireEvent(eventidComplete, EVENT_PARAM(VTS_NONE));
  return 0;
}

LRESULT CTessaryCtrl::OnAppNotify(WPARAM, LPARAM) { return 0; }

// ---- Properties ---------------------------------------------------------------------------------

void CTessaryCtrl::PropertyStored(DISPID dispid, Notify mode) {
  SetModifiedFlag();
  if (mode == Notify::Always || (mode == Notify::DesignMode && !AmbientUserMode())) BoundPropertyChanged(dispid);
}

LPDISPATCH CTessaryCtrl::GetWMVProfiles() { return wmvProfiles_->GetIDispatch(TRUE); }
LPDISPATCH CTessaryCtrl::GetVideoCompressors() { return videoCompressors_->GetIDispatch(TRUE); }
LPDISPATCH CTessaryCtrl::GetAudioCompressors() { return audioCompressors_->GetIDispatch(TRUE); }
LPDISPATCH CTessaryCtrl::GetTransitions() { return transitions_->GetIDispatch(TRUE); }

void CTessaryCtrl::SetEnumTransitions(BOOL bNewValue) {
  enumTransitions_ = bNewValue;
  if (bNewValue) transitions_->EnumCategoryDevices();
  PropertyStored(dispidEnumTransitions, Notify::DesignMode);
}

void CTessaryCtrl::SetEnumWMVProfiles(BOOL bNewValue) {
  enumWMVProfiles_ = bNewValue;
  if (bNewValue) EnumSystemProfiles(*wmvProfiles_);
  PropertyStored(dispidEnumWMVProfiles, Notify::DesignMode);
}

void CTessaryCtrl::SetAniGIFVideoQuality(short nNewValue) {
  settings_.aniGIFVideoQuality = nNewValue != 0;
  PropertyStored(dispidAniGIFVideoQuality, Notify::DesignMode);
}

void CTessaryCtrl::SetParenthWnd(LONG nNewValue) {
  parenthWnd_ = nNewValue;
  PropertyStored(dispidParenthWnd, Notify::Never);
}

void CTessaryCtrl::SetSetDivx(BOOL bNewValue) {
  setDivx_ = bNewValue != 0;
  PropertyStored(dispidSetDivx, Notify::Never);
}

// ---- Browsing of the index properties -----------------------------------------------------------

CItemCollection* CTessaryCtrl::IndexedCollection(DISPID dispid, short*& index) {
  switch (dispid) {
    case dispidWMVProfile: index = &settings_.wmvProfile; return wmvProfiles_.get();
    case dispidVideoCompressor: index = &settings_.videoCompressor; return videoCompressors_.get();
    case dispidAudioCompressor: index = &settings_.audioCompressor; return audioCompressors_.get();
    case dispidTransition: index = &transition_; return transitions_.get();
    default: return nullptr;
  }
}

BOOL CTessaryCtrl::OnGetDisplayString(DISPID dispid, CString& strValue) {
  short* index = nullptr;
  CItemCollection* collection = IndexedCollection(dispid, index);
  if (!collection) return COleControl::OnGetDisplayString(dispid, strValue);
  // An index past the collection shows nothing rather than reading a missing item.
  strValue.Empty();
  collection->NameAtPosition(*index, strValue);
  return TRUE;
}

BOOL CTessaryCtrl::OnGetPredefinedStrings(DISPID dispid, CStringArray* pStringArray, CDWordArray* pCookieArray) {
  short* index = nullptr;
  CItemCollection* collection = IndexedCollection(dispid, index);
  if (!collection) return COleControl::OnGetPredefinedStrings(dispid, pStringArray, pCookieArray);
  CString name;
  for (short i = 0; collection->NameAtPosition(i, name); ++i) {
    pStringArray->Add(name);
    pCookieArray->Add(DWORD(i));
  }
  return TRUE;
}

BOOL CTessaryCtrl::OnGetPredefinedValue(DISPID dispid, DWORD dwCookie, VARIANT* lpvarOut) {
  switch (dispid) {
    case dispidWMVProfile:
    case dispidVideoCompressor:
    case dispidAudioCompressor:
    case dispidTransition:
      VariantClear(lpvarOut);
      lpvarOut->vt = VT_I2;
      lpvarOut->iVal = SHORT(dwCookie);
      return TRUE;
    default:
      return COleControl::OnGetPredefinedValue(dispid, dwCookie, lpvarOut);
  }
}

void CTessaryCtrl::AboutBox() {
  CDialog about;
  about.InitModalIndirect(&kAboutBoxTemplate, this);
  about.DoModal();
}

// ---- Sample grabber callback --------------------------------------------------------------------

STDMETHODIMP_(ULONG) CTessaryCtrl::XSampleGrabberCB::AddRef() { return 1; }
STDMETHODIMP_(ULONG) CTessaryCtrl::XSampleGrabberCB::Release() { return 2; }

STDMETHODIMP CTessaryCtrl::XSampleGrabberCB::QueryInterface(REFIID iid, LPVOID* ppvObj) {
  if (!ppvObj) return E_POINTER;
  if (iid == IID_IUnknown || iid == IID_ISampleGrabberCB) {
    *ppvObj = this;
    return S_OK;
  }
  *ppvObj = nullptr;
  return E_NOINTERFACE;
}

STDMETHODIMP CTessaryCtrl::XSampleGrabberCB::SampleCB(double, IMediaSample*) { return 0; }

STDMETHODIMP CTessaryCtrl::XSampleGrabberCB::BufferCB(double SampleTime, BYTE* pBuffer, LONG BufferLen) {
  METHOD_PROLOGUE(CTessaryCtrl, SampleGrabberCB)
  return pThis->FrameRangeSample(SampleTime, pBuffer, BufferLen);
}
