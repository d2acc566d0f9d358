// VariantChangeType: the platform's coercion rules between the automation types.
#include <cfloat>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "ole/oleauto.h"
#include "variant_date.h"
#include "variant_types.h"

namespace {

using ole::IsValidVariantType;

// A scalar source reduced to one of four shapes.
struct Value {
  enum Kind { Integer, Real, Currency, Text } kind = Integer;
  __int128 i = 0;        // Integer (wide enough for VT_I8 and VT_UI8); Currency (scaled by 10000)
  double d = 0;          // Real
  std::string text;      // Text, as ASCII
  bool isBool = false;   // an Integer that came from VT_BOOL
  VARTYPE from = VT_EMPTY;
};

bool IsIntegerType(VARTYPE vt, __int128* lo, __int128* hi) {
  switch (vt) {
    case VT_I8: *lo = INT64_MIN; *hi = INT64_MAX; return true;
    case VT_UI8: *lo = 0; *hi = UINT64_MAX; return true;
    case VT_I1: *lo = -128; *hi = 127; return true;
    case VT_UI1: *lo = 0; *hi = 255; return true;
    case VT_I2: *lo = -32768; *hi = 32767; return true;
    case VT_UI2: *lo = 0; *hi = 65535; return true;
    case VT_I4: case VT_INT: *lo = INT32_MIN; *hi = INT32_MAX; return true;
    case VT_UI4: case VT_UINT: *lo = 0; *hi = UINT32_MAX; return true;
    default: return false;
  }
}

void StoreInteger(VARIANT* out, VARTYPE vt, __int128 v) {
  out->vt = vt;
  switch (vt) {
    case VT_I1: out->cVal = static_cast<CHAR>(v); break;
    case VT_UI1: out->bVal = static_cast<BYTE>(v); break;
    case VT_I2: out->iVal = static_cast<SHORT>(v); break;
    case VT_UI2: out->uiVal = static_cast<USHORT>(v); break;
    case VT_I4: out->lVal = static_cast<LONG>(v); break;
    case VT_INT: out->intVal = static_cast<INT>(v); break;
    case VT_UI4: out->ulVal = static_cast<ULONG>(v); break;
    case VT_UINT: out->uintVal = static_cast<UINT>(v); break;
    case VT_I8: out->llVal = static_cast<LONGLONG>(v); break;
    case VT_UI8: out->ullVal = static_cast<ULONGLONG>(v); break;
    default: break;
  }
}

// Rounds a currency amount to a whole number, half to even.
int64_t RoundCurrency(int64_t cy) {
  int64_t q = cy / 10000;
  const int64_t r = cy % 10000;
  const int64_t absR = r < 0 ? -r : r;
  if (absR > 5000 || (absR == 5000 && q % 2 != 0)) q += cy < 0 ? -1 : 1;
  return q;
}

// Numbers as text: optional spaces, a sign, digits with thousands separators, a decimal point,
// an exponent. At least one digit is needed. A whole number without point or exponent is also
// given exactly in *whole (when asked), so 64-bit values keep every digit.
bool ParseNumber(const std::string& s, double* out, __int128* whole = nullptr, bool* isWhole = nullptr) {
  std::string clean;
  size_t p = 0;
  auto skipSpaces = [&] {
    while (p < s.size() && (s[p] == ' ' || s[p] == '\t')) ++p;
  };
  skipSpaces();
  if (p < s.size() && (s[p] == '+' || s[p] == '-')) clean += s[p++];
  bool digits = false;
  bool plain = true;
  __int128 exact = 0;
  while (p < s.size() && (std::isdigit(static_cast<unsigned char>(s[p])) || (s[p] == ',' && digits))) {
    if (s[p] != ',') {
      clean += s[p];
      if (exact < (static_cast<__int128>(1) << 100)) exact = exact * 10 + (s[p] - '0');
    }
    digits = true;
    ++p;
  }
  if (p < s.size() && s[p] == '.') {
    plain = false;
    clean += s[p++];
    while (p < s.size() && std::isdigit(static_cast<unsigned char>(s[p]))) {
      clean += s[p++];
      digits = true;
    }
  }
  if (!digits) return false;
  if (p < s.size() && (s[p] == 'e' || s[p] == 'E')) {
    plain = false;
    clean += 'e';
    ++p;
    if (p < s.size() && (s[p] == '+' || s[p] == '-')) clean += s[p++];
    if (p >= s.size() || !std::isdigit(static_cast<unsigned char>(s[p]))) return false;
    while (p < s.size() && std::isdigit(static_cast<unsigned char>(s[p]))) clean += s[p++];
  }
  skipSpaces();
  if (p != s.size()) return false;
  *out = std::strtod(clean.c_str(), nullptr);
  if (whole) *whole = clean[0] == '-' ? -exact : exact;
  if (isWhole) *isWhole = plain;
  return true;
}

bool EqualsNoCase(const std::string& a, const char* b) {
  return a.size() == std::strlen(b) && strncasecmp(a.c_str(), b, a.size()) == 0;
}

std::string Trimmed(const std::string& s) {
  size_t b = s.find_first_not_of(" \t");
  if (b == std::string::npos) return {};
  size_t e = s.find_last_not_of(" \t");
  return s.substr(b, e - b + 1);
}

HRESULT MakeBstr(const std::string& text, VARIANT* out) {
  std::u16string wide(text.begin(), text.end());
  out->vt = VT_BSTR;
  out->bstrVal = SysAllocStringLen(wide.data(), static_cast<UINT>(wide.size()));
  return out->bstrVal ? S_OK : E_OUTOFMEMORY;
}

std::string FormatCurrency(int64_t cy) {
  const bool negative = cy < 0;
  const uint64_t magnitude = negative ? 0 - static_cast<uint64_t>(cy) : static_cast<uint64_t>(cy);
  std::string out = negative ? "-" : "";
  out += std::to_string(magnitude / 10000);
  char frac[8];
  std::snprintf(frac, sizeof frac, "%04u", static_cast<unsigned>(magnitude % 10000));
  std::string f = frac;
  while (!f.empty() && f.back() == '0') f.pop_back();
  if (!f.empty()) out += "." + f;
  return out;
}

std::string FormatReal(double d, VARTYPE from) {
  if (d == 0) d = 0;  // no "-0"
  char buf[48];
  std::snprintf(buf, sizeof buf, from == VT_R4 ? "%.7G" : "%.15G", d);
  return buf;
}

// Reduces a scalar source to a Value; false for types that are no scalar.
bool Reduce(const VARIANT& v, Value* out) {
  out->from = v.vt;
  switch (v.vt) {
    case VT_EMPTY: out->i = 0; return true;
    case VT_I1: out->i = v.cVal; return true;
    case VT_UI1: out->i = v.bVal; return true;
    case VT_I2: out->i = v.iVal; return true;
    case VT_UI2: out->i = v.uiVal; return true;
    case VT_I4: out->i = v.lVal; return true;
    case VT_INT: out->i = v.intVal; return true;
    case VT_UI4: out->i = v.ulVal; return true;
    case VT_UINT: out->i = v.uintVal; return true;
    case VT_I8: out->i = v.llVal; return true;
    case VT_UI8: out->i = v.ullVal; return true;
    case VT_BOOL: out->i = v.boolVal ? -1 : 0; out->isBool = true; return true;
    case VT_R4: out->kind = Value::Real; out->d = v.fltVal; return true;
    case VT_R8: out->kind = Value::Real; out->d = v.dblVal; return true;
    case VT_DATE: out->kind = Value::Real; out->d = v.date; return true;
    case VT_CY: out->kind = Value::Currency; out->i = v.cyVal.int64; return true;
    case VT_BSTR: {
      out->kind = Value::Text;
      const UINT n = SysStringLen(v.bstrVal);
      out->text.reserve(n);
      for (UINT k = 0; k < n; ++k) {
        // Numbers, booleans and dates are ASCII; anything else can never parse.
        const char16_t c = v.bstrVal[k];
        out->text += c < 0x80 && c != 0 ? static_cast<char>(c) : '\x7f';
      }
      return true;
    }
    default:
      return false;
  }
}

// lo and hi: the range of the integer type vt.
HRESULT ToInteger(const Value& v, VARTYPE vt, __int128 lo, __int128 hi, VARIANT* out) {
  __int128 result;
  switch (v.kind) {
    case Value::Integer:
      // VARIANT_TRUE becomes all bits set in the unsigned types.
      result = v.isBool && lo == 0 && v.i != 0 ? hi : v.i;
      break;
    case Value::Currency:
      result = RoundCurrency(static_cast<int64_t>(v.i));
      break;
    case Value::Real:
    case Value::Text: {
      double d = v.d;
      if (v.kind == Value::Text) {
        bool isWhole = false;
        if (!ParseNumber(v.text, &d, &result, &isWhole)) return DISP_E_TYPEMISMATCH;
        if (isWhole) break;
      }
      if (std::isnan(d)) return DISP_E_OVERFLOW;
      const double r = std::nearbyint(d);  // the default rounding mode: half to even
      // hi + 1 is a power of two, so both limits are exact doubles.
      if (r < static_cast<double>(lo) || r >= static_cast<double>(hi + 1)) return DISP_E_OVERFLOW;
      result = static_cast<__int128>(r);
      break;
    }
    default:
      return DISP_E_TYPEMISMATCH;
  }
  if (result < lo || result > hi) return DISP_E_OVERFLOW;
  StoreInteger(out, vt, result);
  return S_OK;
}

// The value as a double; Text is parsed.
HRESULT AsDouble(const Value& v, double* d) {
  switch (v.kind) {
    case Value::Integer: *d = static_cast<double>(v.i); return S_OK;
    case Value::Currency: *d = static_cast<double>(static_cast<int64_t>(v.i)) / 10000.0; return S_OK;
    case Value::Real: *d = v.d; return S_OK;
    case Value::Text: return ParseNumber(v.text, d) ? S_OK : DISP_E_TYPEMISMATCH;
  }
  return DISP_E_TYPEMISMATCH;
}

HRESULT ToCurrency(const Value& v, VARIANT* out) {
  int64_t cy;
  if (v.kind == Value::Currency) {
    cy = static_cast<int64_t>(v.i);
  } else if (v.kind == Value::Integer) {
    if (v.i > INT64_MAX / 10000 || v.i < INT64_MIN / 10000) return DISP_E_OVERFLOW;
    cy = static_cast<int64_t>(v.i) * 10000;
  } else {
    double d;
    HRESULT hr = AsDouble(v, &d);
    if (FAILED(hr)) return hr;
    const double r = std::nearbyint(d * 10000.0);
    if (!(r >= -9223372036854775808.0 && r < 9223372036854775808.0)) return DISP_E_OVERFLOW;
    cy = static_cast<int64_t>(r);
  }
  out->vt = VT_CY;
  out->cyVal.int64 = cy;
  return S_OK;
}

HRESULT ToBool(const Value& v, VARIANT* out) {
  bool truth;
  if (v.kind == Value::Text) {
    const std::string t = Trimmed(v.text);
    if (EqualsNoCase(t, "True")) {
      truth = true;
    } else if (EqualsNoCase(t, "False")) {
      truth = false;
    } else {
      double d;
      if (!ParseNumber(v.text, &d)) return DISP_E_TYPEMISMATCH;
      truth = d != 0;
    }
  } else if (v.kind == Value::Real) {
    truth = v.d != 0;
  } else {
    truth = v.i != 0;
  }
  out->vt = VT_BOOL;
  out->boolVal = truth ? VARIANT_TRUE : VARIANT_FALSE;
  return S_OK;
}

HRESULT ToText(const Value& v, USHORT flags, VARIANT* out) {
  switch (v.kind) {
    case Value::Integer:
      if (v.isBool && flags & (VARIANT_ALPHABOOL | VARIANT_LOCALBOOL))
        return MakeBstr(v.i ? "True" : "False", out);
      if (v.from == VT_EMPTY) return MakeBstr("", out);
      return MakeBstr(v.i < 0 ? std::to_string(static_cast<long long>(v.i))
                                : std::to_string(static_cast<unsigned long long>(v.i)),
                      out);
    case Value::Currency:
      return MakeBstr(FormatCurrency(static_cast<int64_t>(v.i)), out);
    case Value::Real:
      return MakeBstr(v.from == VT_DATE ? ole::FormatDate(v.d) : FormatReal(v.d, v.from), out);
    case Value::Text:
      break;
  }
  return DISP_E_TYPEMISMATCH;
}

HRESULT ToReal(const Value& v, VARTYPE vt, VARIANT* out) {
  double d;
  if (vt == VT_DATE && v.kind == Value::Text) {
    if (!ole::ParseDate(v.text, &d)) return DISP_E_TYPEMISMATCH;
  } else {
    HRESULT hr = AsDouble(v, &d);
    if (FAILED(hr)) return hr;
  }
  out->vt = vt;
  if (vt == VT_R4) {
    if (std::isfinite(d) && std::fabs(d) > FLT_MAX) return DISP_E_OVERFLOW;
    out->fltVal = static_cast<float>(d);
  } else if (vt == VT_DATE) {
    if (!(d >= ole::kMinDate && d <= ole::kMaxDate)) return DISP_E_OVERFLOW;
    out->date = d;
  } else {
    out->dblVal = d;
  }
  return S_OK;
}

HRESULT Convert(const VARIANT& src, VARTYPE vt, USHORT flags, VARIANT* out, int depth);

// An object's value property (DISPID_VALUE), converted further.
HRESULT ConvertThroughValue(IDispatch* disp, VARTYPE vt, USHORT flags, VARIANT* out, int depth) {
  if (!disp || flags & VARIANT_NOVALUEPROP || depth > 0) return DISP_E_TYPEMISMATCH;
  DISPPARAMS none = {nullptr, nullptr, 0, 0};
  VARIANT value;
  VariantInit(&value);
  HRESULT hr = disp->Invoke(DISPID_VALUE, IID_NULL, 0, DISPATCH_PROPERTYGET, &none, &value,
                            nullptr, nullptr);
  if (FAILED(hr)) return DISP_E_TYPEMISMATCH;
  hr = Convert(value, vt, flags, out, depth + 1);
  VariantClear(&value);
  return hr;
}

HRESULT ToObject(const VARIANT& src, VARTYPE vt, VARIANT* out) {
  if (src.vt != VT_EMPTY && src.vt != VT_DISPATCH && src.vt != VT_UNKNOWN) return DISP_E_TYPEMISMATCH;
  out->vt = vt;
  out->punkVal = nullptr;
  if (src.vt == VT_EMPTY || !src.punkVal) return S_OK;
  void* p = nullptr;
  if (FAILED(src.punkVal->QueryInterface(vt == VT_DISPATCH ? IID_IDispatch : IID_IUnknown, &p)))
    return DISP_E_TYPEMISMATCH;
  out->punkVal = static_cast<IUnknown*>(p);
  return S_OK;
}

// Converts a value (no VT_BYREF) into *out, which owns the result.
HRESULT Convert(const VARIANT& src, VARTYPE vt, USHORT flags, VARIANT* out, int depth) {
  if (src.vt == vt) return VariantCopy(out, &src);
  if (vt == VT_EMPTY) return S_OK;
  if (src.vt & VT_ARRAY || vt & VT_ARRAY) return DISP_E_TYPEMISMATCH;
  if (src.vt == VT_NULL || vt == VT_NULL || src.vt == VT_ERROR || vt == VT_ERROR)
    return DISP_E_TYPEMISMATCH;
  if (vt == VT_DISPATCH || vt == VT_UNKNOWN) return ToObject(src, vt, out);
  if (src.vt == VT_DISPATCH) return ConvertThroughValue(src.pdispVal, vt, flags, out, depth);
  Value v;
  if (!Reduce(src, &v)) return DISP_E_TYPEMISMATCH;
  __int128 lo = 0, hi = 0;
  if (IsIntegerType(vt, &lo, &hi)) return ToInteger(v, vt, lo, hi, out);
  switch (vt) {
    case VT_R4: case VT_R8: case VT_DATE: return ToReal(v, vt, out);
    case VT_CY: return ToCurrency(v, out);
    case VT_BOOL: return ToBool(v, out);
    case VT_BSTR: return ToText(v, flags, out);
    default: return DISP_E_TYPEMISMATCH;
  }
}

}  // namespace

HRESULT VariantChangeTypeEx(VARIANTARG* pvargDest, const VARIANTARG* pvarSrc, LCID /*lcid*/,
                            USHORT wFlags, VARTYPE vt) {
  if (!pvargDest || !pvarSrc) return E_INVALIDARG;
  if (!IsValidVariantType(pvarSrc->vt) || vt & VT_BYREF ||
      (vt != VT_EMPTY && !IsValidVariantType(vt)))
    return DISP_E_BADVARTYPE;
  VARIANT value;
  HRESULT hr = ole::ReadThrough(pvarSrc, &value);
  if (FAILED(hr)) return hr;
  VARIANT result;
  VariantInit(&result);
  hr = Convert(value, vt, wFlags, &result, 0);
  if (FAILED(hr)) {
    VariantClear(&result);
    return hr;
  }
  // The source may be the destination: the result is independent of it by now.
  hr = VariantClear(pvargDest);
  if (FAILED(hr)) {
    VariantClear(&result);
    return hr;
  }
  *pvargDest = result;
  return S_OK;
}

HRESULT VariantChangeType(VARIANTARG* pvargDest, const VARIANTARG* pvarSrc, USHORT wFlags,
                          VARTYPE vt) {
  return VariantChangeTypeEx(pvargDest, pvarSrc, 0, wFlags, vt);
}
