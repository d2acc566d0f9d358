// The system profiles of version 8.0: audio-only ones (WMA2) and audio-video ones (WMA2 with
// WMV8), from dial-up modem rates to broadband.
#include <cstring>

#include "profile_data.h"

namespace wmf {

namespace {

constexpr DWORD kWmv2 = 0x32564D57;  // 'WMV2'
constexpr REFERENCE_TIME kFps15 = UNITS / 15;
constexpr REFERENCE_TIME kFps25 = UNITS / 25;
constexpr REFERENCE_TIME kFps30 = UNITS / 30;

template <typename T>
std::vector<BYTE> Bytes(const T& value) {
  std::vector<BYTE> bytes(sizeof(T));
  std::memcpy(bytes.data(), &value, sizeof(T));
  return bytes;
}

ProfileData Audio(const GUID& id, const char16_t* name, const char16_t* description, DWORD rate, WORD channels,
                  DWORD bitrate) {
  ProfileData p;
  p.id = id;
  p.name = name;
  p.description = description;
  p.streams.push_back(MakeAudioStream(1, WAVE_FORMAT_WMAUDIO2, rate, channels, bitrate));
  return p;
}

ProfileData Video(const GUID& id, const char16_t* name, const char16_t* description, DWORD rate, WORD channels,
                  DWORD audioBitrate, LONG width, LONG height, REFERENCE_TIME frameTime, DWORD videoBitrate) {
  ProfileData p = Audio(id, name, description, rate, channels, audioBitrate);
  p.streams.push_back(MakeVideoStream(2, kWmv2, width, height, frameTime, videoBitrate, 8 * LONGLONG(UNITS), 75));
  return p;
}

}  // namespace

StreamData MakeAudioStream(WORD number, WORD formatTag, DWORD sampleRate, WORD channels, DWORD bitrate) {
  StreamData s;
  s.type = WMMEDIATYPE_Audio;
  s.number = number;
  s.name = u"Audio Stream";
  s.connection = u"Audio";
  s.bitrate = bitrate;
  s.bufferWindow = 3000;
  s.subtype = formatTag == WAVE_FORMAT_MSAUDIO1 ? WMMEDIASUBTYPE_WMAudioV2 : WMMEDIASUBTYPE_WMAudioV8;
  s.fixedSizeSamples = TRUE;
  WAVEFORMATEX wf{};
  wf.wFormatTag = formatTag;
  wf.nChannels = channels;
  wf.nSamplesPerSec = sampleRate;
  wf.nAvgBytesPerSec = bitrate / 8;
  // One packet carries 2048 samples per channel.
  const DWORD block = sampleRate ? DWORD(uint64_t(wf.nAvgBytesPerSec) * 2048 / sampleRate) : 0;
  wf.nBlockAlign = WORD(block == 0 ? 1 : block > 0xFFFF ? 0xFFFF : block);
  wf.wBitsPerSample = 16;
  s.sampleSize = wf.nBlockAlign;
  s.formatType = WMFORMAT_WaveFormatEx;
  s.format = Bytes(wf);
  return s;
}

StreamData MakeVideoStream(WORD number, DWORD fourcc, LONG width, LONG height, REFERENCE_TIME frameTime,
                           DWORD bitrate, LONGLONG maxKeyFrameSpacing, DWORD quality) {
  StreamData s;
  s.type = WMMEDIATYPE_Video;
  s.number = number;
  s.name = u"Video Stream";
  s.connection = u"Video";
  s.bitrate = bitrate;
  s.bufferWindow = 5000;
  s.subtype = GUID{fourcc, 0x0000, 0x0010, {0x80, 0x00, 0x00, 0xAA, 0x00, 0x38, 0x9B, 0x71}};
  s.temporalCompression = TRUE;
  s.maxKeyFrameSpacing = maxKeyFrameSpacing;
  s.quality = quality;
  VIDEOINFOHEADER vih{};
  vih.rcSource = {0, 0, width, height};
  vih.rcTarget = vih.rcSource;
  vih.dwBitRate = bitrate;
  vih.AvgTimePerFrame = frameTime;
  vih.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
  vih.bmiHeader.biWidth = width;
  vih.bmiHeader.biHeight = height;
  vih.bmiHeader.biPlanes = 1;
  vih.bmiHeader.biBitCount = 24;
  vih.bmiHeader.biCompression = fourcc;
  s.formatType = WMFORMAT_VideoInfo;
  s.format = Bytes(vih);
  return s;
}

const std::vector<ProfileData>& SystemProfiles() {
  static const std::vector<ProfileData> profiles = {
      Audio(WMProfile_V80_Audio24Mono, u"Audio for dial-up modems (mono, 24 Kbps)",
            u"Speech and voice-over for 28.8 and 56 Kbps modems: 22 kHz, mono, 24 Kbps.", 22050, 1, 24000),
      Audio(WMProfile_V80_Audio48Stereo, u"Audio near FM radio quality (stereo, 48 Kbps)",
            u"Music for dual ISDN lines: 32 kHz, stereo, 48 Kbps.", 32000, 2, 48000),
      Audio(WMProfile_V80_Audio64Stereo, u"Audio near CD quality (stereo, 64 Kbps)",
            u"Music for broadband connections: 44 kHz, stereo, 64 Kbps.", 44100, 2, 64000),
      Audio(WMProfile_V80_Audio128Stereo, u"Audio at CD quality (stereo, 128 Kbps)",
            u"Music for download or archiving: 44 kHz, stereo, 128 Kbps.", 44100, 2, 128000),
      Video(WMProfile_V80_VideoModem, u"Video for dial-up modems (160x120, 56 Kbps)",
            u"Video at 160x120 and 15 frames per second with 22 kHz mono audio, for 56 Kbps modems.", 22050, 1,
            24000, 160, 120, kFps15, 28000),
      Video(WMProfile_V80_VideoPocket, u"Video for pocket devices (176x144, 150 Kbps)",
            u"Video at 176x144 and 15 frames per second with 22 kHz mono audio, for handheld players.", 22050, 1,
            32000, 176, 144, kFps15, 118000),
      Video(WMProfile_V80_VideoBroadband, u"Video for broadband (320x240, 384 Kbps)",
            u"Video at 320x240 and 25 frames per second with 44 kHz stereo audio, for cable and DSL.", 44100, 2,
            48000, 320, 240, kFps25, 336000),
      Video(WMProfile_V80_VideoBroadbandHigh, u"Video for broadband, high quality (640x480, 1 Mbps)",
            u"Video at 640x480 and 30 frames per second with 44 kHz stereo audio, for fast networks and "
            u"local playback.",
            44100, 2, 64000, 640, 480, kFps30, 960000),
  };
  return profiles;
}

}  // namespace wmf
