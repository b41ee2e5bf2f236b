// The fuzz input read front to back as values; past its end every byte
// reads as 0, so a short input still builds whole values.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstring>

namespace velmora {

class FuzzInput {
  public:
    FuzzInput(const std::uint8_t* data, std::size_t size) : data_(data), size_(size) {}

    template <class T>
    T Take() {
        std::uint8_t bytes[sizeof(T)] = {};
        for (std::size_t i = 0; i < sizeof(T) && at_ < size_; ++i) bytes[i] = data_[at_++];
        T value;
        std::memcpy(&value, bytes, sizeof(T));
        return value;
    }
    std::uint8_t Byte() { return Take<std::uint8_t>(); }
    double Double() { return Take<double>(); }
    bool Done() const { return at_ >= size_; }

  private:
    const std::uint8_t* data_;
    std::size_t size_;
    std::size_t at_ = 0;
};

}  // namespace velmora
