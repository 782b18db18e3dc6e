// rfsim's list sort: a stable merge sort of a list's element numbers that
// stays memory-safe whatever the caller's comparator answers, and the cache
// hints it shares with the list walk.
#ifndef TARVEK_RFSIM_LIST_SORT_H_
#define TARVEK_RFSIM_LIST_SORT_H_

#include <stddef.h>
#include <stdint.h>

#include "rfsim/checked_store.h"
#include "server/rfax_api.h"
#include "server/user_list_element.h"

namespace rfsim {

// Asks the cache for the bytes of an element that comparators and the
// listing read (the IDs near its start, the group at its end); a hint only,
// it reads nothing.
inline void prefetchElement(const unsigned char* element) {
#if defined(__GNUC__)
  __builtin_prefetch(element);
  __builtin_prefetch(element + tarvek::kElementSize - 1);
#else
  (void)element;
#endif
}

// The element with the number `number` in a list's element block.
template <typename Byte>
inline Byte* elementAt(Byte* elements, uint32_t number) {
  return elements + static_cast<size_t>(number) * tarvek::kElementSize;
}

// How many element numbers ahead the merge and the walk prefetch: far
// enough to hide a cache miss behind the comparisons in between.
constexpr size_t kPrefetchDistance = 8;

/// A comparison of two elements, as the list sort calls it.
typedef int (*ElementCompare)(const void* a, const void* b);

/// Sorts `order`, numbers of elements in the block `elements`, by
/// `compare` over the elements they name; equal elements keep their order.
/// False, with the order as it was, when the scratch memory can't be had.
bool stableSort(const unsigned char* elements, CheckedArray<uint32_t>* order,
                ElementCompare compare);

}  // namespace rfsim

#endif  // TARVEK_RFSIM_LIST_SORT_H_
