#include "ordering/paixu.h"
namespace velmora::paixu {
void SortTopToBottomLeftToRight(PickTable&) {}
void SortBottomToTopLeftToRight(PickTable&) {}
void SortRightToLeftTopToBottom(PickTable&) {}
void SortRightToLeftBottomToTop(PickTable&) {}
PickTable RemoveDuplicatePiles(const PickTable& piles) { return piles; }
}  // namespace velmora::paixu
