// The thread's list of modal loops.
#include "win32/modal.h"

#include <algorithm>

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

}  // namespace win32
