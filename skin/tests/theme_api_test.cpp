// Binding against a stand-in theme library registered in the built-in module table: bound
// functions receive the held handle, missing exports fall back, bindings last until Unload.
#include "skin/theme_api.h"

#include <gtest/gtest.h>

namespace {

const HTHEME kTheme = reinterpret_cast<HTHEME>(0x5150);
int g_opened = 0;
int g_closed = 0;
HTHEME g_drawnWith = nullptr;

HTHEME FakeOpen(HWND, LPCWSTR classList) {
  ++g_opened;
  return classList && classList[0] == u'X' ? nullptr : kTheme;
}
HRESULT FakeClose(HTHEME theme) {
  if (theme == kTheme) ++g_closed;
  return S_OK;
}
HRESULT FakeDraw(HTHEME theme, HDC, int, int, const RECT*, const RECT*) {
  g_drawnWith = theme;
  return S_OK;
}
BOOL FakeThemed() { return TRUE; }
BOOL FakeNotThemed() { return FALSE; }

template <class Fn>
FARPROC Proc(Fn fn) {
  return reinterpret_cast<FARPROC>(reinterpret_cast<void (*)()>(fn));
}

class ThemeApiTest : public ::testing::Test {
 protected:
  void SetUp() override {
    const BuiltinExport exports[] = {{"OpenThemeData", Proc(&FakeOpen)},
                                     {"CloseThemeData", Proc(&FakeClose)},
                                     {"DrawThemeBackground", Proc(&FakeDraw)},
                                     {"IsAppThemed", Proc(&FakeThemed)}};
    RegisterBuiltinModule("uxtheme.dll", exports, 4);
    CThemeApi::Unload();
    g_opened = g_closed = 0;
    g_drawnWith = nullptr;
  }
};

TEST_F(ThemeApiTest, BoundFunctionsGetTheHeldHandle) {
  EXPECT_TRUE(CThemeApi::Load());
  EXPECT_TRUE(CThemeHandle::IsAppThemed());
  {
    CThemeHandle theme(nullptr, u"BUTTON");
    EXPECT_FALSE(theme.IsNull());
    EXPECT_EQ(theme.GetHandle(), kTheme);
    RECT r{0, 0, 10, 10};
    EXPECT_EQ(theme.DrawThemeBackground(nullptr, 1, 1, &r, nullptr), S_OK);
    EXPECT_EQ(g_drawnWith, kTheme);
    // Opening again closes the held handle first.
    EXPECT_TRUE(theme.OpenThemeData(nullptr, u"BUTTON"));
    EXPECT_EQ(g_closed, 1);
    EXPECT_FALSE(theme.OpenThemeData(nullptr, u"X"));
    EXPECT_TRUE(theme.IsNull());
    EXPECT_EQ(g_closed, 2);
  }
  EXPECT_EQ(g_opened, 3);
  EXPECT_EQ(g_closed, 2);  // nothing held at destruction
}

TEST_F(ThemeApiTest, MissingExportsAnswerWithTheirFallbacks) {
  CThemeHandle theme(nullptr, u"BUTTON");
  EXPECT_EQ(theme.GetThemeSysColor(COLOR_BTNFACE), COLORREF(0xFFFFFF));
  EXPECT_EQ(theme.GetThemeSysColorBrush(COLOR_BTNFACE), nullptr);
  EXPECT_EQ(theme.GetThemeSysSize(0), 0);
  EXPECT_FALSE(theme.GetThemeSysBool(0));
  EXPECT_FALSE(theme.IsThemePartDefined(1, 1));
  RECT content{};
  RECT bounds{0, 0, 4, 4};
  EXPECT_EQ(theme.GetThemeBackgroundContentRect(nullptr, 1, 1, &bounds, &content), E_FAIL);
  COLORREF colour = 7;
  EXPECT_EQ(theme.GetThemeColor(1, 1, 1, &colour), E_FAIL);
  EXPECT_EQ(colour, 7u);
  EXPECT_FALSE(CThemeHandle::IsThemeActive());
  EXPECT_EQ(CThemeHandle::GetWindowTheme(nullptr), nullptr);
  EXPECT_EQ(CThemeHandle::GetThemeAppProperties(), 0u);
  CThemeHandle::SetThemeAppProperties(STAP_ALLOW_CONTROLS);
  EXPECT_EQ(CThemeHandle::EnableTheming(TRUE), E_FAIL);
  EXPECT_EQ(CThemeApi::GetProc("NoSuchFunction", nullptr), nullptr);
}

TEST_F(ThemeApiTest, BindingLastsUntilUnload) {
  CThemeHandle theme;
  int value = 0;
  EXPECT_TRUE(CThemeHandle::IsAppThemed());
  EXPECT_EQ(theme.GetThemeSysInt(1, &value), E_FAIL);  // bound to its fallback
  auto sysInt = +[](HTHEME, int, int* out) -> HRESULT {
    *out = 42;
    return S_OK;
  };
  const BuiltinExport replaced[] = {{"IsAppThemed", Proc(&FakeNotThemed)}, {"GetThemeSysInt", Proc(sysInt)}};
  RegisterBuiltinModule("uxtheme.dll", replaced, 2);
  EXPECT_TRUE(CThemeHandle::IsAppThemed());  // still the first bindings
  EXPECT_EQ(theme.GetThemeSysInt(1, &value), E_FAIL);
  CThemeApi::Unload();
  EXPECT_FALSE(CThemeHandle::IsAppThemed());  // bound anew after Unload
  EXPECT_EQ(theme.GetThemeSysInt(1, &value), S_OK);
  EXPECT_EQ(value, 42);
}

TEST_F(ThemeApiTest, AttachAndDetach) {
  CThemeHandle theme(nullptr, u"BUTTON");
  theme.Attach(kTheme);  // the same handle: kept, not closed
  EXPECT_EQ(g_closed, 0);
  EXPECT_EQ(theme.Detach(), kTheme);
  EXPECT_TRUE(theme.IsNull());
  theme.Attach(kTheme);
  theme.Attach(reinterpret_cast<HTHEME>(0x77));
  EXPECT_EQ(g_closed, 1);
  EXPECT_EQ(theme.Detach(), reinterpret_cast<HTHEME>(0x77));
  EXPECT_EQ(theme.CloseThemeData(), S_OK);  // nothing held
}

}  // namespace
