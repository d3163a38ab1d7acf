#include "heap_tracker.h"

#include <malloc.h>

#include <atomic>
#include <cstdlib>
#include <new>

namespace quillmere::bench {
namespace {

std::atomic<std::size_t> live{0};
std::atomic<std::size_t> peak{0};

void* Allocate(std::size_t size) {
  void* p = std::malloc(size == 0 ? 1 : size);
  if (p == nullptr) throw std::bad_alloc();
  const std::size_t now = live.fetch_add(malloc_usable_size(p)) + malloc_usable_size(p);
  std::size_t seen = peak.load();
  while (now > seen && !peak.compare_exchange_weak(seen, now)) {
  }
  return p;
}

void Release(void* p) {
  if (p == nullptr) return;
  live.fetch_sub(malloc_usable_size(p));
  std::free(p);
}

}  // namespace

std::size_t LiveHeapBytes() {
  return live.load();
}
std::size_t PeakHeapBytes() {
  return peak.load();
}
void ResetPeakHeap() {
  peak.store(live.load());
}

}  // namespace quillmere::bench

void* operator new(std::size_t size) {
  return quillmere::bench::Allocate(size);
}
void* operator new[](std::size_t size) {
  return quillmere::bench::Allocate(size);
}
void operator delete(void* p) noexcept {
  quillmere::bench::Release(p);
}
void operator delete[](void* p) noexcept {
  quillmere::bench::Release(p);
}
void operator delete(void* p, std::size_t) noexcept {
  quillmere::bench::Release(p);
}
void operator delete[](void* p, std::size_t) noexcept {
  quillmere::bench::Release(p);
}
