// Ownership of what the stand-in servers take from Windows and COM: event
// handles, registry keys and the cookies of their registrations are given
// back when their owner goes, on every path out.
#pragma once

#include <memory>
#include <type_traits>

#include "automation/com/win32_com.h"

namespace velmora::standins {

struct CloseKernelHandle {
    void operator()(HANDLE handle) const { CloseHandle(handle); }
};
using UniqueHandle = std::unique_ptr<std::remove_pointer_t<HANDLE>, CloseKernelHandle>;

struct CloseRegistryKey {
    void operator()(HKEY key) const { RegCloseKey(key); }
};
using RegistryKey = std::unique_ptr<std::remove_pointer_t<HKEY>, CloseRegistryKey>;

// A registration COM handed out a cookie for (in the running object table,
// or of a class object), revoked when it goes.
class Registration {
  public:
    using Revoke = void (*)(DWORD cookie);
    Registration(DWORD cookie, Revoke revoke) : cookie_(cookie), revoke_(revoke) {}
    ~Registration() { revoke_(cookie_); }
    Registration(const Registration&) = delete;
    Registration& operator=(const Registration&) = delete;

  private:
    DWORD cookie_;
    Revoke revoke_;
};

inline void RevokeRunning(DWORD cookie) { RevokeActiveObject(cookie, nullptr); }
inline void RevokeClass(DWORD cookie) { CoRevokeClassObject(cookie); }

}  // namespace velmora::standins
