#pragma once
// Run-time binding of the visual-styles library. The program never links to "UxTheme.dll": the
// library is loaded by name on first use and each function is bound by name on its first call.
// A missing library or function answers through a fallback with the same parameters that
// returns a failure value, so that callers take the classic drawing path.
#include "win32/uxtheme.h"
#include "win32/windows.h"

class CThemeApi {
 public:
  // Loads the library unless it is loaded or an attempt was made (once per process); returns
  // whether it is loaded.
  static BOOL Load();
  // When loaded: frees the library and forgets it, the attempt and every bound function.
  static void Unload();
  // The library's export of that name (loading it as Load does), or fallback.
  static FARPROC GetProc(LPCSTR name, FARPROC fallback);
};

// One open theme handle; closed on destruction. Every operation binds its function on first use
// (the binding is shared process-wide until CThemeApi::Unload) and passes the held handle first.
class CThemeHandle {
 public:
  CThemeHandle() = default;
  CThemeHandle(HWND hwnd, LPCWSTR classList);
  ~CThemeHandle();
  CThemeHandle(const CThemeHandle&) = delete;
  CThemeHandle& operator=(const CThemeHandle&) = delete;

  // Closes any held handle, opens one for the window and classes; whether one was obtained.
  BOOL OpenThemeData(HWND hwnd, LPCWSTR classList);
  // Closes the held handle, if any (S_OK when there is none), and holds null.
  HRESULT CloseThemeData();
  // Takes a handle (closing the held one first).
  void Attach(HTHEME theme);
  HTHEME Detach();
  HTHEME GetHandle() const { return theme_; }
  BOOL IsNull() const { return theme_ == nullptr; }

  HRESULT DrawThemeBackground(HDC hdc, int partId, int stateId, const RECT* rect, const RECT* clipRect);
  HRESULT DrawThemeText(HDC hdc, int partId, int stateId, LPCWSTR text, int charCount, DWORD textFlags,
                        DWORD textFlags2, const RECT* rect);
  HRESULT GetThemeBackgroundContentRect(HDC hdc, int partId, int stateId, const RECT* boundingRect,
                                        RECT* contentRect);
  HRESULT GetThemeBackgroundExtent(HDC hdc, int partId, int stateId, const RECT* contentRect, RECT* extentRect);
  HRESULT GetThemePartSize(HDC hdc, int partId, int stateId, const RECT* rect, THEMESIZE size, SIZE* psz);
  HRESULT GetThemeTextExtent(HDC hdc, int partId, int stateId, LPCWSTR text, int charCount, DWORD textFlags,
                             const RECT* boundingRect, RECT* extentRect);
  HRESULT GetThemeTextMetrics(HDC hdc, int partId, int stateId, TEXTMETRICW* metrics);
  HRESULT GetThemeBackgroundRegion(HDC hdc, int partId, int stateId, const RECT* rect, HRGN* region);
  HRESULT HitTestThemeBackground(HDC hdc, int partId, int stateId, DWORD options, const RECT* rect, HRGN region,
                                 POINT test, WORD* hitTestCode);
  HRESULT DrawThemeEdge(HDC hdc, int partId, int stateId, const RECT* destRect, UINT edge, UINT flags,
                        RECT* contentRect);
  HRESULT DrawThemeIcon(HDC hdc, int partId, int stateId, const RECT* rect, HIMAGELIST imageList, int imageIndex);
  BOOL IsThemePartDefined(int partId, int stateId);
  BOOL IsThemeBackgroundPartiallyTransparent(int partId, int stateId);
  HRESULT GetThemeColor(int partId, int stateId, int propId, COLORREF* color);
  HRESULT GetThemeMetric(HDC hdc, int partId, int stateId, int propId, int* value);
  HRESULT GetThemeString(int partId, int stateId, int propId, LPWSTR buffer, int maxChars);
  HRESULT GetThemeBool(int partId, int stateId, int propId, BOOL* value);
  HRESULT GetThemeInt(int partId, int stateId, int propId, int* value);
  HRESULT GetThemeEnumValue(int partId, int stateId, int propId, int* value);
  HRESULT GetThemePosition(int partId, int stateId, int propId, POINT* point);
  HRESULT GetThemeFont(HDC hdc, int partId, int stateId, int propId, LOGFONTW* font);
  HRESULT GetThemeRect(int partId, int stateId, int propId, RECT* rect);
  HRESULT GetThemeMargins(HDC hdc, int partId, int stateId, int propId, RECT* rect, MARGINS* margins);
  HRESULT GetThemeIntList(int partId, int stateId, int propId, INTLIST* list);
  HRESULT GetThemePropertyOrigin(int partId, int stateId, int propId, PROPERTYORIGIN* origin);
  HRESULT GetThemeFilename(int partId, int stateId, int propId, LPWSTR buffer, int maxChars);
  COLORREF GetThemeSysColor(int colorId);
  HBRUSH GetThemeSysColorBrush(int colorId);
  BOOL GetThemeSysBool(int boolId);
  int GetThemeSysSize(int sizeId);
  HRESULT GetThemeSysFont(int fontId, LOGFONTW* font);
  HRESULT GetThemeSysString(int stringId, LPWSTR buffer, int maxChars);
  HRESULT GetThemeSysInt(int intId, int* value);

  // Functions that take no theme handle.
  static HRESULT SetWindowTheme(HWND hwnd, LPCWSTR subAppName, LPCWSTR subIdList);
  static BOOL IsThemeActive();
  static BOOL IsAppThemed();
  static HTHEME GetWindowTheme(HWND hwnd);
  static HRESULT EnableThemeDialogTexture(HWND hwnd, DWORD flags);
  static BOOL IsThemeDialogTextureEnabled(HWND hwnd);
  static DWORD GetThemeAppProperties();
  static void SetThemeAppProperties(DWORD flags);
  static HRESULT GetCurrentThemeName(LPWSTR themeFileName, int maxNameChars, LPWSTR colorBuff, int maxColorChars,
                                     LPWSTR sizeBuff, int maxSizeChars);
  static HRESULT GetThemeDocumentationProperty(LPCWSTR themeName, LPCWSTR propertyName, LPWSTR valueBuff,
                                               int maxValChars);
  static HRESULT DrawThemeParentBackground(HWND hwnd, HDC hdc, const RECT* rect);
  static HRESULT EnableTheming(BOOL enable);

 private:
  HTHEME theme_ = nullptr;
};
