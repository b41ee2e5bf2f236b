// Test support: the sample drawing, scratch folders, and ezdxf (run as an
// independent reader and writer of DXF files).
#pragma once

#include <gtest/gtest.h>

#include <charconv>
#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include "drawing.h"

namespace velmora::testing {

inline const std::string kSampleDxf = VELMORA_SOURCE_DIR "/samples/piles.dxf";

// A fresh folder under the system's temporary folder.
inline std::filesystem::path ScratchFolder(const std::string& name) {
    const auto folder = std::filesystem::temp_directory_path() / ("velmora-dxf-" + name);
    std::filesystem::remove_all(folder);
    std::filesystem::create_directories(folder);
    return folder;
}

inline bool EzdxfAvailable() {
    return std::system("/usr/bin/python3 -c 'import ezdxf' 2>/dev/null") == 0;
}

// Runs the ezdxf tool ("dump" or "write") on a file; the lines it printed.
inline std::vector<std::string> Ezdxf(const std::string& command, const std::string& path) {
    const std::string line =
        "/usr/bin/python3 '" VELMORA_EZDXF_TOOL "' " + command + " '" + path + "'";
    std::vector<std::string> lines;
    FILE* pipe = popen(line.c_str(), "r");
    if (!pipe) return lines;
    std::string text;
    char buffer[4096];
    while (std::fgets(buffer, sizeof buffer, pipe)) text += buffer;
    EXPECT_EQ(pclose(pipe), 0) << line;
    std::size_t start = 0;
    for (std::size_t end; (end = text.find('\n', start)) != std::string::npos; start = end + 1) {
        lines.push_back(text.substr(start, end - start));
    }
    return lines;
}

// A number as Python prints it.
inline std::string Py(double value) {
    char text[64];
    std::string number(text, std::to_chars(text, text + sizeof text, value).ptr);
    if (number.find_first_of(".en") == std::string::npos) number += ".0";
    return number;
}

// An entity as the ezdxf tool describes it.
inline std::string Describe(const standins::Entity& e) {
    using standins::EntityKind;
    std::string line;
    auto add = [&line](const std::string& field) { line += "|" + field; };
    auto point = [&](const standins::Point3& p) {
        add(Py(p.x));
        add(Py(p.y));
        add(Py(p.z));
    };
    switch (e.kind) {
        case EntityKind::Point:
            line = "POINT|" + e.layer;
            point(e.position);
            break;
        case EntityKind::Circle:
            line = "CIRCLE|" + e.layer;
            point(e.position);
            add(Py(e.radius));
            break;
        case EntityKind::Arc:
            line = "ARC|" + e.layer;
            point(e.position);
            add(Py(e.radius));
            add(Py(e.startAngle));
            add(Py(e.endAngle));
            break;
        case EntityKind::Line:
            line = "LINE|" + e.layer;
            point(e.position);
            point(e.end);
            break;
        case EntityKind::Text: {
            static const int kH[] = {0, 1, 2, 3, 4, 5, 0, 1, 2, 0, 1, 2, 0, 1, 2};
            static const int kV[] = {0, 0, 0, 0, 0, 0, 3, 3, 3, 2, 2, 2, 1, 1, 1};
            line = "TEXT|" + e.layer + "|" + e.text;
            add(Py(e.height));
            add(std::to_string(kH[e.alignment]));
            add(std::to_string(kV[e.alignment]));
            point(e.position);
            point(e.alignmentPoint);
            char degrees[32];
            std::snprintf(degrees, sizeof degrees, "%.6f", e.rotation * 180 / 3.141592653589793);
            add(degrees);
            break;
        }
        case EntityKind::Polyline:
            line = "POLYLINE|" + e.layer + "|" + (e.closed ? "1" : "0");
            for (const auto& v : e.vertices) {
                add(Py(v.x));
                add(Py(v.y));
            }
            break;
    }
    return line;
}

}  // namespace velmora::testing
