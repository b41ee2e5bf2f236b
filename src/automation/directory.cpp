#include "automation/directory.h"

#include "automation/failure.h"
#include "automation/status.h"

namespace velmora {

void LocalDirectory::RegisterRunning(std::string progId, Object instance) {
    running_[std::move(progId)] = std::move(instance);
}

void LocalDirectory::RevokeRunning(std::string_view progId) {
    if (auto it = running_.find(progId); it != running_.end()) running_.erase(it);
}

void LocalDirectory::RegisterFactory(std::string progId, Factory factory) {
    factories_[std::move(progId)] = std::move(factory);
}

void LocalDirectory::RevokeFactory(std::string_view progId) {
    if (auto it = factories_.find(progId); it != factories_.end()) factories_.erase(it);
}

Object LocalDirectory::FindRunning(std::string_view progId) {
    ++findCount_;
    auto it = running_.find(progId);
    if (it == running_.end() || !it->second) {
        Fail(status::kUnavailable, "no running instance of " + std::string(progId));
    }
    return it->second;
}

Object LocalDirectory::Create(std::string_view progId) {
    ++createCount_;
    auto it = factories_.find(progId);
    if (it == factories_.end()) Fail(status::kInvalidProgId, "unknown " + std::string(progId));
    Object instance = it->second();
    if (!instance) Fail(status::kClassNotRegistered, std::string(progId));
    return instance;
}

}  // namespace velmora
