// Menu resources: menu templates as the platform lays them out, made from script tables
// (MenuResource) and read back into menus (LoadMenu, LoadMenuIndirect).
#include <cstring>
#include <vector>

#include "menus/menu_object.h"
#include "win32/winbase.h"
#include "win32/winerror.h"

using namespace win32::menus;

namespace {

constexpr size_t kUnknownSize = SIZE_MAX;

// Reads the items of one level of a template into menu; false when the template is malformed.
class TemplateReader {
 public:
  TemplateReader(const BYTE* data, size_t size) : data_(data), size_(size) {}

  bool ReadHeader() {
    WORD version = 0, offset = 0;
    if (!Word(&version) || !Word(&offset) || version != 0) return false;
    return Skip(offset);
  }

  bool ReadLevel(HMENU menu, int depth) {
    if (depth > 32) return false;
    for (;;) {
      WORD flags = 0, id = 0;
      if (!Word(&flags)) return false;
      if (!(flags & MF_POPUP) && !Word(&id)) return false;
      std::u16string text;
      if (!Text(&text)) return false;
      const UINT itemFlags = flags & ~MF_END;
      if (flags & MF_POPUP) {
        HMENU sub = CreatePopupMenu();
        if (!sub || !ReadLevel(sub, depth + 1) ||
            !AppendMenuW(menu, itemFlags, reinterpret_cast<UINT_PTR>(sub), text.c_str())) {
          DestroyMenu(sub);
          return false;
        }
      } else if ((itemFlags & MF_SEPARATOR) || (itemFlags == 0 && id == 0 && text.empty())) {
        if (!AppendMenuW(menu, MF_SEPARATOR | (itemFlags & ~MF_SEPARATOR), 0, nullptr)) return false;
      } else if (!AppendMenuW(menu, itemFlags, id, text.c_str())) {
        return false;
      }
      if (flags & MF_END) return true;
    }
  }

 private:
  bool Has(size_t n) const { return size_ == kUnknownSize || at_ + n <= size_; }
  bool Skip(size_t n) {
    if (!Has(n)) return false;
    at_ += n;
    return true;
  }
  bool Word(WORD* w) {
    if (!Has(2)) return false;
    std::memcpy(w, data_ + at_, 2);
    at_ += 2;
    return true;
  }
  bool Text(std::u16string* text) {
    for (;;) {
      WORD c = 0;
      if (!Word(&c)) return false;
      if (c == 0) return true;
      text->push_back(static_cast<char16_t>(c));
    }
  }

  const BYTE* data_;
  size_t size_;
  size_t at_ = 0;
};

HMENU ReadTemplate(const void* data, size_t size) {
  if (!data) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return nullptr;
  }
  HMENU menu = CreateMenu();
  if (!menu) return nullptr;
  TemplateReader reader(static_cast<const BYTE*>(data), size);
  if (!reader.ReadHeader() || !reader.ReadLevel(menu, 0)) {
    DestroyMenu(menu);
    SetLastError(ERROR_RESOURCE_DATA_NOT_FOUND);
    return nullptr;
  }
  return menu;
}

void PutWord(std::vector<BYTE>& out, WORD w) {
  out.push_back(static_cast<BYTE>(w & 0xFF));
  out.push_back(static_cast<BYTE>(w >> 8));
}

}  // namespace

struct MenuResource::Bytes {
  std::vector<BYTE> data;
};

MenuResource::MenuResource(const MenuScriptLine* lines, size_t count) : bytes_(new Bytes) {
  std::vector<BYTE>& out = bytes_->data;
  PutWord(out, 0);  // version
  PutWord(out, 0);  // offset of the items
  // The last item of each level carries MF_END: the item before the level's END line, or before
  // the script's end at the top level.
  std::vector<bool> last(count, false);
  std::vector<size_t> levels{SIZE_MAX};  // the latest item of each open level
  for (size_t i = 0; i < count; ++i) {
    if (lines[i].kind == MENU_END) {
      if (levels.size() > 1) {
        if (levels.back() != SIZE_MAX) last[levels.back()] = true;
        levels.pop_back();
      }
      continue;
    }
    levels.back() = i;
    if (lines[i].kind == MENU_POPUP) levels.push_back(SIZE_MAX);
  }
  if (levels.front() != SIZE_MAX) last[levels.front()] = true;
  for (size_t i = 0; i < count; ++i) {
    const MenuScriptLine& line = lines[i];
    if (line.kind == MENU_END) continue;
    UINT flags = line.flags & ~(MF_POPUP | MF_END);
    if (line.kind == MENU_POPUP) flags |= MF_POPUP;
    if (line.kind == MENU_SEPARATOR) flags |= MF_SEPARATOR;
    if (last[i]) flags |= MF_END;
    PutWord(out, static_cast<WORD>(flags));
    if (line.kind != MENU_POPUP) PutWord(out, static_cast<WORD>(line.id));
    for (char16_t c : Wide(line.text)) PutWord(out, c);
    PutWord(out, 0);
  }
}

MenuResource::~MenuResource() { delete bytes_; }

const void* MenuResource::Data() const { return bytes_->data.data(); }

DWORD MenuResource::Size() const { return static_cast<DWORD>(bytes_->data.size()); }

HMENU LoadMenuIndirectA(const MENUTEMPLATEA* lpMenuTemplate) { return ReadTemplate(lpMenuTemplate, kUnknownSize); }

HMENU LoadMenuA(HINSTANCE hInstance, LPCSTR lpMenuName) {
  HRSRC info = FindResourceA(hInstance, lpMenuName, RT_MENU);
  if (!info) return nullptr;
  HGLOBAL data = LoadResource(hInstance, info);
  if (!data) return nullptr;
  return ReadTemplate(LockResource(data), SizeofResource(hInstance, info));
}
