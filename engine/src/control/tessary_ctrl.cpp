#include "control/tessary_ctrl.h"

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
  ON_MESSAGE(WM_USER + 1, OnGraphNotify)
  ON_MESSAGE(WM_USER + 30, OnConversionDone)
  ON_MESSAGE(WM_APP + 20, OnAppNotify)
END_MESSAGE_MAP()

CTessaryCtrl::CTessaryCtrl()
    : m_pWMVProfiles(new CWMVProfiles),
      m_pVideoCompressors(new CVideoCompressors),
      m_pAudioCompressors(new CAudioCompressors),
      m_pTransitions(new CTransitions) {
  InitializeIIDs(&DIID__DTessary, &DIID__DTessaryEvents);
  SetMiscStatus(0x20191);
}

CTessaryCtrl::~CTessaryCtrl() { TearDownEditing(); }

void CTessaryCtrl::DoPropExchange(CPropExchange* pPX) {
  ExchangeVersion(pPX, MAKELONG_VERSION(1, 0));
  COleControl::DoPropExchange(pPX);
  PX_Short(pPX, "WMVProfile", m_nWMVProfile, 0);
  PX_Short(pPX, "VideoCompressor", m_nVideoCompressor, 0);
  PX_Short(pPX, "AudioCompressor", m_nAudioCompressor, 0);
  PX_Short(pPX, "Transition", m_nTransition, 0);
  PX_Short(pPX, "Effect", m_nEffect, 0);
  PX_Short(pPX, "OutputFileWidth", m_nOutputFileWidth, 320);
  PX_Short(pPX, "OutputFileHeight", m_nOutputFileHeight, 240);
  PX_Float(pPX, "FrameRate", m_fFrameRate, 15.0f);
  PX_Bool(pPX, "OutputAudio", m_bOutputAudio, TRUE);
  PX_Bool(pPX, "UseVideoCompressor", m_bUseVideoCompressor, FALSE);
  PX_Bool(pPX, "UseAudioCompressor", m_bUseAudioCompressor, FALSE);
  PX_Short(pPX, "VideoSampleSize", m_nVideoSampleSize, 16);
  PX_Long(pPX, "OutputType", m_nOutputType, 8);
  PX_Long(pPX, "MPEGAudioBitrate", m_nMPEGAudioBitrate, 224000);
  PX_Long(pPX, "MPEGVideoBitrate", m_nMPEGVideoBitrate, 4600000);
  PX_Bool(pPX, "EnumTransitions", m_bEnumTransitions, TRUE);
  PX_Bool(pPX, "EnumWMVProfiles", m_bEnumWMVProfiles, TRUE);
  PX_String(pPX, "WMVCustomFileName", m_strWMVCustomFileName, "");
  PX_Bool(pPX, "DeleteTmpFiles", m_bDeleteTmpFiles, TRUE);
  PX_Short(pPX, "MPEGCodec", m_nMPEGCodec, 0);
  PX_Long(pPX, "MPEGAudioSample", m_nMPEGAudioSampleRate, 44100);
  PX_Bool(pPX, "AspectRatio", m_bAspectRatio, TRUE);
  PX_Short(pPX, "DvVideoEncoderParam", m_nDvVideoEncoderParam, 0);
  PX_Short(pPX, "QTAudioComp", m_nQTAudioCompressor, 0);
  PX_Short(pPX, "QTVideoComp", m_nQTVideoCompressor, 0);
  PX_Short(pPX, "QTAudioChannels", m_nQTAudioChannels, 1);
  PX_Long(pPX, "QTAudioSampleRate", m_nQTAudioSampleRate, 44100);
  PX_Short(pPX, "AudioChannels", m_nAudioChannels, 2);
  PX_Short(pPX, "AudioSample", m_nAudioSample, 1);
  PX_Long(pPX, "AVILameSampleRate", m_nAVILameSampleRate, 44100);
  PX_Short(pPX, "AVILameBitrate", m_nAVILameBitrate, 320);
}

void CTessaryCtrl::OnDraw(CDC* pdc, const CRect& rcBounds, const CRect&) {
  CBrush black(RGB(0, 0, 0));
  pdc->FillRect(rcBounds, &black);
}

// ---- Window -------------------------------------------------------------------------------------

int CTessaryCtrl::OnCreate(LPCREATESTRUCT lpCreateStruct) {
  if (COleControl::OnCreate(lpCreateStruct) == -1) return -1;
  m_pVideoCompressors->SetOwnerWindow(GetContainerWindow());
  if (m_bEnumWMVProfiles) EnumSystemProfiles(*m_pWMVProfiles);
  FillCompressorCollections(*m_pVideoCompressors, *m_pAudioCompressors, m_strFirstVideoCompressor,
                            m_strFirstAudioCompressor);
  if (m_bEnumTransitions) m_pTransitions->EnumCategoryDevices();
  return 0;
}

void CTessaryCtrl::OnDestroy() {
  TearDownEditing();
  COleControl::OnDestroy();
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

LPDISPATCH CTessaryCtrl::GetWMVProfiles() { return m_pWMVProfiles->GetIDispatch(TRUE); }
LPDISPATCH CTessaryCtrl::GetVideoCompressors() { return m_pVideoCompressors->GetIDispatch(TRUE); }
LPDISPATCH CTessaryCtrl::GetAudioCompressors() { return m_pAudioCompressors->GetIDispatch(TRUE); }
LPDISPATCH CTessaryCtrl::GetTransitions() { return m_pTransitions->GetIDispatch(TRUE); }

void CTessaryCtrl::SetEnumTransitions(BOOL bNewValue) {
  m_bEnumTransitions = bNewValue;
  if (bNewValue) m_pTransitions->EnumCategoryDevices();
  PropertyStored(dispidEnumTransitions, Notify::DesignMode);
}

void CTessaryCtrl::SetEnumWMVProfiles(BOOL bNewValue) {
  m_bEnumWMVProfiles = bNewValue;
  if (bNewValue) EnumSystemProfiles(*m_pWMVProfiles);
  PropertyStored(dispidEnumWMVProfiles, Notify::DesignMode);
}

void CTessaryCtrl::SetAniGIFVideoQuality(short nNewValue) {
  m_bAniGIFVideoQuality = nNewValue != 0;
  PropertyStored(dispidAniGIFVideoQuality, Notify::DesignMode);
}

void CTessaryCtrl::SetParenthWnd(LONG nNewValue) {
  m_nParenthWnd = nNewValue;
  PropertyStored(dispidParenthWnd, Notify::Never);
}

void CTessaryCtrl::SetSetDivx(BOOL bNewValue) {
  m_bSetDivx = bNewValue != 0;
  PropertyStored(dispidSetDivx, Notify::Never);
}

// ---- Browsing of the index properties -----------------------------------------------------------

CItemCollection* CTessaryCtrl::IndexedCollection(DISPID dispid, short*& index) {
  switch (dispid) {
    case dispidWMVProfile: index = &m_nWMVProfile; return m_pWMVProfiles.get();
    case dispidVideoCompressor: index = &m_nVideoCompressor; return m_pVideoCompressors.get();
    case dispidAudioCompressor: index = &m_nAudioCompressor; return m_pAudioCompressors.get();
    case dispidTransition: index = &m_nTransition; return m_pTransitions.get();
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

STDMETHODIMP CTessaryCtrl::XSampleGrabberCB::BufferCB(double SampleTime, BYTE*, LONG) {
  METHOD_PROLOGUE(CTessaryCtrl, SampleGrabberCB)
  pThis->FireEvent(eventidProcessing, EVENT_PARAM(VTS_R8 VTS_R8), SampleTime, 0.0);
  // No frame grab holds a sample grabber here.
  return E_FAIL;
}
