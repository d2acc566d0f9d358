#pragma once
// The control's property page: the caption "General" and no fields.
#include "mfc/afxctl.h"

class CTessaryPropPage : public COlePropertyPage {
  DECLARE_DYNCREATE(CTessaryPropPage)
  DECLARE_OLECREATE_EX(CTessaryPropPage)

 public:
  CTessaryPropPage();

 protected:
  void DoDataExchange(CDataExchange* pDX) override;
};
