// The stand-in AutoCAD: an application object over a drawing, answering the
// members the system uses with AutoCAD's names, argument types, results and
// failures. Tests and the Linux program create it here; the system itself
// only ever reaches it through the automation layer.
#pragma once

#include <cstdint>
#include <deque>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "automation/directory.h"
#include "automation/object.h"
#include "standins/drawing/drawing.h"
#include "standins/drawing/selection_filter.h"
#include "standins/drawing/undo_history.h"

namespace velmora::standins {

// What SelectOnScreen asks of the user: the drawing and which entities the
// filter lets through. The answer lists the entities picked (entities the
// filter refuses are left out again), or nothing for a cancelled pick, which
// makes SelectOnScreen fail with 0x80020009.
struct PickRequest {
    const Drawing& drawing;
    const SelectionFilter& filter;
};
using Pick = std::optional<std::vector<EntityId>>;
using Picker = std::function<Pick(const PickRequest&)>;

// Answers picks from a queue; once the queue is empty every pick is empty.
Picker ScriptedPicker(std::deque<Pick> picks);

// What Utility.GetEntity asks of the user: one entity of any kind, and the
// point it was picked at (world coordinates). Nothing when the user pressed
// Esc or picked nothing, which makes GetEntity fail with 0x80020009.
struct EntityPick {
    EntityId id = 0;
    Point3 at;
};
using EntityPicker =
    std::function<std::optional<EntityPick>(const Drawing& drawing, std::string_view prompt)>;

// Answers from a queue; once the queue is empty every pick is cancelled.
EntityPicker ScriptedEntityPicker(std::deque<std::optional<EntityPick>> picks);

// The command line keeps this many of the last lines said on it.
constexpr std::size_t kCommandLineLines = 100;

struct SelectionSetState;

// Everything the objects of one stand-in application share.
struct CadHost {
    Drawing drawing;
    Picker picker;
    EntityPicker entityPicker;
    bool closed = false;
    int windowState = 1;  // 1 normal, 2 minimised, 3 maximised
    bool visible = true;
    // The main window's handle (HWND), or on Linux the window's id; 0 while
    // the application has no window of its own.
    std::int64_t windowHandle = 0;
    UndoHistory undo;
    // Hooks for an interactive front end.
    std::function<void(int windowState)> onWindowState;
    std::function<void()> onDrawingChanged;
    std::function<void(const std::string& text)> onPrompt;
    // What was said on the command line (Utility.Prompt, GetEntity's
    // prompt), oldest first.
    std::deque<std::string> commandLine;

    // Set by RegisterCad, used by CloseCad.
    LocalDirectory* directory = nullptr;
    std::vector<std::string> progIds;
    std::vector<std::shared_ptr<SelectionSetState>> selectionSets;
};

std::shared_ptr<CadHost> NewCadHost(Drawing drawing = {}, Picker picker = {});

// The application object ("AutoCAD.Application") over the host.
Object CadApplication(const std::shared_ptr<CadHost>& host);

// Registers the application as running under progId.
void RegisterCad(const std::shared_ptr<CadHost>& host, LocalDirectory& directory,
                 std::string progId = "AutoCAD.Application");

// AutoCAD goes away: it is revoked from the directory, and every later call
// on any of its objects fails with 0x800706BA.
void CloseCad(CadHost& host);

// Names of the selection sets the document holds.
std::vector<std::string> SelectionSetNames(const CadHost& host);
// The entities in the named set, or nothing when there is no such set.
std::optional<std::vector<EntityId>> SelectionSetContents(const CadHost& host,
                                                          std::string_view name);

}  // namespace velmora::standins
