#include "numbering/pass_filter.h"

#include "automation/failure.h"
#include "window/control_values.h"

namespace velmora {

namespace {

constexpr std::string_view kWildcards = "#@.*?~[],`";

std::string_view TypeOf(SampleKind kind) {
    switch (kind) {
        case SampleKind::Point:
            return "POINT";
        case SampleKind::Circle:
            return "CIRCLE";
        case SampleKind::Block:
            return "INSERT";
    }
    return {};
}

}  // namespace

std::string EscapeWildcards(std::string_view name) {
    std::string escaped;
    for (char c : name) {
        if (kWildcards.find(c) != std::string_view::npos) escaped += '`';
        escaped += c;
    }
    return escaped;
}

PassFilter PassFilterOf(const WindowState& state) {
    if (!state.pileSample) {
        const bool points = PileKind(state.controls) == PileType::Point;
        return {{-4, 0, -4}, {"<or", points ? "POINT" : "CIRCLE", "or>"}};
    }
    const PileSample& sample = *state.pileSample;
    PassFilter filter{{-4, 0, 8}, {"<and", TypeOf(sample.kind), EscapeWildcards(sample.layer)}};
    if (sample.kind == SampleKind::Block) {
        filter.codes.push_back(2);
        filter.values.emplace_back("`*U*," + EscapeWildcards(sample.blockName));
    }
    filter.codes.push_back(-4);
    filter.values.emplace_back("and>");
    return filter;
}

std::string_view PositionMember(const WindowState& state) {
    if (!state.pileSample) {
        return PileKind(state.controls) == PileType::Point ? "Coordinates" : "Center";
    }
    switch (state.pileSample->kind) {
        case SampleKind::Point:
            return "Coordinates";
        case SampleKind::Circle:
            return "Center";
        case SampleKind::Block:
            return "InsertionPoint";
    }
    return {};
}

std::string SeenBlockName(const Object& reference) {
    try {
        return Get(reference, "EffectiveName").AsText();
    } catch (const Failure&) {
        // A program without dynamic blocks has no EffectiveName.
        return Get(reference, "Name").AsText();
    }
}

bool IsSamplePile(const Object& entity, const PileSample& sample) {
    if (sample.kind != SampleKind::Block) return true;
    // Block names compare as AutoCAD compares them: ASCII case-insensitive.
    return SameMember(SeenBlockName(entity), sample.blockName);
}

}  // namespace velmora
