#pragma once
// The framework's ready-made collections of pointers, objects, strings and numbers; the
// members are those of the templates in afxtempl.h.
#include "mfc/afxtempl.h"

class CPtrArray : public CArray<void*, void*> {
  DECLARE_DYNAMIC(CPtrArray)
};

class CObArray : public CArray<CObject*, CObject*> {
  DECLARE_DYNAMIC(CObArray)
};

class CStringArray : public CArray<CString, const CString&> {
  DECLARE_DYNAMIC(CStringArray)
};

class CDWordArray : public CArray<DWORD, DWORD> {
  DECLARE_DYNAMIC(CDWordArray)
};

class CUIntArray : public CArray<UINT, UINT> {
  DECLARE_DYNAMIC(CUIntArray)
};

class CWordArray : public CArray<WORD, WORD> {
  DECLARE_DYNAMIC(CWordArray)
};

class CByteArray : public CArray<BYTE, BYTE> {
  DECLARE_DYNAMIC(CByteArray)
};

class CPtrList : public CList<void*, void*> {
  DECLARE_DYNAMIC(CPtrList)

 public:
  using CList::CList;
};

class CObList : public CList<CObject*, CObject*> {
  DECLARE_DYNAMIC(CObList)

 public:
  using CList::CList;
};

class CStringList : public CList<CString, const CString&> {
  DECLARE_DYNAMIC(CStringList)

 public:
  using CList::CList;
};

class CMapPtrToPtr : public CMap<void*, void*, void*, void*> {
  DECLARE_DYNAMIC(CMapPtrToPtr)

 public:
  using CMap::CMap;
};

class CMapWordToPtr : public CMap<WORD, WORD, void*, void*> {
  DECLARE_DYNAMIC(CMapWordToPtr)

 public:
  using CMap::CMap;
};

class CMapStringToPtr : public CMap<CString, LPCTSTR, void*, void*> {
  DECLARE_DYNAMIC(CMapStringToPtr)

 public:
  using CMap::CMap;
};

class CMapStringToOb : public CMap<CString, LPCTSTR, CObject*, CObject*> {
  DECLARE_DYNAMIC(CMapStringToOb)

 public:
  using CMap::CMap;
};

class CMapStringToString : public CMap<CString, LPCTSTR, CString, LPCTSTR> {
  DECLARE_DYNAMIC(CMapStringToString)

 public:
  using CMap::CMap;
};
