#pragma once
// An owning pointer to a COM interface: it holds one reference and releases it when it lets go.
//
// A raw pointer given to the constructor or to Reset is AddRef'd (the caller keeps its own
// reference); Attach takes over a reference the caller already owns, Detach hands it back out.
// put() and putVoid() release what is held and give the address an out parameter fills in.
#include <cstddef>
#include <utility>

#include "ole/unknwn.h"

template <class T>
class ComPtr {
 public:
  ComPtr() noexcept = default;
  ComPtr(std::nullptr_t) noexcept {}
  ComPtr(T* pointer) noexcept : pointer_(pointer) { AddRefHeld(); }
  ComPtr(const ComPtr& other) noexcept : pointer_(other.pointer_) { AddRefHeld(); }
  ComPtr(ComPtr&& other) noexcept : pointer_(std::exchange(other.pointer_, nullptr)) {}
  ~ComPtr() { ReleaseHeld(); }

  ComPtr& operator=(const ComPtr& other) noexcept {
    Reset(other.pointer_);
    return *this;
  }
  ComPtr& operator=(ComPtr&& other) noexcept {
    if (this != &other) {
      ReleaseHeld();
      pointer_ = std::exchange(other.pointer_, nullptr);
    }
    return *this;
  }
  ComPtr& operator=(std::nullptr_t) noexcept {
    Reset();
    return *this;
  }

  // Takes over a reference the caller owns.
  static ComPtr Adopt(T* owned) noexcept {
    ComPtr result;
    result.pointer_ = owned;
    return result;
  }
  void Attach(T* owned) noexcept {
    ReleaseHeld();
    pointer_ = owned;
  }
  // Hands the reference out to the caller, who now owns it.
  [[nodiscard]] T* Detach() noexcept { return std::exchange(pointer_, nullptr); }

  void Reset(T* pointer = nullptr) noexcept {
    if (pointer) pointer->AddRef();  // before the release: pointer may be the one held
    ReleaseHeld();
    pointer_ = pointer;
  }

  // For out parameters: what is held is released first.
  T** put() noexcept {
    Reset();
    return &pointer_;
  }
  void** putVoid() noexcept { return reinterpret_cast<void**>(put()); }

  // Hands out a new reference through an out parameter, as an interface method does.
  HRESULT CopyTo(T** out) const noexcept {
    if (!out) return E_POINTER;
    *out = pointer_;
    AddRefHeld();
    return S_OK;
  }

  T* get() const noexcept { return pointer_; }
  T* operator->() const noexcept { return pointer_; }
  T& operator*() const noexcept { return *pointer_; }
  explicit operator bool() const noexcept { return pointer_ != nullptr; }

  // QueryInterface for another interface of the same object.
  template <class U>
  HRESULT As(REFIID iid, ComPtr<U>* out) const noexcept {
    if (!out) return E_POINTER;
    if (!pointer_) {
      out->Reset();
      return E_POINTER;
    }
    return pointer_->QueryInterface(iid, out->putVoid());
  }
  template <class U>
  ComPtr<U> As(REFIID iid) const noexcept {
    ComPtr<U> result;
    As(iid, &result);
    return result;
  }

  friend bool operator==(const ComPtr& a, const ComPtr& b) noexcept { return a.pointer_ == b.pointer_; }
  friend bool operator==(const ComPtr& a, const T* b) noexcept { return a.pointer_ == b; }
  friend bool operator==(const ComPtr& a, std::nullptr_t) noexcept { return a.pointer_ == nullptr; }

 private:
  void AddRefHeld() const noexcept {
    if (pointer_) pointer_->AddRef();
  }
  void ReleaseHeld() noexcept {
    if (T* held = std::exchange(pointer_, nullptr)) held->Release();
  }

  T* pointer_ = nullptr;
};
