#pragma once
// The base of every skinned window: a frameless dialog shaped by its skin's background and key
// colour, painted from the background, dragged by its body, with a right-click menu of
// "Options" and the installed skins. It owns the skin and the element controls built from it,
// and turns their reports into calls by element name that derived dialogs override.
#include <memory>
#include <vector>

#include "mfc/afxwnd.h"
#include "skin/bitmap_static.h"
#include "skin/label.h"
#include "skin/skin_button.h"
#include "skin/skin_combo_box.h"
#include "skin/skin_edit.h"
#include "skin/skin_host.h"
#include "skin/skin_list_box.h"
#include "skin/skin_model.h"
#include "skin/skin_slider.h"

// The right-click menu's commands.
inline constexpr UINT kSkinOptionsCommand = 32769;
inline constexpr UINT kSkinMenuSeparator = 32770;
inline constexpr UINT kFirstSkinCommand = 32771;
// Commands of skins beyond the 26th appear in the menu but choose nothing.
inline constexpr UINT kLastSkinCommand = 32796;

class CSkinDialog : public CDialog, public CSkinHost {
  DECLARE_DYNAMIC(CSkinDialog)
 public:
  CSkinDialog();
  CSkinDialog(UINT nIDTemplate, CWnd* pParentWnd);
  CSkinDialog(LPCTSTR lpszTemplateName, CWnd* pParentWnd);
  ~CSkinDialog() override;

  // The installed skins' names (packages without ".skn"), in menu order.
  std::vector<CString>& SkinNames() { return skinNames_; }
  // The selected skin's menu position: its index in SkinNames plus 2.
  int SelectedSkin() const { return selectedSkin_; }
  void SetSelectedSkin(int menuPosition) { selectedSkin_ = menuPosition; }

  // Loads the package <program folder>\<skinName>.skn and builds this window's face from it;
  // false, keeping the current face, when the package does not load.
  bool LoadSkinPackage(LPCSTR skinName);
  // Releases the current face and builds the new one: shape, background, elements.
  virtual void ApplySkin(SkinModel skin);
  // Destroys the elements and the skin's pictures. The window keeps its last shape.
  virtual void ReleaseSkin();
  // Cuts the window's shape from the background and its key colour again.
  virtual void UpdateRegion();

  CSkinButton* FindButton(LPCSTR name);
  CSkinSlider* FindSlider(LPCSTR name);
  CLabel* FindLabel(LPCSTR name);
  // The slider of that name moves to position and repaints; none, nothing happens.
  void SetSliderPos(LPCSTR name, int position);
  // That slider's position; 0 when there is none.
  int GetSliderPos(LPCSTR name);
  void EnableButton(LPCSTR name, BOOL enable);
  void CheckButton(LPCSTR name, BOOL checked);
  void SetButtonToolTip(LPCSTR name, LPCSTR text);
  BOOL GetButtonCheck(LPCSTR name);
  // "hh:mm:ss", held within 0 and 99:59:59.
  static CString FormatHms(int seconds);

  const SkinModel& Skin() const { return skin_; }
  CLabel* CaptionLabel() { return captionLabel_.get(); }

  // What the elements report.
  CDC* BackgroundDC() override;
  void OnButtonCommand(int index) override;
  void OnOptionCommand(int index) override;
  void OnSliderCommand(int index, int position) override;
  // A hook as well: nothing here.
  void OnListDblClk(int index) override;

  BOOL PreTranslateMessage(MSG* pMsg) override;
  BOOL OnInitDialog() override;

 protected:
  // Hooks for derived dialogs.
  virtual void OnSkinButton(CString name);
  virtual void OnSkinOption(CString name);
  virtual void OnSkinSlider(CString name, int position);
  virtual void OnSkinMouseMove(CString name, int x, int y);
  virtual void OnSkinLoaded(UINT commandId);
  virtual void OnSkinChanging();
  virtual void OnOptions();
  // Which face of a package this window shows.
  virtual SkinFaceKind FaceKind() const { return SkinFaceKind::Main; }

  // One function per kind of element, each building that kind's controls from the skin.
  void CreateButtons();
  void CreateSliders();
  void CreateOptions();
  void CreateCaption();
  void CreateLabels();
  void CreateEditBoxes();
  void CreateListBoxes();
  void CreateComboBoxes();
  void CreateProgressBars();
  // "LABEL_TIME" shows "SLIDER_PROGRESS"'s position and range as hh:mm:ss/hh:mm:ss.
  void ShowSliderTime();

  afx_msg void OnPaint();
  afx_msg void OnLButtonDown(UINT nFlags, CPoint point);
  afx_msg void OnMouseMove(UINT nFlags, CPoint point);
  afx_msg void OnRButtonUp(UINT nFlags, CPoint point);
  afx_msg void OnSkinCommand(UINT commandId);
  afx_msg void OnOptionsCommand();

  std::vector<std::unique_ptr<CSkinButton>> buttons_;
  std::vector<std::unique_ptr<CSkinSlider>> sliders_;
  std::vector<std::unique_ptr<CColorFontEdit>> editBoxes_;
  std::vector<std::unique_ptr<CSkinListBoxCtrl>> listBoxes_;
  std::vector<std::unique_ptr<CLabel>> labels_;
  std::vector<std::unique_ptr<CSkinOptionButton>> options_;
  std::vector<std::unique_ptr<CBitmapStatic>> progressBars_;
  std::vector<std::unique_ptr<CSkinComboBox>> comboBoxes_;
  // Each combo box's drop-down button, at the same position as its combo box.
  std::vector<std::unique_ptr<CSkinCommandButton>> comboButtons_;
  std::unique_ptr<CLabel> captionLabel_;
  SkinModel skin_;

  DECLARE_MESSAGE_MAP()

 private:
  // Passes a mouse move over the dialog on to bar, in the bar's coordinates.
  void ForwardMouseMove(CSkinScrollBar& bar, UINT nFlags, CPoint point);
  void PaintBackground();
  void ReleaseBackgroundDC();

  std::vector<CString> skinNames_;
  int selectedSkin_ = 0;
  CDC backgroundDC_;
  CBitmap backgroundDCBitmap_;
  HGDIOBJ replacedBitmap_ = nullptr;
};
