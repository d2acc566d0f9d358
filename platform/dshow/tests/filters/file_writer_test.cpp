// The File Writer fed a byte stream: sample times are file offsets. A muxer's file goes down to
// it as positioned samples.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <fstream>
#include <iterator>
#include <mutex>
#include <vector>

#include "clips.h"
#include "dshow/file_muxer.h"
#include "test_graph.h"
#include "testing/media_probe.h"

namespace dshow_test {
namespace {

using dshow::filters::FileMuxer;
using dshow::filters::MuxSettings;
using dshow::filters::Packet;
using dshow::filters::Parameters;
using dshow::filters::PositionedSampleOutput;

// A byte-stream source the test drives by hand, or a muxer drives through its pin; it keeps the
// length of every sample it delivers.
class ByteSource : public CBaseFilter {
 public:
  class Pin : public CBaseOutputPin {
   public:
    Pin(ByteSource* filter, LONG bufferBytes, HRESULT* phr)
        : CBaseOutputPin("bytes", filter, &filter->lock_, phr, u"Out"), bufferBytes_(bufferBytes) {}
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
      request->cbBuffer = bufferBytes_;
      request->cbAlign = 1;
      ALLOCATOR_PROPERTIES actual;
      return allocator->SetProperties(request, &actual);
    }
    HRESULT Deliver(IMediaSample* sample) override {
      {
        std::lock_guard<std::mutex> hold(sentLock_);
        sent_.push_back(sample->GetActualDataLength());
      }
      return CBaseOutputPin::Deliver(sample);
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
    std::vector<LONG> Sent() {
      std::lock_guard<std::mutex> hold(sentLock_);
      return sent_;
    }

   private:
    const LONG bufferBytes_;
    std::mutex sentLock_;
    std::vector<LONG> sent_;
  };

  explicit ByteSource(LONG bufferBytes = 64) : CBaseFilter("bytes", nullptr, &lock_, GUID_NULL) {
    pin_ = std::make_unique<Pin>(this, bufferBytes, nullptr);
  }
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

// The file is created as the run starts: one that cannot be created fails the run.
TEST(FileWriter, AFileThatCannotBeCreatedFailsTheRun) {
  auto* source = new ByteSource;
  source->NonDelegatingAddRef();
  {
    TestGraph graph;
    AddWriter(graph, source, SandboxFile("no such folder/out.bin"));
    EXPECT_EQ(graph.Run(), E_ACCESSDENIED);
    const auto events = graph.Events();
    ASSERT_FALSE(events.empty());
    EXPECT_EQ(events.back().code, EC_ERRORABORT);
    graph.Stop();
  }
  source->NonDelegatingRelease();
}

// Packets of raw 160x120 RGB pictures and PCM sound, in AVI.
class AviPackets {
 public:
  AviPackets() {
    Parameters video(avcodec_parameters_alloc()), audio(avcodec_parameters_alloc());
    video->codec_type = AVMEDIA_TYPE_VIDEO;
    video->codec_id = AV_CODEC_ID_RAWVIDEO;
    video->format = AV_PIX_FMT_BGR24;
    video->width = kWidth;
    video->height = kHeight;
    video->bits_per_coded_sample = 24;
    audio->codec_type = AVMEDIA_TYPE_AUDIO;
    audio->codec_id = AV_CODEC_ID_PCM_S16LE;
    audio->sample_rate = 8000;
    audio->bits_per_coded_sample = 16;
    audio->block_align = 2;
    av_channel_layout_default(&audio->ch_layout, 1);
    muxer_.AddStream(video.get(), {25, 1});
    muxer_.AddStream(audio.get(), {0, 1});
  }
  FileMuxer& Muxer() { return muxer_; }
  // Writes kFrames pictures and as much sound, interleaved; the number of packets written.
  int WriteAll() {
    int packets = 0;
    for (int frame = 0; frame < kFrames; ++frame) {
      packets += Write(0, kWidth * kHeight * 3, frame, frame * UNITS / 25, UNITS / 25);
      packets += Write(1, 640, frame, frame * UNITS / 25, UNITS / 25);
    }
    return packets;
  }
  static constexpr int kFrames = 30;

 private:
  int Write(int stream, int bytes, int seed, REFERENCE_TIME start, REFERENCE_TIME duration) {
    Packet packet = dshow::filters::NewPacket();
    EXPECT_EQ(av_new_packet(packet.get(), bytes), 0);
    for (int i = 0; i < bytes; ++i) packet->data[i] = uint8_t(i * 7 + seed * 13);
    packet->pts = start;
    packet->duration = duration;
    packet->flags |= AV_PKT_FLAG_KEY;
    EXPECT_EQ(muxer_.Write(stream, packet.get()), 0);
    return 1;
  }
  static constexpr int kWidth = 160;
  static constexpr int kHeight = 120;
  FileMuxer muxer_{"avi"};
};

// What goes down is the very file FFmpeg writes to a file of its own, whatever the size of the
// pin's buffers; with buffers as large as the I/O block, it goes down in large writes.
TEST(FileWriter, WritesAMuxedFileByteForByteFromPositionedSamples) {
  const std::string reference = SandboxFile("muxed_reference.avi");
  {
    AviPackets packets;
    ASSERT_EQ(packets.Muxer().Start(reference, MuxSettings{}), 0);
    packets.WriteAll();
    ASSERT_EQ(packets.Muxer().Finish(), 0);
  }
  const std::string expected = Contents(reference);
  ASSERT_GT(expected.size(), size_t(3 * PositionedSampleOutput::kBlockBytes));
  for (const LONG bufferBytes : {LONG(4000), LONG(PositionedSampleOutput::kBlockBytes)}) {
    SCOPED_TRACE(bufferBytes);
    const std::string path = SandboxFile("muxed_" + std::to_string(bufferBytes) + ".avi");
    auto* source = new ByteSource(bufferBytes);
    source->NonDelegatingAddRef();
    int written = 0;
    {
      TestGraph graph;
      AddWriter(graph, source, path);
      ASSERT_EQ(graph.Run(), S_OK);
      AviPackets packets;
      ASSERT_EQ(packets.Muxer().Start(source->OutputPin(), MuxSettings{}), 0);
      written = packets.WriteAll();
      ASSERT_EQ(packets.Muxer().Finish(), 0);  // the end of the stream follows
      const auto codes = graph.WaitForCompletion(1);
      ASSERT_FALSE(codes.empty());
      EXPECT_EQ(codes.back(), EC_COMPLETE);
      EXPECT_EQ(graph.Stop(), S_OK);
    }
    const std::vector<LONG> sent = source->OutputPin()->Sent();
    source->NonDelegatingRelease();
    EXPECT_TRUE(Contents(path) == expected);
    const auto probe = testing_support::ProbeFile(path);
    ASSERT_EQ(probe.error, "");
    ASSERT_NE(probe.Video(), nullptr);
    EXPECT_EQ(probe.Video()->packets, AviPackets::kFrames);
    if (bufferBytes == PositionedSampleOutput::kBlockBytes) {
      // Full I/O blocks, not a sample per packet; the trailer's patches to the header aside.
      const auto full = std::count(sent.begin(), sent.end(), LONG(PositionedSampleOutput::kBlockBytes));
      EXPECT_GE(size_t(full), expected.size() / PositionedSampleOutput::kBlockBytes - 1);
      EXPECT_LT(sent.size(), size_t(written));
    }
  }
}
}  // namespace
}  // namespace dshow_test
