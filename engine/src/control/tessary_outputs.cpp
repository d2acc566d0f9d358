// The RealMedia audience list.
#include "control/tessary_ctrl.h"
#include "conversion/real_media_writer_stage.h"

void CTessaryCtrl::LoadRmProfiles() { AppendRealMediaAudiences(settings_.rmDllPath, rmProfileNames_); }

BSTR CTessaryCtrl::GetRMProfileName(short iIndex) {
  if (iIndex < 0 || size_t(iIndex) >= rmProfileNames_.size()) return CString().AllocSysString();
  return rmProfileNames_[size_t(iIndex)].AllocSysString();
}
