#pragma once
// What the built-in filters offer beyond the platform's own interfaces: the format of compressed
// streams between them, the classes of the installed compressors, and the settings of the WM ASF
// Writer that media profiles fill in.
#include <string>

#include "dshow/strmif.h"

// Format type of compressed streams between the built-in filters: the block is an
// FFMPEGCODECINFO followed by extradataSize bytes of the codec's extra data.
DEFINE_GUID(FORMAT_FFmpegCodec, 0x3E9B0C52, 0x7A41, 0x4D6F, 0x8B, 0x2E, 0x51, 0xC4, 0x0D, 0x97, 0xA3, 0x6B);

#pragma pack(push, 4)
typedef struct tagFFMPEGCODECINFO {
  DWORD codecId;  // the FFmpeg AVCodecID of this build
  DWORD codecTag;
  LONGLONG bitRate;
  LONG width, height;
  LONG frameRateNum, frameRateDen;
  LONG sampleRate, channels;
  LONG bitsPerCodedSample, blockAlign, frameSize;
  LONG format;  // AVPixelFormat or AVSampleFormat
  DWORD extradataSize;
} FFMPEGCODECINFO;
#pragma pack(pop)

// The compressor classes, one per entry of the compressor categories. The DV Video Encoder is
// CLSID_DVVideoEnc; the others share this base with Data2 = the entry's position in the
// catalogue (1 Motion JPEG, 2 MPEG-4, 3 H.264, 4 Cinepak, 5 Video 1, 6 HuffYUV, 7 PCM,
// 8 MPEG Layer-3, 9 IMA ADPCM, 10 MS ADPCM, 11 A-law, 12 u-law, 13 GSM 6.10, 14 MPEG Layer-2).
DEFINE_GUID(CLSID_CorvaneCompressorBase, 0x5A3C7E10, 0x0000, 0x4C1E, 0x9A, 0x57, 0x3D, 0x0E, 0x8C, 0x61, 0xF2, 0x4B);

// Settings of the WM ASF Writer: which streams its input pins take and how they are encoded.
// Zero sizes, rates and channel counts follow the connected input.
struct AsfWriterSettings {
  bool video = true;
  std::string videoEncoder = "wmv2";  // WMV8
  LONGLONG videoBitRate = 1000000;
  LONG width = 0;
  LONG height = 0;
  REFERENCE_TIME frameTime = 0;       // 100-ns units per frame
  LONG keyframeInterval = 0;          // frames
  bool audio = true;
  std::string audioEncoder = "wmav2";  // WMA2
  LONGLONG audioBitRate = 128000;
  LONG sampleRate = 0;
  LONG channels = 0;
};

// Answered by the WM ASF Writer. Settings change only while the filter is stopped; the input
// pins follow them ("Audio Input 01", "Video Input 01" when those streams are on).
DEFINE_GUID(IID_IAsfWriterSettings, 0x8D1F5B64, 0x2C3A, 0x4E8B, 0xA1, 0x6C, 0x7E, 0x90, 0x4B, 0x2D, 0x58, 0xF3);
interface IAsfWriterSettings : public IUnknown {
  STDMETHOD(GetSettings)(AsfWriterSettings* settings) = 0;
  // E_INVALIDARG when no stream is on or an encoder is missing; VFW_E_NOT_STOPPED while running.
  STDMETHOD(SetSettings)(const AsfWriterSettings* settings) = 0;
};

// How the WM ASF Writer answers IConfigAsfWriter, which the media format runtime declares and
// implements on top of IAsfWriterSettings: the runtime registers a function that makes a
// configuration object for a writer, and every QueryInterface for that interface on the writer
// hands out a new such object (it may keep a reference to the writer). Without a registered
// function the writer answers E_NOINTERFACE.
typedef HRESULT (*LPFNCREATEASFWRITERCONFIG)(IBaseFilter* writer, void** ppConfig);
void SetAsfWriterConfigFactory(REFIID iid, LPFNCREATEASFWRITERCONFIG create);

// Answered by the built-in file source: whether its decoders work on several pictures at once.
// That is the default and keeps a running graph fed, but each picture comes out only once the
// ones after it are under way; a graph that wants its first picture soon turns it off, leaving
// only threads that share the work of one picture. Decoders opened afterwards follow it.
DEFINE_GUID(IID_IDecoderThreading, 0x4F2A8C31, 0x6B7D, 0x4E90, 0x9C, 0x15, 0x2A, 0xE3, 0x70, 0xB8, 0x46, 0xD1);
interface IDecoderThreading : public IUnknown {
  STDMETHOD(SetPictureThreads)(BOOL on) = 0;
};

// Sound frames the silent output (which stands in for a missing sound device, and for every
// device on the virtual clock) has taken from audio renderers since the process started.
uint64_t DShowSilentOutputFrames();
