// Handle maps (temporary and permanent objects) and subclassing of existing windows.
#include <vector>

#include "wnd_fixture.h"

namespace mfc_test {
namespace {

std::vector<UINT>& PlainProcLog() {
  static std::vector<UINT> log;
  return log;
}

LRESULT CALLBACK PlainProc(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message >= WM_APP) PlainProcLog().push_back(message);
  return DefWindowProcA(hWnd, message, wParam, lParam);
}

const char* PlainClass() {
  static const char* name = [] {
    WNDCLASSA wc{};
    wc.lpfnWndProc = PlainProc;
    wc.lpszClassName = "MfcWndPlain";
    RegisterClassA(&wc);
    return "MfcWndPlain";
  }();
  return name;
}

HWND PlainWindow(HWND parent = nullptr, int id = 0) {
  DWORD style = parent ? WS_CHILD | WS_VISIBLE : WS_POPUP;
  return CreateWindowExA(0, PlainClass(), "", style, 0, 0, 50, 50, parent,
                         reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), nullptr, nullptr);
}

class CSelfDeleting : public CWnd {
 public:
  explicit CSelfDeleting(bool* deleted) : deleted_(deleted) {}
  ~CSelfDeleting() override { *deleted_ = true; }

 protected:
  void PostNcDestroy() override { delete this; }

 private:
  bool* deleted_;
};

class CSubclassed : public CWnd {
 public:
  HWND seenInPreSubclass = nullptr;
  std::vector<UINT> handled;

 protected:
  void PreSubclassWindow() override { seenInPreSubclass = m_hWnd; }
  afx_msg LRESULT OnFirst(WPARAM, LPARAM) {
    handled.push_back(WM_APP);
    return 7;
  }
  DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(CSubclassed, CWnd)
  ON_MESSAGE(WM_APP, OnFirst)
END_MESSAGE_MAP()

using HandleMapTest = WndTest;

TEST_F(HandleMapTest, TemporaryWrappersGiveWayToAttachedObjects) {
  HWND hWnd = PlainWindow();
  CWnd* temp = CWnd::FromHandle(hWnd);
  ASSERT_NE(temp, nullptr);
  EXPECT_EQ(temp->m_hWnd, hWnd);
  EXPECT_EQ(CWnd::FromHandle(hWnd), temp);  // one wrapper per window
  EXPECT_EQ(CWnd::FromHandlePermanent(hWnd), nullptr);
  EXPECT_EQ(CWnd::FromHandle(nullptr), nullptr);

  CWnd owner;
  ASSERT_TRUE(owner.Attach(hWnd));
  EXPECT_EQ(CWnd::FromHandle(hWnd), &owner);
  EXPECT_EQ(CWnd::FromHandlePermanent(hWnd), &owner);
  // A window has at most one attached object.
  CWnd second;
  EXPECT_FALSE(second.Attach(hWnd));
  EXPECT_FALSE(second.Attach(nullptr));

  EXPECT_EQ(owner.Detach(), hWnd);
  EXPECT_EQ(owner.m_hWnd, nullptr);
  EXPECT_EQ(CWnd::FromHandlePermanent(hWnd), nullptr);
  // Dropping the temporary wrappers leaves the windows alone.
  CWnd::DeleteTempMap();
  EXPECT_TRUE(IsWindow(hWnd));
  DestroyWindow(hWnd);
}

TEST_F(HandleMapTest, DestroyingTheWindowDetachesAndFinishesTheObject) {
  bool deleted = false;
  auto* wnd = new CSelfDeleting(&deleted);
  ASSERT_TRUE(wnd->CreateEx(0, nullptr, "", WS_POPUP, 0, 0, 50, 50, nullptr, nullptr));
  HWND hWnd = wnd->m_hWnd;
  DestroyWindow(hWnd);
  EXPECT_TRUE(deleted);
  EXPECT_EQ(CWnd::FromHandlePermanent(hWnd), nullptr);
}

TEST_F(HandleMapTest, AnObjectDestroysTheWindowItHolds) {
  HWND hWnd;
  {
    CWnd wnd;
    ASSERT_TRUE(wnd.CreateEx(0, nullptr, "", WS_POPUP, 0, 0, 50, 50, nullptr, nullptr));
    hWnd = wnd.m_hWnd;
  }
  EXPECT_FALSE(IsWindow(hWnd));
  // A temporary wrapper destroys its window without keeping a stale handle.
  HWND other = PlainWindow();
  CWnd* temp = CWnd::FromHandle(other);
  EXPECT_TRUE(temp->DestroyWindow());
  EXPECT_FALSE(IsWindow(other));
  EXPECT_EQ(temp->m_hWnd, nullptr);
}

TEST_F(HandleMapTest, SubclassingADialogItemPutsTheMapInFront) {
  HWND parent = PlainWindow();
  HWND item = PlainWindow(parent, 42);
  CSubclassed sub;
  EXPECT_FALSE(sub.SubclassDlgItem(43, CWnd::FromHandle(parent)));  // no such item
  ASSERT_TRUE(sub.SubclassDlgItem(42, CWnd::FromHandle(parent)));
  EXPECT_EQ(sub.seenInPreSubclass, item);
  EXPECT_EQ(CWnd::FromHandle(item), &sub);

  PlainProcLog().clear();
  EXPECT_EQ(SendMessageA(item, WM_APP, 0, 0), 7);  // the map took it
  SendMessageA(item, WM_APP + 1, 0, 0);            // the old procedure gets the rest
  EXPECT_EQ(sub.handled, std::vector<UINT>{WM_APP});
  EXPECT_EQ(PlainProcLog(), std::vector<UINT>{WM_APP + 1});

  // Another object cannot take the window while it is subclassed.
  CSubclassed other;
  EXPECT_FALSE(other.SubclassWindow(item));

  EXPECT_EQ(sub.UnsubclassWindow(), item);
  EXPECT_EQ(reinterpret_cast<WNDPROC>(GetWindowLongPtrA(item, GWLP_WNDPROC)), &PlainProc);
  SendMessageA(item, WM_APP, 0, 0);
  EXPECT_EQ(sub.handled.size(), 1u);
  EXPECT_EQ(PlainProcLog().back(), UINT(WM_APP));
  DestroyWindow(parent);
}

TEST_F(HandleMapTest, ADetachedWindowKeepsItsOwnProcedure) {
  HWND hWnd = PlainWindow();
  {
    CSubclassed first;
    ASSERT_TRUE(first.SubclassWindow(hWnd));
    first.Detach();  // lets go without unsubclassing
  }
  PlainProcLog().clear();
  SendMessageA(hWnd, WM_APP + 1, 0, 0);
  EXPECT_EQ(PlainProcLog(), std::vector<UINT>{WM_APP + 1});
  // A later object finds the window's own procedure behind it.
  CSubclassed second;
  ASSERT_TRUE(second.SubclassWindow(hWnd));
  SendMessageA(hWnd, WM_APP + 2, 0, 0);
  EXPECT_EQ(PlainProcLog().back(), UINT(WM_APP + 2));
  DestroyWindow(hWnd);
}

TEST_F(HandleMapTest, SubclassedWindowsLetGoWhenDestroyed) {
  HWND hWnd = PlainWindow();
  CSubclassed sub;
  ASSERT_TRUE(sub.SubclassWindow(hWnd));
  DestroyWindow(hWnd);
  EXPECT_EQ(sub.m_hWnd, nullptr);
  EXPECT_EQ(CWnd::FromHandlePermanent(hWnd), nullptr);
}

}  // namespace
}  // namespace mfc_test
