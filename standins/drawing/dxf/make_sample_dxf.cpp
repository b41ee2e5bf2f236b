// Writes the sample pile drawing as a DXF file:
//   velmora_make_sample_dxf samples/piles.dxf
#include <cstdio>

#include "standins/drawing/dxf/dxf_file.h"
#include "standins/drawing/sample_drawing.h"

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s OUTPUT.dxf\n", argv[0]);
        return 2;
    }
    const auto save = velmora::standins::SaveDxf(velmora::standins::SamplePileDrawing(), argv[1]);
    if (!save.error.empty()) {
        std::fprintf(stderr, "%s\n", save.error.c_str());
        return 1;
    }
    return 0;
}
