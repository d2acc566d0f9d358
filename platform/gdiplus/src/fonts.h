#pragma once
// Installed faces, found through fontconfig with the program folder's configuration (which maps
// the platform's face names to installed families) and drawn by cairo.
#include <cairo.h>

#include <memory>
#include <string>
#include <string_view>

namespace gdiplus::text {

// A cairo face of one family in one weight and slant.
class Face {
 public:
  explicit Face(cairo_font_face_t* face) : face_(face) {}
  ~Face() { cairo_font_face_destroy(face_); }
  Face(const Face&) = delete;
  Face& operator=(const Face&) = delete;
  cairo_font_face_t* Get() const { return face_; }

 private:
  cairo_font_face_t* face_;
};

// The installed family a face name stands for, directly or through the configuration's mapping;
// empty when there is none.
std::string ResolveFamily(std::u16string_view name);

// The face of the family for GDI+ style bits (bold and italic; the rest is drawn by the layout).
// Shared and kept for the process; null when the family has no face at all.
std::shared_ptr<Face> FindFace(const std::string& family, int style);

}  // namespace gdiplus::text
