// Shell item id lists as bytes: each item starts with its 16-bit little-endian size (the two
// size bytes included), and a zero size ends the list; the desktop is the empty list. These
// routines read and build such lists without the shell, so the shell model's Win32 half only
// moves the bytes into the shell allocator's memory.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

using TItemIdBytes = std::vector<uint8_t>;

// The size field of the item at p.
uint16_t ItemIdSize(const uint8_t* p);
// The item after p. A size below 2 cannot be an item: it is read as the list's end, so a
// damaged list never sends a walk backwards or round in circles.
const uint8_t* NextItemId(const uint8_t* p);
// Number of items; 0 for nullptr and for the empty list.
int ItemIdCount(const uint8_t* p);
// Bytes of all items plus the two of the terminator; 0 for nullptr.
size_t ItemIdListSize(const uint8_t* p);
// Ends the list before its last item (nothing for nullptr or the empty list).
void StripLastItemId(uint8_t* p);

// The whole list as bytes, terminator included; an empty list for nullptr.
TItemIdBytes ItemIdListBytes(const uint8_t* p);
// a's items, then b's; either may be nullptr.
TItemIdBytes ConcatItemIdBytes(const uint8_t* a, const uint8_t* b);
// The last item alone, as a relative list; the empty list when there is none.
TItemIdBytes LastItemIdBytes(const uint8_t* p);
// Every ancestor of the item p names, root (the empty list: the desktop) first, the item itself
// not included: for A/B/C the lists (empty), A, A/B. None for the empty list.
std::vector<TItemIdBytes> AncestorIdByteLists(const uint8_t* p);
