#pragma once
// A skin as its description builds it: the background picture and the window shape cut from it,
// the key colour, and one structure per described element, in description order. The skinned
// dialogs create their controls from these structures; the application finds elements by their
// exact (case-sensitive) names or by their position in their kind's array.
#include <optional>
#include <vector>

#include "mfc/afxwin.h"
#include "skin/skin_bitmap.h"
#include "skin/skin_region.h"

// A colour token left empty in the description.
inline constexpr COLORREF kNoSkinColour = CLR_INVALID;

// What every element has. index is the element's position in its kind's array, by which the
// controls report to the dialog; rect is in the dialog's client coordinates (right and bottom
// exclusive) and may be empty.
struct SkinElement {
  CString name;
  int index = 0;
  CRect rect;
};

// "BUTTONINFO": a push button. strip holds the four states side by side (normal, hover, pressed
// or checked, disabled), each quarter stretched to rect; toggleLook shows only normal and checked.
struct SkinButtonInfo : SkinElement {
  SkinBitmap strip;
  CString toolTip;
  bool toggleLook = false;
};

// "OPTIONINFO": an option button of the dialog's one radio group.
struct SkinOptionInfo : SkinButtonInfo {
  bool checked = false;
};

// "SLIDERINFO": a track bar. channel is the filled part of the track, shown up to the thumb;
// activeThumb is shown while dragging. The range is 0 to 0 until the application sets it.
struct SkinSliderInfo : SkinElement {
  SkinBitmap channel;
  SkinBitmap thumb;
  SkinBitmap activeThumb;
  bool vertical = false;
  int initialPos = 0;
  CString toolTip;
};

// "LABELINFO" and "CAPTION": text drawn over the background. pointSize is in points.
struct SkinLabelInfo : SkinElement {
  CString text;
  CString faceName;
  int pointSize = 0;
  COLORREF textColour = kNoSkinColour;
};

// "EDITBOXINFO": a text box that shows text and takes no input.
struct SkinEditBoxInfo : SkinElement {
  COLORREF backColour = kNoSkinColour;
  COLORREF textColour = kNoSkinColour;
  COLORREF frameColour = kNoSkinColour;
};

// The skinned vertical scroll bar of a list: bar width is the up arrow's width; the channel is
// stretched over the bar's height, the other pictures are drawn at their own size.
struct SkinScrollBarBitmaps {
  SkinBitmap channel;
  SkinBitmap upArrow;
  SkinBitmap upArrowPressed;
  SkinBitmap downArrow;
  SkinBitmap downArrowPressed;
  SkinBitmap thumb;
  SkinBitmap thumbPressed;
};

struct SkinListColours {
  COLORREF normalBack = kNoSkinColour;
  COLORREF normalText = kNoSkinColour;
  COLORREF selectedBack = kNoSkinColour;
  COLORREF selectedText = kNoSkinColour;
};

// "LISTBOXINFO": a multi-column report list; rect includes its scroll bar at the right edge.
struct SkinListBoxInfo : SkinElement {
  SkinListColours colours;
  SkinScrollBarBitmaps scrollBar;
};

// Where the parts of a combo box lie in the dialog.
struct SkinComboParts {
  CRect edit;
  CRect button;
  CRect dropList;  // below the edit; nothing else of the skin may lie there
  CRect whole;     // edit, button and drop list
};

// "COMBOBOXINFO": an edit with a drop-down button and a drop list. buttonStrip holds the
// button's four states; a quarter of its width and its height size the button and the edit.
struct SkinComboBoxInfo : SkinElement {
  SkinBitmap buttonStrip;
  COLORREF editBack = kNoSkinColour;
  COLORREF editText = kNoSkinColour;
  COLORREF editFrame = kNoSkinColour;
  SkinListColours listColours;
  SkinScrollBarBitmaps scrollBar;

  // The parts laid out from rect: the drop list fills rect below the edit and is at least 50
  // pixels high.
  SkinComboParts Layout() const;
};

// "PROGRESSINFO": a bar filled from the left with copies of tile.
struct SkinProgressInfo : SkinElement {
  SkinBitmap tile;
};

// Which description a face is read from: the main dialog's (every section but "PROGRESSINFO")
// or the progress window's ("Main", "COLOR", "BUTTONINFO", "LABELINFO" and "PROGRESSINFO").
enum class SkinFaceKind { Main, Progress };

struct SkinModel {
  SkinBitmap background;
  COLORREF transparentColour = kNoSkinColour;
  // The window shape: the background's rectangle without its key-coloured pixels. Empty when
  // there is no background.
  SkinRegion region;
  std::optional<CRect> controlRect;  // where the application puts the engine's view
  SkinBitmap icon;
  std::optional<CRect> iconRect;
  std::optional<SkinLabelInfo> caption;

  std::vector<SkinButtonInfo> buttons;
  std::vector<SkinSliderInfo> sliders;
  std::vector<SkinOptionInfo> options;
  std::vector<SkinLabelInfo> labels;
  std::vector<SkinEditBoxInfo> editBoxes;
  std::vector<SkinListBoxInfo> listBoxes;
  std::vector<SkinComboBoxInfo> comboBoxes;
  std::vector<SkinProgressInfo> progressBars;
};

// The first element of that name (exact comparison), or null.
template <class Element>
Element* FindSkinElement(std::vector<Element>& elements, LPCSTR name) {
  for (Element& element : elements)
    if (element.name == name) return &element;
  return nullptr;
}
template <class Element>
const Element* FindSkinElement(const std::vector<Element>& elements, LPCSTR name) {
  for (const Element& element : elements)
    if (element.name == name) return &element;
  return nullptr;
}
