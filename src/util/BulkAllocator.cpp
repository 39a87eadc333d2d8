// Large per-block arrays on huge pages, each starting at its own offset.
#include "util/BulkAllocator.hpp"

#include <cstdint>

namespace bulk {

namespace {

std::size_t roundedUp(std::size_t bytes) { return (bytes + kHugePage - 1) / kHugePage * kHugePage; }

// Stored just before the array: where the allocation began.
struct Header {
  void* base;
};

}  // namespace

void* allocate(std::size_t bytes) {
  static std::atomic<std::size_t> counter{0};
  const std::size_t offset = kStagger * (1 + counter.fetch_add(1) % kStaggerSteps);
  const std::size_t total = roundedUp(offset + bytes);
  void* base = std::aligned_alloc(kHugePage, total);
  if (base == nullptr) throw std::bad_alloc();
#if defined(__linux__) && defined(MADV_HUGEPAGE)
  // The first 2 MB keep small pages: a short program, and the start of a long one, fault page by page.
  if (total > kHugePage) ::madvise(static_cast<char*>(base) + kHugePage, total - kHugePage, MADV_HUGEPAGE);
#endif
  char* array = static_cast<char*>(base) + offset;
  reinterpret_cast<Header*>(array)[-1].base = base;
  return array;
}

void release(void* memory) {
  if (memory != nullptr) std::free(reinterpret_cast<Header*>(memory)[-1].base);
}

}  // namespace bulk
