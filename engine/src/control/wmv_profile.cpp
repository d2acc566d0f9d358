#include "control/wmv_profile.h"

#include "engine/tessary_ids.h"

CWMVProfile::CWMVProfile(LPCTSTR name, LPCTSTR description, REFGUID profileId, BOOL audioOnly)
    : m_name(name), m_description(description), m_profileId(profileId), m_audioOnly(audioOnly) {
  EnableAutomation();
  mfc::disp::SetDispatchIID(this, IID_IWMVProfile);
}

BEGIN_DISPATCH_MAP(CWMVProfile, CCmdTarget)
  DISP_PROPERTY_EX_ID(CWMVProfile, "Name", dispidItemName, GetName, SetNotSupported, VT_BSTR)
  DISP_PROPERTY_EX_ID(CWMVProfile, "Description", dispidWMVProfileDescription, GetDescription, SetNotSupported,
                      VT_BSTR)
END_DISPATCH_MAP()
