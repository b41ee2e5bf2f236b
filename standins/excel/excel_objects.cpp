// The automation objects of the stand-in Excel: application, workbook
// collection, workbook, worksheet, range, font, border and page setup. Each
// answers exactly the members the Export command uses, with Excel's checks.
#include <charconv>
#include <cmath>

#include "automation/failure.h"
#include "automation/object.h"
#include "standins/excel/standin_excel.h"

namespace velmora::standins {

namespace {

using Instance = std::shared_ptr<ExcelInstance>;
using ArgSpan = std::span<const Variant>;

[[noreturn]] void Refuse(std::string detail) { Fail(kExcelRefused, std::move(detail)); }

double Number(const Variant& value) {
    switch (value.Kind()) {
        case VariantKind::Bool:
            return value.AsBool() ? -1 : 0;
        case VariantKind::Int16:
        case VariantKind::Int32:
        case VariantKind::Double:
            return value.ToDouble();
        case VariantKind::Text: {
            const std::string& text = value.AsText();
            double number = 0;
            auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), number);
            if (error == std::errc() && end == text.data() + text.size() && !text.empty()) {
                return number;
            }
            break;
        }
        default:
            break;
    }
    Fail(status::kTypeMismatch, "not a number: " + Describe(value));
}

int WholeNumber(const Variant& value) {
    double number = std::nearbyint(Number(value));
    if (!(number >= -2147483648.0 && number <= 2147483647.0)) Fail(status::kDispOverflow);
    return static_cast<int>(number);
}

bool Truth(const Variant& value) { return Number(value) != 0; }

void ExpectArgs(ArgSpan args, std::size_t count) {
    if (args.size() != count) Fail(status::kBadParamCount);
}

// A member this object does not have.
[[noreturn]] void Unknown(std::string_view member) {
    Fail(status::kUnknownName, std::string(member));
}

// Counts every access of an instance and applies the test's failure plan.
class ExcelObject : public Dispatch {
  public:
    explicit ExcelObject(Instance instance) : instance_(std::move(instance)) {}

    Variant Get(std::string_view member, ArgSpan args) final {
        Count(member);
        return DoGet(member, args);
    }
    void Put(std::string_view member, ArgSpan args, const Variant& value) final {
        Count(member);
        DoPut(member, args, value);
    }
    Variant Call(std::string_view member, ArgSpan args) final {
        Count(member);
        return DoCall(member, args);
    }
    std::vector<Variant> Enumerate() final {
        Count("_NewEnum");
        Unknown("_NewEnum");
    }

  protected:
    virtual Variant DoGet(std::string_view member, ArgSpan args) = 0;
    virtual void DoPut(std::string_view member, ArgSpan, const Variant&) { Unknown(member); }
    virtual Variant DoCall(std::string_view member, ArgSpan) { Unknown(member); }

    ExcelModel& Model() { return instance_->model; }
    const Instance& Owner() const { return instance_; }

  private:
    void Count(std::string_view member) {
        const ExcelFailurePlan& plan = instance_->failures;
        const int number = ++instance_->accessCount;
        if (number == plan.failAccessNumber ||
            (!plan.failMember.empty() && SameMember(member, plan.failMember))) {
            Fail(plan.status, "planned failure of " + std::string(member));
        }
    }

    Instance instance_;
};

// A place in the model that stays valid: workbooks and sheets are never removed.
struct SheetRef {
    int workbook;
    int sheet;
};

class SheetPart : public ExcelObject {
  public:
    SheetPart(Instance instance, SheetRef ref) : ExcelObject(std::move(instance)), ref_(ref) {}

  protected:
    Sheet& TheSheet() { return Model().workbooks[ref_.workbook].sheets[ref_.sheet]; }
    SheetRef Ref() const { return ref_; }

  private:
    SheetRef ref_;
};

class RangePart : public SheetPart {
  public:
    RangePart(Instance instance, SheetRef ref, CellRange range)
        : SheetPart(std::move(instance), ref), range_(range) {}

  protected:
    const CellRange& Range() const { return range_; }

  private:
    CellRange range_;
};

class FontObject : public RangePart {
  public:
    using RangePart::RangePart;

  protected:
    Variant DoGet(std::string_view member, ArgSpan args) override {
        ExpectArgs(args, 0);
        const CellFormat format = FormatAt(TheSheet(), Range().firstRow, Range().firstColumn);
        if (SameMember(member, "Bold")) return Variant(format.bold);
        if (SameMember(member, "Size")) return Variant(format.fontSize);
        Unknown(member);
    }
    void DoPut(std::string_view member, ArgSpan args, const Variant& value) override {
        ExpectArgs(args, 0);
        if (SameMember(member, "Bold")) {
            SetFormat(TheSheet(), Range(), FormatProperty::Bold, Truth(value) ? 1 : 0);
        } else if (SameMember(member, "Size")) {
            const double size = Number(value);
            if (!(size >= 1 && size <= 409)) Refuse("font size");
            SetFormat(TheSheet(), Range(), FormatProperty::FontSize, size);
        } else {
            Unknown(member);
        }
    }
};

bool IsLineStyle(int code) {
    switch (code) {
        case kLineNone:
        case kLineContinuous:
        case kLineDash:
        case kLineDot:
        case kLineDouble:
        case kLineDashDot:
        case kLineDashDotDot:
        case kLineSlantDashDot:
            return true;
        default:
            return false;
    }
}

// One cell side set over part of a range.
struct BorderTarget {
    CellRange range;
    FormatProperty side;
};

// What Borders(index) reaches: 1 … 4 the left, right, top or bottom side of
// every cell; 7 … 10 the range's outer edges; 11 and 12 the lines inside it;
// no index: every side of every cell. Diagonals (5, 6) are not kept.
std::vector<BorderTarget> BorderTargets(const CellRange& r, int index) {
    using P = FormatProperty;
    const CellRange firstColumn{r.firstRow, r.firstColumn, r.lastRow, r.firstColumn};
    const CellRange lastColumn{r.firstRow, r.lastColumn, r.lastRow, r.lastColumn};
    const CellRange firstRow{r.firstRow, r.firstColumn, r.firstRow, r.lastColumn};
    const CellRange lastRow{r.lastRow, r.firstColumn, r.lastRow, r.lastColumn};
    switch (index) {
        case 0:
            return {
                {r, P::BorderLeft}, {r, P::BorderRight}, {r, P::BorderTop}, {r, P::BorderBottom}};
        case 1:
            return {{r, P::BorderLeft}};
        case 2:
            return {{r, P::BorderRight}};
        case 3:
            return {{r, P::BorderTop}};
        case 4:
            return {{r, P::BorderBottom}};
        case 7:
            return {{firstColumn, P::BorderLeft}};
        case 8:
            return {{firstRow, P::BorderTop}};
        case 9:
            return {{lastRow, P::BorderBottom}};
        case 10:
            return {{lastColumn, P::BorderRight}};
        case 11:
            if (r.firstColumn == r.lastColumn) return {};
            return {{{r.firstRow, r.firstColumn + 1, r.lastRow, r.lastColumn}, P::BorderLeft},
                    {{r.firstRow, r.firstColumn, r.lastRow, r.lastColumn - 1}, P::BorderRight}};
        case 12:
            if (r.firstRow == r.lastRow) return {};
            return {{{r.firstRow + 1, r.firstColumn, r.lastRow, r.lastColumn}, P::BorderTop},
                    {{r.firstRow, r.firstColumn, r.lastRow - 1, r.lastColumn}, P::BorderBottom}};
        default:
            Refuse("border index " + std::to_string(index));
    }
}

int SideOf(const CellFormat& format, FormatProperty side) {
    switch (side) {
        case FormatProperty::BorderLeft:
            return format.borders[kLeft];
        case FormatProperty::BorderRight:
            return format.borders[kRight];
        case FormatProperty::BorderTop:
            return format.borders[kTop];
        default:
            return format.borders[kBottom];
    }
}

class BorderObject : public SheetPart {
  public:
    BorderObject(Instance instance, SheetRef ref, std::vector<BorderTarget> targets)
        : SheetPart(std::move(instance), ref), targets_(std::move(targets)) {}

  protected:
    Variant DoGet(std::string_view member, ArgSpan args) override {
        ExpectArgs(args, 0);
        if (!SameMember(member, "LineStyle")) Unknown(member);
        if (targets_.empty()) return Variant(static_cast<std::int32_t>(kLineNone));
        const BorderTarget& target = targets_.front();
        const CellFormat format =
            FormatAt(TheSheet(), target.range.firstRow, target.range.firstColumn);
        return Variant(static_cast<std::int32_t>(SideOf(format, target.side)));
    }
    void DoPut(std::string_view member, ArgSpan args, const Variant& value) override {
        ExpectArgs(args, 0);
        if (!SameMember(member, "LineStyle")) Unknown(member);
        const int style = WholeNumber(value);
        if (!IsLineStyle(style)) Refuse("line style " + std::to_string(style));
        for (const BorderTarget& target : targets_) {
            SetFormat(TheSheet(), target.range, target.side, style);
        }
    }

  private:
    std::vector<BorderTarget> targets_;
};

std::optional<HorizontalAlignment> AlignmentFromCode(int code) {
    switch (code) {
        case 1:
            return HorizontalAlignment::General;
        case 2:
        case -4131:
            return HorizontalAlignment::Left;
        case 3:
        case -4108:
            return HorizontalAlignment::Center;
        case 4:
        case -4152:
            return HorizontalAlignment::Right;
        case 5:
            return HorizontalAlignment::Fill;
        case 6:
        case -4130:
            return HorizontalAlignment::Justify;
        case 7:
            return HorizontalAlignment::CenterAcross;
        default:
            return std::nullopt;
    }
}

int AlignmentCode(HorizontalAlignment alignment) {
    static constexpr int kCodes[] = {1, -4131, -4108, -4152, 5, -4130, 7};
    return kCodes[static_cast<int>(alignment)];
}

Variant ToVariant(const CellValue& value) {
    if (auto* number = std::get_if<double>(&value)) return Variant(*number);
    if (auto* text = std::get_if<std::string>(&value)) return Variant(*text);
    if (auto* flag = std::get_if<bool>(&value)) return Variant(*flag);
    return Variant();
}

CellValue ToCellValue(const Variant& value) {
    switch (value.Kind()) {
        case VariantKind::Empty:
            return std::monostate{};
        case VariantKind::Bool:
            return value.AsBool();
        case VariantKind::Int16:
        case VariantKind::Int32:
        case VariantKind::Double:
            if (!std::isfinite(value.ToDouble())) Refuse("not a finite number");
            return value.ToDouble();
        case VariantKind::Text:
            // Empty text clears the cell, as in Excel.
            if (value.AsText().empty()) return std::monostate{};
            if (value.AsText().size() > 32767) Refuse("text longer than a cell holds");
            return value.AsText();
        default:
            Fail(status::kTypeMismatch, "cell value " + Describe(value));
    }
}

class RangeObject : public RangePart {
  public:
    using RangePart::RangePart;

  protected:
    Variant DoGet(std::string_view member, ArgSpan args) override {
        Sheet& sheet = TheSheet();
        const CellRange& range = Range();
        if (SameMember(member, "Borders")) {
            if (args.size() > 1) Fail(status::kBadParamCount);
            const int index = args.empty() ? 0 : WholeNumber(args[0]);
            if (index == 0 && !args.empty()) Refuse("border index 0");
            return Variant(Object(
                std::make_shared<BorderObject>(Owner(), Ref(), BorderTargets(range, index))));
        }
        ExpectArgs(args, 0);
        if (SameMember(member, "Value") || member.empty()) {
            return ToVariant(ValueAt(sheet, range.firstRow, range.firstColumn));
        }
        if (SameMember(member, "Font")) {
            return Variant(Object(std::make_shared<FontObject>(Owner(), Ref(), range)));
        }
        if (SameMember(member, "MergeCells")) return Variant(IsMerged(sheet, range));
        if (SameMember(member, "ColumnWidth"))
            return Variant(ColumnWidthAt(sheet, range.firstColumn));
        if (SameMember(member, "RowHeight")) return Variant(RowHeightAt(sheet, range.firstRow));
        if (SameMember(member, "HorizontalAlignment")) {
            const CellFormat format = FormatAt(sheet, range.firstRow, range.firstColumn);
            return Variant(static_cast<std::int32_t>(AlignmentCode(format.alignment)));
        }
        Unknown(member);
    }

    void DoPut(std::string_view member, ArgSpan args, const Variant& value) override {
        ExpectArgs(args, 0);
        Sheet& sheet = TheSheet();
        const CellRange& range = Range();
        if (SameMember(member, "Value") || member.empty()) {
            CellValue cell = ToCellValue(value);
            if (range.CellCount() > kMaxCellsPerValueRequest) Fail(kExcelOutOfMemory);
            SetValue(sheet, range, cell);
        } else if (SameMember(member, "MergeCells")) {
            SetMerged(sheet, range, Truth(value));
        } else if (SameMember(member, "ColumnWidth")) {
            const double width = Number(value);
            if (!(width >= 0 && width <= 255)) Refuse("column width");
            SetColumnWidth(sheet, range, width);
        } else if (SameMember(member, "RowHeight")) {
            const double height = Number(value);
            if (!(height >= 0 && height <= 409)) Refuse("row height");
            SetRowHeight(sheet, range, height);
        } else if (SameMember(member, "HorizontalAlignment")) {
            auto alignment = AlignmentFromCode(WholeNumber(value));
            if (!alignment) Refuse("horizontal alignment");
            SetFormat(sheet, range, FormatProperty::Alignment, static_cast<int>(*alignment));
        } else {
            Unknown(member);
        }
    }
};

class PageSetupObject : public SheetPart {
  public:
    using SheetPart::SheetPart;

  protected:
    Variant DoGet(std::string_view member, ArgSpan args) override {
        ExpectArgs(args, 0);
        if (SameMember(member, "CenterHorizontally")) return Variant(TheSheet().centerHorizontally);
        Unknown(member);
    }
    void DoPut(std::string_view member, ArgSpan args, const Variant& value) override {
        ExpectArgs(args, 0);
        if (!SameMember(member, "CenterHorizontally")) Unknown(member);
        TheSheet().centerHorizontally = Truth(value);
    }
};

// A row or column number as Excel takes it: a number, or for a column also
// its letters.
int CellIndex(const Variant& value, int limit, bool letters) {
    int index = 0;
    if (letters && value.Kind() == VariantKind::Text) {
        auto column = ParseColumnName(value.AsText());
        if (!column) Refuse("column " + value.AsText());
        index = *column;
    } else {
        index = WholeNumber(value);
    }
    if (index < 1 || index > limit) Refuse("index " + std::to_string(index) + " outside the sheet");
    return index;
}

class WorksheetObject : public SheetPart {
  public:
    using SheetPart::SheetPart;

  protected:
    Variant DoGet(std::string_view member, ArgSpan args) override {
        if (SameMember(member, "Range")) {
            ExpectArgs(args, 1);
            if (args[0].Kind() != VariantKind::Text) Refuse("range address " + Describe(args[0]));
            auto range = ParseRange(args[0].AsText());
            if (!range) Refuse("range address " + args[0].AsText());
            return MakeRange(*range);
        }
        if (SameMember(member, "Cells")) {
            if (args.empty()) return MakeRange({1, 1, kMaxRows, kMaxColumns});
            ExpectArgs(args, 2);
            const int row = CellIndex(args[0], kMaxRows, false);
            const int column = CellIndex(args[1], kMaxColumns, true);
            return MakeRange({row, column, row, column});
        }
        if (SameMember(member, "Columns")) {
            if (args.empty()) return MakeRange({1, 1, kMaxRows, kMaxColumns});
            ExpectArgs(args, 1);
            if (args[0].Kind() == VariantKind::Text) {
                const std::string& text = args[0].AsText();
                auto range =
                    ParseRange(text.find(':') == std::string::npos ? text + ":" + text : text);
                if (!range || range->firstRow != 1 || range->lastRow != kMaxRows) {
                    Refuse("columns " + text);
                }
                return MakeRange(*range);
            }
            const int column = CellIndex(args[0], kMaxColumns, false);
            return MakeRange({1, column, kMaxRows, column});
        }
        if (SameMember(member, "PageSetup")) {
            ExpectArgs(args, 0);
            return Variant(Object(std::make_shared<PageSetupObject>(Owner(), Ref())));
        }
        Unknown(member);
    }

  private:
    Variant MakeRange(const CellRange& range) {
        return Variant(Object(std::make_shared<RangeObject>(Owner(), Ref(), range)));
    }
};

class WorkbookObject : public ExcelObject {
  public:
    WorkbookObject(Instance instance, int index)
        : ExcelObject(std::move(instance)), index_(index) {}

  protected:
    Variant DoGet(std::string_view member, ArgSpan args) override {
        Workbook& workbook = Model().workbooks[index_];
        if (SameMember(member, "Worksheets")) {
            ExpectArgs(args, 1);
            int sheet = -1;
            if (args[0].Kind() == VariantKind::Text) {
                for (std::size_t i = 0; i < workbook.sheets.size(); ++i) {
                    if (SameMember(workbook.sheets[i].name, args[0].AsText())) sheet = int(i);
                }
            } else {
                sheet = WholeNumber(args[0]) - 1;
            }
            if (sheet < 0 || sheet >= static_cast<int>(workbook.sheets.size())) {
                Fail(status::kBadIndex, "no such worksheet");
            }
            return Variant(
                Object(std::make_shared<WorksheetObject>(Owner(), SheetRef{index_, sheet})));
        }
        ExpectArgs(args, 0);
        if (SameMember(member, "Visible")) return Variant(workbook.visible);
        Unknown(member);
    }
    void DoPut(std::string_view member, ArgSpan args, const Variant& value) override {
        ExpectArgs(args, 0);
        if (!SameMember(member, "Visible")) Unknown(member);
        Model().workbooks[index_].visible = Truth(value);
    }

  private:
    int index_;
};

class WorkbooksObject : public ExcelObject {
  public:
    using ExcelObject::ExcelObject;

  protected:
    Variant DoGet(std::string_view member, ArgSpan) override { Unknown(member); }
    Variant DoCall(std::string_view member, ArgSpan args) override {
        if (!SameMember(member, "Add")) Unknown(member);
        ExpectArgs(args, 0);
        AddWorkbook(Model());
        return Variant(Object(std::make_shared<WorkbookObject>(Owner(), Model().activeWorkbook)));
    }
};

class ApplicationObject : public ExcelObject {
  public:
    using ExcelObject::ExcelObject;

  protected:
    Variant DoGet(std::string_view member, ArgSpan args) override {
        ExpectArgs(args, 0);
        if (SameMember(member, "Workbooks")) {
            return Variant(Object(std::make_shared<WorkbooksObject>(Owner())));
        }
        if (SameMember(member, "ActiveSheet")) {
            // Without a workbook there is no active sheet: Excel answers Nothing.
            if (Model().activeWorkbook < 0) return Variant(Object{});
            return Variant(Object(
                std::make_shared<WorksheetObject>(Owner(), SheetRef{Model().activeWorkbook, 0})));
        }
        if (SameMember(member, "Visible")) return Variant(Model().visible);
        Unknown(member);
    }
    void DoPut(std::string_view member, ArgSpan args, const Variant& value) override {
        ExpectArgs(args, 0);
        if (!SameMember(member, "Visible")) Unknown(member);
        const bool visible = Truth(value);
        const bool shown = visible && !Model().visible;
        Model().visible = visible;
        if (shown && Owner()->onVisible) Owner()->onVisible(Model());
    }
};

}  // namespace

Object MakeExcelApplication(std::shared_ptr<ExcelInstance> instance) {
    return std::make_shared<ApplicationObject>(std::move(instance));
}

}  // namespace velmora::standins
