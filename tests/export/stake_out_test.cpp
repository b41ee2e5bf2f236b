// "导出测量坐标…": the stake-out files read back byte for byte (GBK, CRLF,
// quoting), north and east as each row's record mode took them; what is
// refused before anything is written; a file written whole or not at all.
#include <gtest/gtest.h>
#include <sys/resource.h>

#include <csignal>
#include <filesystem>
#include <fstream>
#include <set>

#include "desk.h"
#include "export/export_stake_out.h"

namespace velmora::testing {
namespace {

namespace fs = std::filesystem;

// A folder of the test's own, and what it holds.
struct Folder {
    fs::path path = fs::temp_directory_path() / ("velmora-stake-out-" + std::to_string(getpid()));
    Folder() {
        fs::remove_all(path);
        fs::create_directories(path);
    }
    ~Folder() { fs::remove_all(path); }
    std::string operator/(const std::string& name) const { return (path / name).string(); }
    std::set<std::string> Names() const {
        std::set<std::string> names;
        for (const auto& entry : fs::directory_iterator(path))
            names.insert(entry.path().filename());
        return names;
    }
};

// A file's bytes; "" for a folder.
std::string Bytes(const std::string& path) {
    if (fs::is_directory(path)) return "";
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

void Write(const std::string& path, const std::string& bytes) {
    std::ofstream(path, std::ios::binary) << bytes;
}

// Three commands on the stand-in AutoCAD, whose user coordinate system
// lies at world (100, 200): a 用户坐标 row (world E, N), two 世界坐标 rows
// (N, E of the UCS), then a 世界坐标 row whose translation fails.
TEST(StakeOut, FilesOfBothRecordModesReadBackByteForByte) {
    Desk h;
    Folder folder;
    h.cad->drawing.ucs.origin = {100, 200, 0};
    h.Set(2, "桩");
    h.Picks({std::vector{h.Point(110.0625, 230.1875)}});
    h.Run();
    h.Select("Option2", 2);
    h.Picks({std::vector{h.Point(110.5, 230.25), h.Point(90.5, 230.25)}});
    h.Run();
    h.cadTap->failMember["TranslateCoordinates"] = status::kFail;
    h.Picks({std::vector{h.Point(120, 240)}});
    h.Run();
    ASSERT_EQ(h.State().pileCount, 4);

    const std::string gbkPile = "\xD7\xAE";  // 桩
    const std::tuple<const char*, int, const char*, std::string> cases[] = {
        {"piles.dat", 1, "piles.dat",  // the name's extension wins over the type chosen
         gbkPile + "1,,110.062,230.188,0.000\r\n" + gbkPile + "2,,-9.500,30.250,0.000\r\n" +
             gbkPile + "3,,10.500,30.250,0.000\r\n"},
        {"piles", 1, "piles.csv",  // a name without one takes the type's
         "\xB5\xE3\xBA\xC5,X(\xB1\xB1),Y(\xB6\xAB),H\r\n" + gbkPile +
             "1,230.188,110.062,0.000\r\n" + gbkPile + "2,30.250,-9.500,0.000\r\n" + gbkPile +
             "3,30.250,10.500,0.000\r\n"},
    };
    for (const auto& [name, type, file, bytes] : cases) {
        const std::string target = folder / name, written = folder / file;
        h.window->Services().chooseSaveFile = [&, type = type](const SaveRequest& request) {
            EXPECT_EQ(request.types.size(), 2u);
            return std::optional<SaveChoice>({target, type});
        };
        h.messages.clear();
        h.window->ExportStakeOutFile();
        EXPECT_EQ(Bytes(written), bytes) << name;
        EXPECT_EQ(h.messages, std::vector<std::string>{
                                  "已写入 3 根桩的坐标，1 根桩没有坐标，未写入。\n" + written});
    }
    EXPECT_EQ(folder.Names(), (std::set<std::string>{"piles.csv", "piles.dat"}));
}

struct Row {
    const char* label;
    const char* first;
    const char* second;
    Coordinates mode = Coordinates::User;
};

// Exports the rows to what a scripted save dialog answers (type -1: the
// user cancels it); what the command said.
std::vector<std::string> Export(const std::vector<Row>& rows, const std::string& target, int type) {
    WindowState state;
    for (const Row& row : rows) {
        state.pileRegister.rows[state.pileCount] = {row.first, row.second, "0", row.label};
        state.pileRegister.modes[state.pileCount++] = row.mode;
    }
    std::vector<std::string> said;
    LocalDirectory nothingRuns;  // the stake-out file needs no program
    WindowServices services{nothingRuns};
    services.showMessage = [&](std::string_view text) { said.emplace_back(text); };
    services.chooseSaveFile = [&](const SaveRequest&) {
        return type < 0 ? std::nullopt : std::optional<SaveChoice>({target, type});
    };
    ExportStakeOutFile(state, services);
    return said;
}

// Rows exported to a folder holding old.dat, old.csv (both "old\r\n") and a
// folder dir.dat, the file named by a scripted save dialog (type -1: the
// user cancels it). Afterwards the target holds `bytes`, the other two are
// as they were, and one message starts with `said` (none when it is empty).
TEST(StakeOut, QuotingRefusalsAndFailuresBeforeAnythingIsWritten) {
    const std::string old = "old\r\n", csvHeader = "\xB5\xE3\xBA\xC5,X(\xB1\xB1),Y(\xB6\xAB),H\r\n";
    const std::string written = "已写入 ", notWritten = "，没有写入任何文件。";
    const Row pile = {"P1", "1", "2"};
    using Rows = std::vector<Row>;
    // clang-format off
    const std::tuple<const char*, Rows, const char*, int, std::string, std::string> cases[] = {
        {"csv quoting", {{"A,\"B\"", "1", "2"}, {"C\nD", "3", "4"}}, "old.csv", 1,
         csvHeader + "\"A,\"\"B\"\"\",2.000,1.000,0.000\r\n\"C\nD\",4.000,3.000,0.000\r\n",
         "已写入 2 根桩的坐标，0 根桩没有坐标，未写入。\n"},
        {"euro sign, as code page 936 has it", {{"\xE2\x82\xAC", "1", "2"}}, "old.dat", 0,
         "\x80,,1.000,2.000,0.000\r\n", written},
        {"comma in a .dat", {pile, {"A,1", "1", "2"}}, "old.dat", 0, old,
         "桩号“A,1”含有逗号或换行，CASS 坐标文件容纳不了" + notWritten},
        {"line break in a .dat", {{"A\r", "1", "2"}}, "old.dat", 0, old, "桩号“A\r”含有逗号或换行"},
        {"beyond GBK", {pile, {"桩\xF0\x9F\x98\x80", "1", "2"}}, "old.csv", 1, old,
         "桩号“桩\xF0\x9F\x98\x80”含有 GBK 编码中没有的字符" + notWritten},
        {"broken UTF-8", {{"\xE6\xA1", "1", "2"}}, "old.dat", 0, old, "桩号“\xE6\xA1”含有 GBK"},
        {"nothing recorded: no dialog", {}, "old.dat", 0, old, "还没有记录任何桩，没有可导出的测量坐标。"},
        {"no coordinates: no dialog", {{"P1", "", "", Coordinates::World}}, "old.dat", 0, old,
         "记录的 1 根桩都没有坐标（坐标转换未成功），没有可导出的测量坐标。"},
        {"dialog cancelled", {pile}, "old.dat", -1, old, ""},
        {"target is a folder", {pile}, "dir.dat", 0, "", "无法写入 "},
    };
    // clang-format on
    for (const auto& [name, rows, file, type, bytes, message] : cases) {
        Folder folder;
        for (const char* made : {"old.dat", "old.csv"}) Write(folder / made, old);
        fs::create_directory(folder / "dir.dat");
        const std::vector<std::string> said = Export(rows, folder / file, type);
        EXPECT_EQ(Bytes(folder / file), bytes) << name;
        for (const char* other : {"old.dat", "old.csv"}) {
            EXPECT_TRUE(other == std::string_view(file) || Bytes(folder / other) == old) << name;
        }
        EXPECT_EQ(said.size(), message.empty() ? 0u : 1u) << name;
        if (said.empty()) continue;
        EXPECT_EQ(said[0].substr(0, message.size()), message) << name;
        EXPECT_EQ(folder.Names(), (std::set<std::string>{"dir.dat", "old.csv", "old.dat"})) << name;
    }
}

// A write that fails halfway (here the process may write no file larger
// than 4 KiB) leaves the older file whole and no half of the new one.
TEST(StakeOut, AWriteThatFailsHalfwayLeavesTheOlderFile) {
    Folder folder;
    const std::string target = folder / "old.dat";
    Write(target, "old\r\n");
    rlimit before{};
    getrlimit(RLIMIT_FSIZE, &before);
    const rlimit small{4096, before.rlim_max};
    const auto previous = std::signal(SIGXFSZ, SIG_IGN);
    setrlimit(RLIMIT_FSIZE, &small);
    const auto said =
        Export(std::vector<Row>(500, {"ZH-1000", "123456.789", "654321.123"}), target, 0);
    setrlimit(RLIMIT_FSIZE, &before);
    std::signal(SIGXFSZ, previous);
    EXPECT_EQ(Bytes(target), "old\r\n");
    EXPECT_EQ(folder.Names(), std::set<std::string>{"old.dat"});
    ASSERT_EQ(said.size(), 1u);
    EXPECT_EQ(said[0].rfind("无法写入 " + target + "：", 0), 0u) << said[0];
}

}  // namespace
}  // namespace velmora::testing
