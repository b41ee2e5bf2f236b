// A hatch's boundary: its paths one after another, each a polyline (corners
// and bulges) or a chain of edges (lines, arcs, elliptic arcs, splines).
#include <numbers>

#include "standins/drawing/dxf/dxf_context.h"
#include "standins/drawing/dxf/dxf_context_parts.h"

namespace velmora::standins {

namespace {

constexpr double kPi = std::numbers::pi;

// The hatch's groups in the order they are written: a group is read when
// it is the one expected next.
class HatchReader {
  public:
    explicit HatchReader(DxfFields& f) : f_(f), all_(f.All()) {}

    bool More() const { return i_ < all_.size() && !f_.Bad(); }
    bool At(int code) const { return i_ < all_.size() && all_[i_].code == code; }
    void Skip() { ++i_; }
    void SkipTo(int code) {
        while (i_ < all_.size() && all_[i_].code != code) ++i_;
    }
    double Real(int code, double fallback = 0) { return At(code) ? f_.Real(all_[i_++]) : fallback; }
    int Integer(int code, int fallback = 0) { return At(code) ? f_.Integer(all_[i_++]) : fallback; }
    P2 Point(int code) {
        const double x = Real(code), y = Real(code + 10);
        return {x, y};
    }

  private:
    DxfFields& f_;
    std::span<const DxfGroup> all_;
    std::size_t i_ = 0;
};

std::vector<P2> PolylinePath(HatchReader& r) {
    const bool bulged = r.Integer(72) != 0, closed = r.Integer(73) != 0;
    const int count = r.Integer(93);
    std::vector<P2> corners;
    std::vector<double> bulges;
    for (int k = 0; k < count && r.At(10); ++k) {
        corners.push_back(r.Point(10));
        bulges.push_back(bulged ? r.Real(42) : 0);
    }
    return Bulged(corners, bulges, closed);
}

// A circular arc (centre, radius) or an elliptic one (centre, major axis,
// ratio), from its start angle to its end, clockwise when flagged so.
std::vector<P2> ArcEdge(HatchReader& r, bool elliptic) {
    const P2 centre = r.Point(10);
    const P2 major = elliptic ? r.Point(11) : P2{r.Real(40), 0};
    const double ratio = elliptic ? r.Real(40) : 1;
    double start = r.Real(50) * kPi / 180, end = r.Real(51) * kPi / 180;
    const bool ccw = r.Integer(73, 1) != 0;
    if (!ccw) start = -start, end = -end;
    double sweep = end - start;
    if (ccw && sweep <= 0) sweep += 2 * kPi;
    if (!ccw && sweep >= 0) sweep -= 2 * kPi;
    std::vector<P2> edge;
    AppendEllipse(edge, centre, major, ratio, start, start + sweep);
    return edge;
}

// Through its fit points when it has two or more, else its control points.
std::vector<P2> SplineEdge(HatchReader& r) {
    r.Integer(94), r.Integer(73), r.Integer(74);  // degree, rational, periodic
    const int knots = r.Integer(95), controls = r.Integer(96);
    for (int k = 0; k < knots && r.At(40); ++k) r.Skip();
    std::vector<P2> edge;
    for (int k = 0; k < controls && r.At(10); ++k) {
        edge.push_back(r.Point(10));
        r.Real(42);  // weight
    }
    if (r.At(97)) {
        const int fits = r.Integer(97);
        std::vector<P2> fitted;
        for (int k = 0; k < fits && r.At(11); ++k) fitted.push_back(r.Point(11));
        if (fitted.size() >= 2) edge = std::move(fitted);
    }
    for (int code : {12, 13})  // tangents
        if (r.At(code)) r.Point(code);
    return edge;
}

// One edge; false when the group is no edge type.
bool Edge(HatchReader& r, std::vector<P2>& edge) {
    const int type = r.Integer(72);
    if (type == 1)
        edge = {r.Point(10), r.Point(11)};
    else if (type == 2 || type == 3)
        edge = ArcEdge(r, type == 3);
    else if (type == 4)
        edge = SplineEdge(r);
    else
        return false;
    return true;
}

std::vector<P2> EdgePath(HatchReader& r) {
    std::vector<P2> points;
    const int edges = r.Integer(93);
    for (int e = 0; e < edges && r.At(72); ++e) {
        std::vector<P2> edge;
        if (!Edge(r, edge)) break;  // not an edge: the path ends here
        points.insert(points.end(), edge.begin(), edge.end());
    }
    return points;
}

}  // namespace

std::vector<ContextPart> HatchParts(DxfFields& f) {
    std::vector<ContextPart> parts;
    HatchReader r(f);
    r.SkipTo(91);
    if (!r.At(91)) return parts;
    const int paths = r.Integer(91);
    for (int path = 0; path < paths && r.More(); ++path) {
        const int flags = r.Integer(92);
        std::vector<P2> points = (flags & 2) ? PolylinePath(r) : EdgePath(r);
        if (r.At(97)) {  // the objects the path was made from
            const int sources = r.Integer(97);
            for (int k = 0; k < sources && r.At(330); ++k) r.Skip();
        }
        if (points.size() >= 2) parts.push_back(Outline(std::move(points), true));
    }
    return parts;
}

}  // namespace velmora::standins
