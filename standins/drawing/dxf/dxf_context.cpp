#include "standins/drawing/dxf/dxf_context.h"

#include <algorithm>
#include <cctype>
#include <charconv>
#include <cmath>
#include <numbers>
#include <optional>

namespace velmora::standins {

using P2 = Point2;

namespace {

constexpr double kPi = std::numbers::pi;

// x' = a x + b y + tx, y' = c x + d y + ty.
struct Affine {
    double a = 1, b = 0, c = 0, d = 1, tx = 0, ty = 0;
    P2 operator()(P2 p) const { return {a * p.x + b * p.y + tx, c * p.x + d * p.y + ty}; }
    P2 Turn(P2 v) const { return {a * v.x + b * v.y, c * v.x + d * v.y}; }
    // This after `inner`.
    Affine After(const Affine& m) const {
        return {a * m.a + b * m.c, a * m.b + b * m.d,        c * m.a + d * m.c,
                c * m.b + d * m.d, a * m.tx + b * m.ty + tx, c * m.tx + d * m.ty + ty};
    }
};

Affine Move(P2 by) { return {1, 0, 0, 1, by.x, by.y}; }
Affine Rotate(double radians) {
    const double c = std::cos(radians), s = std::sin(radians);
    return {c, -s, s, c, 0, 0};
}
Affine Scale(double x, double y) { return {x, 0, 0, y, 0, 0}; }
const Affine kMirror = Scale(-1, 1);  // an extrusion pointing down

std::string Upper(std::string_view text) {
    std::string upper(TrimDxf(text));
    for (char& c : upper) c = char(std::toupper(static_cast<unsigned char>(c)));
    return upper;
}

// A count or flag as an int, whatever number the file holds.
int Whole(double value) { return int(std::clamp(value, -2147483647.0, 2147483647.0)); }

// Reads the groups of one entity; a number that is not one marks it bad.
class Fields {
  public:
    explicit Fields(std::span<const DxfPair> groups) : groups_(groups) {}

    bool Has(int code) const { return Find(code) != nullptr; }
    double Real(int code, double fallback = 0) {
        const DxfPair* pair = Find(code);
        return pair ? Number(pair->value) : fallback;
    }
    int Int(int code, int fallback = 0) { return Whole(Real(code, fallback)); }
    std::string_view Text(int code) const {
        const DxfPair* pair = Find(code);
        return pair ? pair->value : std::string_view();
    }
    P2 Point(int code) { return {Real(code), Real(code + 10)}; }
    double Number(std::string_view text) {
        text = TrimDxf(text);
        if (!text.empty() && text.front() == '+') text.remove_prefix(1);
        double value = 0;
        const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
        if (ec != std::errc() || end != text.data() + text.size() || !std::isfinite(value) ||
            std::abs(value) > kMaxDxfMagnitude) {
            bad = true;
            return 0;
        }
        return value;
    }
    std::span<const DxfPair> All() const { return groups_; }

    bool bad = false;

  private:
    const DxfPair* Find(int code) const {
        for (const DxfPair& pair : groups_)
            if (pair.code == code) return &pair;
        return nullptr;
    }
    std::span<const DxfPair> groups_;
};

// An ellipse's arc from parameter t0 to t1.
void AppendEllipse(std::vector<P2>& points, P2 centre, P2 major, double ratio, double t0,
                   double t1) {
    if (points.size() > kMaxContextPoints) return;
    const P2 minor{-major.y * ratio, major.x * ratio};
    const int steps = std::clamp(int(std::abs(t1 - t0) / (kPi / 36)), 8, 72);
    for (int i = 0; i <= steps; ++i) {
        const double t = t0 + (t1 - t0) * i / steps;
        points.push_back({centre.x + major.x * std::cos(t) + minor.x * std::sin(t),
                          centre.y + major.y * std::cos(t) + minor.y * std::sin(t)});
    }
}

}  // namespace

// One part of a block or of model space, in that space's coordinates.
struct ContextPart {
    enum class Kind { Outline, Text, Insert } kind = Kind::Outline;
    std::vector<P2> points;
    bool closed = false;
    std::string text;
    P2 at;
    double height = 0, rotation = 0;
    int horizontal = 0;
    // A block reference: its block placed by `place` (after the block's base
    // is moved to the origin), repeated in a grid.
    std::string block;
    Affine place;
    bool fromBase = true;  // dimensions draw their blocks where they stand
    int columns = 1, rows = 1;
    P2 columnStep, rowStep;
};

struct ContextBlock {
    P2 base;
    std::vector<ContextPart> parts;
};

struct ContextParts {
    std::map<std::string, ContextBlock> blocks;  // by upper-case name
    std::vector<ContextPart> model;
    ContextBlock* open = nullptr;
    bool inBlock = false;                 // between BLOCK and ENDBLK
    std::optional<ContextPart> polyline;  // a POLYLINE waiting for its vertices
    std::vector<double> bulges;           // of those vertices
    bool mesh = false, polylineMirrored = false;
    // What was collected, within limits; `full` once they were reached.
    std::size_t points = 0, count = 0;
    bool full = false;

    std::vector<ContextPart>* Target() {
        return inBlock ? (open ? &open->parts : nullptr) : &model;
    }
};

namespace {

void Put(ContextParts& parts, ContextPart part, bool mirrored) {
    std::vector<ContextPart>* target = parts.Target();
    if (!target || parts.full) return;
    parts.points += part.points.size();
    if (++parts.count > kMaxContextShapes || parts.points > kMaxContextPoints) {
        parts.full = true;
        return;
    }
    if (mirrored) {
        for (P2& p : part.points) p = kMirror(p);
        part.at = kMirror(part.at);
        part.rotation = kPi - part.rotation;
        part.place = kMirror.After(part.place);
        part.columnStep = kMirror(part.columnStep);
        part.rowStep = kMirror(part.rowStep);
    }
    target->push_back(std::move(part));
}

// Corners joined by segments bent by their bulges, back to the first when closed.
std::vector<P2> Bulged(const std::vector<P2>& corners, const std::vector<double>& bulges,
                       bool closed) {
    std::vector<P2> points;
    for (std::size_t i = 0; i < corners.size() && points.size() <= kMaxContextPoints; ++i) {
        if (i == 0)
            points.push_back(corners[0]);
        else
            AppendBulge(points, corners[i], bulges[i - 1]);
    }
    if (closed && corners.size() > 2) AppendBulge(points, corners[0], bulges.back());
    return points;
}

ContextPart Outline(std::vector<P2> points, bool closed) {
    ContextPart part;
    part.points = std::move(points);
    part.closed = closed;
    return part;
}

// LWPOLYLINE vertices: each X starts a vertex, its Y and bulge follow.
ContextPart LightPolyline(Fields& f) {
    std::vector<P2> corners;
    std::vector<double> bulges;
    for (const DxfPair& pair : f.All()) {
        if (pair.code == 10) corners.push_back({f.Number(pair.value), 0}), bulges.push_back(0);
        if (corners.empty()) continue;
        if (pair.code == 20) corners.back().y = f.Number(pair.value);
        if (pair.code == 42) bulges.back() = f.Number(pair.value);
    }
    return Outline(Bulged(corners, bulges, (f.Int(70) & 1) != 0), false);
}

ContextPart TextPart(Fields& f, std::string_view text) {
    ContextPart part;
    part.kind = ContextPart::Kind::Text;
    part.text = std::string(text);
    part.height = f.Real(40);
    part.rotation = f.Real(50) * kPi / 180;
    const int horizontal = f.Int(72), vertical = f.Int(73);
    part.at = (horizontal != 0 || vertical != 0) && f.Has(11) ? f.Point(11) : f.Point(10);
    part.horizontal = horizontal == 1 || horizontal == 4 ? 1 : horizontal == 2 ? 2 : 0;
    return part;
}

ContextPart MTextPart(Fields& f) {
    std::string raw;
    for (const DxfPair& pair : f.All())
        if (pair.code == 3) raw += pair.value;
    raw += f.Text(1);
    ContextPart part;
    part.kind = ContextPart::Kind::Text;
    part.text = PlainMText(raw);
    part.height = f.Real(40);
    part.rotation = f.Has(11) ? std::atan2(f.Real(21), f.Real(11)) : f.Real(50) * kPi / 180;
    const int attachment = std::clamp(f.Int(71, 1), 1, 9);
    part.horizontal = (attachment - 1) % 3;
    // The first line's baseline: a line's height below a top attachment,
    // half of it below a middle one.
    const double drop = part.height * (attachment <= 3 ? 1 : attachment <= 6 ? 0.5 : 0);
    const P2 at = f.Point(10);
    part.at = {at.x + drop * std::sin(part.rotation), at.y - drop * std::cos(part.rotation)};
    return part;
}

ContextPart InsertPart(Fields& f, bool dimension) {
    ContextPart part;
    part.kind = ContextPart::Kind::Insert;
    part.block = Upper(f.Text(2));
    if (dimension) {
        part.fromBase = false;
        return part;
    }
    const double rotation = f.Real(50) * kPi / 180;
    const P2 at = f.Point(10);
    part.place = Move(at).After(Rotate(rotation)).After(Scale(f.Real(41, 1), f.Real(42, 1)));
    part.columns = std::max(1, f.Int(70, 1));
    part.rows = std::max(1, f.Int(71, 1));
    part.columnStep = Rotate(rotation)({f.Real(44), 0});
    part.rowStep = Rotate(rotation)({0, f.Real(45)});
    return part;
}

// A hatch's boundary paths, read in the order they are written.
std::vector<ContextPart> HatchParts(Fields& f) {
    std::vector<ContextPart> parts;
    const auto all = f.All();
    std::size_t i = 0;
    while (i < all.size() && all[i].code != 91) ++i;
    if (i == all.size()) return parts;
    auto take = [&](int code, double fallback = 0) {
        if (i < all.size() && all[i].code == code) return f.Number(all[i++].value);
        return fallback;
    };
    auto point = [&](int code) {
        const double x = take(code), y = take(code + 10);
        return P2{x, y};
    };
    const long paths = long(take(91));
    for (long path = 0; path < paths && i < all.size() && !f.bad; ++path) {
        const int flags = Whole(take(92));
        std::vector<P2> points;
        if (flags & 2) {  // a polyline
            const bool bulged = take(72) != 0, closed = take(73) != 0;
            const long count = long(take(93));
            std::vector<P2> corners;
            std::vector<double> bulges;
            for (long k = 0; k < count && i < all.size() && all[i].code == 10; ++k) {
                corners.push_back(point(10));
                bulges.push_back(bulged ? take(42) : 0);
            }
            points = Bulged(corners, bulges, closed);
        } else {
            const long edges = long(take(93));
            for (long e = 0; e < edges && i < all.size() && all[i].code == 72; ++e) {
                const int type = Whole(take(72));
                std::vector<P2> edge;
                if (type == 1) {
                    edge = {point(10), point(11)};
                } else if (type == 2 || type == 3) {
                    const P2 centre = point(10);
                    const P2 major = type == 3 ? point(11) : P2{take(40), 0};
                    const double ratio = type == 3 ? take(40) : 1;
                    double start = take(50) * kPi / 180, end = take(51) * kPi / 180;
                    const bool ccw = take(73, 1) != 0;
                    if (!ccw) start = -start, end = -end;
                    double sweep = end - start;
                    if (ccw && sweep <= 0) sweep += 2 * kPi;
                    if (!ccw && sweep >= 0) sweep -= 2 * kPi;
                    AppendEllipse(edge, centre, major, ratio, start, start + sweep);
                } else if (type == 4) {  // a spline edge: through its control points
                    take(94), take(73), take(74);
                    const long knots = long(take(95)), controls = long(take(96));
                    for (long k = 0; k < knots && i < all.size() && all[i].code == 40; ++k) ++i;
                    for (long k = 0; k < controls && i < all.size() && all[i].code == 10; ++k) {
                        edge.push_back(point(10));
                        take(42);
                    }
                    if (i < all.size() && all[i].code == 97) {
                        const long fits = long(take(97));
                        std::vector<P2> fitted;
                        for (long k = 0; k < fits && i < all.size() && all[i].code == 11; ++k)
                            fitted.push_back(point(11));
                        if (fitted.size() >= 2) edge = std::move(fitted);
                    }
                    for (int code : {12, 13})
                        if (i < all.size() && all[i].code == code) point(code);
                } else {
                    break;  // not an edge: the path ends here
                }
                points.insert(points.end(), edge.begin(), edge.end());
            }
        }
        if (i < all.size() && all[i].code == 97) {
            const long sources = long(take(97));
            for (long k = 0; k < sources && i < all.size() && all[i].code == 330; ++k) ++i;
        }
        if (points.size() >= 2) parts.push_back(Outline(std::move(points), true));
    }
    return parts;
}

}  // namespace

bool DrawnAsContext(std::string_view type) {
    static constexpr std::string_view kTypes[] = {"INSERT",  "ATTRIB", "MTEXT", "DIMENSION",
                                                  "HATCH",   "SOLID",  "TRACE", "3DFACE",
                                                  "ELLIPSE", "SPLINE"};
    return std::find(std::begin(kTypes), std::end(kTypes), type) != std::end(kTypes);
}

std::string PlainMText(std::string_view text) {
    std::string plain;
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        if (c == '{' || c == '}') continue;
        if (c != '\\' || i + 1 == text.size()) {
            plain += c;
            continue;
        }
        const char code = text[++i];
        if (code == 'P' || code == 'X') break;  // the first line ends
        if (code == '~') {
            plain += ' ';
        } else if (code == '\\' || code == '{' || code == '}') {
            plain += code;
        } else if (code == 'U' || code == 'M') {
            plain += '\\', plain += code;  // \U+XXXX is decoded later
        } else if (code == 'S') {          // stacked: 1^2 or 1/2 shows as 1/2
            const std::size_t end = text.find(';', i);
            std::string stack(text.substr(i + 1, end == text.npos ? text.npos : end - i - 1));
            std::replace(stack.begin(), stack.end(), '^', '/');
            std::replace(stack.begin(), stack.end(), '#', '/');
            plain += stack;
            i = end == text.npos ? text.size() : end;
        } else if (std::string_view("fFHCcTQWApa").find(code) != std::string_view::npos) {
            const std::size_t end = text.find(';', i);  // a code with a value up to ';'
            i = end == text.npos ? text.size() : end;
        }
        // Anything else (\L, \l, \O, \o, \K, \k, \N …) switches a style: nothing shown.
    }
    return plain;
}

DxfContext::DxfContext() : parts_(std::make_unique<ContextParts>()) {}
DxfContext::~DxfContext() = default;
DxfContext::DxfContext(DxfContext&&) noexcept = default;
DxfContext& DxfContext::operator=(DxfContext&&) noexcept = default;

bool DxfContext::BeginBlock(std::span<const DxfPair> groups) {
    Fields f(groups);
    const std::string name = Upper(f.Text(2));
    parts_->inBlock = true;
    parts_->polyline.reset();
    // Layouts are not drawn here; model space's own entities come from ENTITIES.
    if (name.empty() || name.starts_with("*MODEL_SPACE") || name.starts_with("*PAPER_SPACE")) {
        parts_->open = nullptr;
        return false;
    }
    ContextBlock& block = parts_->blocks[name];
    block = {};
    block.base = f.Point(10);
    parts_->open = f.bad ? nullptr : &block;
    return true;
}

void DxfContext::EndBlock() {
    parts_->inBlock = false;
    parts_->open = nullptr;
    parts_->polyline.reset();
}

bool DxfContext::Add(std::string_view type, std::span<const DxfPair> groups, bool& invalid) {
    ContextParts& parts = *parts_;
    Fields f(groups);
    invalid = false;
    // A POLYLINE's vertices, then its end.
    if (type == "VERTEX" || type == "SEQEND") {
        if (!parts.polyline) return true;  // an INSERT's attributes end, or nothing
        if (type == "VERTEX" && !parts.mesh && !(f.Int(70) & 64)) {
            const P2 corner = f.Point(10);
            const double bulge = f.Real(42);
            if (!f.bad) {
                auto& points = parts.polyline->points;
                if (points.empty())
                    points.push_back(corner);
                else if (points.size() <= kMaxContextPoints)  // what one entity may hold
                    AppendBulge(points, corner, parts.bulges.back());
                parts.bulges.push_back(bulge);
            }
        }
        if (type == "SEQEND") {
            ContextPart polyline = std::move(*parts.polyline);
            parts.polyline.reset();
            if (polyline.closed && polyline.points.size() > 2) {
                const P2 first = polyline.points.front();
                AppendBulge(polyline.points, first, parts.bulges.back());
            }
            polyline.closed = false;
            Put(parts, std::move(polyline), parts.polylineMirrored);
        }
        invalid = f.bad;
        return true;
    }
    parts.polyline.reset();
    const bool mirrored = f.Real(230, 1) < 0;
    std::vector<ContextPart> made;
    bool ocs = true;
    if (type == "LINE") {
        made.push_back(Outline({f.Point(10), f.Point(11)}, false));
        ocs = false;
    } else if (type == "CIRCLE" || type == "ARC") {
        std::vector<P2> points;
        const double start = type == "ARC" ? f.Real(50) : 0;
        const double sweep = type == "ARC" ? ArcSweep(start, f.Real(51)) : 2 * kPi;
        AppendArc(points, f.Point(10), f.Real(40), start * kPi / 180, sweep, true);
        made.push_back(Outline(std::move(points), false));
    } else if (type == "LWPOLYLINE") {
        made.push_back(LightPolyline(f));
    } else if (type == "POLYLINE") {
        const int flags = f.Int(70);
        // Meshes keep their vertices to themselves.
        parts.mesh = (flags & (16 | 64)) != 0;
        ContextPart polyline;
        polyline.closed = (flags & 1) != 0;
        parts.bulges.clear();
        if (!f.bad) parts.polyline = std::move(polyline);
        parts.polylineMirrored = mirrored && !(flags & 8);  // 3D polylines are in world
        invalid = f.bad;
        return true;
    } else if (type == "TEXT" || type == "ATTRIB") {
        if (type == "ATTRIB" && (f.Int(70) & 1)) return true;  // invisible
        made.push_back(TextPart(f, f.Text(1)));
    } else if (type == "MTEXT") {
        made.push_back(MTextPart(f));
        ocs = false;
    } else if (type == "INSERT" || type == "DIMENSION") {
        made.push_back(InsertPart(f, type == "DIMENSION"));
        ocs = type == "INSERT";
    } else if (type == "HATCH") {
        made = HatchParts(f);
    } else if (type == "SOLID" || type == "TRACE" || type == "3DFACE") {
        // SOLID and TRACE run 1-2-4-3 round their outline, 3DFACE 1-2-3-4.
        const P2 p1 = f.Point(10), p2 = f.Point(11), p3 = f.Point(12);
        const P2 p4 = f.Has(13) ? f.Point(13) : p3;
        made.push_back(Outline(
            type == "3DFACE" ? std::vector{p1, p2, p3, p4} : std::vector{p1, p2, p4, p3}, true));
        ocs = type != "3DFACE";
    } else if (type == "ELLIPSE") {
        std::vector<P2> points;
        const double start = f.Real(41, 0);
        double end = f.Real(42, 2 * kPi);
        if (end <= start) end += 2 * kPi;
        AppendEllipse(points, f.Point(10), f.Point(11), f.Real(40, 1), start, end);
        made.push_back(Outline(std::move(points), false));
        ocs = false;
    } else if (type == "SPLINE") {
        std::vector<P2> control, fit;
        for (const DxfPair& pair : groups) {
            if (pair.code == 10) control.push_back({f.Number(pair.value), 0});
            if (pair.code == 20 && !control.empty()) control.back().y = f.Number(pair.value);
            if (pair.code == 11) fit.push_back({f.Number(pair.value), 0});
            if (pair.code == 21 && !fit.empty()) fit.back().y = f.Number(pair.value);
        }
        made.push_back(Outline(fit.size() >= 2 ? fit : control, (f.Int(70) & 1) != 0));
        ocs = false;
    } else if (type == "POINT" || type == "ATTDEF") {
        return true;  // a block's point marks a place; attribute definitions show in INSERTs
    } else {
        return false;
    }
    invalid = f.bad;
    if (invalid) return true;
    for (ContextPart& part : made) Put(parts, std::move(part), ocs && mirrored);
    return true;
}

namespace {

bool Finite(P2 p) { return std::isfinite(p.x) && std::isfinite(p.y); }

struct Resolver {
    const ContextParts& parts;
    const std::function<std::string(std::string_view)>& decode;
    std::vector<ContextShape> shapes = {};
    std::size_t points = 0, expansions = 0;
    bool capped = false;  // a limit was reached: nothing more is drawn
    bool cut = false;     // a block holding itself, or nested too deep, was left out
    std::vector<const ContextBlock*> open = {};  // the blocks being drawn, innermost last

    bool Room(std::size_t more) {
        if (shapes.size() < kMaxContextShapes && points + more <= kMaxContextPoints) return true;
        capped = true;
        return false;
    }

    void Bounds(ContextShape& shape, std::initializer_list<P2> extra = {}) {
        shape.minX = shape.minY = HUGE_VAL;
        shape.maxX = shape.maxY = -HUGE_VAL;
        auto add = [&](P2 p) {
            shape.minX = std::min(shape.minX, p.x), shape.maxX = std::max(shape.maxX, p.x);
            shape.minY = std::min(shape.minY, p.y), shape.maxY = std::max(shape.maxY, p.y);
        };
        for (P2 p : shape.outline) add(p);
        for (P2 p : extra) add(p);
    }

    void Draw(const std::vector<ContextPart>& list, const Affine& m) {
        for (const ContextPart& part : list) {
            if (capped) return;
            switch (part.kind) {
                case ContextPart::Kind::Outline: {
                    if (part.points.size() < 2 || !Room(part.points.size())) break;
                    ContextShape shape;
                    shape.outline.reserve(part.points.size());
                    for (P2 p : part.points) shape.outline.push_back(m(p));
                    // Scales multiplied down nested blocks may leave the numbers.
                    if (!std::all_of(shape.outline.begin(), shape.outline.end(), Finite)) {
                        cut = true;
                        break;
                    }
                    shape.closed = part.closed;
                    points += shape.outline.size();
                    Bounds(shape);
                    shapes.push_back(std::move(shape));
                    break;
                }
                case ContextPart::Kind::Text: {
                    if (part.text.empty() || !Room(1)) break;
                    ContextShape shape;
                    shape.text = decode(part.text);
                    shape.at = m(part.at);
                    const P2 along = m.Turn({std::cos(part.rotation), std::sin(part.rotation)});
                    const P2 up = m.Turn({-std::sin(part.rotation), std::cos(part.rotation)});
                    shape.rotation = std::atan2(along.y, along.x);
                    shape.height = part.height * std::hypot(up.x, up.y);
                    shape.horizontal = part.horizontal;
                    if (!Finite(shape.at) || !std::isfinite(shape.height) ||
                        !std::isfinite(shape.rotation)) {
                        cut = true;
                        break;
                    }
                    // A text reaches about its height times its length.
                    const double reach =
                        shape.height * double(std::max<std::size_t>(shape.text.size(), 1));
                    Bounds(shape, {{shape.at.x - reach, shape.at.y - reach},
                                   {shape.at.x + reach, shape.at.y + reach}});
                    shapes.push_back(std::move(shape));
                    break;
                }
                case ContextPart::Kind::Insert: {
                    const auto found = parts.blocks.find(part.block);
                    if (found == parts.blocks.end()) break;
                    const ContextBlock* block = &found->second;
                    // A block that holds itself, or nesting past the limit, is cut off.
                    if (open.size() >= kMaxBlockDepth ||
                        std::find(open.begin(), open.end(), block) != open.end()) {
                        cut = true;
                        break;
                    }
                    open.push_back(block);
                    const Affine base =
                        part.fromBase ? Move({-block->base.x, -block->base.y}) : Affine{};
                    for (int row = 0; row < part.rows && !capped; ++row) {
                        for (int column = 0; column < part.columns && !capped; ++column) {
                            // Empty blocks in a vast grid draw nothing, but take time.
                            if (++expansions > kMaxContextShapes) capped = true;
                            const P2 offset{part.columnStep.x * column + part.rowStep.x * row,
                                            part.columnStep.y * column + part.rowStep.y * row};
                            Draw(block->parts, m.After(Move(offset)).After(part.place).After(base));
                        }
                    }
                    open.pop_back();
                    break;
                }
            }
        }
    }
};

}  // namespace

std::vector<ContextShape> DxfContext::Resolve(
    const std::function<std::string(std::string_view)>& decode, bool& capped) const {
    Resolver resolver{*parts_, decode};
    resolver.Draw(parts_->model, Affine{});
    capped = resolver.capped || resolver.cut || parts_->full;
    return std::move(resolver.shapes);
}

}  // namespace velmora::standins
