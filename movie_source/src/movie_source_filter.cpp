#include "movie_source_filter.h"

#include <algorithm>
#include <cstdio>
#include <mutex>
#include <new>

#include "movie_audio_pin.h"
#include "movie_source/movie_source.h"
#include "movie_video_pin.h"
#include "win32/windows.h"

namespace {

// Filters alive in the process: the first starts the movie runtime, the last one gone stops it.
std::mutex& RuntimeLock() {
  static std::mutex* lock = new std::mutex;
  return *lock;
}
int g_runtimeUsers = 0;

// Opens the movie of a file read-write, else read-only; null when it cannot be read.
Movie OpenMovieAt(const std::string& path) {
  FSSpec location;
  if (NativePathNameToFSSpec(path.c_str(), &location, 0) != noErr) return nullptr;
  int16_t file = 0;
  if (OpenMovieFile(&location, &file, fsRdWrPerm) != noErr && OpenMovieFile(&location, &file, fsRdPerm) != noErr)
    return nullptr;
  Movie movie = nullptr;
  const OSErr err = NewMovieFromFile(&movie, file, nullptr, nullptr, newMovieActive, nullptr);
  CloseMovieFile(file);
  if (err != noErr && movie) {
    DisposeMovie(movie);
    movie = nullptr;
  }
  return movie;
}

// "Video Out 1" and the like, in UTF-16.
std::u16string PinName(const char* kind, int index) {
  char text[128];
  std::snprintf(text, sizeof text, "%s Out %d", kind, index);
  std::u16string name;
  for (const char* c = text; *c; ++c) name.push_back(char16_t(*c));
  return name;
}

int ScreenDepth() {
  HDC screen = GetDC(nullptr);
  const int depth = GetDeviceCaps(screen, BITSPIXEL);
  ReleaseDC(nullptr, screen);
  return depth;
}

}  // namespace

CUnknown* MovieSourceFilter::CreateInstance(LPUNKNOWN outer, HRESULT* phr) {
  auto* filter = new (std::nothrow) MovieSourceFilter(outer, phr);
  if (!filter && phr) *phr = E_OUTOFMEMORY;
  return filter;
}

MovieSourceFilter::MovieSourceFilter(LPUNKNOWN outer, HRESULT* phr)
    : CSource("movie source filter", outer, CLSID_MovieSourceFilter, phr) {
  std::lock_guard<std::mutex> guard(RuntimeLock());
  if (g_runtimeUsers++ == 0) {
    InitializeQTML(0);
    EnterMovies();
  }
}

MovieSourceFilter::~MovieSourceFilter() {
  DeletePins();
  std::lock_guard<std::mutex> guard(RuntimeLock());
  if (--g_runtimeUsers == 0) {
    ExitMovies();
    TerminateQTML();
  }
}

void MovieSourceFilter::DeletePins() {
  while (GetPinCount() > 0) delete GetPin(GetPinCount() - 1);
}

STDMETHODIMP MovieSourceFilter::NonDelegatingQueryInterface(REFIID riid, void** ppv) {
  if (!ppv) return E_POINTER;
  if (riid == IID_IFileSourceFilter) return GetInterface(static_cast<IFileSourceFilter*>(this), ppv);
  if (riid == IID_IMovieVideoInfo || riid == IID_IMovieAudioInfo) {
    CAutoLock lock(pStateLock());
    const int count = GetPinCount();
    const int at = riid == IID_IMovieAudioInfo ? count - 1 : count >= 2 ? count - 2 : 0;
    *ppv = nullptr;
    if (count == 0) return E_NOINTERFACE;
    return GetPin(at)->NonDelegatingQueryInterface(riid, ppv);
  }
  return CSource::NonDelegatingQueryInterface(riid, ppv);
}

STDMETHODIMP MovieSourceFilter::Load(LPCOLESTR pszFileName, const AM_MEDIA_TYPE*) {
  CAutoLock lock(pStateLock());
  if (loaded_) return E_FAIL;
  if (!pszFileName) return E_POINTER;
  const int wide = int(std::char_traits<char16_t>::length(pszFileName));
  const int bytes = WideCharToMultiByte(CP_ACP, 0, pszFileName, wide, nullptr, 0, nullptr, nullptr);
  std::string path;
  try {
    path.resize(size_t(bytes));
  } catch (const std::bad_alloc&) {
    return E_OUTOFMEMORY;
  }
  if (bytes > 0) WideCharToMultiByte(CP_ACP, 0, pszFileName, wide, path.data(), bytes, nullptr, nullptr);
  if (FAILED(OpenMovie(path))) {
    DeletePins();
    return E_FAIL;
  }
  fileName_.assign(pszFileName, size_t(wide));
  loaded_ = true;
  return S_OK;
}

STDMETHODIMP MovieSourceFilter::GetCurFile(LPOLESTR* ppszFileName, AM_MEDIA_TYPE*) {
  if (!ppszFileName) return E_POINTER;
  *ppszFileName = nullptr;
  CAutoLock lock(pStateLock());
  if (!loaded_) return S_OK;
  auto* copy = static_cast<LPOLESTR>(CoTaskMemAlloc((fileName_.size() + 1) * sizeof(WCHAR)));
  if (!copy) return E_OUTOFMEMORY;
  std::char_traits<char16_t>::copy(copy, fileName_.c_str(), fileName_.size() + 1);
  *ppszFileName = copy;
  return S_OK;
}

STDMETHODIMP MovieSourceFilter::Stop() {
  CAutoLock lock(&movieLock_);
  return CBaseFilter::Stop();
}

Movie MovieSourceFilter::OpenCopy() { return OpenMovieAt(path_); }

HRESULT MovieSourceFilter::OpenMovie(const std::string& path) {
  CAutoLock lock(&movieLock_);
  path_ = path;
  Movie movie = OpenMovieAt(path);
  if (!movie) return E_FAIL;
  HRESULT hr = S_OK;
  const int tracks = GetMovieTrackCount(movie);
  // Track indexes count the tracks of each media type separately.
  for (int i = 1; i <= tracks && SUCCEEDED(hr) && GetPinCount() < kMaxPins; ++i) {
    if (GetMovieIndTrackType(movie, i, FlashMediaType, movieTrackMediaType)) {
      hr = E_FAIL;
      break;
    }
    if (Track video = GetMovieIndTrackType(movie, i, VideoMediaType, movieTrackMediaType); video && GetTrackMedia(video))
      hr = AddVideoPin(movie, i);
    if (SUCCEEDED(hr) && GetPinCount() < kMaxPins)
      if (Track sound = GetMovieIndTrackType(movie, i, SoundMediaType, movieTrackMediaType); sound && GetTrackMedia(sound))
        hr = AddAudioPin(movie, i);
  }
  DisposeMovie(movie);
  return hr;
}

HRESULT MovieSourceFilter::AddVideoPin(Movie movie, int index) {
  Media media = GetTrackMedia(GetMovieIndTrackType(movie, index, VideoMediaType, movieTrackMediaType));
  const MovieVideoPin::Rate rate = MovieVideoPin::FrameRateOf(media);
  if (rate.numerator == 0) return S_OK;  // no frames to show
  auto description = reinterpret_cast<SampleDescriptionHandle>(NewHandle(0));
  if (!description) return E_OUTOFMEMORY;
  GetMediaSampleDescription(media, 1, description);
  const bool described = GetMoviesError() == noErr;
  const OSType codec = described ? reinterpret_cast<ImageDescription*>(*description)->cType : 0;
  DisposeHandle(reinterpret_cast<Handle>(description));
  if (!described) return S_OK;

  // The pin's own copy of the movie shows only its track, in a box at (0, 0).
  Movie copy = OpenCopy();
  if (!copy) return E_FAIL;
  for (int other = 1; Track t = GetMovieIndTrackType(copy, other, VideoMediaType, movieTrackMediaType); ++other)
    SetTrackEnabled(t, other == index);
  Rect box;
  GetMovieBox(copy, &box);
  box = Rect{0, 0, int16_t(box.bottom - box.top), int16_t(box.right - box.left)};
  SetMovieBox(copy, &box);
  const int depth = std::max(ScreenDepth(), 16);

  HRESULT hr = S_OK;
  const std::u16string name = PinName("Video", index);
  auto* pin = new (std::nothrow) MovieVideoPin(&hr, this, name.c_str(), copy, index, box.bottom, box.right, depth, codec);
  if (!pin) {
    DisposeMovie(copy);
    return E_OUTOFMEMORY;
  }
  if (FAILED(hr)) delete pin;
  return hr;
}

HRESULT MovieSourceFilter::AddAudioPin(Movie movie, int index) {
  Media media = GetTrackMedia(GetMovieIndTrackType(movie, index, SoundMediaType, movieTrackMediaType));
  auto description = reinterpret_cast<SampleDescriptionHandle>(NewHandle(0));
  if (!description) return E_OUTOFMEMORY;
  GetMediaSampleDescription(media, 1, description);
  if (GetMoviesError() != noErr) {
    DisposeHandle(reinterpret_cast<Handle>(description));
    return E_FAIL;
  }
  const SoundDescription sound = *reinterpret_cast<SoundDescription*>(*description);
  DisposeHandle(reinterpret_cast<Handle>(description));

  Movie copy = OpenCopy();
  if (!copy) return E_FAIL;
  HRESULT hr = S_OK;
  const std::u16string name = PinName("Audio", index);
  auto* pin = new (std::nothrow) MovieAudioPin(&hr, this, name.c_str(), copy, index, sound.numChannels,
                                               int(sound.sampleRate >> 16), sound.sampleSize, sound.dataFormat);
  if (!pin) {
    DisposeMovie(copy);
    return E_OUTOFMEMORY;
  }
  if (FAILED(hr)) delete pin;
  return hr;
}
