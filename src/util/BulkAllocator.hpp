// Allocator for the per-block lists of multi-million-line programs: beyond their first 2 MB, large arrays
// are placed on huge pages where the system offers them, so that filling them costs a few hundred page
// faults instead of 100,000. Each array starts at its own offset in its first huge page, so that the
// lists filled side by side reach their next huge page at different blocks: the zeroing of a huge page
// comes one at a time, never for all lists at once (that held the window up for a tenth of a second).
#pragma once

#include <atomic>
#include <cstddef>
#include <cstdlib>
#include <new>

#if defined(__linux__)
#include <sys/mman.h>
#endif

inline constexpr std::size_t kHugePage = std::size_t{2} << 20;

namespace bulk {

inline constexpr std::size_t kStagger = std::size_t{64} << 10;
inline constexpr std::size_t kStaggerSteps = 31;

void* allocate(std::size_t bytes);
void release(void* memory);

}  // namespace bulk

template <typename T>
class BulkAllocator {
 public:
  using value_type = T;

  BulkAllocator() = default;
  template <typename U>
  BulkAllocator(const BulkAllocator<U>&) {}

  T* allocate(std::size_t n) {
    const std::size_t bytes = n * sizeof(T);
    if (bytes < kHugePage) return static_cast<T*>(::operator new(bytes));
    return static_cast<T*>(bulk::allocate(bytes));
  }

  void deallocate(T* memory, std::size_t n) {
    if (n * sizeof(T) < kHugePage) {
      ::operator delete(memory);
    } else {
      bulk::release(memory);
    }
  }

  template <typename U>
  bool operator==(const BulkAllocator<U>&) const {
    return true;
  }
};
