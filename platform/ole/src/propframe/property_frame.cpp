// The modal property frame: pages of one or more objects behind a row of tab buttons.
#include <algorithm>
#include <string>
#include <vector>

#include "ole/comptr.h"
#include "ole/oleidl.h"
#include "win32/utf.h"
#include "win32/windows.h"

namespace {

constexpr int kMargin = 7;
constexpr int kTabHeight = 20;
constexpr int kTabWidth = 80;
constexpr int kButtonWidth = 75;
constexpr int kButtonHeight = 23;

std::string Narrow(LPCOLESTR text) { return text ? win32::Utf16ToUtf8(text) : std::string(); }

struct Page {
  ComPtr<IPropertyPage> page;
  std::string title;
  SIZE size;
};

class Frame final : public IPropertyPageSite {
 public:
  Frame(ULONG cObjects, IUnknown** objects, ULONG cPages, const CLSID* clsids) {
    for (ULONG i = 0; i < cPages; ++i) {
      ComPtr<IPropertyPage> page;
      if (FAILED(CoCreateInstance(clsids[i], nullptr, CLSCTX_INPROC_SERVER, IID_IPropertyPage, page.putVoid())))
        continue;
      page->SetPageSite(this);
      page->SetObjects(cObjects, objects);
      PROPPAGEINFO info = {};
      info.cb = sizeof info;
      page->GetPageInfo(&info);
      pages_.push_back({std::move(page), Narrow(info.pszTitle), info.size});
      CoTaskMemFree(info.pszTitle);
      CoTaskMemFree(info.pszDocString);
      CoTaskMemFree(info.pszHelpFile);
    }
  }
  ~Frame() {
    for (Page& p : pages_) {
      p.page->SetObjects(0, nullptr);
      p.page->SetPageSite(nullptr);
    }
  }
  Frame(const Frame&) = delete;
  Frame& operator=(const Frame&) = delete;

  bool Empty() const { return pages_.empty(); }

  // IPropertyPageSite: the frame lives on the caller's stack.
  STDMETHOD(QueryInterface)(REFIID riid, void** ppv) override {
    if (!ppv) return E_POINTER;
    if (riid == IID_IUnknown || riid == IID_IPropertyPageSite) {
      *ppv = static_cast<IPropertyPageSite*>(this);
      return S_OK;
    }
    *ppv = nullptr;
    return E_NOINTERFACE;
  }
  STDMETHOD_(ULONG, AddRef)() override { return 2; }
  STDMETHOD_(ULONG, Release)() override { return 1; }
  STDMETHOD(OnStatusChange)(DWORD) override {
    if (dialog_) EnableWindow(GetDlgItem(dialog_, PROPFRAME_ID_APPLY), AnyDirty());
    return S_OK;
  }
  STDMETHOD(GetLocaleID)(LCID* pLocaleID) override {
    if (!pLocaleID) return E_POINTER;
    *pLocaleID = 0x0409;
    return S_OK;
  }
  STDMETHOD(GetPageContainer)(IUnknown** ppUnk) override {
    if (ppUnk) *ppUnk = nullptr;
    return E_NOTIMPL;
  }
  STDMETHOD(TranslateAccelerator)(MSG*) override { return S_FALSE; }

  void Init(HWND dialog) {
    dialog_ = dialog;
    SIZE area = {200, 100};
    for (const Page& p : pages_) {
      area.cx = std::max(area.cx, p.size.cx);
      area.cy = std::max(area.cy, p.size.cy);
    }
    for (size_t i = 0; i < pages_.size(); ++i) {
      CreateWindowExA(0, "BUTTON", pages_[i].title.c_str(),
                      WS_CHILD | WS_VISIBLE | BS_AUTORADIOBUTTON | (i == 0 ? WS_GROUP : 0),
                      kMargin + int(i) * kTabWidth, kMargin, kTabWidth, kTabHeight, dialog,
                      reinterpret_cast<HMENU>(static_cast<INT_PTR>(PROPFRAME_ID_FIRSTTAB + i)), nullptr, nullptr);
    }
    pageRect_ = {kMargin, kMargin + kTabHeight + 4, kMargin + area.cx, kMargin + kTabHeight + 4 + area.cy};
    const int width = std::max<int>(area.cx, 3 * kButtonWidth + 2 * kMargin) + 2 * kMargin;
    const int buttonsTop = pageRect_.bottom + kMargin;
    const struct {
      int id;
      const char* text;
    } buttons[] = {{IDOK, "OK"}, {IDCANCEL, "Cancel"}, {PROPFRAME_ID_APPLY, "&Apply"}};
    for (int i = 0; i < 3; ++i) {
      HWND b = CreateWindowExA(0, "BUTTON", buttons[i].text,
                               WS_CHILD | WS_VISIBLE | WS_TABSTOP | (i == 0 ? BS_DEFPUSHBUTTON : BS_PUSHBUTTON),
                               width - kMargin - (3 - i) * kButtonWidth - (2 - i) * kMargin, buttonsTop, kButtonWidth,
                               kButtonHeight, dialog, reinterpret_cast<HMENU>(static_cast<INT_PTR>(buttons[i].id)),
                               nullptr, nullptr);
      if (buttons[i].id == PROPFRAME_ID_APPLY) EnableWindow(b, FALSE);
    }
    RECT frame = {0, 0, width, buttonsTop + kButtonHeight + kMargin};
    AdjustWindowRectEx(&frame, DWORD(GetWindowLongA(dialog, GWL_STYLE)), FALSE,
                       DWORD(GetWindowLongA(dialog, GWL_EXSTYLE)));
    SetWindowPos(dialog, nullptr, 0, 0, frame.right - frame.left, frame.bottom - frame.top,
                 SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    if (!pages_.empty()) Select(0);
  }

  void Select(size_t index) {
    if (index >= pages_.size() || (active_ == index && activated_)) return;
    if (activated_) pages_[active_].page->Deactivate();
    active_ = index;
    activated_ = SUCCEEDED(pages_[index].page->Activate(dialog_, &pageRect_, TRUE));
    if (activated_) pages_[index].page->Show(SW_SHOW);
    CheckRadioButton(dialog_, PROPFRAME_ID_FIRSTTAB, PROPFRAME_ID_FIRSTTAB + int(pages_.size()) - 1,
                     PROPFRAME_ID_FIRSTTAB + int(index));
  }

  bool ApplyAll() {
    for (Page& p : pages_)
      if (p.page->IsPageDirty() == S_OK && FAILED(p.page->Apply())) return false;
    OnStatusChange(PROPPAGESTATUS_CLEAN);
    return true;
  }

  void Close() {
    if (activated_) pages_[active_].page->Deactivate();
    activated_ = false;
  }

 private:
  bool AnyDirty() const {
    for (const Page& p : pages_)
      if (p.page->IsPageDirty() == S_OK) return true;
    return false;
  }

  std::vector<Page> pages_;
  HWND dialog_ = nullptr;
  RECT pageRect_ = {};
  size_t active_ = 0;
  bool activated_ = false;
};

INT_PTR CALLBACK FrameProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
  auto* frame = reinterpret_cast<Frame*>(GetWindowLongPtrA(dialog, DWLP_USER));
  switch (message) {
    case WM_INITDIALOG:
      SetWindowLongPtrA(dialog, DWLP_USER, lParam);
      reinterpret_cast<Frame*>(lParam)->Init(dialog);
      return TRUE;
    case WM_COMMAND: {
      const int id = LOWORD(wParam);
      if (!frame) return FALSE;
      if (id == IDOK) {
        if (frame->ApplyAll()) {
          frame->Close();
          EndDialog(dialog, IDOK);
        }
      } else if (id == IDCANCEL) {
        frame->Close();
        EndDialog(dialog, IDCANCEL);
      } else if (id == PROPFRAME_ID_APPLY) {
        frame->ApplyAll();
      } else if (id >= PROPFRAME_ID_FIRSTTAB && HIWORD(wParam) == BN_CLICKED) {
        frame->Select(size_t(id - PROPFRAME_ID_FIRSTTAB));
      } else {
        return FALSE;
      }
      return TRUE;
    }
    case WM_DESTROY:
      if (frame) frame->Close();
      return FALSE;
    default: return FALSE;
  }
}

}  // namespace

HRESULT OleCreatePropertyFrame(HWND hwndOwner, UINT x, UINT y, LPCOLESTR lpszCaption, ULONG cObjects,
                               IUnknown** ppUnk, ULONG cPages, const CLSID* pPageClsID, LCID, DWORD, void*) {
  if ((cObjects && !ppUnk) || (cPages && !pPageClsID)) return E_POINTER;
  Frame frame(cObjects, ppUnk, cPages, pPageClsID);
  if (frame.Empty()) return E_FAIL;
  std::string caption = Narrow(lpszCaption);
  caption = caption.empty() ? "Properties" : caption + " Properties";
  DLGTEMPLATE t = {WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME, 0, short(x), short(y), 10, 10,
                   caption.c_str(), nullptr, 0};
  INT_PTR result = DialogBoxIndirectParamA(nullptr, &t, hwndOwner, FrameProc, reinterpret_cast<LPARAM>(&frame));
  return result == -1 ? E_FAIL : S_OK;
}
