// Continue-on-failure: each command owns one runner. A step that fails is
// abandoned where it failed, its status replaces LastError, and the command
// goes on with its next step.
#pragma once

#include <cstdint>
#include <new>

#include "automation/failure.h"
#include "automation/status.h"

namespace velmora {

class ContinueOnFailure {
  public:
    // Runs one step; true when it completed.
    template <class Step>
    bool Run(Step&& step) {
        try {
            step();
            return true;
        } catch (const Failure& failure) {
            lastError_ = failure.Status();
        } catch (const std::bad_alloc&) {
            lastError_ = status::kOutOfMemory;
        }
        return false;
    }

    // Evaluates a decision's condition. A failure while evaluating it counts
    // as true: the command goes on with the step the decision guards.
    template <class Condition>
    bool Test(Condition&& condition) {
        try {
            return static_cast<bool>(condition());
        } catch (const Failure& failure) {
            lastError_ = failure.Status();
        } catch (const std::bad_alloc&) {
            lastError_ = status::kOutOfMemory;
        }
        return true;
    }

    void Clear() { lastError_ = status::kOk; }
    std::uint32_t LastError() const { return lastError_; }

  private:
    std::uint32_t lastError_ = status::kOk;
};

}  // namespace velmora
