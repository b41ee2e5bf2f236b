#include "app/layout.h"

#include <algorithm>
#include <cmath>

namespace velmora {

int TwipsToPixels(int twips, int dpi) {
    return static_cast<int>(std::lround(static_cast<double>(twips) * dpi / kTwipsPerInch));
}

PixelRect ControlRect(int position, int dpiX, int dpiY) {
    const ControlSpec& entry = kControls.at(position);
    const int left = TwipsToPixels(entry.left, dpiX);
    const int top = TwipsToPixels(entry.top, dpiY);
    return {left, top, TwipsToPixels(entry.left + entry.width, dpiX) - left,
            TwipsToPixels(entry.top + entry.height, dpiY) - top};
}

PixelRect ClientRect(int dpiX, int dpiY) {
    return {0, 0, TwipsToPixels(kClientWidthTwips, dpiX), TwipsToPixels(kClientHeightTwips, dpiY)};
}

std::vector<int> TabSequence() {
    std::vector<int> order;
    for (int i = 0; i < kControlCount; ++i) {
        if (TakesFocus(kControls[i].kind)) order.push_back(i);
    }
    std::stable_sort(order.begin(), order.end(),
                     [](int a, int b) { return kControls[a].tabIndex < kControls[b].tabIndex; });
    return order;
}

namespace {

bool IsTabStop(const ControlValues& values, int position) {
    const ControlSpec& entry = kControls[position];
    if (entry.kind != ControlKind::OptionButton) return true;
    if (values.selected[position]) return true;
    for (int i = 0; i < kControlCount; ++i) {
        if (kControls[i].kind == ControlKind::OptionButton &&
            kControls[i].container == entry.container && values.selected[i]) {
            return false;
        }
    }
    // No button of the group is selected: its first one takes the stop.
    for (int i = 0; i < kControlCount; ++i) {
        if (kControls[i].kind == ControlKind::OptionButton &&
            kControls[i].container == entry.container) {
            return i == position;
        }
    }
    return false;
}

}  // namespace

int NextTabStop(const ControlValues& values, int current, bool backwards) {
    const std::vector<int> order = TabSequence();
    const int count = static_cast<int>(order.size());
    if (count == 0) return -1;
    const auto found = std::find(order.begin(), order.end(), current);
    int at = found == order.end() ? (backwards ? 0 : -1) : static_cast<int>(found - order.begin());
    for (int step = 0; step < count; ++step) {
        at = backwards ? (at - 1 + count) % count : (at + 1) % count;
        if (IsTabStop(values, order[at])) return order[at];
    }
    return -1;
}

bool StacksAbove(int inner, int outer) {
    const ControlSpec& a = kControls.at(inner);
    const ControlSpec& b = kControls.at(outer);
    if (inner == outer || a.kind != ControlKind::Frame || b.kind != ControlKind::Frame)
        return false;
    if (a.container != b.container) return false;
    return a.left >= b.left && a.top >= b.top && a.left + a.width <= b.left + b.width &&
           a.top + a.height <= b.top + b.height;
}

int NextInOptionGroup(int position, bool backwards) {
    if (position < 0 || position >= kControlCount) return -1;
    const ControlSpec& entry = kControls[position];
    if (entry.kind != ControlKind::OptionButton) return -1;
    std::vector<int> group;
    for (int i = 0; i < kControlCount; ++i) {
        if (kControls[i].kind == ControlKind::OptionButton &&
            kControls[i].container == entry.container) {
            group.push_back(i);
        }
    }
    const int count = static_cast<int>(group.size());
    const int at =
        static_cast<int>(std::find(group.begin(), group.end(), position) - group.begin());
    return group[(at + (backwards ? count - 1 : 1)) % count];
}

}  // namespace velmora
