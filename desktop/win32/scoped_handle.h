// A kernel HANDLE that closes itself. Move-only, so every handle has exactly
// one owner and is closed exactly once.
#pragma once

#include <windows.h>

#include <utility>

namespace vantrix::win32 {

class ScopedHandle {
 public:
  ScopedHandle() = default;
  explicit ScopedHandle(HANDLE handle) : handle_(handle) {}
  ~ScopedHandle() { Close(); }
  ScopedHandle(ScopedHandle&& other) noexcept : handle_(std::exchange(other.handle_, nullptr)) {}
  ScopedHandle& operator=(ScopedHandle&& other) noexcept {
    if (this != &other) {
      Close();
      handle_ = std::exchange(other.handle_, nullptr);
    }
    return *this;
  }
  ScopedHandle(const ScopedHandle&) = delete;
  ScopedHandle& operator=(const ScopedHandle&) = delete;

  // CreateFileA reports failure as INVALID_HANDLE_VALUE, most other calls as
  // a null handle; neither is open.
  bool IsValid() const { return handle_ != nullptr && handle_ != INVALID_HANDLE_VALUE; }
  HANDLE Get() const { return handle_; }

  // Closes now; false when CloseHandle reported a failure. Closing an invalid
  // or already closed handle is harmless and succeeds.
  bool Close() {
    if (!IsValid()) {
      handle_ = nullptr;
      return true;
    }
    const BOOL closed = CloseHandle(std::exchange(handle_, nullptr));
    return closed != FALSE;
  }

 private:
  HANDLE handle_ = nullptr;
};

}  // namespace vantrix::win32
