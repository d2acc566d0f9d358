// The File Writer fed a byte stream: sample times are file offsets.
#include <gtest/gtest.h>

#include <cstring>
#include <fstream>
#include <iterator>

#include "clips.h"
#include "test_graph.h"

namespace filters_test {
namespace {

// A byte-stream source the test drives by hand.
class ByteSource : public CBaseFilter {
 public:
  class Pin : public CBaseOutputPin {
   public:
    Pin(ByteSource* filter, HRESULT* phr) : CBaseOutputPin("bytes", filter, &filter->lock_, phr, u"Out") {}
    HRESULT CheckMediaType(const CMediaType* mt) override {
      return *mt->Type() == MEDIATYPE_Stream ? S_OK : VFW_E_TYPE_NOT_ACCEPTED;
    }
    HRESULT GetMediaType(int position, CMediaType* mt) override {
      if (position < 0) return E_INVALIDARG;
      if (position > 0) return VFW_S_NO_MORE_ITEMS;
      mt->InitMediaType();
      mt->SetType(&MEDIATYPE_Stream);
      return S_OK;
    }
    HRESULT DecideBufferSize(IMemAllocator* allocator, ALLOCATOR_PROPERTIES* request) override {
      request->cBuffers = 1;
      request->cbBuffer = 64;
      request->cbAlign = 1;
      ALLOCATOR_PROPERTIES actual;
      return allocator->SetProperties(request, &actual);
    }
    // Sends bytes, at an offset when one is given.
    HRESULT Send(const char* text, const REFERENCE_TIME* offset) {
      IMediaSample* sample = nullptr;
      HRESULT hr = GetDeliveryBuffer(&sample, nullptr, nullptr, 0);
      if (FAILED(hr)) return hr;
      BYTE* data = nullptr;
      sample->GetPointer(&data);
      std::memcpy(data, text, std::strlen(text));
      sample->SetActualDataLength(LONG(std::strlen(text)));
      if (offset) {
        REFERENCE_TIME start = *offset, stop = *offset + REFERENCE_TIME(std::strlen(text));
        sample->SetTime(&start, &stop);
      }
      hr = Deliver(sample);
      sample->Release();
      return hr;
    }
  };

  ByteSource() : CBaseFilter("bytes", nullptr, &lock_, GUID_NULL) { pin_ = std::make_unique<Pin>(this, nullptr); }
  int GetPinCount() override { return 1; }
  CBasePin* GetPin(int n) override { return n == 0 ? pin_.get() : nullptr; }
  Pin* OutputPin() { return pin_.get(); }

 private:
  CCritSec lock_;
  std::unique_ptr<Pin> pin_;
};

// A File Writer writing `path`, fed by `source`.
IBaseFilter* AddWriter(TestGraph& graph, ByteSource* source, const std::string& path) {
  graph.Add(source, u"Bytes");
  IBaseFilter* writer = graph.Add(CLSID_FileWriter, u"File Writer");
  auto* sink = QueryAs<IFileSinkFilter>(writer, IID_IFileSinkFilter);
  EXPECT_EQ(sink->SetFileName(Wide(path).c_str(), nullptr), S_OK);
  sink->Release();
  EXPECT_EQ(ConnectFilters(source, writer), S_OK);
  return writer;
}

std::string Contents(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

TEST(FileWriter, WritesSamplesAtTheirOffsetsIntoAFreshFile) {
  const std::string path = SandboxFile("bytes.bin");
  {
    std::ofstream old(path, std::ios::binary);
    old << "an older and much longer file that must not show through";
  }
  auto* source = new ByteSource;
  source->NonDelegatingAddRef();
  {
    TestGraph graph;
    AddWriter(graph, source, path);
    ASSERT_EQ(graph.Run(), S_OK);
    ByteSource::Pin* pin = source->OutputPin();
    EXPECT_EQ(pin->Send("....header", nullptr), S_OK);
    EXPECT_EQ(pin->Send("-data", nullptr), S_OK);  // appended
    const REFERENCE_TIME start = 0;
    EXPECT_EQ(pin->Send("HEAD", &start), S_OK);  // rewritten in place, as WAV headers are
    EXPECT_EQ(pin->DeliverEndOfStream(), S_OK);
    const auto codes = graph.WaitForCompletion(1);
    ASSERT_FALSE(codes.empty());
    EXPECT_EQ(codes.back(), EC_COMPLETE);
    EXPECT_EQ(graph.Stop(), S_OK);
  }
  source->NonDelegatingRelease();
  EXPECT_EQ(Contents(path), "HEADheader-data");
}

// The graph stops the writer before the filter feeding it, which finishes its file as it stops:
// the writer takes the rest of the stream and its end after Stop, and nothing after that end.
TEST(FileWriter, TakesTheRestOfAStreamAfterStopUntilItsEnd) {
  const std::string path = SandboxFile("finished_late.bin");
  auto* source = new ByteSource;
  source->NonDelegatingAddRef();
  {
    TestGraph graph;
    IBaseFilter* writer = AddWriter(graph, source, path);
    ASSERT_EQ(graph.Run(), S_OK);
    ByteSource::Pin* pin = source->OutputPin();
    EXPECT_EQ(pin->Send("....-body", nullptr), S_OK);
    EXPECT_EQ(writer->Stop(), S_OK);
    EXPECT_EQ(Contents(path), "....-body");  // on disk when Stop returns
    const REFERENCE_TIME start = 0;
    EXPECT_EQ(pin->Send("HEAD", &start), S_OK);
    EXPECT_EQ(pin->Send("-tail", nullptr), S_OK);
    EXPECT_EQ(pin->DeliverEndOfStream(), S_OK);
    EXPECT_NE(pin->Send("late", nullptr), S_OK);
    EXPECT_EQ(graph.Stop(), S_OK);
    for (const Event& e : graph.Events()) EXPECT_NE(e.code, EC_COMPLETE);  // an end after Stop completes nothing
  }
  source->NonDelegatingRelease();
  EXPECT_EQ(Contents(path), "HEAD-body-tail");
}

}  // namespace
}  // namespace filters_test
