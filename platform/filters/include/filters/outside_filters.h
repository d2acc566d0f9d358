#pragma once
// Filters made by other makers that the engine creates by class identifier and configures through
// their own settings interfaces, whose methods it calls by position.
#include "dshow/dshow.h"

// Makes the filters below creatable by class id. Every user of these filters calls it before
// creating one; later calls do nothing. Safe from any thread.
void RegisterOutsideFilterClasses();

// ---- MP3 encoder --------------------------------------------------------------------------------
// PCM in, MPEG audio layer III out (WAVE_FORMAT_MPEGLAYER3), one frame per sample, so that the AVI
// Mux stores a normal MP3 stream and a file writer makes a playable .mp3 file.
DEFINE_GUID(CLSID_Mp3EncoderFilter, 0x94F2B777, 0xAFCA, 0x40AC, 0x89, 0x7A, 0x2C, 0x9F, 0x14, 0xDB, 0xE1, 0xC3);
DEFINE_GUID(IID_IMp3EncoderSettings, 0xCA7E9EF0, 0x1CBE, 0x11D3, 0x8D, 0x29, 0x00, 0xA0, 0xC9, 0x4B, 0xBF, 0xEE);

#define WAVE_FORMAT_MPEGLAYER3 0x0055
DSHOW_FOURCC_GUID(MEDIASUBTYPE_MP3, WAVE_FORMAT_MPEGLAYER3);

#define MPEGLAYER3_WFX_EXTRA_BYTES 12
#define MPEGLAYER3_ID_MPEG 1
#define MPEGLAYER3_FLAG_PADDING_OFF 2

#pragma pack(push, 2)
typedef struct mpeglayer3waveformat_tag {
  WAVEFORMATEX wfx;
  WORD wID;
  DWORD fdwFlags;
  WORD nBlockSize;
  WORD nFramesPerBlock;
  WORD nCodecDelay;
} MPEGLAYER3WAVEFORMAT;
#pragma pack(pop)
static_assert(sizeof(MPEGLAYER3WAVEFORMAT) == sizeof(WAVEFORMATEX) + MPEGLAYER3_WFX_EXTRA_BYTES);

// The key that opens the MP3 encoder's settings.
constexpr LONG kMp3EncoderSettingsKey = 4890;

// The MP3 encoder's settings, in the order of their method positions. Settings take effect on
// the next connection of the output; while the output is connected they are refused
// (VFW_E_ALREADY_CONNECTED). Values the format does not allow become the nearest legal value.
interface IMp3EncoderSettings : public IUnknown {
  // 1: opens the settings below; E_INVALIDARG for any other key.
  STDMETHOD(SetKey)(LONG key) = 0;
  // 2: bit rate in kbit/s (default 128). E_ACCESSDENIED before the key, E_INVALIDARG when not positive.
  STDMETHOD(SetBitRate)(LONG kbps) = 0;
  // 3: output sample rate in Hz (default: the input's). Errors as for the bit rate.
  STDMETHOD(SetSampleRate)(LONG hz) = 0;
};

// ---- WAV destination ----------------------------------------------------------------------------
// PCM in, the bytes of a WAV file out (a stream for the File Writer downstream).
DEFINE_GUID(CLSID_WavDestination, 0x3C78B8E2, 0x6C4D, 0x11D1, 0xAD, 0xE2, 0x00, 0x00, 0xF8, 0x75, 0x4B, 0x99);

// ---- MP3 file writer ----------------------------------------------------------------------------
// MP3 frames in (as the MP3 encoder gives them), an .mp3 file named through IFileSinkFilter out.
DEFINE_GUID(CLSID_Mp3FileWriter, 0xA1F22E33, 0xBC74, 0x4F0D, 0x8A, 0x64, 0xB9, 0xC9, 0xC0, 0x7F, 0x81, 0x0A);
// ---- Custom Grabber -----------------------------------------------------------------------------
// Passes samples through unchanged and keeps what it is asked to: the platform's sample grabber
// under another maker's interface, whose methods the engine calls by position. Added to a graph
// before RenderFile, it takes the stream it accepts: by default RGB24 pictures (VIDEOINFOHEADER),
// which RenderFile converts the video to.
DEFINE_GUID(CLSID_CustomGrabber, 0x7AE56107, 0x0AB3, 0x45DE, 0x8B, 0xFF, 0xE3, 0xF3, 0x33, 0xB0, 0xB7, 0xCC);
DEFINE_GUID(IID_ICustomGrabber, 0x23E52265, 0xDD11, 0x4CD0, 0xB4, 0x74, 0x12, 0x0E, 0x97, 0xD4, 0x3B, 0xB6);
interface ICustomGrabber : public IUnknown {
  // 1: the accepted input (major type, subtype, format type; GUID_NULL: any).
  STDMETHOD(SetMediaType)(const AM_MEDIA_TYPE* pType) = 0;
  // 2: nonzero: the stream ends after the first sample.
  STDMETHOD(SetOneShot)(BOOL OneShot) = 0;
  // 3: the callback shown each sample (0 SampleCB, 1 BufferCB); null for none.
  STDMETHOD(SetCallback)(ISampleGrabberCB* pCallback, LONG WhichMethodToCallback) = 0;
  // 4: the type of the connected input; VFW_E_NOT_CONNECTED before it connects.
  STDMETHOD(GetConnectedMediaType)(AM_MEDIA_TYPE* pType) = 0;
  // 5: nonzero: the last sample is kept.
  STDMETHOD(SetBufferSamples)(BOOL BufferThem) = 0;
  // 6: with pBuffer null, the size of the kept sample; otherwise copies it (E_OUTOFMEMORY when
  // *pBufferSize is too small). VFW_E_WRONG_STATE when nothing is kept.
  STDMETHOD(GetCurrentBuffer)(LONG* pBufferSize, LONG* pBuffer) = 0;
};
