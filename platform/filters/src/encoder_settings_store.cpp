#include "encoder_settings_store.h"

#include <cstdlib>
#include <cstring>

namespace filters {

HRESULT EncoderSettingsStore::Set(LONG EncoderValues::*field, LONG value) {
  CAutoLock hold(&valuesLock_);
  values_.*field = value;
  return S_OK;
}

HRESULT EncoderSettingsStore::Get(LONG EncoderValues::*field, LONG* value) {
  if (!value) return E_POINTER;
  CAutoLock hold(&valuesLock_);
  *value = values_.*field;
  return S_OK;
}

STDMETHODIMP EncoderSettingsStore::SetFrameSize(LONG width, LONG height) {
  if (width < 0 || height < 0 || width > 8192 || height > 8192) return E_INVALIDARG;
  CAutoLock hold(&valuesLock_);
  values_.width = width;
  values_.height = height;
  return S_OK;
}

STDMETHODIMP EncoderSettingsStore::GetFrameSize(LONG* width, LONG* height) {
  if (!width || !height) return E_POINTER;
  CAutoLock hold(&valuesLock_);
  *width = values_.width;
  *height = values_.height;
  return S_OK;
}

STDMETHODIMP EncoderSettingsStore::SetFrameRate(const char* rate) {
  if (!rate) return E_POINTER;
  const std::string text(rate, strnlen(rate, 64));
  if (!text.empty() && ParseRate(text) <= 0) return E_INVALIDARG;
  CAutoLock hold(&valuesLock_);
  values_.frameRate = text;
  return S_OK;
}

STDMETHODIMP EncoderSettingsStore::GetFrameRate(char* rate, LONG size) {
  if (!rate) return E_POINTER;
  CAutoLock hold(&valuesLock_);
  if (size <= LONG(values_.frameRate.size())) return E_OUTOFMEMORY;
  std::memcpy(rate, values_.frameRate.c_str(), values_.frameRate.size() + 1);
  return S_OK;
}

STDMETHODIMP EncoderSettingsStore::SetAudioChannels(LONG channels) {
  if (channels < 0 || channels > 8) return E_INVALIDARG;
  return Set(&EncoderValues::audioChannels, channels);
}

EncoderValues EncoderSettingsStore::Values() {
  CAutoLock hold(&valuesLock_);
  return values_;
}

double EncoderSettingsStore::ParseRate(const std::string& text) {
  char* end = nullptr;
  const double rate = std::strtod(text.c_str(), &end);
  return end != text.c_str() && *end == '\0' && rate > 0 && rate < 1000 ? rate : 0;
}

}  // namespace filters
