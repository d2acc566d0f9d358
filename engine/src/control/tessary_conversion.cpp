// Conversion: Save binds the compressors, builds the graph from the timeline and runs it; the
// progress timer reports, the graph's notices end it.
#include "control/device_category.h"
#include "control/tessary_ctrl.h"
#include "control/wmv_profile.h"
#include "control/wmv_profiles.h"
#include "engine/tessary_ids.h"
#include "filters/outside_filters.h"
#include "wmf/wmsdk.h"

namespace {

constexpr LONG kOutputAvi = 8;
constexpr LONG kOutputWmv = 9;
constexpr UINT kGraphNotify = WM_USER + 1;
constexpr UINT_PTR kProgressTimer = 1;

// One RenderStream; the builders' answers are not examined.
void Render(ICaptureGraphBuilder2* builder, IUnknown* from, IBaseFilter* through, IBaseFilter* to) {
  builder->RenderStream(nullptr, nullptr, from, through, to);
}

}  // namespace

// ---- Run flags ----------------------------------------------------------------------------------

void CTessaryCtrl::InitControl() {
  CreateTimeline();
  ready_ = TRUE;
  busy_ = FALSE;
}

BOOL CTessaryCtrl::Save(LPCTSTR strFileName) {
  if (!ready_ || busy_) return FALSE;
  // Only the AVI and Windows Media writers exist in this engine.
  if (settings_.outputType != kOutputAvi && settings_.outputType != kOutputWmv) return FALSE;
  if (m_hWnd) KillTimer(8);
  busy_ = TRUE;

  GUID profileId = GUID_NULL;
  if (wmvProfiles_->GetCount() > 0)
    if (const CWMVProfile* profile = wmvProfiles_->ProfileAt(settings_.wmvProfile)) profileId = profile->ProfileId();

  ComPtr<IBaseFilter> videoCompressor;
  ComPtr<IBaseFilter> audioCompressor;
  BindCompressor(CLSID_VideoCompressorCategory, settings_.videoCompressor, &videoCompressor, m_strVideoCompressorName);
  if (auto dv = videoCompressor.As<IDVEnc>(IID_IDVEnc)) {
    if (settings_.dvVideoEncoderParam)
      dv->put_IFormatResolution(DVENCODERVIDEOFORMAT_PAL, DVENCODERFORMAT_DVSD, DVENCODERRESOLUTION_720x480, FALSE,
                                nullptr);
    else
      dv->put_IFormatResolution(DVENCODERVIDEOFORMAT_NTSC, DVENCODERFORMAT_DVSD, DVENCODERRESOLUTION_360x240, FALSE,
                                nullptr);
  }
  BindCompressor(CLSID_AudioCompressorCategory, settings_.audioCompressor, &audioCompressor, m_strAudioCompressorName);

  const GUID& subtype = settings_.outputType == kOutputAvi ? MEDIASUBTYPE_Avi : MEDIASUBTYPE_Asf;
  if (settings_.outputType == kOutputAvi) profileId = GUID_NULL;
  const HRESULT hr =
      BuildConversionGraph(strFileName, subtype, profileId, videoCompressor.get(), audioCompressor.get());
  // A conversion that does not run holds no graph.
  if (hr != S_OK) ReleaseGraph();
  return hr == S_OK;
}

HRESULT CTessaryCtrl::BindCompressor(REFCLSID category, short position, ComPtr<IBaseFilter>* filter, CString& name) {
  filter->Reset();
  // A name left from an earlier Save would stand for a compressor this one did not bind.
  name.Empty();
  ComPtr<IEnumMoniker> monikers;
  const HRESULT hr = OpenDeviceCategory(category, &monikers);
  if (hr != S_OK) return hr;
  ComPtr<IMoniker> moniker;
  // The enumeration runs to its end.
  for (short index = 0; monikers->Next(1, moniker.put(), nullptr) == S_OK; ++index) {
    CString friendly;
    if (ReadFriendlyName(moniker.get(), friendly) != S_OK || index != position) continue;
    if (SUCCEEDED(moniker->BindToObject(nullptr, nullptr, IID_IBaseFilter, filter->putVoid()))) name = friendly;
  }
  return *filter ? S_OK : S_FALSE;
}

// The encoder's key, then the bit rate and the sample rate; the answers of the settings are not
// examined.
HRESULT CTessaryCtrl::ConfigureMp3Encoder(IBaseFilter* encoder) {
  ComPtr<IMp3EncoderSettings> settings;
  const HRESULT hr = encoder->QueryInterface(IID_IMp3EncoderSettings, settings.putVoid());
  if (FAILED(hr)) return hr;
  settings->SetKey(kMp3EncoderSettingsKey);
  settings->SetBitRate(settings_.aviLameBitrate);
  settings->SetSampleRate(settings_.aviLameSampleRate);
  return S_OK;
}

// ---- Building the graph -------------------------------------------------------------------------

HRESULT CTessaryCtrl::BuildConversionGraph(LPCTSTR name, const GUID& subtype, const GUID& profileId,
                                           IBaseFilter* videoCompressor, IBaseFilter* audioCompressor) {
  CWaitCursor wait;
  ReleaseGraph();
  outputFile_.Empty();
  if (!name || !*name) return E_INVALIDARG;
  outputFile_ = name;
  // Without the control's window the graph's notices would reach nobody and the run never end.
  if (!m_hWnd || !timeline_.Get()) return E_UNEXPECTED;

  ComPtr<ICaptureGraphBuilder2> builder;
  HRESULT hr = CoCreateInstance(CLSID_RenderEngine, nullptr, CLSCTX_INPROC_SERVER, IID_IRenderEngine,
                                m_pRenderEngine.putVoid());
  if (SUCCEEDED(hr))
    hr = CoCreateInstance(CLSID_CaptureGraphBuilder2, nullptr, CLSCTX_INPROC_SERVER, IID_ICaptureGraphBuilder2,
                          builder.putVoid());
  if (SUCCEEDED(hr)) hr = m_pRenderEngine->SetTimelineObject(timeline_.Get());
  if (SUCCEEDED(hr)) hr = m_pRenderEngine->ConnectFrontEnd();
  if (SUCCEEDED(hr)) hr = m_pRenderEngine->GetFilterGraph(m_pGraph.put());
  if (SUCCEEDED(hr)) hr = builder->SetFiltergraph(m_pGraph.get());
  if (FAILED(hr)) return hr;

  // Output stage: the multiplexer or ASF writer with its file sink. A graph that would write
  // nothing is not run.
  BSTR wide = outputFile_.AllocSysString();
  hr = builder->SetOutputFileName(&subtype, wide, m_pWriter.put(), nullptr);
  SysFreeString(wide);
  if (FAILED(hr)) {
    ::MessageBoxA(m_hWnd, "Failed to set file name", nullptr, MB_OK);
    return hr;
  }

  ComPtr<IBaseFilter> mp3Encoder;
  IBaseFilter* usedVideoCompressor = nullptr;
  IBaseFilter* usedAudioCompressor = nullptr;
  if (settings_.outputType == kOutputAvi) {
    if (settings_.useVideoCompressor) {
      hr = videoCompressor ? m_pGraph->AddFilter(videoCompressor, u"Compressor") : E_POINTER;
      if (FAILED(hr)) return hr;
      usedVideoCompressor = videoCompressor;
    }
    if (settings_.useAudioCompressor && m_strAudioCompressorName != "MPEG Layer-3") {
      settings_.useAVILameEncoder = FALSE;
      hr = audioCompressor ? m_pGraph->AddFilter(audioCompressor, u"Audio Compressor") : E_POINTER;
      if (FAILED(hr)) return hr;
      usedAudioCompressor = audioCompressor;
    } else if (settings_.useAudioCompressor) {
      settings_.useAVILameEncoder = TRUE;
      hr = CoCreateInstance(CLSID_Mp3EncoderFilter, nullptr, CLSCTX_INPROC_SERVER, IID_IBaseFilter,
                            mp3Encoder.putVoid());
      if (SUCCEEDED(hr)) hr = m_pGraph->AddFilter(mp3Encoder.get(), u"MP3 encoder");
      if (SUCCEEDED(hr)) hr = ConfigureMp3Encoder(mp3Encoder.get());
      if (FAILED(hr)) return hr;
    }
  }

  if (settings_.outputType == kOutputWmv && profileId != GUID_NULL) {
    hr = ConfigureAsfWriter(profileId);
    if (FAILED(hr)) return hr;
  }

  LONG groups = 0;
  hr = timeline_.Get()->GetGroupCount(&groups);
  if (FAILED(hr)) return hr;
  ComPtr<IBaseFilter> tee;
  hr = CoCreateInstance(CLSID_InfTee, nullptr, CLSCTX_INPROC_SERVER, IID_IBaseFilter, tee.putVoid());
  if (SUCCEEDED(hr)) hr = m_pGraph->AddFilter(tee.get(), u"Smart Tee 2");
  if (FAILED(hr)) return hr;

  for (LONG index = 0; index < groups && SUCCEEDED(hr); ++index) {
    ComPtr<IAMTimelineObj> node;
    ComPtr<IAMTimelineGroup> group;
    AM_MEDIA_TYPE type = {};
    ComPtr<IPin> pin;
    hr = timeline_.Get()->GetGroup(node.put(), index);
    if (SUCCEEDED(hr) && FAILED(node.As(IID_IAMTimelineGroup, &group))) hr = E_NOINTERFACE;
    if (SUCCEEDED(hr)) hr = group->GetMediaType(&type);
    if (SUCCEEDED(hr) && m_pRenderEngine->GetGroupOutputPin(index, pin.put()) == S_OK) {
      if (type.majortype == MEDIATYPE_Video) {
        Render(builder.get(), pin.get(), nullptr, tee.get());
        Render(builder.get(), tee.get(), settings_.outputType == kOutputAvi ? usedVideoCompressor : nullptr, m_pWriter.get());
        Render(builder.get(), tee.get(), nullptr, nullptr);  // the live view in the control
      } else if (settings_.outputType == kOutputAvi && mp3Encoder) {
        Render(builder.get(), pin.get(), nullptr, mp3Encoder.get());
        Render(builder.get(), mp3Encoder.get(), nullptr, m_pWriter.get());
      } else {
        Render(builder.get(), pin.get(), settings_.outputType == kOutputAvi ? usedAudioCompressor : nullptr,
               m_pWriter.get());
      }
    }
    FreeMediaType(type);
  }
  if (FAILED(hr)) return hr;

  if (auto events = m_pGraph.As<IMediaEventEx>(IID_IMediaEventEx))
    events->SetNotifyWindow(OAHWND(m_hWnd), kGraphNotify, 0);
  if (auto interleaving = m_pWriter.As<IConfigInterleaving>(IID_IConfigInterleaving)) {
    const REFERENCE_TIME second = 10000000;
    interleaving->put_Mode(INTERLEAVE_FULL);
    interleaving->put_Interleaving(&second, &second);
  }
  // No clock: the conversion runs as fast as decoding and encoding allow.
  if (auto timing = m_pGraph.As<IMediaFilter>(IID_IMediaFilter)) timing->SetSyncSource(nullptr);
  FitVideoWindow();

  ComPtr<IMediaControl> control;
  hr = m_pGraph.As(IID_IMediaControl, &control);
  if (SUCCEEDED(hr)) hr = control->Run();
  if (FAILED(hr)) return hr;
  SetTimer(kProgressTimer, 0, nullptr);
  return S_OK;
}

HRESULT CTessaryCtrl::ConfigureAsfWriter(const GUID& profileId) {
  ComPtr<IConfigAsfWriter> config;
  HRESULT hr = m_pWriter.As(IID_IConfigAsfWriter, &config);
  if (FAILED(hr)) return hr;
  if (!settings_.wmvCustomFileName.IsEmpty()) {
    ComPtr<IWMProfile> profile;
    hr = LoadCustomProfile(settings_.wmvCustomFileName, profile.put());
    if (SUCCEEDED(hr)) hr = config->ConfigureFilterUsingProfile(profile.get());
  } else {
    config->ConfigureFilterUsingProfileGuid(profileId);
  }
  return hr;
}

void CTessaryCtrl::FitVideoWindow() {
  ComPtr<IVideoWindow> window;
  if (!m_pGraph || FAILED(m_pGraph.As(IID_IVideoWindow, &window))) return;
  CRect client;
  GetClientRect(&client);
  if (SUCCEEDED(window->put_Owner(OAHWND(m_hWnd)))) {
    // Clicks on the live view reach the control, which passes a double-click on to its container.
    window->put_MessageDrain(OAHWND(m_hWnd));
    window->put_WindowStyle(WS_CHILD | WS_CLIPSIBLINGS);
    window->SetWindowPosition(0, 0, client.Width(), client.Height());
  }
}

// ---- Running ------------------------------------------------------------------------------------

void CTessaryCtrl::OnTimer(UINT_PTR nIDEvent) {
  if (nIDEvent == kProgressTimer) ReportProgress();
  COleControl::OnTimer(nIDEvent);
}

void CTessaryCtrl::ReportProgress() {
  if (!m_pGraph) return;
  ComPtr<IMediaSeeking> seeking;
  if (FAILED(m_pGraph.As(IID_IMediaSeeking, &seeking))) return;
  LONGLONG position = 0;
  seeking->GetCurrentPosition(&position);
  FireEvent(eventidProcessing, EVENT_PARAM(VTS_R8 VTS_R8), double(position) * 1e-7, GetTotalDuration());
}

LRESULT CTessaryCtrl::OnGraphNotify(WPARAM, LPARAM) {
  ComPtr<IMediaEventEx> events;
  if (!m_pGraph || FAILED(m_pGraph.As(IID_IMediaEventEx, &events))) return 0;
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
  ready_ = FALSE;
}
