#include "services/huge_pages.h"

#include <sys/mman.h>

#include <cstdint>

namespace keelnode {

void AdviseHugePages(void* data, size_t bytes) {
  constexpr uintptr_t kHugePage = 2u << 20;
  const uintptr_t begin = (reinterpret_cast<uintptr_t>(data) + kHugePage - 1) & ~(kHugePage - 1);
  const uintptr_t end = (reinterpret_cast<uintptr_t>(data) + bytes) & ~(kHugePage - 1);
  if (begin >= end) return;
  // Only advice: a kernel without transparent huge pages says no, and the
  // block works the same.
  (void)madvise(reinterpret_cast<void*>(begin), end - begin, MADV_HUGEPAGE);
}

}  // namespace keelnode
