// The window's record of every numbered pile: 10001 rows of four texts
// (two plane coordinates, the third coordinate, the label) and the 16-bit
// count of piles numbered so far, which is also the next row to write.
// Beside the texts, each row remembers the record mode it was taken in,
// which says which of its two plane coordinates is north.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "window/control_values.h"

namespace velmora {

inline constexpr int kRegisterRows = 10001;
inline constexpr int kRegisterFields = 4;

using RegisterRow = std::array<std::string, kRegisterFields>;

struct PileRegister {
    std::vector<RegisterRow> rows = std::vector<RegisterRow>(kRegisterRows);
    // 用户坐标 rows hold E, N; 世界坐标 rows N, E of the user coordinate system.
    std::vector<Coordinates> modes = std::vector<Coordinates>(kRegisterRows, Coordinates::User);
};

// Field access; a row past 10000 (or below 0) or a field outside 0 … 3 does
// not exist and fails with the subscript-out-of-range status.
const std::string& RegisterField(const PileRegister& pileRegister, int row, int field);
void SetRegisterField(PileRegister& pileRegister, int row, int field, std::string text);
// The record mode of a row, checked as its fields are.
Coordinates RegisterMode(const PileRegister& pileRegister, int row);
void SetRegisterMode(PileRegister& pileRegister, int row, Coordinates mode);

}  // namespace velmora
