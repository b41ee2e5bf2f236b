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

bool TypeMatches(std::string_view list, std::string_view type) {
    std::size_t start = 0;
    while (start <= list.size()) {
        std::size_t end = list.find(',', start);
        if (end == std::string_view::npos) end = list.size();
        std::string_view name = list.substr(start, end - start);
        while (!name.empty() && name.front() == ' ') name.remove_prefix(1);
        while (!name.empty() && name.back() == ' ') name.remove_suffix(1);
        if (name == "*" || SameMember(name, type)) return true;
        start = end + 1;
    }
    return false;
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
    return TypeMatches(item.value, TypeName(entity.kind));
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
        } else if (item.code != 0) {
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
        filter.push_back({codeArray[i], valueArray[i].AsText()});
    }
    CheckBalanced(filter);
    return filter;
}

bool Admits(const SelectionFilter& filter, const Entity& entity) {
    std::size_t at = 0;
    return Evaluate(filter, at, Group::And, entity);
}

}  // namespace velmora::standins
