#include "rfsim/list_sort.h"

#include <string.h>

#include <utility>

#include "util/ident.h"

TARVEK_IDENT("@(#)list_sort.cc 1.4 2026/12/09")

namespace rfsim {

namespace {

// Merges the neighbouring runs of `width` element numbers in [begin, end) of
// `from` into `to`. Once runs outgrow the cache every comparison would wait
// for two elements from memory, so the merge prefetches the elements a few
// places ahead in both runs.
void mergeRuns(const unsigned char* elements, ElementCompare compare,
               const uint32_t* from, uint32_t* to, size_t begin, size_t end,
               size_t width) {
  for (size_t low = begin; low < end; low += 2 * width) {
    size_t middle = end - low > width ? low + width : end;
    size_t high = end - middle > width ? middle + width : end;
    size_t i = low, j = middle, k = low;
    while (i < middle && j < high) {
      if (i + kPrefetchDistance < middle)
        prefetchElement(elementAt(elements, from[i + kPrefetchDistance]));
      if (j + kPrefetchDistance < high)
        prefetchElement(elementAt(elements, from[j + kPrefetchDistance]));
      to[k++] = compare(elementAt(elements, from[j]),
                        elementAt(elements, from[i])) < 0
                    ? from[j++]
                    : from[i++];
    }
    while (i < middle) to[k++] = from[i++];
    while (j < high) to[k++] = from[j++];
  }
}

// The bookkeeping of the tournament below: the next and end of each run and
// the tree of winners.
struct Tournament {
  size_t leaves = 1;
  CheckedArray<size_t> next, end, tree;

  // Room for the runs of `width` numbers among n; false when it can't be had.
  bool prepare(size_t n, size_t width) {
    const size_t runs = (n + width - 1) / width;
    while (leaves < runs) leaves *= 2;
    return next.resize(leaves) && end.resize(leaves) && tree.resize(2 * leaves);
  }
};

// Merges the sorted runs of `width` element numbers in `from` (n numbers)
// into `to` in one pass, through a tournament over the runs' heads: each
// element is fetched from memory once, where pairwise passes would fetch it
// once per pass. Ties go to the earlier run, so the merge is stable; a run
// that is used up never wins, so whatever the comparator answers, exactly
// the n numbers are written. `tournament` is prepared for n and
// `width`.
void mergeAllRuns(const unsigned char* elements, ElementCompare compare,
                  const uint32_t* from, uint32_t* to, size_t n, size_t width,
                  Tournament* tournament) {
  const size_t runs = (n + width - 1) / width;
  const size_t leaves = tournament->leaves;
  CheckedArray<size_t>& next = tournament->next;
  CheckedArray<size_t>& end = tournament->end;
  CheckedArray<size_t>& tree = tournament->tree;
  for (size_t r = 0; r < leaves; ++r) {
    next[r] = 0;
    end[r] = 0;
  }
  for (size_t r = 0; r < runs; ++r) {
    next[r] = r * width;
    end[r] = n - next[r] > width ? next[r] + width : n;
  }
  // The winner of two subtrees; `left` always holds the earlier runs.
  auto winner = [&](size_t left, size_t right) {
    if (next[right] >= end[right]) return left;
    if (next[left] >= end[left]) return right;
    return compare(elementAt(elements, from[next[right]]),
                   elementAt(elements, from[next[left]])) < 0
               ? right
               : left;
  };
  for (size_t r = 0; r < leaves; ++r) tree[leaves + r] = r;
  for (size_t node = leaves - 1; node >= 1; --node)
    tree[node] = winner(tree[2 * node], tree[2 * node + 1]);
  for (size_t k = 0; k < n; ++k) {
    size_t run = tree[1];
    to[k] = from[next[run]++];
    if (next[run] + kPrefetchDistance < end[run])
      prefetchElement(elementAt(elements, from[next[run] + kPrefetchDistance]));
    for (size_t node = (leaves + run) / 2; node >= 1; node /= 2)
      tree[node] = winner(tree[2 * node], tree[2 * node + 1]);
  }
}

}  // namespace

// Merge sort of the element numbers: stable, O(N log N), and memory-safe
// whatever the caller's comparator answers. Pairwise passes first build runs
// of kBlockRuns[0] numbers block by block (the block's elements fit a
// core's own cache), then of kBlockRuns[1] (a shared cache); every block of
// a stage makes the same number of passes, so the stage ends with all of
// them in the same buffer. One tournament pass then merges those runs.
bool stableSort(const unsigned char* elements, CheckedArray<uint32_t>* numbers,
                ElementCompare compare) {
  static constexpr size_t kBlockRuns[] = {1024, 32768};
  CheckedArray<uint32_t>& order = *numbers;
  const size_t n = order.size();
  // All memory first, so that a failure leaves the order untouched; the
  // runs the block stages leave have this width.
  size_t finalWidth = 1;
  while (finalWidth < n && finalWidth < kBlockRuns[1]) finalWidth *= 2;
  CheckedArray<uint32_t> scratch;
  Tournament tournament;
  if (!scratch.resize(n) ||
      (finalWidth < n && !tournament.prepare(n, finalWidth)))
    return false;
  uint32_t* from = order.data();
  uint32_t* to = scratch.data();
  size_t width = 1;
  for (size_t block : kBlockRuns) {
    size_t passes = 0;
    for (size_t begin = 0; begin < n; begin += block) {
      size_t end = n - begin > block ? begin + block : n;
      uint32_t* source = from;
      uint32_t* target = to;
      passes = 0;
      for (size_t w = width; w < block && w < n; w *= 2, ++passes) {
        mergeRuns(elements, compare, source, target, begin, end, w);
        std::swap(source, target);
      }
    }
    for (size_t pass = 0; pass < passes; ++pass, width *= 2)
      std::swap(from, to);
  }
  if (width < n) {
    mergeAllRuns(elements, compare, from, to, n, width, &tournament);
    std::swap(from, to);
  }
  if (from != order.data()) memcpy(order.data(), from, n * sizeof(uint32_t));
  return true;
}

}  // namespace rfsim
