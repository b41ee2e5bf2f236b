// UTF-8 (the system's text) to and from the UTF-16 of Windows' wide API.
#pragma once

#include <string>
#include <string_view>

namespace velmora {

std::wstring Wide(std::string_view utf8);
std::string Narrow(std::wstring_view utf16);

}  // namespace velmora
