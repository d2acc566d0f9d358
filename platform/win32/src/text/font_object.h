#pragma once
// The object behind a font handle, and how the text functions find a DC's font.
#include <memory>

#include "gdi/dc.h"
#include "text/font_engine.h"

namespace win32::text {

class FontObject : public gdi::GdiObject {
 public:
  explicit FontObject(const LOGFONTW& lf) : logFont(lf) {}
  DWORD ObjectType() const override { return OBJ_FONT; }
  // GetObject gives the LOGFONTA (face name in UTF-8, cut to fit).
  int Describe(void* buffer, int size) const override;

  LOGFONTW logFont;
};

// The font selected into the DC (the stock system font when none is), with its realised face.
struct SelectedFont {
  LOGFONTW logFont;
  std::shared_ptr<FontFace> face;
};
SelectedFont FontOf(const gdi::DeviceContext& dc);

}  // namespace win32::text
