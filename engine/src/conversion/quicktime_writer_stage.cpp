#include "conversion/quicktime_writer_stage.h"

#include <iterator>

#include "filters/writer_settings.h"
#include "win32/utf.h"

namespace {

constexpr LONG kVideoCodes[] = {
    FourCharCode('r', 'l', 'e', ' '), FourCharCode('W', 'R', 'L', 'E'), FourCharCode('y', 'u', 'v', '2'),
    FourCharCode('h', '2', '6', '1'), FourCharCode('h', '2', '6', '3'), FourCharCode('a', 'v', 'c', '1'),
    FourCharCode('j', 'p', 'e', 'g'), FourCharCode('m', 'p', '4', 'v'), FourCharCode('S', 'V', 'Q', '3'),
    FourCharCode('S', 'V', 'Q', '1'),
};
constexpr LONG kOtherVideoCode = FourCharCode('S', 'V', 'Q', '3');

constexpr LONG kAudioCodes[] = {
    FourCharCode('i', 'n', '2', '4'), FourCharCode('i', 'n', '3', '2'), FourCharCode('a', 'l', 'a', 'w'),
    FourCharCode('i', 'm', 'a', '4'), FourCharCode('M', 'A', 'C', '3'), FourCharCode('M', 'A', 'C', '6'),
    FourCharCode('u', 'l', 'a', 'w'),
};
constexpr LONG kOtherAudioCode = FourCharCode('i', 'n', '2', '4');

template <class Settings>
ComPtr<Settings> PinSettings(IBaseFilter* writer, const char* pin, REFIID iid) {
  ComPtr<Settings> settings;
  if (ComPtr<IPin> input = FindInputPinByName(writer, pin)) input->QueryInterface(iid, settings.putVoid());
  return settings;
}

}  // namespace

LONG QuickTimeVideoCode(short compressor) {
  return compressor >= 0 && size_t(compressor) < std::size(kVideoCodes) ? kVideoCodes[compressor] : kOtherVideoCode;
}

LONG QuickTimeAudioCode(short compressor) {
  return compressor >= 0 && size_t(compressor) < std::size(kAudioCodes) ? kAudioCodes[compressor] : kOtherAudioCode;
}

ComPtr<IPin> FindInputPinByName(IBaseFilter* filter, const char* part) {
  ComPtr<IEnumPins> pins;
  if (!filter || FAILED(filter->EnumPins(pins.put()))) return {};
  ComPtr<IPin> pin;
  while (pins->Next(1, pin.put(), nullptr) == S_OK) {
    PIN_INFO info{};
    if (FAILED(pin->QueryPinInfo(&info))) continue;
    if (info.pFilter) info.pFilter->Release();
    // The name as the 8-bit code page has it, at most 128 characters.
    const std::string name = win32::Utf16ToUtf8(std::u16string_view(info.achName)).substr(0, 128);
    if (info.dir == PINDIR_INPUT && name.find(part) != std::string::npos) return pin;
  }
  return {};
}

bool QuickTimePosition(IBaseFilter* writer, LONG* seconds) {
  auto video = PinSettings<IQuickTimeVideoSettings>(writer, "Video Input", IID_IQuickTimeVideoSettings);
  LONG units = 0, perSecond = 0;
  if (!video || FAILED(video->GetUnitsWritten(&units)) || FAILED(video->GetUnitsPerSecond(&perSecond)) ||
      perSecond == 0)
    return false;
  *seconds = units / perSecond;
  return true;
}

std::unique_ptr<WriterStage> QuickTimeWriterStage::Make(const WriterInputs& inputs) {
  return std::make_unique<QuickTimeWriterStage>(inputs);
}

// The writer joins the graph last; the answers of the settings calls are not examined.
HRESULT QuickTimeWriterStage::Add(GraphBuild& build, LPCTSTR outputFile) {
  HRESULT hr = CreateWriter(build, CLSID_QuickTimeWriter, CLSCTX_INPROC_SERVER, outputFile, false);
  if (FAILED(hr)) return hr;
  IBaseFilter* writer = build.writer.get();
  if (auto video = PinSettings<IQuickTimeVideoSettings>(writer, "Video Input", IID_IQuickTimeVideoSettings)) {
    video->SetKey(kQuickTimeWriterKey);
    video->SetHeight(settings_.outputFileHeight);
    video->SetWidth(settings_.outputFileWidth);
    video->SetVideoCodec(QuickTimeVideoCode(settings_.qtVideoCompressor));
  }
  if (auto audio = PinSettings<IQuickTimeAudioSettings>(writer, "Audio Input", IID_IQuickTimeAudioSettings)) {
    audio->SetKey(kQuickTimeWriterKey);
    audio->SetAudioCodec(QuickTimeAudioCode(settings_.qtAudioCompressor));
  }
  return build.graph->AddFilter(writer, u"QuickTime Writer");
}

void QuickTimeWriterStage::AfterGroups(GraphBuild& build) {
  IBaseFilter* writer = build.writer.get();
  if (auto video = PinSettings<IQuickTimeVideoSettings>(writer, "Video Input", IID_IQuickTimeVideoSettings))
    video->SetFrameRate(LONG(settings_.frameRate));
  if (auto audio = PinSettings<IQuickTimeAudioSettings>(writer, "Audio Input", IID_IQuickTimeAudioSettings)) {
    audio->SetChannels(settings_.qtAudioChannels);
    audio->SetSampleRate(settings_.qtAudioSampleRate);
  }
}
