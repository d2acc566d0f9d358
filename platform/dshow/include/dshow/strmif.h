#pragma once
// The streaming interfaces of the media framework, in the platform's method order.
#include "ole/ole.h"
#include "dshow/amvideo.h"
#include "dshow/uuids.h"
#include "dshow/vfwmsgs.h"

interface IPin;
interface IBaseFilter;
interface IFilterGraph;
interface IEnumPins;
interface IEnumMediaTypes;
interface IEnumFilters;
interface IReferenceClock;
interface IMemAllocator;
interface IMediaSample;

// ---- Media types --------------------------------------------------------------------------------
typedef struct _AMMediaType {
  GUID majortype;
  GUID subtype;
  BOOL bFixedSizeSamples;
  BOOL bTemporalCompression;
  ULONG lSampleSize;
  GUID formattype;
  IUnknown* pUnk;
  ULONG cbFormat;
  BYTE* pbFormat;  // CoTaskMemAlloc memory
} AM_MEDIA_TYPE;

typedef enum _PinDirection { PINDIR_INPUT = 0, PINDIR_OUTPUT = 1 } PIN_DIRECTION;

#define MAX_PIN_NAME 128
#define MAX_FILTER_NAME 128

typedef struct _PinInfo {
  IBaseFilter* pFilter;  // reference added; the caller releases it
  PIN_DIRECTION dir;
  WCHAR achName[MAX_PIN_NAME];
} PIN_INFO;

typedef struct _FilterInfo {
  WCHAR achName[MAX_FILTER_NAME];
  IFilterGraph* pGraph;  // reference added when not NULL
} FILTER_INFO;

typedef enum _FilterState { State_Stopped = 0, State_Paused = 1, State_Running = 2 } FILTER_STATE;

typedef struct _AllocatorProperties {
  LONG cBuffers;
  LONG cbBuffer;
  LONG cbAlign;
  LONG cbPrefix;
} ALLOCATOR_PROPERTIES;

// ---- Pins and filters ---------------------------------------------------------------------------
DEFINE_GUID(IID_IPin, 0x56A86891, 0x0AD4, 0x11CE, 0xB0, 0x3A, 0x00, 0x20, 0xAF, 0x0B, 0xA7, 0x70);
interface IPin : public IUnknown {
  STDMETHOD(Connect)(IPin* pReceivePin, const AM_MEDIA_TYPE* pmt) = 0;
  STDMETHOD(ReceiveConnection)(IPin* pConnector, const AM_MEDIA_TYPE* pmt) = 0;
  STDMETHOD(Disconnect)() = 0;
  STDMETHOD(ConnectedTo)(IPin** pPin) = 0;
  STDMETHOD(ConnectionMediaType)(AM_MEDIA_TYPE* pmt) = 0;
  STDMETHOD(QueryPinInfo)(PIN_INFO* pInfo) = 0;
  STDMETHOD(QueryDirection)(PIN_DIRECTION* pPinDir) = 0;
  STDMETHOD(QueryId)(LPWSTR* Id) = 0;
  STDMETHOD(QueryAccept)(const AM_MEDIA_TYPE* pmt) = 0;
  STDMETHOD(EnumMediaTypes)(IEnumMediaTypes** ppEnum) = 0;
  STDMETHOD(QueryInternalConnections)(IPin** apPin, ULONG* nPin) = 0;
  STDMETHOD(EndOfStream)() = 0;
  STDMETHOD(BeginFlush)() = 0;
  STDMETHOD(EndFlush)() = 0;
  STDMETHOD(NewSegment)(REFERENCE_TIME tStart, REFERENCE_TIME tStop, double dRate) = 0;
};
typedef IPin* PPIN;

DEFINE_GUID(IID_IEnumPins, 0x56A86892, 0x0AD4, 0x11CE, 0xB0, 0x3A, 0x00, 0x20, 0xAF, 0x0B, 0xA7, 0x70);
interface IEnumPins : public IUnknown {
  STDMETHOD(Next)(ULONG cPins, IPin** ppPins, ULONG* pcFetched) = 0;
  STDMETHOD(Skip)(ULONG cPins) = 0;
  STDMETHOD(Reset)() = 0;
  STDMETHOD(Clone)(IEnumPins** ppEnum) = 0;
};

DEFINE_GUID(IID_IEnumMediaTypes, 0x89C31040, 0x846B, 0x11CE, 0x97, 0xD3, 0x00, 0xAA, 0x00, 0x55, 0x59, 0x5A);
interface IEnumMediaTypes : public IUnknown {
  // Each type is allocated with CoTaskMemAlloc (format block too): free with DeleteMediaType.
  STDMETHOD(Next)(ULONG cMediaTypes, AM_MEDIA_TYPE** ppMediaTypes, ULONG* pcFetched) = 0;
  STDMETHOD(Skip)(ULONG cMediaTypes) = 0;
  STDMETHOD(Reset)() = 0;
  STDMETHOD(Clone)(IEnumMediaTypes** ppEnum) = 0;
};

DEFINE_GUID(IID_IEnumFilters, 0x56A86893, 0x0AD4, 0x11CE, 0xB0, 0x3A, 0x00, 0x20, 0xAF, 0x0B, 0xA7, 0x70);
interface IEnumFilters : public IUnknown {
  STDMETHOD(Next)(ULONG cFilters, IBaseFilter** ppFilter, ULONG* pcFetched) = 0;
  STDMETHOD(Skip)(ULONG cFilters) = 0;
  STDMETHOD(Reset)() = 0;
  STDMETHOD(Clone)(IEnumFilters** ppEnum) = 0;
};

DEFINE_GUID(IID_IMediaFilter, 0x56A86899, 0x0AD4, 0x11CE, 0xB0, 0x3A, 0x00, 0x20, 0xAF, 0x0B, 0xA7, 0x70);
interface IMediaFilter : public IPersist {
  STDMETHOD(Stop)() = 0;
  STDMETHOD(Pause)() = 0;
  STDMETHOD(Run)(REFERENCE_TIME tStart) = 0;
  STDMETHOD(GetState)(DWORD dwMilliSecsTimeout, FILTER_STATE* State) = 0;
  STDMETHOD(SetSyncSource)(IReferenceClock* pClock) = 0;
  STDMETHOD(GetSyncSource)(IReferenceClock** pClock) = 0;
};

DEFINE_GUID(IID_IBaseFilter, 0x56A86895, 0x0AD4, 0x11CE, 0xB0, 0x3A, 0x00, 0x20, 0xAF, 0x0B, 0xA7, 0x70);
interface IBaseFilter : public IMediaFilter {
  STDMETHOD(EnumPins)(IEnumPins** ppEnum) = 0;
  STDMETHOD(FindPin)(LPCWSTR Id, IPin** ppPin) = 0;
  STDMETHOD(QueryFilterInfo)(FILTER_INFO* pInfo) = 0;
  STDMETHOD(JoinFilterGraph)(IFilterGraph* pGraph, LPCWSTR pName) = 0;
  STDMETHOD(QueryVendorInfo)(LPWSTR* pVendorInfo) = 0;
};

// ---- Clocks -------------------------------------------------------------------------------------
typedef DWORD_PTR HEVENT;      // an event handle (CreateEvent)
typedef DWORD_PTR HSEMAPHORE;  // an event handle here too: set once per period

DEFINE_GUID(IID_IReferenceClock, 0x56A86897, 0x0AD4, 0x11CE, 0xB0, 0x3A, 0x00, 0x20, 0xAF, 0x0B, 0xA7, 0x70);
interface IReferenceClock : public IUnknown {
  STDMETHOD(GetTime)(REFERENCE_TIME* pTime) = 0;
  STDMETHOD(AdviseTime)(REFERENCE_TIME baseTime, REFERENCE_TIME streamTime, HEVENT hEvent,
                        DWORD_PTR* pdwAdviseCookie) = 0;
  STDMETHOD(AdvisePeriodic)(REFERENCE_TIME startTime, REFERENCE_TIME periodTime,
                            HSEMAPHORE hSemaphore, DWORD_PTR* pdwAdviseCookie) = 0;
  STDMETHOD(Unadvise)(DWORD_PTR dwAdviseCookie) = 0;
};

// ---- Samples and allocators ---------------------------------------------------------------------
DEFINE_GUID(IID_IMediaSample, 0x56A8689A, 0x0AD4, 0x11CE, 0xB0, 0x3A, 0x00, 0x20, 0xAF, 0x0B, 0xA7, 0x70);
interface IMediaSample : public IUnknown {
  STDMETHOD(GetPointer)(BYTE** ppBuffer) = 0;
  STDMETHOD_(LONG, GetSize)() = 0;
  STDMETHOD(GetTime)(REFERENCE_TIME* pTimeStart, REFERENCE_TIME* pTimeEnd) = 0;
  STDMETHOD(SetTime)(REFERENCE_TIME* pTimeStart, REFERENCE_TIME* pTimeEnd) = 0;
  STDMETHOD(IsSyncPoint)() = 0;
  STDMETHOD(SetSyncPoint)(BOOL bIsSyncPoint) = 0;
  STDMETHOD(IsPreroll)() = 0;
  STDMETHOD(SetPreroll)(BOOL bIsPreroll) = 0;
  STDMETHOD_(LONG, GetActualDataLength)() = 0;
  STDMETHOD(SetActualDataLength)(LONG length) = 0;
  STDMETHOD(GetMediaType)(AM_MEDIA_TYPE** ppMediaType) = 0;
  STDMETHOD(SetMediaType)(AM_MEDIA_TYPE* pMediaType) = 0;
  STDMETHOD(IsDiscontinuity)() = 0;
  STDMETHOD(SetDiscontinuity)(BOOL bDiscontinuity) = 0;
  STDMETHOD(GetMediaTime)(LONGLONG* pTimeStart, LONGLONG* pTimeEnd) = 0;
  STDMETHOD(SetMediaTime)(LONGLONG* pTimeStart, LONGLONG* pTimeEnd) = 0;
};

enum tagAM_SAMPLE_PROPERTY_FLAGS {
  AM_SAMPLE_SPLICEPOINT = 0x1,
  AM_SAMPLE_PREROLL = 0x2,
  AM_SAMPLE_DATADISCONTINUITY = 0x4,
  AM_SAMPLE_TYPECHANGED = 0x8,
  AM_SAMPLE_TIMEVALID = 0x10,
  AM_SAMPLE_TIMEDISCONTINUITY = 0x40,
  AM_SAMPLE_FLUSH_ON_PAUSE = 0x80,
  AM_SAMPLE_STOPVALID = 0x100,
  AM_SAMPLE_ENDOFSTREAM = 0x200,
};

typedef struct tagAM_SAMPLE2_PROPERTIES {
  DWORD cbData;
  DWORD dwTypeSpecificFlags;
  DWORD dwSampleFlags;
  LONG lActual;
  REFERENCE_TIME tStart;
  REFERENCE_TIME tStop;
  DWORD dwStreamId;
  AM_MEDIA_TYPE* pMediaType;
  BYTE* pbBuffer;
  LONG cbBuffer;
} AM_SAMPLE2_PROPERTIES;

DEFINE_GUID(IID_IMediaSample2, 0x36B73884, 0xC2C8, 0x11CF, 0x8B, 0x46, 0x00, 0x80, 0x5F, 0x6C, 0xEF, 0x60);
interface IMediaSample2 : public IMediaSample {
  STDMETHOD(GetProperties)(DWORD cbProperties, BYTE* pbProperties) = 0;
  STDMETHOD(SetProperties)(DWORD cbProperties, const BYTE* pbProperties) = 0;
};

#define AM_GBF_PREVFRAMESKIPPED 1
#define AM_GBF_NOTASYNCPOINT 2
#define AM_GBF_NOWAIT 4

DEFINE_GUID(IID_IMemAllocator, 0x56A8689C, 0x0AD4, 0x11CE, 0xB0, 0x3A, 0x00, 0x20, 0xAF, 0x0B, 0xA7, 0x70);
interface IMemAllocator : public IUnknown {
  STDMETHOD(SetProperties)(ALLOCATOR_PROPERTIES* pRequest, ALLOCATOR_PROPERTIES* pActual) = 0;
  STDMETHOD(GetProperties)(ALLOCATOR_PROPERTIES* pProps) = 0;
  STDMETHOD(Commit)() = 0;
  STDMETHOD(Decommit)() = 0;
  STDMETHOD(GetBuffer)(IMediaSample** ppBuffer, REFERENCE_TIME* pStartTime,
                       REFERENCE_TIME* pEndTime, DWORD dwFlags) = 0;
  STDMETHOD(ReleaseBuffer)(IMediaSample* pBuffer) = 0;
};

DEFINE_GUID(IID_IMemInputPin, 0x56A8689D, 0x0AD4, 0x11CE, 0xB0, 0x3A, 0x00, 0x20, 0xAF, 0x0B, 0xA7, 0x70);
interface IMemInputPin : public IUnknown {
  STDMETHOD(GetAllocator)(IMemAllocator** ppAllocator) = 0;
  STDMETHOD(NotifyAllocator)(IMemAllocator* pAllocator, BOOL bReadOnly) = 0;
  STDMETHOD(GetAllocatorRequirements)(ALLOCATOR_PROPERTIES* pProps) = 0;
  STDMETHOD(Receive)(IMediaSample* pSample) = 0;
  STDMETHOD(ReceiveMultiple)(IMediaSample** pSamples, LONG nSamples, LONG* nSamplesProcessed) = 0;
  STDMETHOD(ReceiveCanBlock)() = 0;
};

// ---- The graph ----------------------------------------------------------------------------------
DEFINE_GUID(IID_IFilterGraph, 0x56A8689F, 0x0AD4, 0x11CE, 0xB0, 0x3A, 0x00, 0x20, 0xAF, 0x0B, 0xA7, 0x70);
interface IFilterGraph : public IUnknown {
  STDMETHOD(AddFilter)(IBaseFilter* pFilter, LPCWSTR pName) = 0;
  STDMETHOD(RemoveFilter)(IBaseFilter* pFilter) = 0;
  STDMETHOD(EnumFilters)(IEnumFilters** ppEnum) = 0;
  STDMETHOD(FindFilterByName)(LPCWSTR pName, IBaseFilter** ppFilter) = 0;
  STDMETHOD(ConnectDirect)(IPin* ppinOut, IPin* ppinIn, const AM_MEDIA_TYPE* pmt) = 0;
  STDMETHOD(Reconnect)(IPin* ppin) = 0;
  STDMETHOD(Disconnect)(IPin* ppin) = 0;
  STDMETHOD(SetDefaultSyncSource)() = 0;
};

DEFINE_GUID(IID_IGraphBuilder, 0x56A868A9, 0x0AD4, 0x11CE, 0xB0, 0x3A, 0x00, 0x20, 0xAF, 0x0B, 0xA7, 0x70);
interface IGraphBuilder : public IFilterGraph {
  STDMETHOD(Connect)(IPin* ppinOut, IPin* ppinIn) = 0;
  STDMETHOD(Render)(IPin* ppinOut) = 0;
  STDMETHOD(RenderFile)(LPCWSTR lpcwstrFile, LPCWSTR lpcwstrPlayList) = 0;
  STDMETHOD(AddSourceFilter)(LPCWSTR lpcwstrFileName, LPCWSTR lpcwstrFilterName,
                             IBaseFilter** ppFilter) = 0;
  STDMETHOD(SetLogFile)(DWORD_PTR hFile) = 0;
  STDMETHOD(Abort)() = 0;
  STDMETHOD(ShouldOperationContinue)() = 0;
};

// Filters tell the graph about stream events through the graph's IMediaEventSink.
DEFINE_GUID(IID_IMediaEventSink, 0x56A868A2, 0x0AD4, 0x11CE, 0xB0, 0x3A, 0x00, 0x20, 0xAF, 0x0B, 0xA7, 0x70);
interface IMediaEventSink : public IUnknown {
  STDMETHOD(Notify)(LONG EventCode, LONG_PTR EventParam1, LONG_PTR EventParam2) = 0;
};

// ---- Seeking ------------------------------------------------------------------------------------
typedef enum AM_SEEKING_SeekingFlags {
  AM_SEEKING_NoPositioning = 0,
  AM_SEEKING_AbsolutePositioning = 0x1,
  AM_SEEKING_RelativePositioning = 0x2,
  AM_SEEKING_IncrementalPositioning = 0x3,
  AM_SEEKING_PositioningBitsMask = 0x3,
  AM_SEEKING_SeekToKeyFrame = 0x4,
  AM_SEEKING_ReturnTime = 0x8,
  AM_SEEKING_Segment = 0x10,
  AM_SEEKING_NoFlush = 0x20,
} AM_SEEKING_SEEKING_FLAGS;

typedef enum AM_SEEKING_SeekingCapabilities {
  AM_SEEKING_CanSeekAbsolute = 0x1,
  AM_SEEKING_CanSeekForwards = 0x2,
  AM_SEEKING_CanSeekBackwards = 0x4,
  AM_SEEKING_CanGetCurrentPos = 0x8,
  AM_SEEKING_CanGetStopPos = 0x10,
  AM_SEEKING_CanGetDuration = 0x20,
  AM_SEEKING_CanPlayBackwards = 0x40,
  AM_SEEKING_CanDoSegments = 0x80,
  AM_SEEKING_Source = 0x100,
} AM_SEEKING_SEEKING_CAPABILITIES;

DEFINE_GUID(IID_IMediaSeeking, 0x36B73880, 0xC2C8, 0x11CF, 0x8B, 0x46, 0x00, 0x80, 0x5F, 0x6C, 0xEF, 0x60);
interface IMediaSeeking : public IUnknown {
  STDMETHOD(GetCapabilities)(DWORD* pCapabilities) = 0;
  STDMETHOD(CheckCapabilities)(DWORD* pCapabilities) = 0;
  STDMETHOD(IsFormatSupported)(const GUID* pFormat) = 0;
  STDMETHOD(QueryPreferredFormat)(GUID* pFormat) = 0;
  STDMETHOD(GetTimeFormat)(GUID* pFormat) = 0;
  STDMETHOD(IsUsingTimeFormat)(const GUID* pFormat) = 0;
  STDMETHOD(SetTimeFormat)(const GUID* pFormat) = 0;
  STDMETHOD(GetDuration)(LONGLONG* pDuration) = 0;
  STDMETHOD(GetStopPosition)(LONGLONG* pStop) = 0;
  STDMETHOD(GetCurrentPosition)(LONGLONG* pCurrent) = 0;
  STDMETHOD(ConvertTimeFormat)(LONGLONG* pTarget, const GUID* pTargetFormat, LONGLONG Source,
                               const GUID* pSourceFormat) = 0;
  STDMETHOD(SetPositions)(LONGLONG* pCurrent, DWORD dwCurrentFlags, LONGLONG* pStop,
                          DWORD dwStopFlags) = 0;
  STDMETHOD(GetPositions)(LONGLONG* pCurrent, LONGLONG* pStop) = 0;
  STDMETHOD(GetAvailable)(LONGLONG* pEarliest, LONGLONG* pLatest) = 0;
  STDMETHOD(SetRate)(double dRate) = 0;
  STDMETHOD(GetRate)(double* pdRate) = 0;
  STDMETHOD(GetPreroll)(LONGLONG* pllPreroll) = 0;
};

// ---- Quality ------------------------------------------------------------------------------------
typedef enum tagQualityMessageType { Famine = 0, Flood = 1 } QualityMessageType;
typedef struct tagQuality {
  QualityMessageType Type;
  LONG Proportion;
  REFERENCE_TIME Late;
  REFERENCE_TIME TimeStamp;
} Quality;

DEFINE_GUID(IID_IQualityControl, 0x56A868A5, 0x0AD4, 0x11CE, 0xB0, 0x3A, 0x00, 0x20, 0xAF, 0x0B, 0xA7, 0x70);
interface IQualityControl : public IUnknown {
  STDMETHOD(Notify)(IBaseFilter* pSelf, Quality q) = 0;
  STDMETHOD(SetSink)(IQualityControl* piqc) = 0;
};

// ---- Files --------------------------------------------------------------------------------------
DEFINE_GUID(IID_IFileSourceFilter, 0x56A868A6, 0x0AD4, 0x11CE, 0xB0, 0x3A, 0x00, 0x20, 0xAF, 0x0B, 0xA7, 0x70);
interface IFileSourceFilter : public IUnknown {
  STDMETHOD(Load)(LPCOLESTR pszFileName, const AM_MEDIA_TYPE* pmt) = 0;
  STDMETHOD(GetCurFile)(LPOLESTR* ppszFileName, AM_MEDIA_TYPE* pmt) = 0;
};

DEFINE_GUID(IID_IFileSinkFilter, 0xA2104830, 0x7C70, 0x11CF, 0x8B, 0xCE, 0x00, 0xAA, 0x00, 0xA3, 0xF1, 0xA6);
interface IFileSinkFilter : public IUnknown {
  STDMETHOD(SetFileName)(LPCOLESTR pszFileName, const AM_MEDIA_TYPE* pmt) = 0;
  STDMETHOD(GetCurFile)(LPOLESTR* ppszFileName, AM_MEDIA_TYPE* pmt) = 0;
};

typedef enum _AM_FILESINK_FLAGS { AM_FILE_OVERWRITE = 0x1 } AM_FILESINK_FLAGS;

DEFINE_GUID(IID_IFileSinkFilter2, 0x00855B90, 0xCE1B, 0x11D0, 0xBD, 0x4F, 0x00, 0xA0, 0xC9, 0x11, 0xCE, 0x86);
interface IFileSinkFilter2 : public IFileSinkFilter {
  STDMETHOD(SetMode)(DWORD dwFlags) = 0;
  STDMETHOD(GetMode)(DWORD* pdwFlags) = 0;
};

// ---- Filter settings ----------------------------------------------------------------------------
DEFINE_GUID(IID_IAMStreamConfig, 0xC6E13340, 0x30AC, 0x11D0, 0xA1, 0x8C, 0x00, 0xA0, 0xC9, 0x11, 0x89, 0x56);
interface IAMStreamConfig : public IUnknown {
  STDMETHOD(SetFormat)(AM_MEDIA_TYPE* pmt) = 0;
  STDMETHOD(GetFormat)(AM_MEDIA_TYPE** ppmt) = 0;
  STDMETHOD(GetNumberOfCapabilities)(int* piCount, int* piSize) = 0;
  STDMETHOD(GetStreamCaps)(int iIndex, AM_MEDIA_TYPE** ppmt, BYTE* pSCC) = 0;
};

typedef struct _AUDIO_STREAM_CONFIG_CAPS {
  GUID guid;
  ULONG MinimumChannels;
  ULONG MaximumChannels;
  ULONG ChannelsGranularity;
  ULONG MinimumBitsPerSample;
  ULONG MaximumBitsPerSample;
  ULONG BitsPerSampleGranularity;
  ULONG MinimumSampleFrequency;
  ULONG MaximumSampleFrequency;
  ULONG SampleFrequencyGranularity;
} AUDIO_STREAM_CONFIG_CAPS;

typedef struct _VIDEO_STREAM_CONFIG_CAPS {
  GUID guid;
  ULONG VideoStandard;
  SIZE InputSize;
  SIZE MinCroppingSize;
  SIZE MaxCroppingSize;
  int CropGranularityX;
  int CropGranularityY;
  int CropAlignX;
  int CropAlignY;
  SIZE MinOutputSize;
  SIZE MaxOutputSize;
  int OutputGranularityX;
  int OutputGranularityY;
  int StretchTapsX;
  int StretchTapsY;
  int ShrinkTapsX;
  int ShrinkTapsY;
  LONGLONG MinFrameInterval;
  LONGLONG MaxFrameInterval;
  LONG MinBitsPerSecond;
  LONG MaxBitsPerSecond;
} VIDEO_STREAM_CONFIG_CAPS;

typedef struct tag_DVINFO {
  DWORD dwDVAAuxSrc;
  DWORD dwDVAAuxCtl;
  DWORD dwDVAAuxSrc1;
  DWORD dwDVAAuxCtl1;
  DWORD dwDVVAuxSrc;
  DWORD dwDVVAuxCtl;
  DWORD dwDVReserved[2];
} DVINFO, *PDVINFO;

typedef enum _DVENCODERRESOLUTION {
  DVENCODERRESOLUTION_720x480 = 2012,
  DVENCODERRESOLUTION_360x240 = 2013,
  DVENCODERRESOLUTION_180x120 = 2014,
  DVENCODERRESOLUTION_88x60 = 2015,
} DVENCODERRESOLUTION;
typedef enum _DVENCODERVIDEOFORMAT {
  DVENCODERVIDEOFORMAT_NTSC = 2000,
  DVENCODERVIDEOFORMAT_PAL = 2001,
} DVENCODERVIDEOFORMAT;
typedef enum _DVENCODERFORMAT {
  DVENCODERFORMAT_DVSD = 2007,
  DVENCODERFORMAT_DVHD = 2008,
  DVENCODERFORMAT_DVSL = 2009,
} DVENCODERFORMAT;

DEFINE_GUID(IID_IDVEnc, 0xD18E17A0, 0xAACB, 0x11D0, 0xAF, 0xB0, 0x00, 0xAA, 0x00, 0xB6, 0x7A, 0x42);
interface IDVEnc : public IUnknown {
  STDMETHOD(get_IFormatResolution)(int* VideoFormat, int* DVFormat, int* Resolution, BYTE fDVInfo,
                                   DVINFO* sDVInfo) = 0;
  STDMETHOD(put_IFormatResolution)(int VideoFormat, int DVFormat, int Resolution, BYTE fDVInfo,
                                   DVINFO* sDVInfo) = 0;
};

typedef enum _AMINTERLEAVINGMODE {
  INTERLEAVE_NONE = 0,
  INTERLEAVE_CAPTURE = 1,
  INTERLEAVE_FULL = 2,
  INTERLEAVE_NONE_BUFFERED = 3,
} InterleavingMode;

DEFINE_GUID(IID_IConfigInterleaving, 0xBEE3D220, 0x157B, 0x11D0, 0xBD, 0x23, 0x00, 0xA0, 0xC9, 0x11, 0xCE, 0x86);
interface IConfigInterleaving : public IUnknown {
  STDMETHOD(put_Mode)(InterleavingMode mode) = 0;
  STDMETHOD(get_Mode)(InterleavingMode* pMode) = 0;
  STDMETHOD(put_Interleaving)(const REFERENCE_TIME* prtInterleave,
                              const REFERENCE_TIME* prtPreroll) = 0;
  STDMETHOD(get_Interleaving)(REFERENCE_TIME* prtInterleave, REFERENCE_TIME* prtPreroll) = 0;
};

typedef enum _AM_FILTER_MISC_FLAGS {
  AM_FILTER_MISC_FLAGS_IS_RENDERER = 0x1,
  AM_FILTER_MISC_FLAGS_IS_SOURCE = 0x2,
} AM_FILTER_MISC_FLAGS;

// Renderers answer AM_FILTER_MISC_FLAGS_IS_RENDERER: the graph waits for their EC_COMPLETE.
DEFINE_GUID(IID_IAMFilterMiscFlags, 0x2DD74950, 0xA890, 0x11D1, 0xAB, 0xE8, 0x00, 0xA0, 0xC9, 0x05, 0xF3, 0x75);
interface IAMFilterMiscFlags : public IUnknown {
  STDMETHOD_(ULONG, GetMiscFlags)() = 0;
};

// ---- Capture graph builder and device enumeration -----------------------------------------------
DEFINE_GUID(IID_IAMCopyCaptureFileProgress, 0x670D1D20, 0xA068, 0x11D0, 0xB3, 0xF0, 0x00, 0xAA, 0x00, 0x37, 0x61, 0xC5);
interface IAMCopyCaptureFileProgress : public IUnknown {
  STDMETHOD(Progress)(int iProgress) = 0;
};

DEFINE_GUID(IID_ICaptureGraphBuilder2, 0x93E5A4E0, 0x2D50, 0x11D2, 0xAB, 0xFA, 0x00, 0xA0, 0xC9, 0xC6, 0xE3, 0x8D);
interface ICaptureGraphBuilder2 : public IUnknown {
  STDMETHOD(SetFiltergraph)(IGraphBuilder* pfg) = 0;
  STDMETHOD(GetFiltergraph)(IGraphBuilder** ppfg) = 0;
  STDMETHOD(SetOutputFileName)(const GUID* pType, LPCOLESTR lpstrFile, IBaseFilter** ppf,
                               IFileSinkFilter** ppSink) = 0;
  STDMETHOD(FindInterface)(const GUID* pCategory, const GUID* pType, IBaseFilter* pf, REFIID riid,
                           void** ppint) = 0;
  STDMETHOD(RenderStream)(const GUID* pCategory, const GUID* pType, IUnknown* pSource,
                          IBaseFilter* pfCompressor, IBaseFilter* pfRenderer) = 0;
  STDMETHOD(ControlStream)(const GUID* pCategory, const GUID* pType, IBaseFilter* pFilter,
                           REFERENCE_TIME* pstart, REFERENCE_TIME* pstop, WORD wStartCookie,
                           WORD wStopCookie) = 0;
  STDMETHOD(AllocCapFile)(LPCOLESTR lpstr, DWORDLONG dwlSize) = 0;
  STDMETHOD(CopyCaptureFile)(LPOLESTR lpwstrOld, LPOLESTR lpwstrNew, int fAllowEscAbort,
                             IAMCopyCaptureFileProgress* pCallback) = 0;
  STDMETHOD(FindPin)(IUnknown* pSource, PIN_DIRECTION pindir, const GUID* pCategory,
                     const GUID* pType, BOOL fUnconnected, int num, IPin** ppPin) = 0;
};

#define CDEF_DEVMON_FILTER 0x2
DEFINE_GUID(IID_ICreateDevEnum, 0x29840822, 0x5B84, 0x11D0, 0xBD, 0x3B, 0x00, 0xA0, 0xC9, 0x11, 0xCE, 0x86);
interface ICreateDevEnum : public IUnknown {
  // S_FALSE and no enumerator when the category is empty or unknown.
  STDMETHOD(CreateClassEnumerator)(REFCLSID clsidDeviceClass, IEnumMoniker** ppEnumMoniker,
                                   DWORD dwFlags) = 0;
};
