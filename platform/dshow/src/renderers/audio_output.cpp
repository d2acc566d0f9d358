#include "audio_output.h"

#include <SDL2/SDL.h>

#include <algorithm>
#include <cmath>
#include <cstring>

#include "audio_clock.h"
#include "dshow/builtin_filters.h"
#include "process_clock.h"
#include "win32/platform_config.h"

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

std::atomic<uint64_t> g_silentFrames{0};

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
  // Sound devices play in real time: they cannot keep the virtual clock's pace.
  const bool virtualClock = platform_config::Config().clock == platform_config::ClockKind::Virtual;
  if (!virtualClock && OpenDevice(format)) return true;
  // A missing device never fails a graph: the sound goes to the silent output.
  std::lock_guard<std::mutex> hold(lock_);
  silent_ = true;
  silentPlaying_ = false;
  silentQuit_ = false;
  silentWake_ = CreateEvent(nullptr, FALSE, FALSE, nullptr);
  silentThread_ = std::thread([this] { SilentLoop(); });
  return true;
}

bool AudioOutput::OpenDevice(const WAVEFORMATEX& format) {
  SDL_AudioSpec want{};
  want.freq = int(format.nSamplesPerSec);
  want.format = SdlFormat(format);
  want.channels = Uint8(format.nChannels);
  want.samples = 1024;
  want.callback = &AudioOutput::Callback;
  want.userdata = this;
  SDL_AudioSpec have{};
  std::lock_guard<std::mutex> hold(SdlLock());
  if (!SDL_WasInit(SDL_INIT_AUDIO)) SDL_InitSubSystem(SDL_INIT_AUDIO);
  if (!SDL_WasInit(SDL_INIT_AUDIO)) return false;
  // SDL's stand-in drivers are no device.
  const char* driver = SDL_GetCurrentAudioDriver();
  if (!driver || std::strcmp(driver, "dummy") == 0 || std::strcmp(driver, "disk") == 0) return false;
  device_ = SDL_OpenAudioDevice(nullptr, 0, &want, &have, 0);
  return device_ != 0;
}

void AudioOutput::Close() {
  if (silent_) {
    {
      std::lock_guard<std::mutex> hold(lock_);
      silentQuit_ = true;
      queue_.clear();
    }
    SetEvent(silentWake_);
    silentThread_.join();
    CloseHandle(silentWake_);
    silentWake_ = nullptr;
    silent_ = false;
    return;
  }
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
  if (silent_) {
    // The graph's clock follows the process clock by itself; the output only keeps its pace.
    std::lock_guard<std::mutex> hold(lock_);
    silentPlaying_ = playing;
    silentStart_ = ProcessClockNow();
    silentTaken_ = 0;
    return;
  }
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

void AudioOutput::SilentLoop() {
  DWORD looked = GetTickCount();
  for (;;) {
    // Wakes 10 ms of process time after the clock was last read (on the virtual clock, as a test
    // moves it), or when sound comes. Counted from that reading, a move of the clock while the
    // loop was busy is taken at once instead of being left until the clock moves again.
    platform_config::WaitForEventUntil(silentWake_, looked + 10);
    // Read before the time the sound is taken by: a deadline from it can only come early.
    looked = GetTickCount();
    std::unique_lock<std::mutex> lock(lock_);
    if (silentQuit_) return;
    if (!silentPlaying_ || !format_.nBlockAlign || !format_.nSamplesPerSec) continue;
    const REFERENCE_TIME elapsed = ProcessClockNow() - silentStart_;
    const uint64_t due = uint64_t(std::max<REFERENCE_TIME>(elapsed, 0)) * format_.nSamplesPerSec / UNITS;
    if (due <= silentTaken_) continue;
    // Sound that came late is still taken whole: what the output counts is what the stream sent,
    // never more than the time played allows.
    const size_t owed = size_t(due - silentTaken_) * format_.nBlockAlign;
    const size_t frames = std::min(queue_.size(), owed) / format_.nBlockAlign;
    queue_.erase(queue_.begin(), queue_.begin() + ptrdiff_t(frames * format_.nBlockAlign));
    silentTaken_ += frames;
    lock.unlock();
    g_silentFrames += frames;
    changed_.notify_all();
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
  // The silent output takes late sound as soon as it comes.
  if (silent_) SetEvent(silentWake_);
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

uint64_t DShowSilentOutputFrames() { return dshow::renderers::g_silentFrames.load(); }
