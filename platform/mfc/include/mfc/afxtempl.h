#pragma once
// Collection templates: CArray, CList, CMap, and the typed pointer wrappers.
//
// Indexes and positions are checked: an index outside an array, a null position where a node is
// needed, or the head of an empty list throws CInvalidArgException*. An element passed by
// reference may come from the collection itself (arr.Add(arr[0]) is safe while the array grows).
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <new>
#include <type_traits>
#include <utility>

#include "mfc/afxexcept.h"
#include "mfc/afxobj.h"
#include "mfc/afxstr.h"

// Blocks of fixed-size nodes, chained; lists and maps carve their nodes out of them. The header
// keeps the nodes after it aligned for any type.
struct alignas(std::max_align_t) CPlex {
  CPlex* pNext;
  void* data() { return this + 1; }
  // A new block of nMax elements of cbElement bytes, linked at the front of pHead.
  static CPlex* PASCAL Create(CPlex*& pHead, size_t nMax, size_t cbElement);
  // Frees this block and every block after it.
  void FreeDataChain();
};

// Hash of a map key: integers and pointers hash by value, strings by their characters.
template <class ARG_KEY>
inline UINT HashKey(ARG_KEY key) {
  if constexpr (std::is_pointer_v<ARG_KEY>)
    return static_cast<UINT>(reinterpret_cast<DWORD_PTR>(key) >> 4);
  else
    return static_cast<UINT>(static_cast<DWORD_PTR>(key) >> 4);
}
template <>
inline UINT HashKey<LPCTSTR>(LPCTSTR key) {
  UINT nHash = 0;
  while (key && *key) nHash = (nHash << 5) + nHash + static_cast<unsigned char>(*key++);
  return nHash;
}

// ------------------------------------------------------------------------------------------------

template <class TYPE, class ARG_TYPE = const TYPE&>
class CArray : public CObject {
 public:
  CArray() = default;
  ~CArray() override { SetSize(0, -1); }

  INT_PTR GetSize() const { return m_nSize; }
  INT_PTR GetCount() const { return m_nSize; }
  BOOL IsEmpty() const { return m_nSize == 0; }
  INT_PTR GetUpperBound() const { return m_nSize - 1; }

  // New elements are value-initialised (0 for numbers and pointers). When the array must grow it
  // grows by nGrowBy elements at least (0: by an eighth of its size, from 4 to 1024 elements);
  // nGrowBy -1 keeps the current setting. Size 0 frees the memory.
  void SetSize(INT_PTR nNewSize, INT_PTR nGrowBy = -1);
  void FreeExtra();
  void RemoveAll() { SetSize(0, -1); }

  const TYPE& GetAt(INT_PTR nIndex) const { return m_pData[Checked(nIndex)]; }
  TYPE& GetAt(INT_PTR nIndex) { return m_pData[Checked(nIndex)]; }
  void SetAt(INT_PTR nIndex, ARG_TYPE newElement) { m_pData[Checked(nIndex)] = newElement; }
  const TYPE& ElementAt(INT_PTR nIndex) const { return m_pData[Checked(nIndex)]; }
  TYPE& ElementAt(INT_PTR nIndex) { return m_pData[Checked(nIndex)]; }
  const TYPE& operator[](INT_PTR nIndex) const { return GetAt(nIndex); }
  TYPE& operator[](INT_PTR nIndex) { return ElementAt(nIndex); }
  const TYPE* GetData() const { return m_pData; }
  TYPE* GetData() { return m_pData; }

  // Sets the element, growing the array when nIndex is at or past its end.
  void SetAtGrow(INT_PTR nIndex, ARG_TYPE newElement);
  INT_PTR Add(ARG_TYPE newElement) {
    INT_PTR nIndex = m_nSize;
    SetAtGrow(nIndex, newElement);
    return nIndex;
  }
  // Appends the other array's elements; returns the index of the first of them.
  INT_PTR Append(const CArray& src);
  void Copy(const CArray& src);

  // Inserts nCount copies at nIndex (past the end: the array grows to reach it).
  void InsertAt(INT_PTR nIndex, ARG_TYPE newElement, INT_PTR nCount = 1);
  void InsertAt(INT_PTR nStartIndex, CArray* pNewArray);
  void RemoveAt(INT_PTR nIndex, INT_PTR nCount = 1);

 protected:
  INT_PTR Checked(INT_PTR nIndex) const {
    if (nIndex < 0 || nIndex >= m_nSize) AfxThrowInvalidArgException();
    return nIndex;
  }
  void Reallocate(INT_PTR nNewMax);

  TYPE* m_pData = nullptr;
  INT_PTR m_nSize = 0;
  INT_PTR m_nMaxSize = 0;
  INT_PTR m_nGrowBy = 0;
};

template <class TYPE, class ARG_TYPE>
void CArray<TYPE, ARG_TYPE>::Reallocate(INT_PTR nNewMax) {
  if (nNewMax < 0 || static_cast<size_t>(nNewMax) > SIZE_MAX / 2 / sizeof(TYPE)) AfxThrowMemoryException();
  TYPE* pNew = static_cast<TYPE*>(::operator new(nNewMax * sizeof(TYPE), std::nothrow));
  if (!pNew && nNewMax) AfxThrowMemoryException();
  if (m_pData) {
    std::uninitialized_move(m_pData, m_pData + m_nSize, pNew);
    std::destroy(m_pData, m_pData + m_nSize);
    ::operator delete(m_pData);
  }
  m_pData = pNew;
  m_nMaxSize = nNewMax;
}

template <class TYPE, class ARG_TYPE>
void CArray<TYPE, ARG_TYPE>::SetSize(INT_PTR nNewSize, INT_PTR nGrowBy) {
  if (nNewSize < 0) AfxThrowInvalidArgException();
  if (nGrowBy >= 0) m_nGrowBy = nGrowBy;
  if (nNewSize == 0) {
    if (m_pData) {
      std::destroy(m_pData, m_pData + m_nSize);
      ::operator delete(m_pData);
    }
    m_pData = nullptr;
    m_nSize = m_nMaxSize = 0;
    return;
  }
  if (nNewSize > m_nMaxSize) {
    INT_PTR nGrowArrayBy = m_nGrowBy;
    if (nGrowArrayBy == 0) nGrowArrayBy = std::min<INT_PTR>(1024, std::max<INT_PTR>(4, m_nSize / 8));
    INT_PTR nNewMax = m_pData ? std::max(nNewSize, m_nMaxSize + nGrowArrayBy) : std::max(nNewSize, m_nGrowBy);
    Reallocate(nNewMax);
  }
  if (nNewSize > m_nSize) {
    for (INT_PTR i = m_nSize; i < nNewSize; ++i) ::new (static_cast<void*>(m_pData + i)) TYPE();
  } else {
    std::destroy(m_pData + nNewSize, m_pData + m_nSize);
  }
  m_nSize = nNewSize;
}

template <class TYPE, class ARG_TYPE>
void CArray<TYPE, ARG_TYPE>::FreeExtra() {
  if (m_nSize == m_nMaxSize) return;
  if (m_nSize == 0) {
    SetSize(0, -1);
    return;
  }
  Reallocate(m_nSize);
}

template <class TYPE, class ARG_TYPE>
void CArray<TYPE, ARG_TYPE>::SetAtGrow(INT_PTR nIndex, ARG_TYPE newElement) {
  if (nIndex < 0) AfxThrowInvalidArgException();
  if (nIndex >= m_nSize) {
    TYPE copy(newElement);  // newElement may live in the storage that growing replaces
    SetSize(nIndex + 1, -1);
    m_pData[nIndex] = std::move(copy);
  } else {
    m_pData[nIndex] = newElement;
  }
}

template <class TYPE, class ARG_TYPE>
INT_PTR CArray<TYPE, ARG_TYPE>::Append(const CArray& src) {
  INT_PTR nOldSize = m_nSize;
  if (this == &src) {
    CArray copy;
    copy.Copy(src);
    return Append(copy);
  }
  SetSize(m_nSize + src.m_nSize, -1);
  std::copy(src.m_pData, src.m_pData + src.m_nSize, m_pData + nOldSize);
  return nOldSize;
}

template <class TYPE, class ARG_TYPE>
void CArray<TYPE, ARG_TYPE>::Copy(const CArray& src) {
  if (this == &src) return;
  SetSize(src.m_nSize, -1);
  std::copy(src.m_pData, src.m_pData + src.m_nSize, m_pData);
}

template <class TYPE, class ARG_TYPE>
void CArray<TYPE, ARG_TYPE>::InsertAt(INT_PTR nIndex, ARG_TYPE newElement, INT_PTR nCount) {
  if (nIndex < 0 || nCount <= 0) {
    if (nIndex < 0 || nCount < 0) AfxThrowInvalidArgException();
    return;
  }
  TYPE copy(newElement);  // newElement may be an element of this array
  if (nIndex >= m_nSize) {
    SetSize(nIndex + nCount, -1);
  } else {
    INT_PTR nOldSize = m_nSize;
    SetSize(m_nSize + nCount, -1);
    std::move_backward(m_pData + nIndex, m_pData + nOldSize, m_pData + nOldSize + nCount);
  }
  std::fill(m_pData + nIndex, m_pData + nIndex + nCount, copy);
}

template <class TYPE, class ARG_TYPE>
void CArray<TYPE, ARG_TYPE>::InsertAt(INT_PTR nStartIndex, CArray* pNewArray) {
  if (!pNewArray || nStartIndex < 0) AfxThrowInvalidArgException();
  if (pNewArray->m_nSize == 0) return;
  CArray copy;
  copy.Copy(*pNewArray);  // the array may be inserted into itself
  InsertAt(nStartIndex, copy.m_pData[0], copy.m_nSize);
  std::copy(copy.m_pData, copy.m_pData + copy.m_nSize, m_pData + nStartIndex);
}

template <class TYPE, class ARG_TYPE>
void CArray<TYPE, ARG_TYPE>::RemoveAt(INT_PTR nIndex, INT_PTR nCount) {
  if (nIndex < 0 || nCount < 0 || nCount > m_nSize - nIndex) AfxThrowInvalidArgException();
  std::move(m_pData + nIndex + nCount, m_pData + m_nSize, m_pData + nIndex);
  std::destroy(m_pData + m_nSize - nCount, m_pData + m_nSize);
  m_nSize -= nCount;
}

// ------------------------------------------------------------------------------------------------

template <class TYPE, class ARG_TYPE = const TYPE&>
class CList : public CObject {
 protected:
  struct CNode {
    CNode* pNext;
    CNode* pPrev;
    TYPE data;
  };

 public:
  // Nodes are allocated nBlockSize at a time.
  explicit CList(INT_PTR nBlockSize = 10) : m_nBlockSize(nBlockSize > 0 ? nBlockSize : 10) {}
  ~CList() override { RemoveAll(); }

  INT_PTR GetCount() const { return m_nCount; }
  INT_PTR GetSize() const { return m_nCount; }
  BOOL IsEmpty() const { return m_nCount == 0; }

  TYPE& GetHead() { return Checked(m_pNodeHead)->data; }
  const TYPE& GetHead() const { return Checked(m_pNodeHead)->data; }
  TYPE& GetTail() { return Checked(m_pNodeTail)->data; }
  const TYPE& GetTail() const { return Checked(m_pNodeTail)->data; }

  TYPE RemoveHead() {
    CNode* pOld = Checked(m_pNodeHead);
    TYPE value(std::move(pOld->data));
    RemoveAt(reinterpret_cast<POSITION>(pOld));
    return value;
  }
  TYPE RemoveTail() {
    CNode* pOld = Checked(m_pNodeTail);
    TYPE value(std::move(pOld->data));
    RemoveAt(reinterpret_cast<POSITION>(pOld));
    return value;
  }

  POSITION AddHead(ARG_TYPE newElement) { return InsertBefore(GetHeadPosition(), newElement); }
  POSITION AddTail(ARG_TYPE newElement) { return InsertAfter(GetTailPosition(), newElement); }
  void AddHead(CList* pNewList) {
    CList copy;
    copy.AddTail(pNewList);
    for (POSITION pos = copy.GetTailPosition(); pos;) AddHead(copy.GetPrev(pos));
  }
  void AddTail(CList* pNewList) {
    if (!pNewList) AfxThrowInvalidArgException();
    INT_PTR n = pNewList->m_nCount;  // the list may be appended to itself
    POSITION pos = pNewList->GetHeadPosition();
    for (INT_PTR i = 0; i < n; ++i) AddTail(pNewList->GetNext(pos));
  }
  void RemoveAll();

  POSITION GetHeadPosition() const { return reinterpret_cast<POSITION>(m_pNodeHead); }
  POSITION GetTailPosition() const { return reinterpret_cast<POSITION>(m_pNodeTail); }
  // The element at rPosition; rPosition moves to the next (or previous) node, NULL past the end.
  TYPE& GetNext(POSITION& rPosition) {
    CNode* pNode = Node(rPosition);
    rPosition = reinterpret_cast<POSITION>(pNode->pNext);
    return pNode->data;
  }
  const TYPE& GetNext(POSITION& rPosition) const { return const_cast<CList*>(this)->GetNext(rPosition); }
  TYPE& GetPrev(POSITION& rPosition) {
    CNode* pNode = Node(rPosition);
    rPosition = reinterpret_cast<POSITION>(pNode->pPrev);
    return pNode->data;
  }
  const TYPE& GetPrev(POSITION& rPosition) const { return const_cast<CList*>(this)->GetPrev(rPosition); }

  TYPE& GetAt(POSITION position) { return Node(position)->data; }
  const TYPE& GetAt(POSITION position) const { return Node(position)->data; }
  void SetAt(POSITION pos, ARG_TYPE newElement) { Node(pos)->data = newElement; }
  void RemoveAt(POSITION position);

  // NULL inserts at the head (InsertBefore) or the tail (InsertAfter).
  POSITION InsertBefore(POSITION position, ARG_TYPE newElement);
  POSITION InsertAfter(POSITION position, ARG_TYPE newElement);

  // The first position after startAfter (from the head when NULL) whose element equals the value.
  POSITION Find(ARG_TYPE searchValue, POSITION startAfter = NULL) const;
  // The position of the nIndex-th element from the head, NULL outside the list.
  POSITION FindIndex(INT_PTR nIndex) const;

 protected:
  static CNode* Checked(CNode* pNode) {
    if (!pNode) AfxThrowInvalidArgException();
    return pNode;
  }
  static CNode* Node(POSITION position) { return Checked(reinterpret_cast<CNode*>(position)); }
  CNode* NewNode(CNode* pPrev, CNode* pNext, ARG_TYPE value);
  void FreeNode(CNode* pNode);

  CNode* m_pNodeHead = nullptr;
  CNode* m_pNodeTail = nullptr;
  INT_PTR m_nCount = 0;
  CNode* m_pNodeFree = nullptr;
  CPlex* m_pBlocks = nullptr;
  INT_PTR m_nBlockSize;
};

template <class TYPE, class ARG_TYPE>
void CList<TYPE, ARG_TYPE>::RemoveAll() {
  for (CNode* pNode = m_pNodeHead; pNode; pNode = pNode->pNext) std::destroy_at(&pNode->data);
  m_nCount = 0;
  m_pNodeHead = m_pNodeTail = m_pNodeFree = nullptr;
  if (m_pBlocks) m_pBlocks->FreeDataChain();
  m_pBlocks = nullptr;
}

template <class TYPE, class ARG_TYPE>
typename CList<TYPE, ARG_TYPE>::CNode* CList<TYPE, ARG_TYPE>::NewNode(CNode* pPrev, CNode* pNext, ARG_TYPE value) {
  TYPE copy(value);  // value may be an element of a node that changes below
  if (!m_pNodeFree) {
    CPlex* pBlock = CPlex::Create(m_pBlocks, m_nBlockSize, sizeof(CNode));
    CNode* pNode = static_cast<CNode*>(pBlock->data());
    for (INT_PTR i = m_nBlockSize - 1; i >= 0; --i) {
      pNode[i].pNext = m_pNodeFree;
      m_pNodeFree = &pNode[i];
    }
  }
  CNode* pNode = m_pNodeFree;
  m_pNodeFree = m_pNodeFree->pNext;
  pNode->pPrev = pPrev;
  pNode->pNext = pNext;
  ::new (static_cast<void*>(&pNode->data)) TYPE(std::move(copy));
  ++m_nCount;
  return pNode;
}

template <class TYPE, class ARG_TYPE>
void CList<TYPE, ARG_TYPE>::FreeNode(CNode* pNode) {
  std::destroy_at(&pNode->data);
  pNode->pNext = m_pNodeFree;
  m_pNodeFree = pNode;
  if (--m_nCount == 0) RemoveAll();  // give the blocks back
}

template <class TYPE, class ARG_TYPE>
POSITION CList<TYPE, ARG_TYPE>::InsertBefore(POSITION position, ARG_TYPE newElement) {
  if (!position) position = GetHeadPosition();
  CNode* pOld = reinterpret_cast<CNode*>(position);
  if (!pOld) {  // empty list
    m_pNodeHead = m_pNodeTail = NewNode(nullptr, nullptr, newElement);
    return reinterpret_cast<POSITION>(m_pNodeHead);
  }
  CNode* pNew = NewNode(pOld->pPrev, pOld, newElement);
  if (pOld->pPrev)
    pOld->pPrev->pNext = pNew;
  else
    m_pNodeHead = pNew;
  pOld->pPrev = pNew;
  return reinterpret_cast<POSITION>(pNew);
}

template <class TYPE, class ARG_TYPE>
POSITION CList<TYPE, ARG_TYPE>::InsertAfter(POSITION position, ARG_TYPE newElement) {
  if (!position) position = GetTailPosition();
  CNode* pOld = reinterpret_cast<CNode*>(position);
  if (!pOld) {
    m_pNodeHead = m_pNodeTail = NewNode(nullptr, nullptr, newElement);
    return reinterpret_cast<POSITION>(m_pNodeHead);
  }
  CNode* pNew = NewNode(pOld, pOld->pNext, newElement);
  if (pOld->pNext)
    pOld->pNext->pPrev = pNew;
  else
    m_pNodeTail = pNew;
  pOld->pNext = pNew;
  return reinterpret_cast<POSITION>(pNew);
}

template <class TYPE, class ARG_TYPE>
void CList<TYPE, ARG_TYPE>::RemoveAt(POSITION position) {
  CNode* pOld = Node(position);
  if (pOld == m_pNodeHead)
    m_pNodeHead = pOld->pNext;
  else
    pOld->pPrev->pNext = pOld->pNext;
  if (pOld == m_pNodeTail)
    m_pNodeTail = pOld->pPrev;
  else
    pOld->pNext->pPrev = pOld->pPrev;
  FreeNode(pOld);
}

template <class TYPE, class ARG_TYPE>
POSITION CList<TYPE, ARG_TYPE>::Find(ARG_TYPE searchValue, POSITION startAfter) const {
  CNode* pNode = startAfter ? reinterpret_cast<CNode*>(startAfter)->pNext : m_pNodeHead;
  for (; pNode; pNode = pNode->pNext)
    if (pNode->data == searchValue) return reinterpret_cast<POSITION>(pNode);
  return NULL;
}

template <class TYPE, class ARG_TYPE>
POSITION CList<TYPE, ARG_TYPE>::FindIndex(INT_PTR nIndex) const {
  if (nIndex < 0 || nIndex >= m_nCount) return NULL;
  CNode* pNode = m_pNodeHead;
  while (nIndex--) pNode = pNode->pNext;
  return reinterpret_cast<POSITION>(pNode);
}

// ------------------------------------------------------------------------------------------------

template <class KEY, class ARG_KEY, class VALUE, class ARG_VALUE>
class CMap : public CObject {
 protected:
  struct CAssoc {
    CAssoc* pNext;
    UINT nHashValue;
    KEY key;
    VALUE value;
  };

 public:
  // Associations are allocated nBlockSize at a time; the hash table has 17 buckets unless
  // InitHashTable chose another size.
  explicit CMap(INT_PTR nBlockSize = 10) : m_nBlockSize(nBlockSize > 0 ? nBlockSize : 10) {}
  ~CMap() override { RemoveAll(); }

  INT_PTR GetCount() const { return m_nCount; }
  INT_PTR GetSize() const { return m_nCount; }
  BOOL IsEmpty() const { return m_nCount == 0; }

  BOOL Lookup(ARG_KEY key, VALUE& rValue) const {
    CAssoc* pAssoc = GetAssocAt(key, HashKey<ARG_KEY>(key));
    if (!pAssoc) return FALSE;
    rValue = pAssoc->value;
    return TRUE;
  }
  // The value of the key, added value-initialised when the key is new.
  VALUE& operator[](ARG_KEY key);
  void SetAt(ARG_KEY key, ARG_VALUE newValue) { (*this)[key] = newValue; }
  BOOL RemoveKey(ARG_KEY key);
  void RemoveAll();

  // Walks every association once; removing the one just returned keeps the walk valid.
  POSITION GetStartPosition() const { return m_nCount == 0 ? NULL : BEFORE_START_POSITION; }
  void GetNextAssoc(POSITION& rNextPosition, KEY& rKey, VALUE& rValue) const;

  UINT GetHashTableSize() const { return m_nHashTableSize; }
  // Sets the number of buckets (a prime a little above the expected count suits); only while the
  // map is empty, otherwise nothing changes.
  void InitHashTable(UINT hashSize, BOOL bAllocNow = TRUE);

 protected:
  CAssoc* GetAssocAt(ARG_KEY key, UINT nHash) const {
    if (!m_pHashTable) return nullptr;
    for (CAssoc* pAssoc = m_pHashTable[nHash % m_nHashTableSize]; pAssoc; pAssoc = pAssoc->pNext)
      if (pAssoc->nHashValue == nHash && pAssoc->key == key) return pAssoc;
    return nullptr;
  }

  CAssoc** m_pHashTable = nullptr;
  UINT m_nHashTableSize = 17;
  INT_PTR m_nCount = 0;
  CAssoc* m_pFreeList = nullptr;
  CPlex* m_pBlocks = nullptr;
  INT_PTR m_nBlockSize;
};

template <class KEY, class ARG_KEY, class VALUE, class ARG_VALUE>
void CMap<KEY, ARG_KEY, VALUE, ARG_VALUE>::InitHashTable(UINT hashSize, BOOL bAllocNow) {
  if (m_nCount != 0 || hashSize == 0) return;
  delete[] m_pHashTable;
  m_pHashTable = nullptr;
  if (bAllocNow) m_pHashTable = new CAssoc*[hashSize]();
  m_nHashTableSize = hashSize;
}

template <class KEY, class ARG_KEY, class VALUE, class ARG_VALUE>
void CMap<KEY, ARG_KEY, VALUE, ARG_VALUE>::RemoveAll() {
  if (m_pHashTable) {
    for (UINT i = 0; i < m_nHashTableSize; ++i) {
      for (CAssoc* pAssoc = m_pHashTable[i]; pAssoc; pAssoc = pAssoc->pNext) {
        std::destroy_at(&pAssoc->key);
        std::destroy_at(&pAssoc->value);
      }
    }
    delete[] m_pHashTable;
    m_pHashTable = nullptr;
  }
  m_nCount = 0;
  m_pFreeList = nullptr;
  if (m_pBlocks) m_pBlocks->FreeDataChain();
  m_pBlocks = nullptr;
}

template <class KEY, class ARG_KEY, class VALUE, class ARG_VALUE>
VALUE& CMap<KEY, ARG_KEY, VALUE, ARG_VALUE>::operator[](ARG_KEY key) {
  UINT nHash = HashKey<ARG_KEY>(key);
  if (CAssoc* pAssoc = GetAssocAt(key, nHash)) return pAssoc->value;
  if (!m_pHashTable) InitHashTable(m_nHashTableSize, TRUE);
  if (!m_pFreeList) {
    CPlex* pBlock = CPlex::Create(m_pBlocks, m_nBlockSize, sizeof(CAssoc));
    CAssoc* pAssoc = static_cast<CAssoc*>(pBlock->data());
    for (INT_PTR i = m_nBlockSize - 1; i >= 0; --i) {
      pAssoc[i].pNext = m_pFreeList;
      m_pFreeList = &pAssoc[i];
    }
  }
  CAssoc* pAssoc = m_pFreeList;
  ::new (static_cast<void*>(&pAssoc->key)) KEY(key);
  ::new (static_cast<void*>(&pAssoc->value)) VALUE();
  m_pFreeList = m_pFreeList->pNext;
  pAssoc->nHashValue = nHash;
  UINT nBucket = nHash % m_nHashTableSize;
  pAssoc->pNext = m_pHashTable[nBucket];
  m_pHashTable[nBucket] = pAssoc;
  ++m_nCount;
  return pAssoc->value;
}

template <class KEY, class ARG_KEY, class VALUE, class ARG_VALUE>
BOOL CMap<KEY, ARG_KEY, VALUE, ARG_VALUE>::RemoveKey(ARG_KEY key) {
  if (!m_pHashTable) return FALSE;
  UINT nHash = HashKey<ARG_KEY>(key);
  for (CAssoc** ppPrev = &m_pHashTable[nHash % m_nHashTableSize]; *ppPrev; ppPrev = &(*ppPrev)->pNext) {
    CAssoc* pAssoc = *ppPrev;
    if (pAssoc->nHashValue == nHash && pAssoc->key == key) {
      *ppPrev = pAssoc->pNext;
      std::destroy_at(&pAssoc->key);
      std::destroy_at(&pAssoc->value);
      pAssoc->pNext = m_pFreeList;
      m_pFreeList = pAssoc;
      if (--m_nCount == 0) RemoveAll();
      return TRUE;
    }
  }
  return FALSE;
}

template <class KEY, class ARG_KEY, class VALUE, class ARG_VALUE>
void CMap<KEY, ARG_KEY, VALUE, ARG_VALUE>::GetNextAssoc(POSITION& rNextPosition, KEY& rKey, VALUE& rValue) const {
  if (!rNextPosition || !m_pHashTable) AfxThrowInvalidArgException();
  CAssoc* pAssoc = reinterpret_cast<CAssoc*>(rNextPosition);
  if (rNextPosition == BEFORE_START_POSITION) {
    pAssoc = nullptr;
    for (UINT i = 0; i < m_nHashTableSize && !pAssoc; ++i) pAssoc = m_pHashTable[i];
    if (!pAssoc) AfxThrowInvalidArgException();
  }
  CAssoc* pNext = pAssoc->pNext;
  for (UINT i = pAssoc->nHashValue % m_nHashTableSize + 1; !pNext && i < m_nHashTableSize; ++i)
    pNext = m_pHashTable[i];
  rNextPosition = reinterpret_cast<POSITION>(pNext);
  rKey = pAssoc->key;
  rValue = pAssoc->value;
}

// ------------------------------------------------------------------------------------------------

// An array of pointers of one type over CPtrArray or CObArray.
template <class BASE_CLASS, class TYPE>
class CTypedPtrArray : public BASE_CLASS {
 public:
  TYPE GetAt(INT_PTR nIndex) const { return static_cast<TYPE>(BASE_CLASS::GetAt(nIndex)); }
  TYPE& ElementAt(INT_PTR nIndex) { return reinterpret_cast<TYPE&>(BASE_CLASS::ElementAt(nIndex)); }
  void SetAt(INT_PTR nIndex, TYPE ptr) { BASE_CLASS::SetAt(nIndex, ptr); }
  void SetAtGrow(INT_PTR nIndex, TYPE newElement) { BASE_CLASS::SetAtGrow(nIndex, newElement); }
  INT_PTR Add(TYPE newElement) { return BASE_CLASS::Add(newElement); }
  INT_PTR Append(const CTypedPtrArray& src) { return BASE_CLASS::Append(src); }
  void Copy(const CTypedPtrArray& src) { BASE_CLASS::Copy(src); }
  void InsertAt(INT_PTR nIndex, TYPE newElement, INT_PTR nCount = 1) { BASE_CLASS::InsertAt(nIndex, newElement, nCount); }
  void InsertAt(INT_PTR nStartIndex, CTypedPtrArray* pNewArray) { BASE_CLASS::InsertAt(nStartIndex, pNewArray); }
  TYPE* GetData() { return reinterpret_cast<TYPE*>(BASE_CLASS::GetData()); }
  TYPE operator[](INT_PTR nIndex) const { return GetAt(nIndex); }
  TYPE& operator[](INT_PTR nIndex) { return ElementAt(nIndex); }
};

// A list of pointers of one type over CPtrList or CObList.
template <class BASE_CLASS, class TYPE>
class CTypedPtrList : public BASE_CLASS {
 public:
  explicit CTypedPtrList(INT_PTR nBlockSize = 10) : BASE_CLASS(nBlockSize) {}

  TYPE& GetHead() { return reinterpret_cast<TYPE&>(BASE_CLASS::GetHead()); }
  TYPE GetHead() const { return static_cast<TYPE>(BASE_CLASS::GetHead()); }
  TYPE& GetTail() { return reinterpret_cast<TYPE&>(BASE_CLASS::GetTail()); }
  TYPE GetTail() const { return static_cast<TYPE>(BASE_CLASS::GetTail()); }
  TYPE RemoveHead() { return static_cast<TYPE>(BASE_CLASS::RemoveHead()); }
  TYPE RemoveTail() { return static_cast<TYPE>(BASE_CLASS::RemoveTail()); }
  POSITION AddHead(TYPE newElement) { return BASE_CLASS::AddHead(newElement); }
  POSITION AddTail(TYPE newElement) { return BASE_CLASS::AddTail(newElement); }
  void AddHead(CTypedPtrList* pNewList) { BASE_CLASS::AddHead(pNewList); }
  void AddTail(CTypedPtrList* pNewList) { BASE_CLASS::AddTail(pNewList); }
  TYPE& GetNext(POSITION& rPosition) { return reinterpret_cast<TYPE&>(BASE_CLASS::GetNext(rPosition)); }
  TYPE GetNext(POSITION& rPosition) const { return static_cast<TYPE>(BASE_CLASS::GetNext(rPosition)); }
  TYPE& GetPrev(POSITION& rPosition) { return reinterpret_cast<TYPE&>(BASE_CLASS::GetPrev(rPosition)); }
  TYPE GetPrev(POSITION& rPosition) const { return static_cast<TYPE>(BASE_CLASS::GetPrev(rPosition)); }
  TYPE& GetAt(POSITION position) { return reinterpret_cast<TYPE&>(BASE_CLASS::GetAt(position)); }
  TYPE GetAt(POSITION position) const { return static_cast<TYPE>(BASE_CLASS::GetAt(position)); }
  void SetAt(POSITION pos, TYPE newElement) { BASE_CLASS::SetAt(pos, newElement); }
  POSITION InsertBefore(POSITION position, TYPE newElement) { return BASE_CLASS::InsertBefore(position, newElement); }
  POSITION InsertAfter(POSITION position, TYPE newElement) { return BASE_CLASS::InsertAfter(position, newElement); }
};
