// The automation objects of the stand-in Excel: application, workbook
// collection, workbook, worksheet, range, font, border and page setup. Each
// answers exactly the members the Export command uses, with Excel's checks.
#include <cmath>

#include "automation/failure.h"
#include "automation/object.h"
#include "automation/status.h"
#include "standins/excel/standin_excel.h"
#include "standins/member/arguments.h"

namespace velmora::standins {

namespace {

using Instance = std::shared_ptr<ExcelInstance>;
using ArgSpan = std::span<const Variant>;

[[noreturn]] void Refuse(const std::string& detail) { Fail(kExcelRefused, detail); }

constexpr Conversion kOle = Conversion::Ole;

// The instance an object belongs to. Members an object lacks fail as
// unknown names; none of Excel's objects used here is a collection.
class ExcelObject : public Dispatch {
  public:
    explicit ExcelObject(Instance instance) : instance_(std::move(instance)) {}

    Variant Get(std::string_view member, ArgSpan args) final {
        Enter(member);
        return DoGet(member, args);
    }
    void Put(std::string_view member, ArgSpan args, const Variant& value) final {
        Enter(member);
        DoPut(member, args, value);
    }
    Variant Call(std::string_view member, ArgSpan args) final {
        Enter(member);
        return DoCall(member, args);
    }
    std::vector<Variant> Enumerate() final { UnknownMember("_NewEnum"); }
    // Each object lists its members in a table of its own, one name a line;
    // a name it does not list fails as unknown before any access, in-process
    // as through COM's GetIDsOfNames.
    bool HasMember(std::string_view member) const override = 0;

  protected:
    virtual Variant DoGet(std::string_view member, ArgSpan) { UnknownMember(member); }
    virtual void DoPut(std::string_view member, ArgSpan, const Variant&) { UnknownMember(member); }
    virtual Variant DoCall(std::string_view member, ArgSpan) { UnknownMember(member); }

    ExcelModel& Model() { return instance_->model; }
    const Instance& Owner() const { return instance_; }

  private:
    // "" is the default member, which each object checks itself.
    void Enter(std::string_view member) const {
        if (!member.empty() && !HasMember(member)) UnknownMember(member);
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

    bool HasMember(std::string_view member) const override {
        static constexpr std::string_view kMembers = R"(
            Bold
            Size
        )";
        return ListsMember(kMembers, member);
    }

    Variant DoGet(std::string_view member, ArgSpan args) override {
        ExpectArgs(args, 0, 0);
        const CellFormat format = FormatAt(TheSheet(), Range().firstRow, Range().firstColumn);
        if (SameMember(member, "Bold")) return Variant(format.bold);
        if (SameMember(member, "Size")) return Variant(format.fontSize);
        UnknownMember(member);
    }
    void DoPut(std::string_view member, ArgSpan args, const Variant& value) override {
        ExpectArgs(args, 0, 0);
        if (SameMember(member, "Bold")) {
            SetFormat(TheSheet(), Range(), FormatProperty::Bold, BoolArg(value, kOle) ? 1 : 0);
        } else if (SameMember(member, "Size")) {
            const double size = NumberArg(value, kOle);
            if (!(size >= 1 && size <= 409)) Refuse("font size");
            SetFormat(TheSheet(), Range(), FormatProperty::FontSize, size);
        } else {
            UnknownMember(member);
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

    bool HasMember(std::string_view member) const override {
        static constexpr std::string_view kMembers = R"(
            LineStyle
        )";
        return ListsMember(kMembers, member);
    }

    Variant DoGet(std::string_view member, ArgSpan args) override {
        ExpectArgs(args, 0, 0);
        if (!SameMember(member, "LineStyle")) UnknownMember(member);
        if (targets_.empty()) return Variant(static_cast<std::int32_t>(kLineNone));
        const BorderTarget& target = targets_.front();
        const CellFormat format =
            FormatAt(TheSheet(), target.range.firstRow, target.range.firstColumn);
        return Variant(static_cast<std::int32_t>(SideOf(format, target.side)));
    }
    void DoPut(std::string_view member, ArgSpan args, const Variant& value) override {
        ExpectArgs(args, 0, 0);
        if (!SameMember(member, "LineStyle")) UnknownMember(member);
        const int style = IntegerArg(value, kOle);
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

    bool HasMember(std::string_view member) const override {
        static constexpr std::string_view kMembers = R"(
            Borders
            Value
            Font
            MergeCells
            ColumnWidth
            RowHeight
            HorizontalAlignment
        )";
        return ListsMember(kMembers, member);
    }

    Variant DoGet(std::string_view member, ArgSpan args) override {
        Sheet& sheet = TheSheet();
        const CellRange& range = Range();
        if (SameMember(member, "Borders")) {
            ExpectArgs(args, 0, 1);
            const int index = args.empty() ? 0 : IntegerArg(args[0], kOle);
            if (index == 0 && !args.empty()) Refuse("border index 0");
            return Variant(Object(
                std::make_shared<BorderObject>(Owner(), Ref(), BorderTargets(range, index))));
        }
        ExpectArgs(args, 0, 0);
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
        UnknownMember(member);
    }

    void DoPut(std::string_view member, ArgSpan args, const Variant& value) override {
        ExpectArgs(args, 0, 0);
        Sheet& sheet = TheSheet();
        const CellRange& range = Range();
        if (SameMember(member, "Value") || member.empty()) {
            CellValue cell = ToCellValue(value);
            if (range.CellCount() > kMaxCellsPerValueRequest) Fail(kExcelOutOfMemory);
            SetValue(sheet, range, cell);
        } else if (SameMember(member, "MergeCells")) {
            SetMerged(sheet, range, BoolArg(value, kOle));
        } else if (SameMember(member, "ColumnWidth")) {
            const double width = NumberArg(value, kOle);
            if (!(width >= 0 && width <= 255)) Refuse("column width");
            SetColumnWidth(sheet, range, width);
        } else if (SameMember(member, "RowHeight")) {
            const double height = NumberArg(value, kOle);
            if (!(height >= 0 && height <= 409)) Refuse("row height");
            SetRowHeight(sheet, range, height);
        } else if (SameMember(member, "HorizontalAlignment")) {
            auto alignment = AlignmentFromCode(IntegerArg(value, kOle));
            if (!alignment) Refuse("horizontal alignment");
            SetFormat(sheet, range, FormatProperty::Alignment, static_cast<int>(*alignment));
        } else {
            UnknownMember(member);
        }
    }
};

class PageSetupObject : public SheetPart {
  public:
    using SheetPart::SheetPart;

    bool HasMember(std::string_view member) const override {
        static constexpr std::string_view kMembers = R"(
            CenterHorizontally
        )";
        return ListsMember(kMembers, member);
    }

    Variant DoGet(std::string_view member, ArgSpan args) override {
        ExpectArgs(args, 0, 0);
        if (SameMember(member, "CenterHorizontally")) return Variant(TheSheet().centerHorizontally);
        UnknownMember(member);
    }
    void DoPut(std::string_view member, ArgSpan args, const Variant& value) override {
        ExpectArgs(args, 0, 0);
        if (!SameMember(member, "CenterHorizontally")) UnknownMember(member);
        TheSheet().centerHorizontally = BoolArg(value, kOle);
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
        index = IntegerArg(value, kOle);
    }
    if (index < 1 || index > limit) Refuse("index " + std::to_string(index) + " outside the sheet");
    return index;
}

class WorksheetObject : public SheetPart {
  public:
    using SheetPart::SheetPart;

    bool HasMember(std::string_view member) const override {
        static constexpr std::string_view kMembers = R"(
            Range
            Cells
            Columns
            PageSetup
        )";
        return ListsMember(kMembers, member);
    }

    Variant DoGet(std::string_view member, ArgSpan args) override {
        if (SameMember(member, "Range")) {
            ExpectArgs(args, 1, 1);
            if (args[0].Kind() != VariantKind::Text) Refuse("range address " + Describe(args[0]));
            auto range = ParseRange(args[0].AsText());
            if (!range) Refuse("range address " + args[0].AsText());
            return MakeRange(*range);
        }
        if (SameMember(member, "Cells")) {
            if (args.empty()) return MakeRange({1, 1, kMaxRows, kMaxColumns});
            ExpectArgs(args, 2, 2);
            const int row = CellIndex(args[0], kMaxRows, false);
            const int column = CellIndex(args[1], kMaxColumns, true);
            return MakeRange({row, column, row, column});
        }
        if (SameMember(member, "Columns")) {
            if (args.empty()) return MakeRange({1, 1, kMaxRows, kMaxColumns});
            ExpectArgs(args, 1, 1);
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
            ExpectArgs(args, 0, 0);
            return Variant(Object(std::make_shared<PageSetupObject>(Owner(), Ref())));
        }
        UnknownMember(member);
    }

  private:
    Variant MakeRange(const CellRange& range) {
        return Variant(Object(std::make_shared<RangeObject>(Owner(), Ref(), range)));
    }
};

// A workbook answers for its worksheets only: Visible belongs to Excel's
// windows, not to the workbook, so setting it fails as an unknown name.
class WorkbookObject : public ExcelObject {
  public:
    WorkbookObject(Instance instance, int index)
        : ExcelObject(std::move(instance)), index_(index) {}

    bool HasMember(std::string_view member) const override {
        static constexpr std::string_view kMembers = R"(
            Worksheets
        )";
        return ListsMember(kMembers, member);
    }

    Variant DoGet(std::string_view member, ArgSpan args) override {
        if (!SameMember(member, "Worksheets")) UnknownMember(member);
        ExpectArgs(args, 1, 1);
        const std::vector<Sheet>& sheets = Model().workbooks[index_].sheets;
        int sheet = -1;
        if (args[0].Kind() == VariantKind::Text) {
            for (std::size_t i = 0; i < sheets.size(); ++i) {
                if (SameMember(sheets[i].name, args[0].AsText())) sheet = int(i);
            }
        } else {
            sheet = IntegerArg(args[0], kOle) - 1;
        }
        if (sheet < 0 || sheet >= static_cast<int>(sheets.size())) {
            Fail(status::kBadIndex, "no such worksheet");
        }
        return Variant(Object(std::make_shared<WorksheetObject>(Owner(), SheetRef{index_, sheet})));
    }

  private:
    int index_;
};

class WorkbooksObject : public ExcelObject {
  public:
    using ExcelObject::ExcelObject;

    bool HasMember(std::string_view member) const override {
        static constexpr std::string_view kMembers = R"(
            Add
        )";
        return ListsMember(kMembers, member);
    }

    Variant DoCall(std::string_view member, ArgSpan args) override {
        if (!SameMember(member, "Add")) UnknownMember(member);
        ExpectArgs(args, 0, 0);
        AddWorkbook(Model());
        return Variant(Object(std::make_shared<WorkbookObject>(Owner(), Model().activeWorkbook)));
    }
};

class ApplicationObject : public ExcelObject {
  public:
    using ExcelObject::ExcelObject;

    bool HasMember(std::string_view member) const override {
        static constexpr std::string_view kMembers = R"(
            Workbooks
            ActiveSheet
            Visible
        )";
        return ListsMember(kMembers, member);
    }

    Variant DoGet(std::string_view member, ArgSpan args) override {
        ExpectArgs(args, 0, 0);
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
        UnknownMember(member);
    }
    void DoPut(std::string_view member, ArgSpan args, const Variant& value) override {
        ExpectArgs(args, 0, 0);
        if (!SameMember(member, "Visible")) UnknownMember(member);
        const bool visible = BoolArg(value, kOle);
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
