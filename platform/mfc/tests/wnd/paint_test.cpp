// Window DCs and geometry helpers of CWnd.
#include "wnd_fixture.h"

namespace mfc_test {
namespace {

constexpr COLORREF kRed = RGB(200, 0, 0);

class CPainted : public CWnd {
 public:
  int paints = 0;

 protected:
  afx_msg void OnPaint() {
    CPaintDC dc(this);
    CRect client;
    GetClientRect(&client);
    dc.FillSolidRect(&client, kRed);
    ++paints;
  }
  afx_msg BOOL OnEraseBkgnd(CDC*) { return TRUE; }
  DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(CPainted, CWnd)
  ON_WM_PAINT()
  ON_WM_ERASEBKGND()
END_MESSAGE_MAP()

using WindowDcTest = WndTest;

TEST_F(WindowDcTest, PaintDcValidatesAndDrawsOnTheScreen) {
  CPainted wnd;
  ASSERT_TRUE(wnd.CreateEx(0, nullptr, "", WS_POPUP | WS_VISIBLE, 30, 40, 60, 50, nullptr, nullptr));
  wnd.UpdateWindow();
  EXPECT_EQ(wnd.paints, 1);
  CRect update;
  EXPECT_FALSE(wnd.GetUpdateRect(&update));
  {
    CClientDC dc(&wnd);
    EXPECT_EQ(dc.GetPixel(5, 5), kRed);
    dc.SetPixel(6, 6, RGB(0, 0, 255));
  }
  {
    // The window DC's origin is the window's top-left corner; the popup has no frame.
    CWindowDC dc(&wnd);
    EXPECT_EQ(dc.GetPixel(6, 6), RGB(0, 0, 255));
  }
  // No paint is pending: the loop would not paint again.
  wnd.UpdateWindow();
  EXPECT_EQ(wnd.paints, 1);
}

TEST_F(WindowDcTest, CentringAndStyles) {
  CWnd parent;
  ASSERT_TRUE(parent.CreateEx(0, nullptr, "", WS_POPUP, 0, 0, 200, 100, nullptr, nullptr));
  CWnd child;
  ASSERT_TRUE(child.Create(nullptr, "", 0, CRect(0, 0, 40, 20), &parent, 1));
  child.CenterWindow();
  CRect rect;
  child.GetWindowRect(&rect);
  parent.ScreenToClient(&rect);
  EXPECT_EQ(rect, CRect(80, 40, 120, 60));

  EXPECT_TRUE(child.ModifyStyle(0, WS_DISABLED));
  EXPECT_FALSE(child.IsWindowEnabled());
  EXPECT_FALSE(child.ModifyStyle(0, WS_DISABLED));  // nothing changed
  EXPECT_TRUE(child.ModifyStyleEx(0, WS_EX_CLIENTEDGE, SWP_FRAMECHANGED));
  EXPECT_TRUE(child.GetExStyle() & WS_EX_CLIENTEDGE);
  CRect client;
  child.GetClientRect(&client);
  EXPECT_LT(client.Width(), 40);  // the new frame took its share
}

}  // namespace
}  // namespace mfc_test
