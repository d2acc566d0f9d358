#pragma once
// The icon menus' images: the list shared by every icon menu, keyed by command id, and the
// washed-out and shadow pictures the XP look keeps beside each image.
#include <vector>

#include "mfc/afxwnd.h"

namespace icon_menu {

// Each channel moved towards 255 by f of the distance, for 0 < f <= 1; other factors change
// nothing.
COLORREF Lighten(COLORREF c, double f);

// The image drawn over COLOR_BTNFACE at cx x cy, its drawn pixels lightened by 0.3 (washed out)
// or all in COLOR_BTNSHADOW (a shadow, lightened by 0.49 without the XP theme). The caller
// deletes the bitmap; null when it cannot be made.
HBITMAP WashedOutImage(HICON icon, int cx, int cy);
HBITMAP ShadowImage(HICON icon, int cx, int cy);

// The shared list (null until the first image is added) and the command id of each of its
// images.
HIMAGELIST SharedImageList();
const std::vector<UINT>& SharedImageIds();
// Where the command's image starts in the shared list, -1 when it has none.
int FindSharedImage(UINT command);
// Puts image `index` of `source` into the shared list under the command, replacing the image the
// command has there. In the XP look with 3D images on, an image is kept as three entries (itself,
// washed out, shadow). The list is made at cx x cy on first use. Returns where the image starts,
// -1 when the source has no such image.
int AddSharedImage(UINT command, HIMAGELIST source, int index, int cx, int cy);

}  // namespace icon_menu
