// The toolbar control: buttons and their images by message, the image list it makes, its look
// and its clicks.
#include <vector>

#include "comctl_fixture.h"

namespace win32_test {
namespace {

constexpr COLORREF kRed = RGB(255, 0, 0);
constexpr COLORREF kGreen = RGB(0, 255, 0);
constexpr COLORREF kBlue = RGB(0, 0, 255);

class ToolbarTest : public ComctlTest {
 protected:
  HWND Toolbar(DWORD style = WS_VISIBLE) {
    HWND w = CreateWindowExA(0, TOOLBARCLASSNAME, nullptr, WS_CHILD | style, 10, 10, 200, 30, parent,
                             reinterpret_cast<HMENU>(INT_PTR(9)), nullptr, nullptr);
    EXPECT_NE(w, nullptr);
    windows.push_back(w);
    return w;
  }
  // A strip of images cx x cy, each of one colour over a button-face border of one pixel.
  HBITMAP Strip(int cx, int cy, const std::vector<COLORREF>& colours) {
    HDC screen = GetDC(nullptr);
    HBITMAP bitmap = CreateCompatibleBitmap(screen, cx * int(colours.size()), cy);
    HDC dc = CreateCompatibleDC(screen);
    HGDIOBJ old = SelectObject(dc, bitmap);
    RECT all{0, 0, cx * int(colours.size()), cy};
    FillRect(dc, &all, GetSysColorBrush(COLOR_BTNFACE));
    for (size_t i = 0; i < colours.size(); ++i) {
      HBRUSH brush = CreateSolidBrush(colours[i]);
      RECT r{cx * int(i) + 1, 1, cx * int(i + 1) - 1, cy - 1};
      FillRect(dc, &r, brush);
      DeleteObject(brush);
    }
    SelectObject(dc, old);
    DeleteDC(dc);
    ReleaseDC(nullptr, screen);
    return bitmap;
  }
  static TBBUTTON Button(int image, int command, BYTE state = TBSTATE_ENABLED) {
    TBBUTTON b{};
    b.iBitmap = image;
    b.idCommand = command;
    b.fsState = state;
    return b;
  }
  static TBBUTTON Separator() {
    TBBUTTON b{};
    b.fsStyle = TBSTYLE_SEP;
    return b;
  }
  // Red, green and blue images for buttons 500, 501 and 502, a separator after the first.
  void Fill(HWND w, BYTE blueState = TBSTATE_ENABLED) {
    SendMessageA(w, TB_BUTTONSTRUCTSIZE, sizeof(TBBUTTON), 0);
    HBITMAP strip = Strip(16, 15, {kRed, kGreen, kBlue});
    TBADDBITMAP add{nullptr, reinterpret_cast<UINT_PTR>(strip)};
    EXPECT_EQ(SendMessageA(w, TB_ADDBITMAP, 3, reinterpret_cast<LPARAM>(&add)), 0);
    DeleteObject(strip);  // the toolbar keeps its own copy
    const TBBUTTON buttons[] = {Button(0, 500), Separator(), Button(1, 501), Button(2, 502, blueState)};
    EXPECT_TRUE(SendMessageA(w, TB_ADDBUTTONS, 4, reinterpret_cast<LPARAM>(buttons)));
  }
};

TEST_F(ToolbarTest, ButtonsAndImagesAreReadBackByIndexAndCommand) {
  HWND w = Toolbar();
  // Buttons wait for the owner to tell the structure's size.
  const TBBUTTON early[] = {Button(0, 1)};
  EXPECT_FALSE(SendMessageA(w, TB_ADDBUTTONS, 1, reinterpret_cast<LPARAM>(early)));
  Fill(w);
  EXPECT_EQ(SendMessageA(w, TB_BUTTONCOUNT, 0, 0), 4);

  TBBUTTON b{};
  ASSERT_TRUE(SendMessageA(w, TB_GETBUTTON, 1, reinterpret_cast<LPARAM>(&b)));
  EXPECT_TRUE(b.fsStyle & TBSTYLE_SEP);
  ASSERT_TRUE(SendMessageA(w, TB_GETBUTTON, 3, reinterpret_cast<LPARAM>(&b)));
  EXPECT_EQ(b.idCommand, 502);
  EXPECT_EQ(b.iBitmap, 2);
  EXPECT_FALSE(SendMessageA(w, TB_GETBUTTON, 4, reinterpret_cast<LPARAM>(&b)));

  TBBUTTONINFO info{};
  info.cbSize = sizeof info;
  info.dwMask = TBIF_IMAGE | TBIF_COMMAND | TBIF_STATE | TBIF_SIZE;
  EXPECT_EQ(SendMessageA(w, TB_GETBUTTONINFO, 501, reinterpret_cast<LPARAM>(&info)), 2);
  EXPECT_EQ(info.iImage, 1);
  EXPECT_EQ(info.idCommand, 501);
  EXPECT_EQ(info.fsState, TBSTATE_ENABLED);
  EXPECT_EQ(info.cx, 23);
  info.dwMask = TBIF_COMMAND | TBIF_BYINDEX;
  EXPECT_EQ(SendMessageA(w, TB_GETBUTTONINFO, 0, reinterpret_cast<LPARAM>(&info)), 0);
  EXPECT_EQ(info.idCommand, 500);
  info.dwMask = TBIF_IMAGE;
  EXPECT_EQ(SendMessageA(w, TB_GETBUTTONINFO, 999, reinterpret_cast<LPARAM>(&info)), -1);
  EXPECT_EQ(SendMessageA(w, TB_COMMANDTOINDEX, 502, 0), 3);
  EXPECT_EQ(SendMessageA(w, TB_COMMANDTOINDEX, 0, 0), -1);  // separators have no command

  // Its own list at the bitmap size, holding the three images.
  auto images = reinterpret_cast<HIMAGELIST>(SendMessageA(w, TB_GETIMAGELIST, 0, 0));
  ASSERT_NE(images, nullptr);
  EXPECT_EQ(ImageList_GetImageCount(images), 3);
  int cx = 0, cy = 0;
  ImageList_GetIconSize(images, &cx, &cy);
  EXPECT_EQ(cx, 16);
  EXPECT_EQ(cy, 15);
  // The images exist: their size can no longer change.
  EXPECT_FALSE(SendMessageA(w, TB_SETBITMAPSIZE, 0, MAKELONG(20, 20)));
}

TEST_F(ToolbarTest, BitmapSizeSetFirstSizesTheImagesAndAGivenListStaysTheOwners) {
  HWND w = Toolbar();
  EXPECT_TRUE(SendMessageA(w, TB_SETBITMAPSIZE, 0, MAKELONG(20, 18)));
  SendMessageA(w, TB_SETBUTTONSIZE, 0, MAKELONG(27, 25));
  EXPECT_EQ(SendMessageA(w, TB_GETBUTTONSIZE, 0, 0), MAKELONG(27, 25));
  HBITMAP strip = Strip(20, 18, {kRed, kGreen});
  TBADDBITMAP add{nullptr, reinterpret_cast<UINT_PTR>(strip)};
  EXPECT_EQ(SendMessageA(w, TB_ADDBITMAP, 2, reinterpret_cast<LPARAM>(&add)), 0);
  EXPECT_EQ(SendMessageA(w, TB_ADDBITMAP, 2, reinterpret_cast<LPARAM>(&add)), 2);
  DeleteObject(strip);
  auto own = reinterpret_cast<HIMAGELIST>(SendMessageA(w, TB_GETIMAGELIST, 0, 0));
  int cx = 0, cy = 0;
  ImageList_GetIconSize(own, &cx, &cy);
  EXPECT_EQ(cx, 20);
  EXPECT_EQ(cy, 18);
  EXPECT_EQ(ImageList_GetImageCount(own), 4);

  // Replacing its own list frees it; a list given to it outlives the window.
  HIMAGELIST given = ImageList_Create(24, 24, ILC_COLORDDB | ILC_MASK, 1, 1);
  EXPECT_EQ(SendMessageA(w, TB_SETIMAGELIST, 0, reinterpret_cast<LPARAM>(given)), 0);
  EXPECT_FALSE(ImageList_Destroy(own));  // already gone
  EXPECT_EQ(reinterpret_cast<HIMAGELIST>(SendMessageA(w, TB_GETIMAGELIST, 0, 0)), given);
  DestroyWindow(w);
  EXPECT_EQ(ImageList_GetImageCount(given), 0);
  ImageList_Destroy(given);
}

TEST_F(ToolbarTest, ButtonsShowTheirImagesInARowAndClicksAreCommands) {
  HWND w = Toolbar();
  Fill(w, 0);  // the blue button is disabled
  std::vector<int> commands;
  CurrentHandler() = [&](HWND, UINT msg, WPARAM wParam, LPARAM lParam, LRESULT*) {
    if (msg == WM_COMMAND && reinterpret_cast<HWND>(lParam) == w) commands.push_back(LOWORD(wParam));
    return false;
  };
  ui.Pump();
  RECT second{};
  ASSERT_TRUE(SendMessageA(w, TB_GETITEMRECT, 2, reinterpret_cast<LPARAM>(&second)));
  EXPECT_EQ(second.left, 23 + 8);  // after a button and a separator
  EXPECT_EQ(second.right, 23 + 8 + 23);

  // Each image sits in the middle of its button over the button face.
  EXPECT_EQ(ui.PixelAt(At(w, 11, 11)), kRed);
  EXPECT_EQ(ui.PixelAt(At(w, second.left + 11, 11)), kGreen);
  EXPECT_EQ(ui.PixelAt(At(w, second.left + 3, 11)), GetSysColor(COLOR_BTNFACE));
  // A disabled button's image is faded towards the face.
  const COLORREF faded = ui.PixelAt(At(w, second.right + 11, 11));
  EXPECT_NE(faded, kBlue);
  EXPECT_GT(GetRValue(faded), 0);

  ui.Click(At(w, second.left + 5, 5));
  ui.Click(At(w, 5, 5));
  ui.Click(At(w, second.right + 5, 5));  // disabled
  ui.Click(At(w, 23 + 4, 5));            // the separator
  EXPECT_EQ(commands, (std::vector<int>{501, 500}));
}

}  // namespace
}  // namespace win32_test
