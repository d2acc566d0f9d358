#include "test_host.h"

#include <gtest/gtest.h>

#include "skin_fixtures.h"

namespace skin_test {

BEGIN_MESSAGE_MAP(TestHost, CWnd)
  ON_WM_PAINT()
  ON_WM_ERASEBKGND()
END_MESSAGE_MAP()

TestHost::TestHost(int x, int y, int width, int height) : width_(width), height_(height) {
  CDC screen;
  screen.Attach(::GetDC(nullptr));
  background_.CreateCompatibleDC(&screen);
  picture_.CreateCompatibleBitmap(&screen, width, height);
  ::ReleaseDC(nullptr, screen.Detach());
  oldPicture_ = ::SelectObject(background_.GetSafeHdc(), picture_.GetSafeHandle());
  background_.FillSolidRect(0, 0, width / 2, height, kBackLeft);
  background_.FillSolidRect(width / 2, 0, width - width / 2, height, kBackRight);
  Show(x, y);
}

TestHost::TestHost(int x, int y, HBITMAP picture) {
  BITMAP size{};
  ::GetObject(picture, sizeof size, &size);
  width_ = size.bmWidth;
  height_ = size.bmHeight;
  CDC screen;
  screen.Attach(::GetDC(nullptr));
  background_.CreateCompatibleDC(&screen);
  picture_.CreateCompatibleBitmap(&screen, width_, height_);
  ::ReleaseDC(nullptr, screen.Detach());
  oldPicture_ = ::SelectObject(background_.GetSafeHdc(), picture_.GetSafeHandle());
  CDC source;
  source.CreateCompatibleDC(nullptr);
  HGDIOBJ old = ::SelectObject(source, picture);
  background_.BitBlt(0, 0, width_, height_, &source, 0, 0, SRCCOPY);
  ::SelectObject(source, old);
  Show(x, y);
}

void TestHost::Show(int x, int y) {
  CreateEx(0, nullptr, "host", WS_POPUP | WS_VISIBLE, x, y, width_, height_, nullptr, nullptr);
  UpdateWindow();
}

TestHost::~TestHost() {
  DestroyWindow();
  ::SelectObject(background_.GetSafeHdc(), oldPicture_);
}

void TestHost::OnPaint() {
  CPaintDC dc(this);
  dc.BitBlt(0, 0, width_, height_, &background_, 0, 0, SRCCOPY);
}

POINT TestHost::ScreenPoint(CWnd& child, int x, int y) {
  CPoint point(x, y);
  child.ClientToScreen(&point);
  return point;
}

SkinBitmap MakeBitmap(int width, int height, const std::function<COLORREF(int x, int y)>& colour) {
  static int serial = 0;
  const std::string path = FreshFolder() + "/picture" + std::to_string(++serial) + ".bmp";
  WriteFile(path, Bmp24(width, height, colour));
  SkinBitmap bitmap;
  EXPECT_TRUE(bitmap.Load(path.c_str()));
  return bitmap;
}

SkinBitmap MakeBitmap(int width, int height, COLORREF fill) {
  return MakeBitmap(width, height, [fill](int, int) { return fill; });
}

}  // namespace skin_test
