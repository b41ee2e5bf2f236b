// "关于 Velmora": the version, the licence and where the user guide is.
#pragma once

#include <string>

namespace velmora {

std::string AboutText();

}  // namespace velmora
