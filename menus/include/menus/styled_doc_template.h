#pragma once
// A multiple-document template whose shared menu is a styled menu, with the icons of the toolbar
// of the same resource id.
#include "menus/styled_menu.h"
#include "mfc/afxframe.h"

class CStyledMultiDocTemplate : public CMultiDocTemplate {
  DECLARE_DYNAMIC(CStyledMultiDocTemplate)
 public:
  CStyledMultiDocTemplate(UINT nIDResource, CRuntimeClass* pDocClass, CRuntimeClass* pFrameClass,
                          CRuntimeClass* pViewClass);
  // The shared menu is destroyed once, by the styled menu that holds it.
  ~CStyledMultiDocTemplate() override;

 private:
  CStyledMenu sharedMenu_;
};
