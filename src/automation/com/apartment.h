// COM on the user-interface thread: a single-threaded apartment for the
// thread's lifetime, with a message filter that keeps retrying calls the
// other application rejects while it is busy (AutoCAD during a pick or a
// regeneration) instead of failing them at once.
#pragma once

#include <cstdint>

#include "automation/com/win32_com.h"

namespace velmora {

// How long a rejected call is retried, and how long to wait between tries.
inline constexpr DWORD kRetryRejectedForMs = 30000;
inline constexpr DWORD kRetryDelayMs = 100;

// The message filter's decision for a rejected call: a delay in ms before
// retrying, or -1 to give up (the call then fails with RPC_E_CALL_REJECTED).
DWORD RetryDecision(DWORD rejectType, DWORD elapsedMs);

class ComApartment {
  public:
    // Enters the apartment and registers the message filter. Throws Failure
    // when the thread is already in a multithreaded apartment.
    ComApartment();
    ~ComApartment();
    ComApartment(const ComApartment&) = delete;
    ComApartment& operator=(const ComApartment&) = delete;

  private:
    IMessageFilter* previousFilter_ = nullptr;
    bool filterRegistered_ = false;
};

}  // namespace velmora
