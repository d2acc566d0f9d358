#pragma once
// An item of the Windows Media profile collection.
#include "mfc/afxdisp_ctl.h"

class CWMVProfile : public CCmdTarget {
 public:
  CWMVProfile(LPCTSTR name, LPCTSTR description, REFGUID profileId, BOOL audioOnly);

  const CString& Name() const { return m_name; }
  const CString& Description() const { return m_description; }
  const GUID& ProfileId() const { return m_profileId; }
  BOOL IsAudioOnly() const { return m_audioOnly; }

 private:
  BSTR GetName() { return m_name.AllocSysString(); }
  BSTR GetDescription() { return m_description.AllocSysString(); }

  CString m_name;
  CString m_description;
  GUID m_profileId;
  BOOL m_audioOnly;

  DECLARE_DISPATCH_MAP()
};
