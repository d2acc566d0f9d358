// Bytes as a .bmp file. Whatever the reader accepts must describe rows that lie inside the file,
// and must turn into a DIB section and a screen bitmap that can be drawn and written back.
#include <cstdint>
#include <cstdlib>

#include "gdi/bmp_file.h"

namespace {

void Check(bool condition) {
  if (!condition) std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using namespace win32::gdi;
  DibLayout layout;
  size_t offset = 0;
  if (!ParseBmpFile(data, size, &layout, &offset)) return 0;
  Check(offset <= size && size - offset >= layout.imageBytes);
  Check(layout.stride * static_cast<size_t>(layout.height) == layout.imageBytes);
  for (bool section : {true, false}) {
    HBITMAP bitmap = BitmapFromDib(layout, data + offset, section);
    if (!bitmap) continue;
    auto object = win32::LookupHandle<BitmapObject>(bitmap, win32::HandleKind::Bitmap);
    Check(object && object->surface->width == layout.width && object->surface->height == layout.height);
    std::vector<uint8_t> again = EncodeBmp(*object->surface);
    DibLayout back;
    size_t backOffset = 0;
    Check(ParseBmpFile(again.data(), again.size(), &back, &backOffset));
    DeleteObject(bitmap);
  }
  return 0;
}
