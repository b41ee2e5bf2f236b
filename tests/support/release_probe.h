// An automation object that notes when its last reference goes, so tests can
// see which references a step released and in what order.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "fake_object.h"
#include "window/window_state.h"

namespace velmora::testing {

class ReleaseProbe : public FakeObject {
  public:
    ReleaseProbe(std::string name, std::shared_ptr<std::vector<std::string>> released,
                 std::shared_ptr<CallLog> log)
        : FakeObject(name, std::move(log)), released_(std::move(released)) {}
    ~ReleaseProbe() override { released_->push_back(Name()); }

  private:
    std::shared_ptr<std::vector<std::string>> released_;
};

// Fills the window's references with probes; the state holds the only
// references, so each probe goes exactly when the state lets it go. Any call
// made on them lands in `log`.
inline std::shared_ptr<std::vector<std::string>> FillWithProbes(
    WindowState& state, std::shared_ptr<CallLog> log = std::make_shared<CallLog>()) {
    auto released = std::make_shared<std::vector<std::string>>();
    auto probe = [&](const char* name) {
        return std::make_shared<ReleaseProbe>(name, released, log);
    };
    state.cadSession.cadApplication = probe("CadApplication");
    state.cadSession.cadDocument = probe("CadDocument");
    state.excelApplication = probe("ExcelApplication");
    state.excelWorkbook = probe("ExcelWorkbook");
    state.excelWorksheet = probe("ExcelWorksheet");
    return released;
}

inline const std::vector<std::string> kUnloadReleases = {"CadApplication", "CadDocument",
                                                         "ExcelApplication"};

}  // namespace velmora::testing
