#pragma once
// Icon objects and masked drawing, shared by the icon functions and the image lists.
#include <memory>

#include "handle_table.h"
#include "win32/windows.h"

namespace win32::text {

// Owns its bitmaps: a monochrome mask and a colour image (null for a monochrome icon, whose mask
// is twice the height).
class IconObject : public HandleObject {
 public:
  ~IconObject() override;
  HBITMAP mask = nullptr;
  HBITMAP color = nullptr;
  BOOL isIcon = TRUE;
  DWORD xHotspot = 0;
  DWORD yHotspot = 0;
  int width = 0;
  int height = 0;
};

std::shared_ptr<IconObject> FindIcon(HICON icon);
// Registers an icon that takes ownership of both bitmaps (deleted when it fails).
HICON AddIcon(HBITMAP mask, HBITMAP color, BOOL isIcon, DWORD xHotspot, DWORD yHotspot);
// A new bitmap with the same size, format and pixels; null on failure.
HBITMAP CopyBitmap(HBITMAP bitmap);

// Draws an image and its mask, each width x height at (srcX, srcY) of its bitmap, into cx x cy
// at (x, y): DI_MASK ANDs the mask, DI_IMAGE then XORs (copies, without DI_MASK) the image.
// A null color takes the image from the mask bitmap srcImageY rows further down.
bool DrawMasked(HDC hdc, int x, int y, int cx, int cy, HBITMAP mask, HBITMAP color, int srcX, int srcY,
                int width, int height, int srcImageY, UINT flags);

// LoadImage of IMAGE_ICON and IMAGE_CURSOR from a module's resources.
HICON LoadIconResource(HINSTANCE module, LPCSTR name, bool isIcon, int cx, int cy);

}  // namespace win32::text
