#pragma once
// Per-thread maps from handles to the framework objects wrapping them: permanent entries for
// attached objects, temporary wrappers made by FromHandle until DeleteTempMap. The maps are never
// destroyed, so that objects with static storage can still detach themselves at exit.
#include <memory>
#include <mutex>
#include <thread>
#include <unordered_map>

namespace mfc {

template <class Object, class Handle>
class HandleMap {
 public:
  // The attached object, else a temporary wrapper made by make(handle).
  template <class Make>
  Object* FromHandle(Handle handle, Make make) {
    if (!handle) return nullptr;
    if (auto found = permanent_.find(handle); found != permanent_.end()) return found->second;
    auto& temp = temporary_[handle];
    if (!temp) temp.reset(make(handle));
    return temp.get();
  }
  // The attached object, or null.
  Object* Permanent(Handle handle) const {
    auto found = permanent_.find(handle);
    return found == permanent_.end() ? nullptr : found->second;
  }
  void SetPermanent(Handle handle, Object* object) { permanent_[handle] = object; }
  void RemoveHandle(Handle handle) { permanent_.erase(handle); }
  // Temporary wrappers let go of their handles (release) before they are deleted.
  template <class Release>
  void DeleteTemp(Release release) {
    for (auto& [handle, object] : temporary_) release(*object);
    temporary_.clear();
  }

 private:
  std::unordered_map<Handle, Object*> permanent_;
  std::unordered_map<Handle, std::unique_ptr<Object>> temporary_;
};

// The calling thread's map of that kind.
template <class Object, class Handle>
HandleMap<Object, Handle>& ThreadHandleMap() {
  static auto* lock = new std::mutex;
  static auto* maps = new std::unordered_map<std::thread::id, HandleMap<Object, Handle>>;
  std::lock_guard<std::mutex> guard(*lock);
  return (*maps)[std::this_thread::get_id()];
}

}  // namespace mfc
