// Writes a stand-in workbook as an .xlsx file, so that a spreadsheet
// application shows what Excel would have shown.
#pragma once

#include <filesystem>
#include <string>

#include "standins/excel/workbook_model.h"

namespace velmora::standins {

// Writes every sheet of the workbook to path, replacing what is there.
// Returns an empty text on success, else what went wrong.
std::string WriteWorkbookXlsx(const Workbook& workbook, const std::filesystem::path& path);

}  // namespace velmora::standins
