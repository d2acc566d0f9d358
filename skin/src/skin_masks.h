#pragma once
// Drawing a picture keyed on a transparent colour through a monochrome mask.
#include "mfc/afxwin.h"

namespace skin_masks {

// Makes mask (white where image shows key) and blackens the key pixels of image, so that
// DrawMasked can lay the image over anything.
void BuildMask(CBitmap& image, CBitmap& mask, COLORREF key);
// ANDs the mask onto dc at (x, y), then ORs the image over it.
void DrawMasked(CDC& dc, int x, int y, CBitmap& image, CBitmap& mask);

}  // namespace skin_masks
