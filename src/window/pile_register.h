// The window's record of every numbered pile: 10001 rows of four texts
// (two plane coordinates, the third coordinate, the label) and the 16-bit
// count of piles numbered so far, which is also the next row to write.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <vector>

namespace velmora {

inline constexpr int kRegisterRows = 10001;
inline constexpr int kRegisterFields = 4;

using RegisterRow = std::array<std::string, kRegisterFields>;

struct PileRegister {
    std::vector<RegisterRow> rows = std::vector<RegisterRow>(kRegisterRows);
};

// Field access; a row past 10000 (or below 0) or a field outside 0 … 3 does
// not exist and fails with the subscript-out-of-range status.
const std::string& RegisterField(const PileRegister& pileRegister, int row, int field);
void SetRegisterField(PileRegister& pileRegister, int row, int field, std::string text);

}  // namespace velmora
