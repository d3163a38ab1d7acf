#pragma once

#include <cstddef>

namespace quillmere::bench {

// Live and peak heap bytes of this process, counted by the replaced global
// operator new and delete (glibc: sizes from malloc_usable_size).
std::size_t LiveHeapBytes();
std::size_t PeakHeapBytes();
// Starts a new peak measurement from the current live bytes.
void ResetPeakHeap();

}  // namespace quillmere::bench
