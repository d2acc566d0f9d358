#pragma once
// The graph's automation-style control interfaces (dual interfaces; callers use the vtable).
#include "dshow/strmif.h"

typedef LONG_PTR OAEVENT;
typedef LONG_PTR OAHWND;
typedef LONG OAFilterState;
#define OATRUE (-1)
#define OAFALSE (0)

DEFINE_GUID(IID_IMediaControl, 0x56A868B1, 0x0AD4, 0x11CE, 0xB0, 0x3A, 0x00, 0x20, 0xAF, 0x0B, 0xA7, 0x70);
interface IMediaControl : public IDispatch {
  STDMETHOD(Run)() = 0;
  STDMETHOD(Pause)() = 0;
  STDMETHOD(Stop)() = 0;
  STDMETHOD(GetState)(LONG msTimeout, OAFilterState* pfs) = 0;
  STDMETHOD(RenderFile)(BSTR strFilename) = 0;
  STDMETHOD(AddSourceFilter)(BSTR strFilename, IDispatch** ppUnk) = 0;
  STDMETHOD(get_FilterCollection)(IDispatch** ppUnk) = 0;
  STDMETHOD(get_RegFilterCollection)(IDispatch** ppUnk) = 0;
  STDMETHOD(StopWhenReady)() = 0;
};

DEFINE_GUID(IID_IMediaEvent, 0x56A868B6, 0x0AD4, 0x11CE, 0xB0, 0x3A, 0x00, 0x20, 0xAF, 0x0B, 0xA7, 0x70);
interface IMediaEvent : public IDispatch {
  STDMETHOD(GetEventHandle)(OAEVENT* hEvent) = 0;
  STDMETHOD(GetEvent)(LONG* lEventCode, LONG_PTR* lParam1, LONG_PTR* lParam2, LONG msTimeout) = 0;
  STDMETHOD(WaitForCompletion)(LONG msTimeout, LONG* pEvCode) = 0;
  STDMETHOD(CancelDefaultHandling)(LONG lEvCode) = 0;
  STDMETHOD(RestoreDefaultHandling)(LONG lEvCode) = 0;
  STDMETHOD(FreeEventParams)(LONG lEvCode, LONG_PTR lParam1, LONG_PTR lParam2) = 0;
};

#define AM_MEDIAEVENT_NONOTIFY 0x01

DEFINE_GUID(IID_IMediaEventEx, 0x56A868C0, 0x0AD4, 0x11CE, 0xB0, 0x3A, 0x00, 0x20, 0xAF, 0x0B, 0xA7, 0x70);
interface IMediaEventEx : public IMediaEvent {
  STDMETHOD(SetNotifyWindow)(OAHWND hwnd, LONG lMsg, LONG_PTR lInstanceData) = 0;
  STDMETHOD(SetNotifyFlags)(LONG lNoNotifyFlags) = 0;
  STDMETHOD(GetNotifyFlags)(LONG* lplNoNotifyFlags) = 0;
};

DEFINE_GUID(IID_IMediaPosition, 0x56A868B2, 0x0AD4, 0x11CE, 0xB0, 0x3A, 0x00, 0x20, 0xAF, 0x0B, 0xA7, 0x70);
interface IMediaPosition : public IDispatch {
  STDMETHOD(get_Duration)(REFTIME* plength) = 0;
  STDMETHOD(put_CurrentPosition)(REFTIME llTime) = 0;
  STDMETHOD(get_CurrentPosition)(REFTIME* pllTime) = 0;
  STDMETHOD(get_StopTime)(REFTIME* pllTime) = 0;
  STDMETHOD(put_StopTime)(REFTIME llTime) = 0;
  STDMETHOD(get_PrerollTime)(REFTIME* pllTime) = 0;
  STDMETHOD(put_PrerollTime)(REFTIME llTime) = 0;
  STDMETHOD(put_Rate)(double dRate) = 0;
  STDMETHOD(get_Rate)(double* pdRate) = 0;
  STDMETHOD(CanSeekForward)(LONG* pCanSeekForward) = 0;
  STDMETHOD(CanSeekBackward)(LONG* pCanSeekBackward) = 0;
};

DEFINE_GUID(IID_IBasicAudio, 0x56A868B3, 0x0AD4, 0x11CE, 0xB0, 0x3A, 0x00, 0x20, 0xAF, 0x0B, 0xA7, 0x70);
interface IBasicAudio : public IDispatch {
  STDMETHOD(put_Volume)(LONG lVolume) = 0;
  STDMETHOD(get_Volume)(LONG* plVolume) = 0;
  STDMETHOD(put_Balance)(LONG lBalance) = 0;
  STDMETHOD(get_Balance)(LONG* plBalance) = 0;
};

DEFINE_GUID(IID_IVideoWindow, 0x56A868B4, 0x0AD4, 0x11CE, 0xB0, 0x3A, 0x00, 0x20, 0xAF, 0x0B, 0xA7, 0x70);
interface IVideoWindow : public IDispatch {
  STDMETHOD(put_Caption)(BSTR strCaption) = 0;
  STDMETHOD(get_Caption)(BSTR* strCaption) = 0;
  STDMETHOD(put_WindowStyle)(LONG WindowStyle) = 0;
  STDMETHOD(get_WindowStyle)(LONG* WindowStyle) = 0;
  STDMETHOD(put_WindowStyleEx)(LONG WindowStyleEx) = 0;
  STDMETHOD(get_WindowStyleEx)(LONG* WindowStyleEx) = 0;
  STDMETHOD(put_AutoShow)(LONG AutoShow) = 0;
  STDMETHOD(get_AutoShow)(LONG* AutoShow) = 0;
  STDMETHOD(put_WindowState)(LONG WindowState) = 0;
  STDMETHOD(get_WindowState)(LONG* WindowState) = 0;
  STDMETHOD(put_BackgroundPalette)(LONG BackgroundPalette) = 0;
  STDMETHOD(get_BackgroundPalette)(LONG* pBackgroundPalette) = 0;
  STDMETHOD(put_Visible)(LONG Visible) = 0;
  STDMETHOD(get_Visible)(LONG* pVisible) = 0;
  STDMETHOD(put_Left)(LONG Left) = 0;
  STDMETHOD(get_Left)(LONG* pLeft) = 0;
  STDMETHOD(put_Width)(LONG Width) = 0;
  STDMETHOD(get_Width)(LONG* pWidth) = 0;
  STDMETHOD(put_Top)(LONG Top) = 0;
  STDMETHOD(get_Top)(LONG* pTop) = 0;
  STDMETHOD(put_Height)(LONG Height) = 0;
  STDMETHOD(get_Height)(LONG* pHeight) = 0;
  STDMETHOD(put_Owner)(OAHWND Owner) = 0;
  STDMETHOD(get_Owner)(OAHWND* Owner) = 0;
  STDMETHOD(put_MessageDrain)(OAHWND Drain) = 0;
  STDMETHOD(get_MessageDrain)(OAHWND* Drain) = 0;
  STDMETHOD(get_BorderColor)(LONG* Color) = 0;
  STDMETHOD(put_BorderColor)(LONG Color) = 0;
  STDMETHOD(get_FullScreenMode)(LONG* FullScreenMode) = 0;
  STDMETHOD(put_FullScreenMode)(LONG FullScreenMode) = 0;
  STDMETHOD(SetWindowForeground)(LONG Focus) = 0;
  STDMETHOD(NotifyOwnerMessage)(OAHWND hwnd, LONG uMsg, LONG_PTR wParam, LONG_PTR lParam) = 0;
  STDMETHOD(SetWindowPosition)(LONG Left, LONG Top, LONG Width, LONG Height) = 0;
  STDMETHOD(GetWindowPosition)(LONG* pLeft, LONG* pTop, LONG* pWidth, LONG* pHeight) = 0;
  STDMETHOD(GetMinIdealImageSize)(LONG* pWidth, LONG* pHeight) = 0;
  STDMETHOD(GetMaxIdealImageSize)(LONG* pWidth, LONG* pHeight) = 0;
  STDMETHOD(GetRestorePosition)(LONG* pLeft, LONG* pTop, LONG* pWidth, LONG* pHeight) = 0;
  STDMETHOD(HideCursor)(LONG HideCursor) = 0;
  STDMETHOD(IsCursorHidden)(LONG* CursorHidden) = 0;
};

DEFINE_GUID(IID_IBasicVideo, 0x56A868B5, 0x0AD4, 0x11CE, 0xB0, 0x3A, 0x00, 0x20, 0xAF, 0x0B, 0xA7, 0x70);
interface IBasicVideo : public IDispatch {
  STDMETHOD(get_AvgTimePerFrame)(REFTIME* pAvgTimePerFrame) = 0;
  STDMETHOD(get_BitRate)(LONG* pBitRate) = 0;
  STDMETHOD(get_BitErrorRate)(LONG* pBitErrorRate) = 0;
  STDMETHOD(get_VideoWidth)(LONG* pVideoWidth) = 0;
  STDMETHOD(get_VideoHeight)(LONG* pVideoHeight) = 0;
  STDMETHOD(put_SourceLeft)(LONG SourceLeft) = 0;
  STDMETHOD(get_SourceLeft)(LONG* pSourceLeft) = 0;
  STDMETHOD(put_SourceWidth)(LONG SourceWidth) = 0;
  STDMETHOD(get_SourceWidth)(LONG* pSourceWidth) = 0;
  STDMETHOD(put_SourceTop)(LONG SourceTop) = 0;
  STDMETHOD(get_SourceTop)(LONG* pSourceTop) = 0;
  STDMETHOD(put_SourceHeight)(LONG SourceHeight) = 0;
  STDMETHOD(get_SourceHeight)(LONG* pSourceHeight) = 0;
  STDMETHOD(put_DestinationLeft)(LONG DestinationLeft) = 0;
  STDMETHOD(get_DestinationLeft)(LONG* pDestinationLeft) = 0;
  STDMETHOD(put_DestinationWidth)(LONG DestinationWidth) = 0;
  STDMETHOD(get_DestinationWidth)(LONG* pDestinationWidth) = 0;
  STDMETHOD(put_DestinationTop)(LONG DestinationTop) = 0;
  STDMETHOD(get_DestinationTop)(LONG* pDestinationTop) = 0;
  STDMETHOD(put_DestinationHeight)(LONG DestinationHeight) = 0;
  STDMETHOD(get_DestinationHeight)(LONG* pDestinationHeight) = 0;
  STDMETHOD(SetSourcePosition)(LONG Left, LONG Top, LONG Width, LONG Height) = 0;
  STDMETHOD(GetSourcePosition)(LONG* pLeft, LONG* pTop, LONG* pWidth, LONG* pHeight) = 0;
  STDMETHOD(SetDefaultSourcePosition)() = 0;
  STDMETHOD(SetDestinationPosition)(LONG Left, LONG Top, LONG Width, LONG Height) = 0;
  STDMETHOD(GetDestinationPosition)(LONG* pLeft, LONG* pTop, LONG* pWidth, LONG* pHeight) = 0;
  STDMETHOD(SetDefaultDestinationPosition)() = 0;
  STDMETHOD(GetVideoSize)(LONG* pWidth, LONG* pHeight) = 0;
  STDMETHOD(GetVideoPaletteEntries)(LONG StartIndex, LONG Entries, LONG* pRetrieved,
                                    LONG* pPalette) = 0;
  STDMETHOD(GetCurrentImage)(LONG* pBufferSize, LONG* pDIBImage) = 0;
  STDMETHOD(IsUsingDefaultSource)() = 0;
  STDMETHOD(IsUsingDefaultDestination)() = 0;
};

DEFINE_GUID(IID_IBasicVideo2, 0x329BB360, 0xF6EA, 0x11D1, 0x90, 0x38, 0x00, 0xA0, 0xC9, 0x69, 0x72, 0x98);
interface IBasicVideo2 : public IBasicVideo {
  STDMETHOD(GetPreferredAspectRatio)(LONG* plAspectX, LONG* plAspectY) = 0;
};

// A renderer's playback statistics. The Video Renderer counts the frames it drew and the frames
// it dropped (replaced by a newer one before its window could draw them); it does not measure
// rates, jitter or sync offsets (E_NOTIMPL).
DEFINE_GUID(IID_IQualProp, 0x1BD0ECB0, 0xF8E2, 0x11CE, 0xAA, 0xC6, 0x00, 0x20, 0xAF, 0x0B, 0x99, 0xA3);
interface IQualProp : public IUnknown {
  STDMETHOD(get_FramesDroppedInRenderer)(int* pcFrames) = 0;
  STDMETHOD(get_FramesDrawn)(int* pcFramesDrawn) = 0;
  STDMETHOD(get_AvgFrameRate)(int* piAvgFrameRate) = 0;
  STDMETHOD(get_Jitter)(int* iJitter) = 0;
  STDMETHOD(get_AvgSyncOffset)(int* piAvg) = 0;
  STDMETHOD(get_DevSyncOffset)(int* piDev) = 0;
};
