// "按样例选桩…": the user picks one pile in the CAD; its kind, layer and, for
// a block reference, its block's name fix which entities every later pass
// of the Number command takes, until the sample is cleared or the window
// closes.
#pragma once

#include <string_view>

#include "window/window_state.h"

namespace velmora {

inline constexpr std::string_view kSamplePrompt = "选择样例桩（点、圆或图块）：";
inline constexpr std::string_view kSampleKindsMessage =
    "样例桩只能是点、圆或图块，所选对象不是。样例没有改变。";
inline constexpr std::string_view kUnreadableSampleMessage = "无法读取所选对象。样例没有改变。";
// Offered while a sample is in force.
inline constexpr std::string_view kSampleAnswers[] = {"清除样例", "重新选择样例", "取消"};

// Attaches as the Number command does (the same lookup, the same message
// when no CAD runs), brings the CAD forward and asks for one entity with
// Utility.GetEntity. A cancelled pick changes nothing; an entity of another
// kind changes nothing and says which kinds a sample may be. While a sample
// is in force it first asks whether to clear it or pick another.
void PickPileSample(WindowState& state, const WindowServices& services);

}  // namespace velmora
