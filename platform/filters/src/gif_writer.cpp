#include "gif_writer.h"

namespace filters {

CUnknown* GifWriter::Create(LPUNKNOWN outer, HRESULT* phr) { return new GifWriter(outer, phr); }

GifWriter::GifWriter(LPUNKNOWN outer, HRESULT*)
    : EncodingWriter("GIF Writer", outer, CLSID_GifWriter, u"Video Input", u"Audio Input") {}

STDMETHODIMP GifWriter::NonDelegatingQueryInterface(REFIID riid, void** ppv) {
  if (!ppv) return E_POINTER;
  if (riid == IID_IGifWriterSettings) return GetInterface(static_cast<IGifWriterSettings*>(this), ppv);
  return EncodingWriter::NonDelegatingQueryInterface(riid, ppv);
}

HRESULT GifWriter::Set(LONG Values::*field, LONG value) {
  CAutoLock hold(&valuesLock_);
  values_.*field = value;
  return S_OK;
}

GifWriter::Values GifWriter::Current() {
  CAutoLock hold(&valuesLock_);
  return values_;
}

STDMETHODIMP GifWriter::SetMaxColors(LONG colors) {
  return colors < 2 || colors > 256 ? E_INVALIDARG : Set(&Values::maxColors, colors);
}

STDMETHODIMP GifWriter::SetFrameRate(LONG fps) {
  // A GIF times its pictures in hundredths of a second.
  return fps < 0 || fps > 100 ? E_INVALIDARG : Set(&Values::frameRate, fps);
}

STDMETHODIMP GifWriter::SetWidth(LONG width) {
  return width < 0 || width > 8192 ? E_INVALIDARG : Set(&Values::width, width);
}

STDMETHODIMP GifWriter::SetHeight(LONG height) {
  return height < 0 || height > 8192 ? E_INVALIDARG : Set(&Values::height, height);
}

bool GifWriter::PlanVideo(const dshow::filters::VideoFormat& in, VideoPlan* plan) {
  const Values v = Current();
  plan->codec = avcodec_find_encoder(AV_CODEC_ID_GIF);
  auto& t = plan->target;
  t.width = v.width ? v.width : in.width;
  t.height = v.height ? v.height : in.height;
  if (v.frameRate > 0) t.frameRate = {v.frameRate, 1};
  // 3-3-2 bits of red, green and blue, or 1-2-1 for sixteen colours.
  t.pixelFormat = v.maxColors <= 16 ? AV_PIX_FMT_RGB4_BYTE : AV_PIX_FMT_RGB8;
  return plan->codec != nullptr;
}

// A GIF has no sound: a connected audio input is taken and nothing of it written.
bool GifWriter::PlanAudio(const dshow::filters::PcmFormat&, AudioPlan*) { return true; }

FilePlan GifWriter::PlanFile() {
  const Values v = Current();
  FilePlan plan;
  plan.format = "gif";
  // The muxer counts repeats after the first showing: 0 forever, -1 none.
  plan.mux.options["loop"] = v.loop < 0 ? "0" : v.loop == 0 ? "-1" : std::to_string(v.loop);
  return plan;
}

}  // namespace filters
