#pragma once

#include <windows.h>

namespace velmora {

// A Windows handle closed with `Close` when it goes: files, tokens, services, registry keys.
// Null and INVALID_HANDLE_VALUE both mean none.
template <typename T, auto Close>
class OwnedHandle {
  public:
    explicit OwnedHandle(T handle = nullptr) : handle_(handle) {}
    OwnedHandle(const OwnedHandle&) = delete;
    OwnedHandle& operator=(const OwnedHandle&) = delete;
    ~OwnedHandle() {
        if (Valid()) {
            Close(handle_);
        }
    }
    bool Valid() const {
        return handle_ != nullptr && reinterpret_cast<HANDLE>(handle_) != INVALID_HANDLE_VALUE;
    }
    T get() const { return handle_; }
    // For the calls that hand a new handle back through a pointer.
    T* out() { return &handle_; }
    // Gives the handle up without closing it.
    T Release() {
        T handle = handle_;
        handle_ = nullptr;
        return handle;
    }

  private:
    T handle_;
};

using FileHandle = OwnedHandle<HANDLE, &CloseHandle>;
using ServiceHandle = OwnedHandle<SC_HANDLE, &CloseServiceHandle>;
using KeyHandle = OwnedHandle<HKEY, &RegCloseKey>;

}  // namespace velmora
