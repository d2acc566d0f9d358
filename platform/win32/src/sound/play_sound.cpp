// Wave sounds on SDL2 audio: one sound at a time, on a device opened for that sound's format.
#include <SDL2/SDL.h>

#include <cstring>
#include <mutex>
#include <string>
#include <vector>

#include "win32/mmsystem.h"
#include "win32/winbase.h"

namespace win32::sound {
namespace {

std::mutex& Lock() {
  static std::mutex lock;
  return lock;
}
SDL_AudioDeviceID device = 0;

bool ReadFileBytes(LPCSTR path, std::vector<Uint8>& bytes) {
  HANDLE file = CreateFile(path, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
  if (file == INVALID_HANDLE_VALUE) return false;
  const DWORD size = GetFileSize(file, nullptr);
  bool ok = size != INVALID_FILE_SIZE;
  if (ok) {
    bytes.resize(size);
    DWORD read = 0;
    ok = size == 0 || (ReadFile(file, bytes.data(), size, &read, nullptr) && read == size);
  }
  CloseHandle(file);
  return ok;
}

bool ReadResourceBytes(HMODULE module, LPCSTR name, std::vector<Uint8>& bytes) {
  HRSRC found = FindResourceA(module, name, "WAVE");
  if (!found) return false;
  const void* data = LockResource(LoadResource(module, found));
  const DWORD size = SizeofResource(module, found);
  if (!data) return false;
  bytes.assign(static_cast<const Uint8*>(data), static_cast<const Uint8*>(data) + size);
  return true;
}

// True when the audio subsystem runs on a real device; the dummy and file drivers play nothing.
bool HaveDevice() {
  if (!SDL_WasInit(SDL_INIT_AUDIO) && SDL_InitSubSystem(SDL_INIT_AUDIO) != 0) return false;
  const char* driver = SDL_GetCurrentAudioDriver();
  return driver && std::strcmp(driver, "dummy") != 0 && std::strcmp(driver, "disk") != 0;
}

void StopLocked() {
  if (device) SDL_CloseAudioDevice(device);
  device = 0;
}

bool PlayingLocked() { return device && SDL_GetQueuedAudioSize(device) > 0; }

}  // namespace
}  // namespace win32::sound

BOOL PlaySoundA(LPCSTR pszSound, HMODULE hmod, DWORD fdwSound) {
  using namespace win32::sound;
  std::unique_lock lock(Lock());
  if (!pszSound) {
    StopLocked();
    return TRUE;
  }
  if ((fdwSound & SND_NOSTOP) && PlayingLocked()) return FALSE;

  std::vector<Uint8> bytes;
  const bool found = (fdwSound & SND_RESOURCE) == SND_RESOURCE ? ReadResourceBytes(hmod, pszSound, bytes)
                                                               : ReadFileBytes(pszSound, bytes);
  if (!found || bytes.empty()) return FALSE;
  SDL_AudioSpec format{};
  Uint8* samples = nullptr;
  Uint32 length = 0;
  if (!SDL_LoadWAV_RW(SDL_RWFromConstMem(bytes.data(), int(bytes.size())), 1, &format, &samples, &length)) return FALSE;

  StopLocked();
  if (HaveDevice()) {
    format.callback = nullptr;
    device = SDL_OpenAudioDevice(nullptr, 0, &format, nullptr, 0);
    if (device) {
      SDL_QueueAudio(device, samples, length);
      SDL_PauseAudioDevice(device, 0);
    }
  }
  SDL_FreeWAV(samples);
  if (fdwSound & SND_ASYNC) return TRUE;
  // A synchronous sound returns once the device has taken all of it.
  while (PlayingLocked()) {
    lock.unlock();
    SDL_Delay(10);
    lock.lock();
  }
  return TRUE;
}
