#pragma once
// An item of the Windows Media profile collection.
#include "control/tessary_type_library.h"
#include "mfc/afxdisp_ctl.h"

class CWMVProfile : public CCmdTarget {
 public:
  CWMVProfile(LPCTSTR name, LPCTSTR description, REFGUID profileId, BOOL audioOnly);

  const CString& Name() const { return m_name; }
  const CString& Description() const { return m_description; }
  const GUID& ProfileId() const { return m_profileId; }
  BOOL IsAudioOnly() const { return m_audioOnly; }
  HRESULT GetTypeLib(LCID lcid, LPTYPELIB* library) { return GetTessaryTypeLib(lcid, library); }

 private:
  BSTR GetName() { return m_name.AllocSysString(); }
  BSTR GetDescription() { return m_description.AllocSysString(); }

  CString m_name;
  CString m_description;
  GUID m_profileId;
  BOOL m_audioOnly;

  DECLARE_DISPATCH_MAP()
};
