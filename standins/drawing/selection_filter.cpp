#include "standins/drawing/selection_filter.h"

#include <cstddef>

#include "automation/failure.h"
#include "automation/object.h"
#include "automation/status.h"

namespace velmora::standins {

namespace {

enum class Group { And, Or, Not };

bool IsOpen(const FilterItem& item, Group& group) {
    if (item.code != -4) return false;
    if (SameMember(item.value, "<and"))
        group = Group::And;
    else if (SameMember(item.value, "<or"))
        group = Group::Or;
    else if (SameMember(item.value, "<not"))
        group = Group::Not;
    else
        return false;
    return true;
}

bool IsClose(const FilterItem& item) {
    return item.code == -4 && (SameMember(item.value, "and>") || SameMember(item.value, "or>") ||
                               SameMember(item.value, "not>"));
}

// A name group of the entity: its type, its layer or its block's name
// (nothing but a block reference has one).
bool NameMatches(const FilterItem& item, const Entity& entity) {
    // An item built in code, not read by ReadSelectionFilter, is read here.
    if (item.pattern.alternatives.empty()) {
        return NameMatches({item.code, item.value, ReadWildcard(item.value)}, entity);
    }
    const WildcardPattern& pattern = item.pattern;
    switch (item.code) {
        case 0:
            return WildcardMatches(pattern, TypeName(entity.kind));
        case 8:
            return WildcardMatches(pattern, entity.layer);
        case 2:
            return entity.kind == EntityKind::BlockReference &&
                   WildcardMatches(pattern, entity.blockName);
        default:
            return false;
    }
}

// Evaluates the terms from `at` up to the closing item of the enclosing
// group (or the end); leaves `at` on that closing item.
bool Evaluate(const SelectionFilter& filter, std::size_t& at, Group group, const Entity& entity);

bool Term(const SelectionFilter& filter, std::size_t& at, const Entity& entity) {
    const FilterItem& item = filter[at];
    Group inner;
    if (IsOpen(item, inner)) {
        ++at;
        const bool result = Evaluate(filter, at, inner, entity);
        ++at;  // the closing item
        return result;
    }
    ++at;
    return NameMatches(item, entity);
}

bool Evaluate(const SelectionFilter& filter, std::size_t& at, Group group, const Entity& entity) {
    bool any = false, all = true;
    while (at < filter.size() && !IsClose(filter[at])) {
        const bool term = Term(filter, at, entity);
        any = any || term;
        all = all && term;
    }
    switch (group) {
        case Group::Or:
            return any;
        case Group::Not:
            return !all;
        case Group::And:
            break;
    }
    return all;
}

void CheckBalanced(const SelectionFilter& filter) {
    std::vector<Group> open;
    for (const FilterItem& item : filter) {
        Group group;
        if (IsOpen(item, group)) {
            open.push_back(group);
        } else if (IsClose(item)) {
            const Group expected = SameMember(item.value, "and>")  ? Group::And
                                   : SameMember(item.value, "or>") ? Group::Or
                                                                   : Group::Not;
            if (open.empty() || open.back() != expected) Fail(status::kInvalidArg, "bad filter");
            open.pop_back();
        } else if (item.code != 0 && item.code != 2 && item.code != 8) {
            Fail(status::kInvalidArg, "unsupported filter code " + std::to_string(item.code));
        }
    }
    if (!open.empty()) Fail(status::kInvalidArg, "unbalanced filter");
}

}  // namespace

SelectionFilter ReadSelectionFilter(const Variant& codes, const Variant& values) {
    const Int16Array& codeArray = codes.AsInt16Array();
    const VariantArray& valueArray = values.AsVariantArray();
    if (codeArray.size() != valueArray.size()) Fail(status::kInvalidArg, "filter sizes differ");
    SelectionFilter filter;
    for (std::size_t i = 0; i < codeArray.size(); ++i) {
        const std::string& value = valueArray[i].AsText();
        filter.push_back({codeArray[i], value, ReadWildcard(value)});
    }
    CheckBalanced(filter);
    return filter;
}

bool Admits(const SelectionFilter& filter, const Entity& entity) {
    std::size_t at = 0;
    return Evaluate(filter, at, Group::And, entity);
}

}  // namespace velmora::standins
