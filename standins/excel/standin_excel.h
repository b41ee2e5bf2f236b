// The stand-in Excel: an in-process "Excel.Application" that accepts the
// members the Export command uses and builds the workbook they describe.
// Plain C++; writing the workbook to a file is left to the onVisible action.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <vector>

#include "automation/directory.h"
#include "standins/excel/workbook_model.h"

namespace velmora::standins {

// Excel's usual refusal of an argument it cannot use (an unreadable address,
// a width out of range).
inline constexpr std::uint32_t kExcelRefused = 0x800A03EC;
inline constexpr std::uint32_t kExcelOutOfMemory = 0x8007000E;

struct StandInExcelOptions {
    // Runs when the application's Visible goes from false to true.
    std::function<void(const ExcelModel&)> onVisible;
};

// One created application, as the tests look at it.
struct ExcelInstance {
    ExcelModel model;
    std::function<void(const ExcelModel&)> onVisible;
};

// Every instance the factory created, in order.
struct ExcelInstances {
    std::vector<std::shared_ptr<ExcelInstance>> created;
};

inline constexpr const char* kExcelProgId = "Excel.Application";

// Registers the factory for "Excel.Application": a new instance per creation.
std::shared_ptr<ExcelInstances> RegisterStandInExcel(LocalDirectory& directory,
                                                     const StandInExcelOptions& options = {});

// The application object of an instance (what creation hands out).
Object MakeExcelApplication(std::shared_ptr<ExcelInstance> instance);

}  // namespace velmora::standins
