// The Linux program's stand-in for Excel showing a workbook: when the
// application becomes visible, its workbook is written as an .xlsx into the
// user's documents folder under a name that is still free, and opened with
// the desktop's spreadsheet application.
#pragma once

#include <filesystem>
#include <functional>
#include <memory>
#include <optional>
#include <string>

#include "standins/excel/standin_excel.h"

namespace velmora::standins {

struct DesktopOutput {
    std::filesystem::path folder;  // empty: the user's documents folder
    // Opens a written file; false when nothing could open it.
    std::function<bool(const std::filesystem::path&)> open;
    // Tells the user something the desktop could not show (a Qt message box).
    std::function<void(std::string)> tellUser;
};

// The desktop's documents folder when it exists, else the temporary folder.
std::filesystem::path DocumentsFolder();

// Creates "<stem>.xlsx", else "<stem> (2).xlsx" and so on, exclusively, so
// that no existing file is ever overwritten. Empty when none can be made.
std::optional<std::filesystem::path> CreateUniqueFile(const std::filesystem::path& folder,
                                                      const std::string& stem);

// The file name a workbook is saved under: the text of the first sheet's A1
// when it makes a usable name, else "工作簿".
std::string WorkbookFileStem(const Workbook& workbook);

// Hands the file to the desktop's spreadsheet application; false when
// nothing could open it.
bool OpenWithDesktopApplication(const std::filesystem::path& file);

// Writes the active workbook and opens it. Returns the file written, or
// nothing when writing failed; either way the user hears of a file that
// could not be shown.
std::optional<std::filesystem::path> ShowWorkbook(const ExcelModel& model,
                                                  const DesktopOutput& output);

// "Excel.Application" for the Linux program: the stand-in, shown on the desktop.
std::shared_ptr<ExcelInstances> RegisterStandInExcelForDesktop(
    LocalDirectory& directory, std::function<void(std::string)> tellUser);

}  // namespace velmora::standins
