// Skin descriptions: the token rules, every section of both faces, the numbered-section rules,
// colours, short entries and broken descriptions.
#include "skin/skin_description.h"

#include <gtest/gtest.h>

#include <climits>
#include <filesystem>
#include <string>

#include "skin_fixtures.h"
#include "win32/paths.h"

namespace {

using skin_test::Bmp24;
using skin_test::FreshFolder;
using skin_test::WriteFile;

constexpr COLORREF kMagenta = RGB(255, 0, 255);

TEST(SkinTokens, EachTokenIsTheTextBeforeTheNextComma) {
  CString value = "a ,  b,c";
  EXPECT_STREQ(SkinTokens::Next(value), "a ");  // a blank before the comma stays in the token
  EXPECT_STREQ(value, "b,c");                   // the rest is trimmed
  EXPECT_STREQ(SkinTokens::Next(value), "b");
  EXPECT_STREQ(SkinTokens::Next(value), "c");
  // Past the end the last token comes again.
  EXPECT_STREQ(SkinTokens::Next(value), "c");
  EXPECT_STREQ(value, "c");

  CString empty;
  EXPECT_STREQ(SkinTokens::Next(empty), "");
  CString blanks = ",,x";
  EXPECT_STREQ(SkinTokens::Next(blanks), "");
  EXPECT_STREQ(SkinTokens::Next(blanks), "");
  EXPECT_STREQ(SkinTokens::Next(blanks), "x");

  CString rect = "10, 20,60 ,40,rest";
  EXPECT_EQ(SkinTokens::NextRect(rect), CRect(10, 20, 60, 40));
  EXPECT_STREQ(rect, "rest");
  CString shortRect = "5,6";
  EXPECT_EQ(SkinTokens::NextRect(shortRect), CRect(5, 6, 6, 6));
  CString hugeRect = "-99999999999,-40000,40000,2147483647";
  EXPECT_EQ(SkinTokens::NextRect(hugeRect), CRect(-32768, -32768, 32767, 32767));
}

TEST(SkinTokens, NumbersFlagsAndOrientation) {
  EXPECT_EQ(SkinTokens::Integer(" 12px"), 12);
  EXPECT_EQ(SkinTokens::Integer("-7"), -7);
  EXPECT_EQ(SkinTokens::Integer("+3"), 3);
  EXPECT_EQ(SkinTokens::Integer("x1"), 0);
  EXPECT_EQ(SkinTokens::Integer(""), 0);
  EXPECT_EQ(SkinTokens::Integer("0x10"), 0);
  EXPECT_EQ(SkinTokens::Integer("99999999999999"), INT_MAX);
  EXPECT_EQ(SkinTokens::Integer("-99999999999999"), INT_MIN);

  EXPECT_TRUE(SkinTokens::Flag("T"));
  EXPECT_TRUE(SkinTokens::Flag("Twice"));
  EXPECT_FALSE(SkinTokens::Flag("t"));
  EXPECT_FALSE(SkinTokens::Flag("true"));
  EXPECT_FALSE(SkinTokens::Flag(" T"));
  EXPECT_FALSE(SkinTokens::Flag("F"));
  EXPECT_FALSE(SkinTokens::Flag(""));

  EXPECT_TRUE(SkinTokens::Vertical("V"));
  EXPECT_TRUE(SkinTokens::Vertical("Vertical"));
  EXPECT_FALSE(SkinTokens::Vertical("v"));
  EXPECT_FALSE(SkinTokens::Vertical("H"));
  EXPECT_FALSE(SkinTokens::Vertical(""));
}

TEST(SkinTokens, ColoursAreWrittenRedGreenBlue) {
  EXPECT_EQ(SkinTokens::Colour("0xFF0000"), RGB(255, 0, 0));
  EXPECT_EQ(SkinTokens::Colour("0xFF00FF"), kMagenta);
  EXPECT_EQ(SkinTokens::Colour("0xff00ff"), kMagenta);
  EXPECT_EQ(SkinTokens::Colour("0X123456"), RGB(0x12, 0x34, 0x56));
  EXPECT_EQ(SkinTokens::Colour("0x0000FF"), RGB(0, 0, 255));
  // Without the prefix the text is decimal.
  EXPECT_EQ(SkinTokens::Colour("16711680"), RGB(255, 0, 0));
  EXPECT_EQ(SkinTokens::Colour("255"), RGB(0, 0, 255));
  EXPECT_EQ(SkinTokens::Colour("FF0000"), RGB(0, 0, 0));  // not a number
  EXPECT_EQ(SkinTokens::Colour("0x1FF00FF"), kMagenta);   // only 24 bits are colour
  EXPECT_EQ(SkinTokens::Colour(""), kNoSkinColour);
}

// A folder with one bitmap of a distinct size per picture the full description names.
class DescriptionFolder {
 public:
  DescriptionFolder() : folder_(FreshFolder()) {
    WriteFile(folder_ + "/face.bmp",
              Bmp24(40, 30, [](int x, int y) { return x < 2 && y < 2 ? kMagenta : RGB(9, 9, 9); }));
    int width = 1;
    for (const char* name :
         {"icon", "btn", "chan", "thumb", "thumb2", "opt", "sb1", "sb2", "sb3", "sb4", "sb5", "sb6", "sb7", "tile"})
      WriteFile(folder_ + "/" + name + ".bmp", Bmp24(width++, 2, RGB(1, 2, 3)));
    WriteFile(folder_ + "/combo.bmp", Bmp24(16, 6, RGB(1, 2, 3)));
  }
  std::string Write(const std::string& text, const std::string& name = "Skin.ini") const {
    WriteFile(folder_ + "/" + name, text);
    return folder_ + "/" + name;
  }
  const std::string& Folder() const { return folder_; }

 private:
  std::string folder_;
};

const char kFullDescription[] =
    "[Main]\nScreen=face.bmp\n"
    "[COLOR]\nTRANSPARENT=0xFF00FF\n"
    "[CONTROL]\nCONTROL=1,2,30,20\n"
    "[ICON]\nICON=icon.bmp,3,4,8,9\n"
    "[BUTTONINFO]\n1=BUTTON_PLAY,btn.bmp,10,20,60,40,Play it,T\n2=BUTTON_STOP,btn.bmp,0,0,5,5,Stop,F\n"
    "[SLIDERINFO]\n1=SLIDER_PROGRESS,chan.bmp,thumb.bmp,thumb2.bmp,5,6,105,22,V,7,Seek here\n"
    "[OPTIONINFO]\n1=OPTION_BATCH,opt.bmp,1,1,4,4,Batch,F,T\n2=OPTION_MERGE,opt.bmp,5,1,9,4,Merge,Tx,t\n"
    "[CAPTION]\nCAPTION=ignored,2,2,30,10,My title,DejaVu Sans,12,0x112233\n"
    "[LABELINFO]\n1=LABEL_TIME,1,2,3,4,00:00:00/00:00:00,Arial,8,0xFFFFFF\n"
    "[EDITBOXINFO]\n1=EDIT_OUTPUT,1,2,3,4,0x010203,,0x0A0B0C\n"
    "[LISTBOXINFO]\n1=LIST_FILES,10,10,100,100,0x111111,0x222222,0x333333,0x444444,"
    "sb1.bmp,sb2.bmp,sb3.bmp,sb4.bmp,sb5.bmp,sb6.bmp,sb7.bmp\n"
    "[COMBOBOXINFO]\n1=COMBO_PROFILE,200,100,300,120,combo.bmp,0x000001,0x000002,0x000003,0x000004,0x000005,"
    "0x000006,0x000007,sb7.bmp,sb6.bmp,sb5.bmp,sb4.bmp,sb3.bmp,sb2.bmp,sb1.bmp\n"
    "[PROGRESSINFO]\n1=PROGRESS_BAR,11,12,13,14,tile.bmp\n";

TEST(SkinDescription, EverySectionOfTheMainFace) {
  DescriptionFolder folder;
  const SkinModel skin = LoadSkinDescription(folder.Write(kFullDescription).c_str(), SkinFaceKind::Main, RGB(1, 1, 1));

  EXPECT_EQ(skin.background.Width(), 40);
  EXPECT_EQ(skin.background.Height(), 30);
  EXPECT_EQ(skin.transparentColour, kMagenta);
  ASSERT_FALSE(skin.region.IsEmpty());
  EXPECT_FALSE(PtInRegion(skin.region.Get(), 1, 1));
  EXPECT_TRUE(PtInRegion(skin.region.Get(), 2, 1));
  EXPECT_EQ(skin.controlRect, CRect(1, 2, 30, 20));
  EXPECT_EQ(skin.icon.Width(), 1);
  EXPECT_EQ(skin.iconRect, CRect(3, 4, 8, 9));

  ASSERT_EQ(skin.buttons.size(), 2u);
  const SkinButtonInfo& play = skin.buttons[0];
  EXPECT_STREQ(play.name, "BUTTON_PLAY");
  EXPECT_EQ(play.index, 0);
  EXPECT_EQ(play.strip.Width(), 2);
  EXPECT_EQ(play.rect, CRect(10, 20, 60, 40));
  EXPECT_STREQ(play.toolTip, "Play it");
  EXPECT_TRUE(play.toggleLook);
  EXPECT_EQ(skin.buttons[1].index, 1);
  EXPECT_FALSE(skin.buttons[1].toggleLook);

  ASSERT_EQ(skin.sliders.size(), 1u);
  const SkinSliderInfo& slider = skin.sliders[0];
  EXPECT_STREQ(slider.name, "SLIDER_PROGRESS");
  EXPECT_EQ(slider.channel.Width(), 3);
  EXPECT_EQ(slider.thumb.Width(), 4);
  EXPECT_EQ(slider.activeThumb.Width(), 5);
  EXPECT_EQ(slider.rect, CRect(5, 6, 105, 22));
  EXPECT_TRUE(slider.vertical);
  EXPECT_EQ(slider.initialPos, 7);
  EXPECT_STREQ(slider.toolTip, "Seek here");

  ASSERT_EQ(skin.options.size(), 2u);
  EXPECT_STREQ(skin.options[0].name, "OPTION_BATCH");
  EXPECT_EQ(skin.options[0].strip.Width(), 6);
  EXPECT_EQ(skin.options[0].rect, CRect(1, 1, 4, 4));
  EXPECT_FALSE(skin.options[0].toggleLook);
  EXPECT_TRUE(skin.options[0].checked);
  EXPECT_EQ(skin.options[1].index, 1);
  EXPECT_TRUE(skin.options[1].toggleLook);
  EXPECT_FALSE(skin.options[1].checked);  // a lower-case t is false

  ASSERT_TRUE(skin.caption.has_value());
  EXPECT_EQ(skin.caption->rect, CRect(2, 2, 30, 10));
  EXPECT_STREQ(skin.caption->text, "My title");
  EXPECT_STREQ(skin.caption->faceName, "DejaVu Sans");
  EXPECT_EQ(skin.caption->pointSize, 12);
  EXPECT_EQ(skin.caption->textColour, RGB(0x11, 0x22, 0x33));

  ASSERT_EQ(skin.labels.size(), 1u);
  EXPECT_STREQ(skin.labels[0].name, "LABEL_TIME");
  EXPECT_STREQ(skin.labels[0].text, "00:00:00/00:00:00");
  EXPECT_STREQ(skin.labels[0].faceName, "Arial");
  EXPECT_EQ(skin.labels[0].pointSize, 8);
  EXPECT_EQ(skin.labels[0].textColour, RGB(255, 255, 255));

  ASSERT_EQ(skin.editBoxes.size(), 1u);
  EXPECT_EQ(skin.editBoxes[0].backColour, RGB(1, 2, 3));
  EXPECT_EQ(skin.editBoxes[0].textColour, kNoSkinColour);  // left empty
  EXPECT_EQ(skin.editBoxes[0].frameColour, RGB(10, 11, 12));

  ASSERT_EQ(skin.listBoxes.size(), 1u);
  const SkinListBoxInfo& list = skin.listBoxes[0];
  EXPECT_EQ(list.rect, CRect(10, 10, 100, 100));
  EXPECT_EQ(list.colours.normalBack, RGB(0x11, 0x11, 0x11));
  EXPECT_EQ(list.colours.normalText, RGB(0x22, 0x22, 0x22));
  EXPECT_EQ(list.colours.selectedBack, RGB(0x33, 0x33, 0x33));
  EXPECT_EQ(list.colours.selectedText, RGB(0x44, 0x44, 0x44));
  const SkinScrollBarBitmaps& bar = list.scrollBar;
  EXPECT_EQ(bar.channel.Width(), 7);
  EXPECT_EQ(bar.upArrow.Width(), 8);
  EXPECT_EQ(bar.upArrowPressed.Width(), 9);
  EXPECT_EQ(bar.downArrow.Width(), 10);
  EXPECT_EQ(bar.downArrowPressed.Width(), 11);
  EXPECT_EQ(bar.thumb.Width(), 12);
  EXPECT_EQ(bar.thumbPressed.Width(), 13);

  ASSERT_EQ(skin.comboBoxes.size(), 1u);
  const SkinComboBoxInfo& combo = skin.comboBoxes[0];
  EXPECT_STREQ(combo.name, "COMBO_PROFILE");
  EXPECT_EQ(combo.buttonStrip.Width(), 16);
  EXPECT_EQ(combo.editBack, RGB(0, 0, 1));
  EXPECT_EQ(combo.editText, RGB(0, 0, 2));
  EXPECT_EQ(combo.editFrame, RGB(0, 0, 3));
  EXPECT_EQ(combo.listColours.normalBack, RGB(0, 0, 4));
  EXPECT_EQ(combo.listColours.selectedText, RGB(0, 0, 7));
  EXPECT_EQ(combo.scrollBar.channel.Width(), 13);
  EXPECT_EQ(combo.scrollBar.thumbPressed.Width(), 7);
  // A quarter of the button strip's width (4) and its height (6) size the parts; the drop list
  // is at least 50 pixels high.
  const SkinComboParts parts = combo.Layout();
  EXPECT_EQ(parts.edit, CRect(200, 100, 296, 106));
  EXPECT_EQ(parts.button, CRect(296, 99, 300, 107));
  EXPECT_EQ(parts.dropList, CRect(200, 108, 299, 158));
  EXPECT_EQ(parts.whole, CRect(200, 100, 300, 158));

  EXPECT_TRUE(skin.progressBars.empty());  // only the progress window reads them

  EXPECT_EQ(FindSkinElement(skin.buttons, "BUTTON_STOP"), &skin.buttons[1]);
  EXPECT_EQ(FindSkinElement(skin.buttons, "button_stop"), nullptr);  // names compare exactly
  EXPECT_EQ(FindSkinElement(skin.labels, "LABEL_TIME"), &skin.labels[0]);
}

TEST(SkinDescription, TheProgressFaceReadsItsFourSections) {
  DescriptionFolder folder;
  const SkinModel skin =
      LoadSkinDescription(folder.Write(kFullDescription, "ConvertSkin.ini").c_str(), SkinFaceKind::Progress, 0);
  EXPECT_EQ(skin.background.Width(), 40);
  EXPECT_EQ(skin.transparentColour, kMagenta);
  EXPECT_EQ(skin.buttons.size(), 2u);
  EXPECT_EQ(skin.labels.size(), 1u);
  ASSERT_EQ(skin.progressBars.size(), 1u);
  EXPECT_STREQ(skin.progressBars[0].name, "PROGRESS_BAR");
  EXPECT_EQ(skin.progressBars[0].rect, CRect(11, 12, 13, 14));
  EXPECT_EQ(skin.progressBars[0].tile.Width(), 14);
  EXPECT_FALSE(skin.controlRect.has_value());
  EXPECT_FALSE(skin.iconRect.has_value());
  EXPECT_FALSE(skin.caption.has_value());
  EXPECT_TRUE(skin.sliders.empty());
  EXPECT_TRUE(skin.options.empty());
  EXPECT_TRUE(skin.editBoxes.empty());
  EXPECT_TRUE(skin.listBoxes.empty());
  EXPECT_TRUE(skin.comboBoxes.empty());
}

TEST(SkinDescription, NumberedSectionsReadTheKeysOneToTheirCount) {
  DescriptionFolder folder;
  const SkinModel skin = LoadSkinDescription(
      folder
          .Write(
              "[BUTTONINFO]\n1=B_ONE,btn.bmp,0,0,1,1,a,F\n3=B_THREE,btn.bmp,0,0,1,1,b,F\n4=B_FOUR,btn.bmp,0,0,1,1,c,F\n"
              "[OPTIONINFO]\n1=O_ONE,opt.bmp,0,0,1,1,a,F,F\n2=\n3=O_THREE,opt.bmp,0,0,1,1,a,F,F\n"
              "[LABELINFO]\nnote=L_NOTE,0,0,1,1,x,Arial,8,0x0\n1=L_ONE,0,0,1,1,x,Arial,8,0x0\n"
              "2=L_TWO,0,0,1,1,x,Arial,8,0x0\n"
              "[SLIDERINFO]\nfirst=S,chan.bmp,thumb.bmp,thumb2.bmp,0,0,1,1,H,0,x\n")
          .c_str(),
      SkinFaceKind::Main, kMagenta);
  // Three key names: keys 1 to 3 are read; "2" is missing, "4" is never read.
  ASSERT_EQ(skin.buttons.size(), 2u);
  EXPECT_STREQ(skin.buttons[0].name, "B_ONE");
  EXPECT_STREQ(skin.buttons[1].name, "B_THREE");
  EXPECT_EQ(skin.buttons[1].index, 1);
  // An empty value is skipped but its key counts.
  ASSERT_EQ(skin.options.size(), 2u);
  EXPECT_STREQ(skin.options[1].name, "O_THREE");
  EXPECT_EQ(skin.options[1].index, 1);
  // A key name that is not a number counts and is never read.
  ASSERT_EQ(skin.labels.size(), 2u);
  EXPECT_STREQ(skin.labels[0].name, "L_ONE");
  EXPECT_STREQ(skin.labels[1].name, "L_TWO");
  EXPECT_TRUE(skin.sliders.empty());
}

TEST(SkinDescription, ShortEntriesRepeatTheirLastToken) {
  DescriptionFolder folder;
  const SkinModel skin = LoadSkinDescription(
      folder.Write("[LABELINFO]\n1=LABEL_A,1,2,3,4,Hello\n[BUTTONINFO]\n1=BUTTON_X,btn.bmp,7\n").c_str(),
      SkinFaceKind::Main, kMagenta);
  ASSERT_EQ(skin.labels.size(), 1u);
  EXPECT_STREQ(skin.labels[0].text, "Hello");
  EXPECT_STREQ(skin.labels[0].faceName, "Hello");
  EXPECT_EQ(skin.labels[0].pointSize, 0);
  EXPECT_EQ(skin.labels[0].textColour, RGB(0, 0, 0));
  ASSERT_EQ(skin.buttons.size(), 1u);
  EXPECT_EQ(skin.buttons[0].rect, CRect(7, 7, 7, 7));
  EXPECT_STREQ(skin.buttons[0].toolTip, "7");
  EXPECT_FALSE(skin.buttons[0].toggleLook);
}

TEST(SkinDescription, TheKeyColourAndTheRegionCutWithIt) {
  DescriptionFolder folder;
  WriteFile(folder.Folder() + "/two.bmp", Bmp24(4, 1, [](int x, int) { return x == 0 ? RGB(255, 0, 0) : kMagenta; }));
  auto load = [&](const std::string& colourSection, COLORREF current) {
    return LoadSkinDescription(folder.Write("[Main]\nScreen=two.bmp\n" + colourSection).c_str(), SkinFaceKind::Main,
                               current);
  };
  const SkinModel decimal = load("[COLOR]\nTRANSPARENT=16711680\n", kMagenta);
  EXPECT_EQ(decimal.transparentColour, RGB(255, 0, 0));
  EXPECT_FALSE(PtInRegion(decimal.region.Get(), 0, 0));
  EXPECT_TRUE(PtInRegion(decimal.region.Get(), 1, 0));

  // An empty or missing entry keeps the colour the face had.
  const SkinModel empty = load("[COLOR]\nTRANSPARENT=\n", RGB(255, 0, 0));
  EXPECT_EQ(empty.transparentColour, RGB(255, 0, 0));
  EXPECT_FALSE(PtInRegion(empty.region.Get(), 0, 0));
  const SkinModel missing = load("", kMagenta);
  EXPECT_EQ(missing.transparentColour, kMagenta);
  EXPECT_TRUE(PtInRegion(missing.region.Get(), 0, 0));
  EXPECT_FALSE(PtInRegion(missing.region.Get(), 1, 0));
}

TEST(SkinDescription, BrokenDescriptionsGiveWhatTheyCan) {
  DescriptionFolder folder;
  const SkinModel none = LoadSkinDescription((folder.Folder() + "/missing.ini").c_str(), SkinFaceKind::Main, kMagenta);
  EXPECT_TRUE(none.background.IsEmpty());
  EXPECT_TRUE(none.region.IsEmpty());
  EXPECT_EQ(none.transparentColour, kMagenta);
  EXPECT_TRUE(none.buttons.empty());
  EXPECT_FALSE(none.caption.has_value());

  const SkinModel binary =
      LoadSkinDescription(folder.Write(std::string("\x00\xFF[\x01=\n[Main\nScreen\n=\n[BUTTONINFO]]\n1\n", 30)).c_str(),
                          SkinFaceKind::Main, kMagenta);
  EXPECT_TRUE(binary.background.IsEmpty());

  // Pictures that are missing or not bitmaps leave their elements without them.
  WriteFile(folder.Folder() + "/text.bmp", "BM not really a bitmap");
  std::string cut = Bmp24(8, 8, RGB(1, 1, 1));
  WriteFile(folder.Folder() + "/cut.bmp", cut.substr(0, cut.size() - 10));
  const SkinModel skin = LoadSkinDescription(
      folder
          .Write("[Main]\nScreen=text.bmp\n[BUTTONINFO]\n1=BUTTON_A,missing.bmp,1,2,3,4,a,F\n"
                 "2=BUTTON_B,cut.bmp,1,2,3,4,b,F\n3=BUTTON_C,,1,2,3,4,c,F\n"
                 "[SLIDERINFO]\n1=SLIDER_PROGRESS,none.bmp,none.bmp,none.bmp,0,0,0,0,H,notanumber,x\n")
          .c_str(),
      SkinFaceKind::Main, kMagenta);
  EXPECT_TRUE(skin.background.IsEmpty());
  EXPECT_TRUE(skin.region.IsEmpty());
  ASSERT_EQ(skin.buttons.size(), 3u);
  for (const SkinButtonInfo& button : skin.buttons) EXPECT_TRUE(button.strip.IsEmpty()) << button.name;
  EXPECT_EQ(skin.buttons[2].rect, CRect(1, 2, 3, 4));
  ASSERT_EQ(skin.sliders.size(), 1u);
  EXPECT_TRUE(skin.sliders[0].thumb.IsEmpty());
  EXPECT_EQ(skin.sliders[0].initialPos, 0);
  EXPECT_TRUE(skin.sliders[0].rect.IsRectEmpty());
}

TEST(SkinDescription, FolderOfADescription) {
  const std::string folder = FreshFolder();
  const std::string platformFolder = PlatformPathFromPosix(folder);
  char previous[1024];
  GetCurrentDirectory(sizeof previous, previous);
  ASSERT_TRUE(SetCurrentDirectory(folder.c_str()));
  EXPECT_STREQ(SkinFolderOf("Tmp/Skin.ini"), (platformFolder + "\\Tmp\\").c_str());
  EXPECT_STREQ(SkinFolderOf("Tmp\\"), (platformFolder + "\\Tmp\\").c_str());
  SetCurrentDirectory(previous);
  // The file part is cut where it stands, even when the folder's name holds the same text.
  EXPECT_STREQ(SkinFolderOf("/skins/Skin.ini.d/Skin.ini"), "\\skins\\Skin.ini.d\\");
  const std::string deep = "/" + std::string(300, 'd') + "/Skin.ini";
  EXPECT_STREQ(SkinFolderOf(deep.c_str()), ("\\" + std::string(300, 'd') + "\\").c_str());
}

TEST(SkinDescription, BitmapsAreFoundInTheDescriptionsFolderWhateverTheirCase) {
  const std::string folder = FreshFolder();
  std::filesystem::create_directories(folder + "/sub/img");
  WriteFile(folder + "/sub/img/Face.BMP", Bmp24(3, 3, RGB(1, 2, 3)));
  WriteFile(folder + "/sub/Skin.ini", "[Main]\nScreen=IMG\\face.bmp\n");
  const SkinModel skin = LoadSkinDescription((folder + "/sub/Skin.ini").c_str(), SkinFaceKind::Main, kMagenta);
  EXPECT_EQ(skin.background.Width(), 3);
}

}  // namespace
