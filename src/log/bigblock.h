// Memory for the large arrays a log is held in. A block of a megabyte or
// more is taken straight from the system and asked to be kept in huge pages
// where the system offers them: a full log then costs a handful of page
// faults instead of a thousand, which is most of the time a log takes to
// read (and to copy) on a virtual machine. Smaller blocks come from new.
#pragma once
#include <cstddef>

namespace bigblock {

// Blocks from this size on are taken from the system.
constexpr std::size_t kThreshold = std::size_t{1} << 20;

void* allocate(std::size_t bytes);
// bytes as given to allocate().
void deallocate(void* p, std::size_t bytes) noexcept;

}  // namespace bigblock

template <class T>
struct BigBlockAllocator {
  using value_type = T;
  BigBlockAllocator() noexcept = default;
  template <class U>
  BigBlockAllocator(const BigBlockAllocator<U>&) noexcept {}
  T* allocate(std::size_t n) { return static_cast<T*>(bigblock::allocate(n * sizeof(T))); }
  void deallocate(T* p, std::size_t n) noexcept { bigblock::deallocate(p, n * sizeof(T)); }
  template <class U>
  bool operator==(const BigBlockAllocator<U>&) const noexcept {
    return true;
  }
};
