#include "standins/drawing/dxf/dxf_groups.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <cmath>

namespace velmora::standins {

namespace {

// The value without its blanks and a leading '+', or nullopt when a second
// sign follows the '+'.
std::optional<std::string_view> Unsigned(std::string_view value) {
    value = TrimDxf(value);
    if (!value.starts_with('+')) return value;
    value.remove_prefix(1);
    if (value.starts_with('-') || value.starts_with('+')) return std::nullopt;
    return value;
}

}  // namespace

std::optional<double> DxfReal(std::string_view value) {
    const auto text = Unsigned(value);
    if (!text) return std::nullopt;
    double number = 0;
    const auto [end, ec] = std::from_chars(text->data(), text->data() + text->size(), number);
    if (ec != std::errc() || end != text->data() + text->size() || !std::isfinite(number) ||
        std::abs(number) > kMaxDxfMagnitude)
        return std::nullopt;
    return number;
}

std::optional<int> DxfInteger(std::string_view value) {
    const auto text = Unsigned(value);
    if (!text) return std::nullopt;
    long long number = 0;
    const auto [end, ec] = std::from_chars(text->data(), text->data() + text->size(), number);
    if (ec != std::errc() || end != text->data() + text->size() || number < -2147483647 ||
        number > 2147483647)
        return std::nullopt;
    return int(number);
}

bool DxfGroupReader::Line(std::string_view& line) {
    if (rest_.empty()) return false;
    const std::size_t end = rest_.find('\n');
    line = rest_.substr(0, end);
    rest_.remove_prefix(end == std::string_view::npos ? rest_.size() : end + 1);
    ++line_;
    return true;
}

bool DxfGroupReader::Next(DxfGroup& group, std::string& error) {
    std::string_view codeLine, valueLine;
    if (!Line(codeLine)) return false;
    const long codeLineNumber = line_;
    group.at = Offset(codeLine);
    const std::string_view code = TrimDxf(codeLine);
    if (code.empty() && rest_.empty()) return false;  // a last empty line
    const auto [end, ec] = std::from_chars(code.data(), code.data() + code.size(), group.code);
    if (code.empty() || ec != std::errc() || end != code.data() + code.size() || group.code < -5 ||
        group.code > 1071) {
        error = "第 " + std::to_string(codeLineNumber) + " 行应为组码（整数），却是" +
                ShownDxfValue(codeLine);
        return false;
    }
    if (!Line(valueLine)) {
        error = "文件不完整：第 " + std::to_string(codeLineNumber) + " 行的组码之后没有值";
        return false;
    }
    group.value = valueLine;
    if (!group.value.empty() && group.value.back() == '\r') group.value.remove_suffix(1);
    group.line = line_;
    return true;
}

const DxfGroup* DxfFields::Find(int code) const {
    for (const DxfGroup& group : groups_)
        if (group.code == code) return &group;
    return nullptr;
}

double DxfFields::Real(int code, double fallback) {
    const DxfGroup* group = Find(code);
    return group ? Real(*group) : fallback;
}

int DxfFields::Integer(int code, int fallback) {
    const DxfGroup* group = Find(code);
    return group ? Integer(*group) : fallback;
}

double DxfFields::Real(const DxfGroup& group) {
    if (const auto number = DxfReal(group.value)) return *number;
    if (!bad_) bad_ = &group;
    return 0;
}

int DxfFields::Integer(const DxfGroup& group) {
    if (const auto number = DxfInteger(group.value)) return *number;
    if (!bad_) bad_ = &group;
    return 0;
}

std::string_view DxfFields::Text(int code) const {
    const DxfGroup* group = Find(code);
    return group ? group->value : std::string_view();
}

std::string ShownDxfValue(std::string_view text) {
    constexpr std::size_t kShown = 40;
    std::size_t length = std::min(text.size(), kShown);
    // Never half a character.
    while (length < text.size() && length > 0 && (text[length] & 0xC0) == 0x80) --length;
    std::string shown(text.substr(0, length));
    if (length < text.size()) shown += "…";
    return "“" + shown + "”";
}

std::string NotANumber(const DxfGroup& group) {
    return "第 " + std::to_string(group.line) + " 行：" + ShownDxfValue(group.value) +
           " 不是有效的数值";
}

void DxfWriter::Group(int code, std::string_view value) {
    std::array<char, 16> text{};
    const auto result = std::to_chars(text.data(), text.data() + text.size(), code);
    const std::size_t digits = std::size_t(result.ptr - text.data());
    if (digits < 3) out_.append(3 - digits, ' ');
    out_.append(text.data(), digits).append(lineEnd_).append(value).append(lineEnd_);
}

void DxfWriter::Real(int code, double value) { Group(code, DxfRealText(value)); }

void DxfWriter::Integer(int code, long long value) { Group(code, std::to_string(value)); }

void DxfWriter::Point(int code, const Point3& p) {
    Real(code, p.x);
    Real(code + 10, p.y);
    Real(code + 20, p.z);
}

std::string DxfRealText(double value) {
    std::array<char, 64> text{};
    const auto result = std::to_chars(text.data(), text.data() + text.size() - 1, value);
    std::string number(text.data(), result.ptr);
    if (number.find_first_of(".en") == std::string::npos) number += ".0";
    return number;
}

}  // namespace velmora::standins
