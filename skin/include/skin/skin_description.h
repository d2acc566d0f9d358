#pragma once
// Skin descriptions: ini files whose sections list the elements of a face as comma-separated
// tokens, read through the ini access of the settings library. Nothing in a description is
// validated: missing sections give no elements, a token that is not a number reads as 0, and a
// bitmap that does not load leaves its element without that picture.
#include "mfc/afxwin.h"
#include "skin/skin_model.h"

// The token rules.
struct SkinTokens {
  // Takes the text before the first comma (the whole value when there is none) and removes it
  // and its comma from value, which is then trimmed at both ends. The token keeps blanks before
  // its comma. Without a comma nothing is removed, so asking past the end repeats the last token.
  static CString Next(CString& value);
  // Four tokens: left, top, right, bottom, each held within -32768 to 32767 (window coordinates).
  static CRect NextRect(CString& value);
  // Decimal in the manner of atoi (leading blanks, a sign, digits up to the first other
  // character, none gives 0), held within the range of int.
  static int Integer(const CString& token);
  // Empty gives kNoSkinColour. Otherwise the number ("0x" or "0X" means hexadecimal, else
  // decimal) read as 0xRRGGBB, so 0xFF0000 is red.
  static COLORREF Colour(const CString& token);
  // True when the token begins with a capital 'T'.
  static bool Flag(const CString& token);
  // True when the token begins with 'V'.
  static bool Vertical(const CString& token);
};

// The folder of a file path: its full path cut at the file part, with exactly one trailing
// backslash ("Tmp/Skin.ini" with the current directory \prog gives \prog\Tmp\).
CString SkinFolderOf(LPCSTR path);

// Reads the face's sections from the description and loads the bitmaps it names from the
// description's folder. keyColour is the transparent colour the face keeps when the description
// gives none. The region is cut from the background with the face's transparent colour.
SkinModel LoadSkinDescription(LPCSTR descriptionPath, SkinFaceKind kind, COLORREF keyColour);
