#include "app/for_tamrisk.h"

#include <cassert>
#include <exception>
#include <iostream>
#include <stdexcept>
#include <utility>

#include "app/about.h"
#include "automation/runner.h"
#include "export/export_coordinate_table.h"
#include "export/export_stake_out.h"
#include "numbering/filter_mtext.h"
#include "window/extra_menu.h"

namespace velmora {

ForTamrisk::ForTamrisk(WindowServices services) : services_(std::move(services)) {}

namespace {

void SayEscaped(Command command, std::string_view kind, const std::exception& error) {
    std::cerr << "Velmora: " << kind << " ended the command " << CommandCaption(command) << ": "
              << error.what() << std::endl;
}

}  // namespace

template <class Body>
void ForTamrisk::RunCommand(Command command, Body&& body) {
    if (commandRunning_ || unloaded_) return;
    commandRunning_ = true;
    struct Ended {
        ForTamrisk& window;
        ~Ended() {
            window.commandRunning_ = false;
            if (window.unloadPending_) window.Unload();
        }
    } ended{*this};
    // Commands handle their own failures. Anything else that escapes one
    // ends that command only: the window, and the pile register that lives
    // nowhere else, stay. What escaped is said on stderr; a programming
    // error (a std::logic_error) also stops a debug build right here.
    try {
        body();
    } catch (const std::logic_error& error) {
        SayEscaped(command, "a programming error", error);
        assert(!"a programming error escaped a command");
    } catch (const std::exception& error) {
        SayEscaped(command, "a failure", error);
    }
}

void ForTamrisk::FilterMtext() {
    RunCommand(Command::Number, [this] { velmora::FilterMtext(state_, services_); });
}

void ForTamrisk::ExportCoordinateTable() {
    RunCommand(Command::Export, [this] { velmora::ExportCoordinateTable(state_, services_); });
}

void ForTamrisk::PickPileSample() {
    RunCommand(Command::PilesBySample, [] {});
}

void ForTamrisk::ExportStakeOutFile() {
    RunCommand(Command::StakeOut, [this] { velmora::ExportStakeOutFile(state_, services_); });
}

void ForTamrisk::ShowAbout() {
    RunCommand(Command::About, [this] {
        const std::string text = AboutText();
        if (services_.showAbout) {
            services_.showAbout(text);
        } else if (services_.showMessage) {
            services_.showMessage(text);
        }
    });
}

bool ForTamrisk::Click(Command command) {
    switch (command) {
        case Command::Cancel:
            return Unload();
        case Command::Number:
            FilterMtext();
            break;
        case Command::Export:
            ExportCoordinateTable();
            break;
        case Command::PilesBySample:
            PickPileSample();
            break;
        case Command::StakeOut:
            ExportStakeOutFile();
            break;
        case Command::About:
            ShowAbout();
            break;
        case Command::None:
            break;
    }
    // An unload asked for while the command ran has now happened.
    return unloaded_;
}

bool ForTamrisk::Unload() {
    if (unloaded_) return true;
    if (commandRunning_) {
        unloadPending_ = true;
        return false;
    }
    unloaded_ = true;
    // Only the references are dropped: AutoCAD and Excel keep running, with
    // the labels drawn and the exported workbook still open.
    ContinueOnFailure runner;
    runner.Run([&] { state_.cadSession.cadApplication.reset(); });
    runner.Run([&] { state_.cadSession.cadDocument.reset(); });
    runner.Run([&] { state_.excelApplication.reset(); });
    return true;
}

bool ForTamrisk::TakesInputMethod(int index) {
    return index == Text1Index(TextBox::Prefix) || index == Text1Index(TextBox::Suffix);
}

std::int16_t ForTamrisk::KeyPress(int index, std::int16_t code) {
    if (TakesInputMethod(index)) return code;
    const bool digit = code >= 48 && code <= 57;
    return (digit || code == 46 || code == 8) ? code : std::int16_t{0};
}

TextSelection ForTamrisk::GotFocus(int index) const {
    const std::optional<TextBox> box = TextBoxAt(index);
    return TextSelection{0, box ? Utf16Length(Text(state_.controls, *box)) : 0};
}

void ForTamrisk::TextEdited(int index, std::string text) {
    if (const std::optional<TextBox> box = TextBoxAt(index)) {
        SetText(state_.controls, *box, std::move(text));
    }
}

void ForTamrisk::OptionSelected(int position) {
    // Only option buttons take part in a group; anything else is ignored.
    if (position < 0 || position >= kControlCount) return;
    if (kControls[position].kind != ControlKind::OptionButton) return;
    SelectOption(state_.controls, position);
}

int Utf16Length(std::string_view text) {
    int units = 0;
    for (std::size_t i = 0; i < text.size();) {
        const auto lead = static_cast<unsigned char>(text[i]);
        std::size_t size = 1;
        if (lead >= 0xC2 && lead <= 0xDF) {
            size = 2;
        } else if (lead >= 0xE0 && lead <= 0xEF) {
            size = 3;
        } else if (lead >= 0xF0 && lead <= 0xF4) {
            size = 4;
        }
        bool valid = size > 1 && i + size <= text.size();
        for (std::size_t k = 1; valid && k < size; ++k) {
            valid = (static_cast<unsigned char>(text[i + k]) & 0xC0) == 0x80;
        }
        if (!valid) size = 1;
        units += (valid && size == 4) ? 2 : 1;
        i += size;
    }
    return units;
}

}  // namespace velmora
