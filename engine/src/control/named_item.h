#pragma once
// An item of the compressor, transition and effect collections: a name (and for transitions and
// effects a class identifier), published through the dispinterface of its kind.
#include "mfc/afxdisp_ctl.h"

class CNamedItem : public CCmdTarget {
 public:
  CNamedItem(REFIID iidDispatch, LPCTSTR name, REFCLSID clsid = GUID_NULL);

  const CString& Name() const { return m_name; }
  const CLSID& ClassId() const { return m_clsid; }

 private:
  BSTR GetName() { return m_name.AllocSysString(); }

  CString m_name;
  CLSID m_clsid;

  DECLARE_DISPATCH_MAP()
};
