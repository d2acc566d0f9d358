#include "skin_rows.h"

#include "skin/buffer_dc.h"
#include "win32/flatsb.h"

namespace skin_rows {
namespace {

constexpr UINT kScrollBarId = 0xFFFF;
constexpr DWORD kScrollBarStyle = WS_CHILD | WS_VISIBLE | WS_GROUP | SS_NOTIFY;

COLORREF Or(COLORREF colour, COLORREF fallback) { return colour == kNoSkinColour ? fallback : colour; }

}  // namespace

void TakeColours(SkinListColours& colours, const SkinListColours& given) {
  colours.normalBack = Or(given.normalBack, colours.normalBack);
  colours.normalText = Or(given.normalText, colours.normalText);
  colours.selectedBack = Or(given.selectedBack, colours.selectedBack);
  colours.selectedText = Or(given.selectedText, colours.selectedText);
}

void CustomDraw(CListCtrl& list, const SkinListColours& colours, NMHDR* header, LRESULT* result, bool& paintingSelected) {
  auto* draw = reinterpret_cast<NMLVCUSTOMDRAW*>(header);
  const int row = int(draw->nmcd.dwItemSpec);
  switch (draw->nmcd.dwDrawStage) {
    case CDDS_PREPAINT:
      *result = CDRF_NOTIFYITEMDRAW;
      return;
    case CDDS_ITEMPREPAINT:
      paintingSelected = (list.GetItemState(row, LVIS_SELECTED) & LVIS_SELECTED) != 0;
      if (paintingSelected) {
        draw->clrText = colours.selectedText;
        draw->clrTextBk = colours.selectedBack;
        list.SetItemState(row, 0, LVIS_SELECTED);
      } else {
        draw->clrText = colours.normalText;
        draw->clrTextBk = colours.normalBack;
      }
      *result = CDRF_NOTIFYPOSTPAINT;
      return;
    case CDDS_ITEMPOSTPAINT:
      if (paintingSelected) list.SetItemState(row, LVIS_SELECTED, LVIS_SELECTED);
      paintingSelected = false;
      *result = CDRF_DODEFAULT;
      return;
    default:
      *result = CDRF_DODEFAULT;
  }
}

void Paint(CListCtrl& list, const SkinListColours& colours, CSkinScrollBar& scrollBar,
           const std::function<void(HDC)>& paintRows) {
  CPaintDC paintDC(&list);
  CRect clip;
  paintDC.GetClipBox(&clip);
  CBufferDC dc(&paintDC, &clip);
  dc.FillSolidRect(&clip, colours.normalBack);
  list.SetTextBkColor(colours.normalBack);
  scrollBar.SyncWithList();
  paintRows(dc.GetSafeHdc());
}

void AttachScrollBar(CListCtrl& list, CSkinScrollBar& scrollBar, SkinScrollBarBitmaps& bitmaps, COLORREF backColour) {
  InitializeFlatSB(list.m_hWnd);
  FlatSB_EnableScrollBar(list.m_hWnd, SB_BOTH, ESB_DISABLE_BOTH);
  const DWORD shown = list.GetStyle() & WS_VISIBLE;
  scrollBar.Create("", (kScrollBarStyle & ~WS_VISIBLE) | shown, CRect(0, 0, 0, 0), list.GetParent(), kScrollBarId);
  scrollBar.LoadBitmaps(bitmaps);
  scrollBar.SetList(&list);
  scrollBar.SetBackColour(backColour);

  const int barWidth = scrollBar.GetBarWidth();
  CRect rect;
  list.GetWindowRect(&rect);
  list.SetWindowPos(nullptr, 0, 0, rect.Width() - barWidth, rect.Height(), SWP_NOMOVE | SWP_NOZORDER);
  list.GetWindowRect(&rect);
  list.GetParent()->ScreenToClient(&rect);
  scrollBar.SetWindowPos(nullptr, rect.right, rect.top, barWidth, rect.Height(), SWP_NOZORDER);
  scrollBar.SyncWithList();
}

void ForwardMouseMove(CListCtrl& list, CSkinScrollBar& scrollBar, UINT flags, CPoint point) {
  if (!scrollBar.m_hWnd) return;
  list.ClientToScreen(&point);
  scrollBar.ScreenToClient(&point);
  scrollBar.SendMessage(WM_MOUSEMOVE, flags, MAKELPARAM(point.x, point.y));
}

}  // namespace skin_rows
