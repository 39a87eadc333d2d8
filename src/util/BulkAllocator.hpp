// Allocator for the per-block lists of multi-million-line programs: large arrays are placed on huge pages
// where the system offers them, so that filling them costs a few hundred page faults instead of 100,000.
#pragma once

#include <cstddef>
#include <cstdlib>
#include <new>

#if defined(__linux__)
#include <sys/mman.h>
#endif

inline constexpr std::size_t kHugePage = std::size_t{2} << 20;

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
    void* memory = std::aligned_alloc(kHugePage, roundedUp(bytes));
    if (memory == nullptr) throw std::bad_alloc();
#if defined(__linux__) && defined(MADV_HUGEPAGE)
    ::madvise(memory, roundedUp(bytes), MADV_HUGEPAGE);
#endif
    return static_cast<T*>(memory);
  }

  void deallocate(T* memory, std::size_t n) {
    if (n * sizeof(T) < kHugePage) {
      ::operator delete(memory);
    } else {
      std::free(memory);
    }
  }

  template <typename U>
  bool operator==(const BulkAllocator<U>&) const {
    return true;
  }

private:
  static std::size_t roundedUp(std::size_t bytes) { return (bytes + kHugePage - 1) / kHugePage * kHugePage; }
};
