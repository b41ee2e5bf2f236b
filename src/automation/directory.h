// The ProgID directory: find the instance of an application that is already
// running (never starting one), or create a new instance.
#pragma once

#include <functional>
#include <map>
#include <string>
#include <string_view>

#include "automation/object.h"

namespace velmora {

class ProgIdDirectory {
  public:
    virtual ~ProgIdDirectory() = default;
    // The running instance registered under progId; fails when there is none.
    virtual Object FindRunning(std::string_view progId) = 0;
    // A new instance; fails when the ProgID names nothing that can be created.
    virtual Object Create(std::string_view progId) = 0;
};

// An in-process directory: the Linux program and the tests register the
// stand-ins here. Lookups fail with the statuses Windows gives.
class LocalDirectory : public ProgIdDirectory {
  public:
    using Factory = std::function<Object()>;

    void RegisterRunning(std::string progId, Object instance);
    void RevokeRunning(std::string_view progId);
    void RegisterFactory(std::string progId, Factory factory);
    void RevokeFactory(std::string_view progId);

    Object FindRunning(std::string_view progId) override;
    Object Create(std::string_view progId) override;

    // How many lookups and creations were asked for, for tests.
    int FindCount() const { return findCount_; }
    int CreateCount() const { return createCount_; }

  private:
    std::map<std::string, Object, std::less<>> running_;
    std::map<std::string, Factory, std::less<>> factories_;
    int findCount_ = 0;
    int createCount_ = 0;
};

}  // namespace velmora
