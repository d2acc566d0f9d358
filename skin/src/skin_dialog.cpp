#include "skin/skin_dialog.h"

#include <algorithm>

#include "menus/styled_menu.h"
#include "skin/skin_package.h"
#include "skin/skin_region.h"

namespace {
// The right-click menu's look.
constexpr int kSkinMenuStyle = CStyledMenu::STYLE_XP_GRADIENT;
constexpr int kMaxHms = 99 * 3600 + 59 * 60 + 59;

template <class Element>
Element* FindByName(const std::vector<std::unique_ptr<Element>>& elements, LPCSTR name) {
  for (const auto& element : elements)
    if (element->Name() == name) return element.get();
  return nullptr;
}

template <class Element>
void DestroyAll(std::vector<std::unique_ptr<Element>>& elements) {
  for (auto& element : elements)
    if (element->m_hWnd) element->DestroyWindow();
  elements.clear();
}
}  // namespace

IMPLEMENT_DYNAMIC(CSkinDialog, CDialog)

BEGIN_MESSAGE_MAP(CSkinDialog, CDialog)
  ON_WM_PAINT()
  ON_WM_LBUTTONDOWN()
  ON_WM_MOUSEMOVE()
  ON_WM_RBUTTONUP()
  ON_COMMAND_RANGE(kFirstSkinCommand, kLastSkinCommand, OnSkinCommand)
  ON_COMMAND(kSkinOptionsCommand, OnOptionsCommand)
END_MESSAGE_MAP()

CSkinDialog::CSkinDialog() = default;
CSkinDialog::CSkinDialog(UINT nIDTemplate, CWnd* pParentWnd) : CDialog(nIDTemplate, pParentWnd) {}
CSkinDialog::CSkinDialog(LPCTSTR lpszTemplateName, CWnd* pParentWnd) : CDialog(lpszTemplateName, pParentWnd) {}

CSkinDialog::~CSkinDialog() { ReleaseSkin(); }

bool CSkinDialog::LoadSkinPackage(LPCSTR skinName) {
  std::optional<SkinModel> skin = ::LoadSkinPackage(SkinPackagePath(skinName), FaceKind(), skin_.transparentColour);
  if (!skin) return false;
  ApplySkin(std::move(*skin));
  return true;
}

void CSkinDialog::ApplySkin(SkinModel skin) {
  ReleaseSkin();
  skin_ = std::move(skin);
  if (!m_hWnd) return;
  // A skin without a shape of its own leaves the whole window rectangle.
  ::SetWindowRgn(m_hWnd, skin_.region.Detach(), TRUE);
  PaintBackground();
  CreateButtons();
  CreateSliders();
  CreateOptions();
  CreateCaption();
  CreateLabels();
  CreateEditBoxes();
  CreateListBoxes();
  CreateComboBoxes();
  CreateProgressBars();
  ShowSliderTime();
  // The new face is painted now, children after it: text the owner sets from here on (an edit
  // shows a change at once) is drawn over the face, not covered by it later.
  RedrawWindow(nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW);
}

void CSkinDialog::CreateButtons() {
  for (const SkinButtonInfo& info : skin_.buttons) {
    auto button = std::make_unique<CSkinButton>();
    if (button->CreateFromSkin(info, skin_.transparentColour, this)) buttons_.push_back(std::move(button));
  }
}

void CSkinDialog::CreateSliders() {
  for (SkinSliderInfo& info : skin_.sliders) {
    auto slider = std::make_unique<CSkinSlider>();
    if (slider->CreateFromSkin(info, skin_.transparentColour, this)) sliders_.push_back(std::move(slider));
  }
}

void CSkinDialog::CreateEditBoxes() {
  for (const SkinEditBoxInfo& info : skin_.editBoxes) {
    auto edit = std::make_unique<CColorFontEdit>();
    if (edit->CreateFromSkin(info, this)) editBoxes_.push_back(std::move(edit));
  }
}

void CSkinDialog::CreateListBoxes() {
  for (SkinListBoxInfo& info : skin_.listBoxes) {
    auto list = std::make_unique<CSkinListBoxCtrl>();
    if (list->CreateFromSkin(info, this)) listBoxes_.push_back(std::move(list));
  }
}

void CSkinDialog::CreateComboBoxes() {
  for (SkinComboBoxInfo& info : skin_.comboBoxes) {
    auto combo = std::make_unique<CSkinComboBox>();
    if (!combo->CreateFromSkin(info, this)) continue;
    auto button = std::make_unique<CSkinCommandButton>();
    if (!button->CreateForCombo(*combo, info.buttonStrip.Get(), skin_.transparentColour, this)) continue;
    comboBoxes_.push_back(std::move(combo));
    comboButtons_.push_back(std::move(button));
  }
}

void CSkinDialog::ShowSliderTime() {
  CSkinSlider* slider = FindSlider("SLIDER_PROGRESS");
  CLabel* label = FindLabel("LABEL_TIME");
  if (!slider || !label) return;
  label->SetText(FormatHms(slider->GetPos()) + "/" + FormatHms(slider->GetRangeMax()));
}

void CSkinDialog::CreateOptions() {
  for (const SkinOptionInfo& info : skin_.options) {
    auto option = std::make_unique<CSkinOptionButton>();
    if (option->CreateFromSkin(info, skin_.transparentColour, this)) options_.push_back(std::move(option));
  }
}

void CSkinDialog::CreateLabels() {
  for (const SkinLabelInfo& info : skin_.labels) {
    auto label = std::make_unique<CLabel>();
    if (label->CreateFromSkin(info, this)) labels_.push_back(std::move(label));
  }
}

void CSkinDialog::CreateCaption() {
  if (!skin_.caption) return;
  captionLabel_ = std::make_unique<CLabel>();
  if (!captionLabel_->CreateFromSkin(*skin_.caption, this)) captionLabel_.reset();
}

void CSkinDialog::CreateProgressBars() {
  for (const SkinProgressInfo& info : skin_.progressBars) {
    auto bar = std::make_unique<CBitmapStatic>();
    if (bar->CreateFromSkin(info, skin_.transparentColour, this)) progressBars_.push_back(std::move(bar));
  }
}

void CSkinDialog::ReleaseSkin() {
  DestroyAll(buttons_);
  DestroyAll(editBoxes_);
  DestroyAll(listBoxes_);
  DestroyAll(options_);
  DestroyAll(progressBars_);
  DestroyAll(labels_);
  if (captionLabel_ && captionLabel_->m_hWnd) captionLabel_->DestroyWindow();
  captionLabel_.reset();
  DestroyAll(sliders_);
  // A combo box's parts first, then the combo box.
  DestroyAll(comboButtons_);
  DestroyAll(comboBoxes_);
  ReleaseBackgroundDC();
  // The pictures, the icon and the unused shape go with the model.
  skin_ = SkinModel{};
}

void CSkinDialog::PaintBackground() {
  if (skin_.background.IsEmpty()) return;
  CClientDC windowDC(this);
  backgroundDC_.CreateCompatibleDC(&windowDC);
  backgroundDCBitmap_.CreateCompatibleBitmap(&windowDC, skin_.background.Width(), skin_.background.Height());
  replacedBitmap_ = ::SelectObject(backgroundDC_.GetSafeHdc(), backgroundDCBitmap_.GetSafeHandle());
  HDC picture = ::CreateCompatibleDC(windowDC.GetSafeHdc());
  HGDIOBJ old = ::SelectObject(picture, skin_.background.Get());
  ::BitBlt(backgroundDC_.GetSafeHdc(), 0, 0, skin_.background.Width(), skin_.background.Height(), picture, 0, 0,
           SRCCOPY);
  ::SelectObject(picture, old);
  ::DeleteDC(picture);
}

void CSkinDialog::ReleaseBackgroundDC() {
  if (replacedBitmap_) ::SelectObject(backgroundDC_.GetSafeHdc(), replacedBitmap_);
  replacedBitmap_ = nullptr;
  backgroundDC_.DeleteDC();
  backgroundDCBitmap_.DeleteObject();
}

CDC* CSkinDialog::BackgroundDC() { return backgroundDC_.GetSafeHdc() ? &backgroundDC_ : nullptr; }

void CSkinDialog::UpdateRegion() {
  if (!m_hWnd || skin_.background.IsEmpty()) return;
  bool keyed = false;
  HRGN region = CreateSkinRegion(skin_.background.Get(), skin_.transparentColour, &keyed);
  ::SetWindowRgn(m_hWnd, region, TRUE);
  if (keyed) Invalidate();
}

CSkinButton* CSkinDialog::FindButton(LPCSTR name) { return FindByName(buttons_, name); }
CLabel* CSkinDialog::FindLabel(LPCSTR name) { return FindByName(labels_, name); }

CSkinSlider* CSkinDialog::FindSlider(LPCSTR name) {
  for (const auto& slider : sliders_)
    if (slider->GetName() == name) return slider.get();
  return nullptr;
}

void CSkinDialog::SetSliderPos(LPCSTR name, int position) {
  if (CSkinSlider* slider = FindSlider(name)) slider->SetPos(position);
}

int CSkinDialog::GetSliderPos(LPCSTR name) {
  CSkinSlider* slider = FindSlider(name);
  return slider ? slider->GetPos() : 0;
}

void CSkinDialog::EnableButton(LPCSTR name, BOOL enable) {
  if (CSkinButton* button = FindButton(name)) button->EnableWindow(enable);
}

void CSkinDialog::CheckButton(LPCSTR name, BOOL checked) {
  if (CSkinButton* button = FindButton(name)) button->SetCheck(checked);
}

void CSkinDialog::SetButtonToolTip(LPCSTR name, LPCSTR text) {
  if (CSkinButton* button = FindButton(name)) button->SetToolTipText(text, TRUE);
}

BOOL CSkinDialog::GetButtonCheck(LPCSTR name) {
  CSkinButton* button = FindButton(name);
  return button ? button->IsChecked() : FALSE;
}

CString CSkinDialog::FormatHms(int seconds) {
  seconds = std::clamp(seconds, 0, kMaxHms);
  CString text;
  text.Format("%02d:%02d:%02d", seconds / 3600, seconds / 60 % 60, seconds % 60);
  return text;
}

void CSkinDialog::OnButtonCommand(int index) {
  if (index >= 0 && index < static_cast<int>(buttons_.size())) OnSkinButton(buttons_[index]->Name());
}

void CSkinDialog::OnOptionCommand(int index) {
  if (index < 0 || index >= static_cast<int>(options_.size())) return;
  OnSkinOption(options_[index]->Name());
  // The options are one radio group. The hook may have changed the skin: look again.
  for (int i = 0; i < static_cast<int>(options_.size()); ++i)
    if (i != index) options_[i]->SetCheck(FALSE);
}

void CSkinDialog::OnSliderCommand(int index, int position) {
  if (index >= 0 && index < static_cast<int>(sliders_.size())) OnSkinSlider(sliders_[index]->GetName(), position);
}

void CSkinDialog::OnListDblClk(int) {}
void CSkinDialog::OnSkinSlider(CString, int) {}
void CSkinDialog::OnSkinButton(CString) {}
void CSkinDialog::OnSkinOption(CString) {}
void CSkinDialog::OnSkinMouseMove(CString, int, int) {}
void CSkinDialog::OnSkinLoaded(UINT) {}
void CSkinDialog::OnSkinChanging() {}
void CSkinDialog::OnOptions() {}

BOOL CSkinDialog::PreTranslateMessage(MSG* pMsg) {
  // Neither key closes a skinned dialog or presses a default button.
  if (pMsg->message == WM_KEYDOWN && (pMsg->wParam == VK_ESCAPE || pMsg->wParam == VK_RETURN)) return TRUE;
  return CDialog::PreTranslateMessage(pMsg);
}

BOOL CSkinDialog::OnInitDialog() {
  CDialog::OnInitDialog();
  return TRUE;
}

void CSkinDialog::OnPaint() {
  CPaintDC dc(this);
  CRect client;
  GetClientRect(&client);
  HDC picture = ::CreateCompatibleDC(dc.GetSafeHdc());
  if (!skin_.background.IsEmpty()) {
    HGDIOBJ old = ::SelectObject(picture, skin_.background.Get());
    ::BitBlt(dc.GetSafeHdc(), 0, 0, client.Width(), client.Height(), picture, 0, 0, SRCCOPY);
    ::SelectObject(picture, old);
  }
  if (!skin_.icon.IsEmpty() && skin_.iconRect) {
    const CRect& at = *skin_.iconRect;
    HGDIOBJ old = ::SelectObject(picture, skin_.icon.Get());
    ::TransparentBlt(dc.GetSafeHdc(), at.left, at.top, at.Width(), at.Height(), picture, 0, 0, at.Width(),
                     at.Height(), skin_.transparentColour);
    ::SelectObject(picture, old);
  }
  ::DeleteDC(picture);
  // Labels and options repaint by themselves; these draw over what lies behind them.
  for (auto& button : buttons_) button->Invalidate(FALSE);
  for (auto& edit : editBoxes_) edit->Invalidate(FALSE);
  for (auto& list : listBoxes_) list->Invalidate(FALSE);
  for (auto& bar : progressBars_) bar->Invalidate(FALSE);
  for (auto& slider : sliders_) slider->Invalidate(FALSE);
  for (auto& combo : comboBoxes_) combo->Invalidate(FALSE);
  for (auto& button : comboButtons_) button->Invalidate(FALSE);
}

void CSkinDialog::OnLButtonDown(UINT nFlags, CPoint point) {
  // A press on the body moves the window as a caption would.
  PostMessage(WM_NCLBUTTONDOWN, HTCAPTION, MAKELPARAM(point.x, point.y));
  CDialog::OnLButtonDown(nFlags, point);
}

void CSkinDialog::OnMouseMove(UINT nFlags, CPoint point) {
  // An open drop list closes once the mouse leaves its combo box; each combo box has its own.
  for (auto& combo : comboBoxes_)
    if (!combo->IsListHidden() && !combo->GetDropDownRect().PtInRect(point)) combo->ToggleDropDown();
  // The bars' pressed and hover looks follow the mouse even when it moves over the dialog.
  for (auto& list : listBoxes_) ForwardMouseMove(list->GetScrollBar(), nFlags, point);
  for (auto& combo : comboBoxes_) ForwardMouseMove(combo->GetDropList().GetScrollBar(), nFlags, point);
  CDialog::OnMouseMove(nFlags, point);
  OnSkinMouseMove("", point.x, point.y);
}

void CSkinDialog::ForwardMouseMove(CSkinScrollBar& bar, UINT nFlags, CPoint point) {
  if (!bar.m_hWnd) return;
  MapWindowPoints(&bar, &point, 1);
  bar.SendMessage(WM_MOUSEMOVE, nFlags, MAKELPARAM(point.x, point.y));
}

void CSkinDialog::OnRButtonUp(UINT nFlags, CPoint point) {
  POINT screen = point;
  ClientToScreen(&screen);
  CStyledMenu::SetMenuDrawMode(kSkinMenuStyle);
  CStyledMenu menu;
  menu.CreatePopupMenu();
  menu.AppendMenu(MF_STRING, kSkinOptionsCommand, "Options");
  menu.AppendMenu(MF_SEPARATOR, kSkinMenuSeparator);
  UINT command = kFirstSkinCommand;
  for (const CString& name : skinNames_) menu.AppendMenu(MF_STRING, command++, name);
  menu.CheckMenuItem(static_cast<UINT>(selectedSkin_), MF_BYPOSITION | MF_CHECKED);
  menu.TrackPopupMenu(TPM_RIGHTBUTTON, screen.x, screen.y, this);
  CDialog::OnRButtonUp(nFlags, point);
  menu.DestroyMenu();
}

void CSkinDialog::OnOptionsCommand() { OnOptions(); }

void CSkinDialog::OnSkinCommand(UINT commandId) {
  if (skinNames_.empty()) return;
  OnSkinChanging();
  size_t index = commandId - kFirstSkinCommand;
  if (index >= skinNames_.size()) index = 0;
  // A package that does not load keeps the current skin, and its check mark.
  if (!LoadSkinPackage(skinNames_[index])) return;
  selectedSkin_ = static_cast<int>(index) + 2;
  OnSkinLoaded(commandId);
}
