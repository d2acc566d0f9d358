#pragma once
// A push button that shows a colour and drops down a palette of named colours to choose from,
// with "Automatic" for the default colour and "More Colors..." for the colour dialog. It looks
// like a push button with an arrow, or like a combo box with a swatch and the colour's name.
// The parent hears of every step through the CPN_ messages (second parameter: the control id).
#include <string>

#include "mfc/afxdlg.h"
#include "mfc/afxwin.h"
#include "mfc/afxwnd.h"
#include "skin/colour_palette_wnd.h"
#include "skin/colour_table.h"
#include "skin/theme_api.h"

class CColourPicker : public CButton {
  DECLARE_DYNCREATE(CColourPicker)
 public:
  CColourPicker();
  ~CColourPicker() override;

  // The colour, with CLR_DEFAULT given as the default colour when resolveAutomatic is set.
  virtual COLORREF GetColour(BOOL resolveAutomatic) const;
  virtual COLORREF GetColour() const { return colour_; }
  virtual void SetColour(COLORREF colour);
  virtual COLORREF GetDefaultColour() const { return defaultColour_; }
  virtual void SetDefaultColour(COLORREF colour);
  virtual void SetCustomText(LPCTSTR text);
  virtual void SetDefaultText(LPCTSTR text);
  virtual void SetRegistrySection(LPCTSTR section);
  virtual void SetTrackSelection(BOOL track) { trackSelection_ = track; }
  virtual BOOL GetTrackSelection() const { return trackSelection_; }
  virtual void SetComboStyle(BOOL comboStyle);
  virtual BOOL GetComboStyle() const { return comboStyle_; }
  // At least three letters are kept (blank-padded): red's, green's and blue's.
  virtual void SetRgbLetters(LPCTSTR letters);
  virtual void SetShowColourName(BOOL show);
  virtual BOOL GetShowColourName() const { return showColourName_; }
  virtual void DrawHotDropButton(BOOL hot);

  // The section for pickers whose own section is empty.
  static void SetDefaultRegistrySection(LPCTSTR section);

  BOOL IsPopupOpen() const { return popupOpen_; }
  // The text the combo look shows for the colour.
  CString ColourText() const;

  void DrawItem(LPDRAWITEMSTRUCT lpDrawItemStruct) override;

 protected:
  void PreSubclassWindow() override;
  BOOL OnChildNotify(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* pResult) override;
  LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;
  // Creates the palette; FALSE when it cannot be shown.
  virtual BOOL CreatePalette(CPoint topLeft, int buttonTop, const std::string& section);

 private:
  void OpenPalette();
  void NotifyParent(UINT message, COLORREF colour);
  void OpenThemes();
  void RepaintIfShown();
  void DrawArrow(CDC& dc, CRect& rect, BOOL disabled);

  COLORREF colour_ = CLR_DEFAULT;
  COLORREF defaultColour_;
  std::string defaultText_ = "Automatic";
  std::string customText_ = "More Colors...";
  BOOL popupOpen_ = FALSE;
  BOOL trackSelection_ = FALSE;
  BOOL mouseOver_ = FALSE;
  BOOL flatMenus_ = FALSE;
  BOOL comboStyle_ = FALSE;
  BOOL showColourName_ = FALSE;
  std::string rgbLetters_ = "RGB";
  std::string registrySection_;
  CThemeHandle buttonTheme_;
  CThemeHandle editTheme_;
  CThemeHandle comboTheme_;
};

// Moves the colour between a dialog member and the picker of that id.
void DDX_ColourPicker(CDataExchange* pDX, int nIDC, COLORREF& colour);
