// Binding of the visual-styles library by name, with failure-value fallbacks.
#include "skin/theme_api.h"

#include <map>
#include <string_view>

namespace {

// Process-wide binding state, used on the user-interface thread only.
struct Binding {
  HMODULE library = nullptr;
  bool attempted = false;
  std::map<std::string_view, FARPROC> bound;  // by function name
};

Binding& State() {
  static Binding* binding = new Binding;  // outlives every static user
  return *binding;
}

template <class Fn>
FARPROC ToProc(Fn fn) {
  return reinterpret_cast<FARPROC>(reinterpret_cast<void (*)()>(fn));
}

// The function bound under name, binding it (or its fallback) on first use.
template <class Fn>
Fn Bind(std::string_view name, Fn fallback) {
  FARPROC& slot = State().bound[name];
  if (!slot) slot = CThemeApi::GetProc(name.data(), ToProc(fallback));
  return reinterpret_cast<Fn>(reinterpret_cast<void (*)()>(slot));
}

}  // namespace

BOOL CThemeApi::Load() {
  Binding& s = State();
  if (!s.library && !s.attempted) {
    s.attempted = true;
    s.library = ::LoadLibraryA("UxTheme.dll");
  }
  return s.library != nullptr;
}

void CThemeApi::Unload() {
  Binding& s = State();
  if (!s.library) return;
  ::FreeLibrary(s.library);
  s.library = nullptr;
  s.attempted = false;
  s.bound.clear();
}

FARPROC CThemeApi::GetProc(LPCSTR name, FARPROC fallback) {
  if (!Load()) return fallback;
  FARPROC proc = ::GetProcAddress(State().library, name);
  return proc ? proc : fallback;
}

CThemeHandle::CThemeHandle(HWND hwnd, LPCWSTR classList) { OpenThemeData(hwnd, classList); }

CThemeHandle::~CThemeHandle() { CloseThemeData(); }

BOOL CThemeHandle::OpenThemeData(HWND hwnd, LPCWSTR classList) {
  CloseThemeData();
  using Fn = HTHEME (*)(HWND, LPCWSTR);
  theme_ = Bind<Fn>("OpenThemeData", [](HWND, LPCWSTR) -> HTHEME { return nullptr; })(hwnd, classList);
  return theme_ != nullptr;
}

HRESULT CThemeHandle::CloseThemeData() {
  if (!theme_) return S_OK;
  using Fn = HRESULT (*)(HTHEME);
  HRESULT hr = Bind<Fn>("CloseThemeData", [](HTHEME) -> HRESULT { return E_FAIL; })(theme_);
  theme_ = nullptr;
  return hr;
}

void CThemeHandle::Attach(HTHEME theme) {
  if (theme == theme_) return;
  CloseThemeData();
  theme_ = theme;
}

HTHEME CThemeHandle::Detach() {
  HTHEME theme = theme_;
  theme_ = nullptr;
  return theme;
}

HRESULT CThemeHandle::DrawThemeBackground(HDC hdc, int partId, int stateId, const RECT* rect, const RECT* clipRect) {
  using Fn = HRESULT (*)(HTHEME, HDC, int, int, const RECT*, const RECT*);
  return Bind<Fn>("DrawThemeBackground", [](HTHEME, HDC, int, int, const RECT*, const RECT*) -> HRESULT { return E_FAIL; })(theme_, hdc, partId, stateId, rect, clipRect);
}

HRESULT CThemeHandle::DrawThemeText(HDC hdc, int partId, int stateId, LPCWSTR text, int charCount, DWORD textFlags, DWORD textFlags2, const RECT* rect) {
  using Fn = HRESULT (*)(HTHEME, HDC, int, int, LPCWSTR, int, DWORD, DWORD, const RECT*);
  return Bind<Fn>("DrawThemeText", [](HTHEME, HDC, int, int, LPCWSTR, int, DWORD, DWORD, const RECT*) -> HRESULT { return E_FAIL; })(theme_, hdc, partId, stateId, text, charCount, textFlags, textFlags2, rect);
}

HRESULT CThemeHandle::GetThemeBackgroundContentRect(HDC hdc, int partId, int stateId, const RECT* boundingRect, RECT* contentRect) {
  using Fn = HRESULT (*)(HTHEME, HDC, int, int, const RECT*, RECT*);
  return Bind<Fn>("GetThemeBackgroundContentRect", [](HTHEME, HDC, int, int, const RECT*, RECT*) -> HRESULT { return E_FAIL; })(theme_, hdc, partId, stateId, boundingRect, contentRect);
}

HRESULT CThemeHandle::GetThemeBackgroundExtent(HDC hdc, int partId, int stateId, const RECT* contentRect, RECT* extentRect) {
  using Fn = HRESULT (*)(HTHEME, HDC, int, int, const RECT*, RECT*);
  return Bind<Fn>("GetThemeBackgroundExtent", [](HTHEME, HDC, int, int, const RECT*, RECT*) -> HRESULT { return E_FAIL; })(theme_, hdc, partId, stateId, contentRect, extentRect);
}

HRESULT CThemeHandle::GetThemePartSize(HDC hdc, int partId, int stateId, const RECT* rect, THEMESIZE size, SIZE* psz) {
  using Fn = HRESULT (*)(HTHEME, HDC, int, int, const RECT*, THEMESIZE, SIZE*);
  return Bind<Fn>("GetThemePartSize", [](HTHEME, HDC, int, int, const RECT*, THEMESIZE, SIZE*) -> HRESULT { return E_FAIL; })(theme_, hdc, partId, stateId, rect, size, psz);
}

HRESULT CThemeHandle::GetThemeTextExtent(HDC hdc, int partId, int stateId, LPCWSTR text, int charCount, DWORD textFlags, const RECT* boundingRect, RECT* extentRect) {
  using Fn = HRESULT (*)(HTHEME, HDC, int, int, LPCWSTR, int, DWORD, const RECT*, RECT*);
  return Bind<Fn>("GetThemeTextExtent", [](HTHEME, HDC, int, int, LPCWSTR, int, DWORD, const RECT*, RECT*) -> HRESULT { return E_FAIL; })(theme_, hdc, partId, stateId, text, charCount, textFlags, boundingRect, extentRect);
}

HRESULT CThemeHandle::GetThemeTextMetrics(HDC hdc, int partId, int stateId, TEXTMETRICW* metrics) {
  using Fn = HRESULT (*)(HTHEME, HDC, int, int, TEXTMETRICW*);
  return Bind<Fn>("GetThemeTextMetrics", [](HTHEME, HDC, int, int, TEXTMETRICW*) -> HRESULT { return E_FAIL; })(theme_, hdc, partId, stateId, metrics);
}

HRESULT CThemeHandle::GetThemeBackgroundRegion(HDC hdc, int partId, int stateId, const RECT* rect, HRGN* region) {
  using Fn = HRESULT (*)(HTHEME, HDC, int, int, const RECT*, HRGN*);
  return Bind<Fn>("GetThemeBackgroundRegion", [](HTHEME, HDC, int, int, const RECT*, HRGN*) -> HRESULT { return E_FAIL; })(theme_, hdc, partId, stateId, rect, region);
}

HRESULT CThemeHandle::HitTestThemeBackground(HDC hdc, int partId, int stateId, DWORD options, const RECT* rect, HRGN region, POINT test, WORD* hitTestCode) {
  using Fn = HRESULT (*)(HTHEME, HDC, int, int, DWORD, const RECT*, HRGN, POINT, WORD*);
  return Bind<Fn>("HitTestThemeBackground", [](HTHEME, HDC, int, int, DWORD, const RECT*, HRGN, POINT, WORD*) -> HRESULT { return E_FAIL; })(theme_, hdc, partId, stateId, options, rect, region, test, hitTestCode);
}

HRESULT CThemeHandle::DrawThemeEdge(HDC hdc, int partId, int stateId, const RECT* destRect, UINT edge, UINT flags, RECT* contentRect) {
  using Fn = HRESULT (*)(HTHEME, HDC, int, int, const RECT*, UINT, UINT, RECT*);
  return Bind<Fn>("DrawThemeEdge", [](HTHEME, HDC, int, int, const RECT*, UINT, UINT, RECT*) -> HRESULT { return E_FAIL; })(theme_, hdc, partId, stateId, destRect, edge, flags, contentRect);
}

HRESULT CThemeHandle::DrawThemeIcon(HDC hdc, int partId, int stateId, const RECT* rect, HIMAGELIST imageList, int imageIndex) {
  using Fn = HRESULT (*)(HTHEME, HDC, int, int, const RECT*, HIMAGELIST, int);
  return Bind<Fn>("DrawThemeIcon", [](HTHEME, HDC, int, int, const RECT*, HIMAGELIST, int) -> HRESULT { return E_FAIL; })(theme_, hdc, partId, stateId, rect, imageList, imageIndex);
}

BOOL CThemeHandle::IsThemePartDefined(int partId, int stateId) {
  using Fn = BOOL (*)(HTHEME, int, int);
  return Bind<Fn>("IsThemePartDefined", [](HTHEME, int, int) -> BOOL { return FALSE; })(theme_, partId, stateId);
}

BOOL CThemeHandle::IsThemeBackgroundPartiallyTransparent(int partId, int stateId) {
  using Fn = BOOL (*)(HTHEME, int, int);
  return Bind<Fn>("IsThemeBackgroundPartiallyTransparent", [](HTHEME, int, int) -> BOOL { return FALSE; })(theme_, partId, stateId);
}

HRESULT CThemeHandle::GetThemeColor(int partId, int stateId, int propId, COLORREF* color) {
  using Fn = HRESULT (*)(HTHEME, int, int, int, COLORREF*);
  return Bind<Fn>("GetThemeColor", [](HTHEME, int, int, int, COLORREF*) -> HRESULT { return E_FAIL; })(theme_, partId, stateId, propId, color);
}

HRESULT CThemeHandle::GetThemeMetric(HDC hdc, int partId, int stateId, int propId, int* value) {
  using Fn = HRESULT (*)(HTHEME, HDC, int, int, int, int*);
  return Bind<Fn>("GetThemeMetric", [](HTHEME, HDC, int, int, int, int*) -> HRESULT { return E_FAIL; })(theme_, hdc, partId, stateId, propId, value);
}

HRESULT CThemeHandle::GetThemeString(int partId, int stateId, int propId, LPWSTR buffer, int maxChars) {
  using Fn = HRESULT (*)(HTHEME, int, int, int, LPWSTR, int);
  return Bind<Fn>("GetThemeString", [](HTHEME, int, int, int, LPWSTR, int) -> HRESULT { return E_FAIL; })(theme_, partId, stateId, propId, buffer, maxChars);
}

HRESULT CThemeHandle::GetThemeBool(int partId, int stateId, int propId, BOOL* value) {
  using Fn = HRESULT (*)(HTHEME, int, int, int, BOOL*);
  return Bind<Fn>("GetThemeBool", [](HTHEME, int, int, int, BOOL*) -> HRESULT { return E_FAIL; })(theme_, partId, stateId, propId, value);
}

HRESULT CThemeHandle::GetThemeInt(int partId, int stateId, int propId, int* value) {
  using Fn = HRESULT (*)(HTHEME, int, int, int, int*);
  return Bind<Fn>("GetThemeInt", [](HTHEME, int, int, int, int*) -> HRESULT { return E_FAIL; })(theme_, partId, stateId, propId, value);
}

HRESULT CThemeHandle::GetThemeEnumValue(int partId, int stateId, int propId, int* value) {
  using Fn = HRESULT (*)(HTHEME, int, int, int, int*);
  return Bind<Fn>("GetThemeEnumValue", [](HTHEME, int, int, int, int*) -> HRESULT { return E_FAIL; })(theme_, partId, stateId, propId, value);
}

HRESULT CThemeHandle::GetThemePosition(int partId, int stateId, int propId, POINT* point) {
  using Fn = HRESULT (*)(HTHEME, int, int, int, POINT*);
  return Bind<Fn>("GetThemePosition", [](HTHEME, int, int, int, POINT*) -> HRESULT { return E_FAIL; })(theme_, partId, stateId, propId, point);
}

HRESULT CThemeHandle::GetThemeFont(HDC hdc, int partId, int stateId, int propId, LOGFONTW* font) {
  using Fn = HRESULT (*)(HTHEME, HDC, int, int, int, LOGFONTW*);
  return Bind<Fn>("GetThemeFont", [](HTHEME, HDC, int, int, int, LOGFONTW*) -> HRESULT { return E_FAIL; })(theme_, hdc, partId, stateId, propId, font);
}

HRESULT CThemeHandle::GetThemeRect(int partId, int stateId, int propId, RECT* rect) {
  using Fn = HRESULT (*)(HTHEME, int, int, int, RECT*);
  return Bind<Fn>("GetThemeRect", [](HTHEME, int, int, int, RECT*) -> HRESULT { return E_FAIL; })(theme_, partId, stateId, propId, rect);
}

HRESULT CThemeHandle::GetThemeMargins(HDC hdc, int partId, int stateId, int propId, RECT* rect, MARGINS* margins) {
  using Fn = HRESULT (*)(HTHEME, HDC, int, int, int, RECT*, MARGINS*);
  return Bind<Fn>("GetThemeMargins", [](HTHEME, HDC, int, int, int, RECT*, MARGINS*) -> HRESULT { return E_FAIL; })(theme_, hdc, partId, stateId, propId, rect, margins);
}

HRESULT CThemeHandle::GetThemeIntList(int partId, int stateId, int propId, INTLIST* list) {
  using Fn = HRESULT (*)(HTHEME, int, int, int, INTLIST*);
  return Bind<Fn>("GetThemeIntList", [](HTHEME, int, int, int, INTLIST*) -> HRESULT { return E_FAIL; })(theme_, partId, stateId, propId, list);
}

HRESULT CThemeHandle::GetThemePropertyOrigin(int partId, int stateId, int propId, PROPERTYORIGIN* origin) {
  using Fn = HRESULT (*)(HTHEME, int, int, int, PROPERTYORIGIN*);
  return Bind<Fn>("GetThemePropertyOrigin", [](HTHEME, int, int, int, PROPERTYORIGIN*) -> HRESULT { return E_FAIL; })(theme_, partId, stateId, propId, origin);
}

HRESULT CThemeHandle::GetThemeFilename(int partId, int stateId, int propId, LPWSTR buffer, int maxChars) {
  using Fn = HRESULT (*)(HTHEME, int, int, int, LPWSTR, int);
  return Bind<Fn>("GetThemeFilename", [](HTHEME, int, int, int, LPWSTR, int) -> HRESULT { return E_FAIL; })(theme_, partId, stateId, propId, buffer, maxChars);
}

COLORREF CThemeHandle::GetThemeSysColor(int colorId) {
  using Fn = COLORREF (*)(HTHEME, int);
  return Bind<Fn>("GetThemeSysColor", [](HTHEME, int) -> COLORREF { return 0xFFFFFF; })(theme_, colorId);
}

HBRUSH CThemeHandle::GetThemeSysColorBrush(int colorId) {
  using Fn = HBRUSH (*)(HTHEME, int);
  return Bind<Fn>("GetThemeSysColorBrush", [](HTHEME, int) -> HBRUSH { return nullptr; })(theme_, colorId);
}

BOOL CThemeHandle::GetThemeSysBool(int boolId) {
  using Fn = BOOL (*)(HTHEME, int);
  return Bind<Fn>("GetThemeSysBool", [](HTHEME, int) -> BOOL { return FALSE; })(theme_, boolId);
}

int CThemeHandle::GetThemeSysSize(int sizeId) {
  using Fn = int (*)(HTHEME, int);
  return Bind<Fn>("GetThemeSysSize", [](HTHEME, int) -> int { return 0; })(theme_, sizeId);
}

HRESULT CThemeHandle::GetThemeSysFont(int fontId, LOGFONTW* font) {
  using Fn = HRESULT (*)(HTHEME, int, LOGFONTW*);
  return Bind<Fn>("GetThemeSysFont", [](HTHEME, int, LOGFONTW*) -> HRESULT { return E_FAIL; })(theme_, fontId, font);
}

HRESULT CThemeHandle::GetThemeSysString(int stringId, LPWSTR buffer, int maxChars) {
  using Fn = HRESULT (*)(HTHEME, int, LPWSTR, int);
  return Bind<Fn>("GetThemeSysString", [](HTHEME, int, LPWSTR, int) -> HRESULT { return E_FAIL; })(theme_, stringId, buffer, maxChars);
}

HRESULT CThemeHandle::GetThemeSysInt(int intId, int* value) {
  using Fn = HRESULT (*)(HTHEME, int, int*);
  return Bind<Fn>("GetThemeSysInt", [](HTHEME, int, int*) -> HRESULT { return E_FAIL; })(theme_, intId, value);
}

HRESULT CThemeHandle::SetWindowTheme(HWND hwnd, LPCWSTR subAppName, LPCWSTR subIdList) {
  using Fn = HRESULT (*)(HWND, LPCWSTR, LPCWSTR);
  return Bind<Fn>("SetWindowTheme", [](HWND, LPCWSTR, LPCWSTR) -> HRESULT { return E_FAIL; })(hwnd, subAppName, subIdList);
}

BOOL CThemeHandle::IsThemeActive() {
  using Fn = BOOL (*)();
  return Bind<Fn>("IsThemeActive", []() -> BOOL { return FALSE; })();
}

BOOL CThemeHandle::IsAppThemed() {
  using Fn = BOOL (*)();
  return Bind<Fn>("IsAppThemed", []() -> BOOL { return FALSE; })();
}

HTHEME CThemeHandle::GetWindowTheme(HWND hwnd) {
  using Fn = HTHEME (*)(HWND);
  return Bind<Fn>("GetWindowTheme", [](HWND) -> HTHEME { return nullptr; })(hwnd);
}

HRESULT CThemeHandle::EnableThemeDialogTexture(HWND hwnd, DWORD flags) {
  using Fn = HRESULT (*)(HWND, DWORD);
  return Bind<Fn>("EnableThemeDialogTexture", [](HWND, DWORD) -> HRESULT { return E_FAIL; })(hwnd, flags);
}

BOOL CThemeHandle::IsThemeDialogTextureEnabled(HWND hwnd) {
  using Fn = BOOL (*)(HWND);
  return Bind<Fn>("IsThemeDialogTextureEnabled", [](HWND) -> BOOL { return FALSE; })(hwnd);
}

DWORD CThemeHandle::GetThemeAppProperties() {
  using Fn = DWORD (*)();
  return Bind<Fn>("GetThemeAppProperties", []() -> DWORD { return 0; })();
}

void CThemeHandle::SetThemeAppProperties(DWORD flags) {
  using Fn = void (*)(DWORD);
  Bind<Fn>("SetThemeAppProperties", [](DWORD) -> void {})(flags);
}

HRESULT CThemeHandle::GetCurrentThemeName(LPWSTR themeFileName, int maxNameChars, LPWSTR colorBuff, int maxColorChars, LPWSTR sizeBuff, int maxSizeChars) {
  using Fn = HRESULT (*)(LPWSTR, int, LPWSTR, int, LPWSTR, int);
  return Bind<Fn>("GetCurrentThemeName", [](LPWSTR, int, LPWSTR, int, LPWSTR, int) -> HRESULT { return E_FAIL; })(themeFileName, maxNameChars, colorBuff, maxColorChars, sizeBuff, maxSizeChars);
}

HRESULT CThemeHandle::GetThemeDocumentationProperty(LPCWSTR themeName, LPCWSTR propertyName, LPWSTR valueBuff, int maxValChars) {
  using Fn = HRESULT (*)(LPCWSTR, LPCWSTR, LPWSTR, int);
  return Bind<Fn>("GetThemeDocumentationProperty", [](LPCWSTR, LPCWSTR, LPWSTR, int) -> HRESULT { return E_FAIL; })(themeName, propertyName, valueBuff, maxValChars);
}

HRESULT CThemeHandle::DrawThemeParentBackground(HWND hwnd, HDC hdc, const RECT* rect) {
  using Fn = HRESULT (*)(HWND, HDC, const RECT*);
  return Bind<Fn>("DrawThemeParentBackground", [](HWND, HDC, const RECT*) -> HRESULT { return E_FAIL; })(hwnd, hdc, rect);
}

HRESULT CThemeHandle::EnableTheming(BOOL enable) {
  using Fn = HRESULT (*)(BOOL);
  return Bind<Fn>("EnableTheming", [](BOOL) -> HRESULT { return E_FAIL; })(enable);
}
