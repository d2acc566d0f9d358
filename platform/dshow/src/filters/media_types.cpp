#include "dshow/media_types.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>

#include "codec_format.h"
#include "dshow/mtype.h"
#include "ole/objbase.h"

extern "C" {
#include <libavformat/avformat.h>
}

namespace dshow::filters {
namespace {

GUID FourCCGuid(uint32_t fourcc) {
  GUID g = MEDIATYPE_Video;  // any FOURCC-based GUID supplies the fixed tail
  g.Data1 = fourcc;
  return g;
}

void SetFormat(AM_MEDIA_TYPE* mt, const GUID& formatType, const void* block, size_t size) {
  FreeMediaType(*mt);
  mt->formattype = formatType;
  mt->pbFormat = static_cast<BYTE*>(CoTaskMemAlloc(size));
  mt->cbFormat = mt->pbFormat ? ULONG(size) : 0;
  if (mt->pbFormat) std::memcpy(mt->pbFormat, block, size);
}

uint32_t FourCCOf(RawKind kind) {
  if (kind == RawKind::I420) return MEDIASUBTYPE_I420.Data1;
  if (kind == RawKind::YUY2) return MEDIASUBTYPE_YUY2.Data1;
  return BI_RGB;
}

}  // namespace

const GUID& SubtypeOf(RawKind kind) {
  switch (kind) {
    case RawKind::I420: return MEDIASUBTYPE_I420;
    case RawKind::YUY2: return MEDIASUBTYPE_YUY2;
    case RawKind::RGB32: return MEDIASUBTYPE_RGB32;
    case RawKind::RGB24: return MEDIASUBTYPE_RGB24;
    case RawKind::RGB555: return MEDIASUBTYPE_RGB555;
  }
  return MEDIASUBTYPE_None;
}

bool ReadVideoFormat(const AM_MEDIA_TYPE& mt, VideoFormat* out) {
  if (mt.majortype != MEDIATYPE_Video || mt.formattype != FORMAT_VideoInfo) return false;
  if (!mt.pbFormat || mt.cbFormat < sizeof(VIDEOINFOHEADER)) return false;
  VIDEOINFOHEADER vih;
  std::memcpy(&vih, mt.pbFormat, sizeof vih);
  for (RawKind kind : kRawKinds) {
    if (mt.subtype != SubtypeOf(kind)) continue;
    const BITMAPINFOHEADER& bi = vih.bmiHeader;
    if (bi.biBitCount != BitsPerPixel(kind) || bi.biHeight <= 0 || bi.biWidth <= 0) return false;
    if (bi.biWidth > 16384 || bi.biHeight > 16384) return false;
    if (bi.biCompression != FourCCOf(kind)) return false;
    if (!Fits(kind, bi.biWidth, bi.biHeight)) return false;
    *out = {kind, bi.biWidth, bi.biHeight, vih.AvgTimePerFrame};
    return true;
  }
  return false;
}

void WriteVideoFormat(const VideoFormat& f, AM_MEDIA_TYPE* mt) {
  VIDEOINFOHEADER vih{};
  vih.AvgTimePerFrame = f.frameTime;
  BITMAPINFOHEADER& bi = vih.bmiHeader;
  bi.biSize = sizeof(BITMAPINFOHEADER);
  bi.biWidth = f.width;
  bi.biHeight = f.height;
  bi.biPlanes = 1;
  bi.biBitCount = WORD(BitsPerPixel(f.kind));
  bi.biCompression = FourCCOf(f.kind);
  bi.biSizeImage = DWORD(ImageBytes(f.kind, f.width, f.height));
  if (f.frameTime > 0) vih.dwBitRate = DWORD(std::min<int64_t>(int64_t(bi.biSizeImage) * 8 * 10000000 / f.frameTime, 0xFFFFFFFF));
  SetFormat(mt, FORMAT_VideoInfo, &vih, sizeof vih);
  mt->majortype = MEDIATYPE_Video;
  mt->subtype = SubtypeOf(f.kind);
  mt->bFixedSizeSamples = TRUE;
  mt->bTemporalCompression = FALSE;
  mt->lSampleSize = bi.biSizeImage;
}

bool ReadPcmFormat(const AM_MEDIA_TYPE& mt, PcmFormat* out) {
  if (mt.majortype != MEDIATYPE_Audio || mt.formattype != FORMAT_WaveFormatEx) return false;
  if (!mt.pbFormat || mt.cbFormat < sizeof(WAVEFORMATEX) - sizeof(WORD)) return false;
  WAVEFORMATEX wfx{};
  std::memcpy(&wfx, mt.pbFormat, std::min<size_t>(mt.cbFormat, sizeof wfx));
  if (wfx.wFormatTag != WAVE_FORMAT_PCM) return false;
  const AVSampleFormat format = SampleFormatOfBits(wfx.wBitsPerSample);
  if (format == AV_SAMPLE_FMT_NONE || wfx.nChannels < 1 || wfx.nChannels > 8) return false;
  if (wfx.nSamplesPerSec < 1000 || wfx.nSamplesPerSec > 384000) return false;
  if (wfx.nBlockAlign != wfx.nChannels * wfx.wBitsPerSample / 8) return false;
  *out = {format, wfx.nChannels, int(wfx.nSamplesPerSec)};
  return true;
}

void WritePcmFormat(const PcmFormat& f, AM_MEDIA_TYPE* mt) {
  WAVEFORMATEX wfx{};
  wfx.wFormatTag = WAVE_FORMAT_PCM;
  wfx.nChannels = WORD(f.channels);
  wfx.nSamplesPerSec = DWORD(f.rate);
  wfx.wBitsPerSample = WORD(av_get_bytes_per_sample(f.format) * 8);
  wfx.nBlockAlign = WORD(f.channels * wfx.wBitsPerSample / 8);
  wfx.nAvgBytesPerSec = wfx.nBlockAlign * wfx.nSamplesPerSec;
  SetFormat(mt, FORMAT_WaveFormatEx, &wfx, sizeof wfx);
  mt->majortype = MEDIATYPE_Audio;
  mt->subtype = MEDIASUBTYPE_PCM;
  mt->bFixedSizeSamples = TRUE;
  mt->bTemporalCompression = FALSE;
  mt->lSampleSize = wfx.nBlockAlign;
}

void WriteCodecFormat(const AVCodecParameters* p, AVRational frameRate, AM_MEDIA_TYPE* mt) {
  const std::vector<uint8_t> block = DescribeCodec(p, frameRate);
  SetFormat(mt, FORMAT_FFmpegCodec, block.data(), block.size());
  const bool video = p->codec_type == AVMEDIA_TYPE_VIDEO;
  mt->majortype = video ? MEDIATYPE_Video : MEDIATYPE_Audio;
  const AVCodecTag* const videoTags[] = {avformat_get_riff_video_tags(), nullptr};
  const AVCodecTag* const audioTags[] = {avformat_get_riff_audio_tags(), nullptr};
  const uint32_t tag = p->codec_tag ? p->codec_tag : av_codec_get_tag(video ? videoTags : audioTags, p->codec_id);
  mt->subtype = tag ? FourCCGuid(tag) : MEDIASUBTYPE_None;
  mt->bFixedSizeSamples = FALSE;
  mt->bTemporalCompression = TRUE;
  mt->lSampleSize = 0;
}

bool ReadStreamParameters(const AM_MEDIA_TYPE& mt, AVCodecParameters* out, AVRational* frameRate) {
  *frameRate = {0, 1};
  if (mt.formattype == FORMAT_FFmpegCodec) return ReadCodec(mt.pbFormat, mt.cbFormat, out, frameRate);
  VideoFormat video;
  if (ReadVideoFormat(mt, &video)) {
    out->codec_type = AVMEDIA_TYPE_VIDEO;
    out->codec_id = AV_CODEC_ID_RAWVIDEO;
    out->format = PixelFormatOf(video.kind);
    out->width = video.width;
    out->height = video.height;
    out->bits_per_coded_sample = BitsPerPixel(video.kind);
    out->codec_tag = video.kind == RawKind::I420 || video.kind == RawKind::YUY2 ? FourCCOf(video.kind) : 0;
    if (video.frameTime > 0) *frameRate = av_d2q(1e7 / double(video.frameTime), 65535);
    return true;
  }
  if (mt.majortype == MEDIATYPE_Video && mt.formattype == FORMAT_VideoInfo && mt.pbFormat &&
      mt.cbFormat >= sizeof(VIDEOINFOHEADER)) {
    VIDEOINFOHEADER vih;
    std::memcpy(&vih, mt.pbFormat, sizeof vih);
    const AVCodecTag* const tags[] = {avformat_get_riff_video_tags(), nullptr};
    const AVCodecID id = av_codec_get_id(tags, vih.bmiHeader.biCompression);
    const LONG width = vih.bmiHeader.biWidth, height = vih.bmiHeader.biHeight;
    if (id == AV_CODEC_ID_NONE || width <= 0 || width > 16384 || height == 0 || height < -16384 || height > 16384)
      return false;
    out->codec_type = AVMEDIA_TYPE_VIDEO;
    out->codec_id = id;
    out->codec_tag = vih.bmiHeader.biCompression;
    out->width = width;
    out->height = std::abs(height);
    out->bits_per_coded_sample = vih.bmiHeader.biBitCount;
    if (vih.AvgTimePerFrame > 0) *frameRate = av_d2q(1e7 / double(vih.AvgTimePerFrame), 65535);
    return true;
  }
  if (mt.majortype == MEDIATYPE_Audio && mt.formattype == FORMAT_WaveFormatEx && mt.pbFormat &&
      mt.cbFormat >= sizeof(WAVEFORMATEX) - sizeof(WORD)) {
    WAVEFORMATEX wfx{};
    std::memcpy(&wfx, mt.pbFormat, std::min<size_t>(mt.cbFormat, sizeof wfx));
    if (wfx.nChannels < 1 || wfx.nChannels > 8 || wfx.nSamplesPerSec < 1000) return false;
    AVCodecID id;
    if (wfx.wFormatTag == WAVE_FORMAT_PCM) {
      id = wfx.wBitsPerSample == 8 ? AV_CODEC_ID_PCM_U8 : wfx.wBitsPerSample == 16 ? AV_CODEC_ID_PCM_S16LE
           : wfx.wBitsPerSample == 32 ? AV_CODEC_ID_PCM_S32LE : AV_CODEC_ID_NONE;
    } else {
      const AVCodecTag* const tags[] = {avformat_get_riff_audio_tags(), nullptr};
      id = av_codec_get_id(tags, wfx.wFormatTag);
    }
    if (id == AV_CODEC_ID_NONE) return false;
    out->codec_type = AVMEDIA_TYPE_AUDIO;
    out->codec_id = id;
    out->codec_tag = 0;
    out->sample_rate = int(wfx.nSamplesPerSec);
    av_channel_layout_uninit(&out->ch_layout);
    av_channel_layout_default(&out->ch_layout, wfx.nChannels);
    out->block_align = wfx.nBlockAlign;
    out->bits_per_coded_sample = wfx.wBitsPerSample;
    out->bit_rate = int64_t(wfx.nAvgBytesPerSec) * 8;
    const size_t extra = mt.cbFormat > sizeof(WAVEFORMATEX) ? std::min<size_t>(wfx.cbSize, mt.cbFormat - sizeof(WAVEFORMATEX)) : 0;
    av_freep(&out->extradata);
    out->extradata_size = 0;
    if (extra) {
      out->extradata = static_cast<uint8_t*>(av_mallocz(extra + AV_INPUT_BUFFER_PADDING_SIZE));
      if (!out->extradata) return false;
      std::memcpy(out->extradata, mt.pbFormat + sizeof(WAVEFORMATEX), extra);
      out->extradata_size = int(extra);
    }
    return true;
  }
  return false;
}

}  // namespace dshow::filters
