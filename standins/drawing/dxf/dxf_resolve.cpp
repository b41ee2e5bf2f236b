// Resolving the collected context: model space's parts, and the blocks
// they reference (nested, in grids), placed in world coordinates.
#include <algorithm>
#include <cmath>

#include "standins/drawing/dxf/dxf_context.h"
#include "standins/drawing/dxf/dxf_context_parts.h"

namespace velmora::standins {

namespace {

bool Finite(P2 p) { return std::isfinite(p.x) && std::isfinite(p.y); }

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

struct Resolver {
    const ContextParts& parts;
    const std::function<std::string(std::string_view)>& decode;
    std::vector<ContextShape> shapes = {};
    std::size_t points = 0, expansions = 0;
    bool capped = false;  // a limit was reached: nothing more is drawn
    bool cut = false;     // a block holding itself, or nested too deep, was left out
    std::vector<const ContextBlock*> open = {};  // the blocks being drawn, innermost last
    EntityId owner = 0;                          // of the model-space part being drawn

    void DrawModel() {
        for (const ContextPart& part : parts.model) {
            if (capped) return;
            owner = part.owner;
            DrawPart(part, Affine{});
        }
    }

    bool Room(std::size_t more) {
        if (shapes.size() < kMaxContextShapes && points + more <= kMaxContextPoints) return true;
        capped = true;
        return false;
    }

    void Draw(const std::vector<ContextPart>& list, const Affine& m) {
        for (const ContextPart& part : list) {
            if (capped) return;
            DrawPart(part, m);
        }
    }

    void DrawPart(const ContextPart& part, const Affine& m) {
        switch (part.kind) {
            case ContextPart::Kind::Outline:
                DrawOutline(part, m);
                break;
            case ContextPart::Kind::Text:
                DrawText(part, m);
                break;
            case ContextPart::Kind::Insert:
                DrawInsert(part, m);
                break;
        }
    }

    void DrawOutline(const ContextPart& part, const Affine& m) {
        if (part.points.size() < 2 || !Room(part.points.size())) return;
        ContextShape shape;
        shape.outline.reserve(part.points.size());
        for (P2 p : part.points) shape.outline.push_back(m(p));
        // Scales multiplied down nested blocks may leave the numbers.
        if (!std::all_of(shape.outline.begin(), shape.outline.end(), Finite)) {
            cut = true;
            return;
        }
        shape.closed = part.closed;
        shape.owner = owner;
        points += shape.outline.size();
        Bounds(shape);
        shapes.push_back(std::move(shape));
    }

    void DrawText(const ContextPart& part, const Affine& m) {
        if (part.text.empty() || !Room(1)) return;
        ContextShape shape;
        shape.text = decode(part.text);
        shape.at = m(part.at);
        const P2 along = m.Turn({std::cos(part.rotation), std::sin(part.rotation)});
        const P2 up = m.Turn({-std::sin(part.rotation), std::cos(part.rotation)});
        shape.rotation = std::atan2(along.y, along.x);
        shape.height = part.height * std::hypot(up.x, up.y);
        shape.horizontal = part.horizontal;
        shape.owner = owner;
        if (!Finite(shape.at) || !std::isfinite(shape.height) || !std::isfinite(shape.rotation)) {
            cut = true;
            return;
        }
        // A text reaches about its height times its length.
        const double reach = shape.height * double(std::max<std::size_t>(shape.text.size(), 1));
        Bounds(shape, {{shape.at.x - reach, shape.at.y - reach},
                       {shape.at.x + reach, shape.at.y + reach}});
        shapes.push_back(std::move(shape));
    }

    void DrawInsert(const ContextPart& part, const Affine& m) {
        const auto found = parts.blocks.find(part.block);
        if (found == parts.blocks.end()) return;
        const ContextBlock* block = &found->second;
        // A block that holds itself, or nesting past the limit, is cut off.
        if (open.size() >= kMaxBlockDepth ||
            std::find(open.begin(), open.end(), block) != open.end()) {
            cut = true;
            return;
        }
        open.push_back(block);
        const Affine base = part.fromBase ? Move({-block->base.x, -block->base.y}) : Affine{};
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
    }
};

}  // namespace

std::vector<ContextShape> DxfContext::Resolve(
    const std::function<std::string(std::string_view)>& decode, bool& capped) const {
    Resolver resolver{*parts_, decode};
    resolver.DrawModel();
    capped = resolver.capped || resolver.cut || parts_->full;
    return std::move(resolver.shapes);
}

}  // namespace velmora::standins
