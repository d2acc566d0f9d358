#include <algorithm>
#include <climits>
#include <cstdlib>
#include <cstring>
#include <string_view>

#include "format.h"
#include "mfc/afx.h"
#include "win32/utf.h"

namespace {

template <typename T>
bool IsSpace(T c) {
  return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r';
}

template <typename T>
T AsciiLower(T c) {
  return c >= 'A' && c <= 'Z' ? static_cast<T>(c + ('a' - 'A')) : c;
}

template <typename T>
T AsciiUpper(T c) {
  return c >= 'a' && c <= 'z' ? static_cast<T>(c - ('a' - 'A')) : c;
}

template <typename T>
using Unsigned = std::make_unsigned_t<T>;

template <typename T>
int CompareText(const T* a, const T* b, bool noCase) {
  if (!b) b = a + std::char_traits<T>::length(a);  // the terminator: compare with ""
  for (;; ++a, ++b) {
    Unsigned<T> x = static_cast<Unsigned<T>>(noCase ? AsciiLower(*a) : *a);
    Unsigned<T> y = static_cast<Unsigned<T>>(noCase ? AsciiLower(*b) : *b);
    if (x != y) return x < y ? -1 : 1;
    if (!x) return 0;
  }
}

// True when the unit continues the character begun before it.
bool Continues(const char* s, int i) { return (static_cast<unsigned char>(s[i]) & 0xC0) == 0x80; }
bool Continues(const char16_t* s, int i) {
  return i > 0 && s[i] >= 0xDC00 && s[i] <= 0xDFFF && s[i - 1] >= 0xD800 && s[i - 1] <= 0xDBFF;
}

// Room for this many characters plus the header and terminator must stay below INT_MAX bytes.
template <typename T>
constexpr int kMaxLength = (INT_MAX - 64) / static_cast<int>(sizeof(T)) - 1;

}  // namespace

template <typename T>
typename CStringT<T>::PXSTR CStringT<T>::NilData() noexcept {
  static struct {
    Data header;
    T text[1];
  } nil = {{0, 0}, {0}};
  return nil.text;
}

template <typename T>
bool CStringT<T>::IsNil() const noexcept {
  return m_pszData == NilData();
}

template <typename T>
int CStringT<T>::Len(PCXSTR psz) noexcept {
  if (!psz) return 0;
  size_t n = std::char_traits<T>::length(psz);
  return n > static_cast<size_t>(kMaxLength<T>) ? kMaxLength<T> : static_cast<int>(n);
}

template <typename T>
void CStringT<T>::Reserve(int nMinAlloc) {
  if (nMinAlloc < 0 || nMinAlloc > kMaxLength<T>) AfxThrowMemoryException();
  Data* old = Header();
  if (!IsNil() && old->nAllocLength >= nMinAlloc) return;
  auto* fresh = static_cast<Data*>(std::malloc(sizeof(Data) + (static_cast<size_t>(nMinAlloc) + 1) * sizeof(T)));
  if (!fresh) AfxThrowMemoryException();
  fresh->nAllocLength = nMinAlloc;
  fresh->nDataLength = old->nDataLength;
  PXSTR text = reinterpret_cast<PXSTR>(fresh + 1);
  std::memcpy(text, m_pszData, (static_cast<size_t>(old->nDataLength) + 1) * sizeof(T));
  if (!IsNil()) std::free(old);
  m_pszData = text;
}

template <typename T>
void CStringT<T>::SetLength(int nLength) {
  if (IsNil()) return;  // only the empty string lives there
  Header()->nDataLength = nLength;
  m_pszData[nLength] = 0;
}

template <typename T>
void CStringT<T>::Assign(PCXSTR pch, int nLength) {
  if (!pch || nLength <= 0) {
    SetLength(0);
    return;
  }
  // pch may point into this string: Reserve keeps the buffer when it is large enough, and a
  // source inside the buffer never needs more.
  Reserve(nLength);
  std::memmove(m_pszData, pch, nLength * sizeof(T));
  SetLength(nLength);
}

template <typename T>
void CStringT<T>::AssignOther(PCYSTR pch, int nLength) {
  if (!pch || nLength <= 0) {
    SetLength(0);
    return;
  }
  if constexpr (std::is_same_v<T, char>) {
    std::string text = win32::Utf16ToUtf8({pch, size_t(nLength)});
    Assign(text.data(), static_cast<int>(std::min<size_t>(text.size(), kMaxLength<T>)));
  } else {
    std::u16string text = win32::Utf8ToUtf16({pch, size_t(nLength)});
    Assign(text.data(), static_cast<int>(std::min<size_t>(text.size(), kMaxLength<T>)));
  }
}

template <typename T>
CStringT<T>::CStringT() noexcept : m_pszData(NilData()) {}

template <typename T>
CStringT<T>::CStringT(const CStringT& src) : m_pszData(NilData()) {
  Assign(src.m_pszData, src.GetLength());
}

template <typename T>
CStringT<T>::CStringT(CStringT&& src) noexcept : m_pszData(src.m_pszData) {
  src.m_pszData = NilData();
}

template <typename T>
CStringT<T>::CStringT(PCXSTR psz) : m_pszData(NilData()) {
  Assign(psz, Len(psz));
}

template <typename T>
CStringT<T>::CStringT(PCXSTR pch, int nLength) : m_pszData(NilData()) {
  Assign(pch, nLength);
}

template <typename T>
CStringT<T>::CStringT(PCYSTR psz) : m_pszData(NilData()) {
  AssignOther(psz, psz ? static_cast<int>(std::min<size_t>(std::char_traits<YCHAR>::length(psz), INT_MAX)) : 0);
}

template <typename T>
CStringT<T>::CStringT(PCYSTR pch, int nLength) : m_pszData(NilData()) {
  AssignOther(pch, nLength);
}

template <typename T>
CStringT<T>::CStringT(const CStringT<YCHAR>& src) : m_pszData(NilData()) {
  AssignOther(src.GetString(), src.GetLength());
}

template <typename T>
CStringT<T>::CStringT(XCHAR ch, int nRepeat) : m_pszData(NilData()) {
  if (nRepeat <= 0) return;
  Reserve(nRepeat);
  std::fill(m_pszData, m_pszData + nRepeat, ch);
  SetLength(nRepeat);
}

template <typename T>
CStringT<T>::~CStringT() {
  if (!IsNil()) std::free(Header());
}

template <typename T>
CStringT<T>& CStringT<T>::operator=(const CStringT& src) {
  if (this != &src) Assign(src.m_pszData, src.GetLength());
  return *this;
}

template <typename T>
CStringT<T>& CStringT<T>::operator=(CStringT&& src) noexcept {
  if (this != &src) {
    std::swap(m_pszData, src.m_pszData);
    src.Empty();
  }
  return *this;
}

template <typename T>
CStringT<T>& CStringT<T>::operator=(PCXSTR psz) {
  Assign(psz, Len(psz));
  return *this;
}

template <typename T>
CStringT<T>& CStringT<T>::operator=(PCYSTR psz) {
  return *this = CStringT(psz);
}

template <typename T>
CStringT<T>& CStringT<T>::operator=(const CStringT<YCHAR>& src) {
  AssignOther(src.GetString(), src.GetLength());
  return *this;
}

template <typename T>
CStringT<T>& CStringT<T>::operator=(XCHAR ch) {
  Assign(&ch, 1);
  return *this;
}

template <typename T>
void CStringT<T>::Append(PCXSTR pch, int nLength) {
  if (!pch || nLength <= 0) return;
  int len = GetLength();
  if (nLength > kMaxLength<T> - len) AfxThrowMemoryException();
  // pch may point into this string's buffer, which growing replaces.
  bool inside = !IsNil() && pch >= m_pszData && pch <= m_pszData + len;
  ptrdiff_t offset = pch - m_pszData;
  int alloc = IsNil() ? 0 : Header()->nAllocLength;
  if (len + nLength > alloc) Reserve(std::max(len + nLength, static_cast<int>(std::min<long long>(alloc + alloc / 2LL, kMaxLength<T>))));
  if (inside) pch = m_pszData + offset;
  std::memmove(m_pszData + len, pch, nLength * sizeof(T));
  SetLength(len + nLength);
}

template <typename T>
CStringT<T>& CStringT<T>::operator+=(const CStringT& str) {
  Append(str.m_pszData, str.GetLength());
  return *this;
}

template <typename T>
CStringT<T>& CStringT<T>::operator+=(PCXSTR psz) {
  Append(psz, Len(psz));
  return *this;
}

template <typename T>
CStringT<T>& CStringT<T>::operator+=(XCHAR ch) {
  Append(&ch, 1);
  return *this;
}

template <typename T>
CStringT<T> CStringT<T>::Concat(PCXSTR a, int na, PCXSTR b, int nb) {
  CStringT result;
  if (na > kMaxLength<T> - nb) AfxThrowMemoryException();
  result.Reserve(na + nb);
  result.Append(a, na);
  result.Append(b, nb);
  return result;
}

template <typename T>
void CStringT<T>::Empty() {
  if (IsNil()) return;
  std::free(Header());
  m_pszData = NilData();
}

template <typename T>
typename CStringT<T>::XCHAR CStringT<T>::GetAt(int nIndex) const noexcept {
  return nIndex >= 0 && nIndex < GetLength() ? m_pszData[nIndex] : 0;
}

template <typename T>
void CStringT<T>::SetAt(int nIndex, XCHAR ch) {
  if (nIndex >= 0 && nIndex < GetLength()) m_pszData[nIndex] = ch;
}

template <typename T>
int CStringT<T>::Compare(PCXSTR psz) const {
  return CompareText<T>(m_pszData, psz, false);
}

template <typename T>
int CStringT<T>::CompareNoCase(PCXSTR psz) const {
  return CompareText<T>(m_pszData, psz, true);
}

template <typename T>
int CStringT<T>::Collate(PCXSTR psz) const {
  return Compare(psz);
}

template <typename T>
int CStringT<T>::CollateNoCase(PCXSTR psz) const {
  return CompareNoCase(psz);
}

template <typename T>
CStringT<T> CStringT<T>::Mid(int nFirst) const {
  return Mid(nFirst, INT_MAX);
}

template <typename T>
CStringT<T> CStringT<T>::Mid(int nFirst, int nCount) const {
  int len = GetLength();
  if (nFirst < 0) nFirst = 0;
  if (nCount < 0 || nFirst >= len) return CStringT();
  if (nCount > len - nFirst) nCount = len - nFirst;
  return CStringT(m_pszData + nFirst, nCount);
}

template <typename T>
CStringT<T> CStringT<T>::Left(int nCount) const {
  return Mid(0, nCount);
}

template <typename T>
CStringT<T> CStringT<T>::Right(int nCount) const {
  if (nCount < 0) return CStringT();
  int len = GetLength();
  return nCount >= len ? *this : CStringT(m_pszData + len - nCount, nCount);
}

template <typename T>
CStringT<T> CStringT<T>::SpanIncluding(PCXSTR pszCharSet) const {
  std::basic_string_view<T> text(m_pszData, GetLength());
  size_t n = text.find_first_not_of(pszCharSet ? pszCharSet : NilData());
  return Left(n == text.npos ? GetLength() : static_cast<int>(n));
}

template <typename T>
CStringT<T> CStringT<T>::SpanExcluding(PCXSTR pszCharSet) const {
  std::basic_string_view<T> text(m_pszData, GetLength());
  size_t n = text.find_first_of(pszCharSet ? pszCharSet : NilData());
  return Left(n == text.npos ? GetLength() : static_cast<int>(n));
}

template <typename T>
CStringT<T>& CStringT<T>::MakeUpper() {
  for (int i = 0; i < GetLength(); ++i) m_pszData[i] = AsciiUpper(m_pszData[i]);
  return *this;
}

template <typename T>
CStringT<T>& CStringT<T>::MakeLower() {
  for (int i = 0; i < GetLength(); ++i) m_pszData[i] = AsciiLower(m_pszData[i]);
  return *this;
}

template <typename T>
CStringT<T>& CStringT<T>::MakeReverse() {
  int len = GetLength();
  // Reverse the units of each character first, so that reversing everything restores them.
  for (int i = 0; i < len;) {
    int j = i + 1;
    while (j < len && Continues(m_pszData, j)) ++j;
    std::reverse(m_pszData + i, m_pszData + j);
    i = j;
  }
  std::reverse(m_pszData, m_pszData + len);
  return *this;
}

template <typename T>
int CStringT<T>::Replace(XCHAR chOld, XCHAR chNew) {
  int count = 0;
  for (int i = 0; i < GetLength(); ++i) {
    if (m_pszData[i] == chOld) {
      m_pszData[i] = chNew;
      ++count;
    }
  }
  return count;
}

template <typename T>
int CStringT<T>::Replace(PCXSTR pszOld, PCXSTR pszNew) {
  int oldLen = Len(pszOld);
  if (oldLen == 0) return 0;
  std::basic_string_view<T> text(m_pszData, GetLength());
  std::basic_string_view<T> from(pszOld, oldLen);
  std::basic_string_view<T> to(pszNew ? pszNew : NilData(), Len(pszNew));
  std::basic_string<T> result;
  int count = 0;
  size_t at = 0;
  for (size_t hit; (hit = text.find(from, at)) != text.npos; at = hit + oldLen, ++count) {
    result.append(text.substr(at, hit - at));
    result.append(to);
  }
  if (count == 0) return 0;
  result.append(text.substr(at));
  if (result.size() > static_cast<size_t>(kMaxLength<T>)) AfxThrowMemoryException();
  Assign(result.data(), static_cast<int>(result.size()));
  return count;
}

template <typename T>
int CStringT<T>::Remove(XCHAR chRemove) {
  int len = GetLength();
  PXSTR end = std::remove(m_pszData, m_pszData + len, chRemove);
  int count = static_cast<int>(m_pszData + len - end);
  if (count) SetLength(len - count);
  return count;
}

template <typename T>
int CStringT<T>::Insert(int nIndex, XCHAR ch) {
  XCHAR text[2] = {ch, 0};
  return Insert(nIndex, text);
}

template <typename T>
int CStringT<T>::Insert(int nIndex, PCXSTR psz) {
  int len = GetLength();
  nIndex = std::clamp(nIndex, 0, len);
  CStringT inserted(psz);  // psz may point into this string
  int n = inserted.GetLength();
  if (n == 0) return len;
  if (n > kMaxLength<T> - len) AfxThrowMemoryException();
  Reserve(len + n);
  std::memmove(m_pszData + nIndex + n, m_pszData + nIndex, (len - nIndex) * sizeof(T));
  std::memcpy(m_pszData + nIndex, inserted.m_pszData, n * sizeof(T));
  SetLength(len + n);
  return len + n;
}

template <typename T>
int CStringT<T>::Delete(int nIndex, int nCount) {
  int len = GetLength();
  if (nIndex < 0) nIndex = 0;
  if (nCount <= 0 || nIndex >= len) return len;
  if (nCount > len - nIndex) nCount = len - nIndex;
  std::memmove(m_pszData + nIndex, m_pszData + nIndex + nCount, (len - nIndex - nCount) * sizeof(T));
  SetLength(len - nCount);
  return len - nCount;
}

template <typename T>
CStringT<T>& CStringT<T>::TrimLeft() {
  int i = 0;
  while (i < GetLength() && IsSpace(m_pszData[i])) ++i;
  return Delete(0, i), *this;
}

template <typename T>
CStringT<T>& CStringT<T>::TrimLeft(XCHAR chTarget) {
  int i = 0;
  while (i < GetLength() && m_pszData[i] == chTarget) ++i;
  return Delete(0, i), *this;
}

template <typename T>
CStringT<T>& CStringT<T>::TrimLeft(PCXSTR pszTargets) {
  if (!pszTargets || !*pszTargets) return *this;
  std::basic_string_view<T> text(m_pszData, GetLength());
  size_t i = text.find_first_not_of(pszTargets);
  return Delete(0, i == text.npos ? GetLength() : static_cast<int>(i)), *this;
}

template <typename T>
CStringT<T>& CStringT<T>::TrimRight() {
  int n = GetLength();
  while (n > 0 && IsSpace(m_pszData[n - 1])) --n;
  if (n != GetLength()) SetLength(n);
  return *this;
}

template <typename T>
CStringT<T>& CStringT<T>::TrimRight(XCHAR chTarget) {
  int n = GetLength();
  while (n > 0 && m_pszData[n - 1] == chTarget) --n;
  if (n != GetLength()) SetLength(n);
  return *this;
}

template <typename T>
CStringT<T>& CStringT<T>::TrimRight(PCXSTR pszTargets) {
  if (!pszTargets || !*pszTargets) return *this;
  std::basic_string_view<T> text(m_pszData, GetLength());
  size_t i = text.find_last_not_of(pszTargets);
  int n = i == text.npos ? 0 : static_cast<int>(i) + 1;
  if (n != GetLength()) SetLength(n);
  return *this;
}

template <typename T>
CStringT<T>& CStringT<T>::Trim() {
  return TrimRight().TrimLeft();
}

template <typename T>
CStringT<T>& CStringT<T>::Trim(XCHAR chTarget) {
  return TrimRight(chTarget).TrimLeft(chTarget);
}

template <typename T>
CStringT<T>& CStringT<T>::Trim(PCXSTR pszTargets) {
  return TrimRight(pszTargets).TrimLeft(pszTargets);
}

template <typename T>
int CStringT<T>::Find(XCHAR ch, int nStart) const {
  if (nStart < 0 || nStart >= GetLength()) return -1;
  size_t i = std::basic_string_view<T>(m_pszData, GetLength()).find(ch, nStart);
  return i == std::basic_string_view<T>::npos ? -1 : static_cast<int>(i);
}

template <typename T>
int CStringT<T>::Find(PCXSTR pszSub, int nStart) const {
  if (!pszSub || nStart < 0 || nStart > GetLength()) return -1;
  size_t i = std::basic_string_view<T>(m_pszData, GetLength()).find(pszSub, nStart);
  return i == std::basic_string_view<T>::npos ? -1 : static_cast<int>(i);
}

template <typename T>
int CStringT<T>::ReverseFind(XCHAR ch) const {
  size_t i = std::basic_string_view<T>(m_pszData, GetLength()).rfind(ch);
  return i == std::basic_string_view<T>::npos ? -1 : static_cast<int>(i);
}

template <typename T>
int CStringT<T>::FindOneOf(PCXSTR pszCharSet) const {
  if (!pszCharSet) return -1;
  size_t i = std::basic_string_view<T>(m_pszData, GetLength()).find_first_of(pszCharSet);
  return i == std::basic_string_view<T>::npos ? -1 : static_cast<int>(i);
}

template <typename T>
CStringT<T> CStringT<T>::Tokenize(PCXSTR pszTokens, int& iStart) const {
  int len = GetLength();
  if (iStart >= 0 && iStart < len) {
    if (!pszTokens || !*pszTokens) return Mid(iStart);
    std::basic_string_view<T> text(m_pszData, len);
    size_t from = text.find_first_not_of(pszTokens, iStart);
    if (from != text.npos) {
      size_t to = text.find_first_of(pszTokens, from);
      if (to == text.npos) to = len;
      iStart = static_cast<int>(to) + 1;
      return Mid(static_cast<int>(from), static_cast<int>(to - from));
    }
  }
  iStart = -1;
  return CStringT();
}

template <typename T>
void CStringT<T>::AppendFormatV(PCXSTR pszFormat, va_list args) {
  if (!pszFormat) return;
  std::string text;
  if constexpr (std::is_same_v<T, char>) {
    mfc::FormatAppend(text, pszFormat, args, false);
  } else {
    std::string format = win32::Utf16ToUtf8({pszFormat, size_t(Len(pszFormat))});
    mfc::FormatAppend(text, format.c_str(), args, true);
  }
  if (text.size() > static_cast<size_t>(kMaxLength<T>)) AfxThrowMemoryException();
  CStringT<char> formatted(text.data(), static_cast<int>(text.size()));
  if constexpr (std::is_same_v<T, char>)
    *this += formatted;
  else
    *this += CStringT(formatted);
}

template <typename T>
void CStringT<T>::FormatV(PCXSTR pszFormat, va_list args) {
  // The format or an argument may be this string itself: format into a new one first.
  CStringT result;
  result.AppendFormatV(pszFormat, args);
  *this = std::move(result);
}

template <typename T>
void CStringT<T>::FormatArgs(PCXSTR pszFormat, ...) {
  va_list args;
  va_start(args, pszFormat);
  FormatV(pszFormat, args);
  va_end(args);
}

template <typename T>
void CStringT<T>::AppendFormatArgs(PCXSTR pszFormat, ...) {
  va_list args;
  va_start(args, pszFormat);
  CStringT result;
  result.AppendFormatV(pszFormat, args);
  va_end(args);
  *this += result;
}

template <typename T>
typename CStringT<T>::PXSTR CStringT<T>::GetBuffer() {
  return GetBuffer(0);
}

template <typename T>
typename CStringT<T>::PXSTR CStringT<T>::GetBuffer(int nMinBufLength) {
  Reserve(std::max(nMinBufLength, GetLength()));
  return m_pszData;
}

template <typename T>
typename CStringT<T>::PXSTR CStringT<T>::GetBufferSetLength(int nNewLength) {
  if (nNewLength < 0) nNewLength = 0;
  Reserve(nNewLength);
  SetLength(nNewLength);
  return m_pszData;
}

template <typename T>
void CStringT<T>::ReleaseBuffer(int nNewLength) {
  if (IsNil()) return;
  int alloc = Header()->nAllocLength;
  if (nNewLength < 0) nNewLength = static_cast<int>(std::find(m_pszData, m_pszData + alloc, 0) - m_pszData);
  SetLength(std::min(nNewLength, alloc));
}

template <typename T>
typename CStringT<T>::PXSTR CStringT<T>::LockBuffer() {
  return GetBuffer(0);
}

template <typename T>
void CStringT<T>::FreeExtra() {
  if (IsNil() || Header()->nAllocLength == GetLength()) return;
  CStringT copy(*this);
  *this = std::move(copy);
}

template class CStringT<char>;
template class CStringT<char16_t>;
