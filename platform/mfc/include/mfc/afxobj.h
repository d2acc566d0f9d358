#pragma once
// CObject and run-time class information.
#include "mfc/afxdefs.h"

class CObject;

// One record per class that declares itself dynamic. Records of IMPLEMENT_DYNAMIC classes are
// registered while their module loads (and unregistered when it unloads) so FromName finds them.
struct CRuntimeClass {
  LPCSTR m_lpszClassName;
  int m_nObjectSize;
  UINT m_wSchema;
  CObject* (*m_pfnCreateObject)();
  const CRuntimeClass* m_pBaseClass;
  mutable const CRuntimeClass* m_pNextClass;

  // A new object of this class, or NULL when the class is not creatable (no DECLARE_DYNCREATE).
  CObject* CreateObject() const;
  BOOL IsDerivedFrom(const CRuntimeClass* pBaseClass) const;

  // The registered class of that name (case-sensitive), or NULL.
  static CRuntimeClass* PASCAL FromName(LPCSTR lpszClassName);
  static CObject* PASCAL CreateObject(LPCSTR lpszClassName);
};

// Links a class record into the registry for the life of its module.
struct AFX_CLASSINIT {
  explicit AFX_CLASSINIT(const CRuntimeClass* pNewClass);
  ~AFX_CLASSINIT();
  AFX_CLASSINIT(const AFX_CLASSINIT&) = delete;
  AFX_CLASSINIT& operator=(const AFX_CLASSINIT&) = delete;
  const CRuntimeClass* m_pClass;
};

#define RUNTIME_CLASS(class_name) (const_cast<CRuntimeClass*>(&class_name::class##class_name))

#define DECLARE_DYNAMIC(class_name)                    \
 public:                                               \
  static const CRuntimeClass class##class_name;        \
  CRuntimeClass* GetRuntimeClass() const override;

#define DECLARE_DYNCREATE(class_name) \
  DECLARE_DYNAMIC(class_name)         \
  static CObject* PASCAL CreateObject();

#define AFX_IMPLEMENT_RUNTIMECLASS(class_name, base_class_name, wSchema, pfnNew)                    \
  const CRuntimeClass class_name::class##class_name = {#class_name, (int)sizeof(class_name), wSchema, \
                                                       pfnNew, RUNTIME_CLASS(base_class_name), NULL};  \
  static const AFX_CLASSINIT _init_##class_name(RUNTIME_CLASS(class_name));                          \
  CRuntimeClass* class_name::GetRuntimeClass() const { return RUNTIME_CLASS(class_name); }

#define IMPLEMENT_DYNAMIC(class_name, base_class_name) \
  AFX_IMPLEMENT_RUNTIMECLASS(class_name, base_class_name, 0xFFFF, NULL)

#define IMPLEMENT_DYNCREATE(class_name, base_class_name)                       \
  CObject* PASCAL class_name::CreateObject() { return new class_name; }         \
  AFX_IMPLEMENT_RUNTIMECLASS(class_name, base_class_name, 0xFFFF, class_name::CreateObject)

class CObject {
 public:
  static const CRuntimeClass classCObject;

  virtual ~CObject() = default;
  virtual CRuntimeClass* GetRuntimeClass() const;
  BOOL IsKindOf(const CRuntimeClass* pClass) const;
  // Checks the object's invariants in debug builds (through ASSERT_VALID).
  virtual void AssertValid() const;

  CObject(const CObject&) = delete;
  CObject& operator=(const CObject&) = delete;

 protected:
  CObject() = default;
};

// ASSERT_VALID: the pointer is not null and the object's AssertValid passes.
void AfxAssertValidObject(const CObject* pOb, LPCSTR lpszFileName, int nLine);
