#include "app/about.h"

#include "app/version.h"

namespace velmora {

namespace {

// Where the packages put the licence and the guide: beside Velmora.exe in
// the Windows zip, under /usr/share/doc/velmora from the Debian package.
#ifdef _WIN32
constexpr const char* kLicencePlace = "LICENSE.txt（与 Velmora.exe 在同一文件夹）";
constexpr const char* kGuidePlace = "与 Velmora.exe 在同一文件夹的 使用说明.md";
#else
constexpr const char* kLicencePlace = "/usr/share/doc/velmora/copyright";
constexpr const char* kGuidePlace = "/usr/share/doc/velmora/使用说明.md";
#endif

}  // namespace

std::string AboutText() {
    return std::string("Velmora ") + VELMORA_VERSION_TEXT +
           "\n桩编号与桩坐标导出工具\n\n许可：Expat 许可证（即 MIT 许可证），全文见 " +
           kLicencePlace + "。\n使用说明：" + kGuidePlace + "（英文版 user-guide.md）。";
}

}  // namespace velmora
