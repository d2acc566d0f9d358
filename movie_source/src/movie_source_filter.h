#pragma once
// The movie source filter: opens a movie file through the movie runtime and offers one output
// pin per video or sound track (at most 16).
#include <string>

#include "dshow/dshow.h"
#include "quicktime/quicktime.h"

class MovieSourceFilter : public CSource, public IFileSourceFilter {
 public:
  static constexpr int kMaxPins = 16;

  // The class factory's creation function.
  static CUnknown* CreateInstance(LPUNKNOWN outer, HRESULT* phr);

  DECLARE_IUNKNOWN
  // IMovieVideoInfo goes to the second-to-last pin (the only one when there is one),
  // IMovieAudioInfo to the last; with no pins neither is found.
  STDMETHODIMP NonDelegatingQueryInterface(REFIID riid, void** ppv) override;

  // IFileSourceFilter. A failed Load leaves no pins behind, and another Load may follow.
  STDMETHODIMP Load(LPCOLESTR pszFileName, const AM_MEDIA_TYPE* pmt) override;
  STDMETHODIMP GetCurFile(LPOLESTR* ppszFileName, AM_MEDIA_TYPE* pmt) override;

  STDMETHODIMP Stop() override;

 private:
  MovieSourceFilter(LPUNKNOWN outer, HRESULT* phr);
  ~MovieSourceFilter() override;

  HRESULT OpenMovie(const std::string& path);
  HRESULT AddVideoPin(Movie movie, int index);
  HRESULT AddAudioPin(Movie movie, int index);
  // Another copy of the movie, for a pin of its own; null when it cannot be opened.
  Movie OpenCopy();
  void DeletePins();

  bool loaded_ = false;
  std::u16string fileName_;
  std::string path_;  // the name in the ANSI code page, while opening
  // Guards movie opening and the runtime's start-up count.
  CCritSec movieLock_;
};
