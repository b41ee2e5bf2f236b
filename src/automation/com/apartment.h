// COM on the user-interface thread: a single-threaded apartment for the
// thread's lifetime, with the busy-call filter (busy_filter.h) registered
// as its message filter.
#pragma once

#include <cstdint>

#include "automation/com/busy_filter.h"
#include "automation/com/win32_com.h"

namespace velmora {

class ComApartment {
  public:
    // Enters the apartment and registers the message filter. Throws Failure
    // when the thread is already in a multithreaded apartment.
    ComApartment();
    ~ComApartment();
    ComApartment(const ComApartment&) = delete;
    ComApartment& operator=(const ComApartment&) = delete;

    // The view sets its busy dialog here, and tells it where commands
    // begin and end.
    BusyFilter& Filter() { return filter_; }

  private:
    BusyFilter filter_;
    IMessageFilter* previousFilter_ = nullptr;
    bool filterRegistered_ = false;
};

}  // namespace velmora
