// Custom profile files come from users: any bytes handed to the profile reader the way a file is
// (zeroed room for a terminator after any byte count) must load or fail cleanly, and a profile
// that loads must save to text that loads again.
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "wmf/wmsdk.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  std::vector<char16_t> text(size / 2 + 2, 0);
  std::memcpy(text.data(), data, size);
  IWMProfileManager* manager = nullptr;
  if (FAILED(WMCreateProfileManager(&manager))) return 0;
  IWMProfile* profile = nullptr;
  if (manager->LoadProfileByData(text.data(), &profile) == S_OK) {
    DWORD length = 0;
    if (manager->SaveProfile(profile, nullptr, &length) == S_OK) {
      std::u16string saved(length, u'\0');
      if (manager->SaveProfile(profile, saved.data(), &length) != S_OK) std::abort();
      IWMProfile* again = nullptr;
      if (manager->LoadProfileByData(saved.c_str(), &again) != S_OK) std::abort();
      DWORD before = 0, after = 1;
      profile->GetStreamCount(&before);
      again->GetStreamCount(&after);
      if (before != after) std::abort();
      again->Release();
    }
    profile->Release();
  }
  manager->Release();
  return 0;
}
