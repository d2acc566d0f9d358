#pragma once
// The framework's strings: CString holds 8-bit text (UTF-8, the platform's ANSI code page) and
// CStringW holds UTF-16 text; constructing one from the other's characters converts.
//
// A string object is one pointer to its characters (a length header sits in front of them), so a
// CString is as large as a char pointer and converts implicitly to LPCTSTR. Passing a CString to a
// C variadic function (printf, wsprintf, ...) is not possible with this compiler (it would pass a
// reference) and is a compile error for users of the framework: pass (LPCTSTR)str or
// str.GetString() there. Format and AppendFormat are templates that do this
// conversion themselves, so s.Format("%s", other) works as in the framework.
//
// Indexes are never trusted: reads outside the string give 0 or an empty result, writes outside
// it do nothing. Case-insensitive operations and case conversion apply to ASCII letters only.
#include <cstdarg>
#include <type_traits>

#include "mfc/afxdefs.h"
#include "ole/oleauto.h"

// The module whose string table LoadString reads: the executable unless set.
HINSTANCE AfxGetResourceHandle();
void AfxSetResourceHandle(HINSTANCE hInstResource);

// Formatting takes printf conversions with the platform's length prefixes (l and I32 are 32 bits,
// ll and I64 64 bits, I, z, t, j pointer-sized), %s taking the string type of the function and %S
// the other one (as %hs and %ls do explicitly), %c and %C likewise. %n writes nothing.
template <typename BaseType>
class CStringT {
 public:
  typedef BaseType XCHAR;
  typedef BaseType* PXSTR;
  typedef const BaseType* PCXSTR;
  typedef std::conditional_t<std::is_same_v<BaseType, char>, char16_t, char> YCHAR;
  typedef const YCHAR* PCYSTR;

  CStringT() noexcept;
  CStringT(const CStringT& src);
  CStringT(CStringT&& src) noexcept;
  CStringT(PCXSTR psz);
  CStringT(PCXSTR pch, int nLength);
  CStringT(PCYSTR psz);
  CStringT(PCYSTR pch, int nLength);
  CStringT(const CStringT<YCHAR>& src);
  CStringT(XCHAR ch, int nRepeat = 1);
  ~CStringT();

  CStringT& operator=(const CStringT& src);
  CStringT& operator=(CStringT&& src) noexcept;
  CStringT& operator=(PCXSTR psz);
  CStringT& operator=(PCYSTR psz);
  CStringT& operator=(const CStringT<YCHAR>& src);
  CStringT& operator=(XCHAR ch);

  CStringT& operator+=(const CStringT& str);
  CStringT& operator+=(PCXSTR psz);
  CStringT& operator+=(XCHAR ch);
  void Append(PCXSTR pch, int nLength);

  int GetLength() const noexcept { return Header()->nDataLength; }
  BOOL IsEmpty() const noexcept { return GetLength() == 0; }
  void Empty();
  PCXSTR GetString() const noexcept { return m_pszData; }
  operator PCXSTR() const noexcept { return m_pszData; }

  // The character at nIndex, 0 outside the string.
  XCHAR GetAt(int nIndex) const noexcept;
  XCHAR operator[](int nIndex) const noexcept { return GetAt(nIndex); }
  // Replaces the character at nIndex; nothing outside the string.
  void SetAt(int nIndex, XCHAR ch);

  int Compare(PCXSTR psz) const;
  int CompareNoCase(PCXSTR psz) const;
  int Collate(PCXSTR psz) const;
  int CollateNoCase(PCXSTR psz) const;

  // Cutting: a start before 0 counts as 0, a negative count as 0, a count past the end stops there.
  CStringT Mid(int nFirst) const;
  CStringT Mid(int nFirst, int nCount) const;
  CStringT Left(int nCount) const;
  CStringT Right(int nCount) const;
  CStringT SpanIncluding(PCXSTR pszCharSet) const;
  CStringT SpanExcluding(PCXSTR pszCharSet) const;

  CStringT& MakeUpper();
  CStringT& MakeLower();
  // Reverses the characters (whole code points, so multi-unit characters survive).
  CStringT& MakeReverse();

  int Replace(XCHAR chOld, XCHAR chNew);
  int Replace(PCXSTR pszOld, PCXSTR pszNew);
  int Remove(XCHAR chRemove);
  int Insert(int nIndex, XCHAR ch);
  int Insert(int nIndex, PCXSTR psz);
  int Delete(int nIndex, int nCount = 1);

  CStringT& Trim();
  CStringT& Trim(XCHAR chTarget);
  CStringT& Trim(PCXSTR pszTargets);
  CStringT& TrimLeft();
  CStringT& TrimLeft(XCHAR chTarget);
  CStringT& TrimLeft(PCXSTR pszTargets);
  CStringT& TrimRight();
  CStringT& TrimRight(XCHAR chTarget);
  CStringT& TrimRight(PCXSTR pszTargets);

  // Searching: -1 when not found or when the start is outside the string.
  int Find(XCHAR ch, int nStart = 0) const;
  int Find(PCXSTR pszSub, int nStart = 0) const;
  int ReverseFind(XCHAR ch) const;
  int FindOneOf(PCXSTR pszCharSet) const;
  // The next token after iStart delimited by any of pszTokens; iStart becomes -1 after the last.
  CStringT Tokenize(PCXSTR pszTokens, int& iStart) const;

  template <typename... Args>
  void Format(PCXSTR pszFormat, const Args&... args) {
    FormatArgs(pszFormat, ArgOf(args)...);
  }
  template <typename... Args>
  void AppendFormat(PCXSTR pszFormat, const Args&... args) {
    AppendFormatArgs(pszFormat, ArgOf(args)...);
  }
  void FormatV(PCXSTR pszFormat, va_list args);
  void AppendFormatV(PCXSTR pszFormat, va_list args);

  // A writable buffer of at least nMinBufLength characters plus the terminator, keeping the
  // contents; ReleaseBuffer sets the length (-1: up to the first terminator) and ends the writing.
  PXSTR GetBuffer();
  PXSTR GetBuffer(int nMinBufLength);
  PXSTR GetBufferSetLength(int nNewLength);
  void ReleaseBuffer(int nNewLength = -1);
  PXSTR LockBuffer();
  void UnlockBuffer() noexcept {}
  void FreeExtra();

  // Replaces the contents with string nID of the resource module (or of hInstance); FALSE and
  // empty when the string is missing or empty.
  BOOL LoadString(UINT nID);
  BOOL LoadString(HINSTANCE hInstance, UINT nID);
  // A new BSTR with the text in UTF-16; the caller frees it with SysFreeString.
  BSTR AllocSysString() const;

  friend CStringT operator+(const CStringT& a, const CStringT& b) { return Concat(a, a.GetLength(), b, b.GetLength()); }
  friend CStringT operator+(const CStringT& a, PCXSTR b) { return Concat(a, a.GetLength(), b, Len(b)); }
  friend CStringT operator+(PCXSTR a, const CStringT& b) { return Concat(a, Len(a), b, b.GetLength()); }
  friend CStringT operator+(const CStringT& a, XCHAR b) { return Concat(a, a.GetLength(), &b, 1); }
  friend CStringT operator+(XCHAR a, const CStringT& b) { return Concat(&a, 1, b, b.GetLength()); }

  friend bool operator==(const CStringT& a, const CStringT& b) { return a.Compare(b) == 0; }
  friend bool operator==(const CStringT& a, PCXSTR b) { return a.Compare(b) == 0; }
  friend bool operator==(PCXSTR a, const CStringT& b) { return b.Compare(a) == 0; }
  friend bool operator!=(const CStringT& a, const CStringT& b) { return a.Compare(b) != 0; }
  friend bool operator!=(const CStringT& a, PCXSTR b) { return a.Compare(b) != 0; }
  friend bool operator!=(PCXSTR a, const CStringT& b) { return b.Compare(a) != 0; }
  friend bool operator<(const CStringT& a, const CStringT& b) { return a.Compare(b) < 0; }
  friend bool operator<(const CStringT& a, PCXSTR b) { return a.Compare(b) < 0; }
  friend bool operator<(PCXSTR a, const CStringT& b) { return b.Compare(a) > 0; }
  friend bool operator>(const CStringT& a, const CStringT& b) { return a.Compare(b) > 0; }
  friend bool operator>(const CStringT& a, PCXSTR b) { return a.Compare(b) > 0; }
  friend bool operator>(PCXSTR a, const CStringT& b) { return b.Compare(a) < 0; }
  friend bool operator<=(const CStringT& a, const CStringT& b) { return a.Compare(b) <= 0; }
  friend bool operator<=(const CStringT& a, PCXSTR b) { return a.Compare(b) <= 0; }
  friend bool operator<=(PCXSTR a, const CStringT& b) { return b.Compare(a) >= 0; }
  friend bool operator>=(const CStringT& a, const CStringT& b) { return a.Compare(b) >= 0; }
  friend bool operator>=(const CStringT& a, PCXSTR b) { return a.Compare(b) >= 0; }
  friend bool operator>=(PCXSTR a, const CStringT& b) { return b.Compare(a) <= 0; }

 private:
  struct Data {
    int nDataLength;
    int nAllocLength;
  };

  Data* Header() const noexcept { return reinterpret_cast<Data*>(m_pszData) - 1; }
  bool IsNil() const noexcept;
  static PXSTR NilData() noexcept;
  static int Len(PCXSTR psz) noexcept;
  static CStringT Concat(PCXSTR a, int na, PCXSTR b, int nb);
  // Own a buffer of at least nMinAlloc characters, keeping the contents.
  void Reserve(int nMinAlloc);
  void SetLength(int nLength);
  void Assign(PCXSTR pch, int nLength);
  void AssignOther(PCYSTR pch, int nLength);
  void AppendFormatArgs(PCXSTR pszFormat, ...);
  void FormatArgs(PCXSTR pszFormat, ...);

  template <typename A>
  static auto ArgOf(const A& a) {
    if constexpr (std::is_same_v<A, CStringT> || std::is_same_v<A, CStringT<YCHAR>>) {
      return a.GetString();
    } else if constexpr (std::is_array_v<A>) {
      return static_cast<const std::remove_extent_t<A>*>(a);
    } else {
      static_assert(std::is_trivially_copyable_v<A>, "pass only numbers, characters, pointers and strings to Format");
      return a;
    }
  }

  PXSTR m_pszData;
};

typedef CStringT<char> CString;
typedef CStringT<char> CStringA;
typedef CStringT<char16_t> CStringW;

static_assert(sizeof(CString) == sizeof(char*));

extern template class CStringT<char>;
extern template class CStringT<char16_t>;
