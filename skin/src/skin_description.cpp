#include "skin/skin_description.h"

#include <algorithm>
#include <climits>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "settings/ini_store.h"
#include "win32/shlwapi.h"

CString SkinTokens::Next(CString& value) {
  CString token;
  const int comma = value.Find(',');
  if (comma < 0) {
    token = value;
  } else {
    token = value.Left(comma);
    value = value.Mid(comma + 1);
  }
  value.Trim();
  return token;
}

CRect SkinTokens::NextRect(CString& value) {
  // Held to the range of window coordinates, so that sizes and layouts cannot overflow.
  auto coordinate = [&value] { return std::clamp(Integer(Next(value)), -32768, 32767); };
  const int left = coordinate();
  const int top = coordinate();
  const int right = coordinate();
  const int bottom = coordinate();
  return CRect(left, top, right, bottom);
}

int SkinTokens::Integer(const CString& token) {
  const long number = std::strtol(token, nullptr, 10);
  if (number > INT_MAX) return INT_MAX;
  if (number < INT_MIN) return INT_MIN;
  return static_cast<int>(number);
}

COLORREF SkinTokens::Colour(const CString& token) {
  if (token.IsEmpty()) return kNoSkinColour;
  int value = 0;
  if (!StrToIntEx(token, STIF_SUPPORT_HEX, &value)) value = 0;
  const auto v = static_cast<DWORD>(value);
  return RGB((v >> 16) & 0xFF, (v >> 8) & 0xFF, v & 0xFF);
}

bool SkinTokens::Flag(const CString& token) { return !token.IsEmpty() && token[0] == 'T'; }

bool SkinTokens::Vertical(const CString& token) { return !token.IsEmpty() && token[0] == 'V'; }

CString SkinFolderOf(LPCSTR path) {
  const DWORD needed = GetFullPathName(path, 0, nullptr, nullptr);
  if (needed == 0) return CString("\\");
  std::vector<char> full(needed + 1, '\0');
  LPSTR filePart = nullptr;
  GetFullPathName(path, static_cast<DWORD>(full.size()), full.data(), &filePart);
  CString folder(full.data(),
                 filePart ? static_cast<int>(filePart - full.data()) : static_cast<int>(strlen(full.data())));
  if (!folder.IsEmpty() && folder[folder.GetLength() - 1] == '\\') folder.Delete(folder.GetLength() - 1);
  return folder + '\\';
}

namespace {

using Tokens = SkinTokens;

// One description and the folder its bitmap names are relative to.
class DescriptionReader {
 public:
  explicit DescriptionReader(LPCSTR path) : ini_(path), folder_(SkinFolderOf(path)) {}

  CString Value(LPCSTR section, LPCSTR key) const { return ini_.ReadString(section, key); }

  // The non-empty values of keys "1" to "N" of a numbered section, N being the number of key
  // names the section holds (whatever they are).
  std::vector<CString> Entries(LPCSTR section) const {
    CStringArray names;
    ini_.ReadKeyNames(section, names);
    std::vector<CString> entries;
    for (INT_PTR i = 0; i < names.GetSize(); ++i) {
      CString value = ini_.ReadString(section, std::to_string(i + 1).c_str());
      if (!value.IsEmpty()) entries.push_back(value);
    }
    return entries;
  }

  // The next token names a bitmap in the description's folder.
  void LoadBitmap(SkinBitmap& bitmap, CString& value) const { bitmap.Load(folder_ + Tokens::Next(value)); }
  void LoadBitmapNamed(SkinBitmap& bitmap, const CString& name) const { bitmap.Load(folder_ + name); }

 private:
  CIniStore ini_;
  CString folder_;
};

template <class Element>
Element& Append(std::vector<Element>& elements, CString& value) {
  Element& element = elements.emplace_back();
  element.index = static_cast<int>(elements.size() - 1);
  element.name = Tokens::Next(value);
  return element;
}

void ReadScrollBar(const DescriptionReader& reader, SkinScrollBarBitmaps& bar, CString& value) {
  reader.LoadBitmap(bar.channel, value);
  reader.LoadBitmap(bar.upArrow, value);
  reader.LoadBitmap(bar.upArrowPressed, value);
  reader.LoadBitmap(bar.downArrow, value);
  reader.LoadBitmap(bar.downArrowPressed, value);
  reader.LoadBitmap(bar.thumb, value);
  reader.LoadBitmap(bar.thumbPressed, value);
}

void ReadListColours(SkinListColours& colours, CString& value) {
  colours.normalBack = Tokens::Colour(Tokens::Next(value));
  colours.normalText = Tokens::Colour(Tokens::Next(value));
  colours.selectedBack = Tokens::Colour(Tokens::Next(value));
  colours.selectedText = Tokens::Colour(Tokens::Next(value));
}

// name, left, top, right, bottom, text, font face, point size, text colour
void ReadLabel(SkinLabelInfo& label, CString& value) {
  label.rect = Tokens::NextRect(value);
  label.text = Tokens::Next(value);
  label.faceName = Tokens::Next(value);
  label.pointSize = Tokens::Integer(Tokens::Next(value));
  label.textColour = Tokens::Colour(Tokens::Next(value));
}

void ReadButtons(const DescriptionReader& reader, SkinModel& skin) {
  for (CString value : reader.Entries("BUTTONINFO")) {
    SkinButtonInfo& button = Append(skin.buttons, value);
    reader.LoadBitmap(button.strip, value);
    button.rect = Tokens::NextRect(value);
    button.toolTip = Tokens::Next(value);
    button.toggleLook = Tokens::Flag(Tokens::Next(value));
  }
}

void ReadSliders(const DescriptionReader& reader, SkinModel& skin) {
  for (CString value : reader.Entries("SLIDERINFO")) {
    SkinSliderInfo& slider = Append(skin.sliders, value);
    reader.LoadBitmap(slider.channel, value);
    reader.LoadBitmap(slider.thumb, value);
    reader.LoadBitmap(slider.activeThumb, value);
    slider.rect = Tokens::NextRect(value);
    slider.vertical = Tokens::Vertical(Tokens::Next(value));
    slider.initialPos = Tokens::Integer(Tokens::Next(value));
    slider.toolTip = Tokens::Next(value);
  }
}

void ReadOptions(const DescriptionReader& reader, SkinModel& skin) {
  for (CString value : reader.Entries("OPTIONINFO")) {
    SkinOptionInfo& option = Append(skin.options, value);
    reader.LoadBitmap(option.strip, value);
    option.rect = Tokens::NextRect(value);
    option.toolTip = Tokens::Next(value);
    option.toggleLook = Tokens::Flag(Tokens::Next(value));
    option.checked = Tokens::Flag(Tokens::Next(value));
  }
}

void ReadCaption(const DescriptionReader& reader, SkinModel& skin) {
  CString value = reader.Value("CAPTION", "CAPTION");
  if (value.IsEmpty()) return;
  SkinLabelInfo& caption = skin.caption.emplace();
  caption.name = Tokens::Next(value);  // read and not used
  ReadLabel(caption, value);
}

void ReadLabels(const DescriptionReader& reader, SkinModel& skin) {
  for (CString value : reader.Entries("LABELINFO")) ReadLabel(Append(skin.labels, value), value);
}

void ReadEditBoxes(const DescriptionReader& reader, SkinModel& skin) {
  for (CString value : reader.Entries("EDITBOXINFO")) {
    SkinEditBoxInfo& edit = Append(skin.editBoxes, value);
    edit.rect = Tokens::NextRect(value);
    edit.backColour = Tokens::Colour(Tokens::Next(value));
    edit.textColour = Tokens::Colour(Tokens::Next(value));
    edit.frameColour = Tokens::Colour(Tokens::Next(value));
  }
}

void ReadListBoxes(const DescriptionReader& reader, SkinModel& skin) {
  for (CString value : reader.Entries("LISTBOXINFO")) {
    SkinListBoxInfo& list = Append(skin.listBoxes, value);
    list.rect = Tokens::NextRect(value);
    ReadListColours(list.colours, value);
    ReadScrollBar(reader, list.scrollBar, value);
  }
}

void ReadComboBoxes(const DescriptionReader& reader, SkinModel& skin) {
  for (CString value : reader.Entries("COMBOBOXINFO")) {
    SkinComboBoxInfo& combo = Append(skin.comboBoxes, value);
    combo.rect = Tokens::NextRect(value);
    reader.LoadBitmap(combo.buttonStrip, value);
    combo.editBack = Tokens::Colour(Tokens::Next(value));
    combo.editText = Tokens::Colour(Tokens::Next(value));
    combo.editFrame = Tokens::Colour(Tokens::Next(value));
    ReadListColours(combo.listColours, value);
    ReadScrollBar(reader, combo.scrollBar, value);
  }
}

void ReadProgressBars(const DescriptionReader& reader, SkinModel& skin) {
  for (CString value : reader.Entries("PROGRESSINFO")) {
    SkinProgressInfo& bar = Append(skin.progressBars, value);
    bar.rect = Tokens::NextRect(value);
    reader.LoadBitmap(bar.tile, value);
  }
}

}  // namespace

SkinModel LoadSkinDescription(LPCSTR descriptionPath, SkinFaceKind kind, COLORREF keyColour) {
  const DescriptionReader reader(descriptionPath);
  SkinModel skin;
  reader.LoadBitmapNamed(skin.background, reader.Value("Main", "Screen"));
  const CString key = reader.Value("COLOR", "TRANSPARENT");
  skin.transparentColour = key.IsEmpty() ? keyColour : Tokens::Colour(key);
  skin.region = SkinRegion(CreateSkinRegion(skin.background.Get(), skin.transparentColour));

  if (kind == SkinFaceKind::Progress) {
    ReadButtons(reader, skin);
    ReadLabels(reader, skin);
    ReadProgressBars(reader, skin);
    return skin;
  }
  if (CString value = reader.Value("CONTROL", "CONTROL"); !value.IsEmpty()) skin.controlRect = Tokens::NextRect(value);
  if (CString value = reader.Value("ICON", "ICON"); !value.IsEmpty()) {
    reader.LoadBitmap(skin.icon, value);
    skin.iconRect = Tokens::NextRect(value);
  }
  ReadButtons(reader, skin);
  ReadSliders(reader, skin);
  ReadOptions(reader, skin);
  ReadCaption(reader, skin);
  ReadLabels(reader, skin);
  ReadEditBoxes(reader, skin);
  ReadListBoxes(reader, skin);
  ReadComboBoxes(reader, skin);
  return skin;
}
