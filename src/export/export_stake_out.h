// "导出测量坐标…": writes the piles of the register to a stake-out file that
// the user names in the save dialog (export/stake_out.h).
#pragma once

#include <string_view>

#include "window/window_state.h"

namespace velmora {

inline constexpr std::string_view kStakeOutTitle = "导出测量坐标";
inline constexpr std::string_view kStakeOutSuggestedName = "桩坐标.dat";
inline constexpr std::string_view kNothingRecordedMessage =
    "还没有记录任何桩，没有可导出的测量坐标。";

// Reads PileCount and the register rows below it and changes neither. With
// nothing to write it says so and opens no dialog; a label the chosen format
// cannot hold stops it before anything is written, naming the label; the
// file is written whole or not at all. Each outcome is said in one message.
void ExportStakeOutFile(WindowState& state, const WindowServices& services);

}  // namespace velmora
