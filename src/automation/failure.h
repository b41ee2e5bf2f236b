// A failed step: an automation member, an index out of range, an overflow or
// a conversion. Carries the 32-bit status that becomes a command's LastError.
#pragma once

#include <cstdint>
#include <exception>
#include <string>

namespace velmora {

class Failure : public std::exception {
  public:
    explicit Failure(std::uint32_t status, const std::string& detail = {});

    std::uint32_t Status() const noexcept { return status_; }
    const char* what() const noexcept override { return message_.c_str(); }

  private:
    std::uint32_t status_;
    std::string message_;
};

[[noreturn]] void Fail(std::uint32_t status, const std::string& detail = {});

// "0x80020009" and the like, for messages and test output.
std::string StatusText(std::uint32_t status);

}  // namespace velmora
