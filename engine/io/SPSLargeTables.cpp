#include "SPSLargeTables.h"

#include <cstdint>

#ifdef __linux__
#include <sys/mman.h>
#endif
#ifdef __GLIBC__
#include <malloc.h>
#endif

// The address sanitizer keeps what it knows of a block in memory of its own;
// pages of a block are handed back only where it does not watch.
#if defined(__SANITIZE_ADDRESS__)
#define SPS_KEEP_PAGES 1
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
#define SPS_KEEP_PAGES 1
#endif
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

std::size_t SPSReleasePages(void* data, std::size_t from, std::size_t to)
{
#if defined(__linux__) && defined(MADV_DONTNEED) && !defined(SPS_KEEP_PAGES)
    constexpr std::uintptr_t kPage = 4096;
    const std::uintptr_t base = std::uintptr_t(data);
    const std::uintptr_t begin = (base + from + kPage - 1) & ~(kPage - 1);
    const std::uintptr_t end = (base + to) & ~(kPage - 1);
    if (end <= begin)
        return from;
    madvise(reinterpret_cast<void*>(begin), end - begin, MADV_DONTNEED);
    return std::size_t(end - base);
#else
    (void)data;
    (void)to;
    return from;
#endif
}

void SPSReturnFreedMemory()
{
#ifdef __GLIBC__
    malloc_trim(0);
#endif
}
