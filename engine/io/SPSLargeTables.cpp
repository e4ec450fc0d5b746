#include "SPSLargeTables.h"

#include <cstdint>

#ifdef __linux__
#include <sys/mman.h>
#endif

void SPSAdviseLargePages(void* data, std::size_t bytes)
{
#if defined(__linux__) && defined(MADV_HUGEPAGE)
    constexpr std::uintptr_t kPage = std::uintptr_t(2) << 20;
    const std::uintptr_t begin = (std::uintptr_t(data) + kPage - 1) & ~(kPage - 1);
    const std::uintptr_t end = (std::uintptr_t(data) + bytes) & ~(kPage - 1);
    if (end > begin)
        madvise(reinterpret_cast<void*>(begin), end - begin, MADV_HUGEPAGE);
#else
    (void)data;
    (void)bytes;
#endif
}
