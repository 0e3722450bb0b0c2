#include "skin/controls/skShellIdLists.h"

#include <cstring>

uint16_t ItemIdSize(const uint8_t* p) { return static_cast<uint16_t>(p[0] | (p[1] << 8)); }

const uint8_t* NextItemId(const uint8_t* p) {
  uint16_t size = ItemIdSize(p);
  return size < 2 ? p : p + size;
}

int ItemIdCount(const uint8_t* p) {
  if (!p) return 0;
  int count = 0;
  while (ItemIdSize(p) >= 2) {
    ++count;
    p = NextItemId(p);
  }
  return count;
}

size_t ItemIdListSize(const uint8_t* p) {
  if (!p) return 0;
  size_t size = 2;
  while (ItemIdSize(p) >= 2) {
    size += ItemIdSize(p);
    p = NextItemId(p);
  }
  return size;
}

void StripLastItemId(uint8_t* p) {
  if (!p || ItemIdSize(p) < 2) return;
  uint8_t* last = p;
  while (ItemIdSize(NextItemId(last)) >= 2) last = const_cast<uint8_t*>(NextItemId(last));
  last[0] = last[1] = 0;
}

TItemIdBytes ItemIdListBytes(const uint8_t* p) {
  if (!p) return TItemIdBytes(2, 0);
  return TItemIdBytes(p, p + ItemIdListSize(p));
}

TItemIdBytes ConcatItemIdBytes(const uint8_t* a, const uint8_t* b) {
  size_t sizeA = a ? ItemIdListSize(a) - 2 : 0;
  size_t sizeB = b ? ItemIdListSize(b) : 2;
  TItemIdBytes result(sizeA + sizeB, 0);
  if (sizeA) std::memcpy(result.data(), a, sizeA);
  if (b) std::memcpy(result.data() + sizeA, b, sizeB);
  return result;
}

TItemIdBytes LastItemIdBytes(const uint8_t* p) {
  if (!p || ItemIdSize(p) < 2) return TItemIdBytes(2, 0);
  const uint8_t* last = p;
  while (ItemIdSize(NextItemId(last)) >= 2) last = NextItemId(last);
  TItemIdBytes result(last, last + ItemIdSize(last));
  result.push_back(0);
  result.push_back(0);
  return result;
}

std::vector<TItemIdBytes> AncestorIdByteLists(const uint8_t* p) {
  std::vector<TItemIdBytes> result;
  TItemIdBytes current = ItemIdListBytes(p);
  while (ItemIdSize(current.data()) >= 2) {
    StripLastItemId(current.data());
    current.resize(ItemIdListSize(current.data()));
    result.insert(result.begin(), current);
  }
  return result;
}
