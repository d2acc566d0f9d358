#include "skin/skin_list_box.h"

#include <cstdio>

#include "skin/buffer_dc.h"
#include "win32/flatsb.h"

BEGIN_MESSAGE_MAP(CSkinListBoxCtrl, CListCtrl)
  ON_NOTIFY_REFLECT(NM_CUSTOMDRAW, OnCustomDraw)
  ON_NOTIFY_REFLECT(NM_DBLCLK, OnDblClk)
  ON_WM_PAINT()
  ON_WM_ERASEBKGND()
  ON_WM_MOUSEWHEEL()
  ON_WM_KEYDOWN()
  ON_WM_KEYUP()
  ON_WM_MOUSEMOVE()
END_MESSAGE_MAP()

namespace {

constexpr UINT kScrollBarId = 0xFFFF;
constexpr DWORD kScrollBarStyle = WS_CHILD | WS_VISIBLE | WS_GROUP | SS_NOTIFY;
constexpr int kNumberColumnWidth = 40;
constexpr int kTextColumnMargin = 35;

COLORREF Or(COLORREF colour, COLORREF fallback) { return colour == kNoSkinColour ? fallback : colour; }

}  // namespace

CSkinListBoxCtrl::~CSkinListBoxCtrl() {
  if (scrollBar_.m_hWnd) scrollBar_.DestroyWindow();
}

BOOL CSkinListBoxCtrl::CreateFromSkin(SkinListBoxInfo& info, CWnd* parent, CSkinHost* host) {
  host_ = host;
  if (!Create(WS_CHILD | WS_VISIBLE | LVS_REPORT | LVS_NOCOLUMNHEADER, info.rect, parent, 0)) return FALSE;
  SetColours(info.colours);
  index_ = info.index;
  name_ = info.name;
  font_.CreateFont(18, 10, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, "Arial");
  SetFont(&font_, TRUE);
  SetScrollBarBitmaps(info.scrollBar);
  CRect client, barClient;
  GetClientRect(&client);
  scrollBar_.GetClientRect(&barClient);
  InsertColumn(0, "", LVCFMT_RIGHT, kNumberColumnWidth);
  InsertColumn(1, "", LVCFMT_LEFT, client.Width() - barClient.Width() - kTextColumnMargin);
  InsertColumn(2, "", LVCFMT_LEFT);
  InsertColumn(3, "", LVCFMT_LEFT);
  SetExtendedStyle(LVS_EX_FULLROWSELECT);
  Invalidate();
  return TRUE;
}

void CSkinListBoxCtrl::SetColours(const SkinListColours& colours) {
  normalBackColour_ = Or(colours.normalBack, normalBackColour_);
  normalTextColour_ = Or(colours.normalText, normalTextColour_);
  selectedBackColour_ = Or(colours.selectedBack, selectedBackColour_);
  selectedTextColour_ = Or(colours.selectedText, selectedTextColour_);
}

void CSkinListBoxCtrl::SetScrollBarBitmaps(SkinScrollBarBitmaps& bitmaps) {
  InitializeFlatSB(m_hWnd);
  FlatSB_EnableScrollBar(m_hWnd, SB_BOTH, ESB_DISABLE_BOTH);
  scrollBar_.Create("", kScrollBarStyle, CRect(0, 0, 0, 0), GetParent(), kScrollBarId);
  scrollBar_.LoadBitmaps(bitmaps);
  scrollBar_.SetList(this);
  scrollBar_.SetBackColour(normalBackColour_);
  PlaceScrollBar();
}

// The bar takes its width from the list's right side.
void CSkinListBoxCtrl::PlaceScrollBar() {
  const int barWidth = scrollBar_.GetBarWidth();
  CRect rect;
  GetWindowRect(&rect);
  SetWindowPos(nullptr, 0, 0, rect.Width() - barWidth, rect.Height(), SWP_NOMOVE | SWP_NOZORDER);
  GetWindowRect(&rect);
  GetParent()->ScreenToClient(&rect);
  scrollBar_.SetWindowPos(nullptr, rect.right, rect.top, barWidth, rect.Height(), SWP_NOZORDER);
  scrollBar_.SyncWithList();
}

void CSkinListBoxCtrl::AddRow(LPCTSTR text1, LPCTSTR text2, LPCTSTR text3) {
  const int row = GetItemCount();
  char number[16];
  std::snprintf(number, sizeof number, "%3d.", row + 1);
  InsertItem(row, number);
  SetItemText(row, 1, text1);
  SetItemText(row, 2, text2);
  SetItemText(row, 3, text3);
  scrollBar_.SyncWithList();
}

BOOL CSkinListBoxCtrl::MoveItem(int from, int to) {
  if (from == to || from < 0 || to < 0) return FALSE;
  const int count = GetItemCount();
  if (from >= count || to > count) return FALSE;
  InsertItem(to, "");
  if (from >= to) ++from;  // the new row pushed the moved one down
  for (int column = 0; column < 4; ++column) SetItemText(to, column, GetItemText(from, column));
  DeleteItem(from);
  return TRUE;
}

void CSkinListBoxCtrl::DeleteSelected() {
  for (int row = GetNextItem(-1, LVNI_SELECTED); row != -1; row = GetNextItem(-1, LVNI_SELECTED)) DeleteItem(row);
  scrollBar_.SyncWithList();
  Invalidate();
}

// Selected rows in the skin's colours: the selected state is lifted while the row paints so that
// the list draws no highlight of its own.
void CSkinListBoxCtrl::OnCustomDraw(NMHDR* header, LRESULT* result) {
  auto* draw = reinterpret_cast<NMLVCUSTOMDRAW*>(header);
  const int row = int(draw->nmcd.dwItemSpec);
  switch (draw->nmcd.dwDrawStage) {
    case CDDS_PREPAINT:
      *result = CDRF_NOTIFYITEMDRAW;
      return;
    case CDDS_ITEMPREPAINT:
      paintingSelected_ = (GetItemState(row, LVIS_SELECTED) & LVIS_SELECTED) != 0;
      if (paintingSelected_) {
        draw->clrText = selectedTextColour_;
        draw->clrTextBk = selectedBackColour_;
        SetItemState(row, 0, LVIS_SELECTED);
      } else {
        draw->clrText = normalTextColour_;
        draw->clrTextBk = normalBackColour_;
      }
      *result = CDRF_NOTIFYPOSTPAINT;
      return;
    case CDDS_ITEMPOSTPAINT:
      if (paintingSelected_) SetItemState(row, LVIS_SELECTED, LVIS_SELECTED);
      paintingSelected_ = false;
      *result = CDRF_DODEFAULT;
      return;
    default:
      *result = CDRF_DODEFAULT;
  }
}

void CSkinListBoxCtrl::OnDblClk(NMHDR*, LRESULT* result) {
  if (host_) host_->OnListDblClk(index_);
  *result = 0;
}

void CSkinListBoxCtrl::OnPaint() {
  CPaintDC paintDC(this);
  CRect clip;
  paintDC.GetClipBox(&clip);
  CBufferDC dc(&paintDC, &clip);
  dc.FillSolidRect(&clip, normalBackColour_);
  SetTextBkColor(normalBackColour_);
  scrollBar_.SyncWithList();
  DefWindowProc(WM_PAINT, WPARAM(dc.GetSafeHdc()), 0);
}

BOOL CSkinListBoxCtrl::OnEraseBkgnd(CDC*) {
  scrollBar_.SyncWithList();
  return TRUE;
}

BOOL CSkinListBoxCtrl::OnMouseWheel(UINT, short, CPoint) {
  const BOOL handled = BOOL(Default());
  scrollBar_.SyncWithList();
  return handled;
}

void CSkinListBoxCtrl::OnKeyDown(UINT, UINT, UINT) {
  Default();
  scrollBar_.SyncWithList();
}

void CSkinListBoxCtrl::OnKeyUp(UINT, UINT, UINT) {
  Default();
  scrollBar_.SyncWithList();
}

// The bar hears of moves over the list, in its own coordinates, so that its hover look clears.
void CSkinListBoxCtrl::OnMouseMove(UINT flags, CPoint point) {
  Default();
  if (!scrollBar_.m_hWnd) return;
  ClientToScreen(&point);
  scrollBar_.ScreenToClient(&point);
  scrollBar_.SendMessage(WM_MOUSEMOVE, flags, MAKELPARAM(point.x, point.y));
}
