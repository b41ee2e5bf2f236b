// The stand-in AutoCAD's server with a tap in front of its application:
// every call that reaches it through COM is logged, with its arguments'
// types, and written after the drawing as "call …" lines.
#include <memory>

#include "standins/com_servers/cad_serving.h"
#include "tap.h"

int main(int argc, char** argv) {
    auto tap = std::make_shared<velmora::testing::Tap>();
    tap->logging = true;
    velmora::standins::CadServing serving;
    serving.expose = [tap](velmora::Object application) {
        return velmora::testing::Tapped(std::move(application), tap);
    };
    serving.dumpMore = [tap](std::FILE* dump) {
        for (const std::string& call : tap->log) std::fprintf(dump, "call %s\n", call.c_str());
    };
    return velmora::standins::ServeCad(argc, argv, serving);
}
