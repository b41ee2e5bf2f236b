// Drawings through DXF files: every version, numbered and saved, comes back
// whole with its labels as ezdxf reads it; damaged files and failed saves
// lose nothing.
#include <gtest/gtest.h>

#include <cmath>
#include <set>

#include "desk.h"
#include "dxf_support.h"
#include "standins/drawing/dxf/dxf_file.h"
#include "standins/drawing/pick_geometry.h"

namespace velmora::testing {
namespace {

using standins::Drawing;
using standins::DxfRead;
using standins::EntityKind;

// Every pile the filter admits, in one pass.
standins::Picker PickEverything() {
    auto passes = std::make_shared<int>(0);
    return [passes](const standins::PickRequest& request) -> standins::Pick {
        if ((*passes)++ > 0) return std::vector<EntityId>{};
        return standins::PickInBox(request.drawing, request.filter, {-1e9, -1e9, 1e9, 1e9}, true);
    };
}

// A drawing of every version, numbered and saved in place, is the same
// file plus complete labels (in its encoding), as ezdxf reads it; with a
// saved UCS the register holds the piles in it, Y before X.
TEST(DxfRoundTrip, DrawingsOfEveryVersionComeBackWholeWithTheirLabels) {
    if (!EzdxfAvailable()) GTEST_SKIP() << "python3-ezdxf is not installed";
    struct Case {
        std::string version, codePage, ucs;
    };
    const auto folder = ScratchFolder("versions");
    for (const Case& c : {Case{"R12", "ANSI_1252", "0"}, Case{"R2000", "ANSI_936", "0"},
                          Case{"R2010", "ANSI_1252", "0"}, Case{"R2018", "ANSI_1252", "1"}}) {
        SCOPED_TRACE(c.version);
        const std::string original = (folder / (c.version + ".dxf")).string();
        const std::string saved = (folder / (c.version + "-numbered.dxf")).string();
        Ezdxf("rich " + c.version + " " + c.codePage + " " + c.ucs, original);
        std::filesystem::copy_file(original, saved);
        const DxfRead read = standins::LoadDxf(saved);
        ASSERT_EQ(read.error, "");
        // Everything of model space is read or drawn.
        EXPECT_TRUE(read.skipped.empty()) << read.skipped.begin()->first;
        // Drawn mirrored, they stand at world X, the bulge turned the other way.
        std::vector<std::string> mirrored;
        for (const auto& [id, e] : read.drawing.entities) {
            if (e.kind == EntityKind::Circle) mirrored.push_back(Py(e.position.x - 512300));
            for (const standins::Vertex& v : e.vertices)
                mirrored.push_back(Py(v.x - 512300) + "/" + Py(v.bulge + 0.0));
        }
        EXPECT_EQ(mirrored, (std::vector<std::string>{"30.0", "50.0/-0.5", "60.0/0.0"}));
        Desk h;
        h.cad->drawing = read.drawing;
        h.cad->picker = PickEverything();
        h.Set(2, "桩");
        h.Select("Option2", 2);  // 世界坐标: the rows are translated into the UCS
        h.Run();
        ASSERT_EQ(standins::SaveDxf(h.cad->drawing, saved).error, "");

        // Complete TEXT entities: owner and subclass markers from R13 on.
        const std::string groups = c.version == "R12"
                                       ? "|False|0,5,8,10,20,30,40,1,72,11,21,31"
                                       : "|True|0,5,330,100,8,100,10,20,30,40,1,72,11,21,31,100";
        std::vector<std::string> labels;
        for (const auto& [id, e] : h.cad->drawing.entities) {
            if (!e.fromFile) {
                labels.push_back("LABEL|TEXT|" + e.text + "|" + Py(e.height) + "|1|" +
                                 Py(e.alignmentPoint.x) + "|" + Py(e.alignmentPoint.y) + groups);
            }
        }
        EXPECT_EQ(labels.size(), 12u);
        EXPECT_EQ(Ezdxf("check '" + original + "'", saved), labels);

        // UCS: origin at the first pile, X along world Y, Y along world -X.
        auto mm = [](double v) { return std::round(v * 1000) / 1000 + 0.0; };
        std::set<std::pair<double, double>> piles, rows;
        for (const auto& [id, e] : read.drawing.entities) {
            const double x = e.position.x - 512300, y = e.position.y - 3386400;
            if (e.kind != EntityKind::Point) continue;
            piles.insert(c.ucs == "1" ? std::pair{mm(-x), mm(y)}
                                      : std::pair{e.position.y, e.position.x});
        }
        for (int row = 0; row < h.State().pileCount; ++row)
            rows.insert({mm(std::stod(h.Row(row)[0])), mm(std::stod(h.Row(row)[1]))});
        EXPECT_EQ(rows, piles);
    }
}

// A DXF text of groups written "code value code value …".
std::string DxfFile(const std::string& groups) {
    std::stringstream in(groups + " 0 EOF");
    std::string text;
    for (std::string code, value; in >> code >> value;) text += code + "\n" + value + "\n";
    return text;
}
std::string EntitiesFile(const std::string& groups) {
    return DxfFile("0 SECTION 2 ENTITIES " + groups + " 0 ENDSEC");
}

// Block references (nested, scaled, turned), MTEXT and outlines are drawn
// in world coordinates; a block holding itself, a vast grid of them and
// what cannot be drawn are cut short and named; layouts are not drawn.
TEST(DxfReading, WhatIsOnlyDrawnStandsInWorldCoordinates) {
    const std::string blocks =
        "0 SECTION 2 BLOCKS 0 BLOCK 2 A 10 1 20 1 0 LINE 10 1 20 1 11 2 21 1 0 INSERT 2 A "
        "0 ENDBLK 0 BLOCK 2 E 0 ENDBLK 0 BLOCK 2 *Paper_Space 0 LEADER 0 ENDBLK 0 ENDSEC ";
    const DxfRead read = standins::ReadDxf(
        DxfFile(blocks + "0 SECTION 2 ENTITIES 0 INSERT 2 a 10 100 20 0 41 2 42 2 50 90 "
                         "0 MTEXT 10 5 20 5 40 2 71 7 1 {\\fArial|b1;P\\~1}\\Pline2 "
                         "0 SOLID 10 0 20 0 11 1 21 0 12 0 22 1 13 1 23 1 0 LEADER 8 0 "
                         "0 INSERT 2 E 70 30000 71 30000 44 1 45 1 0 ENDSEC"));
    ASSERT_EQ(read.error, "");
    std::vector<std::string> shapes;
    for (const standins::ContextShape& shape : read.drawing.context) {
        std::string text = shape.text + (shape.closed ? "closed" : "");
        for (auto [x, y] : shape.outline)
            text += " " + Py(std::round(x * 1e9) / 1e9 + 0.0) + "," +
                    Py(std::round(y * 1e9) / 1e9 + 0.0);
        if (shape.outline.empty()) text += " " + Py(shape.at.x) + "," + Py(shape.at.y);
        shapes.push_back(text);
    }
    EXPECT_EQ(shapes, (std::vector<std::string>{" 100.0,0.0 100.0,2.0", "P 1 5.0,5.0",
                                                "closed 0.0,0.0 1.0,0.0 1.0,1.0 0.0,1.0"}));
    EXPECT_EQ(read.skipped, (std::map<std::string, int, std::less<>>{
                                {"INSERT（图块嵌套或数量超出上限的部分）", 1}, {"LEADER", 1}}));
    EXPECT_EQ(read.fileOnly, 4u);
}

TEST(DxfReading, DamagedFilesGiveAClearErrorAndNothingElse) {
    const std::string sample = ReadAll(kSampleDxf);
    const std::string unended = EntitiesFile("0 POINT 10 1 20 2");
    const std::vector<std::pair<std::string, std::string>> cases = {
        {"", "文件是空的"},
        {"AutoCAD Binary DXF\r\n\x1a", "二进制"},
        {sample.substr(0, sample.size() / 2), "文件不完整"},
        {sample.substr(0, sample.rfind("  0\nEOF")), "EOF"},
        {"  0\nSECTION\n  2\nENTITIES\nabc\nPOINT\n", "第 5 行应为组码"},
        {EntitiesFile("0 POINT 10 12,5 20 1"), "“12,5” 不是有效的数值"},
        {EntitiesFile("0 CIRCLE 10 nan 40 1"), "不是有效的数值"},
        {EntitiesFile("0 CIRCLE 10 1e400 40 1"), "不是有效的数值"},
        {EntitiesFile("0 TEXT 72 9999999999"), "不是有效的数值"},
        {EntitiesFile("0 POINT 10 +-1"), "“+-1” 不是有效的数值"},
        {EntitiesFile("0 INSERT 2 A 41 x"), "第 10 行：“x” 不是有效的数值"},
        {DxfFile("0 SECTION 2 HEADER 9 $UCSORG 10 1,5 0 ENDSEC"), "“1,5” 不是有效的数值"},
        {unended.substr(0, unended.find("0\nENDSEC")) + "0\nEOF\n", "ENDSEC"},
    };
    for (const auto& [content, error] : cases) {
        const DxfRead read = standins::ReadDxf(content);
        EXPECT_NE(read.error.find(error), std::string::npos) << error << " / " << read.error;
        EXPECT_TRUE(read.drawing.entities.empty());
    }
    // Cut anywhere before its end marker, the sample is refused.
    for (std::size_t cut = 0; cut + 1 < sample.size(); cut += 13)
        EXPECT_NE(standins::ReadDxf(sample.substr(0, cut)).error, "") << cut;

    // Odd but readable: a vertex count that is not the number of vertices,
    // a bulge before the first vertex, a number with its plus sign, vertices
    // outside a polyline, Windows line ends.
    const std::string odd = EntitiesFile(
        "0 LWPOLYLINE 90 2000000000 42 1 20 7 10 1 20 2 10 +3 20 4 42 0.5 0 VERTEX 10 9 0 SEQEND");
    std::string crlf;
    for (char c : odd) crlf += c == '\n' ? std::string("\r\n") : std::string(1, c);
    for (const std::string& text : {odd, crlf}) {
        const DxfRead read = standins::ReadDxf(text);
        ASSERT_EQ(read.drawing.entities.size(), 1u) << read.error;
        EXPECT_EQ(read.drawing.entities.begin()->second.vertices,
                  (std::vector<standins::Vertex>{{1, 2, 0, 0}, {3, 4, 0, 0.5}}));
    }
    const DxfRead missing = standins::LoadDxf("/nonexistent/piles.dxf");
    EXPECT_NE(missing.error.find("“/nonexistent/piles.dxf”"), std::string::npos) << missing.error;
    EXPECT_NE(missing.error.find("不存在"), std::string::npos);
}

// Curves whose numbers lie at the edge of what a file may hold (an
// ellipse's parameters, a hatch arc's angles 1e10 apart) are drawn in a
// bounded number of steps; the steps are counted as a double first.
TEST(DxfReading, FarApartCurveParametersDrawBoundedCurves) {
    const DxfRead read = standins::ReadDxf(
        EntitiesFile("0 ELLIPSE 10 0 20 0 11 1 21 0 40 0.5 41 0 42 12498200000 "
                     "0 HATCH 91 1 92 0 93 1 72 2 10 0 20 0 40 1 50 -1e10 51 1e10 73 1"));
    ASSERT_EQ(read.error, "");
    ASSERT_EQ(read.drawing.context.size(), 2u);
    for (const standins::ContextShape& shape : read.drawing.context)
        EXPECT_EQ(shape.outline.size(), 73u);
}

// A drawing built in code saves as DXF R12 and reads back the same.
TEST(DxfSaving, AFailedSaveKeepsThePreviousFileAndSavesWhatItCan) {
    const auto folder = ScratchFolder("save");
    const std::string path = (folder / "piles.dxf").string();
    Drawing drawing = standins::LoadDxf(kSampleDxf).drawing;
    drawing.file.reset();  // as if built here
    ASSERT_EQ(standins::SaveDxf(drawing, path).error, "");
    EXPECT_EQ(Plain(standins::LoadDxf(path).drawing), Plain(drawing));
    const std::string before = ReadAll(path);

    // The temporary file cannot be written: the target stays as it was.
    std::filesystem::create_directory(folder / ".piles.dxf.velmora-tmp");
    standins::AddPoint(drawing, {3, 4, 0});
    const standins::DxfSave blocked = standins::SaveDxf(drawing, path);
    EXPECT_NE(blocked.error.find("“" + path + "”"), std::string::npos) << blocked.error;
    EXPECT_EQ(ReadAll(path), before);
    std::filesystem::remove(folder / ".piles.dxf.velmora-tmp");
    EXPECT_NE(standins::SaveDxf(drawing, (folder / "no/such/folder.dxf").string()).error, "");

    // A label at a point that is no number is left out; the rest is saved,
    // including huge but finite coordinates.
    standins::AddText(drawing, "1", {std::nan(""), 0, 0}, 2.5);
    standins::AddPoint(drawing, {1e300, -1e300, 0});
    const standins::DxfSave save = standins::SaveDxf(drawing, path);
    EXPECT_EQ(save.error, "");
    EXPECT_EQ(save.leftOut, 1);
    EXPECT_FALSE(std::filesystem::exists(folder / ".piles.dxf.velmora-tmp"));
    EXPECT_NE(ReadAll(path).find("\n1e+300\n"), std::string::npos);
}

}  // namespace
}  // namespace velmora::testing
