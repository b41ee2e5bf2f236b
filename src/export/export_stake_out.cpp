#include "export/export_stake_out.h"

#include <optional>
#include <string>

#include "export/stake_out.h"
#include "export/whole_file.h"

namespace velmora {

namespace {

void Say(const WindowServices& services, const std::string& text) {
    if (services.showMessage) services.showMessage(text);
}

std::string WrittenMessage(const StakeOutRows& rows, const std::string& path) {
    return "已写入 " + std::to_string(rows.piles.size()) + " 根桩的坐标，" +
           std::to_string(rows.leftOut) + " 根桩没有坐标，未写入。\n" + path;
}

std::optional<SaveChoice> AskForFile(const WindowState& state, const WindowServices& services) {
    if (!services.chooseSaveFile) return std::nullopt;
    SaveRequest request{kStakeOutTitle, state.stakeOutPath, kStakeOutTypes, 0};
    if (request.suggestedPath.empty()) request.suggestedPath = kStakeOutSuggestedName;
    return services.chooseSaveFile(request);
}

}  // namespace

void ExportStakeOutFile(WindowState& state, const WindowServices& services) {
    if (state.pileCount <= 0) {
        Say(services, std::string(kNothingRecordedMessage));
        return;
    }
    const StakeOutRows rows = CollectStakeOutRows(state.pileRegister, state.pileCount);
    if (rows.piles.empty()) {
        Say(services, "记录的 " + std::to_string(rows.leftOut) +
                          " 根桩都没有坐标（坐标转换未成功），没有可导出的测量坐标。");
        return;
    }
    const std::optional<SaveChoice> choice = AskForFile(state, services);
    if (!choice || choice->path.empty()) return;

    const StakeOutTarget target = ResolveStakeOutTarget(*choice);
    const StakeOutFile file = ComposeStakeOut(rows.piles, target.format);
    if (!file.refusal.empty()) {
        Say(services,
            "桩号“" + file.refusedLabel + "”" + std::string(file.refusal) + "，没有写入任何文件。");
        return;
    }
    if (const std::optional<std::string> error = WriteWholeFile(target.path, file.bytes)) {
        Say(services,
            "无法写入 " + target.path + "：" + *error + "。没有写入任何内容，原有文件不变。");
        return;
    }
    state.stakeOutPath = target.path;
    Say(services, WrittenMessage(rows, target.path));
}

}  // namespace velmora
