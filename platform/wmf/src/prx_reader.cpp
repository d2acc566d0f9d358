#include <libxml/parser.h>
#include <libxml/tree.h>

#include <charconv>
#include <cstring>
#include <limits>
#include <memory>

#include "prx.h"
#include "win32/utf.h"

namespace wmf {

namespace {

struct DocFree {
  void operator()(xmlDoc* doc) const { xmlFreeDoc(doc); }
};

struct XmlFree {
  void operator()(xmlChar* text) const { xmlFree(text); }
};

bool Named(const xmlNode* node, const char* name) {
  return node->type == XML_ELEMENT_NODE && xmlStrcasecmp(node->name, BAD_CAST name) == 0;
}

const xmlNode* Child(const xmlNode* parent, const char* name) {
  for (const xmlNode* c = parent->children; c; c = c->next)
    if (Named(c, name)) return c;
  return nullptr;
}

// Attribute names compare without case: files written by hand vary.
const xmlAttr* Attribute(const xmlNode* node, const char* name) {
  for (const xmlAttr* a = node->properties; a; a = a->next)
    if (xmlStrcasecmp(a->name, BAD_CAST name) == 0) return a;
  return nullptr;
}

// Reads attributes of one element; the first failure sticks.
class Reader {
 public:
  explicit Reader(const xmlNode* node) : node_(node) {}
  bool ok() const { return ok_; }
  void Fail() { ok_ = false; }

  bool Has(const char* name) const { return Attribute(node_, name) != nullptr; }

  std::string Text(const char* name) {
    const xmlAttr* a = Attribute(node_, name);
    if (!a) return {};
    std::unique_ptr<xmlChar, XmlFree> value(xmlNodeListGetString(node_->doc, a->children, 1));
    return value ? reinterpret_cast<const char*>(value.get()) : "";
  }

  std::u16string Wide(const char* name) {
    auto wide = win32::StrictUtf8ToUtf16(Text(name));
    if (!wide) Fail();
    return wide ? *wide : std::u16string();
  }

  // A decimal number within [low, high]; absent gives fallback.
  template <typename T>
  T Number(const char* name, T fallback = 0) {
    if (!Has(name)) return fallback;
    const std::string text = Text(name);
    long long value = 0;
    const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (text.empty() || ec != std::errc() || end != text.data() + text.size() ||
        value < static_cast<long long>(std::numeric_limits<T>::min()) ||
        (value > 0 && static_cast<unsigned long long>(value) > std::numeric_limits<T>::max())) {
      Fail();
      return fallback;
    }
    return T(value);
  }

  GUID Guid(const char* name) {
    GUID guid = GUID_NULL;
    if (!GUIDFromStringA(Text(name), &guid)) Fail();
    return guid;
  }

  // A four-character code as its letters ("WMV2") or as a number.
  DWORD FourCC(const char* name) {
    const std::string text = Text(name);
    if (text.size() == 4 && !(text[0] >= '0' && text[0] <= '9')) {
      DWORD code = 0;
      for (int i = 3; i >= 0; --i) code = code << 8 | BYTE(text[i]);
      return code;
    }
    return Number<DWORD>(name);
  }

  std::vector<BYTE> Hex(const char* name) {
    const std::string text = Text(name);
    std::vector<BYTE> bytes;
    if (text.size() % 2 || text.size() / 2 > 0xFFFF - sizeof(WAVEFORMATEX)) {
      Fail();
      return bytes;
    }
    for (size_t i = 0; i < text.size(); i += 2) {
      BYTE b = 0;
      const auto [end, ec] = std::from_chars(text.data() + i, text.data() + i + 2, b, 16);
      if (ec != std::errc() || end != text.data() + i + 2) {
        Fail();
        return {};
      }
      bytes.push_back(b);
    }
    return bytes;
  }

 private:
  const xmlNode* node_;
  bool ok_ = true;
};

template <typename T>
void Store(StreamData& s, const T& block, const std::vector<BYTE>& extra = {}) {
  s.format.resize(sizeof(T));
  std::memcpy(s.format.data(), &block, sizeof(T));
  s.format.insert(s.format.end(), extra.begin(), extra.end());
}

bool ReadWaveFormat(const xmlNode* node, StreamData& s) {
  Reader r(node);
  WAVEFORMATEX wf{};
  wf.wFormatTag = r.Number<WORD>("wFormatTag");
  wf.nChannels = r.Number<WORD>("nChannels");
  wf.nSamplesPerSec = r.Number<DWORD>("nSamplesPerSec");
  wf.nAvgBytesPerSec = r.Number<DWORD>("nAvgBytesPerSec");
  wf.nBlockAlign = r.Number<WORD>("nBlockAlign");
  wf.wBitsPerSample = r.Number<WORD>("wBitsPerSample");
  const std::vector<BYTE> extra = r.Hex("codecdata");
  wf.cbSize = WORD(extra.size());
  s.formatType = WMFORMAT_WaveFormatEx;
  Store(s, wf, extra);
  return r.ok();
}

bool ReadRect(const xmlNode* parent, const char* name, RECT& rect) {
  const xmlNode* node = Child(parent, name);
  if (!node) return true;
  Reader r(node);
  rect = {r.Number<LONG>("left"), r.Number<LONG>("top"), r.Number<LONG>("right"), r.Number<LONG>("bottom")};
  return r.ok();
}

bool ReadVideoInfo(const xmlNode* node, StreamData& s) {
  Reader r(node);
  VIDEOINFOHEADER vih{};
  vih.dwBitRate = r.Number<DWORD>("dwbitrate");
  vih.dwBitErrorRate = r.Number<DWORD>("dwbiterrorrate");
  vih.AvgTimePerFrame = r.Number<LONGLONG>("avgtimeperframe");
  if (!r.ok() || vih.AvgTimePerFrame < 0) return false;
  if (!ReadRect(node, "rcsource", vih.rcSource) || !ReadRect(node, "rctarget", vih.rcTarget)) return false;
  const xmlNode* bih = Child(node, "bitmapinfoheader");
  if (!bih) return false;
  Reader b(bih);
  BITMAPINFOHEADER& h = vih.bmiHeader;
  h.biSize = sizeof(BITMAPINFOHEADER);
  h.biWidth = b.Number<LONG>("biwidth");
  h.biHeight = b.Number<LONG>("biheight");
  h.biPlanes = b.Number<WORD>("biplanes", 1);
  h.biBitCount = b.Number<WORD>("bibitcount");
  h.biCompression = b.FourCC("bicompression");
  h.biSizeImage = b.Number<DWORD>("bisizeimage");
  h.biXPelsPerMeter = b.Number<LONG>("bixpelspermeter");
  h.biYPelsPerMeter = b.Number<LONG>("biypelspermeter");
  h.biClrUsed = b.Number<DWORD>("biclrused");
  h.biClrImportant = b.Number<DWORD>("biclrimportant");
  // Sizes beyond any real picture are nonsense that later arithmetic must not meet.
  if (!b.ok() || h.biWidth < 0 || h.biWidth > 16384 || h.biHeight < -16384 || h.biHeight > 16384) return false;
  s.formatType = WMFORMAT_VideoInfo;
  Store(s, vih);
  return true;
}

bool ReadMediaType(const xmlNode* node, StreamData& s) {
  Reader r(node);
  s.subtype = r.Guid("subtype");
  s.fixedSizeSamples = r.Number<BYTE>("bfixedsizesamples") ? TRUE : FALSE;
  s.temporalCompression = r.Number<BYTE>("btemporalcompression") ? TRUE : FALSE;
  s.sampleSize = r.Number<ULONG>("lsamplesize");
  if (!r.ok()) return false;
  const xmlNode* wave = Child(node, "waveformatex");
  const xmlNode* video = Child(node, "videoinfoheader");
  if (wave && video) return false;
  if (wave) return s.type == WMMEDIATYPE_Audio && ReadWaveFormat(wave, s);
  if (video) return s.type == WMMEDIATYPE_Video && ReadVideoInfo(video, s);
  return true;
}

bool ReadStream(const xmlNode* node, ProfileData& profile) {
  Reader r(node);
  StreamData s;
  s.type = r.Guid("majortype");
  s.number = r.Number<WORD>("streamnumber");
  s.name = r.Wide("streamname");
  s.connection = r.Wide("inputname");
  s.bitrate = r.Number<DWORD>("bitrate");
  // Profiles that leave the buffer to the runtime say -1.
  const LONGLONG window = r.Number<LONGLONG>("bufferwindow");
  if (window < -1 || window > LONGLONG(0xFFFFFFFF)) r.Fail();
  s.bufferWindow = DWORD(window);
  if (!r.ok() || s.number == 0 || s.number > kMaxStreamNumber) return false;
  for (const StreamData& other : profile.streams)
    if (other.number == s.number) return false;
  if (const xmlNode* props = Child(node, "videomediaprops")) {
    Reader v(props);
    s.maxKeyFrameSpacing = v.Number<LONGLONG>("maxkeyframespacing");
    s.quality = v.Number<DWORD>("quality");
    if (!v.ok() || s.type != WMMEDIATYPE_Video || s.maxKeyFrameSpacing < 0 || s.quality > 100) return false;
  }
  if (const xmlNode* type = Child(node, "wmmediatype"); type && !ReadMediaType(type, s)) return false;
  profile.streams.push_back(std::move(s));
  return true;
}

bool KnownVersion(DWORD v) { return v == WMT_VER_4_0 || v == WMT_VER_7_0 || v == WMT_VER_8_0 || v == WMT_VER_9_0; }

HRESULT ReadDocument(const xmlDoc* doc, ProfileData* profile) {
  const xmlNode* root = xmlDocGetRootElement(doc);
  if (doc->intSubset || !root || !Named(root, "profile")) return E_INVALIDARG;
  Reader r(root);
  ProfileData p;
  const DWORD version = r.Number<DWORD>("version", WMT_VER_8_0);
  p.name = r.Wide("name");
  p.description = r.Wide("description");
  if (!r.ok() || !KnownVersion(version)) return E_INVALIDARG;
  p.version = WMT_VERSION(version);
  for (const xmlNode* c = root->children; c; c = c->next)
    if (Named(c, "streamconfig") && !ReadStream(c, p)) return E_INVALIDARG;
  *profile = std::move(p);
  return S_OK;
}

}  // namespace

HRESULT ReadPrx(const char16_t* text, ProfileData* profile) {
  if (!text || !profile) return E_POINTER;
  size_t length = 0;
  while (text[length] != 0) {
    if (++length > kMaxProfileChars) return E_INVALIDARG;
  }
  std::u16string_view view(text, length);
  std::u16string swapped;
  if (!view.empty() && view.front() == 0xFFFE) {
    swapped.assign(view);
    for (char16_t& c : swapped) c = char16_t(c << 8 | c >> 8);
    view = swapped;
  }
  if (!view.empty() && view.front() == 0xFEFF) view.remove_prefix(1);
  const auto utf8 = win32::StrictUtf16ToUtf8(view);
  if (!utf8) return E_INVALIDARG;
  // The text is already decoded, whatever its declaration says; nothing is fetched or expanded.
  const int options = XML_PARSE_NONET | XML_PARSE_NOERROR | XML_PARSE_NOWARNING | XML_PARSE_NOBLANKS;
  std::unique_ptr<xmlDoc, DocFree> doc(xmlReadMemory(utf8->data(), int(utf8->size()), "profile.prx", "UTF-8", options));
  if (!doc) return E_INVALIDARG;
  return ReadDocument(doc.get(), profile);
}

}  // namespace wmf
