// The Export command: writes the pile register as a formatted coordinate
// table into a new Excel workbook and shows it to the user.
#pragma once

#include <string_view>

#include "window/window_state.h"

namespace velmora {

// The spreadsheet programs created, in this order, each only when the one
// before it cannot be created: Microsoft Excel, then WPS 表格 (2013 and
// later, then older).
inline constexpr std::string_view kExcelProgIds[] = {"Excel.Application", "KET.Application",
                                                     "ET.Application"};
inline constexpr std::string_view kNoExcelMessage = "软件没有检测到EXCEL，请确认EXCEL安装完整版！";
inline constexpr std::string_view kTableTitle = "工程桩坐标数据成果表";
inline constexpr std::string_view kTableHeaders[] = {"序号", "桩编号", "坐标X", "坐标Y"};

// Row height of the table rows, in points.
inline constexpr double kTableRowHeight = 0.8 / 0.035;

// Reads PileCount and the register rows below it, changes neither, and
// replaces the three Excel references only with objects obtained by this run.
// With no piles it does nothing; when no spreadsheet program can be
// created, or its workbook or worksheet cannot be had, it shows one message.
void ExportCoordinateTable(WindowState& state, const WindowServices& services);

}  // namespace velmora
