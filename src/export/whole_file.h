// Writing a file so that it is never seen half written: the bytes go to a
// new file beside the target, which is then renamed over it.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace velmora {

// Writes `bytes` as the file at `path` (UTF-8). Afterwards the file there is
// either the new one, whole, or, when anything failed, what was there
// before, untouched; no temporary file is left. Returns what failed, in the
// system's words, or nothing on success.
std::optional<std::string> WriteWholeFile(const std::string& path, std::string_view bytes);

}  // namespace velmora
