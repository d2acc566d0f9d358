#include "skin/skin_combo_box.h"

#include <vector>

#include "skin_rows.h"

// ---- The drop list ------------------------------------------------------------------------------

BEGIN_MESSAGE_MAP(CSkinListCtrl, CListCtrl)
  ON_NOTIFY_REFLECT(NM_CUSTOMDRAW, OnCustomDraw)
  ON_NOTIFY_REFLECT(NM_CLICK, OnClick)
  ON_WM_PAINT()
  ON_WM_ERASEBKGND()
  ON_WM_MOUSEWHEEL()
  ON_WM_KEYDOWN()
  ON_WM_KEYUP()
  ON_WM_MOUSEMOVE()
END_MESSAGE_MAP()

CSkinListCtrl::~CSkinListCtrl() {
  if (scrollBar_.m_hWnd) scrollBar_.DestroyWindow();
}

BOOL CSkinListCtrl::CreateFor(CSkinComboBox* combo, const CRect& rect, const SkinListColours& colours, CWnd* parent) {
  combo_ = combo;
  skin_rows::TakeColours(colours_, colours);
  if (!Create(WS_CHILD | WS_VISIBLE | LVS_REPORT | LVS_SINGLESEL | LVS_NOCOLUMNHEADER, rect, parent, 0)) return FALSE;
  font_.CreateFont(18, 10, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, "Arial");
  SetFont(&font_, TRUE);
  return TRUE;
}

void CSkinListCtrl::SetupScrollBar(SkinScrollBarBitmaps& bitmaps) {
  skin_rows::AttachScrollBar(*this, scrollBar_, bitmaps, colours_.normalBack);
}

void CSkinListCtrl::AddItem(LPCTSTR text) {
  InsertItem(GetItemCount(), text);
  scrollBar_.SyncWithList();
}

void CSkinListCtrl::RemoveSelected() {
  std::vector<CString> kept;
  for (int row = 0; row < GetItemCount(); ++row)
    if (!(GetItemState(row, LVIS_SELECTED) & LVIS_SELECTED)) kept.push_back(GetItemText(row, 0));
  DeleteAllItems();
  for (const CString& text : kept) AddItem(text);
}

void CSkinListCtrl::ShowWithScrollBar(BOOL show) {
  ShowWindow(show ? SW_SHOW : SW_HIDE);
  if (scrollBar_.m_hWnd) scrollBar_.ShowWindow(show ? SW_SHOW : SW_HIDE);
}

void CSkinListCtrl::OnCustomDraw(NMHDR* header, LRESULT* result) {
  skin_rows::CustomDraw(*this, colours_, header, result, paintingSelected_);
}

// A click picks the selected row (none: an empty text) into the edit and closes the list.
void CSkinListCtrl::OnClick(NMHDR*, LRESULT* result) {
  const int row = GetNextItem(-1, LVNI_SELECTED);
  const CString text = row == -1 ? CString() : GetItemText(row, 0);
  if (combo_) combo_->SetText(text);
  *result = 0;
}

void CSkinListCtrl::OnPaint() {
  skin_rows::Paint(*this, colours_, scrollBar_, [this](HDC dc) { DefWindowProc(WM_PAINT, WPARAM(dc), 0); });
}

BOOL CSkinListCtrl::OnEraseBkgnd(CDC*) {
  scrollBar_.SyncWithList();
  return TRUE;
}

BOOL CSkinListCtrl::OnMouseWheel(UINT, short, CPoint) {
  const BOOL handled = BOOL(Default());
  scrollBar_.SyncWithList();
  return handled;
}

void CSkinListCtrl::OnKeyDown(UINT, UINT, UINT) {
  Default();
  scrollBar_.SyncWithList();
}

void CSkinListCtrl::OnKeyUp(UINT, UINT, UINT) {
  Default();
  scrollBar_.SyncWithList();
}

void CSkinListCtrl::OnMouseMove(UINT flags, CPoint point) {
  Default();
  skin_rows::ForwardMouseMove(*this, scrollBar_, flags, point);
}

// ---- The combo box ------------------------------------------------------------------------------

BEGIN_MESSAGE_MAP(CSkinComboBox, CStatic)
  ON_WM_ERASEBKGND()
  ON_WM_PAINT()
END_MESSAGE_MAP()

CSkinComboBox::~CSkinComboBox() {
  if (oldBackground_) ::SelectObject(backgroundDC_.GetSafeHdc(), oldBackground_);
}

BOOL CSkinComboBox::CreateFromSkin(SkinComboBoxInfo& info, CWnd* parent) {
  index_ = info.index;
  name_ = info.name;
  parts_ = info.Layout();
  windowRect_ = parts_.whole;
  windowRect_.InflateRect(1, 1);  // room for the frame around the open list
  if (!Create("", WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS, windowRect_, parent, 0)) return FALSE;

  if (!edit_.Create(WS_CHILD | WS_VISIBLE | ES_AUTOHSCROLL, parts_.edit, parent, 0)) return FALSE;
  edit_.SetName("COMBO_EDIT");
  if (info.editBack != kNoSkinColour) edit_.SetBackColour(info.editBack);
  if (info.editText != kNoSkinColour) edit_.SetTextColour(info.editText);
  if (info.editFrame != kNoSkinColour) edit_.SetFrameColour(info.editFrame);

  if (!list_.CreateFor(this, parts_.dropList, info.listColours, parent)) return FALSE;
  list_.SetupScrollBar(info.scrollBar);
  CRect client;
  list_.GetClientRect(&client);
  list_.InsertColumn(0, "", LVCFMT_LEFT, client.Width());
  list_.SetExtendedStyle(LVS_EX_FULLROWSELECT);

  // Under its parts, so that it never paints over them.
  SetWindowPos(&CWnd::wndBottom, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
  listHidden_ = FALSE;
  ToggleDropDown();
  return TRUE;
}

void CSkinComboBox::ToggleDropDown() {
  list_.ShowWithScrollBar(listHidden_);
  listHidden_ = !listHidden_;
  Invalidate();
}

void CSkinComboBox::SetText(LPCTSTR text) {
  listHidden_ = FALSE;
  edit_.SetWindowText(text);
  ToggleDropDown();
}

CRect CSkinComboBox::FramedListArea() const {
  CRect area = parts_.dropList;
  area.InflateRect(1, 1);
  area.OffsetRect(-windowRect_.left, -windowRect_.top);
  return area;
}

// Once: what the dialog shows under the drop list, to put back when the list closes.
BOOL CSkinComboBox::OnEraseBkgnd(CDC* pDC) {
  CSkinHost* host = SkinHostOf(*this);
  CDC* source = host ? host->BackgroundDC() : nullptr;
  if (needBackground_ && source) {
    needBackground_ = FALSE;
    const CRect area = FramedListArea();
    backgroundDC_.CreateCompatibleDC(pDC);
    background_.CreateCompatibleBitmap(pDC, area.Width(), area.Height());
    oldBackground_ = ::SelectObject(backgroundDC_.GetSafeHdc(), background_.GetSafeHandle());
    backgroundDC_.BitBlt(0, 0, area.Width(), area.Height(), source, area.left + windowRect_.left,
                         area.top + windowRect_.top, SRCCOPY);
  }
  return TRUE;
}

void CSkinComboBox::OnPaint() {
  CPaintDC dc(this);
  const CRect area = FramedListArea();
  if (!listHidden_) {
    CBrush frame;
    frame.CreateSolidBrush(edit_.GetFrameColour());
    dc.FrameRect(&area, &frame);
  } else if (oldBackground_) {
    dc.BitBlt(area.left, area.top, area.Width(), area.Height(), &backgroundDC_, 0, 0, SRCCOPY);
  }
}
