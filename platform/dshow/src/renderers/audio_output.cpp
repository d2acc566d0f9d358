#include "audio_output.h"

#include <SDL2/SDL.h>

#include <algorithm>
#include <cmath>
#include <cstring>

#include "audio_clock.h"

namespace dshow::renderers {
namespace {

// SDL's audio subsystem is one per process; devices open and close under this lock.
std::mutex& SdlLock() {
  static auto* lock = new std::mutex;
  return *lock;
}

SDL_AudioFormat SdlFormat(const WAVEFORMATEX& f) {
  if (f.wFormatTag == WAVE_FORMAT_IEEE_FLOAT) return AUDIO_F32SYS;
  switch (f.wBitsPerSample) {
    case 8: return AUDIO_U8;
    case 16: return AUDIO_S16SYS;
    default: return AUDIO_S32SYS;
  }
}

double Factor(LONG hundredthsOfDb) {
  if (hundredthsOfDb <= -10000) return 0.0;
  return std::pow(10.0, double(hundredthsOfDb) / 2000.0);
}

template <typename T>
void Scale(T* samples, size_t count, int channels, const double* gain) {
  for (size_t i = 0; i < count; ++i) {
    const double v = double(samples[i]) * gain[i % channels];
    samples[i] = T(std::clamp(v, double(std::numeric_limits<T>::lowest()), double(std::numeric_limits<T>::max())));
  }
}

constexpr double kQueueSeconds = 0.5;

}  // namespace

void ApplyGains(BYTE* data, size_t bytes, const WAVEFORMATEX& format, const AudioGains& gains) {
  if (gains.volume == 0 && gains.balance == 0) return;
  const int channels = std::max<int>(format.nChannels, 1);
  std::vector<double> gain(size_t(channels), Factor(gains.volume));
  // Balance attenuates the other side of a stereo pair.
  if (channels >= 2) {
    if (gains.balance > 0) gain[0] *= Factor(-gains.balance);
    if (gains.balance < 0) gain[1] *= Factor(gains.balance);
  }
  if (format.wFormatTag == WAVE_FORMAT_IEEE_FLOAT) {
    auto* s = reinterpret_cast<float*>(data);
    for (size_t i = 0; i < bytes / sizeof(float); ++i) s[i] = float(s[i] * gain[i % channels]);
    return;
  }
  switch (format.wBitsPerSample) {
    case 8:
      for (size_t i = 0; i < bytes; ++i)
        data[i] = BYTE(std::lround(128.0 + (double(data[i]) - 128.0) * gain[i % channels]));
      break;
    case 16:
      Scale(reinterpret_cast<int16_t*>(data), bytes / 2, channels, gain.data());
      break;
    case 32:
      Scale(reinterpret_cast<int32_t*>(data), bytes / 4, channels, gain.data());
      break;
    default:
      break;
  }
}

bool AudioOutput::Open(const WAVEFORMATEX& format) {
  Close();
  format_ = format;
  SDL_AudioSpec want{};
  want.freq = int(format.nSamplesPerSec);
  want.format = SdlFormat(format);
  want.channels = Uint8(format.nChannels);
  want.samples = 1024;
  want.callback = &AudioOutput::Callback;
  want.userdata = this;
  SDL_AudioSpec have{};
  std::lock_guard<std::mutex> hold(SdlLock());
  static int openDevices = 0;
  if (!SDL_WasInit(SDL_INIT_AUDIO)) SDL_InitSubSystem(SDL_INIT_AUDIO);
  if (SDL_WasInit(SDL_INIT_AUDIO)) device_ = SDL_OpenAudioDevice(nullptr, 0, &want, &have, 0);
  const char* driver = SDL_GetCurrentAudioDriver();
  if (!device_ && openDevices == 0 && !(driver && std::strcmp(driver, "dummy") == 0)) {
    // No sound device here: play into SDL's dummy driver, which consumes in real time.
    SDL_QuitSubSystem(SDL_INIT_AUDIO);
    SDL_SetHint(SDL_HINT_AUDIODRIVER, "dummy");
    if (SDL_InitSubSystem(SDL_INIT_AUDIO) == 0) device_ = SDL_OpenAudioDevice(nullptr, 0, &want, &have, 0);
  }
  if (device_) ++openDevices;
  return device_ != 0;
}

void AudioOutput::Close() {
  if (!device_) return;
  SetPlaying(false);
  {
    std::lock_guard<std::mutex> hold(SdlLock());
    SDL_CloseAudioDevice(device_);
    device_ = 0;
  }
  std::lock_guard<std::mutex> hold(lock_);
  queue_.clear();
}

void AudioOutput::SetPlaying(bool playing) {
  if (!device_) return;
  // The clock counts every frame the device takes while it plays.
  if (playing) {
    clock_->DeviceStarted(format_.nSamplesPerSec);
    SDL_PauseAudioDevice(device_, 0);
  } else {
    SDL_PauseAudioDevice(device_, 1);
    clock_->DeviceStopped();
  }
}

void AudioOutput::SetGains(const AudioGains& gains) {
  std::lock_guard<std::mutex> hold(lock_);
  gains_ = gains;
}

bool AudioOutput::Write(const BYTE* data, size_t bytes) {
  const size_t limit = std::max<size_t>(size_t(format_.nAvgBytesPerSec * kQueueSeconds), bytes);
  std::unique_lock<std::mutex> lock(lock_);
  changed_.wait(lock, [&] { return interrupted_ || queue_.size() + bytes <= limit; });
  if (interrupted_) return false;
  queue_.insert(queue_.end(), data, data + bytes);
  return true;
}

bool AudioOutput::WaitUntilDrained() {
  std::unique_lock<std::mutex> lock(lock_);
  changed_.wait(lock, [&] { return interrupted_ || queue_.empty(); });
  return !interrupted_;
}

void AudioOutput::Interrupt() {
  {
    std::lock_guard<std::mutex> hold(lock_);
    interrupted_ = true;
    queue_.clear();
  }
  changed_.notify_all();
}

void AudioOutput::Resume() {
  std::lock_guard<std::mutex> hold(lock_);
  interrupted_ = false;
}

void AudioOutput::Callback(void* self, uint8_t* stream, int len) { static_cast<AudioOutput*>(self)->Fill(stream, len); }

void AudioOutput::Fill(uint8_t* stream, int len) {
  size_t taken = 0;
  {
    std::lock_guard<std::mutex> hold(lock_);
    taken = std::min(queue_.size(), size_t(len));
    std::copy(queue_.begin(), queue_.begin() + ptrdiff_t(taken), stream);
    queue_.erase(queue_.begin(), queue_.begin() + ptrdiff_t(taken));
    ApplyGains(stream, taken, format_, gains_);
  }
  // Silence where the stream has nothing yet.
  std::memset(stream + taken, format_.wBitsPerSample == 8 ? 0x80 : 0, size_t(len) - taken);
  changed_.notify_all();
  if (format_.nBlockAlign) clock_->DeviceConsumed(uint64_t(len) / format_.nBlockAlign);
}

}  // namespace dshow::renderers
