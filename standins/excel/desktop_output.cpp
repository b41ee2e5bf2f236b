#include "standins/excel/desktop_output.h"

#include <QDesktopServices>
#include <QDir>
#include <QFile>
#include <QStandardPaths>
#include <QString>
#include <QUrl>

#include "standins/excel/xlsx_output.h"

namespace velmora::standins {

namespace fs = std::filesystem;

namespace {

constexpr const char* kFallbackStem = "工作簿";
constexpr int kMaxNameAttempts = 1000;

QString ToQString(const fs::path& path) { return QString::fromStdString(path.string()); }

}  // namespace

fs::path DocumentsFolder() {
    const QString documents = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    if (!documents.isEmpty() && QDir(documents).exists()) return documents.toStdString();
    return QDir::tempPath().toStdString();
}

std::optional<fs::path> CreateUniqueFile(const fs::path& folder, const std::string& stem) {
    for (int attempt = 1; attempt <= kMaxNameAttempts; ++attempt) {
        std::string name = stem;
        if (attempt > 1) name += " (" + std::to_string(attempt) + ")";
        const fs::path candidate = folder / (name + ".xlsx");
        // NewOnly creates the file exclusively (O_EXCL): a file that exists,
        // or one made by someone else meanwhile, is never opened.
        QFile file(ToQString(candidate));
        if (file.open(QIODevice::WriteOnly | QIODevice::NewOnly)) return candidate;
        if (!file.exists()) return std::nullopt;  // the folder refuses, not the name
    }
    return std::nullopt;
}

std::string WorkbookFileStem(const Workbook& workbook) {
    if (workbook.sheets.empty()) return kFallbackStem;
    const auto* text = std::get_if<std::string>(&ValueAt(workbook.sheets[0], 1, 1));
    if (!text || text->empty() || text->size() > 120) return kFallbackStem;
    for (unsigned char c : *text) {
        if (c < 0x20 || c == '/' || c == '\\' || c == 0x7F) return kFallbackStem;
    }
    if (*text == "." || *text == ".." || text->front() == '.') return kFallbackStem;
    return *text;
}

bool OpenWithDesktopApplication(const fs::path& file) {
    return QDesktopServices::openUrl(QUrl::fromLocalFile(ToQString(file)));
}

std::optional<fs::path> ShowWorkbook(const ExcelModel& model, const DesktopOutput& output) {
    auto tell = [&](std::string text) {
        if (output.tellUser) output.tellUser(std::move(text));
    };
    if (model.activeWorkbook < 0) return std::nullopt;
    const Workbook& workbook = model.workbooks[model.activeWorkbook];
    const fs::path folder = output.folder.empty() ? DocumentsFolder() : output.folder;
    auto file = CreateUniqueFile(folder, WorkbookFileStem(workbook));
    if (!file) {
        tell("无法在文件夹 " + folder.string() + " 中创建工作簿文件。");
        return std::nullopt;
    }
    if (std::string error = WriteWorkbookXlsx(workbook, *file); !error.empty()) {
        std::error_code ignored;
        fs::remove(*file, ignored);
        tell("无法写入工作簿文件 " + file->string() + "：" + error);
        return std::nullopt;
    }
    if (!output.open || !output.open(*file)) {
        tell("工作簿已保存到：\n" + file->string() + "\n没有找到可以打开它的电子表格程序。");
    }
    return file;
}

std::shared_ptr<ExcelInstances> RegisterStandInExcelForDesktop(
    LocalDirectory& directory, std::function<void(std::string)> tellUser) {
    StandInExcelOptions options;
    DesktopOutput output{{}, OpenWithDesktopApplication, std::move(tellUser)};
    options.onVisible = [output](const ExcelModel& model) { ShowWorkbook(model, output); };
    return RegisterStandInExcel(directory, options);
}

}  // namespace velmora::standins
