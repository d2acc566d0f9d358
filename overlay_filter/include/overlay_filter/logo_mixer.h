#pragma once
// The Lumet overlay filter's class and its control interface ILogoMixer, through which a host
// sets the text and image the filter draws on every frame. In process only: no type library.
//
// Strings are 8-bit strings in the ANSI code page, copied into the filter's buffers (paths and
// faces 260 bytes, the text 1024, each with its terminator; longer strings are cut to fit).
// Colours are three ints of which the low byte is kept; flags keep their low byte too. Positions
// are pixels from the frame's top left corner. Every method answers S_OK.
#include "ole/unknwn.h"

// {A189029C-A6F9-4F88-A8E3-074D3DB362D8}
DEFINE_GUID(CLSID_LumetFilter, 0xA189029C, 0xA6F9, 0x4F88, 0xA8, 0xE3, 0x07, 0x4D, 0x3D, 0xB3, 0x62, 0xD8);
// {3932CC94-ADE9-4B84-969A-99EF3BDE8C8E}
DEFINE_GUID(IID_ILogoMixer, 0x3932CC94, 0xADE9, 0x4B84, 0x96, 0x9A, 0x99, 0xEF, 0x3B, 0xDE, 0x8C, 0x8E);

// Brush modes of SetTextStyle.
enum LogoTextStyle {
  LOGO_TEXT_SOLID = 0,
  LOGO_TEXT_OUTLINE = 1,
  LOGO_TEXT_FILLED_OUTLINE = 2,
  LOGO_TEXT_HATCH = 3,
  LOGO_TEXT_TEXTURE = 4,
};

interface ILogoMixer : public IUnknown {
  // The text's size as measured on the last frame that drew text.
  virtual HRESULT STDMETHODCALLTYPE GetTextExtent(int* width, int* height) = 0;
  virtual HRESULT STDMETHODCALLTYPE GetTextPosition(int* x, int* y) = 0;
  // The left and top of the text's layout rectangle.
  virtual HRESULT STDMETHODCALLTYPE SetTextPosition(int x, int y) = 0;
  virtual HRESULT STDMETHODCALLTYPE SetTextBox(int a, int b) = 0;  // stored only
  virtual HRESULT STDMETHODCALLTYPE ShowText(int show) = 0;
  virtual HRESULT STDMETHODCALLTYPE SetText(LPCSTR text) = 0;
  virtual HRESULT STDMETHODCALLTYPE GetText(LPSTR text) = 0;  // a buffer of 1024 bytes
  // Face name and em size in pixels.
  virtual HRESULT STDMETHODCALLTYPE SetTextFont(LPCSTR face, int size) = 0;
  virtual HRESULT STDMETHODCALLTYPE GetTextFont(LPSTR face, int* size) = 0;  // face: 260 bytes
  virtual HRESULT STDMETHODCALLTYPE SetSecondTextFont(LPCSTR face, int size) = 0;  // stored only
  virtual HRESULT STDMETHODCALLTYPE SetExtraTextColor(int r, int g, int b) = 0;    // stored only
  virtual HRESULT STDMETHODCALLTYPE SetTextColor(int r, int g, int b) = 0;
  virtual HRESULT STDMETHODCALLTYPE GetTextColor(int* r, int* g, int* b) = 0;
  // The fill of the filled outline mode and the pen of both outline modes.
  virtual HRESULT STDMETHODCALLTYPE SetOutlineTextBackColor(int r, int g, int b) = 0;
  virtual HRESULT STDMETHODCALLTYPE SetOutlineTextBorderColor(int r, int g, int b) = 0;
  virtual HRESULT STDMETHODCALLTYPE SetTextureBrushImage(LPCSTR path) = 0;
  // A GDI+ hatch style with its foreground and background colours.
  virtual HRESULT STDMETHODCALLTYPE SetHashBrushValue(int style, int foreR, int foreG, int foreB, int backR,
                                                      int backG, int backB) = 0;
  virtual HRESULT STDMETHODCALLTYPE SetReservedValue1(int value) = 0;  // stored only
  virtual HRESULT STDMETHODCALLTYPE SetReservedValue2(int value) = 0;  // stored only
  // GDI+ font style bits: 1 bold, 2 italic, 4 underline, 8 strikeout.
  virtual HRESULT STDMETHODCALLTYPE SetTextFontStyle(int style) = 0;
  // A LogoTextStyle; any other value draws no text.
  virtual HRESULT STDMETHODCALLTYPE SetTextStyle(int mode) = 0;
  virtual HRESULT STDMETHODCALLTYPE GetImagePosition(int* x, int* y) = 0;
  virtual HRESULT STDMETHODCALLTYPE SetImagePosition(int x, int y) = 0;
  virtual HRESULT STDMETHODCALLTYPE ShowImage(int show) = 0;
  virtual HRESULT STDMETHODCALLTYPE SetReservedFlag1(int flag) = 0;  // stored only
  virtual HRESULT STDMETHODCALLTYPE SetReservedFlag2(int flag) = 0;  // stored only
  virtual HRESULT STDMETHODCALLTYPE SetReservedFlag3(int flag) = 0;  // stored only
  virtual HRESULT STDMETHODCALLTYPE SetImageFile(LPCSTR path) = 0;
  virtual HRESULT STDMETHODCALLTYPE GetImageFile(LPSTR path) = 0;  // 260 bytes
  // Image pixels of exactly the key colour are transparent; all others take the alpha.
  virtual HRESULT STDMETHODCALLTYPE SetImageTransparency(int keyR, int keyG, int keyB, int alpha) = 0;
  virtual HRESULT STDMETHODCALLTYPE GetImageTransparency(int* keyR, int* keyG, int* keyB, int* alpha) = 0;
  virtual HRESULT STDMETHODCALLTYPE SetReservedFlag4(int value) = 0;  // stored only
  virtual HRESULT STDMETHODCALLTYPE GetReservedFlag4(int* value) = 0;
  virtual HRESULT STDMETHODCALLTYPE SetAnimatedImage1(LPCSTR path, int x, int y, int frames) = 0;  // stored only
  virtual HRESULT STDMETHODCALLTYPE SetAnimatedImage2(LPCSTR path, int x, int y, int frames) = 0;  // stored only
  // The image is drawn at the frame's size.
  virtual HRESULT STDMETHODCALLTYPE SetStretchImage(int stretch) = 0;
  // The alpha of every text colour, brush and pen.
  virtual HRESULT STDMETHODCALLTYPE SetTextAlpha(int alpha) = 0;
  virtual HRESULT STDMETHODCALLTYPE SetReservedText(LPCSTR text) = 0;  // stored only
  // Start and stop of the last frame, in seconds.
  virtual HRESULT STDMETHODCALLTYPE GetSampleTimes(double* start, double* stop) = 0;
};
