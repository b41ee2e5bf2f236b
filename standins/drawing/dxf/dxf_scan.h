// Reading a DXF file: checks that it is a well-formed ASCII DXF (pairs of
// group code and value, sections closed, the end marker present, numbers
// where numbers belong) and builds from its groups the model-space
// entities the workspace keeps (DxfEntities) and what it only draws (block
// references with their blocks, MTEXT, dimensions … : DxfContext).
#pragma once

#include <map>
#include <string>
#include <string_view>

#include "standins/drawing/drawing.h"
#include "standins/drawing/dxf/dxf_context.h"

namespace velmora::standins {

struct DxfScan {
    std::string error;     // why the file cannot be read; empty when it can
    Drawing drawing;       // the kept entities, their texts and layers as the file holds them
    std::string version;   // $ACADVER, e.g. "AC1009"
    std::string codePage;  // $DWGCODEPAGE
    std::map<std::string, int, std::less<>> skipped;  // entity type → how many were left out
    // Block references, MTEXT, dimensions … of model space, to be drawn as context.
    DxfContext context;
    std::size_t fileOnly = 0;  // entities kept only in the file's text: context, paper space
    DrawingFile file;          // where saving adds to the text (the text itself is not copied)
    // Anonymous blocks made from a dynamic block, by upper-case name, with
    // the name of the block each was made from (as the file holds them).
    std::map<std::string, std::string, std::less<>> dynamicBlocks;
    // $UCSORG, $UCSXDIR, $UCSYDIR; the axes zero when absent.
    Point3 ucsOrigin, ucsXAxis, ucsYAxis;
};

DxfScan ScanDxf(std::string_view content);

}  // namespace velmora::standins
