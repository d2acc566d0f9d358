// The default skin's main face on a real X server: one X window cut to the face's shape, showing
// the face's pixels. With DUMP_DIR set, what the screen shows around it is written there as
// default_skin_main_face.png (the picture in the README).
#include <gtest/gtest.h>

#include "skin/skin_dialog.h"
#include "testing/ui_driver.h"
#include "testing/x11_screen.h"
#include "testing/xvfb_server.h"

#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <X11/extensions/shape.h>

namespace {

const DLGTEMPLATE kTemplate = {WS_POPUP, 0, 0, 0, 10, 10, "Corvane", nullptr, 0, nullptr, 0, nullptr};
constexpr int kLeft = 100, kTop = 80, kWidth = 640, kHeight = 490;
// The desktop behind the window, so that the cut corners show.
constexpr unsigned long kDesktop = 0xE2E8F0;

bool InShape(const XRectangle* rects, int count, int x, int y) {
  for (int i = 0; i < count; ++i)
    if (x >= rects[i].x && x < rects[i].x + rects[i].width && y >= rects[i].y && y < rects[i].y + rects[i].height)
      return true;
  return false;
}

COLORREF ColourOf(XImage* image, int x, int y) {
  const unsigned long p = XGetPixel(image, x, y);
  return RGB((p >> 16) & 0xFF, (p >> 8) & 0xFF, p & 0xFF);
}

TEST(DefaultFaceOnX11, TheMainFaceShowsAsAShapedWindow) {
  XvfbServer server;
  ASSERT_FALSE(server.Name().empty()) << "Xvfb did not start";
  Display* x = XOpenDisplay(server.Name().c_str());
  ASSERT_TRUE(x);
  const ::Window root = DefaultRootWindow(x);
  XSetWindowBackground(x, root, kDesktop);
  XClearWindow(x, root);
  // The pointer rests on the desktop, so that no button shows its hover look.
  XWarpPointer(x, None, root, 0, 0, 0, 0, 4, 4);
  XSync(x, False);
  testing_ui::X11Screen display(server.Name());
  ASSERT_TRUE(display.Opened());

  CSkinDialog dialog;
  ASSERT_TRUE(dialog.CreateIndirect(&kTemplate));
  dialog.MoveWindow(kLeft, kTop, kWidth, kHeight);
  ASSERT_TRUE(dialog.LoadSkinPackage("Default"));
  dialog.ShowWindow(SW_SHOW);
  for (int i = 0; i < 3; ++i) display.Sync();
  XSync(x, False);

  const ::Window window = static_cast<::Window>(display.XWindowOf(dialog.m_hWnd));
  ASSERT_NE(window, 0u);
  XWindowAttributes attributes{};
  XGetWindowAttributes(x, window, &attributes);
  EXPECT_EQ(attributes.map_state, IsViewable);
  EXPECT_EQ(attributes.x, kLeft);
  EXPECT_EQ(attributes.y, kTop);
  EXPECT_EQ(attributes.width, kWidth);
  EXPECT_EQ(attributes.height, kHeight);

  // The X shape is the window's region: the keyed corners are cut, the body is whole.
  int count = 0, ordering = 0;
  XRectangle* shape = XShapeGetRectangles(x, window, ShapeBounding, &count, &ordering);
  ASSERT_NE(shape, nullptr);
  HRGN region = ::CreateRectRgn(0, 0, 0, 0);
  ASSERT_NE(::GetWindowRgn(dialog.m_hWnd, region), ERROR);
  for (CPoint corner : {CPoint(0, 0), CPoint(kWidth - 1, 0), CPoint(0, kHeight - 1), CPoint(kWidth - 1, kHeight - 1)})
    EXPECT_FALSE(InShape(shape, count, corner.x, corner.y)) << corner.x << "," << corner.y;
  for (int y = 0; y < kHeight; y += 7)
    for (int px = 0; px < kWidth; px += 5)
      ASSERT_EQ(InShape(shape, count, px, y), ::PtInRegion(region, px, y) != FALSE) << px << "," << y;
  EXPECT_TRUE(InShape(shape, count, kWidth / 2, kHeight / 2));
  ::DeleteObject(region);

  // What the screen shows: the face inside the shape, the desktop at the cut corners.
  constexpr int kMargin = 24;
  XImage* screen = XGetImage(x, root, kLeft - kMargin, kTop - kMargin, kWidth + 2 * kMargin, kHeight + 2 * kMargin,
                             AllPlanes, ZPixmap);
  ASSERT_NE(screen, nullptr);
  const SkinModel& skin = dialog.Skin();
  HDC memory = ::CreateCompatibleDC(nullptr);
  HGDIOBJ old = ::SelectObject(memory, skin.background.Get());
  for (CPoint at : {CPoint(kWidth / 2, 40), CPoint(200, kHeight - 10), CPoint(kWidth - 20, kHeight / 2)})
    EXPECT_EQ(ColourOf(screen, kMargin + at.x, kMargin + at.y), ::GetPixel(memory, at.x, at.y)) << at.x << "," << at.y;
  ::SelectObject(memory, old);
  ::DeleteDC(memory);
  EXPECT_EQ(ColourOf(screen, kMargin, kMargin), RGB(0xE2, 0xE8, 0xF0));

  testing_ui::Image image;
  image.width = screen->width;
  image.height = screen->height;
  for (int y = 0; y < screen->height; ++y)
    for (int px = 0; px < screen->width; ++px) image.pixels.push_back(ColourOf(screen, px, y));
  testing_ui::UiDriver::Dump(image, "default_skin_main_face");

  XDestroyImage(screen);
  XFree(shape);
  dialog.DestroyWindow();
  display.Sync();
  XCloseDisplay(x);
}

}  // namespace
