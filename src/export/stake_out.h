// Stake-out files for survey instruments, made from the pile register:
// CASS's .dat (label, empty code, east, north, Z; no header) and a CSV for
// RTK controllers (header "点号,X(北),Y(东),H", then label, north, east, Z),
// both in GBK with CRLF line ends, coordinates to 3 places.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "window/pile_register.h"
#include "window/window_state.h"

namespace velmora {

enum class StakeOutFormat { Cass, Csv };

// The save dialog's file types, by StakeOutFormat.
inline constexpr FileType kStakeOutTypes[] = {
    {"CASS 坐标文件 (*.dat)", "dat"},
    {"CSV (*.csv)", "csv"},
};

struct StakeOutPile {
    std::string label;
    double north = 0, east = 0, z = 0;
};

// The piles of rows 0 … count − 1 that have coordinates, north and east
// taken by each row's record mode. A row without them (a failed
// translation, a row past the register's end) is counted as left out.
struct StakeOutRows {
    std::vector<StakeOutPile> piles;
    int leftOut = 0;
};
StakeOutRows CollectStakeOutRows(const PileRegister& pileRegister, std::int16_t count);

// The file's bytes, or the first pile whose label the format cannot hold
// (a comma or line break in a .dat, a character GBK lacks in either) and
// why; then there are no bytes.
struct StakeOutFile {
    std::string bytes;
    std::string refusedLabel;
    std::string_view refusal;  // empty when the file can be written
};
StakeOutFile ComposeStakeOut(const std::vector<StakeOutPile>& piles, StakeOutFormat format);

// The format a chosen name asks for: its extension (.dat or .csv, in any
// case), else the type chosen in the dialog. A name without an extension
// gets the type's.
struct StakeOutTarget {
    std::string path;
    StakeOutFormat format = StakeOutFormat::Cass;
};
StakeOutTarget ResolveStakeOutTarget(const SaveChoice& choice);

}  // namespace velmora
