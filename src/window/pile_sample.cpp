#include "window/pile_sample.h"

namespace velmora {

std::string DescribeSample(const PileSample& sample) {
    std::string text;
    switch (sample.kind) {
        case SampleKind::Point:
            text = "点";
            break;
        case SampleKind::Circle:
            text = "圆";
            break;
        case SampleKind::Block:
            text = "图块 " + sample.blockName;
            break;
    }
    return text + "，图层 " + sample.layer;
}

std::string SampleInForce(const PileSample& sample) {
    return "按样例选桩：" + DescribeSample(sample);
}

}  // namespace velmora
