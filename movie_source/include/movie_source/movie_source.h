#pragma once
// The movie source filter (Halden.dll): its class and the interfaces its output pins offer.
#include "dshow/dshow.h"

// {20991A7E-5C84-43D1-8E75-2D3C1C193137}
DEFINE_GUID(CLSID_MovieSourceFilter, 0x20991A7E, 0x5C84, 0x43D1, 0x8E, 0x75, 0x2D, 0x3C, 0x1C, 0x19, 0x31, 0x37);

// Every output pin: the track's sample-description format code, and the video format code of a
// video pin ('NONE' for a sound pin).
DEFINE_GUID(IID_IMovieCodecInfo, 0xC96E18F1, 0xC2F9, 0x47B3, 0xBB, 0xB4, 0x55, 0xF7, 0xE5, 0x97, 0x87, 0x6D);
interface IMovieCodecInfo : public IUnknown {
  STDMETHOD(GetFormatCode)(DWORD* code) = 0;
  STDMETHOD(GetVideoFormatCode)(DWORD* code) = 0;
};

// A video pin; the filter hands it out for its second-to-last pin (its only pin when it has one).
DEFINE_GUID(IID_IMovieVideoInfo, 0x8C51E88B, 0xC7C0, 0x41C1, 0xB1, 0x2F, 0x84, 0xD2, 0x13, 0xD6, 0xA6, 0x78);
interface IMovieVideoInfo : public IUnknown {
  STDMETHOD(GetFormatCode)(DWORD* code) = 0;
  STDMETHOD(GetVideoFormatCode)(DWORD* code) = 0;
  // Frames per second, truncated.
  STDMETHOD(GetFrameRate)(LONG* rate) = 0;
};

// A sound pin; the filter hands it out for its last pin.
DEFINE_GUID(IID_IMovieAudioInfo, 0x8E405A93, 0x149A, 0x4211, 0x8F, 0xD3, 0x78, 0xD8, 0x34, 0x8E, 0x6F, 0x26);
interface IMovieAudioInfo : public IUnknown {
  STDMETHOD(GetFormatCode)(DWORD* code) = 0;
  STDMETHOD(GetVideoFormatCode)(DWORD* code) = 0;
  STDMETHOD(GetSourceSampleRate)(LONG* rate) = 0;
  // S_OK for MPEG-4 sound ('mp4a'), else S_FALSE.
  STDMETHOD(IsMpeg4Audio)() = 0;
  // When the flag's low byte is set, sound is delivered at rate samples per second from the next
  // connection on (0: the track's own rate); a rate above 384000 or below 0 is refused.
  STDMETHOD(SetOutputSampleRate)(LONG flag, LONG rate) = 0;
};
