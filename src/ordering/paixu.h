// Module paixu: the numbering orders of picked piles and the removal of
// duplicate piles.
#pragma once

#include <array>
#include <vector>

namespace velmora {

// Picked piles, one row a pile: [0] north (Y), [1] east (X), [2] zero.
using PickTable = std::vector<std::array<double, 3>>;

namespace paixu {

// Each order rearranges the table in place. A table of more than 32768 piles
// fails with kOverflow before anything moves; an empty table is left as is.
void SortTopToBottomLeftToRight(PickTable& piles);
void SortBottomToTopLeftToRight(PickTable& piles);
void SortRightToLeftTopToBottom(PickTable& piles);
void SortRightToLeftBottomToTop(PickTable& piles);

// The piles in their order with later repeats of the same north and east
// left out; slot 2 is always 0 and the input is unchanged. A table of 32768
// piles or more fails with kOverflow.
PickTable RemoveDuplicatePiles(const PickTable& piles);

}  // namespace paixu
}  // namespace velmora
