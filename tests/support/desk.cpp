#include "desk.h"

#include <charconv>
#include <ostream>

#include "window/control_table.h"

namespace velmora::testing {

Desk::Desk() {
    // AutoCAD runs and is registered as AutoCAD registers itself; the
    // system reaches it through the switch.
    directory.RegisterRunning("AutoCAD.Application", Tapped(standins::CadApplication(cad), cadTap));
    cad->directory = &directory;
    cad->progIds.push_back("AutoCAD.Application");
    cad->windowHandle = kCadWindow;

    // Every creation of Excel makes a new stand-in instance behind the switch.
    directory.RegisterFactory(standins::kExcelProgId, [this]() -> Object {
        auto instance = std::make_shared<standins::ExcelInstance>();
        excel->created.push_back(instance);
        return Tapped(standins::MakeExcelApplication(instance), excelTap);
    });

    WindowServices services{directory};
    services.showMessage = [this](std::string_view text) { messages.emplace_back(text); };
    services.showWindow = [this] { ++shown; };
    services.textChanged = [this](int index) { changed.push_back(index); };
    services.bringToFront = [this](std::int64_t handle) { broughtForward.push_back(handle); };
    window = std::make_unique<ForTamrisk>(std::move(services));
}

void Desk::Picks(std::vector<standins::Pick> passes) {
    cad->picker = standins::ScriptedPicker({passes.begin(), passes.end()});
}

void Desk::Select(std::string_view name, int index) {
    window->OptionSelected(ControlAt(name, index));
}

std::vector<Label> Desk::Labels() const {
    std::vector<Label> labels;
    for (const standins::Entity* text : standins::Texts(cad->drawing)) {
        labels.push_back(
            {text->text, text->position, text->height, text->alignment, text->alignmentPoint});
    }
    return labels;
}

const standins::Sheet* Desk::Sheet(std::size_t instance) const {
    if (instance >= excel->created.size()) return nullptr;
    const standins::ExcelModel& model = excel->created[instance]->model;
    if (model.workbooks.empty() || model.workbooks[0].sheets.empty()) return nullptr;
    return &model.workbooks[0].sheets[0];
}

long Desk::CadReferences() const {
    // Besides this desk, only the running-object registration holds it,
    // until AutoCAD is closed.
    const long registered = cad->progIds.empty() ? 0 : 1;
    return cad.use_count() - 1 - registered;
}

void PrintTo(const Label& l, std::ostream* out) {
    *out << '"' << l.text << "\" h" << l.height << " a" << l.alignment << " at (" << l.insertion.x
         << ", " << l.insertion.y << ", " << l.insertion.z << ") on (" << l.alignmentPoint.x << ", "
         << l.alignmentPoint.y << ", " << l.alignmentPoint.z << ")";
}

std::string CellText(const standins::Sheet& sheet, int row, int column) {
    const standins::CellValue& value = standins::ValueAt(sheet, row, column);
    if (const auto* text = std::get_if<std::string>(&value)) return *text;
    if (const auto* number = std::get_if<double>(&value)) {
        char buffer[32];
        const auto result = std::to_chars(buffer, buffer + sizeof buffer, *number);
        return std::string(buffer, result.ptr);
    }
    return "";
}

std::optional<double> CellNumber(const standins::Sheet& sheet, int row, int column) {
    const standins::CellValue& value = standins::ValueAt(sheet, row, column);
    if (const auto* number = std::get_if<double>(&value)) return *number;
    return std::nullopt;
}

}  // namespace velmora::testing
