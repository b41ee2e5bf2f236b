#include "desktop_output.h"

#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstdlib>
#include <fstream>
#include <thread>

#include "xlsx_output.h"

extern char** environ;

namespace velmora::standins {

namespace fs = std::filesystem;

namespace {

constexpr const char* kFallbackStem = "工作簿";
constexpr int kMaxNameAttempts = 1000;
constexpr auto kOpenerPatience = std::chrono::seconds(3);

bool IsFolder(const fs::path& path) {
    std::error_code error;
    return !path.empty() && fs::is_directory(path, error);
}

fs::path Home() {
    const char* home = std::getenv("HOME");
    return home && *home ? fs::path(home) : fs::path();
}

// XDG_DOCUMENTS_DIR="$HOME/Documents" from user-dirs.dirs.
fs::path DocumentsFromUserDirs() {
    const char* configHome = std::getenv("XDG_CONFIG_HOME");
    const fs::path config = configHome && *configHome ? fs::path(configHome) : Home() / ".config";
    std::ifstream file(config / "user-dirs.dirs");
    std::string line;
    const std::string key = "XDG_DOCUMENTS_DIR=";
    while (std::getline(file, line)) {
        if (line.rfind(key, 0) != 0) continue;
        std::string value = line.substr(key.size());
        if (value.size() >= 2 && value.front() == '"' && value.back() == '"') {
            value = value.substr(1, value.size() - 2);
        }
        if (value.rfind("$HOME", 0) == 0) return Home().string() + value.substr(5);
        return value;
    }
    return {};
}

bool ProgramOnPath(const std::string& name) {
    const char* path = std::getenv("PATH");
    if (!path) return false;
    std::string entries = path;
    std::size_t start = 0;
    while (start <= entries.size()) {
        std::size_t end = entries.find(':', start);
        if (end == std::string::npos) end = entries.size();
        const fs::path candidate = fs::path(entries.substr(start, end - start)) / name;
        if (end > start && access(candidate.c_str(), X_OK) == 0) return true;
        start = end + 1;
    }
    return false;
}

}  // namespace

fs::path DocumentsFolder() {
    if (const char* fromEnvironment = std::getenv("XDG_DOCUMENTS_DIR");
        fromEnvironment && IsFolder(fromEnvironment)) {
        return fromEnvironment;
    }
    if (fs::path fromConfig = DocumentsFromUserDirs(); IsFolder(fromConfig)) return fromConfig;
    if (fs::path documents = Home() / "Documents"; !Home().empty() && IsFolder(documents)) {
        return documents;
    }
    std::error_code error;
    return fs::temp_directory_path(error);
}

std::optional<fs::path> CreateUniqueFile(const fs::path& folder, const std::string& stem) {
    for (int attempt = 1; attempt <= kMaxNameAttempts; ++attempt) {
        std::string name = stem;
        if (attempt > 1) name += " (" + std::to_string(attempt) + ")";
        const fs::path candidate = folder / (name + ".xlsx");
        const int fd = open(candidate.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0644);
        if (fd >= 0) {
            close(fd);
            return candidate;
        }
        if (errno != EEXIST) return std::nullopt;
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
    if (!ProgramOnPath("xdg-open")) return false;
    // A go-between child runs xdg-open and reports within a few seconds; an
    // xdg-open still running then has started an application and is left to
    // finish on its own (init reaps it).
    const pid_t helper = fork();
    if (helper < 0) return false;
    if (helper == 0) {
        setsid();
        pid_t opener = 0;
        std::string target = file.string();
        char* argv[] = {const_cast<char*>("xdg-open"), target.data(), nullptr};
        // Keep the opener (and any terminal program it might pick) off our
        // terminal.
        posix_spawn_file_actions_t files;
        posix_spawn_file_actions_init(&files);
        for (int fd = 0; fd <= 2; ++fd) {
            posix_spawn_file_actions_addopen(&files, fd, "/dev/null", fd == 0 ? O_RDONLY : O_WRONLY,
                                             0);
        }
        if (posix_spawnp(&opener, "xdg-open", &files, nullptr, argv, environ) != 0) _exit(1);
        const auto deadline = std::chrono::steady_clock::now() + kOpenerPatience;
        while (std::chrono::steady_clock::now() < deadline) {
            int status = 0;
            const pid_t done = waitpid(opener, &status, WNOHANG);
            if (done == opener) _exit(WIFEXITED(status) && WEXITSTATUS(status) == 0 ? 0 : 1);
            if (done < 0) _exit(1);
            std::this_thread::sleep_for(std::chrono::milliseconds(50));
        }
        _exit(0);
    }
    int status = 0;
    while (waitpid(helper, &status, 0) < 0) {
        if (errno != EINTR) return false;
    }
    return WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

std::optional<fs::path> ShowWorkbook(const ExcelModel& model, const DesktopOutput& output) {
    auto tell = [&](std::string text) {
        if (output.tellUser) output.tellUser(std::move(text));
    };
    if (model.activeWorkbook < 0) return std::nullopt;
    const Workbook& workbook = model.workbooks[model.activeWorkbook];
    const fs::path folder = output.folder.empty() ? DocumentsFolder() : output.folder;
    const auto file = CreateUniqueFile(folder, WorkbookFileStem(workbook));
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
    return RegisterStandInExcel(directory, std::move(options));
}

}  // namespace velmora::standins
