#include "property_setter.h"

#include <cstring>
#include <string>

#include "ole/comptr.h"
#include "win32/utf.h"

namespace des {

namespace {

std::string Escaped(const std::string& s) {
  std::string out;
  for (char c : s) {
    switch (c) {
      case '&': out += "&amp;"; break;
      case '<': out += "&lt;"; break;
      case '>': out += "&gt;"; break;
      case '"': out += "&quot;"; break;
      default: out += c;
    }
  }
  return out;
}

}  // namespace

std::string ValueText(const VARIANT& v) {
  VARIANT text;
  VariantInit(&text);
  std::string out;
  if (SUCCEEDED(VariantChangeType(&text, &v, 0, VT_BSTR)) && text.bstrVal)
    out = win32::Utf16ToUtf8({text.bstrVal, SysStringLen(text.bstrVal)});
  VariantClear(&text);
  return out;
}

PropertySetter::PropertySetter() : CUnknown("PropertySetter", nullptr) {}

PropertySetter::~PropertySetter() { ClearProps(); }

STDMETHODIMP PropertySetter::NonDelegatingQueryInterface(REFIID riid, void** ppv) {
  if (riid == IID_IPropertySetter) return GetInterface(static_cast<IPropertySetter*>(this), ppv);
  return CUnknown::NonDelegatingQueryInterface(riid, ppv);
}

void PropertySetter::ClearValues(Param* p) {
  for (Value& v : p->values) VariantClear(&v.v);
  p->values.clear();
}

STDMETHODIMP PropertySetter::LoadXML(IUnknown*) { return E_NOINTERFACE; }

STDMETHODIMP PropertySetter::PrintXML(char* pszXML, int cbXML, int* pcbPrinted, int indent) {
  if (!pcbPrinted) return E_POINTER;
  const std::string pad(indent > 0 ? size_t(indent) : 0, ' ');
  std::string xml;
  for (const Param& p : params_) {
    const std::string name = Escaped(win32::Utf16ToUtf8(p.name));
    xml += pad + "<PARAM NAME=\"" + name + "\" VALUE=\"" + Escaped(ValueText(p.values.front().v)) + "\"";
    if (p.values.size() == 1) {
      xml += "/>\n";
      continue;
    }
    xml += ">\n";
    for (size_t i = 1; i < p.values.size(); ++i) {
      const Value& v = p.values[i];
      const char* tag = v.interp == DEXTERF_INTERPOLATE ? "LINEAR" : "AT";
      xml += pad + "  <" + tag + " TIME=\"" + std::to_string(double(v.rt) / UNITS) + "\" VALUE=\"" +
             Escaped(ValueText(v.v)) + "\"/>\n";
    }
    xml += pad + "</PARAM>\n";
  }
  *pcbPrinted = int(xml.size() + 1);
  if (!pszXML) return S_OK;
  if (cbXML < *pcbPrinted) return E_OUTOFMEMORY;
  std::memcpy(pszXML, xml.c_str(), xml.size() + 1);
  return S_OK;
}

STDMETHODIMP PropertySetter::CloneProps(IPropertySetter** ppSetter, REFERENCE_TIME rtStart, REFERENCE_TIME rtStop) {
  if (!ppSetter) return E_POINTER;
  *ppSetter = nullptr;
  if (rtStart < 0 || rtStop < rtStart) return E_INVALIDARG;
  ComPtr<PropertySetter> clone(new PropertySetter());
  HRESULT hr = S_OK;
  for (const Param& p : params_) {
    // The value that holds at rtStart opens the clone; later ones inside the range follow.
    size_t first = 0;
    for (size_t i = 0; i < p.values.size(); ++i)
      if (p.values[i].rt <= rtStart) first = i;
    Param copy{p.name, p.dispID, {}};
    for (size_t i = first; i < p.values.size() && SUCCEEDED(hr); ++i) {
      const Value& v = p.values[i];
      if (i != first && v.rt >= rtStop) break;
      Value c{};
      VariantInit(&c.v);
      hr = VariantCopy(&c.v, &v.v);
      c.rt = i == first ? 0 : v.rt - rtStart;
      c.interp = v.interp;
      copy.values.push_back(c);
    }
    clone->params_.push_back(std::move(copy));
    if (FAILED(hr)) break;
  }
  if (SUCCEEDED(hr)) *ppSetter = clone.Detach();
  return hr;
}

STDMETHODIMP PropertySetter::AddProp(DEXTER_PARAM Param, DEXTER_VALUE* paValue) {
  if (!paValue || !Param.Name) return E_POINTER;
  if (Param.nValues < 1) return E_INVALIDARG;
  PropertySetter::Param p{std::u16string(Param.Name, SysStringLen(Param.Name)), Param.dispID, {}};
  HRESULT hr = S_OK;
  for (LONG i = 0; i < Param.nValues && SUCCEEDED(hr); ++i) {
    Value v{};
    VariantInit(&v.v);
    hr = VariantCopy(&v.v, &paValue[i].v);
    v.rt = paValue[i].rt;
    v.interp = paValue[i].dwInterp;
    p.values.push_back(v);
  }
  if (FAILED(hr)) {
    ClearValues(&p);
    return hr;
  }
  params_.push_back(std::move(p));
  return S_OK;
}

STDMETHODIMP PropertySetter::GetProps(LONG* pcParams, DEXTER_PARAM** paParam, DEXTER_VALUE** paValue) {
  if (!pcParams || !paParam || !paValue) return E_POINTER;
  size_t total = 0;
  for (const Param& p : params_) total += p.values.size();
  auto* params = static_cast<DEXTER_PARAM*>(CoTaskMemAlloc(sizeof(DEXTER_PARAM) * (params_.size() + 1)));
  auto* values = static_cast<DEXTER_VALUE*>(CoTaskMemAlloc(sizeof(DEXTER_VALUE) * (total + 1)));
  if (!params || !values) {
    CoTaskMemFree(params);
    CoTaskMemFree(values);
    return E_OUTOFMEMORY;
  }
  size_t k = 0;
  for (size_t i = 0; i < params_.size(); ++i) {
    const Param& p = params_[i];
    params[i].Name = SysAllocStringLen(p.name.data(), UINT(p.name.size()));
    params[i].dispID = p.dispID;
    params[i].nValues = LONG(p.values.size());
    for (const Value& v : p.values) {
      VariantInit(&values[k].v);
      VariantCopy(&values[k].v, &v.v);
      values[k].rt = v.rt;
      values[k].dwInterp = v.interp;
      ++k;
    }
  }
  *pcParams = LONG(params_.size());
  *paParam = params;
  *paValue = values;
  return S_OK;
}

STDMETHODIMP PropertySetter::FreeProps(LONG cParams, DEXTER_PARAM* paParam, DEXTER_VALUE* paValue) {
  if (cParams < 0) return E_INVALIDARG;
  LONG k = 0;
  for (LONG i = 0; paParam && i < cParams; ++i) {
    for (LONG j = 0; paValue && j < paParam[i].nValues; ++j) VariantClear(&paValue[k++].v);
    SysFreeString(paParam[i].Name);
  }
  CoTaskMemFree(paParam);
  CoTaskMemFree(paValue);
  return S_OK;
}

STDMETHODIMP PropertySetter::ClearProps() {
  for (Param& p : params_) ClearValues(&p);
  params_.clear();
  return S_OK;
}

// Blob layout, little-endian: parameter count; per parameter the name (length, UTF-16 units),
// dispatch id and value count; per value its variant type, time, interpolation and text.
namespace {

class BlobWriter {
 public:
  void U32(uint32_t v) { Bytes(&v, sizeof v); }
  void I64(int64_t v) { Bytes(&v, sizeof v); }
  void Text(const std::u16string& s) {
    U32(uint32_t(s.size()));
    Bytes(s.data(), s.size() * sizeof(char16_t));
  }
  const std::string& Data() const { return data_; }

 private:
  void Bytes(const void* p, size_t n) { data_.append(static_cast<const char*>(p), n); }
  std::string data_;
};

class BlobReader {
 public:
  BlobReader(const BYTE* p, size_t n) : p_(p), n_(n) {}
  bool U32(uint32_t* v) { return Bytes(v, sizeof *v); }
  bool I64(int64_t* v) { return Bytes(v, sizeof *v); }
  bool Text(std::u16string* s) {
    uint32_t len = 0;
    if (!U32(&len) || len > (n_ - at_) / sizeof(char16_t)) return false;
    s->resize(len);
    return Bytes(s->data(), len * sizeof(char16_t));
  }
  bool AtEnd() const { return at_ == n_; }

 private:
  bool Bytes(void* out, size_t n) {
    if (n > n_ - at_) return false;
    std::memcpy(out, p_ + at_, n);
    at_ += n;
    return true;
  }
  const BYTE* p_;
  size_t n_;
  size_t at_ = 0;
};

}  // namespace

STDMETHODIMP PropertySetter::SaveToBlob(LONG* pcSize, BYTE** ppb) {
  if (!pcSize || !ppb) return E_POINTER;
  BlobWriter w;
  w.U32(uint32_t(params_.size()));
  for (const Param& p : params_) {
    w.Text(p.name);
    w.U32(uint32_t(p.dispID));
    w.U32(uint32_t(p.values.size()));
    for (const Value& v : p.values) {
      w.U32(v.v.vt);
      w.I64(v.rt);
      w.U32(v.interp);
      VARIANT text;
      VariantInit(&text);
      HRESULT hr = VariantChangeType(&text, &v.v, 0, VT_BSTR);
      if (FAILED(hr)) return hr;
      w.Text(text.bstrVal ? std::u16string(text.bstrVal, SysStringLen(text.bstrVal)) : std::u16string());
      VariantClear(&text);
    }
  }
  *ppb = static_cast<BYTE*>(CoTaskMemAlloc(w.Data().size()));
  if (!*ppb) return E_OUTOFMEMORY;
  std::memcpy(*ppb, w.Data().data(), w.Data().size());
  *pcSize = LONG(w.Data().size());
  return S_OK;
}

STDMETHODIMP PropertySetter::LoadFromBlob(LONG cSize, BYTE* pb) {
  if (!pb) return E_POINTER;
  if (cSize < 0) return E_INVALIDARG;
  BlobReader r(pb, size_t(cSize));
  std::vector<Param> loaded;
  uint32_t count = 0;
  bool ok = r.U32(&count);
  for (uint32_t i = 0; ok && i < count; ++i) {
    Param p;
    uint32_t id = 0, values = 0;
    ok = r.Text(&p.name) && r.U32(&id) && r.U32(&values) && values > 0;
    p.dispID = DISPID(id);
    for (uint32_t k = 0; ok && k < values; ++k) {
      uint32_t vt = 0, interp = 0;
      int64_t rt = 0;
      std::u16string text;
      ok = r.U32(&vt) && r.I64(&rt) && r.U32(&interp) && r.Text(&text);
      if (!ok) break;
      VARIANT source;
      VariantInit(&source);
      source.vt = VT_BSTR;
      source.bstrVal = SysAllocStringLen(text.data(), UINT(text.size()));
      Value v{};
      VariantInit(&v.v);
      ok = SUCCEEDED(VariantChangeType(&v.v, &source, 0, VARTYPE(vt)));
      VariantClear(&source);
      v.rt = rt;
      v.interp = interp;
      if (ok) p.values.push_back(v);
    }
    loaded.push_back(std::move(p));
  }
  if (!ok || !r.AtEnd()) {
    for (Param& p : loaded) ClearValues(&p);
    return E_INVALIDARG;
  }
  for (Param& p : loaded) params_.push_back(std::move(p));
  return S_OK;
}

HRESULT PropertySetter::ValueAt(const Param& p, REFERENCE_TIME t, VARIANT* out) {
  size_t i = 0;
  while (i + 1 < p.values.size() && p.values[i + 1].rt <= t) ++i;
  const Value& now = p.values[i];
  if (i + 1 < p.values.size() && t > now.rt && p.values[i + 1].interp == DEXTERF_INTERPOLATE) {
    const Value& next = p.values[i + 1];
    VARIANT a, b;
    VariantInit(&a);
    VariantInit(&b);
    if (SUCCEEDED(VariantChangeType(&a, &now.v, 0, VT_R8)) && SUCCEEDED(VariantChangeType(&b, &next.v, 0, VT_R8))) {
      const double f = double(t - now.rt) / double(next.rt - now.rt);
      out->vt = VT_R8;
      out->dblVal = a.dblVal + (b.dblVal - a.dblVal) * f;
      return S_OK;
    }
  }
  return VariantCopy(out, &now.v);
}

STDMETHODIMP PropertySetter::SetProps(IUnknown* pTarget, REFERENCE_TIME rtNow) {
  if (!pTarget) return E_POINTER;
  ComPtr<IDispatch> target;
  HRESULT hr = pTarget->QueryInterface(IID_IDispatch, target.putVoid());
  if (FAILED(hr)) return hr;
  HRESULT first = S_OK;
  for (const Param& p : params_) {
    DISPID id = p.dispID;
    if (!p.name.empty()) {
      std::u16string name = p.name;
      LPOLESTR names[1] = {name.data()};
      hr = target->GetIDsOfNames(IID_NULL, names, 1, 0, &id);
    } else {
      hr = S_OK;
    }
    VARIANT value;
    VariantInit(&value);
    if (SUCCEEDED(hr)) hr = ValueAt(p, rtNow, &value);
    if (SUCCEEDED(hr)) {
      DISPID put = DISPID_PROPERTYPUT;
      DISPPARAMS args{&value, &put, 1, 1};
      hr = target->Invoke(id, IID_NULL, 0, DISPATCH_PROPERTYPUT, &args, nullptr, nullptr, nullptr);
    }
    VariantClear(&value);
    if (FAILED(hr) && SUCCEEDED(first)) first = hr;
  }
  return first;
}

}  // namespace des
