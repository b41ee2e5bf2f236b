#include "export/stake_out.h"

#include <optional>

#include "automation/runner.h"
#include "text/code_page.h"
#include "values/numbers.h"

namespace velmora {

namespace {

constexpr std::string_view kCsvHeader = "点号,X(北),Y(东),H";
constexpr std::string_view kLineEnd = "\r\n";
constexpr int kDecimals = 3;

constexpr std::string_view kNoSeparatorInDat = "含有逗号或换行，CASS 坐标文件容纳不了";
constexpr std::string_view kNotInGbk = "含有 GBK 编码中没有的字符";

std::optional<StakeOutPile> PileOfRow(const PileRegister& pileRegister, int row) {
    StakeOutPile pile;
    ContinueOnFailure runner;
    const bool read = runner.Run([&] {
        const double first = ReadCoordinateText(RegisterField(pileRegister, row, 0));
        const double second = ReadCoordinateText(RegisterField(pileRegister, row, 1));
        pile.z = ReadCoordinateText(RegisterField(pileRegister, row, 2));
        // 用户坐标 rows hold X (east) before Y; 世界坐标 rows Y (north) first.
        const bool user = RegisterMode(pileRegister, row) == Coordinates::User;
        pile.east = user ? first : second;
        pile.north = user ? second : first;
        pile.label = RegisterField(pileRegister, row, 3);
    });
    if (!read) return std::nullopt;
    return pile;
}

// RFC 4180: a field holding a comma, a quote or a line break is quoted,
// its quotes doubled.
std::string CsvField(std::string_view text) {
    if (text.find_first_of(",\"\r\n") == std::string_view::npos) return std::string(text);
    std::string quoted = "\"";
    for (char c : text) {
        if (c == '"') quoted += '"';
        quoted += c;
    }
    return quoted + '"';
}

std::string Line(const StakeOutPile& pile, StakeOutFormat format) {
    const std::string north = RoundedText(pile.north, kDecimals);
    const std::string east = RoundedText(pile.east, kDecimals);
    const std::string z = RoundedText(pile.z, kDecimals);
    if (format == StakeOutFormat::Cass) return pile.label + ",," + east + "," + north + "," + z;
    return CsvField(pile.label) + "," + north + "," + east + "," + z;
}

}  // namespace

StakeOutRows CollectStakeOutRows(const PileRegister& pileRegister, std::int16_t count) {
    StakeOutRows rows;
    for (int row = 0; row < count; ++row) {
        if (std::optional<StakeOutPile> pile = PileOfRow(pileRegister, row)) {
            rows.piles.push_back(std::move(*pile));
        } else {
            ++rows.leftOut;
        }
    }
    return rows;
}

StakeOutFile ComposeStakeOut(const std::vector<StakeOutPile>& piles, StakeOutFormat format) {
    StakeOutFile file;
    if (format == StakeOutFormat::Csv)
        file.bytes = EncodeGbk(kCsvHeader).value() + std::string(kLineEnd);
    for (const StakeOutPile& pile : piles) {
        const bool separator = pile.label.find_first_of(",\r\n") != std::string::npos;
        std::optional<std::string> line;
        if (format == StakeOutFormat::Cass && separator) {
            file.refusal = kNoSeparatorInDat;
        } else if (!(line = EncodeGbk(Line(pile, format)))) {
            file.refusal = kNotInGbk;
        }
        if (!file.refusal.empty()) {
            file.refusedLabel = pile.label;
            file.bytes.clear();
            return file;
        }
        file.bytes += *line;
        file.bytes += kLineEnd;
    }
    return file;
}

StakeOutTarget ResolveStakeOutTarget(const SaveChoice& choice) {
    StakeOutTarget target{choice.path, StakeOutFormat::Cass};
    const bool typeChosen =
        choice.type >= 0 && choice.type < static_cast<int>(std::size(kStakeOutTypes));
    if (typeChosen) target.format = static_cast<StakeOutFormat>(choice.type);
    const std::size_t nameAt = choice.path.find_last_of("/\\");
    const std::size_t dot = choice.path.rfind('.');
    const bool hasExtension =
        dot != std::string::npos && (nameAt == std::string::npos || dot > nameAt);
    if (!hasExtension) {
        target.path += ".";
        target.path += kStakeOutTypes[static_cast<int>(target.format)].extension;
        return target;
    }
    std::string extension = choice.path.substr(dot + 1);
    for (char& c : extension) {
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    }
    for (int i = 0; i < static_cast<int>(std::size(kStakeOutTypes)); ++i) {
        if (extension == kStakeOutTypes[i].extension)
            target.format = static_cast<StakeOutFormat>(i);
    }
    return target;
}

}  // namespace velmora
