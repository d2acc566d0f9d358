// The thread's list of modal loops, and the focus their owners get back.
#include "win32/modal.h"

#include <algorithm>

#include "dialogs/dialog_state.h"

namespace win32 {
namespace {

thread_local std::vector<ModalWindow> modalStack;

}  // namespace

std::vector<ModalWindow> ModalStack() { return modalStack; }

ModalScope::ModalScope(ModalWindow window) : hwnd_(window.hwnd) { modalStack.push_back(std::move(window)); }

ModalScope::~ModalScope() {
  auto it = std::find_if(modalStack.rbegin(), modalStack.rend(), [this](const ModalWindow& m) { return m.hwnd == hwnd_; });
  if (it != modalStack.rend()) modalStack.erase(std::next(it).base());
}

namespace {

bool Inside(HWND owner, HWND window) { return window && (window == owner || IsChild(owner, window)); }

}  // namespace

OwnerFocus::OwnerFocus(HWND owner) : owner_(owner), focus_(owner && Inside(owner, GetFocus()) ? GetFocus() : nullptr) {
  // A dialog owner restores its saved focus itself when it is activated again.
  if (dialogs::DialogState* st = focus_ && focus_ != owner ? dialogs::StateOf(owner) : nullptr) st->savedFocus = focus_;
}

void OwnerFocus::GiveBack() const {
  if (focus_ && IsWindow(focus_) && Inside(owner_, focus_) && GetActiveWindow() == owner_ && GetFocus() != focus_)
    SetFocus(focus_);
}

}  // namespace win32
