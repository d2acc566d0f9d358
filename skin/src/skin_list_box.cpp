#include "skin/skin_list_box.h"

#include <cstdio>

#include "skin_rows.h"

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

constexpr int kNumberColumnWidth = 40;
constexpr int kTextColumnMargin = 35;

}  // namespace

CSkinListBoxCtrl::~CSkinListBoxCtrl() {
  if (scrollBar_.m_hWnd) scrollBar_.DestroyWindow();
}

BOOL CSkinListBoxCtrl::CreateFromSkin(SkinListBoxInfo& info, CWnd* parent) {
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

void CSkinListBoxCtrl::SetColours(const SkinListColours& colours) { skin_rows::TakeColours(colours_, colours); }

void CSkinListBoxCtrl::SetScrollBarBitmaps(SkinScrollBarBitmaps& bitmaps) {
  skin_rows::AttachScrollBar(*this, scrollBar_, bitmaps, colours_.normalBack);
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

void CSkinListBoxCtrl::OnCustomDraw(NMHDR* header, LRESULT* result) {
  skin_rows::CustomDraw(*this, colours_, header, result, paintingSelected_);
}

void CSkinListBoxCtrl::OnDblClk(NMHDR*, LRESULT* result) {
  if (CSkinHost* host = SkinHostOf(*this)) host->OnListDblClk(index_);
  *result = 0;
}

void CSkinListBoxCtrl::OnPaint() {
  skin_rows::Paint(*this, colours_, scrollBar_, [this](HDC dc) { DefWindowProc(WM_PAINT, WPARAM(dc), 0); });
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

// The bar hears of moves over the list, so that its hover look clears.
void CSkinListBoxCtrl::OnMouseMove(UINT flags, CPoint point) {
  Default();
  skin_rows::ForwardMouseMove(*this, scrollBar_, flags, point);
}
