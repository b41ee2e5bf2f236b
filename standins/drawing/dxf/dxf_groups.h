// The groups of an ASCII DXF file: a group code on one line, its value on
// the next. Read one after another, values read as numbers by one rule,
// and written back in the same form.
#pragma once

#include <optional>
#include <span>
#include <string>
#include <string_view>

#include "standins/drawing/drawing.h"

namespace velmora::standins {

struct DxfGroup {
    int code = 0;
    std::string_view value;  // without the line's carriage return
    long line = 0;           // of the value, 1-based
    std::size_t at = 0;      // offset of the code's line in the text
};

// A value without the blanks around it (and a line's carriage return).
inline std::string_view TrimDxf(std::string_view text) {
    while (!text.empty() && (text.front() == ' ' || text.front() == '\t')) text.remove_prefix(1);
    while (!text.empty() && (text.back() == ' ' || text.back() == '\t' || text.back() == '\r'))
        text.remove_suffix(1);
    return text;
}

// Coordinates beyond this are not drawings but damage.
constexpr double kMaxDxfMagnitude = 1e15;

// A value as a number: blanks around it ignored, one leading sign ('+' or
// '-'). Anything else is not a number: a decimal comma, a second sign,
// text after the number, "nan", "inf", beyond kMaxDxfMagnitude.
std::optional<double> DxfReal(std::string_view value);
// The same for a whole number within int, written without a fraction or
// an exponent.
std::optional<int> DxfInteger(std::string_view value);

// Reads a text's groups from its start; false at its end, or with `error`
// set (a code that is no integer, a code without its value).
class DxfGroupReader {
  public:
    explicit DxfGroupReader(std::string_view text) : text_(text), rest_(text) {}
    bool Next(DxfGroup& group, std::string& error);
    // Where a part of the text starts in it.
    std::size_t Offset(std::string_view part) const {
        return std::size_t(part.data() - text_.data());
    }

  private:
    bool Line(std::string_view& line);

    std::string_view text_, rest_;
    long line_ = 0;
};

// The groups of one entity by code, the first of a code counting. A value
// that is not a number reads as 0 and is kept as Bad(): the file cannot be
// read.
class DxfFields {
  public:
    explicit DxfFields(std::span<const DxfGroup> groups) : groups_(groups) {}

    const DxfGroup* Find(int code) const;
    bool Has(int code) const { return Find(code) != nullptr; }
    double Real(int code, double fallback = 0);
    int Integer(int code, int fallback = 0);
    double Real(const DxfGroup& group);
    int Integer(const DxfGroup& group);
    Point2 Point(int code) { return {Real(code), Real(code + 10)}; }
    std::string_view Text(int code) const;
    std::span<const DxfGroup> All() const { return groups_; }
    const DxfGroup* Bad() const { return bad_; }

  private:
    std::span<const DxfGroup> groups_;
    const DxfGroup* bad_ = nullptr;
};

// "“text”", at most 40 bytes of it, for messages.
std::string ShownDxfValue(std::string_view text);
// The error of a value that is not a number.
std::string NotANumber(const DxfGroup& group);

// Appends groups to a text: the code right-aligned in three places, reals
// in their shortest form that reads back the same.
class DxfWriter {
  public:
    explicit DxfWriter(std::string& out, std::string_view lineEnd = "\n")
        : out_(out), lineEnd_(lineEnd) {}
    void Group(int code, std::string_view value);
    void Real(int code, double value);
    void Integer(int code, long long value);
    void Point(int code, const Point3& p);  // code, code + 10, code + 20

  private:
    std::string& out_;
    std::string_view lineEnd_;
};

// A real as DxfWriter writes it ("2.0", "0.1", "1e+300").
std::string DxfRealText(double value);

}  // namespace velmora::standins
