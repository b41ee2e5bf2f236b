// Test support: the sample drawing, scratch folders, files read whole, and
// ezdxf (run as an independent reader and writer of DXF files).
#pragma once

#include <gtest/gtest.h>
#include <unistd.h>

#include <charconv>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <map>
#include <sstream>
#include <string>
#include <vector>

#include "standins/drawing/drawing.h"

namespace velmora::testing {

inline const std::string kSampleDxf = VELMORA_SOURCE_DIR "/samples/piles.dxf";

// A fresh folder under the system's temporary folder, this process's own,
// removed when the tests end.
inline std::filesystem::path ScratchFolder(const std::string& name) {
    static struct Made {
        std::vector<std::filesystem::path> folders;
        ~Made() {
            std::error_code ignored;
            for (const auto& folder : folders) std::filesystem::remove_all(folder, ignored);
        }
    } made;
    const auto folder = std::filesystem::temp_directory_path() /
                        ("velmora-dxf-" + name + "-" + std::to_string(getpid()));
    std::filesystem::remove_all(folder);
    std::filesystem::create_directories(folder);
    made.folders.push_back(folder);
    return folder;
}

inline std::string ReadAll(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

inline bool EzdxfAvailable() {
    return std::system("/usr/bin/python3 -c 'import ezdxf' 2>/dev/null") == 0;
}

// Runs the ezdxf tool with its arguments and a file; the lines it printed.
inline std::vector<std::string> Ezdxf(const std::string& arguments, const std::string& path) {
    const std::string line =
        "/usr/bin/python3 '" VELMORA_EZDXF_TOOL "' " + arguments + " '" + path + "'";
    FILE* pipe = popen(line.c_str(), "r");
    if (!pipe) return {};
    std::string text;
    char buffer[4096];
    while (std::fgets(buffer, sizeof buffer, pipe)) text += buffer;
    EXPECT_EQ(pclose(pipe), 0) << line;
    std::vector<std::string> lines;
    std::stringstream stream(text);
    for (std::string out; std::getline(stream, out);) lines.push_back(out);
    return lines;
}

// The file of ezdxf_tool.py's `piles` (block, circle and point piles) in a
// version, written once.
inline std::string PilesFile(const std::string& version,
                             const std::string& codePage = "ANSI_1252") {
    static std::map<std::string, std::string> written;
    if (written.count(version)) return written[version];
    const std::string path = (ScratchFolder("piles-" + version) / "piles.dxf").string();
    Ezdxf("piles " + version + " " + codePage, path);
    return written[version] = path;
}

// Parts of a text split at |.
inline std::vector<std::string> Split(const std::string& text) {
    std::vector<std::string> parts;
    std::stringstream stream(text);
    for (std::string part; std::getline(stream, part, '|');) parts.push_back(part);
    return parts;
}

// A number as Python prints it.
inline std::string Py(double value) {
    char text[64];
    std::string number(text, std::to_chars(text, text + sizeof text, value).ptr);
    if (number.find_first_of(".en") == std::string::npos) number += ".0";
    return number;
}

// The drawing's entities, compared without ids or where they came from.
inline std::vector<standins::Entity> Plain(const standins::Drawing& drawing) {
    std::vector<standins::Entity> plain;
    for (auto [id, e] : drawing.entities) {
        e.id = 0;
        e.fromFile = false;
        plain.push_back(std::move(e));
    }
    return plain;
}

}  // namespace velmora::testing
