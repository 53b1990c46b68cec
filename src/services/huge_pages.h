// Large arrays on huge pages.
//
// Loading a big document touches hundreds of megabytes of fresh memory in
// a few arrays (nodes, split entries, the item block). Page faults dominate
// then: a 6 MB array of numbers took 160 000 of them, half its load time.
// Asking the kernel for transparent huge pages on those arrays (where the
// system allows them on request, the common default) cuts that to a few
// thousand. Small allocations are left alone.
#pragma once

#include <cstddef>
#include <new>

namespace keelnode {

// Below this a block stays on ordinary pages: the advice only pays off for
// blocks that span several huge pages.
inline constexpr size_t kHugePageAdviceBytes = 4u << 20;

// Advises huge pages for the whole 2 MB-aligned part of [data, data + bytes)
// of a block not yet touched. Harmless where the kernel declines.
void AdviseHugePages(void* data, size_t bytes);

// std::allocator, except that large blocks get the advice.
template <typename T>
class LargeArrayAllocator {
 public:
  using value_type = T;

  LargeArrayAllocator() = default;
  template <typename U>
  LargeArrayAllocator(const LargeArrayAllocator<U>&) noexcept {}

  T* allocate(size_t n) {
    if (n > static_cast<size_t>(-1) / sizeof(T)) throw std::bad_array_new_length();
    static_assert(alignof(T) <= __STDCPP_DEFAULT_NEW_ALIGNMENT__);
    void* block = ::operator new(n * sizeof(T));
    if (n * sizeof(T) >= kHugePageAdviceBytes) AdviseHugePages(block, n * sizeof(T));
    return static_cast<T*>(block);
  }
  void deallocate(T* p, size_t) noexcept { ::operator delete(p); }

  template <typename U>
  bool operator==(const LargeArrayAllocator<U>&) const noexcept {
    return true;
  }
};

}  // namespace keelnode
