#include "standins/drawing/dxf/dxf_file.h"

#include <fcntl.h>
#include <unistd.h>

#include <cctype>
#include <cmath>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <system_error>

#include "standins/drawing/dxf/dxf_scan.h"
#include "standins/drawing/dxf/dxf_text.h"
#include "standins/drawing/dxf/dxf_write.h"

namespace velmora::standins {

namespace {

namespace fs = std::filesystem;

bool WriteAll(const fs::path& path, const std::string& text) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(text.data(), std::streamsize(text.size()));
    out.close();
    return bool(out);
}

bool SyncToDisk(const fs::path& path) {
    const int fd = ::open(path.c_str(), O_RDONLY);
    if (fd < 0) return false;
    const bool synced = ::fsync(fd) == 0;
    ::close(fd);
    return synced;
}

// The saved user coordinate system when it turns about Z only (all the
// stand-in has); world when absent, degenerate or tilted.
Ucs SavedUcs(const DxfScan& scan) {
    const Point3 x = scan.ucsXAxis, y = scan.ucsYAxis;
    const double length = std::hypot(x.x, x.y);
    Ucs ucs;
    if (!(length > 1e-9) || std::abs(x.z) > 1e-9 * length || std::abs(y.z) > 1e-9 * length ||
        std::abs(y.x + x.y * std::hypot(y.x, y.y) / length) > 1e-9 * length ||
        std::abs(y.y - x.x * std::hypot(y.x, y.y) / length) > 1e-9 * length ||
        !(std::hypot(y.x, y.y) > 1e-9))
        return ucs;
    ucs.origin = scan.ucsOrigin;
    ucs.rotation = std::atan2(x.y, x.x);
    return ucs;
}

std::string Upper(std::string_view text) {
    std::string upper(text);
    for (char& c : upper) c = char(std::toupper(static_cast<unsigned char>(c)));
    return upper;
}

// A block reference's name as the user sees it: the dynamic block its
// anonymous block was made from, where the file records one.
std::string EffectiveName(const std::string& blockName, const DxfScan& scan) {
    const auto found = scan.dynamicBlocks.find(Upper(blockName));
    return found == scan.dynamicBlocks.end() ? blockName : found->second;
}

// Texts and names as the file's code page gives them: UTF-8 from 2007 on.
void DecodeTexts(Drawing& drawing, const DxfScan& scan, const std::string& codePage) {
    for (auto& [id, entity] : drawing.entities) {
        entity.layer = DecodeFileText(entity.layer, codePage);
        if (entity.kind == EntityKind::Text) entity.text = DecodeFileText(entity.text, codePage);
        if (entity.kind != EntityKind::BlockReference) continue;
        entity.effectiveName = DecodeFileText(EffectiveName(entity.blockName, scan), codePage);
        entity.blockName = DecodeFileText(entity.blockName, codePage);
    }
}

DxfRead ReadText(std::string content) {
    DxfRead read;
    DxfScan scan = ScanDxf(content);
    if (!scan.error.empty()) {
        read.error = std::move(scan.error);
        return read;
    }
    read.drawing = std::move(scan.drawing);
    read.skipped = std::move(scan.skipped);
    read.fileOnly = scan.fileOnly;
    if (!scan.codePage.empty()) read.drawing.codePage = scan.codePage;
    read.drawing.ucs = SavedUcs(scan);
    const bool utf8 = scan.version >= "AC1021";
    const std::string textCodePage = utf8 ? std::string() : read.drawing.codePage;
    DecodeTexts(read.drawing, scan, textCodePage);
    bool capped = false;
    read.drawing.context = scan.context.Resolve(
        [&](std::string_view text) { return DecodeFileText(text, textCodePage); }, capped);
    if (capped) ++read.skipped["INSERT（图块嵌套或数量超出上限的部分）"];
    if (scan.file.entitiesEnd > 0) {
        auto file = std::make_shared<DrawingFile>(std::move(scan.file));
        file->text = std::move(content);
        file->version = scan.version;
        file->entityCount = read.drawing.entities.size();
        read.drawing.file = std::move(file);
    }
    return read;
}

}  // namespace

bool SavesWhole(const Drawing& drawing) {
    if (!drawing.file || drawing.file->entitiesEnd == 0) return false;
    std::size_t kept = 0;
    for (const auto& [id, e] : drawing.entities) {
        if (e.fromFile && e.edited) return false;
        if (!e.fromFile && (e.kind != EntityKind::Text || !Writable(e))) return false;
        kept += e.fromFile;
    }
    return kept == drawing.file->entityCount;
}

void DropWhatOnlyTheFileHeld(Drawing& drawing) {
    drawing.context.clear();
    std::erase_if(drawing.entities, [](const auto& item) {
        return item.second.kind == EntityKind::BlockReference && item.second.fromFile;
    });
}

DxfRead ReadDxf(std::string_view content) { return ReadText(std::string(content)); }

DxfRead LoadDxf(const std::string& path) {
    DxfRead read;
    auto fail = [&](const std::string& reason) {
        read.error = "无法打开图形文件“" + path + "”：" + reason;
        return std::move(read);
    };
    std::error_code ec;
    if (!fs::is_regular_file(path, ec))
        return fail(fs::exists(path, ec) ? "不是文件" : "文件不存在");
    const auto size = fs::file_size(path, ec);
    if (ec) return fail(ec.message());
    if (size > kMaxDxfBytes) return fail("文件过大（超过 128 MB）");
    std::ifstream in(path, std::ios::binary);
    if (!in) return fail(std::strerror(errno));
    std::string content(size, '\0');
    in.read(content.data(), std::streamsize(size));
    content.resize(std::size_t(in.gcount()));
    read = ReadText(std::move(content));
    if (!read.error.empty()) return fail(read.error);
    return read;
}

DxfSave SaveDxf(const Drawing& drawing, const std::string& path) {
    DxfSave save;
    std::error_code ec;
    fs::path target(path);
    if (fs::is_symlink(target, ec)) target = fs::canonical(target, ec);
    const fs::path temporary =
        target.parent_path() / ("." + target.filename().string() + ".velmora-tmp");
    auto fail = [&](const std::string& reason) {
        fs::remove(temporary, ec);
        save.error = "无法保存图形文件“" + path + "”：" + reason;
        return save;
    };
    if (target.filename().empty()) return fail("没有文件名");
    const bool whole = SavesWhole(drawing);
    if (!WriteAll(temporary, whole ? FileWithLabels(drawing) : R12Text(drawing, save.leftOut)))
        return fail(std::string("无法写入该文件（") + std::strerror(errno) + "）");
    if (!SyncToDisk(temporary)) return fail("写入不完整（磁盘已满？）");
    if (fs::exists(target, ec))
        fs::permissions(temporary, fs::status(target, ec).permissions(), ec);
    fs::rename(temporary, target, ec);
    if (ec) return fail(ec.message());
    return save;
}

}  // namespace velmora::standins
