#pragma once
// The Audio Renderer (also created as the DirectSound renderer): plays PCM through SDL2 audio
// and offers the graph a reference clock driven by the sound played. When the graph runs with
// no clock at all (a conversion), there is nothing to keep time with and sound is dropped as it
// comes. EC_COMPLETE follows once the device has taken the last of the stream.
#include <memory>

#include "audio_clock.h"
#include "audio_output.h"
#include "dshow/sink_filter.h"

namespace dshow::renderers {

class AudioRenderer : public filters::SinkFilter, public IBasicAudio {
 public:
  static CUnknown* CreateInstance(LPUNKNOWN outer, HRESULT* phr);
  static CUnknown* CreateDirectSoundInstance(LPUNKNOWN outer, HRESULT* phr);
  ~AudioRenderer() override;

  DECLARE_IUNKNOWN
  // Also IReferenceClock: the renderer's clock, a separate object.
  STDMETHODIMP NonDelegatingQueryInterface(REFIID riid, void** ppv) override;

  int GetPinCount() override { return 1; }
  CBasePin* GetPin(int n) override;
  STDMETHODIMP Run(REFERENCE_TIME tStart) override;
  STDMETHODIMP Pause() override;
  STDMETHODIMP Stop() override;

  // IDispatch (the interface is used through its vtable only).
  STDMETHODIMP GetTypeInfoCount(UINT* pctinfo) override;
  STDMETHODIMP GetTypeInfo(UINT, LCID, ITypeInfo**) override { return E_NOTIMPL; }
  STDMETHODIMP GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) override { return E_NOTIMPL; }
  STDMETHODIMP Invoke(DISPID, REFIID, LCID, WORD, DISPPARAMS*, VARIANT*, EXCEPINFO*, UINT*) override {
    return E_NOTIMPL;
  }

  // IBasicAudio: volume in hundredths of a decibel (-10000..0), balance -10000..10000.
  STDMETHODIMP put_Volume(LONG lVolume) override;
  STDMETHODIMP get_Volume(LONG* plVolume) override;
  STDMETHODIMP put_Balance(LONG lBalance) override;
  STDMETHODIMP get_Balance(LONG* plBalance) override;

 private:
  class InputPin : public CBaseInputPin {
   public:
    InputPin(AudioRenderer* filter, HRESULT* phr);
    HRESULT CheckMediaType(const CMediaType* mt) override;
    STDMETHODIMP Receive(IMediaSample* sample) override;
    STDMETHODIMP EndOfStream() override;
    STDMETHODIMP BeginFlush() override;
    STDMETHODIMP EndFlush() override;

   private:
    AudioRenderer* filter_;
  };

  AudioRenderer(LPUNKNOWN outer, HRESULT* phr, REFCLSID clsid);
  static bool ReadFormat(const CMediaType& mt, WAVEFORMATEX* out);

  std::unique_ptr<InputPin> input_;
  ComPtr<AudioClock> clock_;
  AudioOutput output_;
  AudioGains gains_;
};

}  // namespace dshow::renderers
