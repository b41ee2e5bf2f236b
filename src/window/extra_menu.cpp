#include "window/extra_menu.h"

namespace velmora {

ExtraMenuEntry ShownEntry(const WindowState& state, const ExtraMenuItem& item) {
    if (item.command == Command::PilesBySample && state.pileSample) {
        return {SampleInForce(*state.pileSample), true};
    }
    return {std::string(item.caption), false};
}

std::string_view CommandCaption(Command command) {
    for (const ControlSpec& entry : kControls) {
        if (entry.command == command) return entry.caption;
    }
    for (const ExtraMenuItem& item : kExtraMenu) {
        if (item.command == command) return item.caption;
    }
    return {};
}

}  // namespace velmora
