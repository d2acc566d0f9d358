// Colour Space Converter, the tees and the Sample Grabber between the source and renderers.
#include <gtest/gtest.h>

#include <mutex>
#include <vector>

#include "clips.h"
#include "test_graph.h"

namespace dshow_test {
namespace {

IBaseFilter* AddSource(TestGraph& graph) {
  IBaseFilter* source = graph.Add(CLSID_CorvaneFileSource, u"Source");
  auto* file = QueryAs<IFileSourceFilter>(source, IID_IFileSourceFilter);
  EXPECT_EQ(file->Load(Wide(AviClip()).c_str(), nullptr), S_OK);
  file->Release();
  return source;
}

// Upstream output `out` of `from` -> Sample Grabber -> Null Renderer.
IBaseFilter* AddGrabber(TestGraph& graph, IBaseFilter* from, int out, ISampleGrabberCB* callback,
                        const GUID* subtype = nullptr) {
  IBaseFilter* grabber = graph.Add(CLSID_SampleGrabber, u"Grabber");
  IBaseFilter* renderer = graph.Add(CLSID_NullRenderer, u"Null");
  auto* grab = QueryAs<ISampleGrabber>(grabber, IID_ISampleGrabber);
  if (subtype) {
    AM_MEDIA_TYPE mt{};
    mt.majortype = MEDIATYPE_Video;
    mt.subtype = *subtype;
    grab->SetMediaType(&mt);
  }
  grab->SetCallback(callback, 0);
  grab->Release();
  EXPECT_EQ(ConnectFilters(from, grabber, out), S_OK);
  EXPECT_EQ(ConnectFilters(grabber, renderer), S_OK);
  return grabber;
}

TEST(ColourConverter, TurnsI420IntoRgb24) {
  CountingCallback counter;
  TestGraph graph;
  IBaseFilter* source = AddSource(graph);
  IBaseFilter* converter = graph.Add(CLSID_Colour, u"Color Converter");
  ASSERT_NE(converter, nullptr);
  // The grabber will take only RGB24, which the source would give directly: force I420 into the
  // converter.
  IPin* out = PinOf(source, PINDIR_OUTPUT, 0);
  IPin* in = PinOf(converter, PINDIR_INPUT, 0);
  AM_MEDIA_TYPE i420{};
  i420.majortype = MEDIATYPE_Video;
  i420.subtype = MEDIASUBTYPE_I420;
  ASSERT_EQ(out->Connect(in, &i420), S_OK);
  AM_MEDIA_TYPE mt{};
  ASSERT_EQ(in->ConnectionMediaType(&mt), S_OK);
  EXPECT_EQ(mt.subtype, MEDIASUBTYPE_I420);
  FreeMediaType(mt);
  out->Release();
  in->Release();
  IBaseFilter* grabber = AddGrabber(graph, converter, 0, &counter, &MEDIASUBTYPE_RGB24);
  auto* grab = QueryAs<ISampleGrabber>(grabber, IID_ISampleGrabber);
  ASSERT_EQ(grab->GetConnectedMediaType(&mt), S_OK);
  EXPECT_EQ(mt.subtype, MEDIASUBTYPE_RGB24);
  FreeMediaType(mt);
  grab->Release();
  ASSERT_EQ(graph.Run(), S_OK);
  graph.WaitForCompletion(1);
  EXPECT_EQ(counter.samples, 50);
  EXPECT_EQ(counter.bytes, 50LL * 176 * 3 * 144);
}

TEST(ColourConverter, OffersRgbAndYuvOfTheSameSize) {
  TestGraph graph;
  IBaseFilter* source = AddSource(graph);
  IBaseFilter* converter = graph.Add(CLSID_Colour, u"Color Converter");
  ASSERT_EQ(ConnectFilters(source, converter), S_OK);
  IPin* out = PinOf(converter, PINDIR_OUTPUT);
  IEnumMediaTypes* types = nullptr;
  ASSERT_EQ(out->EnumMediaTypes(&types), S_OK);
  AM_MEDIA_TYPE* mt = nullptr;
  std::vector<GUID> subtypes;
  while (types->Next(1, &mt, nullptr) == S_OK) {
    EXPECT_EQ(reinterpret_cast<VIDEOINFOHEADER*>(mt->pbFormat)->bmiHeader.biWidth, 176);
    subtypes.push_back(mt->subtype);
    DeleteMediaType(mt);
  }
  types->Release();
  out->Release();
  EXPECT_EQ(subtypes, (std::vector<GUID>{MEDIASUBTYPE_RGB32, MEDIASUBTYPE_RGB24, MEDIASUBTYPE_RGB555,
                                         MEDIASUBTYPE_YUY2, MEDIASUBTYPE_I420}));
}

TEST(InfTee, EveryOutputGetsEverySampleAndAFreePinAppears) {
  CountingCallback first, second;
  TestGraph graph;
  IBaseFilter* source = AddSource(graph);
  IBaseFilter* tee = graph.Add(CLSID_InfTee, u"Tee");
  ASSERT_NE(tee, nullptr);
  ASSERT_EQ(ConnectFilters(source, tee), S_OK);
  AddGrabber(graph, tee, 0, &first);
  AddGrabber(graph, tee, 1, &second);
  IPin* spare = PinOf(tee, PINDIR_OUTPUT, 2);
  ASSERT_NE(spare, nullptr);
  PIN_INFO info{};
  spare->QueryPinInfo(&info);
  EXPECT_EQ(std::u16string(info.achName), u"Output3");
  if (info.pFilter) info.pFilter->Release();
  spare->Release();
  ASSERT_EQ(graph.Run(), S_OK);
  const auto codes = graph.WaitForCompletion(2);
  EXPECT_EQ(std::count(codes.begin(), codes.end(), EC_COMPLETE), 2);
  EXPECT_EQ(first.samples, 50);
  EXPECT_EQ(second.samples, 50);
  EXPECT_NEAR(second.lastTime, 1.96, 0.041);
}

// Records the buffers of the samples it sees, in order.
class BufferRecorder : public GrabberCallback {
 public:
  STDMETHODIMP SampleCB(double, IMediaSample* sample) override {
    BYTE* data = nullptr;
    sample->GetPointer(&data);
    std::lock_guard<std::mutex> hold(lock_);
    buffers_.push_back(data);
    return S_OK;
  }
  std::vector<BYTE*> Buffers() {
    std::lock_guard<std::mutex> hold(lock_);
    return buffers_;
  }

 private:
  std::mutex lock_;
  std::vector<BYTE*> buffers_;
};

// Receivers that only read get the input's samples themselves, so a picture is not copied once
// per output; the Smart Tee's preview output, which changes the times, gets copies.
TEST(InfTee, ReadingReceiversShareTheInputsSamples) {
  for (const CLSID* tee : {&CLSID_InfTee, &CLSID_SmartTee}) {
    BufferRecorder first, second;
    TestGraph graph;
    IBaseFilter* source = AddSource(graph);
    IBaseFilter* filter = graph.Add(*tee, u"Tee");
    ASSERT_EQ(ConnectFilters(source, filter), S_OK);
    AddGrabber(graph, filter, 0, &first);
    AddGrabber(graph, filter, 1, &second);
    ASSERT_EQ(graph.Run(), S_OK);
    graph.WaitForCompletion(2);
    const std::vector<BYTE*> a = first.Buffers(), b = second.Buffers();
    ASSERT_EQ(a.size(), 50u);
    ASSERT_EQ(b.size(), 50u);
    if (tee == &CLSID_InfTee) {
      EXPECT_EQ(a, b);
    } else {
      for (size_t i = 0; i < a.size(); ++i) EXPECT_NE(a[i], b[i]) << "sample " << i;
    }
  }
}

TEST(SmartTee, PreviewSamplesCarryNoTimes) {
  CountingCallback capture, preview;
  TestGraph graph;
  IBaseFilter* source = AddSource(graph);
  IBaseFilter* tee = graph.Add(CLSID_SmartTee, u"Smart Tee");
  ASSERT_NE(tee, nullptr);
  ASSERT_EQ(ConnectFilters(source, tee), S_OK);
  AddGrabber(graph, tee, 0, &capture);
  AddGrabber(graph, tee, 1, &preview);
  EXPECT_EQ(PinOf(tee, PINDIR_OUTPUT, 2), nullptr);
  ASSERT_EQ(graph.Run(), S_OK);
  graph.WaitForCompletion(2);
  EXPECT_EQ(capture.samples, 50);
  EXPECT_EQ(preview.samples, 50);
  EXPECT_NEAR(capture.lastTime, 1.96, 0.041);
  EXPECT_EQ(preview.lastTime, 0.0);
}

TEST(SampleGrabber, OneShotEndsTheStreamAfterOneSample) {
  CountingCallback counter;
  TestGraph graph;
  IBaseFilter* source = AddSource(graph);
  IBaseFilter* grabber = graph.Add(CLSID_SampleGrabber, u"Grabber");
  auto* grab = QueryAs<ISampleGrabber>(grabber, IID_ISampleGrabber);
  LONG size = 0;
  EXPECT_EQ(grab->GetCurrentBuffer(&size, nullptr), E_INVALIDARG);  // not buffering
  grab->SetOneShot(TRUE);
  grab->SetBufferSamples(TRUE);
  EXPECT_EQ(grab->GetCurrentBuffer(&size, nullptr), VFW_E_WRONG_STATE);  // nothing yet
  EXPECT_EQ(grab->SetCallback(&counter, 2), E_INVALIDARG);
  ASSERT_EQ(grab->SetCallback(&counter, 1), S_OK);  // BufferCB
  ASSERT_EQ(ConnectFilters(source, grabber), S_OK);
  ASSERT_EQ(ConnectFilters(grabber, graph.Add(CLSID_NullRenderer, u"Null")), S_OK);
  ASSERT_EQ(graph.Run(), S_OK);
  const auto codes = graph.WaitForCompletion(1);
  ASSERT_FALSE(codes.empty());
  EXPECT_EQ(codes.back(), EC_COMPLETE);
  EXPECT_EQ(counter.samples, 1);
  ASSERT_EQ(grab->GetCurrentBuffer(&size, nullptr), S_OK);
  EXPECT_EQ(size, 176 * 144 * 3 / 2);  // I420, the source's first offer
  EXPECT_EQ(counter.bytes, size);
  LONG small = size - 1;
  std::vector<LONG> buffer(static_cast<size_t>(size));
  EXPECT_EQ(grab->GetCurrentBuffer(&small, buffer.data()), E_OUTOFMEMORY);
  IMediaSample* sample = nullptr;
  EXPECT_EQ(grab->GetCurrentSample(&sample), E_NOTIMPL);
  grab->Release();
}

}  // namespace
}  // namespace dshow_test
