#pragma once

#include <cstdint>

namespace quillex::bench {

// The program that links CountingAllocator.cpp routes every malloc, calloc, realloc and free of
// the process (Qt's and the standard library's included) through a counter of the heap bytes
// in use, as malloc_usable_size() reports them for each block.
int64_t heapBytesInUse();
// The most heap bytes in use since the last resetHeapPeak().
int64_t heapPeakBytes();
void resetHeapPeak();

} // namespace quillex::bench
