// Opening and saving drawings as ASCII DXF files. Reading keeps the
// model-space points, circles, texts, lines, arcs and polylines, draws
// block references, MTEXT, dimensions, hatches … as context, and keeps the
// saved user coordinate system and the file's text; saving gives that text back
// with the new labels, or writes the drawing as DXF R12.
#pragma once

#include <map>
#include <string>
#include <string_view>

#include "standins/drawing/drawing.h"

namespace velmora::standins {

struct DxfRead {
    Drawing drawing;
    std::string error;                                // empty when the drawing was read
    std::map<std::string, int, std::less<>> skipped;  // entity types left out, with counts
    // Entities kept only in the file's text (drawn as context, or of paper
    // space): a save that does not give the file back whole loses them.
    std::size_t fileOnly = 0;
};

// Reads a drawing from the text of a DXF file.
DxfRead ReadDxf(std::string_view content);
// Reads a drawing from a file; the error names the file and the reason.
DxfRead LoadDxf(const std::string& path);

struct DxfSave {
    std::string error;  // empty when saved; names the file and the reason
    int leftOut = 0;    // entities with coordinates that are not finite numbers
};

// Whether saving gives back the drawing's file whole: every entity read
// from it is there unchanged, and what was added are texts. Such a save
// writes the file's text as it was with the new texts at the end of its
// entities; any other save writes the drawing's entities as DXF R12.
bool SavesWhole(const Drawing& drawing);

// Writes the drawing to a temporary file beside the target and renames it
// over the target, so that a failed save leaves the previous file whole.
DxfSave SaveDxf(const Drawing& drawing, const std::string& path);

// After the drawing was saved as DXF R12 to another file: what only its
// old file held (the shapes drawn from it, its block references) is gone
// from the drawing too, as the new file holds it.
void DropWhatOnlyTheFileHeld(Drawing& drawing);

// The largest file LoadDxf reads.
constexpr std::size_t kMaxDxfBytes = 128u << 20;

}  // namespace velmora::standins
