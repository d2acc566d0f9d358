#pragma once
// Sound output through SDL2 audio for the Audio Renderer: PCM queued by the streaming thread and
// taken by the device's thread, with volume and balance applied on the way. Where no sound device
// opens, and always on the virtual clock, a silent output takes the sound instead at the pace of
// the process clock (the clock the graph then keeps), counting the frames it took.
#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <deque>
#include <mutex>
#include <thread>

#include "dshow/dshow.h"

namespace dshow::renderers {

class AudioClock;

// Gains in the platform's units: volume in hundredths of a decibel (-10000 silence .. 0 full),
// balance -10000 (left only) .. 10000 (right only).
struct AudioGains {
  LONG volume = 0;
  LONG balance = 0;
};

// Scales interleaved PCM (8-bit unsigned, 16- or 32-bit signed, 32-bit float) in place.
void ApplyGains(BYTE* data, size_t bytes, const WAVEFORMATEX& format, const AudioGains& gains);

class AudioOutput {
 public:
  explicit AudioOutput(AudioClock* clock) : clock_(clock) {}
  ~AudioOutput() { Close(); }
  AudioOutput(const AudioOutput&) = delete;
  AudioOutput& operator=(const AudioOutput&) = delete;

  // Opens a device for the format, paused. False when even the dummy driver cannot take it.
  bool Open(const WAVEFORMATEX& format);
  void Close();
  bool IsOpen() const { return device_ != 0 || silent_; }
  // Starts or pauses consumption; the clock follows the device while it plays.
  void SetPlaying(bool playing);
  void SetGains(const AudioGains& gains);

  // Queues sound, waiting while half a second is already queued. False when interrupted.
  bool Write(const BYTE* data, size_t bytes);
  // Waits until the device has taken everything queued. False when interrupted.
  bool WaitUntilDrained();
  // Interrupt frees and refuses waiting writers (stop, flush) and drops what is queued until
  // Resume.
  void Interrupt();
  void Resume();

 private:
  static void Callback(void* self, uint8_t* stream, int len);
  void Fill(uint8_t* stream, int len);
  bool OpenDevice(const WAVEFORMATEX& format);
  void SilentLoop();

  AudioClock* clock_;  // not referenced: the renderer owns both
  std::atomic<uint32_t> device_{0};
  WAVEFORMATEX format_{};
  std::mutex lock_;
  std::condition_variable changed_;
  std::deque<BYTE> queue_;
  bool interrupted_ = false;
  AudioGains gains_;

  // The silent output: a thread taking what the process clock says has been played.
  bool silent_ = false;
  bool silentPlaying_ = false;  // guarded by lock_
  bool silentQuit_ = false;     // guarded by lock_
  REFERENCE_TIME silentStart_ = 0;
  uint64_t silentTaken_ = 0;  // frames taken since silentStart_
  HANDLE silentWake_ = nullptr;
  std::thread silentThread_;
};

}  // namespace dshow::renderers
