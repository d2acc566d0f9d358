#pragma once
// The sample grabber and its callback.
#include "dshow/strmif.h"

DEFINE_GUID(IID_ISampleGrabberCB, 0x0579154A, 0x2B53, 0x4994, 0xB0, 0xD0, 0xE7, 0x73, 0x14, 0x8E, 0xFF, 0x85);
interface ISampleGrabberCB : public IUnknown {
  STDMETHOD(SampleCB)(double SampleTime, IMediaSample* pSample) = 0;
  STDMETHOD(BufferCB)(double SampleTime, BYTE* pBuffer, LONG BufferLen) = 0;
};

DEFINE_GUID(IID_ISampleGrabber, 0x6B652FFF, 0x11FE, 0x4FCE, 0x92, 0xAD, 0x02, 0x66, 0xB5, 0xD7, 0xC7, 0x8F);
interface ISampleGrabber : public IUnknown {
  STDMETHOD(SetOneShot)(BOOL OneShot) = 0;
  STDMETHOD(SetMediaType)(const AM_MEDIA_TYPE* pType) = 0;
  STDMETHOD(GetConnectedMediaType)(AM_MEDIA_TYPE* pType) = 0;
  STDMETHOD(SetBufferSamples)(BOOL BufferThem) = 0;
  STDMETHOD(GetCurrentBuffer)(LONG* pBufferSize, LONG* pBuffer) = 0;
  STDMETHOD(GetCurrentSample)(IMediaSample** ppSample) = 0;
  // WhichMethodToCallback: 0 SampleCB, 1 BufferCB.
  STDMETHOD(SetCallback)(ISampleGrabberCB* pCallback, LONG WhichMethodToCallback) = 0;
};
