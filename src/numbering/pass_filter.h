// What a pick pass of the Number command takes: the selection filter, the
// member that gives a pile's position, and, with a block sample, which
// block references are piles. Without a sample, points or circles by the
// window's 点/圆; with one, the sample's kind on the sample's layer.
#pragma once

#include <string>
#include <string_view>

#include "automation/object.h"
#include "window/window_state.h"

namespace velmora {

struct PassFilter {
    Int16Array codes;
    VariantArray values;
};

// Without a sample: -4 "<or", 0 POINT or CIRCLE, -4 "or>". With one:
// -4 "<and", 0 its type, 8 its layer, for a block 2 "`*U*,NAME" (the
// anonymous references a dynamic block is shown through, and the block by
// name), -4 "and>"; the names with their wild-card characters escaped.
PassFilter PassFilterOf(const WindowState& state);

// AutoCAD's wild-card characters (# @ . * ? ~ [ ] , and the backquote
// itself) preceded by a backquote, so that a name matches only itself.
std::string EscapeWildcards(std::string_view name);

// "Coordinates", "Center" or "InsertionPoint".
std::string_view PositionMember(const WindowState& state);

// Whether an entity the sample's filter let through is a pile: with a block
// sample, only the references whose block is the sample's as the user sees
// it (EffectiveName, or Name where the program lacks it, in any case); with
// a point or circle sample, every one.
bool IsSamplePile(const Object& entity, const PileSample& sample);

// The block's name as the user sees it: EffectiveName, else Name.
std::string SeenBlockName(const Object& reference);

}  // namespace velmora
