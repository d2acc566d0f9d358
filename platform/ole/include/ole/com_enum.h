#pragma once
// One enumerator shape for IEnumVARIANT, IEnumMoniker, IEnumConnections and
// IEnumConnectionPoints: a shared, immutable list of items and a position. Clones share the list.
#include <atomic>
#include <memory>
#include <vector>

#include "ole/unknwn.h"

// Traits: static HRESULT Copy(Item* to, const Item& from) hands out a new reference/copy;
// static void Release(Item& item) drops the list's own.
template <typename Interface, typename Item, typename Traits>
class ComEnum final : public Interface {
 public:
  using Items = std::vector<Item>;

  // Takes over the items (and the references they hold).
  static Interface* Create(const IID& iid, Items items) {
    auto shared = std::shared_ptr<Items>(new Items(std::move(items)), [](Items* list) {
      for (Item& item : *list) Traits::Release(item);
      delete list;
    });
    return new ComEnum(iid, std::move(shared), 0);
  }

  STDMETHOD(QueryInterface)(REFIID riid, void** ppvObject) override {
    if (!ppvObject) return E_POINTER;
    if (riid == IID_IUnknown || riid == iid_) {
      *ppvObject = static_cast<Interface*>(this);
      AddRef();
      return S_OK;
    }
    *ppvObject = nullptr;
    return E_NOINTERFACE;
  }
  STDMETHOD_(ULONG, AddRef)() override { return ++refs_; }
  STDMETHOD_(ULONG, Release)() override {
    const ULONG left = --refs_;
    if (left == 0) delete this;
    return left;
  }

  STDMETHOD(Next)(ULONG celt, Item* rgelt, ULONG* pceltFetched) override {
    if (pceltFetched) *pceltFetched = 0;
    if (!rgelt) return E_POINTER;
    if (celt > 1 && !pceltFetched) return E_INVALIDARG;
    ULONG fetched = 0;
    while (fetched < celt && position_ < items_->size()) {
      HRESULT hr = Traits::Copy(&rgelt[fetched], (*items_)[position_]);
      if (FAILED(hr)) return hr;
      ++fetched;
      ++position_;
    }
    if (pceltFetched) *pceltFetched = fetched;
    return fetched == celt ? S_OK : S_FALSE;
  }
  STDMETHOD(Skip)(ULONG celt) override {
    const size_t left = items_->size() - position_;
    if (celt > left) {
      position_ = items_->size();
      return S_FALSE;
    }
    position_ += celt;
    return S_OK;
  }
  STDMETHOD(Reset)() override {
    position_ = 0;
    return S_OK;
  }
  STDMETHOD(Clone)(Interface** ppEnum) override {
    if (!ppEnum) return E_POINTER;
    *ppEnum = new ComEnum(iid_, items_, position_);
    return S_OK;
  }

 private:
  ComEnum(const IID& iid, std::shared_ptr<Items> items, size_t position)
      : iid_(iid), items_(std::move(items)), position_(position) {}

  std::atomic<ULONG> refs_{1};
  IID iid_;
  std::shared_ptr<Items> items_;
  size_t position_;
};

// Items that are interface pointers.
template <typename Pointer>
struct InterfaceItemTraits {
  static HRESULT Copy(Pointer* to, const Pointer& from) {
    if (from) from->AddRef();
    *to = from;
    return S_OK;
  }
  static void Release(Pointer& item) {
    if (item) item->Release();
  }
};
