// The ProgID directory on Windows: the running object table for running
// instances (never starting one), class activation for new ones.
#pragma once

#include "automation/directory.h"

namespace velmora {

class ComDirectory : public ProgIdDirectory {
  public:
    Object FindRunning(std::string_view progId) override;
    Object Create(std::string_view progId) override;
};

}  // namespace velmora
