#pragma once
// An item of the compressor, transition and effect collections: a name (and for transitions and
// effects a class identifier), published through the dispinterface of its kind.
#include "control/tessary_type_library.h"
#include "engine/tessary_ids.h"
#include "mfc/afxdisp_ctl.h"

class CNamedItem : public CCmdTarget {
 public:
  const CString& Name() const { return m_name; }
  const CLSID& ClassId() const { return m_clsid; }
  HRESULT GetTypeLib(LCID lcid, LPTYPELIB* library) { return GetTessaryTypeLib(lcid, library); }

 protected:
  CNamedItem(REFIID iidDispatch, LPCTSTR name, REFCLSID clsid = GUID_NULL);

 private:
  BSTR GetName() { return m_name.AllocSysString(); }

  CString m_name;
  CLSID m_clsid;

  DECLARE_DISPATCH_MAP()
};

// The kinds share everything but their dispinterface.
class CAudioCompressor : public CNamedItem {
 public:
  explicit CAudioCompressor(LPCTSTR name) : CNamedItem(IID_IAudioCompressor, name) {}
};

class CVideoCompressor : public CNamedItem {
 public:
  explicit CVideoCompressor(LPCTSTR name) : CNamedItem(IID_IVideoCompressor, name) {}
};

class CTransition : public CNamedItem {
 public:
  CTransition(LPCTSTR name, REFCLSID clsid) : CNamedItem(IID_ITransition, name, clsid) {}
};

class CEffect : public CNamedItem {
 public:
  CEffect(LPCTSTR name, REFCLSID clsid) : CNamedItem(IID_IEffect, name, clsid) {}
};
