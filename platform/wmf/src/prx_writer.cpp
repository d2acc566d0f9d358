#include <libxml/tree.h>
#include <libxml/xmlsave.h>

#include <cstdio>
#include <cstring>
#include <memory>

#include "prx.h"
#include "win32/utf.h"

namespace wmf {

namespace {

struct DocFree {
  void operator()(xmlDoc* doc) const { xmlFreeDoc(doc); }
};

struct BufferFree {
  void operator()(xmlBuffer* buffer) const { xmlBufferFree(buffer); }
};

// Builds one element's attributes; text that cannot be written sticks as a failure.
class Writer {
 public:
  Writer(xmlNode* parent, const char* name) : node_(xmlNewChild(parent, nullptr, BAD_CAST name, nullptr)) {}
  explicit Writer(xmlNode* node) : node_(node) {}
  xmlNode* node() const { return node_; }
  bool ok() const { return ok_ && node_; }

  Writer& Set(const char* name, const std::string& value) {
    if (node_ && !xmlNewProp(node_, BAD_CAST name, BAD_CAST value.c_str())) ok_ = false;
    return *this;
  }
  Writer& Set(const char* name, const std::u16string& value) {
    const auto utf8 = win32::StrictUtf16ToUtf8(value);
    if (!utf8) ok_ = false;
    return Set(name, utf8 ? *utf8 : std::string());
  }
  Writer& Set(const char* name, long long value) { return Set(name, std::to_string(value)); }
  Writer& Set(const char* name, const GUID& value) { return Set(name, StringFromGUIDA(value)); }

 private:
  xmlNode* node_;
  bool ok_ = true;
};

std::string Hex(const BYTE* bytes, size_t size) {
  std::string text;
  char digits[3];
  for (size_t i = 0; i < size; ++i) {
    std::snprintf(digits, sizeof digits, "%02X", bytes[i]);
    text += digits;
  }
  return text;
}

bool WriteRect(xmlNode* parent, const char* name, const RECT& r) {
  return Writer(parent, name).Set("left", r.left).Set("top", r.top).Set("right", r.right).Set("bottom", r.bottom).ok();
}

bool WriteFormat(xmlNode* type, const StreamData& s) {
  if (s.formatType == WMFORMAT_WaveFormatEx && s.format.size() >= sizeof(WAVEFORMATEX)) {
    WAVEFORMATEX wf;
    std::memcpy(&wf, s.format.data(), sizeof wf);
    const size_t extra = std::min<size_t>(wf.cbSize, s.format.size() - sizeof wf);
    return Writer(type, "waveformatex")
        .Set("wFormatTag", wf.wFormatTag)
        .Set("nChannels", wf.nChannels)
        .Set("nSamplesPerSec", wf.nSamplesPerSec)
        .Set("nAvgBytesPerSec", wf.nAvgBytesPerSec)
        .Set("nBlockAlign", wf.nBlockAlign)
        .Set("wBitsPerSample", wf.wBitsPerSample)
        .Set("codecdata", Hex(s.format.data() + sizeof wf, extra))
        .ok();
  }
  if (s.formatType == WMFORMAT_VideoInfo && s.format.size() >= sizeof(VIDEOINFOHEADER)) {
    VIDEOINFOHEADER vih;
    std::memcpy(&vih, s.format.data(), sizeof vih);
    Writer v(type, "videoinfoheader");
    v.Set("dwbitrate", vih.dwBitRate).Set("dwbiterrorrate", vih.dwBitErrorRate).Set("avgtimeperframe", vih.AvgTimePerFrame);
    if (!v.ok() || !WriteRect(v.node(), "rcsource", vih.rcSource) || !WriteRect(v.node(), "rctarget", vih.rcTarget))
      return false;
    const BITMAPINFOHEADER& h = vih.bmiHeader;
    return Writer(v.node(), "bitmapinfoheader")
        .Set("biwidth", h.biWidth)
        .Set("biheight", h.biHeight)
        .Set("biplanes", h.biPlanes)
        .Set("bibitcount", h.biBitCount)
        .Set("bicompression", h.biCompression)
        .Set("bisizeimage", h.biSizeImage)
        .Set("bixpelspermeter", h.biXPelsPerMeter)
        .Set("biypelspermeter", h.biYPelsPerMeter)
        .Set("biclrused", h.biClrUsed)
        .Set("biclrimportant", h.biClrImportant)
        .ok();
  }
  // Formats of other kinds have no text form; the type is written without one.
  return true;
}

bool WriteStream(xmlNode* root, const StreamData& s) {
  Writer w(root, "streamconfig");
  w.Set("majortype", s.type)
      .Set("streamnumber", s.number)
      .Set("streamname", s.name)
      .Set("inputname", s.connection)
      .Set("bitrate", s.bitrate)
      .Set("bufferwindow", s.bufferWindow);
  if (!w.ok()) return false;
  if (s.type == WMMEDIATYPE_Video &&
      !Writer(w.node(), "videomediaprops").Set("maxkeyframespacing", s.maxKeyFrameSpacing).Set("quality", s.quality).ok())
    return false;
  Writer t(w.node(), "wmmediatype");
  t.Set("subtype", s.subtype)
      .Set("bfixedsizesamples", s.fixedSizeSamples ? 1 : 0)
      .Set("btemporalcompression", s.temporalCompression ? 1 : 0)
      .Set("lsamplesize", s.sampleSize);
  return t.ok() && WriteFormat(t.node(), s);
}

}  // namespace

HRESULT WritePrx(const ProfileData& profile, std::u16string* text) {
  if (!text) return E_POINTER;
  std::unique_ptr<xmlDoc, DocFree> doc(xmlNewDoc(BAD_CAST "1.0"));
  xmlNode* root = doc ? xmlNewDocNode(doc.get(), nullptr, BAD_CAST "profile", nullptr) : nullptr;
  if (!root) return E_OUTOFMEMORY;
  xmlDocSetRootElement(doc.get(), root);
  Writer w(root);
  w.Set("version", profile.version).Set("name", profile.name).Set("description", profile.description);
  if (!w.ok()) return E_INVALIDARG;
  for (const StreamData& s : profile.streams)
    if (!WriteStream(root, s)) return E_INVALIDARG;
  std::unique_ptr<xmlBuffer, BufferFree> buffer(xmlBufferCreate());
  if (!buffer) return E_OUTOFMEMORY;
  xmlSaveCtxt* save = xmlSaveToBuffer(buffer.get(), "UTF-8", XML_SAVE_NO_DECL | XML_SAVE_FORMAT);
  if (!save) return E_OUTOFMEMORY;
  const long written = xmlSaveDoc(save, doc.get());
  if (xmlSaveClose(save) < 0 || written < 0) return E_FAIL;
  const std::string_view utf8(reinterpret_cast<const char*>(xmlBufferContent(buffer.get())),
                              size_t(xmlBufferLength(buffer.get())));
  const auto wide = win32::StrictUtf8ToUtf16(utf8);
  if (!wide) return E_FAIL;
  *text = *wide;
  return S_OK;
}

}  // namespace wmf
