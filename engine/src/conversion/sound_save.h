#pragma once
// A save of the timeline's sound alone: to a WAV file through the "PCM" compressor, to a Windows
// Media file with a system profile, or to an MP3 file through the MP3 encoder filter. Each builds
// its own graph from the timeline through the render engine.
#include "conversion/conversion_graph.h"
#include "mfc/afxstr.h"

// What a WAV save writes.
struct WaveFormat {
  short channels;
  LONG samplesPerSecond;
  short bytesPerSample;
};

// The WAV format of Save2Wave's arguments; the last is bytes per sample (1-4) or bits (8, 16, 24,
// 32). False for anything else: channels beyond 1-8 or rates beyond 8000-192000.
bool ReadWaveArguments(short channels, LONG samplesPerSecond, short sampleSize, WaveFormat* format);

class SoundSave {
 public:
  enum class Kind { Wave, WindowsMedia, Mp3 };

  SoundSave(IAMTimeline* timeline, ConversionGraph& graph) : timeline_(timeline), graph_(graph) {}

  HRESULT SaveWave(LPCTSTR file, const WaveFormat& format);
  // profileId: the chosen system profile, GUID_NULL when none is.
  HRESULT SaveWindowsMedia(LPCTSTR file, const GUID& profileId);
  HRESULT SaveMp3(LPCTSTR file, LONG sampleRate, short kbps);

 private:
  // The render engine's graph over the timeline, out of preview mode, with a capture graph builder
  // on it; then each group's output pin handed to wire. A group without an output pin is left out.
  // S_FALSE when no group is audio.
  template <class Wire>
  HRESULT Build(Wire wire);

  IAMTimeline* timeline_;
  ConversionGraph& graph_;
  ComPtr<ICaptureGraphBuilder2> builder_;
};
