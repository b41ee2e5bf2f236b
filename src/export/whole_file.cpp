#include "export/whole_file.h"

#ifdef _WIN32
#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>
#else
#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#endif

#include <string>

#include "text/utf16.h"

namespace velmora {

namespace {

// Temporary names beside the target; taken only when no file has it.
constexpr int kNameTries = 100;

}  // namespace

#ifdef _WIN32

namespace {

std::string SystemMessage(DWORD error) {
    wchar_t* text = nullptr;
    const DWORD length = FormatMessageW(
        FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
        nullptr, error, 0, reinterpret_cast<wchar_t*>(&text), 0, nullptr);
    std::wstring wide = length && text ? std::wstring(text, length) : L"";
    if (text) LocalFree(text);
    while (!wide.empty() && (wide.back() == L'\r' || wide.back() == L'\n' || wide.back() == L' ')) {
        wide.pop_back();
    }
    return wide.empty() ? "error " + std::to_string(error) : Narrow(wide);
}

// Writes and flushes the whole of `bytes`; false leaves the error in GetLastError.
bool WriteAll(HANDLE file, std::string_view bytes) {
    while (!bytes.empty()) {
        const DWORD chunk =
            bytes.size() > 0x40000000u ? 0x40000000u : static_cast<DWORD>(bytes.size());
        DWORD written = 0;
        if (!WriteFile(file, bytes.data(), chunk, &written, nullptr)) return false;
        bytes.remove_prefix(written);
    }
    return FlushFileBuffers(file) != FALSE;
}

}  // namespace

std::optional<std::string> WriteWholeFile(const std::string& path, std::string_view bytes) {
    const std::wstring target = Wide(path);
    std::wstring temporary;
    HANDLE file = INVALID_HANDLE_VALUE;
    for (int i = 0; i < kNameTries && file == INVALID_HANDLE_VALUE; ++i) {
        temporary = target + L"." + std::to_wstring(GetCurrentProcessId()) + L"-" +
                    std::to_wstring(i) + L".tmp";
        file = CreateFileW(temporary.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                           FILE_ATTRIBUTE_NORMAL, nullptr);
        if (file == INVALID_HANDLE_VALUE && GetLastError() != ERROR_FILE_EXISTS) break;
    }
    if (file == INVALID_HANDLE_VALUE) return SystemMessage(GetLastError());
    const bool written = WriteAll(file, bytes);
    DWORD error = written ? ERROR_SUCCESS : GetLastError();
    CloseHandle(file);
    if (written && !MoveFileExW(temporary.c_str(), target.c_str(),
                                MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
        error = GetLastError();
    }
    if (error == ERROR_SUCCESS) return std::nullopt;
    DeleteFileW(temporary.c_str());
    return SystemMessage(error);
}

#else

namespace {

// Writes and flushes the whole of `bytes`; false leaves the error in errno.
bool WriteAll(int file, std::string_view bytes) {
    while (!bytes.empty()) {
        const ssize_t written = write(file, bytes.data(), bytes.size());
        if (written < 0 && errno == EINTR) continue;
        if (written <= 0) return false;
        bytes.remove_prefix(static_cast<std::size_t>(written));
    }
    return fsync(file) == 0;
}

}  // namespace

std::optional<std::string> WriteWholeFile(const std::string& path, std::string_view bytes) {
    std::string temporary;
    int file = -1;
    for (int i = 0; i < kNameTries && file < 0; ++i) {
        temporary = path + "." + std::to_string(getpid()) + "-" + std::to_string(i) + ".tmp";
        // Made as any new file is (0666 less the umask), never over another.
        file = open(temporary.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (file < 0 && errno != EEXIST) break;
    }
    if (file < 0) return std::string(std::strerror(errno));
    bool done = WriteAll(file, bytes);
    int error = done ? 0 : errno;
    if (close(file) != 0 && done) {
        done = false;
        error = errno;
    }
    if (done && std::rename(temporary.c_str(), path.c_str()) != 0) {
        done = false;
        error = errno;
    }
    if (done) return std::nullopt;
    unlink(temporary.c_str());
    return std::string(std::strerror(error));
}

#endif

}  // namespace velmora
