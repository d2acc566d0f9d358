// Media types, samples and allocators of the filter base classes.
#include <gtest/gtest.h>

#include <thread>

#include "test_filters.h"

using namespace dshow_test;

TEST(MediaType, CopiesOwnTheirFormatAndCompareByContent) {
  CMediaType a = VideoType(24);
  CMediaType b(a);
  ASSERT_NE(a.Format(), b.Format());
  EXPECT_TRUE(a == b);
  reinterpret_cast<VIDEOINFOHEADER*>(b.Format())->bmiHeader.biWidth = 16;
  EXPECT_FALSE(a == b);

  AM_MEDIA_TYPE* copy = CreateMediaType(&a);
  ASSERT_NE(copy, nullptr);
  EXPECT_EQ(copy->cbFormat, sizeof(VIDEOINFOHEADER));
  EXPECT_NE(copy->pbFormat, a.Format());
  EXPECT_TRUE(CMediaType(*copy) == a);
  DeleteMediaType(copy);
  DeleteMediaType(nullptr);

  CMediaType empty;
  EXPECT_FALSE(empty.IsValid());
  EXPECT_TRUE(empty.IsPartiallySpecified());
  EXPECT_EQ(empty.GetSampleSize(), 1u);
  empty.SetVariableSize();
  EXPECT_EQ(empty.GetSampleSize(), 0u);
}

TEST(MediaType, PartialMatchTreatsNullFieldsAsWildcards) {
  CMediaType full = VideoType(24);
  CMediaType video(&MEDIATYPE_Video);
  EXPECT_TRUE(full.MatchesPartial(&video));
  CMediaType rgb32;
  rgb32.SetSubtype(&MEDIASUBTYPE_RGB32);
  EXPECT_FALSE(full.MatchesPartial(&rgb32));
  CMediaType audio(&MEDIATYPE_Audio);
  EXPECT_FALSE(full.MatchesPartial(&audio));
}

TEST(MediaType, BitmapSubtypesFollowTheHeader) {
  struct {
    BITMAPINFOHEADER h;
    DWORD masks[3];
  } bmi{};
  bmi.h.biSize = sizeof(BITMAPINFOHEADER);
  bmi.h.biBitCount = 16;
  EXPECT_EQ(GetBitmapSubtype(&bmi.h), MEDIASUBTYPE_RGB555);
  bmi.h.biCompression = BI_BITFIELDS;
  bmi.masks[0] = 0xF800;
  bmi.masks[1] = 0x07E0;
  bmi.masks[2] = 0x001F;
  EXPECT_EQ(GetBitmapSubtype(&bmi.h), MEDIASUBTYPE_RGB565);
  bmi.h.biBitCount = 24;
  EXPECT_EQ(GetBitmapSubtype(&bmi.h), MEDIASUBTYPE_RGB24);
  bmi.h.biBitCount = 32;
  EXPECT_EQ(GetBitmapSubtype(&bmi.h), MEDIASUBTYPE_RGB32);
  EXPECT_EQ(GetBitCount(&MEDIASUBTYPE_YV12), 12);
  EXPECT_EQ(GetBitCount(&MEDIASUBTYPE_PCM), USHRT_MAX);
}

namespace {

ComPtr<IMemAllocator> NewAllocator() {
  HRESULT hr = S_OK;
  return ComPtr<IMemAllocator>(new CMemAllocator("test", nullptr, &hr));
}

}  // namespace

TEST(Allocator, RoundsSizesToTheAlignmentAndRefusesBadAlignment) {
  const ComPtr<IMemAllocator> allocator = NewAllocator();
  ALLOCATOR_PROPERTIES request{2, 10, 16, 0}, actual{};
  ASSERT_EQ(allocator->SetProperties(&request, &actual), S_OK);
  EXPECT_EQ(actual.cBuffers, 2);
  EXPECT_EQ(actual.cbBuffer, 16);
  request.cbAlign = 3;
  EXPECT_EQ(allocator->SetProperties(&request, &actual), VFW_E_BADALIGN);
  request.cbAlign = 0;
  EXPECT_EQ(allocator->SetProperties(&request, &actual), VFW_E_BADALIGN);
  // A size whose prefix and rounding do not fit in a LONG is refused, not wrapped.
  request = {1, 0x7FFFFFF9, 16, 0};
  EXPECT_EQ(allocator->SetProperties(&request, &actual), E_OUTOFMEMORY);
  request = {1, 0x7FFFFFF0, 16, 0x20};
  EXPECT_EQ(allocator->SetProperties(&request, &actual), E_OUTOFMEMORY);
}

TEST(Allocator, HandsOutBuffersOnlyWhileCommitted) {
  const ComPtr<IMemAllocator> allocator = NewAllocator();
  IMediaSample* sample = nullptr;
  EXPECT_EQ(allocator->Commit(), VFW_E_SIZENOTSET);
  ALLOCATOR_PROPERTIES request{1, 64, 1, 0}, actual{};
  ASSERT_EQ(allocator->SetProperties(&request, &actual), S_OK);
  EXPECT_EQ(allocator->GetBuffer(&sample, nullptr, nullptr, 0), VFW_E_NOT_COMMITTED);
  ASSERT_EQ(allocator->Commit(), S_OK);
  ASSERT_EQ(allocator->GetBuffer(&sample, nullptr, nullptr, 0), S_OK);
  EXPECT_EQ(sample->GetSize(), 64);
  // The only buffer is out: no wait asked, no buffer.
  IMediaSample* second = nullptr;
  EXPECT_EQ(allocator->GetBuffer(&second, nullptr, nullptr, AM_GBF_NOWAIT), VFW_E_TIMEOUT);
  EXPECT_EQ(allocator->SetProperties(&request, &actual), VFW_E_ALREADY_COMMITTED);
  sample->Release();
  ASSERT_EQ(allocator->GetBuffer(&second, nullptr, nullptr, AM_GBF_NOWAIT), S_OK);
  second->Release();
}

TEST(Allocator, DecommitReleasesAWaitingThread) {
  const ComPtr<IMemAllocator> allocator = NewAllocator();
  ALLOCATOR_PROPERTIES request{1, 64, 1, 0}, actual{};
  ASSERT_EQ(allocator->SetProperties(&request, &actual), S_OK);
  ASSERT_EQ(allocator->Commit(), S_OK);
  IMediaSample* held = nullptr;
  ASSERT_EQ(allocator->GetBuffer(&held, nullptr, nullptr, 0), S_OK);
  HRESULT waited = S_OK;
  std::thread waiter([&] {
    IMediaSample* s = nullptr;
    waited = allocator->GetBuffer(&s, nullptr, nullptr, 0);
    if (s) s->Release();
  });
  ASSERT_EQ(allocator->Decommit(), S_OK);
  waiter.join();
  EXPECT_EQ(waited, VFW_E_NOT_COMMITTED);
  // The buffer still out stays usable until it comes back.
  BYTE* data = nullptr;
  ASSERT_EQ(held->GetPointer(&data), S_OK);
  data[63] = 1;
  held->Release();
}

TEST(Sample, TimesFlagsLengthAndTypeRoundTrip) {
  const ComPtr<IMemAllocator> allocator = NewAllocator();
  ALLOCATOR_PROPERTIES request{1, 32, 1, 0}, actual{};
  ASSERT_EQ(allocator->SetProperties(&request, &actual), S_OK);
  ASSERT_EQ(allocator->Commit(), S_OK);
  IMediaSample* sample = nullptr;
  ASSERT_EQ(allocator->GetBuffer(&sample, nullptr, nullptr, 0), S_OK);

  REFERENCE_TIME start = 0, stop = 0;
  EXPECT_EQ(sample->GetTime(&start, &stop), VFW_E_SAMPLE_TIME_NOT_SET);
  REFERENCE_TIME s = 100, e = 200;
  sample->SetTime(&s, nullptr);
  EXPECT_EQ(sample->GetTime(&start, &stop), VFW_S_NO_STOP_TIME);
  EXPECT_EQ(start, 100);
  EXPECT_EQ(stop, 101);
  sample->SetTime(&s, &e);
  EXPECT_EQ(sample->GetTime(&start, &stop), S_OK);
  EXPECT_EQ(stop, 200);

  EXPECT_EQ(sample->IsSyncPoint(), S_FALSE);
  sample->SetSyncPoint(TRUE);
  EXPECT_EQ(sample->IsSyncPoint(), S_OK);
  EXPECT_EQ(sample->SetActualDataLength(33), VFW_E_BUFFER_OVERFLOW);
  EXPECT_EQ(sample->SetActualDataLength(7), S_OK);
  EXPECT_EQ(sample->GetActualDataLength(), 7);

  AM_MEDIA_TYPE* type = nullptr;
  EXPECT_EQ(sample->GetMediaType(&type), S_FALSE);
  EXPECT_EQ(type, nullptr);
  CMediaType video = VideoType(24);
  sample->SetMediaType(&video);
  ASSERT_EQ(sample->GetMediaType(&type), S_OK);
  EXPECT_TRUE(CMediaType(*type) == video);
  DeleteMediaType(type);

  // Properties in one go, as the input pins read them.
  IMediaSample2* sample2 = nullptr;
  ASSERT_EQ(sample->QueryInterface(IID_IMediaSample2, reinterpret_cast<void**>(&sample2)), S_OK);
  AM_SAMPLE2_PROPERTIES props{};
  ASSERT_EQ(sample2->GetProperties(sizeof props, reinterpret_cast<BYTE*>(&props)), S_OK);
  EXPECT_EQ(props.lActual, 7);
  EXPECT_EQ(props.tStart, 100);
  EXPECT_TRUE(props.dwSampleFlags & AM_SAMPLE_SPLICEPOINT);
  EXPECT_TRUE(props.dwSampleFlags & AM_SAMPLE_TYPECHANGED);
  props.dwSampleFlags = AM_SAMPLE_TIMEVALID | AM_SAMPLE_STOPVALID;
  props.tStart = 5;
  props.tStop = 6;
  ASSERT_EQ(sample2->SetProperties(sizeof props, reinterpret_cast<BYTE*>(&props)), S_OK);
  EXPECT_EQ(sample->IsSyncPoint(), S_FALSE);
  EXPECT_EQ(sample->GetMediaType(&type), S_FALSE);
  sample2->Release();

  // Back in the pool a sample is clean.
  sample->Release();
  ASSERT_EQ(allocator->GetBuffer(&sample, nullptr, nullptr, 0), S_OK);
  EXPECT_EQ(sample->GetTime(&start, &stop), VFW_E_SAMPLE_TIME_NOT_SET);
  EXPECT_EQ(sample->GetActualDataLength(), 32);
  sample->Release();
}

TEST(Pins, NegotiateTheSourceTypeAndItsBufferSizes) {
  CoInitialize(nullptr);
  auto* source = new TestSource({5});
  auto* renderer = new TestRenderer();
  source->AddRef();
  renderer->AddRef();
  IPin* out = source->Pin(0);
  IPin* in = renderer->GetPin(0);

  // Two outputs cannot connect; an output and an input can.
  IPin* otherOut = nullptr;
  {
    auto* second = new TestSource({1});
    second->AddRef();
    otherOut = second->Pin(0);
    EXPECT_EQ(out->Connect(otherOut, nullptr), VFW_E_INVALID_DIRECTION);
    second->Release();
  }
  CMediaType rgb32 = VideoType(32);
  EXPECT_TRUE(FAILED(out->Connect(in, &rgb32)));
  ASSERT_EQ(out->Connect(in, nullptr), S_OK);
  EXPECT_EQ(out->Connect(in, nullptr), VFW_E_ALREADY_CONNECTED);

  AM_MEDIA_TYPE mt{};
  ASSERT_EQ(in->ConnectionMediaType(&mt), S_OK);
  EXPECT_TRUE(CMediaType(mt) == VideoType(24));
  FreeMediaType(mt);

  ALLOCATOR_PROPERTIES props{};
  ASSERT_NE(renderer->Allocator(), nullptr);
  renderer->Allocator()->GetProperties(&props);
  EXPECT_EQ(props.cBuffers, 3);
  EXPECT_EQ(props.cbBuffer, static_cast<LONG>(VideoType(24).GetSampleSize()));

  PIN_INFO info{};
  ASSERT_EQ(in->QueryPinInfo(&info), S_OK);
  EXPECT_EQ(info.dir, PINDIR_INPUT);
  EXPECT_EQ(std::u16string(info.achName), u"In");
  info.pFilter->Release();

  // Source pins go by number.
  LPWSTR id = nullptr;
  ASSERT_EQ(out->QueryId(&id), S_OK);
  EXPECT_EQ(std::u16string(id), u"1");
  CoTaskMemFree(id);
  IPin* found = nullptr;
  ASSERT_EQ(source->FindPin(u"1", &found), S_OK);
  EXPECT_EQ(found, out);
  found->Release();
  EXPECT_EQ(source->FindPin(u"2", &found), VFW_E_NOT_FOUND);
  EXPECT_EQ(source->FindPin(u"Out 1", &found), VFW_E_NOT_FOUND);
  // Other filters go by the pin's name.
  ASSERT_EQ(renderer->FindPin(u"In", &found), S_OK);
  EXPECT_EQ(found, in);
  found->Release();

  EXPECT_EQ(out->Disconnect(), S_OK);
  EXPECT_EQ(in->Disconnect(), S_OK);
  EXPECT_EQ(in->Disconnect(), S_FALSE);
  source->Release();
  renderer->Release();
}
