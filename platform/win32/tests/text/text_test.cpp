// Fonts, metrics, TextOut/ExtTextOut geometry and clipping with the test face; installed faces
// through the program's font configuration; the Marlett symbols.
#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "canvas.h"

namespace {

// Selects a font into a DC for a scope and deletes it afterwards.
class UseFont {
 public:
  UseFont(HDC dc, HFONT font) : dc_(dc), font_(font) { old_ = SelectObject(dc, font); }
  ~UseFont() {
    SelectObject(dc_, old_);
    DeleteObject(font_);
  }

 private:
  HDC dc_;
  HFONT font_;
  HGDIOBJ old_;
};

TEXTMETRICA Metrics(HDC dc) {
  TEXTMETRICA tm{};
  EXPECT_TRUE(GetTextMetricsA(dc, &tm));
  return tm;
}

SIZE Extent(HDC dc, const char* text) {
  SIZE size{-1, -1};
  EXPECT_TRUE(GetTextExtentPoint32A(dc, text, int(std::strlen(text)), &size));
  return size;
}

TEST(Fonts, LogFontRoundTripsThroughGetObject) {
  HFONT font = CreateFontA(-13, 7, 900, 900, FW_BOLD, TRUE, TRUE, FALSE, SYMBOL_CHARSET, OUT_TT_PRECIS,
                           CLIP_DEFAULT_PRECIS, NONANTIALIASED_QUALITY, VARIABLE_PITCH | FF_SWISS, "Tahoma");
  ASSERT_NE(font, nullptr);
  EXPECT_EQ(GetObjectType(font), DWORD(OBJ_FONT));
  EXPECT_EQ(GetObjectA(font, 0, nullptr), int(sizeof(LOGFONTA)));
  LOGFONTA lf{};
  ASSERT_EQ(GetObjectA(font, sizeof lf, &lf), int(sizeof lf));
  EXPECT_EQ(lf.lfHeight, -13);
  EXPECT_EQ(lf.lfWidth, 7);
  EXPECT_EQ(lf.lfEscapement, 900);
  EXPECT_EQ(lf.lfWeight, FW_BOLD);
  EXPECT_EQ(lf.lfItalic, 1);
  EXPECT_EQ(lf.lfUnderline, 1);
  EXPECT_EQ(lf.lfCharSet, SYMBOL_CHARSET);
  EXPECT_EQ(lf.lfQuality, NONANTIALIASED_QUALITY);
  EXPECT_STREQ(lf.lfFaceName, "Tahoma");
  // A buffer too small for the structure gets nothing.
  EXPECT_EQ(GetObjectA(font, sizeof lf - 1, &lf), 0);
  EXPECT_TRUE(DeleteObject(font));
  EXPECT_EQ(GetObjectA(font, sizeof lf, &lf), 0);
}

TEST(Fonts, FaceNamesAreCutToFitAndKeptWhole) {
  LOGFONTA lf{};
  lf.lfHeight = 12;
  std::memset(lf.lfFaceName, 'x', sizeof lf.lfFaceName);  // no terminating NUL
  HFONT font = CreateFontIndirectA(&lf);
  ASSERT_NE(font, nullptr);
  LOGFONTA back{};
  GetObjectA(font, sizeof back, &back);
  EXPECT_EQ(std::string(back.lfFaceName), std::string(LF_FACESIZE - 1, 'x'));
  DeleteObject(font);

  // A UTF-8 name is not cut inside a character.
  std::string name;
  for (int i = 0; i < 16; ++i) name += "\xC3\xA9";  // 16 x U+00E9, 32 bytes
  HFONT wide = CreateFontA(12, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, name.c_str());
  GetObjectA(wide, sizeof back, &back);
  EXPECT_EQ(std::strlen(back.lfFaceName), 30u);
  DeleteObject(wide);
  EXPECT_EQ(CreateFontIndirectA(nullptr), nullptr);
}

TEST(Fonts, StockFontsAndTheDefaultFont) {
  HFONT gui = static_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT));
  ASSERT_NE(gui, nullptr);
  EXPECT_EQ(GetStockObject(DEFAULT_GUI_FONT), gui);
  LOGFONTA lf{};
  ASSERT_TRUE(GetObjectA(gui, sizeof lf, &lf));
  EXPECT_STREQ(lf.lfFaceName, "MS Shell Dlg");
  EXPECT_EQ(lf.lfHeight, -11);
  EXPECT_EQ(lf.lfWeight, FW_NORMAL);
  for (int index : {OEM_FIXED_FONT, ANSI_FIXED_FONT, ANSI_VAR_FONT, SYSTEM_FONT, DEVICE_DEFAULT_FONT, SYSTEM_FIXED_FONT})
    EXPECT_EQ(GetObjectType(GetStockObject(index)), DWORD(OBJ_FONT)) << index;

  Canvas canvas(8, 8);
  char face[LF_FACESIZE];
  EXPECT_EQ(GetTextFaceA(canvas.dc(), sizeof face, face), 7);
  EXPECT_STREQ(face, "System");
  EXPECT_EQ(GetCurrentObject(canvas.dc(), OBJ_FONT), GetStockObject(SYSTEM_FONT));
  EXPECT_EQ(Metrics(canvas.dc()).tmWeight, FW_BOLD);
}

TEST(Fonts, SelectingAFontReturnsThePreviousOne) {
  Canvas canvas(8, 8);
  HFONT a = TestFont(10), b = TestFont(20);
  HGDIOBJ first = SelectObject(canvas.dc(), a);
  EXPECT_EQ(first, GetStockObject(SYSTEM_FONT));
  EXPECT_EQ(SelectObject(canvas.dc(), b), a);
  EXPECT_EQ(Metrics(canvas.dc()).tmHeight, 20);
  EXPECT_EQ(SelectObject(canvas.dc(), first), b);
  DeleteObject(a);
  DeleteObject(b);
}

TEST(TextMetrics, TestFaceGeometryFollowsTheHeight) {
  Canvas canvas(8, 8);
  {
    UseFont font(canvas.dc(), TestFont(16));
    TEXTMETRICA tm = Metrics(canvas.dc());
    EXPECT_EQ(tm.tmHeight, 16);
    EXPECT_EQ(tm.tmAscent, 12);
    EXPECT_EQ(tm.tmDescent, 4);
    EXPECT_EQ(tm.tmAveCharWidth, 8);
    EXPECT_EQ(tm.tmMaxCharWidth, 8);
    EXPECT_EQ(tm.tmPitchAndFamily & 1, 0);  // fixed pitch
    SIZE s = Extent(canvas.dc(), "abc");
    EXPECT_EQ(s.cx, 24);
    EXPECT_EQ(s.cy, 16);
    // UTF-8: one character of two bytes.
    EXPECT_EQ(Extent(canvas.dc(), "\xC3\xA9").cx, 8);
    SIZE w{};
    const WCHAR pair[] = {0xD83D, 0xDE00, 'a'};
    ASSERT_TRUE(GetTextExtentPoint32W(canvas.dc(), pair, 3, &w));
    EXPECT_EQ(w.cx, 16);
    EXPECT_EQ(Extent(canvas.dc(), "").cx, 0);
    EXPECT_FALSE(GetTextExtentPoint32A(canvas.dc(), "a", -1, &w));
    char face[LF_FACESIZE];
    GetTextFaceA(canvas.dc(), sizeof face, face);
    EXPECT_STREQ(face, "Corvane Test Box");
    EXPECT_EQ(GetTextFaceA(canvas.dc(), 0, nullptr), 17);
    EXPECT_EQ(GetTextFaceA(canvas.dc(), 4, face), 4);
    EXPECT_STREQ(face, "Cor");
  }
  {
    UseFont font(canvas.dc(), TestFont(-20, 5));
    TEXTMETRICW tm{};
    ASSERT_TRUE(GetTextMetricsW(canvas.dc(), &tm));
    EXPECT_EQ(tm.tmHeight, 20);
    EXPECT_EQ(tm.tmAveCharWidth, 5);
    EXPECT_EQ(Extent(canvas.dc(), "abcd").cx, 20);
  }
  EXPECT_FALSE(GetTextMetricsA(nullptr, nullptr));
}

TEST(TextOutput, BoxesLieWhereTheAdvancesPutThem) {
  Canvas canvas(64, 32);
  UseFont font(canvas.dc(), TestFont(16));
  SetBkMode(canvas.dc(), TRANSPARENT);
  ASSERT_TRUE(TextOutA(canvas.dc(), 10, 5, "AB", 2));
  EXPECT_EQ(canvas.At(10, 5), kBlack);   // first box, top left
  EXPECT_EQ(canvas.At(16, 16), kBlack);  // first box, bottom right (baseline row 17 excluded)
  EXPECT_EQ(canvas.At(17, 10), kWhite);  // the gap column
  EXPECT_EQ(canvas.At(18, 10), kBlack);  // second box
  EXPECT_EQ(canvas.At(24, 10), kBlack);
  EXPECT_EQ(canvas.At(25, 10), kWhite);
  EXPECT_EQ(canvas.At(12, 17), kWhite);  // descent
  EXPECT_EQ(canvas.At(9, 10), kWhite);
  EXPECT_EQ(canvas.At(12, 4), kWhite);
  EXPECT_EQ(canvas.Count(kBlack), 2 * 7 * 12);
}

TEST(TextOutput, OpaqueModeFillsTheCellWithTheBackgroundColour) {
  Canvas canvas(64, 32);
  UseFont font(canvas.dc(), TestFont(16));
  SetBkColor(canvas.dc(), kRed);
  SetTextColor(canvas.dc(), kBlue);
  ASSERT_TRUE(TextOutA(canvas.dc(), 10, 5, "A B", 3));
  EXPECT_EQ(canvas.At(12, 10), kBlue);
  EXPECT_EQ(canvas.At(17, 10), kRed);  // gap
  EXPECT_EQ(canvas.At(20, 10), kRed);  // the blank
  EXPECT_EQ(canvas.At(12, 20), kRed);  // descent
  EXPECT_EQ(canvas.At(34, 10), kWhite);
  EXPECT_EQ(canvas.At(12, 21), kWhite);
  EXPECT_EQ(canvas.Count(kRed) + canvas.Count(kBlue), 24 * 16);
}

TEST(TextOutput, AlignmentPlacesTheReferencePoint) {
  Canvas canvas(80, 60);
  UseFont font(canvas.dc(), TestFont(16));
  SetBkMode(canvas.dc(), TRANSPARENT);
  EXPECT_EQ(SetTextAlign(canvas.dc(), TA_RIGHT | TA_BASELINE), UINT(TA_LEFT | TA_TOP));
  TextOutA(canvas.dc(), 50, 30, "ab", 2);  // x [34, 50), ink rows [18, 30)
  EXPECT_EQ(canvas.At(34, 18), kBlack);
  EXPECT_EQ(canvas.At(48, 29), kBlack);
  EXPECT_EQ(canvas.At(49, 29), kWhite);  // gap of the last box
  EXPECT_EQ(canvas.At(33, 20), kWhite);
  EXPECT_EQ(canvas.At(40, 30), kWhite);
  canvas.Fill(kWhite);
  SetTextAlign(canvas.dc(), TA_CENTER | TA_BOTTOM);
  TextOutA(canvas.dc(), 40, 40, "ab", 2);  // x [32, 48), cell [24, 40)
  EXPECT_EQ(canvas.At(32, 24), kBlack);
  EXPECT_EQ(canvas.At(31, 24), kWhite);
  EXPECT_EQ(canvas.At(32, 23), kWhite);
  EXPECT_EQ(GetTextAlign(canvas.dc()), UINT(TA_CENTER | TA_BOTTOM));
}

TEST(TextOutput, UpdateCurrentPositionContinuesTheText) {
  Canvas canvas(80, 20);
  UseFont font(canvas.dc(), TestFont(16));
  SetBkMode(canvas.dc(), TRANSPARENT);
  SetTextAlign(canvas.dc(), TA_UPDATECP);
  MoveToEx(canvas.dc(), 4, 2, nullptr);
  TextOutA(canvas.dc(), 70, 70, "a", 1);
  TextOutA(canvas.dc(), 70, 70, "b", 1);
  POINT p{};
  GetCurrentPositionEx(canvas.dc(), &p);
  EXPECT_EQ(p.x, 20);
  EXPECT_EQ(p.y, 2);
  EXPECT_EQ(canvas.At(12, 2), kBlack);  // second box starts at 12
  EXPECT_EQ(canvas.At(11, 2), kWhite);
}

TEST(TextOutput, ExtTextOutOpaqueRectangleAndClipping) {
  Canvas canvas(64, 32);
  UseFont font(canvas.dc(), TestFont(16));
  SetBkMode(canvas.dc(), TRANSPARENT);
  SetBkColor(canvas.dc(), kGreen);
  RECT r{8, 4, 20, 12};
  ASSERT_TRUE(ExtTextOutA(canvas.dc(), 10, 2, ETO_OPAQUE | ETO_CLIPPED, &r, "AB", 2, nullptr));
  EXPECT_EQ(canvas.At(8, 4), kGreen);    // rectangle left of the text
  EXPECT_EQ(canvas.At(19, 11), kBlack);  // second box, inside
  EXPECT_EQ(canvas.At(17, 11), kGreen);  // gap inside the rectangle
  EXPECT_EQ(canvas.At(20, 5), kWhite);   // clipped at the right
  EXPECT_EQ(canvas.At(12, 12), kWhite);  // clipped at the bottom
  EXPECT_EQ(canvas.At(12, 3), kWhite);   // text above the rectangle is clipped
  // Without ETO_CLIPPED the rectangle is only filled.
  canvas.Fill(kWhite);
  ExtTextOutA(canvas.dc(), 10, 2, ETO_OPAQUE, &r, "AB", 2, nullptr);
  EXPECT_EQ(canvas.At(24, 13), kBlack);
  EXPECT_EQ(canvas.At(12, 3), kBlack);
  // Advances from lpDx.
  canvas.Fill(kWhite);
  const INT dx[] = {12, 12};
  ExtTextOutA(canvas.dc(), 0, 0, 0, nullptr, "AB", 2, dx);
  EXPECT_EQ(canvas.At(8, 0), kWhite);
  EXPECT_EQ(canvas.At(12, 0), kBlack);
}

TEST(TextOutput, ClipRegionLimitsTheText) {
  Canvas canvas(64, 32);
  UseFont font(canvas.dc(), TestFont(16));
  SetBkMode(canvas.dc(), TRANSPARENT);
  IntersectClipRect(canvas.dc(), 0, 0, 12, 32);
  TextOutA(canvas.dc(), 0, 0, "AB", 2);
  SelectClipRgn(canvas.dc(), nullptr);
  EXPECT_EQ(canvas.At(11, 0), kBlack);
  EXPECT_EQ(canvas.At(12, 0), kWhite);
  EXPECT_EQ(canvas.Count(kBlack), 7 * 12 + 4 * 12);
  // The window origin moves the text like everything else.
  canvas.Fill(kWhite);
  SetWindowOrgEx(canvas.dc(), -20, 0, nullptr);
  TextOutA(canvas.dc(), 0, 0, "A", 1);
  EXPECT_EQ(canvas.At(20, 0), kBlack);
  EXPECT_EQ(canvas.At(19, 0), kWhite);
}

TEST(TextOutput, UnderlineAndStrikeOutLines) {
  Canvas canvas(64, 32);
  UseFont font(canvas.dc(), TestFont(16, 0, 0, true, true));
  SetBkMode(canvas.dc(), TRANSPARENT);
  TextOutA(canvas.dc(), 0, 0, "A B", 3);
  for (int x : {0, 7, 10, 23}) EXPECT_EQ(canvas.At(x, 13), kBlack) << x;  // one row under the baseline
  EXPECT_EQ(canvas.At(24, 13), kWhite);
  EXPECT_EQ(canvas.At(4, 12), kWhite);
  EXPECT_EQ(canvas.At(4, 14), kWhite);
  // Strike-out shows across the blank: row ascent - ascent / 2 - 1 = 5.
  EXPECT_EQ(canvas.At(12, 5), kBlack);
  EXPECT_EQ(canvas.At(12, 4), kWhite);
}

TEST(TextOutput, EscapementNinetyTurnsTheTextUpwards) {
  Canvas canvas(64, 64);
  UseFont font(canvas.dc(), TestFont(16, 0, 900));
  SetBkMode(canvas.dc(), TRANSPARENT);
  TextOutA(canvas.dc(), 20, 40, "AB", 2);
  // Along the baseline (upwards): first box rows [33, 40), second [25, 32); across: columns
  // [20, 32) are the ink above the baseline, which now lies at column 32.
  EXPECT_EQ(canvas.At(20, 39), kBlack);
  EXPECT_EQ(canvas.At(31, 33), kBlack);
  EXPECT_EQ(canvas.At(25, 32), kWhite);  // gap between the boxes
  EXPECT_EQ(canvas.At(25, 31), kBlack);
  EXPECT_EQ(canvas.At(25, 25), kBlack);
  EXPECT_EQ(canvas.At(25, 24), kWhite);
  EXPECT_EQ(canvas.At(32, 36), kWhite);  // descent
  EXPECT_EQ(canvas.At(19, 36), kWhite);
  EXPECT_EQ(canvas.At(25, 40), kWhite);
  EXPECT_EQ(canvas.Count(kBlack), 2 * 7 * 12);
  // The extent is not turned.
  SIZE s = Extent(canvas.dc(), "AB");
  EXPECT_EQ(s.cx, 16);
  EXPECT_EQ(s.cy, 16);
}

TEST(TextOutput, DrawStateDrawsTextNormalAndDisabled) {
  Canvas canvas(64, 40, RGB(192, 192, 192));
  UseFont font(canvas.dc(), TestFont(16));
  SetBkMode(canvas.dc(), TRANSPARENT);
  const char* text = "a&b";
  ASSERT_TRUE(DrawStateA(canvas.dc(), nullptr, nullptr, reinterpret_cast<LPARAM>(text), 0, 4, 2, 40, 16,
                         DST_PREFIXTEXT));
  EXPECT_EQ(canvas.At(4, 2), kBlack);
  EXPECT_EQ(canvas.At(12, 2), kBlack);   // "ab": the prefix mark is gone
  EXPECT_EQ(canvas.At(12, 15), kBlack);  // and underlines the b
  EXPECT_EQ(canvas.At(20, 2), RGB(192, 192, 192));
  // Disabled: embossed in the shadow and highlight colours, inside the given box. (The text is
  // drawn off-screen in a DC's default font.)
  canvas.Fill(RGB(192, 192, 192));
  ASSERT_TRUE(DrawStateA(canvas.dc(), nullptr, nullptr, reinterpret_cast<LPARAM>(text), 1, 4, 2, 40, 16,
                         DST_TEXT | DSS_DISABLED));
  const RECT box{4, 2, 45, 19};
  EXPECT_GT(canvas.Count(GetSysColor(COLOR_BTNSHADOW), box), 0);
  EXPECT_GT(canvas.Count(GetSysColor(COLOR_BTNHIGHLIGHT), box), 0);
  // Nothing outside the box changes.
  const COLORREF grey = RGB(192, 192, 192);
  EXPECT_EQ(canvas.Count(grey) - canvas.Count(grey, box), 64 * 40 - 41 * 17);
}

TEST(Marlett, SymbolGlyphsAreDrawn) {
  Canvas canvas(16, 16);
  UseFont font(canvas.dc(), CreateFontA(16, 0, 0, 0, FW_NORMAL, 0, 0, 0, SYMBOL_CHARSET, 0, 0, 0, 0, "Marlett"));
  SetBkMode(canvas.dc(), TRANSPARENT);
  EXPECT_EQ(Extent(canvas.dc(), "r").cx, 16);
  auto draw = [&](const char* glyph) {
    canvas.Fill(kWhite);
    TextOutA(canvas.dc(), 0, 0, glyph, 1);
  };
  draw("r");  // a cross: the centre and the diagonal ends, not the edge middles
  EXPECT_EQ(canvas.At(8, 8), kBlack);
  EXPECT_EQ(canvas.At(4, 4), kBlack);
  EXPECT_EQ(canvas.At(11, 4), kBlack);
  EXPECT_EQ(canvas.At(8, 2), kWhite);
  draw("0");  // a bar at the bottom
  EXPECT_EQ(canvas.At(6, 12), kBlack);
  EXPECT_EQ(canvas.At(6, 8), kWhite);
  draw("1");  // a frame with a hollow middle
  EXPECT_EQ(canvas.At(3, 8), kBlack);
  EXPECT_EQ(canvas.At(8, 4), kBlack);
  EXPECT_EQ(canvas.At(8, 8), kWhite);
  draw("2");
  EXPECT_EQ(canvas.At(2, 10), kBlack);
  EXPECT_EQ(canvas.At(8, 2), kBlack);
  EXPECT_EQ(canvas.At(6, 10), kWhite);
  draw("b");  // check mark
  EXPECT_EQ(canvas.At(6, 11), kBlack);
  EXPECT_EQ(canvas.At(10, 10), kWhite);
  draw("i");  // bullet
  EXPECT_EQ(canvas.At(8, 8), kBlack);
  EXPECT_EQ(canvas.At(3, 3), kWhite);
  draw("8");  // arrow pointing right
  EXPECT_EQ(canvas.At(7, 8), kBlack);
  EXPECT_EQ(canvas.At(11, 8), kWhite);
  EXPECT_EQ(canvas.At(7, 3), kWhite);
  draw("z");  // not a symbol we have
  EXPECT_EQ(canvas.Count(kBlack), 0);
}

TEST(Marlett, GlyphsScaleWithTheHeight) {
  Canvas canvas(32, 32);
  UseFont font(canvas.dc(), CreateFontA(32, 0, 0, 0, FW_NORMAL, 0, 0, 0, SYMBOL_CHARSET, 0, 0, 0, 0, "Marlett"));
  SetBkMode(canvas.dc(), TRANSPARENT);
  TextOutA(canvas.dc(), 0, 0, "0", 1);  // bar (4, 11)-(11, 13) on the 16 grid
  EXPECT_EQ(canvas.Count(kBlack), 14 * 4);
  // Bold strokes are one pixel wider.
  UseFont bold(canvas.dc(), CreateFontA(32, 0, 0, 0, FW_BOLD, 0, 0, 0, SYMBOL_CHARSET, 0, 0, 0, 0, "Marlett"));
  canvas.Fill(kWhite);
  TextOutA(canvas.dc(), 0, 0, "0", 1);
  EXPECT_EQ(canvas.Count(kBlack), 15 * 4);
}

TEST(InstalledFaces, PlatformFaceNamesMapToInstalledFaces) {
  Canvas canvas(200, 40);
  {
    UseFont font(canvas.dc(), CreateFontA(-11, 0, 0, 0, FW_NORMAL, 0, 0, 0, 0, 0, 0, 0, 0, "Tahoma"));
    TEXTMETRICA tm = Metrics(canvas.dc());
    // DejaVu Sans: 11 px em, cell 11 * (1901 + 483) / 2048 = 12.8.
    EXPECT_EQ(tm.tmHeight, 13);
    EXPECT_EQ(tm.tmInternalLeading, 2);
    EXPECT_EQ(tm.tmAscent + tm.tmDescent, tm.tmHeight);
    EXPECT_NE(tm.tmPitchAndFamily & 1, 0);  // variable pitch
    SIZE narrow = Extent(canvas.dc(), "iiii"), wide = Extent(canvas.dc(), "MMMM");
    EXPECT_LT(narrow.cx, wide.cx);
    char face[LF_FACESIZE];
    GetTextFaceA(canvas.dc(), sizeof face, face);
    EXPECT_STREQ(face, "Tahoma");
    SetBkMode(canvas.dc(), TRANSPARENT);
    TextOutA(canvas.dc(), 10, 10, "Hello", 5);
    // Ink only inside the text's cell.
    EXPECT_GT(canvas.Count(kWhite, RECT{10, 10, 10 + Extent(canvas.dc(), "Hello").cx, 23}), 0);
    EXPECT_LT(canvas.Count(kWhite, RECT{10, 10, 10 + Extent(canvas.dc(), "Hello").cx, 23}),
              Extent(canvas.dc(), "Hello").cx * 13);
    EXPECT_EQ(canvas.Count(kWhite, RECT{0, 0, 200, 10}), 2000);
    EXPECT_EQ(canvas.Count(kWhite, RECT{0, 23, 200, 40}), 200 * 17);
  }
  {
    UseFont font(canvas.dc(), CreateFontA(20, 0, 0, 0, FW_NORMAL, 0, 0, 0, 0, 0, 0, 0, 0, "Courier New"));
    EXPECT_EQ(Metrics(canvas.dc()).tmHeight, 20);
    EXPECT_EQ(Metrics(canvas.dc()).tmPitchAndFamily & 1, 0);  // fixed pitch
    EXPECT_EQ(Extent(canvas.dc(), "iiii").cx, Extent(canvas.dc(), "MMMM").cx);
  }
}

TEST(InstalledFaces, WeightWidthAndItalicChangeTheText) {
  Canvas canvas(8, 8);
  auto width = [&](int weight, int charWidth, const char* text) {
    UseFont font(canvas.dc(), CreateFontA(-16, charWidth, 0, 0, weight, 0, 0, 0, 0, 0, 0, 0, 0, "Arial"));
    return Extent(canvas.dc(), text).cx;
  };
  EXPECT_GT(width(FW_BOLD, 0, "Hello world"), width(FW_NORMAL, 0, "Hello world"));
  EXPECT_GT(width(FW_NORMAL, 12, "Hello world"), width(FW_NORMAL, 5, "Hello world"));
  {
    UseFont font(canvas.dc(), CreateFontA(-16, 10, 0, 0, FW_NORMAL, TRUE, 0, 0, 0, 0, 0, 0, 0, "Times New Roman"));
    TEXTMETRICA tm = Metrics(canvas.dc());
    EXPECT_EQ(tm.tmAveCharWidth, 10);
    EXPECT_NE(tm.tmItalic, 0);
  }
  // An unknown face still gives a usable font.
  UseFont font(canvas.dc(), CreateFontA(-16, 0, 0, 0, FW_NORMAL, 0, 0, 0, 0, 0, 0, 0, 0, "No Such Face"));
  EXPECT_GT(Extent(canvas.dc(), "abc").cx, 0);
}

}  // namespace
