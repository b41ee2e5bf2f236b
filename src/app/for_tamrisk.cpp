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
#include "numbering/pick_pile_sample.h"
#include "text/utf16.h"
#include "window/extra_menu.h"

namespace velmora {

ForTamrisk::ForTamrisk(WindowServices services) : services_(std::move(services)) {}

namespace {

void SayEscaped(const WindowServices& services, Command command, std::string_view kind,
                const std::exception& error) {
    const std::string text = "Velmora: " + std::string(kind) + " ended the command " +
                             std::string(CommandCaption(command)) + ": " + error.what();
    if (services.sayEscaped) {
        services.sayEscaped(text);
    } else {
        std::cerr << text << std::endl;
    }
}

}  // namespace

template <class Body>
void ForTamrisk::RunCommand(Command command, Body&& body) {
    if (commandRunning_ || unloaded_) return;
    commandRunning_ = true;
    if (services_.commandStarted) services_.commandStarted();
    struct Ended {
        ForTamrisk& window;
        ~Ended() {
            window.commandRunning_ = false;
            if (window.services_.commandEnded) window.services_.commandEnded();
            if (window.unloadPending_) window.Unload();
        }
    } ended{*this};
    // Commands handle their own failures. Anything else that escapes one
    // ends that command only: the window, and the pile register that lives
    // nowhere else, stay. What escaped is said (sayEscaped, else stderr); a
    // programming error (a std::logic_error) also stops a debug build right
    // here.
    try {
        body();
    } catch (const std::logic_error& error) {
        SayEscaped(services_, command, "a programming error", error);
        assert(!"a programming error escaped a command");
    } catch (const std::exception& error) {
        SayEscaped(services_, command, "a failure", error);
    }
}

void ForTamrisk::FilterMtext() {
    RunCommand(Command::Number, [this] { velmora::FilterMtext(state_, services_); });
}

void ForTamrisk::ExportCoordinateTable() {
    RunCommand(Command::Export, [this] { velmora::ExportCoordinateTable(state_, services_); });
}

void ForTamrisk::PickPileSample() {
    RunCommand(Command::PilesBySample, [this] { velmora::PickPileSample(state_, services_); });
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
    const std::size_t length = box ? Utf16Length(Text(state_.controls, *box)) : 0;
    return TextSelection{0, static_cast<int>(length)};
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

}  // namespace velmora
