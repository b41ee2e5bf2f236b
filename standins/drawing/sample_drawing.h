// The drawing the interactive stand-in AutoCAD opens with: rows of point
// piles and of circle piles on a survey grid, some rows slightly uneven and
// a few piles drawn twice at one position, with a site boundary, grid axes
// and a curve drawn around them.
#pragma once

#include "standins/drawing/drawing.h"

namespace velmora::standins {

Drawing SamplePileDrawing();

}  // namespace velmora::standins
