// The stand-in AutoCAD as a separate process: it shows a main window (its
// HWND), registers its application object in the running object table
// under a ProgID and serves COM calls until told to quit, then writes the
// drawing's texts to a file.
//
//   <server> --progid <ProgID> --scenario <name> --ready <event>
//            --quit <event> --dump <file>
//
// Scenarios: "worked" (five points picked in two passes), "killed" (the
// process dies during the second pick), "grid:<n>" (n points, picked all
// at once and then nothing, over and over: one pass per Number command),
// "blocks" (block piles on two layers, a circle and a point: GetEntity
// picks the first block pile once, then is cancelled; each pick takes
// everything the filter admits, then nothing, over and over).
#pragma once

#include <cstdio>
#include <functional>

#include "automation/object.h"

namespace velmora::standins {

// What a test's server adds: the object registered in place of the
// application (a tap in front of it), and lines of its own at the end of
// the file.
struct CadServing {
    std::function<Object(Object application)> expose;
    std::function<void(std::FILE* dump)> dumpMore;
};

int ServeCad(int argc, char** argv, const CadServing& serving = {});

}  // namespace velmora::standins
