#include "log/bigblock.h"

#include <sys/mman.h>

#include <cstdint>
#include <new>

namespace bigblock {

namespace {

constexpr std::size_t kHugePage = std::size_t{2} << 20;

#if defined(__SANITIZE_ADDRESS__)
constexpr bool kFromSystem = false;  // the sanitizer watches blocks from new only
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
constexpr bool kFromSystem = false;
#else
constexpr bool kFromSystem = true;
#endif
#else
constexpr bool kFromSystem = true;
#endif

bool fromSystem(std::size_t bytes) { return kFromSystem && bytes >= kThreshold; }

std::size_t rounded(std::size_t bytes) { return (bytes + kHugePage - 1) / kHugePage * kHugePage; }

}  // namespace

void* allocate(std::size_t bytes) {
  if (!fromSystem(bytes)) return ::operator new(bytes);
  const std::size_t size = rounded(bytes);
  // One huge page more than needed, so that an aligned start is inside it;
  // what lies before and after that start goes back at once.
  void* got = ::mmap(nullptr, size + kHugePage, PROT_READ | PROT_WRITE,
                     MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
  if (got == MAP_FAILED) throw std::bad_alloc();
  const auto raw = reinterpret_cast<std::uintptr_t>(got);
  const std::uintptr_t start = (raw + kHugePage - 1) & ~(std::uintptr_t{kHugePage} - 1);
  if (start > raw) ::munmap(got, start - raw);
  const std::uintptr_t end = raw + size + kHugePage;
  if (end > start + size) ::munmap(reinterpret_cast<void*>(start + size), end - (start + size));
  void* p = reinterpret_cast<void*>(start);
#ifdef MADV_HUGEPAGE
  ::madvise(p, size, MADV_HUGEPAGE);
#endif
  return p;
}

void deallocate(void* p, std::size_t bytes) noexcept {
  if (!p) return;
  if (!fromSystem(bytes)) {
    ::operator delete(p);
    return;
  }
  ::munmap(p, rounded(bytes));
}

}  // namespace bigblock
