// Conversion: Save binds the compressors, builds the graph from the timeline and runs it; the
// progress timer reports, the graph's notices end it.
#include "filters/outside_filters.h"
#include "tessary_ctrl.h"
#include "tessary_ids.h"
#include "wmf/wmsdk.h"
#include "wmv_profile.h"
#include "wmv_profiles.h"

namespace {

constexpr LONG kOutputAvi = 8;
constexpr LONG kOutputWmv = 9;
constexpr UINT kGraphNotify = WM_USER + 1;
constexpr UINT_PTR kProgressTimer = 1;

template <class T>
HRESULT As(IUnknown* from, REFIID iid, T** to) {
  *to = nullptr;
  return from->QueryInterface(iid, reinterpret_cast<void**>(to));
}

template <class T>
void ReleaseInto(T*& p) {
  if (p) p->Release();
  p = nullptr;
}

bool ReadFriendlyName(IMoniker* moniker, CString& name) {
  IPropertyBag* bag = nullptr;
  if (FAILED(moniker->BindToStorage(nullptr, nullptr, IID_IPropertyBag, reinterpret_cast<void**>(&bag))))
    return false;
  VARIANT value;
  VariantInit(&value);
  const HRESULT hr = bag->Read(u"FriendlyName", &value, nullptr);
  bag->Release();
  const bool ok = SUCCEEDED(hr) && value.vt == VT_BSTR;
  if (ok) name = CString(value.bstrVal);
  VariantClear(&value);
  return ok;
}

// One RenderStream; the builders' answers are not examined.
void Render(ICaptureGraphBuilder2* builder, IUnknown* from, IBaseFilter* through, IBaseFilter* to) {
  builder->RenderStream(nullptr, nullptr, from, through, to);
}

}  // namespace

// ---- Run flags ----------------------------------------------------------------------------------

void CTessaryCtrl::InitControl() {
  CreateTimeline();
  m_bReady = TRUE;
  m_bBusy = FALSE;
}

BOOL CTessaryCtrl::Save(LPCTSTR strFileName) {
  if (!m_bReady || m_bBusy) return FALSE;
  // Only the AVI and Windows Media writers exist in this engine.
  if (m_nOutputType != kOutputAvi && m_nOutputType != kOutputWmv) return FALSE;
  if (m_hWnd) KillTimer(8);
  m_bBusy = TRUE;

  GUID profileId = GUID_NULL;
  if (m_pWMVProfiles->GetCount() > 0)
    if (const CWMVProfile* profile = m_pWMVProfiles->ProfileAt(m_nWMVProfile)) profileId = profile->ProfileId();

  IBaseFilter* videoCompressor = nullptr;
  IBaseFilter* audioCompressor = nullptr;
  BindCompressor(CLSID_VideoCompressorCategory, m_nVideoCompressor, &videoCompressor, m_strVideoCompressorName);
  if (videoCompressor) {
    IDVEnc* dv = nullptr;
    if (SUCCEEDED(As(videoCompressor, IID_IDVEnc, &dv))) {
      if (m_nDvVideoEncoderParam)
        dv->put_IFormatResolution(DVENCODERVIDEOFORMAT_PAL, DVENCODERFORMAT_DVSD, DVENCODERRESOLUTION_720x480, FALSE,
                                  nullptr);
      else
        dv->put_IFormatResolution(DVENCODERVIDEOFORMAT_NTSC, DVENCODERFORMAT_DVSD, DVENCODERRESOLUTION_360x240,
                                  FALSE, nullptr);
      dv->Release();
    }
  }
  BindCompressor(CLSID_AudioCompressorCategory, m_nAudioCompressor, &audioCompressor, m_strAudioCompressorName);

  const GUID& subtype = m_nOutputType == kOutputAvi ? MEDIASUBTYPE_Avi : MEDIASUBTYPE_Asf;
  if (m_nOutputType == kOutputAvi) profileId = GUID_NULL;
  const HRESULT hr = BuildConversionGraph(strFileName, subtype, profileId, videoCompressor, audioCompressor);
  if (videoCompressor) videoCompressor->Release();
  if (audioCompressor) audioCompressor->Release();
  // A conversion that does not run holds no graph.
  if (hr != S_OK) ReleaseGraph();
  return hr == S_OK;
}

HRESULT CTessaryCtrl::BindCompressor(REFCLSID category, short position, IBaseFilter** filter, CString& name) {
  *filter = nullptr;
  // A name left from an earlier Save would stand for a compressor this one did not bind.
  name.Empty();
  ICreateDevEnum* devices = nullptr;
  HRESULT hr = CoCreateInstance(CLSID_SystemDeviceEnum, nullptr, CLSCTX_INPROC_SERVER, IID_ICreateDevEnum,
                                reinterpret_cast<void**>(&devices));
  if (FAILED(hr)) return hr;
  IEnumMoniker* monikers = nullptr;
  hr = devices->CreateClassEnumerator(category, &monikers, 0);
  devices->Release();
  if (hr != S_OK) return hr;
  IMoniker* moniker = nullptr;
  for (short index = 0; monikers->Next(1, &moniker, nullptr) == S_OK; ++index, moniker->Release()) {
    CString friendly;
    if (!ReadFriendlyName(moniker, friendly) || index != position) continue;
    if (SUCCEEDED(moniker->BindToObject(nullptr, nullptr, IID_IBaseFilter, reinterpret_cast<void**>(filter))))
      name = friendly;
  }
  monikers->Release();
  return *filter ? S_OK : S_FALSE;
}

// The encoder's key, then the bit rate and the sample rate; the answers of the settings are not
// examined.
HRESULT CTessaryCtrl::ConfigureMp3Encoder(IBaseFilter* encoder) {
  IMp3EncoderSettings* settings = nullptr;
  const HRESULT hr = As(encoder, IID_IMp3EncoderSettings, &settings);
  if (FAILED(hr)) return hr;
  settings->SetKey(kMp3EncoderSettingsKey);
  settings->SetBitRate(m_nAVILameBitrate);
  settings->SetSampleRate(m_nAVILameSampleRate);
  settings->Release();
  return S_OK;
}

// ---- Building the graph -------------------------------------------------------------------------

HRESULT CTessaryCtrl::BuildConversionGraph(LPCTSTR name, const GUID& subtype, const GUID& profileId,
                                           IBaseFilter* videoCompressor, IBaseFilter* audioCompressor) {
  CWaitCursor wait;
  ReleaseGraph();
  m_strOutputFile.Empty();
  if (!name || !*name) return E_INVALIDARG;
  m_strOutputFile = name;
  // Without the control's window the graph's notices would reach nobody and the run never end.
  if (!m_hWnd || !m_pTimeline) return E_UNEXPECTED;

  ICaptureGraphBuilder2* builder = nullptr;
  HRESULT hr = CoCreateInstance(CLSID_RenderEngine, nullptr, CLSCTX_INPROC_SERVER, IID_IRenderEngine,
                                reinterpret_cast<void**>(&m_pRenderEngine));
  if (SUCCEEDED(hr))
    hr = CoCreateInstance(CLSID_CaptureGraphBuilder2, nullptr, CLSCTX_INPROC_SERVER, IID_ICaptureGraphBuilder2,
                          reinterpret_cast<void**>(&builder));
  if (SUCCEEDED(hr)) hr = m_pRenderEngine->SetTimelineObject(m_pTimeline);
  if (SUCCEEDED(hr)) hr = m_pRenderEngine->ConnectFrontEnd();
  if (SUCCEEDED(hr)) hr = m_pRenderEngine->GetFilterGraph(&m_pGraph);
  if (SUCCEEDED(hr)) hr = builder->SetFiltergraph(m_pGraph);
  if (FAILED(hr)) {
    if (builder) builder->Release();
    return hr;
  }
  auto fail = [&](HRESULT failure) {
    builder->Release();
    return failure;
  };

  // Output stage: the multiplexer or ASF writer with its file sink. A graph that would write
  // nothing is not run.
  BSTR wide = m_strOutputFile.AllocSysString();
  hr = builder->SetOutputFileName(&subtype, wide, &m_pWriter, nullptr);
  SysFreeString(wide);
  if (FAILED(hr)) {
    ::MessageBoxA(m_hWnd, "Failed to set file name", nullptr, MB_OK);
    return fail(hr);
  }

  IBaseFilter* mp3Encoder = nullptr;
  IBaseFilter* usedVideoCompressor = nullptr;
  IBaseFilter* usedAudioCompressor = nullptr;
  if (m_nOutputType == kOutputAvi) {
    if (m_bUseVideoCompressor) {
      hr = videoCompressor ? m_pGraph->AddFilter(videoCompressor, u"Compressor") : E_POINTER;
      if (FAILED(hr)) return fail(hr);
      usedVideoCompressor = videoCompressor;
    }
    if (m_bUseAudioCompressor && m_strAudioCompressorName != "MPEG Layer-3") {
      m_bUseAVILameEncoder = FALSE;
      hr = audioCompressor ? m_pGraph->AddFilter(audioCompressor, u"Audio Compressor") : E_POINTER;
      if (FAILED(hr)) return fail(hr);
      usedAudioCompressor = audioCompressor;
    } else if (m_bUseAudioCompressor) {
      m_bUseAVILameEncoder = TRUE;
      hr = CoCreateInstance(CLSID_Mp3EncoderFilter, nullptr, CLSCTX_INPROC_SERVER, IID_IBaseFilter,
                            reinterpret_cast<void**>(&mp3Encoder));
      if (SUCCEEDED(hr)) hr = m_pGraph->AddFilter(mp3Encoder, u"MP3 encoder");
      if (SUCCEEDED(hr)) hr = ConfigureMp3Encoder(mp3Encoder);
      if (FAILED(hr)) {
        if (mp3Encoder) mp3Encoder->Release();
        return fail(hr);
      }
    }
  }
  auto failAll = [&](HRESULT failure) {
    if (mp3Encoder) mp3Encoder->Release();
    return fail(failure);
  };

  if (m_nOutputType == kOutputWmv && profileId != GUID_NULL) {
    hr = ConfigureAsfWriter(profileId);
    if (FAILED(hr)) return failAll(hr);
  }

  LONG groups = 0;
  hr = m_pTimeline->GetGroupCount(&groups);
  if (FAILED(hr)) return failAll(hr);
  IBaseFilter* tee = nullptr;
  hr = CoCreateInstance(CLSID_InfTee, nullptr, CLSCTX_INPROC_SERVER, IID_IBaseFilter, reinterpret_cast<void**>(&tee));
  if (SUCCEEDED(hr)) hr = m_pGraph->AddFilter(tee, u"Smart Tee 2");
  if (FAILED(hr)) {
    if (tee) tee->Release();
    return failAll(hr);
  }

  for (LONG index = 0; index < groups && SUCCEEDED(hr); ++index) {
    IAMTimelineObj* node = nullptr;
    IAMTimelineGroup* group = nullptr;
    AM_MEDIA_TYPE type = {};
    IPin* pin = nullptr;
    hr = m_pTimeline->GetGroup(&node, index);
    if (SUCCEEDED(hr) && FAILED(As(node, IID_IAMTimelineGroup, &group))) hr = E_NOINTERFACE;
    if (SUCCEEDED(hr)) hr = group->GetMediaType(&type);
    if (SUCCEEDED(hr) && m_pRenderEngine->GetGroupOutputPin(index, &pin) == S_OK) {
      if (type.majortype == MEDIATYPE_Video) {
        Render(builder, pin, nullptr, tee);
        Render(builder, tee, m_nOutputType == kOutputAvi ? usedVideoCompressor : nullptr, m_pWriter);
        Render(builder, tee, nullptr, nullptr);  // the live view in the control
      } else if (m_nOutputType == kOutputAvi && mp3Encoder) {
        Render(builder, pin, nullptr, mp3Encoder);
        Render(builder, mp3Encoder, nullptr, m_pWriter);
      } else {
        Render(builder, pin, m_nOutputType == kOutputAvi ? usedAudioCompressor : nullptr, m_pWriter);
      }
    }
    if (pin) pin->Release();
    FreeMediaType(type);
    if (group) group->Release();
    if (node) node->Release();
  }
  tee->Release();
  if (mp3Encoder) mp3Encoder->Release();
  builder->Release();
  if (FAILED(hr)) return hr;

  IMediaEventEx* events = nullptr;
  if (SUCCEEDED(As(m_pGraph, IID_IMediaEventEx, &events))) {
    events->SetNotifyWindow(OAHWND(m_hWnd), kGraphNotify, 0);
    events->Release();
  }
  IConfigInterleaving* interleaving = nullptr;
  if (SUCCEEDED(As(m_pWriter, IID_IConfigInterleaving, &interleaving))) {
    const REFERENCE_TIME second = 10000000;
    interleaving->put_Mode(INTERLEAVE_FULL);
    interleaving->put_Interleaving(&second, &second);
    interleaving->Release();
  }
  // No clock: the conversion runs as fast as decoding and encoding allow.
  IMediaFilter* timing = nullptr;
  if (SUCCEEDED(As(m_pGraph, IID_IMediaFilter, &timing))) {
    timing->SetSyncSource(nullptr);
    timing->Release();
  }
  FitVideoWindow();

  IMediaControl* control = nullptr;
  hr = As(m_pGraph, IID_IMediaControl, &control);
  if (SUCCEEDED(hr)) {
    hr = control->Run();
    control->Release();
  }
  if (FAILED(hr)) return hr;
  SetTimer(kProgressTimer, 0, nullptr);
  return S_OK;
}

HRESULT CTessaryCtrl::ConfigureAsfWriter(const GUID& profileId) {
  IConfigAsfWriter* config = nullptr;
  HRESULT hr = As(m_pWriter, IID_IConfigAsfWriter, &config);
  if (FAILED(hr)) return hr;
  if (!m_strWMVCustomFileName.IsEmpty()) {
    IWMProfile* profile = nullptr;
    hr = LoadCustomProfile(m_strWMVCustomFileName, &profile);
    if (SUCCEEDED(hr)) {
      hr = config->ConfigureFilterUsingProfile(profile);
      profile->Release();
    }
  } else {
    config->ConfigureFilterUsingProfileGuid(profileId);
  }
  config->Release();
  return hr;
}

void CTessaryCtrl::FitVideoWindow() {
  IVideoWindow* window = nullptr;
  if (!m_pGraph || FAILED(As(m_pGraph, IID_IVideoWindow, &window))) return;
  CRect client;
  GetClientRect(&client);
  if (SUCCEEDED(window->put_Owner(OAHWND(m_hWnd)))) {
    // Clicks on the live view reach the control, which passes a double-click on to its container.
    window->put_MessageDrain(OAHWND(m_hWnd));
    window->put_WindowStyle(WS_CHILD | WS_CLIPSIBLINGS);
    window->SetWindowPosition(0, 0, client.Width(), client.Height());
  }
  window->Release();
}

// ---- Running ------------------------------------------------------------------------------------

void CTessaryCtrl::OnTimer(UINT_PTR nIDEvent) {
  if (nIDEvent == kProgressTimer) ReportProgress();
  COleControl::OnTimer(nIDEvent);
}

void CTessaryCtrl::ReportProgress() {
  if (!m_pGraph) return;
  IMediaSeeking* seeking = nullptr;
  if (FAILED(As(m_pGraph, IID_IMediaSeeking, &seeking))) return;
  LONGLONG position = 0;
  seeking->GetCurrentPosition(&position);
  seeking->Release();
  FireEvent(eventidProcessing, EVENT_PARAM(VTS_R8 VTS_R8), double(position) * 1e-7, GetTotalDuration());
}

LRESULT CTessaryCtrl::OnGraphNotify(WPARAM, LPARAM) {
  IMediaEventEx* events = nullptr;
  if (!m_pGraph || FAILED(As(m_pGraph, IID_IMediaEventEx, &events))) return 0;
  bool ended = false;
  LONG code = 0;
  LONG_PTR param1 = 0, param2 = 0;
  // Reading stops at the end of the conversion: what follows belongs to a graph being let go.
  while (!ended && SUCCEEDED(events->GetEvent(&code, &param1, &param2, 0))) {
    events->FreeEventParams(code, param1, param2);
    switch (code) {
      case EC_COMPLETE:
      // A stream that fails ends the conversion too; the writer keeps what was converted.
      case EC_USERABORT:
      case EC_ERRORABORT:
      case EC_ERRORABORTEX:
        ended = true;
        break;
      case EC_REPAINT:
        Invalidate(TRUE);
        break;
      default:
        break;
    }
  }
  events->Release();
  if (ended) {
    KillTimer(kProgressTimer);
    StopProcessing();
    // The container may start its next conversion from here.
    FireEvent(eventidComplete, EVENT_PARAM(VTS_NONE));
  }
  return 0;
}

void CTessaryCtrl::StopProcessing() {
  if (m_hWnd) {
    KillTimer(1);
    KillTimer(2);
    KillTimer(8);
  }
  TearDownEditing();
  m_bReady = FALSE;
}
