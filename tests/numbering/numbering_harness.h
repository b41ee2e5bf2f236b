// A window state and services wired to an in-process stand-in AutoCAD, with
// scripted picks, for running the Number command end to end.
#pragma once

#include <deque>
#include <functional>
#include <string>
#include <vector>

#include "numbering/filter_mtext.h"
#include "standin_cad.h"
#include "window/control_values.h"
#include "window/pile_register.h"

namespace velmora::testing {

using standins::EntityId;
using standins::Point3;

struct Label {
    std::string text;
    Point3 insertion;
    int alignment;
    Point3 anchor;  // the alignment point when centred, else the insertion point
};

struct NumberingHarness {
    LocalDirectory directory;
    std::shared_ptr<standins::CadHost> cad = standins::NewCadHost();
    WindowState state;
    WindowServices services;
    std::vector<std::string> messages;
    int shown = 0;
    std::vector<int> changed;

    NumberingHarness() {
        standins::RegisterCad(cad, directory);
        services.directory = &directory;
        services.showMessage = [this](std::string_view text) { messages.emplace_back(text); };
        services.showWindow = [this] { ++shown; };
        services.textChanged = [this](int index) { changed.push_back(index); };
    }

    EntityId Point(double x, double y, double z = 0) {
        return standins::AddPoint(cad->drawing, {x, y, z});
    }
    EntityId Circle(double x, double y) {
        return standins::AddCircle(cad->drawing, {x, y, 0}, 0.4);
    }
    void Picks(std::deque<standins::Pick> picks) { cad->picker = standins::ScriptedPicker(picks); }
    void Set(int box, std::string text) { SetText1(state.controls, box, std::move(text)); }
    void Select(std::string_view name, int index) {
        SelectOption(state.controls, ControlAt(name, index));
    }
    void Run() { FilterMtext(state, services); }

    std::vector<Label> Labels() const {
        std::vector<Label> labels;
        for (const standins::Entity* text : standins::Texts(cad->drawing)) {
            labels.push_back(
                {text->text, text->position, text->alignment, standins::TextAnchor(*text)});
        }
        return labels;
    }
    RegisterRow Row(int row) const { return state.pileRegister.rows.at(row); }
};

// The 1-based number of the n-th call like "Get Coordinates" in a run of
// the scenario, so that a second run can fail exactly that call.
inline long CallNumber(const std::function<void(NumberingHarness&)>& scenario,
                       std::string_view call, int occurrence) {
    NumberingHarness dry;
    scenario(dry);
    dry.cad->logCalls = true;
    dry.Run();
    for (std::size_t i = 0; i < dry.cad->callLog.size(); ++i) {
        if (dry.cad->callLog[i] == call && --occurrence == 0) return long(i) + 1;
    }
    return 0;
}

}  // namespace velmora::testing
