// "按样例选桩…" then "编号" on ezdxf's drawing of block piles (plain and
// dynamic), circles on two layers and points: a sample of each kind numbers
// exactly the piles it should, at their positions (a block's insertion
// point); clearing it gives 点/圆 back. Picking another: what is refused.
#include <gtest/gtest.h>

#include <cmath>

#include "desk.h"
#include "dxf_support.h"
#include "numbering/pick_pile_sample.h"
#include "standins/drawing/dxf/dxf_file.h"

namespace velmora::testing {
namespace {

using standins::EntityPick;

const standins::Drawing& Piles() {
    static const standins::DxfRead read = [] {
        const std::string path = (ScratchFolder("sample") / "piles.dxf").string();
        Ezdxf("piles R2018 ANSI_1252", path);
        return standins::LoadDxf(path);
    }();
    return read.drawing;
}

// The piles numbered, as "x,y" from E, N, in register order.
std::string Numbered(Desk& h) {
    std::string shown;
    for (int row = 0; row < h.State().pileCount; ++row) {
        const double x = std::stod(h.Row(row)[0]) - 512300, y = std::stod(h.Row(row)[1]) - 3386400;
        shown += (row ? " " : "") + Py(x) + "," + Py(y);
    }
    return shown;
}

// The sample is the n-th entity of the drawing (-1: none, the sample
// cleared); the pass picks every entity, and the filter keeps its kind. A
// CAD that refuses Prompt numbers all the same.
TEST(PileSample, EachKindNumbersExactlyItsPiles) {
    if (!EzdxfAvailable()) GTEST_SKIP() << "python3-ezdxf is not installed";
    const std::tuple<const char*, int, std::string, std::string> cases[] = {
        {"block ZH-1 on 桩位", 0, "图块 ZH-1，图层 桩位", "0.0,0.0 5.0,0.0 10.0,0.0"},
        {"Prompt refused", 2, "图块 ZH-1，图层 桩位", "0.0,0.0 5.0,0.0 10.0,0.0"},
        {"dynamic block", 6, "图块 ZH-DYN，图层 桩位", "0.0,5.0 5.0,5.0 10.0,5.0"},
        {"ZH.1, not ZH-1", 4, "图块 ZH.1，图层 桩位", "20.0,0.0"},
        {"circle on 其他", 11, "圆，图层 其他", "10.0,10.0 15.0,10.0"},
        {"point on 桩位", 13, "点，图层 桩位", "0.0,15.0 5.0,15.0"},
        {"cleared: 点", -1, "", "0.0,15.0 5.0,15.0 10.0,15.0"},
    };
    for (const auto& [name, sample, described, piles] : cases) {
        Desk h;
        h.cad->drawing = Piles();
        std::vector<standins::EntityId> all;
        for (const auto& [id, e] : h.cad->drawing.entities) all.push_back(id);
        h.cad->entityPicker =
            standins::ScriptedEntityPicker({EntityPick{all[std::max(sample, 0)], {}}});
        h.window->PickPileSample();
        if (sample < 0) {
            h.window->Services().ask = [](auto, auto) { return 0; };  // 清除样例
            h.window->PickPileSample();
        }
        EXPECT_EQ(h.State().pileSample ? DescribeSample(*h.State().pileSample) : "", described);
        h.Picks({all});
        if (sample == 2) h.cadTap->failMember["Prompt"] = status::kDispException;
        h.Run();
        EXPECT_EQ(Numbered(h), piles) << name;
        const auto& said = h.cad->commandLine;
        EXPECT_EQ(std::count(said.begin(), said.end(), "\n按样例选桩：" + described),
                  sample < 0 || sample == 2 ? 0 : 2)  // before the pick of each pass
            << name;
    }
}

// Layer names are matched as written: their wild-card characters are
// escaped ("P.1" would take "P-1" too, "P#" would take "P1").
TEST(PileSample, WildCardsInNamesAreTakenLiterally) {
    Desk h;
    std::vector<standins::EntityId> all;
    for (const char* layer : {"P.1", "P-1", "P#", "P1"}) {
        all.push_back(h.Point(double(all.size()), 0));
        h.cad->drawing.entities[all.back()].layer = layer;
    }
    for (const char* layer : {"P.1", "P#"}) {
        const std::int16_t before = h.State().pileCount;
        h.State().pileSample = PileSample{SampleKind::Point, layer, ""};
        h.Picks({all});
        h.Run();
        EXPECT_EQ(h.State().pileCount - before, 1) << layer;
    }
}

// Picking another sample over the one in force: Esc, a line or 取消
// leaves it as it was; a line is told why.
TEST(PileSample, ACancelledOrWrongPickChangesNothing) {
    enum Pick { kNone, kLine, kPoint };
    const std::tuple<const char*, int, Pick, std::string> cases[] = {
        {"Esc", 1, kNone, ""},
        {"a line", 1, kLine, "样例桩只能是点、圆或图块，所选对象不是。样例没有改变。"},
        {"取消", 2, kPoint, ""},
    };
    for (const auto& [name, answer, pick, message] : cases) {
        Desk h;
        h.State().pileSample = PileSample{SampleKind::Block, "桩位", "ZH-1"};
        h.window->Services().ask = [answer = answer](auto, auto) { return answer; };
        const EntityId picked =
            pick == kLine ? standins::AddLine(h.cad->drawing, {0, 0, 0}, {1, 1, 0}) : h.Point(5, 5);
        h.cad->entityPicker = standins::ScriptedEntityPicker(
            {pick == kNone ? std::nullopt : std::optional(EntityPick{picked, {}})});
        h.window->PickPileSample();
        EXPECT_EQ(DescribeSample(*h.State().pileSample), "图块 ZH-1，图层 桩位") << name;
        EXPECT_EQ(h.messages, (message.empty() ? std::vector<std::string>{} : std::vector{message}))
            << name;
    }
}

}  // namespace
}  // namespace velmora::testing
