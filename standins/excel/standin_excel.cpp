#include "standins/excel/standin_excel.h"

namespace velmora::standins {

std::shared_ptr<ExcelInstances> RegisterStandInExcel(LocalDirectory& directory,
                                                     const StandInExcelOptions& options) {
    auto instances = std::make_shared<ExcelInstances>();
    directory.RegisterFactory(kExcelProgId, [instances, options]() -> Object {
        auto instance = std::make_shared<ExcelInstance>();
        instance->onVisible = options.onVisible;
        instances->created.push_back(instance);
        return MakeExcelApplication(instance);
    });
    return instances;
}

}  // namespace velmora::standins
