#include "audio_renderer.h"

#include <algorithm>
#include <cstring>

namespace dshow::renderers {

AudioRenderer::InputPin::InputPin(AudioRenderer* filter, HRESULT* phr)
    : CBaseInputPin("Audio Renderer input", filter, &filter->lock_, phr, u"Audio Input pin (rendered)"),
      filter_(filter) {}

HRESULT AudioRenderer::InputPin::CheckMediaType(const CMediaType* mt) {
  WAVEFORMATEX format;
  return ReadFormat(*mt, &format) ? S_OK : VFW_E_TYPE_NOT_ACCEPTED;
}

STDMETHODIMP AudioRenderer::InputPin::Receive(IMediaSample* sample) {
  HRESULT hr = CBaseInputPin::Receive(sample);
  if (hr != S_OK) return hr;
  // Without a device (no clock) the sound has nowhere to go.
  if (!filter_->output_.IsOpen()) return S_OK;
  BYTE* data = nullptr;
  if (FAILED(sample->GetPointer(&data)) || !data) return E_POINTER;
  const LONG length = sample->GetActualDataLength();
  const WORD align = reinterpret_cast<const WAVEFORMATEX*>(CurrentMediaType().Format())->nBlockAlign;
  // Whole sample frames only: a torn one would shift every channel after it.
  const LONG whole = align ? length - length % align : length;
  if (whole > 0) filter_->output_.Write(data, size_t(whole));
  return S_OK;
}

STDMETHODIMP AudioRenderer::InputPin::EndOfStream() {
  if (HRESULT hr = CheckStreaming(); hr != S_OK) return hr;
  // The stream is complete once the device has taken all of it; stop or flush end the wait.
  if (filter_->output_.IsOpen() && !filter_->output_.WaitUntilDrained()) return S_OK;
  filter_->InputEnded();
  return S_OK;
}

STDMETHODIMP AudioRenderer::InputPin::BeginFlush() {
  filter_->output_.Interrupt();
  return CBaseInputPin::BeginFlush();
}

STDMETHODIMP AudioRenderer::InputPin::EndFlush() {
  filter_->output_.Resume();
  filter_->InputRestarted();
  return CBaseInputPin::EndFlush();
}

// ---- Filter -------------------------------------------------------------------------------------

AudioRenderer::AudioRenderer(LPUNKNOWN outer, HRESULT* phr, REFCLSID clsid)
    : SinkFilter(clsid == CLSID_DSoundRender ? "DirectSound Renderer" : "Audio Renderer", outer, clsid),
      clock_(AudioClock::Create()),
      output_(clock_.get()) {
  input_ = std::make_unique<InputPin>(this, phr);
  SetSeekingPin(input_.get());
}

AudioRenderer::~AudioRenderer() {
  output_.Close();
}

CUnknown* AudioRenderer::CreateInstance(LPUNKNOWN outer, HRESULT* phr) {
  return new AudioRenderer(outer, phr, CLSID_AudioRender);
}

CUnknown* AudioRenderer::CreateDirectSoundInstance(LPUNKNOWN outer, HRESULT* phr) {
  return new AudioRenderer(outer, phr, CLSID_DSoundRender);
}

CBasePin* AudioRenderer::GetPin(int n) { return n == 0 ? input_.get() : nullptr; }

STDMETHODIMP AudioRenderer::NonDelegatingQueryInterface(REFIID riid, void** ppv) {
  if (!ppv) return E_POINTER;
  if (riid == IID_IBasicAudio) return GetInterface(static_cast<IBasicAudio*>(this), ppv);
  if (riid == IID_IReferenceClock) return clock_->NonDelegatingQueryInterface(riid, ppv);
  return SinkFilter::NonDelegatingQueryInterface(riid, ppv);
}

STDMETHODIMP AudioRenderer::GetTypeInfoCount(UINT* pctinfo) {
  if (!pctinfo) return E_POINTER;
  *pctinfo = 0;
  return S_OK;
}

bool AudioRenderer::ReadFormat(const CMediaType& mt, WAVEFORMATEX* out) {
  if (mt.majortype != MEDIATYPE_Audio || mt.formattype != FORMAT_WaveFormatEx) return false;
  if (!mt.pbFormat || mt.cbFormat < sizeof(WAVEFORMATEX) - sizeof(WORD)) return false;
  WAVEFORMATEX f{};
  std::memcpy(&f, mt.pbFormat, std::min<size_t>(mt.cbFormat, sizeof f));
  const bool pcm = f.wFormatTag == WAVE_FORMAT_PCM &&
                   (f.wBitsPerSample == 8 || f.wBitsPerSample == 16 || f.wBitsPerSample == 32);
  const bool flt = f.wFormatTag == WAVE_FORMAT_IEEE_FLOAT && f.wBitsPerSample == 32;
  if (!pcm && !flt) return false;
  if (f.nChannels < 1 || f.nChannels > 8 || f.nSamplesPerSec < 1000 || f.nSamplesPerSec > 384000) return false;
  if (f.nBlockAlign != f.nChannels * f.wBitsPerSample / 8) return false;
  f.nAvgBytesPerSec = f.nSamplesPerSec * f.nBlockAlign;
  *out = f;
  return true;
}

STDMETHODIMP AudioRenderer::Pause() {
  if (IsStopped()) {
    output_.Resume();
    // Sound is played only when there is time to keep: with a clock.
    WAVEFORMATEX format;
    if (m_pClock && input_->IsConnected() && ReadFormat(input_->CurrentMediaType(), &format)) {
      if (output_.Open(format)) output_.SetGains(gains_);
    }
  } else {
    output_.SetPlaying(false);
  }
  return SinkFilter::Pause();
}

STDMETHODIMP AudioRenderer::Run(REFERENCE_TIME tStart) {
  HRESULT hr = SinkFilter::Run(tStart);
  if (SUCCEEDED(hr)) output_.SetPlaying(true);
  return hr;
}

STDMETHODIMP AudioRenderer::Stop() {
  // First free a streaming thread waiting for room or for the device to drain.
  output_.Interrupt();
  output_.Close();
  return SinkFilter::Stop();
}

STDMETHODIMP AudioRenderer::put_Volume(LONG lVolume) {
  if (lVolume < -10000 || lVolume > 0) return E_INVALIDARG;
  gains_.volume = lVolume;
  output_.SetGains(gains_);
  return S_OK;
}

STDMETHODIMP AudioRenderer::get_Volume(LONG* plVolume) {
  if (!plVolume) return E_POINTER;
  *plVolume = gains_.volume;
  return S_OK;
}

STDMETHODIMP AudioRenderer::put_Balance(LONG lBalance) {
  if (lBalance < -10000 || lBalance > 10000) return E_INVALIDARG;
  gains_.balance = lBalance;
  output_.SetGains(gains_);
  return S_OK;
}

STDMETHODIMP AudioRenderer::get_Balance(LONG* plBalance) {
  if (!plBalance) return E_POINTER;
  *plBalance = gains_.balance;
  return S_OK;
}

}  // namespace dshow::renderers
