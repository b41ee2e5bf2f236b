// The sample pile the user picked with "按样例选桩…": the kind of entity,
// its layer and, for a block reference, the block's name as the user sees
// it. While the window holds one, every pass of the Number command picks
// only entities like it.
#pragma once

#include <string>

namespace velmora {

enum class SampleKind { Point, Circle, Block };

struct PileSample {
    SampleKind kind = SampleKind::Point;
    std::string layer;
    std::string blockName;  // blocks only: EffectiveName, or Name where the program lacks it
    friend bool operator==(const PileSample&, const PileSample&) = default;
};

// What the sample selects: "图块 ZH-1，图层 桩位", "圆，图层 0".
std::string DescribeSample(const PileSample& sample);
// The same as the menu item and the CAD's command line say it while the
// sample is in force: "按样例选桩：图块 ZH-1，图层 桩位".
std::string SampleInForce(const PileSample& sample);

}  // namespace velmora
