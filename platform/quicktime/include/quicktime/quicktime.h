#pragma once
// The QuickTime runtime: opening movies, their tracks and media, drawing frames into an off-screen
// graphics world, reading media samples, converting sound to PCM, and the memory handles these
// calls trade in. Media work is done by the FFmpeg libraries.
//
// How this runtime presents a movie:
// - A file with a movie header ('moov' box: QuickTime, MP4, M4A, M4V, 3GP, 3G2) keeps the movie's
//   own time scale and duration and its tracks in file order, with their kinds ('vide', 'soun',
//   'flsh', 'text', ...). Any other file the FFmpeg libraries can read (AMR, for one) opens as an
//   imported movie: time scale 600, one track per video or sound stream.
// - Media time is the movie's presentation time in the media's time scale, edit lists applied:
//   the first picture shown is at 0. Sound samples that come before it (encoder priming) keep
//   their place before 0, where a decoder can be primed with them; frames an edit list leaves out
//   are never shown. A media's duration is that of all its stored samples; a video media's sample
//   count is the number of frames shown.
// - A video media sample is one frame; a sound media sample is one stored packet, or one
//   sample frame of uncompressed sound.
// - Sound descriptions keep the file's format code, stored sample size and compression id, except
//   that compressed sound is always described as variable (compression id -2): the converter
//   needs packet boundaries, which such sound gets through the sound data record.
// - A movie is used by one thread at a time; distinct movies, even of the same file, may be used
//   on distinct threads. GetMoviesError and MemError report the calling thread's last error.
// - Before any movie is opened, InitializeQTML and EnterMovies must have been called; they count
//   their calls and are undone by as many TerminateQTML and ExitMovies calls.
#include <cstdint>

#include "win32/wintypes.h"

// ---- Basic types --------------------------------------------------------------------------------
typedef int16_t OSErr;
typedef int16_t QDErr;
typedef uint32_t OSType;
typedef int32_t Fixed;
typedef uint32_t UnsignedFixed;
typedef int32_t TimeValue;
typedef int32_t TimeScale;
typedef int64_t TimeValue64;
typedef uint8_t Boolean;
typedef char* Ptr;
typedef Ptr* Handle;
typedef int32_t Size;
typedef int8_t SInt8;
typedef unsigned char* StringPtr;

struct Rect {
  int16_t top, left, bottom, right;
};

// A file named by its path (POSIX, as NativePathNameToFSSpec resolved it).
struct FSSpec {
  int16_t vRefNum;
  int32_t parID;
  char name[1040];
};

struct wide {
  int32_t hi;
  uint32_t lo;
};
typedef wide CompTimeValue;
typedef struct TimeBaseRecord* TimeBase;
struct TimeRecord {
  CompTimeValue value;
  TimeScale scale;
  TimeBase base;
};

typedef struct MovieRecord* Movie;
typedef struct TrackRecord* Track;
typedef struct MediaRecord* Media;
typedef struct GWorldRecord* GWorldPtr;
typedef GWorldPtr CGrafPtr;
typedef struct GDeviceRecord** GDHandle;
typedef struct ColorTableRecord** CTabHandle;
typedef uint32_t GWorldFlags;
typedef struct SoundConverterRecord* SoundConverter;

// Four-character codes, first character in the high byte.
constexpr OSType FourCharCode(const char (&c)[5]) {
  return OSType(uint8_t(c[0])) << 24 | OSType(uint8_t(c[1])) << 16 | OSType(uint8_t(c[2])) << 8 | OSType(uint8_t(c[3]));
}

// ---- Results ------------------------------------------------------------------------------------
enum : OSErr {
  noErr = 0,
  eofErr = -39,
  fnfErr = -43,
  paramErr = -50,
  memFullErr = -108,
  nilHandleErr = -109,
  siUnknownInfoType = -231,
  couldNotResolveDataRef = -2000,
  badImageDescription = -2001,
  cantFindHandler = -2003,
  invalidMedia = -2008,
  invalidTrack = -2009,
  invalidMovie = -2010,
  invalidTime = -2015,
  movieToolboxUninitialized = -2020,
  userDataItemNotFound = -2026,
  maxSizeToGrowTooSmall = -2027,
  badTrackIndex = -2028,
  noCodecErr = -8961,
};

// ---- Start-up -----------------------------------------------------------------------------------
OSErr InitializeQTML(int32_t flag);
void TerminateQTML();
OSErr EnterMovies();
void ExitMovies();
OSErr GetMoviesError();

// ---- Fixed point --------------------------------------------------------------------------------
Fixed X2Fix(double x);           // saturates at the 16.16 range
int16_t FixRound(Fixed x);       // to the nearest integer, halves away from zero
double Fix2X(Fixed x);

// ---- Memory -------------------------------------------------------------------------------------
// Relocatable blocks: *h is the block (NULL for an empty one). Blocks move only through
// SetHandleSize, so locking has nothing to pin.
Handle NewHandle(Size byteCount);
Handle NewHandleClear(Size byteCount);
void DisposeHandle(Handle h);
Size GetHandleSize(Handle h);
void SetHandleSize(Handle h, Size newSize);  // MemError tells whether it worked
void HLock(Handle h);
void HUnlock(Handle h);
Ptr NewPtr(Size byteCount);
Ptr NewPtrClear(Size byteCount);
void DisposePtr(Ptr p);
OSErr MemError();

// ---- Movie files --------------------------------------------------------------------------------
enum : SInt8 { fsCurPerm = 0, fsRdPerm = 1, fsWrPerm = 2, fsRdWrPerm = 3 };
enum : int16_t { newMovieActive = 1 << 0, newMovieDontResolveDataRefs = 1 << 1 };

// A platform path ('\' or '/', drive letters as the platform reads them) into a file reference for the movie calls.
OSErr NativePathNameToFSSpec(const char* inName, FSSpec* outFile, int32_t flags);
// Opens the file; fails with fnfErr when it does not exist or cannot be opened with the permission.
OSErr OpenMovieFile(const FSSpec* fileSpec, int16_t* resRefNum, SInt8 permission);
OSErr CloseMovieFile(int16_t resRefNum);
// Reads the movie of an open movie file. A file whose header is damaged, or that the media
// libraries cannot read, gives invalidMovie and no movie.
OSErr NewMovieFromFile(Movie* theMovie, int16_t resRefNum, int16_t* resId, StringPtr resName, int16_t newMovieFlags,
                       Boolean* dataRefWasChanged);
void DisposeMovie(Movie theMovie);

// ---- Movies and tracks --------------------------------------------------------------------------
enum : int32_t { movieTrackMediaType = 1 << 0, movieTrackCharacteristic = 1 << 1, movieTrackEnabledOnly = 1 << 2 };
inline constexpr OSType VideoMediaType = FourCharCode("vide");
inline constexpr OSType SoundMediaType = FourCharCode("soun");
inline constexpr OSType FlashMediaType = FourCharCode("flsh");

TimeScale GetMovieTimeScale(Movie theMovie);
TimeValue GetMovieDuration(Movie theMovie);
int32_t GetMovieTrackCount(Movie theMovie);
// The index-th track (from 1) of the media type, counting only tracks of that type.
Track GetMovieIndTrackType(Movie theMovie, int32_t index, OSType trackType, int32_t flags);
Media GetTrackMedia(Track theTrack);
void SetTrackEnabled(Track theTrack, Boolean isEnabled);
Boolean GetTrackEnabled(Track theTrack);
// The box of the enabled video tracks (each track's own size, the union of them), and moving it.
void GetMovieBox(Movie theMovie, Rect* boxRect);
void SetMovieBox(Movie theMovie, const Rect* boxRect);

// ---- Media --------------------------------------------------------------------------------------
TimeScale GetMediaTimeScale(Media theMedia);
TimeValue GetMediaDuration(Media theMedia);
int32_t GetMediaSampleCount(Media theMedia);

// Descriptions keep the platform's 2-byte packing (an image description is 86 bytes, a sound
// description 36).
#pragma pack(push, 2)
struct SampleDescription {
  int32_t descSize;
  OSType dataFormat;
  int32_t resvd1;
  int16_t resvd2;
  int16_t dataRefIndex;
};
typedef SampleDescription** SampleDescriptionHandle;

struct ImageDescription {
  int32_t idSize;
  OSType cType;
  int32_t resvd1;
  int16_t resvd2;
  int16_t dataRefIndex;
  int16_t version;
  int16_t revisionLevel;
  int32_t vendor;
  uint32_t temporalQuality;
  uint32_t spatialQuality;
  int16_t width;
  int16_t height;
  Fixed hRes;
  Fixed vRes;
  int32_t dataSize;
  int16_t frameCount;
  unsigned char name[32];
  int16_t depth;
  int16_t clutID;
};
typedef ImageDescription** ImageDescriptionHandle;

// Sound descriptions are followed by their extension atoms (within descSize).
struct SoundDescription {
  int32_t descSize;
  OSType dataFormat;
  int32_t resvd1;
  int16_t resvd2;
  int16_t dataRefIndex;
  int16_t version;
  int16_t revlevel;
  int32_t vendor;
  int16_t numChannels;
  int16_t sampleSize;
  int16_t compressionID;
  int16_t packetSize;
  UnsignedFixed sampleRate;
};
#pragma pack(pop)
static_assert(sizeof(ImageDescription) == 86 && sizeof(SoundDescription) == 36);
typedef SoundDescription** SoundDescriptionHandle;
enum : int16_t { notCompressed = 0, fixedCompression = -1, variableCompression = -2 };

// Resizes descH to the index-th (from 1) description of the media: an ImageDescription for video,
// a SoundDescription for sound. Errors through GetMoviesError.
void GetMediaSampleDescription(Media theMedia, int32_t index, SampleDescriptionHandle descH);
// A copy of the sound description's extension atom of type idType (the whole atom, with its size
// and type), in a new handle; userDataItemNotFound when there is none. Compressed sound that needs
// a decoder configuration always has a 'wave' atom holding it.
OSErr GetSoundDescriptionExtension(SoundDescriptionHandle desc, Handle* extension, OSType idType);

enum : int16_t { nextTimeMediaSample = 1 << 0, nextTimeSyncSample = 1 << 3, nextTimeEdgeOK = 1 << 14 };
// The start of the next media sample after time (at time too with nextTimeEdgeOK); with a negative
// rate the start of the sample before. -1 when there is none. Times are media (decode) times.
void GetMediaNextInterestingTime(Media theMedia, int16_t interestingTimeFlags, TimeValue time, Fixed rate,
                                 TimeValue* interestingTime, TimeValue* interestingDuration);
// The same over the times at which a video media's frames are shown, in the order shown.
void GetMediaNextInterestingDisplayTime(Media theMedia, int16_t interestingTimeFlags, TimeValue64 displayTime,
                                        Fixed rate, TimeValue64* interestingDisplayTime,
                                        TimeValue64* interestingDisplayDuration);
// The time the media's first frame is shown.
TimeValue64 GetMediaDisplayStartTime(Media theMedia);

enum : int16_t { mediaSampleNotSync = 1 << 0 };
// Reads the samples from the one at time on, as long as they have the size and duration of that
// first one, fit in maxSizeToGrow bytes (0: no limit) and number at most maxNumberOfSamples (0: no
// limit). The first sample alone larger than maxSizeToGrow gives maxSizeToGrowTooSmall. Output
// parameters may be NULL.
OSErr GetMediaSample(Media theMedia, Handle dataOut, int32_t maxSizeToGrow, int32_t* size, TimeValue time,
                     TimeValue* sampleTime, TimeValue* durationPerSample, SampleDescriptionHandle sampleDescriptionH,
                     int32_t* sampleDescriptionIndex, int32_t maxNumberOfSamples, int32_t* numberOfSamples,
                     int16_t* sampleFlags);

// ---- Drawing ------------------------------------------------------------------------------------
inline constexpr OSType k16LE555PixelFormat = FourCharCode("L555");
inline constexpr OSType k24BGRPixelFormat = FourCharCode("24BG");
inline constexpr OSType k32BGRAPixelFormat = FourCharCode("BGRA");

// A graphics world over a DIB section of 16 (5-5-5), 24 or 32 bits; the section's own row order
// is kept. The bitmap must outlive the graphics world.
QDErr NewGWorldFromHBITMAP(GWorldPtr* offscreenGWorld, CTabHandle cTable, GDHandle aGDevice, GWorldFlags flags,
                           void* newHDC, void* newHBITMAP);
// A graphics world over caller memory, rows top-down, rowBytes apart.
QDErr NewGWorldFromPtr(GWorldPtr* offscreenGWorld, OSType pixelFormat, const Rect* boundsRect, CTabHandle cTable,
                       GDHandle aGDevice, GWorldFlags flags, Ptr newBuffer, int32_t rowBytes);
void DisposeGWorld(GWorldPtr offscreenGWorld);
GDHandle GetGWorldDevice(GWorldPtr offscreenGWorld);
void SetMovieGWorld(Movie theMovie, CGrafPtr port, GDHandle gdh);

// The movie's current time, in movie units or in any time scale.
void SetMovieTimeValue(Movie theMovie, TimeValue newtime);
void SetMovieTime(Movie theMovie, const TimeRecord* newtime);
// Draws the frame each enabled video track shows at the current time into the movie box of the
// movie's graphics world, scaled to the box. Before a track's first frame nothing is drawn (and
// GetMoviesError tells invalidTime, as it does when a frame cannot be decoded); past its last
// frame the last one is.
void MoviesTask(Movie theMovie, int32_t maxMilliSecToUse);

// ---- Sound conversion ---------------------------------------------------------------------------
struct SoundComponentData {
  int32_t flags;
  OSType format;
  int16_t numChannels;
  int16_t sampleSize;
  UnsignedFixed sampleRate;
  int32_t sampleCount;
  uint8_t* buffer;
  int32_t reserved;
};
typedef SoundComponentData* SoundComponentDataPtr;

enum : int32_t { kExtendedSoundData = 1 << 14 };
enum : int32_t {
  kExtendedSoundSampleCountNotValid = 1 << 0,
  kExtendedSoundBufferSizeValid = 1 << 1,
  kExtendedSoundFrameSizesValid = 1 << 2,
  kExtendedSoundCommonFrameSizeValid = 1 << 3,
};
// The record a fill callback hands over for compressed sound (desc.flags has kExtendedSoundData):
// sampleCount packets of commonFrameSize bytes each.
struct ExtendedSoundComponentData {
  SoundComponentData desc;
  int32_t recordSize;
  int32_t extendedFlags;
  int32_t bufferSize;
  int32_t frameCount;
  int32_t* frameSizesArray;
  int32_t commonFrameSize;
};

inline constexpr OSType kSoundNotCompressed = FourCharCode("NONE");
inline constexpr OSType siClientAcceptsVBR = FourCharCode("cvbr");
inline constexpr OSType siDecompressionParams = FourCharCode("wave");
enum : uint32_t { kSoundConverterDidntFillBuffer = 1 << 0, kSoundConverterHasLeftOverData = 1 << 1 };

// Hands the converter its next input: points *data at a record and returns true, or returns false
// when there is none (for now).
typedef Boolean (*SoundConverterFillBufferDataUPP)(SoundComponentDataPtr* data, void* refCon);

// Input: a sound format code ('NONE', 'raw ', 'twos', 'sowt', 'in24', 'in32', 'fl32', 'fl64', 'ulaw',
// 'alaw', 'mp4a', 'samr', 'sawb', '.mp3') with its channels, sample size and rate. Output: 'NONE',
// native-endian PCM (8 bits unsigned, 16, 24 and 32 bits signed) at the output's channels and rate.
// A format without a decoder gives noCodecErr.
OSErr SoundConverterOpen(const SoundComponentData* inputFormat, const SoundComponentData* outputFormat,
                         SoundConverter* sc);
OSErr SoundConverterClose(SoundConverter sc);
// siClientAcceptsVBR (value as the pointer), siDecompressionParams (a 'wave' atom holding the
// decoder configuration); other selectors give siUnknownInfoType.
OSErr SoundConverterSetInfo(SoundConverter sc, OSType selector, void* infoPtr);
OSErr SoundConverterBeginConversion(SoundConverter sc);
// Uncompressed input: the whole frames within inputBytesTarget, and the output bytes they make.
OSErr SoundConverterGetBufferSizes(SoundConverter sc, uint32_t inputBytesTarget, uint32_t* inputFrames,
                                   uint32_t* inputBytes, uint32_t* outputBytes);
// Uncompressed input: converts inputFrames frames. The output holds what the last GetBufferSizes
// promised for them; more than it will hold waits for the next call. More input frames than the
// last GetBufferSizes gave is a paramErr.
OSErr SoundConverterConvertBuffer(SoundConverter sc, const void* inputPtr, uint32_t inputFrames, void* outputPtr,
                                  uint32_t* outputFrames, uint32_t* outputBytes);
// Fills outputBuffer with whole output frames, asking the callback for input as needed. Sets
// kSoundConverterDidntFillBuffer when the callback ran out first, kSoundConverterHasLeftOverData
// when converted sound is left for the next call.
OSErr SoundConverterFillBuffer(SoundConverter sc, SoundConverterFillBufferDataUPP fillBufferDataUPP, void* refCon,
                               void* outputBuffer, uint32_t outputBufferByteSize, uint32_t* bytesWritten,
                               uint32_t* framesWritten, uint32_t* outputFlags);
// Drains the decoder and resampler into outputPtr (at most as many bytes as the last
// GetBufferSizes or FillBuffer allowed) and ends the conversion; Begin starts a new one.
OSErr SoundConverterEndConversion(SoundConverter sc, void* outputPtr, uint32_t* outputFrames, uint32_t* outputBytes);
