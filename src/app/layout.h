// The window's geometry and keyboard order, worked out from kControls for
// both views: pixel rectangles at a DPI, the tab sequence, and which frames
// must stack above which. Plain functions, so they are tested without any
// window.
#pragma once

#include <vector>

#include "window/control_values.h"

namespace velmora {

struct PixelRect {
    int left = 0;
    int top = 0;
    int width = 0;
    int height = 0;
    friend bool operator==(const PixelRect&, const PixelRect&) = default;
};

// Twips to pixels at dpi, rounded to the nearest pixel.
int TwipsToPixels(int twips, int dpi);

// kControls[position] in pixels, relative to its container's top-left
// corner, at a horizontal and a vertical DPI. Both edges are rounded, so
// neighbours meet without gaps.
PixelRect ControlRect(int position, int dpiX, int dpiY);
inline PixelRect ControlRect(int position, int dpi) { return ControlRect(position, dpi, dpi); }

// The client area's size in pixels.
PixelRect ClientRect(int dpiX, int dpiY);
inline PixelRect ClientRect(int dpi) { return ClientRect(dpi, dpi); }

// Positions of the controls that take the focus, in rising tab index.
std::vector<int> TabSequence();

// The control the Tab key moves to from `current` (a position, or -1 for
// none): the next in the tab sequence, or the previous when backwards,
// wrapping round. An option button is a stop only when it is the selected
// one of its group, or its group has none selected. Returns -1 when no
// control can take the focus.
int NextTabStop(const ControlValues& values, int current, bool backwards);

// Whether frame `inner` lies inside sibling frame `outer`'s rectangle and
// so must stack above it to get the mouse over its own controls.
bool StacksAbove(int inner, int outer);

// The option button the arrow keys move to from option button `position`:
// the next (or previous) one of its own container, in table order, wrapping
// round. -1 for anything else.
int NextInOptionGroup(int position, bool backwards);

}  // namespace velmora
