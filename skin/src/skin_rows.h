#pragma once
// What the skin's lists share: rows in the skin's colours (the selected state is lifted while a
// selected row paints, so that the list draws no highlight of its own) and a double-buffered
// paint on the normal background.
#include <functional>

#include "mfc/afxcmn.h"
#include "skin/skin_model.h"
#include "skin/skin_scroll_bar.h"

namespace skin_rows {

// Sets the colours the skin gives; the ones it leaves empty keep what colours holds.
void TakeColours(SkinListColours& colours, const SkinListColours& given);

// Handles a list's NM_CUSTOMDRAW; paintingSelected remembers between a row's two stages.
void CustomDraw(CListCtrl& list, const SkinListColours& colours, NMHDR* header, LRESULT* result, bool& paintingSelected);
// Paints the list through an off-screen buffer filled with the normal background; paintRows is
// the list's own painting into a DC.
void Paint(CListCtrl& list, const SkinListColours& colours, CSkinScrollBar& scrollBar,
           const std::function<void(HDC)>& paintRows);
// Turns the list's own bars off and puts the skinned bar, a child of the list's parent, at the
// list's right edge, taking its width from the list.
void AttachScrollBar(CListCtrl& list, CSkinScrollBar& scrollBar, SkinScrollBarBitmaps& bitmaps, COLORREF backColour);
// Gives a moved mouse to the bar in the bar's own coordinates.
void ForwardMouseMove(CListCtrl& list, CSkinScrollBar& scrollBar, UINT flags, CPoint point);

}  // namespace skin_rows
